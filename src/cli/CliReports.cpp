#include "cli/CliReports.h"

#include "log/LogLine.h"
#include "protocol/FlashWriter.h"
#include "protocol/ReportDecode.h"

tagLOGDATA MeasurementRecord(const uint8_t* payload, const LogTime& when)
{
    const MeasurementReading reading = DecodeMeasurement(payload);
    return MakeLogRecord(when, reading.rsoc, reading.temperature, reading.voltage);
}

std::string MeasurementLine(const tagLOGDATA& record)
{
    char line[kLogLineMaxChars];
    return std::string(line, FormatMeasurementLine(line, record));
}

std::string MeasurementLine(const uint8_t* payload, const LogTime& when)
{
    return MeasurementLine(MeasurementRecord(payload, when));
}

uint64_t CMeasureLimit::WaitLimit(uint64_t nowMs, uint64_t cap) const
{
    if (!m_durationMs) return cap;
    const uint64_t end = m_startMs + *m_durationMs;
    const uint64_t left = end > nowMs ? end - nowMs : 0;
    return left < cap ? left : cap;
}

std::string FlashProgressText(const FlashStepInfo& step)
{
    const char* pass = nullptr;
    if (step.phase == FP_DATA) pass = "write";
    else if (step.phase == FP_VERIFY) pass = "verify";
    if (!pass) return std::string();
    return std::string(pass) + " block " + std::to_string(step.blockCounter + 1) + " of " +
           std::to_string(step.blockCount);
}

FlashOutcome FlashOutcomeOf(const uint8_t* payload)
{
    switch (payload[0]) {
    case RC_FLASH_FINISH: return IsAckAccepted(payload) ? FlashOutcome::Success : FlashOutcome::Pending;
    case RC_FLASH_VERIFY_END:
        return IsAckAccepted(payload) && !IsVerifyMatched(payload) ? FlashOutcome::VerifyError
                                                                    : FlashOutcome::Pending;
    case RC_I2C_ERROR: return FlashOutcome::I2cError;
    default: return FlashOutcome::Pending;
    }
}

const char* FlashOutcomeText(FlashOutcome outcome)
{
    switch (outcome) {
    case FlashOutcome::Success: return "Flash write success";
    case FlashOutcome::VerifyError: return "Verify error";
    case FlashOutcome::I2cError: return "I2C communication error";
    case FlashOutcome::Pending: break;
    }
    return "Writing...";
}
