#include "cli/CliConsole_win.h"

#include "cli/CliStop.h"

namespace {

HANDLE FinishedEvent()
{
    // Created on first use, kept for the life of the process.
    static const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return done;
}

} // namespace

void ResetCliConsole()
{
    ResetCliStop();
    ResetEvent(FinishedEvent());
}

BOOL WINAPI CliConsoleControl(DWORD type)
{
    CliRequestStop();
    switch (type) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        WaitForSingleObject(FinishedEvent(), kCliCloseWaitMs);
        break;
    default:
        break;
    }
    return TRUE;
}

void InstallCliConsoleControl()
{
    // Create the event before the handler can run on its own thread.
    FinishedEvent();
    SetConsoleCtrlHandler(CliConsoleControl, TRUE);
}

void CliCommandFinished()
{
    SetEvent(FinishedEvent());
}
