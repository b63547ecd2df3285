#pragma once
// Looking up one value in the text of an INI file by the rules of the
// Windows profile API (GetPrivateProfileStringW), so that a Vantrel.ini
// means the same on Linux as on Windows:
// - lines are trimmed of blanks (space, tab); CR LF and LF both end a line;
// - "[name]" starts a section (the name runs to the last ']'); a line
//   without '=' is no key; comments are no special case (";Key=1" is a key
//   named ";Key" that nothing asks for);
// - section and key names compare without regard to ASCII letter case; the
//   first section of the name and the first key in it count;
// - a value is trimmed, and one pair of matching quotes ('...' or "...")
//   around it is removed;
// - a value is cut to `maxChars` characters, as the caller's buffer cuts it.
#include <cstddef>
#include <optional>
#include <string>

std::optional<std::wstring> IniValue(const std::wstring& text, const std::wstring& section, const std::wstring& key,
                                     size_t maxChars);
