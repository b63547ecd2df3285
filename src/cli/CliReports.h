#pragma once
// What vantrel-cli makes of the reports the receive thread hands over: log
// lines of readings, when a measurement is over, flash progress and result.
#include <cstdint>
#include <optional>
#include <string>

#include "log/LogRecord.h"
#include "log/LogTime.h"

// The log-file line (without line break) of one RC_MEASURE report received
// at `when`: the same record the dialog makes of it, in the same format.
std::string MeasurementLine(const uint8_t* payload, const LogTime& when);
// The record behind that line.
tagLOGDATA MeasurementRecord(const uint8_t* payload, const LogTime& when);
// The log-file line of a record.
std::string MeasurementLine(const tagLOGDATA& record);

// When a measurement is over: after a number of readings or a time span
// from its start, or never when neither is given.
class CMeasureLimit {
public:
    CMeasureLimit(std::optional<uint32_t> count, std::optional<uint64_t> durationMs, uint64_t startMs)
        : m_count(count), m_durationMs(durationMs), m_startMs(startMs) {}

    bool CountReached(uint32_t readings) const { return m_count && readings >= *m_count; }
    bool DurationOver(uint64_t nowMs) const { return m_durationMs && nowMs - m_startMs >= *m_durationMs; }
    // How long a wait may last from nowMs: at most `cap`, and not past the end
    // of the duration.
    uint64_t WaitLimit(uint64_t nowMs, uint64_t cap) const;

private:
    std::optional<uint32_t> m_count;
    std::optional<uint64_t> m_durationMs;
    uint64_t m_startMs;
};

// The flash writer's state right after it sent a frame.
struct FlashStepInfo {
    uint8_t phase;
    uint32_t blockCounter;
    uint32_t blockCount;
};

// "write block k of n" for a data block, "verify block k of n" for a verify
// block (k counted from 1); empty for the other frames.
std::string FlashProgressText(const FlashStepInfo& step);

enum class FlashOutcome { Pending, Success, VerifyError, I2cError };

// The result a queued report means for a running flash write. Reports that
// say nothing about the write (settings answers and the like) are Pending.
FlashOutcome FlashOutcomeOf(const uint8_t* payload);

// The result texts, as the process result field shows them.
const char* FlashOutcomeText(FlashOutcome outcome);
