#pragma once
// A request to end the running commands: Ctrl+C or a closing console on
// Windows, SIGINT, SIGTERM or SIGHUP on Linux. The request only sets a flag
// and wakes every board waiting for news, so each command still ends its own
// way (the stop frame goes out first).
class CReportInbox;

// Safe on any thread (not in a signal handler: Linux asks from a thread of
// its own).
void CliRequestStop();
bool CliStopRequested();
// Clears a stop request (for a later command in the same process).
void ResetCliStop();

// A board's inbox is woken by a stop request while it is attached.
class CCliStopWatch {
public:
    explicit CCliStopWatch(CReportInbox& inbox);
    ~CCliStopWatch();
    CCliStopWatch(const CCliStopWatch&) = delete;
    CCliStopWatch& operator=(const CCliStopWatch&) = delete;

private:
    CReportInbox& m_inbox;
};
