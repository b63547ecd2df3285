#pragma once
#include <string>
#include <windows.h>

#include "app/AppSettings.h"

// "Vantrel.ini" beside the running executable (at most MAX_PATH characters;
// see SettingsPathForModuleName for a path that does not fit).
std::wstring GetSettingsFilePath();

// Writes one integer key as decimal text; returns what the profile API returns.
BOOL WriteProfileInt(const wchar_t* section, const wchar_t* key, int value, const std::wstring& path);

// Reads every key of the settings file at `path` through the profile API;
// `numbers`, when given, gets what each key's text gave before the cut.
void LoadSettingsFile(CAppSettings& settings, const std::wstring& path, SettingsFileNumbers* numbers = nullptr);
