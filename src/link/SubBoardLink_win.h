#pragma once
// The sub board as a device: found among the HID interfaces by the match text
// in its path, opened for overlapped I/O, written one 65-byte output report
// at a time. Knows nothing of what the reports carry.
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

#include "fw/Handle_win.h"
#include "protocol/Frames.h"

// Lists extra device paths, separated by ';', that Find considers after the
// HID interfaces: how a simulated board on a named pipe is reached.
constexpr const wchar_t kDeviceEnvironmentVariable[] = L"VANTREL_DEVICE";

// One overlapped read of a 65-byte input report with a time-out. A read
// that does not finish in time is cancelled and completed before the buffer
// and record go (one that completed meanwhile still counts).
enum class ReportRead {
    Report,   // a whole report is in the buffer
    Nothing,  // time-out, a cancelled read, or a report of the wrong length
    Failed,   // the device refused the read for another reason
    Gone,     // the device refused the read because it is no longer there
};
ReportRead ReadReport(HANDLE device, uint8_t* report, DWORD timeoutMs);

class CSubBoardLink {
public:
    // WriteReport results.
    static constexpr int kWriteNoDevice = 0;
    static constexpr int kWriteFailed = 1;
    static constexpr int kWriteDone = 2;
    static constexpr DWORD kWriteTimeoutMs = 1000;
    static constexpr DWORD kPipeBusyWaitMs = 500;

    CSubBoardLink();
    CSubBoardLink(const CSubBoardLink&) = delete;
    CSubBoardLink& operator=(const CSubBoardLink&) = delete;

    // 1 when a device path holds the match text (the last one found is kept), else 0.
    int Find();
    // Every matching device path, in the order Find considers them.
    std::vector<std::wstring> FindAll() const;
    // Makes `path` the one Open opens, as if Find had chosen it.
    void Choose(const std::wstring& path) { m_devicePath = path; }
    // Nonzero when the device path could be opened; only then is a handle kept.
    BOOL Open();
    // Nonzero when there was nothing to close or the close succeeded.
    BOOL Close();
    // One output report of 65 bytes: 0 no device, 1 failed or timed out, 2 written.
    // Safe to call from several threads at once.
    int WriteReport(const uint8_t* report) const;
    // The frame's reports in a row; no other frame's reports come between
    // them, whichever threads write. kWriteDone when all were written.
    int WriteFrame(const OutputFrame& frame) const;

    HANDLE Handle() const { return m_device.Get(); }
    const std::wstring& DevicePath() const { return m_devicePath; }
    const GUID& HidClass() const { return m_hidClass; }

    // The path test of Find: a case-sensitive search for the match text.
    static bool IsSubBoardPath(const std::wstring& path);

private:
    void FindHidInterfaces(std::vector<std::wstring>& paths) const;
    void FindListedDevices(std::vector<std::wstring>& paths) const;

    GUID m_hidClass{};
    CHandle m_device;
    mutable CCriticalSection m_frameLock;
    std::wstring m_devicePath;
};
