#include "link/FdTransport_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "link/ReceivePump.h"
#include "protocol/ReportCodes.h"

void CFd::Reset(int fd)
{
    if (m_fd >= 0) close(m_fd);
    m_fd = fd;
}

namespace {

int ConnectSocket(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    CFd fd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!fd.IsValid()) return -1;
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return -1;
    // Non-blocking from here: every wait is a poll with a time-out.
    if (fcntl(fd.Get(), F_SETFL, fcntl(fd.Get(), F_GETFL) | O_NONBLOCK) != 0) return -1;
    return fd.Release();
}

} // namespace

CFdTransport::CFdTransport(const std::string& path, Kind kind) : m_kind(kind)
{
    m_cancel.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (kind == Kind::Socket) m_device.Reset(ConnectSocket(path));
    else m_device.Reset(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
}

IBoardTransport::ReadResult CFdTransport::Read(uint8_t* report, uint32_t timeoutMs)
{
    pollfd fds[2] = {{m_device.Get(), POLLIN, 0}, {m_cancel.Get(), POLLIN, 0}};
    const int ready = poll(fds, 2, static_cast<int>(timeoutMs));
    if (ready < 0) return errno == EINTR ? ReadResult::Nothing : ReadResult::Failed;
    if (fds[1].revents & POLLIN) {
        uint64_t count = 0;
        if (read(m_cancel.Get(), &count, sizeof count) < 0) {
            // Already taken by someone else: nothing to undo.
        }
        return ReadResult::Nothing;
    }
    if (ready == 0) return ReadResult::Nothing;
    // Room for more than a report, so a longer one shows as such and is dropped.
    uint8_t buffer[2 * kReportSize];
    ssize_t got;
    if (m_kind == Kind::Socket) {
        got = recv(m_device.Get(), buffer, sizeof buffer, MSG_TRUNC);
        if (got == 0) return ReadResult::Gone;  // the simulator closed its end
    } else {
        // hidraw leaves out the report id of a device without numbered
        // reports; it is 0, as ReadFile puts it first on Windows.
        buffer[0] = 0;
        got = read(m_device.Get(), buffer + 1, sizeof buffer - 1);
        if (got >= 0) ++got;
    }
    if (got < 0) {
        if (errno == EAGAIN || errno == EINTR) return ReadResult::Nothing;
        // hidraw answers a board that was unplugged with EIO (or ENODEV).
        return m_kind == Kind::Hidraw && (errno == EIO || errno == ENODEV) ? ReadResult::Gone : ReadResult::Failed;
    }
    if (static_cast<size_t>(got) != kReportSize) return ReadResult::Nothing;
    std::memcpy(report, buffer, kReportSize);
    return ReadResult::Report;
}

void CFdTransport::CancelRead()
{
    const uint64_t one = 1;
    if (write(m_cancel.Get(), &one, sizeof one) < 0) {
        // The counter is full: a cancellation is pending anyway.
    }
}

bool CFdTransport::Write(const uint8_t* report)
{
    const uint64_t deadline = SteadyNowMs() + kWriteTimeoutMs;
    for (;;) {
        // A socket whose reader has gone must fail the write, not raise SIGPIPE.
        const ssize_t put = m_kind == Kind::Socket ? send(m_device.Get(), report, kReportSize, MSG_NOSIGNAL)
                                                   : write(m_device.Get(), report, kReportSize);
        if (put == static_cast<ssize_t>(kReportSize)) return true;
        if (put >= 0 || (errno != EAGAIN && errno != EINTR)) return false;
        const uint64_t now = SteadyNowMs();
        if (now >= deadline) return false;
        pollfd fd{m_device.Get(), POLLOUT, 0};
        if (poll(&fd, 1, static_cast<int>(deadline - now)) < 0 && errno != EINTR) return false;
    }
}

bool CFdTransport::Present()
{
    pollfd fd{m_device.Get(), 0, 0};
    if (poll(&fd, 1, 0) < 0) return errno == EINTR;
    return (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}
