#pragma once
// Ctrl+C, Ctrl+Break and a closing console (also log-off and shut-down) ask
// the running command to stop instead of killing the process, so that it
// can still send the stop frame to the sub board.
#include <windows.h>

// The manual-reset event the console control sets; commands wait on it.
HANDLE CliStopEvent();
// Clears a stop request (for a later command in the same process).
void ResetCliStop();

// The console control handler. For Ctrl+C and Ctrl+Break it only sets the
// stop event. For a closing console, log-off and shut-down the process ends
// when the handler returns, so it waits (a few seconds at most) until
// CliCommandFinished has been called.
BOOL WINAPI CliConsoleControl(DWORD type);
void InstallCliConsoleControl();
// The command has cleaned up; a closing console may end the process now.
void CliCommandFinished();

// How long a closing console is held up for the stop frame: the system
// ends the process after about five seconds anyway.
constexpr DWORD kCliCloseWaitMs = 4500;
