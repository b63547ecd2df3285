#pragma once
// On Windows the file is a text-mode stream in the ANSI code page, opened so
// that other programs may keep reading and writing it.
#include "protocol/FlashFile.h"
