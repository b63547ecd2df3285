#pragma once
// What the companion's commands need from the platform besides the board.
#include <cstdio>
#include <string>

#include "app/AppSettings.h"

// Text as the platform's log files and consoles hold it: the ANSI code page
// on Windows, UTF-8 on Linux.
std::string AnsiText(const std::wstring& text);
// std::fopen with a file name in wide text.
std::FILE* OpenCliFile(const std::wstring& path, const char* mode);
// Moves `from` over `to` in one step: a reader of `to` sees the old file or
// the new one, never a mix. False when it failed (`to` is then unchanged).
bool ReplaceCliFile(const std::wstring& from, const std::wstring& to);
// True when both paths name one file, however they are spelt (Linux: the
// same file, or the same name in the same folder for one not there yet;
// Windows: the same full path, in any letter case).
bool SameCliFile(const std::wstring& a, const std::wstring& b);
// Deletes a file; a missing one is no error worth telling.
void RemoveCliFile(const std::wstring& path);
// The settings file: `path`, or where the platform keeps it when empty
// (Windows: Vantrel.ini beside the program; Linux: vantrel/Vantrel.ini in
// $XDG_CONFIG_HOME, else ~/.config). Keys missing from the file, or a
// missing usual file, give the defaults. False when a named file cannot be
// read. `numbers` gets what each key's text gave before the cut to its field.
bool LoadCliSettings(const std::wstring& path, CAppSettings& settings, SettingsFileNumbers& numbers);
