#pragma once
// Serves a simulated sub board on a Unix-domain SOCK_SEQPACKET socket: each
// 65-byte report is one message, as each is one HID report or pipe message.
// One client at a time (a second one is closed at once); the board runs on
// the server's own thread. The same contract as CPipeServer on Windows.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/FdTransport_posix.h"
#include "sim/SimBoard.h"

class CSocketServer {
public:
    // $XDG_RUNTIME_DIR/vantrel-<name>.sock, or in /tmp without that folder.
    static std::string PathFor(const std::string& name);

    CSocketServer(CSimBoard& board, const std::string& path);
    ~CSocketServer();
    CSocketServer(const CSocketServer&) = delete;
    CSocketServer& operator=(const CSocketServer&) = delete;

    // Plugs the board in and starts serving; false when the socket could not
    // be made (for example another simulator serves this path).
    bool Start();
    void Stop();
    // Closes the connection and removes the socket: the client's reads and
    // writes fail and the path is gone until Replug. The board restarts.
    void Unplug();
    bool Replug();

    bool Plugged() const { return m_plugged.load(); }
    bool ClientConnected() const { return m_client.load() >= 0; }
    uint32_t ReportsDelivered() const { return m_delivered.load(); }
    const std::string& Path() const { return m_path; }

    // Hands the board every report waiting on a client's connection (fd,
    // non-blocking). False once the client has gone and everything it wrote
    // before has been handed over.
    static bool ReadClientReports(int fd, CSimBoard& board);

private:
    void Run();
    void ApplyPlugState();
    bool Listen();
    void CloseAll();
    void Serve();
    void Accept();
    void ReadReports();
    void WriteReports();
    void ClientGone();
    void WaitApplied();
    void Wake();

    CSimBoard& m_board;
    std::string m_path;
    std::thread m_thread;
    CFd m_listener;
    CFd m_connection;
    CFd m_wake;  // eventfd
    std::vector<uint8_t> m_pending;  // a report the client could not take yet

    std::mutex m_lock;
    std::condition_variable m_appliedChanged;
    uint32_t m_requests = 0;
    uint32_t m_applied = 0;

    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_wantPlugged{false};
    std::atomic<bool> m_plugged{false};
    std::atomic<int> m_client{-1};
    std::atomic<uint32_t> m_delivered{0};
};
