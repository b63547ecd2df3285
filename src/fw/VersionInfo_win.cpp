#include "fw/VersionInfo_win.h"

#include <cwchar>
#include <vector>
#include <windows.h>

std::wstring GetVersionString(int kind)
{
    const wchar_t* entry = kind == kVersionProductName ? L"ProductName"
                         : kind == kVersionText        ? L"ProductVersion"
                         : kind == kVersionCopyright   ? L"LegalCopyright"
                                                       : nullptr;
    if (!entry) return std::wstring();

    wchar_t exe[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, exe, MAX_PATH)) return std::wstring();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
    if (size == 0) return std::wstring();
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(exe, 0, size, block.data())) return std::wstring();

    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return std::wstring();

    wchar_t subBlock[128];
    swprintf(subBlock, 128, L"\\StringFileInfo\\%08x\\%ls",
             static_cast<unsigned>(translation[0]) * 65536u + translation[1], entry);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), subBlock, reinterpret_cast<void**>(&value), &length) || !value)
        return std::wstring();
    std::wstring text(value, length > 0 ? wcsnlen(value, length) : 0);
    if (kind == kVersionText) return L"Version " + text;
    return text;
}
