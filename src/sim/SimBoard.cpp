#include "sim/SimBoard.h"

#include <cstring>

namespace {

constexpr uint8_t kFlashPrepare1 = 0x07;
constexpr uint8_t kFlashPrepare2 = 0x15;

// Payload bytes of a measurement report.
constexpr int kRsocAt = 1;
constexpr int kTemperatureAt = 2;
constexpr int kVoltageAt = 4;
constexpr int kAlarmAt = 13;

// Frame bytes of the communication-settings frame.
constexpr int kIntervalAt = 17;
constexpr int kClockAt = 19;
constexpr int kCommTypeAt = 34;

// One percent of charge every this many readings; empty, it starts over full.
constexpr uint32_t kSamplesPerPercent = 4;

void PutWord(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}

uint16_t GetWord(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

SimMeasurement CSimBoard::MeasurementAt(uint32_t sample)
{
    const uint32_t used = (sample / kSamplesPerPercent) % 101;
    SimMeasurement m;
    m.rsoc = static_cast<uint8_t>(100 - used);
    m.voltage = static_cast<uint16_t>(3300 + 9 * m.rsoc);               // 4200 mV full, 3300 mV empty
    m.temperature = static_cast<uint16_t>(2982 + used / 5 + sample % 3); // 25.0 C warming to about 27 C
    return m;
}

void CSimBoard::ReceiveOutputReport(const uint8_t* data, size_t size, uint32_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (size != kReportSize || data[0] != 0) {
        ++m_reportsIgnored;
        return;
    }
    // Three reports make one frame; a short frame simply repeats its report.
    // The reports of one frame come back to back: a part frame left by a
    // write the tool gave up on is dropped, so the next frame is whole again.
    if (m_reportsInFrame > 0 && nowMs - m_frameStartMs > kFrameGapMs) m_reportsInFrame = 0;
    if (m_reportsInFrame == 0) m_frameStartMs = nowMs;
    std::memcpy(m_frame + m_reportsInFrame * kPayloadSize, data + 1, kPayloadSize);
    if (++m_reportsInFrame < kReportsPerFrame) return;
    m_reportsInFrame = 0;
    if (m_silent) return;
    HandleFrameLocked(nowMs);
}

void CSimBoard::HandleFrameLocked(uint32_t nowMs)
{
    ++m_framesHandled;
    const uint8_t* f = m_frame;
    if (m_frameLog.size() == kFrameLogSize) m_frameLog.pop_front();
    m_frameLog.push_back(static_cast<uint16_t>(f[0] << 8 | f[1]));
    switch (f[0]) {
    case RC_CONTROL:
        if (f[1] == kFrameMarker) {
            m_measuring = false;
        } else if (f[1] == kFlashPrepare1 && f[2] == kFlashPrepare2) {
            m_flash.Prepare();
        }
        break;
    case RC_SETTINGS:
        m_settings.received = true;
        m_settings.intervalSeconds = GetWord(f + kIntervalAt);
        m_settings.i2cClockKHz = GetWord(f + kClockAt);
        m_settings.commType = f[kCommTypeAt];
        QueueCodeLocked(RC_SETTINGS);
        break;
    case RC_MEASURE:
        if (f[1] == kFrameMarker && !m_measuring) {
            m_measuring = true;
            m_nextDue = nowMs; // the first reading goes out at the next tick
        }
        break;
    case RC_READ_WORD:
        QueueCodeLocked(RC_READ_WORD, f[1], m_registers[f[1]]);
        break;
    case RC_WRITE_WORD:
        m_registers[f[1]] = GetWord(f + 2);
        QueueCodeLocked(RC_WRITE_WORD, f[1], m_registers[f[1]]);
        break;
    case RC_FLASH_BEGIN:
    case RC_FLASH_DATA:
    case RC_FLASH_DATA_END:
    case RC_FLASH_VERIFY:
    case RC_FLASH_VERIFY_END:
    case RC_FLASH_FINISH:
        HandleFlashFrameLocked();
        break;
    default:
        break; // codes the board is never sent
    }
}

void CSimBoard::HandleFlashFrameLocked()
{
    if (m_frame[0] == RC_FLASH_BEGIN) m_flashFrameIndex = 0;
    const bool faulty = m_flashFault != SimFlashFault::None && m_flashFrameIndex == m_flashFaultAt;
    ++m_flashFrameIndex;
    const SimFlashFault fault = faulty ? m_flashFault : SimFlashFault::None;
    if (faulty) m_flashFault = SimFlashFault::None;
    switch (fault) {
    case SimFlashFault::I2cError:
        QueueCodeLocked(RC_I2C_ERROR);
        return;
    case SimFlashFault::Unplug:
        m_unplugRequested = true;
        return;
    case SimFlashFault::AckStatusZero:
        // Refused: the frame is not carried out.
        QueueCodeLocked(m_frame[0], 0);
        return;
    case SimFlashFault::LateAck:
        if (!m_lastFlashAck.empty()) QueueLocked(m_lastFlashAck.data(), m_lastFlashAck.size());
        break;
    case SimFlashFault::None:
    case SimFlashFault::RepeatedAck:
        break;
    }
    const SimFlashAnswer a = m_flash.Handle(m_frame);
    std::vector<uint8_t> payload(kPayloadSize, 0);
    payload[0] = a.code;
    payload[1] = a.status;
    if (a.code == RC_FLASH_VERIFY_END) payload[2] = a.verifyStatus;
    QueueLocked(payload.data(), payload.size());
    if (fault == SimFlashFault::RepeatedAck) QueueLocked(payload.data(), payload.size());
    // The finish answer is a completion, not an acknowledgement the tool answers.
    if (a.code != RC_FLASH_FINISH) m_lastFlashAck = std::move(payload);
}

void CSimBoard::Tick(uint32_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_measuring || m_silent) return;
    if (static_cast<int32_t>(nowMs - m_nextDue) < 0) return;
    QueueMeasurementLocked();
    // From now, not from the missed due time: a late tick sends one reading, not a burst.
    m_nextDue = nowMs + m_periodMs;
}

void CSimBoard::QueueLocked(const uint8_t* payload, size_t payloadSize)
{
    std::vector<uint8_t> report(payloadSize + 1, 0);
    std::memcpy(report.data() + 1, payload, payloadSize);
    PushLocked(std::move(report));
}

void CSimBoard::QueueMeasurementLocked()
{
    const SimMeasurement m = MeasurementAt(m_firstSample + m_sample++);
    uint8_t payload[kPayloadSize] = {};
    payload[0] = RC_MEASURE;
    payload[kRsocAt] = m.rsoc;
    PutWord(payload + kTemperatureAt, m.temperature);
    PutWord(payload + kVoltageAt, m.voltage);
    payload[kAlarmAt] = m.rsoc < 10 ? 0 : 1; // 0 means alarm on
    QueueLocked(payload, sizeof payload);
}

void CSimBoard::PushLocked(std::vector<uint8_t> report)
{
    if (m_outgoing.size() >= kMaxPendingInputReports) m_outgoing.pop_front();
    m_outgoing.push_back(std::move(report));
}

void CSimBoard::QueueCodeLocked(uint8_t code, uint8_t b1, uint16_t word)
{
    uint8_t payload[kPayloadSize] = {};
    payload[0] = code;
    payload[1] = b1;
    PutWord(payload + 2, word);
    QueueLocked(payload, sizeof payload);
}

bool CSimBoard::TakeInputReport(std::vector<uint8_t>& report)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_outgoing.empty()) return false;
    report = std::move(m_outgoing.front());
    m_outgoing.pop_front();
    return true;
}

