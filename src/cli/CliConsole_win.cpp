#include "cli/CliConsole_win.h"

namespace {

HANDLE Event(bool finished)
{
    // Created on first use, kept for the life of the process.
    static const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    static const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return finished ? done : stop;
}

} // namespace

HANDLE CliStopEvent()
{
    return Event(false);
}

void ResetCliStop()
{
    ResetEvent(Event(false));
    ResetEvent(Event(true));
}

BOOL WINAPI CliConsoleControl(DWORD type)
{
    SetEvent(Event(false));
    switch (type) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        WaitForSingleObject(Event(true), kCliCloseWaitMs);
        break;
    default:
        break;
    }
    return TRUE;
}

void InstallCliConsoleControl()
{
    // Create both events before the handler can run on its own thread.
    Event(false);
    Event(true);
    SetConsoleCtrlHandler(CliConsoleControl, TRUE);
}

void CliCommandFinished()
{
    SetEvent(Event(true));
}
