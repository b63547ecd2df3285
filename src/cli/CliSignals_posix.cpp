#include "cli/CliSignals_posix.h"

#include <cerrno>
#include <cstdint>
#include <initializer_list>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "cli/CliStop.h"

CCliSignals::CCliSignals()
{
    sigemptyset(&m_set);
    // SIGUSR1 means nothing to the companion, but its default would end the
    // process without the stop frame; supervisors send it to ask for a log
    // reopen or a status, so a run must go on through it.
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) sigaddset(&m_set, s);
    pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
    m_signals.Reset(signalfd(-1, &m_set, SFD_CLOEXEC));
    m_quit.Reset(eventfd(0, EFD_CLOEXEC));
    if (!m_signals.IsValid() || !m_quit.IsValid()) {
        // Nothing could take them: their defaults at least end the process.
        pthread_sigmask(SIG_UNBLOCK, &m_set, nullptr);
        return;
    }
    m_thread = std::thread([this] { Take(); });
}

CCliSignals::~CCliSignals()
{
    if (!m_thread.joinable()) return;
    // The quit comes through a descriptor of our own, not a signal, so no
    // other process can end the taking thread.
    const uint64_t one = 1;
    while (write(m_quit.Get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
    m_thread.join();
}

void CCliSignals::Take()
{
    for (;;) {
        pollfd fds[2] = {{m_signals.Get(), POLLIN, 0}, {m_quit.Get(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents != 0) return;
        signalfd_siginfo info;
        if (read(m_signals.Get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) continue;
        if (info.ssi_signo == SIGUSR1) continue;
        // Every further signal asks again; the command is already ending.
        CliRequestStop();
    }
}
