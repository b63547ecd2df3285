#include "cli/CliSignals_posix.h"

#include <initializer_list>
#include <pthread.h>

#include "cli/CliStop.h"

namespace {

// Sent by the destructor to end the taking thread.
constexpr int kQuitSignal = SIGUSR1;

} // namespace

CCliSignals::CCliSignals()
{
    sigemptyset(&m_set);
    for (int s : {SIGINT, SIGTERM, SIGHUP, kQuitSignal}) sigaddset(&m_set, s);
    pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
    m_thread = std::thread([this] { Take(); });
}

CCliSignals::~CCliSignals()
{
    pthread_kill(m_thread.native_handle(), kQuitSignal);
    m_thread.join();
}

void CCliSignals::Take()
{
    for (;;) {
        int signal = 0;
        if (sigwait(&m_set, &signal) != 0) continue;
        if (signal == kQuitSignal) return;
        // Every further signal asks again; the command is already ending.
        CliRequestStop();
    }
}
