#pragma once
// Reading a flash image file from disk: a text-mode stream in the ANSI code
// page, opened so that other programs may keep reading and writing it.
#include <string>

#include "protocol/FlashImage.h"

enum class FlashFileStatus { Loaded, OpenError, SizeError };

// Reads the file and converts it. image is set only when Loaded. Reading
// stops as soon as the joined text is too long, so a huge or binary file is
// never read whole.
FlashFileStatus ReadFlashImageFile(const std::wstring& path, FlashImage& image);
