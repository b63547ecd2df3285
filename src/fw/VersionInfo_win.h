#pragma once
#include <string>

enum VersionStringKind { kVersionProductName = 0, kVersionText = 1, kVersionCopyright = 2 };

// Reads an entry of the running executable's version block: kind 0 the
// "ProductName" entry, kind 1 "Version <ProductVersion>", kind 2 the
// "LegalCopyright" entry. Any failure gives an empty string.
std::wstring GetVersionString(int kind);
