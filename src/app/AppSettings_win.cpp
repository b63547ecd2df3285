#include "app/AppSettings_win.h"

#include <cwchar>

#include "app/AppSettings.h"

std::wstring GetSettingsFilePath()
{
    // A path cut to the buffer, or one too long for the profile API, gives
    // the bare name, which the profile API looks for in the Windows folder:
    // never a Vantrel.ini in a folder above the executable's.
    wchar_t exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return SettingsPathForModuleName(exe, n, MAX_PATH);
}

BOOL WriteProfileInt(const wchar_t* section, const wchar_t* key, int value, const std::wstring& path)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    return WritePrivateProfileStringW(section, key, text, path.c_str());
}

void CAppSettings::Load()
{
    LoadSettingsFile(*this, GetSettingsFilePath());
}

void LoadSettingsFile(CAppSettings& settings, const std::wstring& path, SettingsFileNumbers* numbers)
{
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const SettingsKey& k = SettingsKeyAt(i);
        wchar_t text[64] = {};
        GetPrivateProfileStringW(k.section, k.key, L"", text, 64, path.c_str());
        const int32_t number = ParseSettingsValue(text, k.defaultValue);
        if (numbers) (*numbers)[i] = number;
        StoreSettingsValue(settings, i, number);
    }
}

void CAppSettings::Save() const
{
    const std::wstring path = GetSettingsFilePath();
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const SettingsKey& k = SettingsKeyAt(i);
        WriteProfileInt(k.section, k.key, SettingsValue(*this, i), path);
    }
}
