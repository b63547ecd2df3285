#pragma once
// A sub board behind a file descriptor: a hidraw device node, or a
// simulator's SOCK_SEQPACKET socket (which keeps report boundaries as a HID
// device does). Reads wait in poll() beside an eventfd, so CancelRead ends a
// wait at once.
#include <string>

#include "link/BoardTransport.h"

class CFd {
public:
    CFd() = default;
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    CFd(CFd&& other) noexcept : m_fd(other.Release()) {}
    CFd& operator=(CFd&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

class CFdTransport : public IBoardTransport {
public:
    enum class Kind { Hidraw, Socket };

    // Opens the device node or connects to the socket; IsOpen tells.
    CFdTransport(const std::string& path, Kind kind);
    bool IsOpen() const { return m_device.IsValid() && m_cancel.IsValid(); }

    ReadResult Read(uint8_t* report, uint32_t timeoutMs) override;
    void CancelRead() override;
    bool Write(const uint8_t* report) override;
    bool Present() override;

private:
    Kind m_kind;
    CFd m_device;
    CFd m_cancel;  // eventfd
};
