#pragma once
#include "log/LogFile.h"

// Message texts in log files are in the system's ANSI code page.
const LogTextCodec& AnsiLogTextCodec();