size_t CSimBoard::PendingInputReports() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_outgoing.size();
}

bool CSimBoard::ReadsStalled() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_stalled;
}

bool CSimBoard::TakeUnplugRequest()
{
    std::lock_guard<std::mutex> guard(m_lock);
    const bool requested = m_unplugRequested;
    m_unplugRequested = false;
    return requested;
}

void CSimBoard::PowerCycle()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_outgoing.clear();
    m_reportsInFrame = 0;
    m_measuring = false;
    m_flash.Abort();
    m_lastFlashAck.clear();  // a restarted board remembers no answer
    m_settings = SimSettings{};
}

void CSimBoard::SetMeasurePeriod(uint32_t ms)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_periodMs = ms;
}

void CSimBoard::SetFirstSample(uint32_t sample)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_firstSample = sample;
}

void CSimBoard::SetRegister(uint8_t command, uint16_t value)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_registers[command] = value;
}

uint16_t CSimBoard::Register(uint8_t command) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_registers[command];
}

uint8_t CSimBoard::FlashAt(uint32_t address) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_flash.At(address);
}

uint32_t CSimBoard::MeasurementsSent() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_sample;
}

bool CSimBoard::Measuring() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_measuring;
}

SimSettings CSimBoard::Settings() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_settings;
}

uint32_t CSimBoard::FramesHandled() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_framesHandled;
}

std::vector<uint16_t> CSimBoard::FrameLog() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return std::vector<uint16_t>(m_frameLog.begin(), m_frameLog.end());
}

uint32_t CSimBoard::ReportsIgnored() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_reportsIgnored;
}

void CSimBoard::InjectCommErrors(uint32_t count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (uint32_t i = 0; i < count; ++i) QueueCodeLocked(RC_COMM_ERROR);
}

void CSimBoard::InjectMeasurements(uint32_t count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (uint32_t i = 0; i < count; ++i) QueueMeasurementLocked();
}

void CSimBoard::InjectWrongLength(size_t length)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<uint8_t> report(length, 0);
    if (length > 1) report[1] = RC_READ_WORD; // a code that would otherwise be queued
    PushLocked(std::move(report));
}

void CSimBoard::InjectUnknownCode(uint8_t code)
{
    std::lock_guard<std::mutex> guard(m_lock);
    QueueCodeLocked(code);
}

void CSimBoard::SetVerifyMismatch(bool on)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_flash.SetCorruptWrites(on);
}

void CSimBoard::SetFlashFault(SimFlashFault fault, uint32_t frameIndex)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_flashFault = fault;
    m_flashFaultAt = frameIndex;
}

void CSimBoard::SetSilent(bool on)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_silent = on;
}

void CSimBoard::SetReadsStalled(bool on)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_stalled = on;
}

void CSimBoard::RequestUnplug()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_unplugRequested = true;
}
