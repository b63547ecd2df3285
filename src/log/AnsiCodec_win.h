#pragma once
#include "log/LogFile.h"

// Message texts in log files are in the system's ANSI code page.
LogTextCodec AnsiLogTextCodec();
// The same for a given code page (65001 on systems set to UTF-8).
LogTextCodec AnsiLogTextCodec(unsigned codePage);
