#include "sim/SocketServer_posix.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "link/ReceivePump.h"
#include "protocol/ReportCodes.h"

namespace {

// How often the board's clock is driven while a client is connected.
constexpr int kTickMs = 5;

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

uint32_t NowMs()
{
    return static_cast<uint32_t>(SteadyNowMs());
}

} // namespace

std::string CSocketServer::PathFor(const std::string& name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime && runtime[0] == '/' ? runtime : "/tmp";
    return folder + "/vantrel-" + name + ".sock";
}

CSocketServer::CSocketServer(CSimBoard& board, const std::string& path) : m_board(board), m_path(path)
{
    m_wake.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
}

CSocketServer::~CSocketServer()
{
    Stop();
}

bool CSocketServer::Start()
{
    if (m_thread.joinable()) return Plugged();
    m_stopping.store(false);
    m_wantPlugged.store(true);
    m_thread = std::thread([this] { Run(); });
    WaitApplied();
    if (Plugged()) return true;
    Stop();
    return false;
}

void CSocketServer::Stop()
{
    if (!m_thread.joinable()) return;
    m_stopping.store(true);
    Wake();
    m_thread.join();
}

void CSocketServer::Unplug()
{
    m_wantPlugged.store(false);
    WaitApplied();
}

bool CSocketServer::Replug()
{
    m_wantPlugged.store(true);
    WaitApplied();
    return Plugged();
}

void CSocketServer::Wake()
{
    const uint64_t one = 1;
    if (write(m_wake.Get(), &one, sizeof one) < 0) {
        // The counter is full: the thread wakes anyway.
    }
}

void CSocketServer::WaitApplied()
{
    if (!m_thread.joinable()) return;
    std::unique_lock<std::mutex> guard(m_lock);
    const uint32_t request = ++m_requests;
    guard.unlock();
    Wake();
    guard.lock();
    m_appliedChanged.wait(guard, [&] { return m_applied >= request; });
}

void CSocketServer::Run()
{
    while (!m_stopping.load()) {
        uint32_t request;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            request = m_requests;
        }
        ApplyPlugState();
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_applied = request;
        }
        m_appliedChanged.notify_all();
        Serve();
        if (m_board.TakeUnplugRequest()) m_wantPlugged.store(false);
    }
    CloseAll();
}

void CSocketServer::ApplyPlugState()
{
    const bool want = m_wantPlugged.load();
    if (want == m_plugged.load()) return;
    if (want) {
        if (Listen()) m_board.PowerCycle();
    } else {
        CloseAll();
        m_board.PowerCycle();
    }
}

bool CSocketServer::Listen()
{
    sockaddr_un address;
    if (!MakeAddress(m_path, address)) return false;
    const auto* name = reinterpret_cast<const sockaddr*>(&address);
    // A socket file that nobody answers is what a killed simulator leaves:
    // take its place. One that answers belongs to a running simulator.
    {
        CFd probe(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        if (probe.IsValid() && connect(probe.Get(), name, sizeof address) == 0) return false;
        if (errno == ECONNREFUSED) unlink(m_path.c_str());
    }
    CFd listener(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.IsValid() || bind(listener.Get(), name, sizeof address) != 0) return false;
    if (listen(listener.Get(), 4) != 0) {
        unlink(m_path.c_str());
        return false;
    }
    m_listener = std::move(listener);
    m_plugged.store(true);
    return true;
}

void CSocketServer::CloseAll()
{
    ClientGone();
    if (m_listener.IsValid()) {
        m_listener.Reset();
        unlink(m_path.c_str());
    }
    m_plugged.store(false);
}

void CSocketServer::Serve()
{
    const bool connected = m_connection.IsValid();
    if (connected) {
        m_board.Tick(NowMs());
        if (!m_board.ReadsStalled()) ReadReports();
        WriteReports();
    }
    pollfd fds[3] = {{m_wake.Get(), POLLIN, 0}, {m_listener.Get(), POLLIN, 0}, {-1, 0, 0}};
    if (m_connection.IsValid()) {
        fds[2].fd = m_connection.Get();
        // A stalled board reads nothing: the client's writes wait in the socket.
        fds[2].events = static_cast<short>((m_board.ReadsStalled() ? 0 : POLLIN) | (m_pending.empty() ? 0 : POLLOUT));
    }
    // Without a client only a connection (or a request) can change anything.
    const int timeout = m_connection.IsValid() ? kTickMs : -1;
    if (poll(fds, 3, timeout) < 0) return;
    if (fds[0].revents & POLLIN) {
        uint64_t count;
        if (read(m_wake.Get(), &count, sizeof count) < 0) {
            // Taken already.
        }
    }
    // A client that left is seen off before the next one is let in, so a
    // companion run right after another finds the board free.
    if (fds[2].revents & (POLLHUP | POLLERR)) {
        // What the client wrote before it went (the stop frame) still counts.
        if (!m_board.ReadsStalled()) ReadReports();
        ClientGone();
    }
    if (fds[1].revents & POLLIN) Accept();
}

void CSocketServer::Accept()
{
    CFd client(accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    // One client at a time, as the pipe has one instance: a second one is
    // closed, and its first read or write fails.
    if (!client.IsValid() || m_connection.IsValid()) return;
    m_connection = std::move(client);
    m_client.store(m_connection.Get());
}

void CSocketServer::ReadReports()
{
    if (!ReadClientReports(m_connection.Get(), m_board)) ClientGone();
}

bool CSocketServer::ReadClientReports(int fd, CSimBoard& board)
{
    uint8_t buffer[512];
    for (;;) {
        const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_TRUNC);
        if (got > 0) {
            // A longer message is cut to the buffer; the board ignores any
            // report of the wrong size.
            const size_t size = static_cast<size_t>(got) < sizeof buffer ? static_cast<size_t>(got) : sizeof buffer;
            board.ReceiveOutputReport(buffer, size, NowMs());
            continue;
        }
        if (got == 0) return false;  // the client's end, after all it wrote
        // A client that closed with answers unread makes the first recv fail
        // with ECONNRESET; the frames it wrote before are still queued
        // behind that error (it is reported once), so read on to the end.
        if (errno == ECONNRESET || errno == EINTR) continue;
        return errno == EAGAIN;
    }
}

void CSocketServer::WriteReports()
{
    while (m_connection.IsValid()) {
        if (m_pending.empty() && !m_board.TakeInputReport(m_pending)) return;
        const ssize_t put = send(m_connection.Get(), m_pending.data(), m_pending.size(), MSG_NOSIGNAL);
        if (put < 0) {
            if (errno == EAGAIN || errno == EINTR) return;
            // The client cannot take answers any more, but what it wrote
            // before it went (a write word, the stop frame) still counts.
            if (!m_board.ReadsStalled()) ReadClientReports(m_connection.Get(), m_board);
            ClientGone();
            return;
        }
        m_pending.clear();
        m_delivered.fetch_add(1);
    }
}

void CSocketServer::ClientGone()
{
    m_connection.Reset();
    m_client.store(-1);
    m_pending.clear();
    // Reports waiting for the old client are not for the next one.
    std::vector<uint8_t> dropped;
    while (m_board.TakeInputReport(dropped)) {
    }
}
