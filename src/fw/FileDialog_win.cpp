#include "fw/FileDialog_win.h"

#include <commdlg.h>
#include <vector>

namespace {

std::wstring Ask(HWND owner, const FileDialogSpec& spec, BOOL(WINAPI* ask)(OPENFILENAMEW*))
{
    std::vector<wchar_t> path(spec.pathChars, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = spec.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrDefExt = spec.defaultExtension;
    ofn.Flags = spec.flags | OFN_EXPLORER;
    if (!ask(&ofn)) return std::wstring();
    return path.data();
}

} // namespace

std::wstring AskOpenPath(HWND owner, const FileDialogSpec& spec)
{
    return Ask(owner, spec, &GetOpenFileNameW);
}

std::wstring AskSavePath(HWND owner, const FileDialogSpec& spec)
{
    return Ask(owner, spec, &GetSaveFileNameW);
}
