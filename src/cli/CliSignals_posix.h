#pragma once
// SIGINT, SIGTERM and SIGHUP do for vantrel-cli on Linux what Ctrl+C and a
// closing console do on Windows: they request the stop (CliStop.h), and the
// running command sends the stop frame and ends with its documented code.
// The signals are blocked in every thread and taken by a thread of their
// own (through a signalfd), so the request runs as ordinary code rather
// than in a handler. SIGUSR1 is taken too and changes nothing.
#include <csignal>
#include <thread>

#include "link/FdTransport_posix.h"  // CFd

class CCliSignals {
public:
    // Blocks the signals in the calling thread (threads started later
    // inherit that) and starts the taking thread. Call before any other
    // thread exists.
    CCliSignals();
    // Ends and joins the taking thread.
    ~CCliSignals();
    CCliSignals(const CCliSignals&) = delete;
    CCliSignals& operator=(const CCliSignals&) = delete;

private:
    void Take();

    sigset_t m_set;
    CFd m_signals;  // signalfd of m_set
    CFd m_quit;     // eventfd: the destructor's request to end
    std::thread m_thread;
};
