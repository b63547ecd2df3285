#pragma once
// Serves a simulated sub board on a message-mode named pipe whose name holds
// the board's match text, so the tool's own device code (CreateFileW,
// overlapped ReadFile/WriteFile) talks to it unchanged. One client at a time;
// the board runs on the server's own thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

#include "fw/Handle_win.h"
#include "fw/Thread_win.h"
#include "sim/SimBoard.h"

class CPipeServer {
public:
    // \\.\pipe\hid#vid_5e3a&pid_fffd#<suffix>#{HID class}
    static std::wstring PathFor(const std::wstring& suffix);

    explicit CPipeServer(CSimBoard& board, const std::wstring& suffix = L"sim");
    // Before Start: serve on \\.\pipe\<name> instead (a virtual HID board's pipe).
    void UsePipeName(const std::wstring& name) { m_path = L"\\\\.\\pipe\\" + name; }
    // Before Start: the client is the board's cable (a virtual HID board),
    // so the board restarts whenever its client goes, as after a power loss.
    void SetRestartWhenClientLeaves(bool on) { m_restartWhenClientLeaves = on; }
    ~CPipeServer();
    CPipeServer(const CPipeServer&) = delete;
    CPipeServer& operator=(const CPipeServer&) = delete;

    // Plugs the board in and starts serving; false when the pipe could not
    // be created (for example the name is taken).
    bool Start();
    void Stop();
    // Closes the pipe: the client's reads and writes fail and the path is
    // gone until Replug. The board restarts, as after a power loss.
    void Unplug();
    // Creates the pipe again; false when that failed.
    bool Replug();

    bool Plugged() const { return m_plugged.load(); }
    bool ClientConnected() const { return m_connected.load(); }
    // Input reports written to clients so far.
    uint32_t ReportsDelivered() const { return m_delivered.load(); }
    const std::wstring& Path() const { return m_path; }

private:
    // One overlapped operation with its own event and record.
    struct Operation {
        CHandle event;
        OVERLAPPED ov{};
        bool pending = false;
    };

    void Run();
    void ApplyPlugState();
    bool CreatePipe();
    void ClosePipe();
    void Serve();
    void StartConnect();
    void StartRead();
    void StartWrite();
    void FinishOperations();
    void ClientGone();
    // Waits until the thread has acted on every request made so far.
    void WaitApplied();
    void Cancel(Operation& op);

    CSimBoard& m_board;
    std::wstring m_path;
    std::unique_ptr<CWorkerThread> m_thread;
    CHandle m_pipe;
    CHandle m_wake;
    CHandle m_applied;
    Operation m_connect;
    Operation m_read;
    Operation m_write;
    uint8_t m_readBuffer[512] = {};
    std::vector<uint8_t> m_writeBuffer;

    bool m_restartWhenClientLeaves = false;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_wantPlugged{false};
    std::atomic<bool> m_plugged{false};
    std::atomic<bool> m_connected{false};
    std::atomic<uint32_t> m_requests{0};
    std::atomic<uint32_t> m_appliedRequests{0};
    std::atomic<uint32_t> m_delivered{0};
};
