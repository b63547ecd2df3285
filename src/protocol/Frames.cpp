#include "protocol/Frames.h"

#include <cstring>

namespace {

constexpr std::size_t kContentPerReport = kReportSize - 1;

void PutWord(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

OutputFrame MarkerFrame(uint8_t code)
{
    std::array<uint8_t, kPayloadSize> content{};
    content[0] = code;
    content[1] = kFrameMarker;
    return MakeShortFrame(content);
}

}  // namespace

uint8_t FrameByte(const OutputFrame& frame, std::size_t i)
{
    if (i >= kFrameSize) {
        return 0;
    }
    return frame.reports[i / kContentPerReport][i % kContentPerReport + 1];
}

OutputFrame MakeShortFrame(const std::array<uint8_t, kPayloadSize>& content)
{
    OutputReport report{};
    std::memcpy(report.data() + 1, content.data(), kContentPerReport);
    OutputFrame frame;
    frame.reports.fill(report);
    return frame;
}

OutputFrame MakeLongFrame(const std::array<uint8_t, kFrameSize>& content)
{
    OutputFrame frame;
    for (std::size_t r = 0; r < kReportsPerFrame; ++r) {
        frame.reports[r][0] = 0;
        std::memcpy(frame.reports[r].data() + 1, content.data() + r * kContentPerReport, kContentPerReport);
    }
    return frame;
}

OutputFrame BuildStopFrame()
{
    return MarkerFrame(RC_CONTROL);
}

OutputFrame BuildStartMeasureFrame()
{
    return MarkerFrame(RC_MEASURE);
}

OutputFrame BuildReadWordFrame(uint8_t command)
{
    std::array<uint8_t, kPayloadSize> content{};
    content[0] = RC_READ_WORD;
    content[1] = command;
    return MakeShortFrame(content);
}

OutputFrame BuildWriteWordFrame(uint8_t command, uint16_t data)
{
    std::array<uint8_t, kPayloadSize> content{};
    content[0] = RC_WRITE_WORD;
    content[1] = command;
    PutWord(&content[2], data);
    return MakeShortFrame(content);
}

OutputFrame BuildCommSettingsFrame(uint16_t receiveInterval, uint16_t i2cClock, uint16_t commType)
{
    std::array<uint8_t, kPayloadSize> content{};
    content[0] = RC_SETTINGS;
    PutWord(&content[17], receiveInterval);
    PutWord(&content[19], i2cClock);
    content[33] = 0;
    content[34] = static_cast<uint8_t>(commType & 0xFF);
    return MakeShortFrame(content);
}

OutputFrame BuildFlashPrepareFrame()
{
    std::array<uint8_t, kFrameSize> content{};
    content[0] = RC_CONTROL;
    content[1] = 0x07;
    content[2] = 0x15;
    return MakeLongFrame(content);
}

OutputFrame BuildCodeFrame(uint8_t code)
{
    std::array<uint8_t, kFrameSize> content{};
    content[0] = code;
    return MakeLongFrame(content);
}

OutputFrame BuildFlashBeginFrame()
{
    return BuildCodeFrame(RC_FLASH_BEGIN);
}

OutputFrame BuildFlashFinishFrame()
{
    return BuildCodeFrame(RC_FLASH_FINISH);
}

OutputFrame BuildBlockFrame(uint8_t code, uint16_t address, const uint8_t* block)
{
    std::array<uint8_t, kFrameSize> content{};
    content[0] = code;
    PutWord(&content[1], address);
    std::memcpy(&content[3], block, kFlashBlockSize);
    return MakeLongFrame(content);
}

OutputFrame BuildDataBlockFrame(uint16_t address, const uint8_t* block)
{
    return BuildBlockFrame(RC_FLASH_DATA, address, block);
}

OutputFrame BuildVerifyBlockFrame(uint16_t address, const uint8_t* block)
{
    return BuildBlockFrame(RC_FLASH_VERIFY, address, block);
}

OutputFrame BuildRangeFrame(uint8_t code, uint16_t first, uint16_t second)
{
    std::array<uint8_t, kFrameSize> content{};
    content[0] = code;
    PutWord(&content[1], first);
    PutWord(&content[3], second);
    return MakeLongFrame(content);
}

OutputFrame BuildDataEndFrame(uint16_t start, uint16_t lastBlock)
{
    return BuildRangeFrame(RC_FLASH_DATA_END, start, lastBlock);
}

OutputFrame BuildVerifyEndFrame(uint16_t start, uint16_t end)
{
    return BuildRangeFrame(RC_FLASH_VERIFY_END, start, end);
}
