#pragma once
// UTF-8 and wide text: file names, arguments and output on Linux, where
// UTF-8 is the system's text. Malformed bytes become U+FFFD.
#include <string>

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
