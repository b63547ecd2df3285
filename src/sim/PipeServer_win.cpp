#include "sim/PipeServer_win.h"

#include <initializer_list>
#include <mmsystem.h>

#include "protocol/ReportCodes.h"

namespace {

// How often the board's clock is driven while a client is connected.
constexpr DWORD kTickMs = 5;
// Small pipe buffers: a board that stops reading makes the tool's writes
// wait instead of piling up in the pipe.
constexpr DWORD kPipeBufferSize = kReportSize;

HANDLE NewEvent(BOOL manualReset)
{
    return CreateEventW(nullptr, manualReset, FALSE, nullptr);
}

} // namespace

std::wstring CPipeServer::PathFor(const std::wstring& suffix)
{
    const std::wstring match(kSubBoardMatchText, kSubBoardMatchText + sizeof kSubBoardMatchText - 1);
    return L"\\\\.\\pipe\\hid#" + match + L"#" + suffix + L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

CPipeServer::CPipeServer(CSimBoard& board, const std::wstring& suffix)
    : m_board(board), m_path(PathFor(suffix))
{
    m_wake.Reset(NewEvent(FALSE));
    m_applied.Reset(NewEvent(FALSE));
    m_connect.event.Reset(NewEvent(TRUE));
    m_read.event.Reset(NewEvent(TRUE));
    m_write.event.Reset(NewEvent(TRUE));
}

CPipeServer::~CPipeServer()
{
    Stop();
}

bool CPipeServer::Start()
{
    if (m_thread) return Plugged();
    m_stopping.store(false);
    m_wantPlugged.store(true);
    m_thread = std::make_unique<CWorkerThread>([this]() { Run(); });
    if (!m_thread->Create()) {
        m_thread.reset();
        return false;
    }
    m_thread->Resume();
    WaitApplied();
    if (Plugged()) return true;
    Stop();
    return false;
}

void CPipeServer::Stop()
{
    if (!m_thread) return;
    m_stopping.store(true);
    SetEvent(m_wake.Get());
    m_thread->Wait(INFINITE);
    m_thread.reset();
}

void CPipeServer::Unplug()
{
    m_wantPlugged.store(false);
    WaitApplied();
}

bool CPipeServer::Replug()
{
    m_wantPlugged.store(true);
    WaitApplied();
    return Plugged();
}

void CPipeServer::WaitApplied()
{
    if (!m_thread) return;
    const uint32_t request = m_requests.fetch_add(1) + 1;
    SetEvent(m_wake.Get());
    while (m_appliedRequests.load() < request) WaitForSingleObject(m_applied.Get(), 10);
}

void CPipeServer::Run()
{
    while (!m_stopping.load()) {
        const uint32_t request = m_requests.load();
        ApplyPlugState();
        m_appliedRequests.store(request);
        SetEvent(m_applied.Get());
        if (m_plugged.load()) {
            Serve();
        } else {
            WaitForSingleObject(m_wake.Get(), INFINITE);
        }
    }
    ClosePipe();
}

void CPipeServer::ApplyPlugState()
{
    const bool want = m_wantPlugged.load();
    if (want == m_plugged.load()) return;
    if (want) {
        if (CreatePipe()) m_board.PowerCycle();
    } else {
        ClosePipe();
        m_board.PowerCycle();
    }
}

bool CPipeServer::CreatePipe()
{
    m_pipe.Reset(CreateNamedPipeW(m_path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                  PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, kPipeBufferSize,
                                  kPipeBufferSize, 0, nullptr));
    m_plugged.store(m_pipe.IsValid());
    return m_pipe.IsValid();
}

void CPipeServer::ClosePipe()
{
    Cancel(m_connect);
    Cancel(m_read);
    Cancel(m_write);
    m_pipe.Reset();
    m_connected.store(false);
    m_plugged.store(false);
}

void CPipeServer::Cancel(Operation& op)
{
    if (!op.pending) return;
    DWORD ignored = 0;
    CancelIoEx(m_pipe.Get(), &op.ov);
    GetOverlappedResult(m_pipe.Get(), &op.ov, &ignored, TRUE);
    op.pending = false;
}

void CPipeServer::Serve()
{
    if (!m_connected.load() && !m_connect.pending) StartConnect();
    if (m_connected.load()) {
        m_board.Tick(timeGetTime());
        if (m_board.ReadsStalled()) {
            // Take nothing more: the tool's writes now wait in the pipe.
            if (m_read.pending) {
                DWORD n = 0;
                CancelIoEx(m_pipe.Get(), &m_read.ov);
                const BOOL ok = GetOverlappedResult(m_pipe.Get(), &m_read.ov, &n, TRUE);
                m_read.pending = false;
                if (ok) m_board.ReceiveOutputReport(m_readBuffer, n, timeGetTime());
            }
        } else if (!m_read.pending) {
            StartRead();
        }
        if (m_connected.load() && !m_write.pending) StartWrite();
    }

    HANDLE handles[4];
    DWORD count = 0;
    handles[count++] = m_wake.Get();
    for (Operation* op : {&m_connect, &m_read, &m_write})
        if (op->pending) handles[count++] = op->event.Get();
    // Without a client only a connection (or a request) can change anything.
    const bool idle = !m_connected.load() && m_connect.pending;
    WaitForMultipleObjects(count, handles, FALSE, idle ? INFINITE : kTickMs);
    FinishOperations();
    if (m_board.TakeUnplugRequest()) m_wantPlugged.store(false);
}

void CPipeServer::StartConnect()
{
    ResetEvent(m_connect.event.Get());
    m_connect.ov = OVERLAPPED{};
    m_connect.ov.hEvent = m_connect.event.Get();
    if (ConnectNamedPipe(m_pipe.Get(), &m_connect.ov)) {
        m_connected.store(true);
        return;
    }
    switch (GetLastError()) {
    case ERROR_IO_PENDING:
        m_connect.pending = true;
        break;
    case ERROR_PIPE_CONNECTED:
        m_connected.store(true);
        break;
    default:
        // A client that came and went already: make the instance free again.
        DisconnectNamedPipe(m_pipe.Get());
        break;
    }
}

void CPipeServer::StartRead()
{
    ResetEvent(m_read.event.Get());
    m_read.ov = OVERLAPPED{};
    m_read.ov.hEvent = m_read.event.Get();
    if (ReadFile(m_pipe.Get(), m_readBuffer, sizeof m_readBuffer, nullptr, &m_read.ov) ||
        GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA) {
        m_read.pending = true;
    } else {
        ClientGone();
    }
}

void CPipeServer::StartWrite()
{
    if (!m_board.TakeInputReport(m_writeBuffer)) return;
    ResetEvent(m_write.event.Get());
    m_write.ov = OVERLAPPED{};
    m_write.ov.hEvent = m_write.event.Get();
    if (WriteFile(m_pipe.Get(), m_writeBuffer.data(), static_cast<DWORD>(m_writeBuffer.size()), nullptr,
                  &m_write.ov) ||
        GetLastError() == ERROR_IO_PENDING) {
        m_write.pending = true;
    } else {
        ClientGone();
    }
}

void CPipeServer::FinishOperations()
{
    DWORD n = 0;
    if (m_connect.pending && HasOverlappedIoCompleted(&m_connect.ov)) {
        m_connect.pending = false;
        if (GetOverlappedResult(m_pipe.Get(), &m_connect.ov, &n, FALSE)) m_connected.store(true);
        else DisconnectNamedPipe(m_pipe.Get());
    }
    if (m_read.pending && HasOverlappedIoCompleted(&m_read.ov)) {
        m_read.pending = false;
        // A message longer than the buffer arrives in pieces; the board
        // ignores every piece, as it ignores any report of the wrong size.
        if (GetOverlappedResult(m_pipe.Get(), &m_read.ov, &n, FALSE) || GetLastError() == ERROR_MORE_DATA) {
            m_board.ReceiveOutputReport(m_readBuffer, n, timeGetTime());
        } else {
            ClientGone();
            return;
        }
    }
    if (m_write.pending && HasOverlappedIoCompleted(&m_write.ov)) {
        m_write.pending = false;
        if (GetOverlappedResult(m_pipe.Get(), &m_write.ov, &n, FALSE)) m_delivered.fetch_add(1);
        else ClientGone();
    }
}

void CPipeServer::ClientGone()
{
    Cancel(m_read);
    Cancel(m_write);
    DisconnectNamedPipe(m_pipe.Get());
    m_connected.store(false);
    // Reports waiting for the old client are not for the next one.
    std::vector<uint8_t> dropped;
    while (m_board.TakeInputReport(dropped)) {
    }
    if (m_restartWhenClientLeaves) m_board.PowerCycle();
}
