// vantrel-vboard: plugs virtual sub boards into a Wine prefix (tests only).
#include <cstdio>
#include <cwchar>
#include <string>
#include <windows.h>

#include "VirtualBoards_win.h"

int wmain(int argc, wchar_t** argv)
{
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    const bool numbered = verb == L"plug" || verb == L"unplug";
    if ((numbered && argc != 3) || (!numbered && argc != 2) ||
        (!numbered && verb != L"install" && verb != L"uninstall")) {
        std::fwprintf(stderr, L"usage: vantrel-vboard install | plug N | unplug N | uninstall\n"
                              L"  board N talks to the simulator on \\\\.\\pipe\\vantrel-vboard-000N\n"
                              L"  (vantrel-sim --pipe vantrel-vboard-000N)\n");
        return 2;
    }
    const unsigned n = numbered ? static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)) : 0;
    const DWORD start = GetTickCount();
    std::wstring error;
    bool ok = false;
    if (verb == L"install") ok = VirtualBoards::Install(error);
    else if (verb == L"plug") ok = VirtualBoards::Plug(n, error);
    else if (verb == L"unplug") ok = VirtualBoards::Unplug(n, error);
    else ok = VirtualBoards::UninstallAll(error);
    if (!ok) {
        std::fwprintf(stderr, L"vantrel-vboard %ls: %ls\n", verb.c_str(), error.c_str());
        return 1;
    }
    if (verb == L"plug")
        std::wprintf(L"board %u: %ls, serial %ls, pipe \\\\.\\pipe\\%ls (%lu ms)\n", n,
                     VirtualBoards::HidPath(n).c_str(), VirtualBoards::Serial(n).c_str(),
                     VirtualBoards::PipeName(n).c_str(), GetTickCount() - start);
    else
        std::wprintf(L"%ls done (%lu ms)\n", verb.c_str(), GetTickCount() - start);
    return 0;
}
