#pragma once
// The common open and save dialogs, set up in one place.
#include <cstddef>
#include <string>
#include <windows.h>
#include <commdlg.h>

struct FileDialogOptions {
    const wchar_t* filter;            // pairs of texts, ended by an empty one
    const wchar_t* defaultExtension;  // may be null
    DWORD flags;                      // OFN_* flags beyond OFN_EXPLORER
    size_t pathChars;                 // room for the chosen path
};

// The chosen path; empty when the user cancelled.
std::wstring AskOpenPath(HWND owner, const FileDialogOptions& options);
std::wstring AskSavePath(HWND owner, const FileDialogOptions& options);
