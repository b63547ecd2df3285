#pragma once
// Ctrl+C, Ctrl+Break and a closing console (also log-off and shut-down) ask
// the running command to stop (CliStop.h) instead of killing the process,
// so that it can still send the stop frame to the sub board.
#include <windows.h>

// Clears a stop request and the finished mark (for a later command in the
// same process).
void ResetCliConsole();

// The console control handler. For Ctrl+C and Ctrl+Break it only requests
// the stop. For a closing console, log-off and shut-down the process ends
// when the handler returns, so it waits (a few seconds at most) until
// CliCommandFinished has been called.
BOOL WINAPI CliConsoleControl(DWORD type);
void InstallCliConsoleControl();
// The command has cleaned up; a closing console may end the process now.
void CliCommandFinished();

// How long a closing console is held up for the stop frame: the system
// ends the process after about five seconds anyway.
constexpr DWORD kCliCloseWaitMs = 4500;
