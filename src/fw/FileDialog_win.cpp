#include "fw/FileDialog_win.h"

#include <commdlg.h>
#include <vector>

namespace {

std::wstring Ask(HWND owner, const FileDialogOptions& options, BOOL(WINAPI* ask)(OPENFILENAMEW*))
{
    std::vector<wchar_t> path(options.pathChars, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = options.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrDefExt = options.defaultExtension;
    ofn.Flags = options.flags | OFN_EXPLORER;
    if (!ask(&ofn)) return std::wstring();
    return path.data();
}

} // namespace

std::wstring AskOpenPath(HWND owner, const FileDialogOptions& options)
{
    return Ask(owner, options, &GetOpenFileNameW);
}

std::wstring AskSavePath(HWND owner, const FileDialogOptions& options)
{
    return Ask(owner, options, &GetSaveFileNameW);
}
