#pragma once
// Reading a flash image file from disk, as "Open file" reads it: text in the
// platform's code page (the ANSI code page on Windows, UTF-8 on Linux).
#include <string>

#include "protocol/FlashImage.h"

enum class FlashFileStatus { Loaded, OpenError, SizeError };

// Reads the file and converts it. image is set only when Loaded. OpenError
// also when a read fails. Reading stops as soon as the joined text is too
// long, so a huge or binary file is never read whole.
FlashFileStatus ReadFlashImageFile(const std::wstring& path, FlashImage& image);
