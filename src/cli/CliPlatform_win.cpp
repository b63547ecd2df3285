#include "cli/CliPlatform.h"

#include <windows.h>

#include "app/AppSettings_win.h"

std::string AnsiText(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    if (n <= 0) return std::string();
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

std::FILE* OpenCliFile(const std::wstring& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}

bool ReplaceCliFile(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

std::wstring FullPath(const std::wstring& path)
{
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (written == 0 || written >= n) return path;
    full.resize(written);
    return full;
}

} // namespace

bool SameCliFile(const std::wstring& a, const std::wstring& b)
{
    const std::wstring first = FullPath(a);
    const std::wstring second = FullPath(b);
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

void RemoveCliFile(const std::wstring& path)
{
    DeleteFileW(path.c_str());
}

bool LoadCliSettings(const std::wstring& path, CAppSettings& settings, SettingsFileNumbers& numbers)
{
    if (path.empty()) {
        LoadSettingsFile(settings, GetSettingsFilePath(), &numbers);
        return true;
    }
    // The profile API takes a missing file for an empty one; a file named on
    // the command line must be there.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    // A bare name would be looked for in the Windows folder.
    wchar_t full[MAX_PATH];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    LoadSettingsFile(settings, full, &numbers);
    return true;
}
