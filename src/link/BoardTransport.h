#pragma once
// One open sub board as the receive pump and the companion use it: 65-byte
// reports in and out, whatever carries them (a HID device, a simulator's
// pipe or socket). Implemented once per platform.
#include <cstdint>

class IBoardTransport {
public:
    enum class ReadResult {
        Report,   // a whole 65-byte input report (report id first) is in the buffer
        Nothing,  // time-out, a cancelled wait, or a report of the wrong size: read again at once
        Failed,   // the device refused the read: pause before trying again
        Gone,     // the device refused the read because it is no longer there
    };
    static constexpr uint32_t kWriteTimeoutMs = 1000;

    virtual ~IBoardTransport() = default;
    // Waits at most timeoutMs for one input report. `report` holds 65 bytes.
    virtual ReadResult Read(uint8_t* report, uint32_t timeoutMs) = 0;
    // Ends a Read that is waiting now (or the next one to start) early;
    // safe on any thread.
    virtual void CancelRead() = 0;
    // One 65-byte output report within kWriteTimeoutMs; safe on several
    // threads at once.
    virtual bool Write(const uint8_t* report) = 0;
    // False once the device has gone away.
    virtual bool Present() = 0;
};
