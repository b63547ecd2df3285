#pragma once
// A simulated sub board: takes the output reports the tool writes and
// produces the input reports the real board would send. Transport-free and
// clock-free: the transport feeds reports and ticks, and drains the outgoing
// queue. Every public member is safe to call from any thread.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "protocol/ReportCodes.h"
#include "sim/SimFlash.h"

struct SimSettings {
    bool received = false;
    uint16_t intervalSeconds = 0;
    uint16_t i2cClockKHz = 0;
    uint8_t commType = 0;
};

struct SimMeasurement {
    uint8_t rsoc;          // percent
    uint16_t temperature;  // 0.1 K
    uint16_t voltage;      // mV
};

// What happens to one flash frame, counted from flash begin (index 0).
enum class SimFlashFault : uint8_t {
    None,
    AckStatusZero, // answered with status byte 0
    I2cError,      // answered with RC_I2C_ERROR instead
    Unplug,        // the board drops off the bus instead of answering
    RepeatedAck,   // carried out and answered twice
    // Carried out and answered, but first the acknowledgement the board sent
    // last (codes 0x08..0x0C) comes again, late: at flash begin that is the
    // end-of-verify answer of the write before.
    LateAck,
};

class CSimBoard {
public:
    static constexpr uint32_t kDefaultMeasurePeriodMs = 250;
    // Input reports kept for a client that does not read; past this the
    // oldest are dropped, as a host's HID input buffer does.
    static constexpr size_t kMaxPendingInputReports = 1024;
    // A frame whose reports are further apart than this is given up.
    static constexpr uint32_t kFrameGapMs = 500;

    CSimBoard() = default;
    CSimBoard(const CSimBoard&) = delete;
    CSimBoard& operator=(const CSimBoard&) = delete;

    // --- transport side
    // One output report as written by the tool; anything but 65 bytes with
    // report id 0 is ignored. nowMs is the transport's millisecond clock.
    void ReceiveOutputReport(const uint8_t* data, size_t size, uint32_t nowMs);
    // Sends measurement reports that have come due.
    void Tick(uint32_t nowMs);
    // Takes the oldest outgoing input report; false when none is waiting.
    bool TakeInputReport(std::vector<uint8_t>& report);
    size_t PendingInputReports() const;
    // True while the board refuses to read output reports (writes stall).
    bool ReadsStalled() const;
    // True once after an unplug was asked for.
    bool TakeUnplugRequest();
    // Unplugged and plugged in again: the board restarts; registers and
    // flash memory keep their content.
    void PowerCycle();

    // --- set-up and inspection
    void SetMeasurePeriod(uint32_t ms);
    // The board's n-th reading becomes MeasurementAt(sample + n), so boards
    // side by side can report different readings.
    void SetFirstSample(uint32_t sample);
    void SetRegister(uint8_t command, uint16_t value);
    uint16_t Register(uint8_t command) const;
    uint8_t FlashAt(uint32_t address) const;
    bool Measuring() const;
    SimSettings Settings() const;
    uint32_t FramesHandled() const;
    // The code and byte 1 of the frames handled, oldest first (the latest
    // kFrameLogSize), as code << 8 | byte1: what reached the board in order.
    std::vector<uint16_t> FrameLog() const;
    static constexpr size_t kFrameLogSize = 4096;
    uint32_t ReportsIgnored() const;
    // Measurement reports produced since the board was made.
    uint32_t MeasurementsSent() const;
    // The reading the board reports as its n-th measurement.
    static SimMeasurement MeasurementAt(uint32_t sample);

    // --- faults
    // Queues count RC_COMM_ERROR reports at once.
    void InjectCommErrors(uint32_t count);
    // Queues the next count measurement reports at once, measuring or not.
    void InjectMeasurements(uint32_t count);
    // Queues a report of the given length carrying a code that would be queued.
    void InjectWrongLength(size_t length);
    // Queues a 65-byte report with a code the tool does not handle.
    void InjectUnknownCode(uint8_t code);
    void SetVerifyMismatch(bool on);
    void SetFlashFault(SimFlashFault fault, uint32_t frameIndex);
    // A hung board: reads and discards everything and sends nothing.
    void SetSilent(bool on);
    // A board that stops reading output reports.
    void SetReadsStalled(bool on);
    void RequestUnplug();

private:
    void HandleFrameLocked(uint32_t nowMs);
    void HandleFlashFrameLocked();
    void QueueLocked(const uint8_t* payload, size_t payloadSize);
    void QueueMeasurementLocked();
    void PushLocked(std::vector<uint8_t> report);
    void QueueCodeLocked(uint8_t code, uint8_t b1 = 0, uint16_t word = 0);

    mutable std::mutex m_lock;
    std::deque<std::vector<uint8_t>> m_outgoing;
    uint8_t m_frame[kFrameSize] = {};
    uint32_t m_reportsInFrame = 0;
    uint32_t m_frameStartMs = 0;

    uint16_t m_registers[256] = {};
    CSimFlash m_flash;
    SimSettings m_settings;

    bool m_measuring = false;
    uint32_t m_periodMs = kDefaultMeasurePeriodMs;
    uint32_t m_nextDue = 0;
    uint32_t m_sample = 0;
    uint32_t m_firstSample = 0;

    uint32_t m_framesHandled = 0;
    std::deque<uint16_t> m_frameLog;
    uint32_t m_reportsIgnored = 0;
    uint32_t m_flashFrameIndex = 0;
    std::vector<uint8_t> m_lastFlashAck;  // payload; empty before the first

    SimFlashFault m_flashFault = SimFlashFault::None;
    uint32_t m_flashFaultAt = 0;
    bool m_silent = false;
    bool m_stalled = false;
    bool m_unplugRequested = false;
};
