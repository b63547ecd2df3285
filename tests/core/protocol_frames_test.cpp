#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "protocol/Frames.h"
#include "protocol/ReportDecode.h"

namespace {

struct ShortCase {
    const char* name;
    OutputFrame frame;
    std::vector<std::pair<std::size_t, uint8_t>> bytes;  // frame byte, value; the rest 0
};

TEST(ProtocolFrames, ShortFramesRepeatOneReportThreeTimes)
{
    const ShortCase cases[] = {
        {"stop", BuildStopFrame(), {{1, 0x5A}}},
        {"start measurement", BuildStartMeasureFrame(), {{0, 0x03}, {1, 0x5A}}},
        {"read word", BuildReadWordFrame(0x34), {{0, 0x06}, {1, 0x34}}},
        {"write word", BuildWriteWordFrame(0x12, 0x3456), {{0, 0x07}, {1, 0x12}, {2, 0x56}, {3, 0x34}}},
        // Default settings: 2 s, 100 kHz, I2C.
        {"settings I2C", BuildCommSettingsFrame(2, 100, 0), {{0, 0x01}, {17, 0x02}, {19, 0x64}}},
        // OWSI keeps the stored clock; only the low byte of the type goes out.
        {"settings OWSI",
         BuildCommSettingsFrame(300, 400, 0x0101),
         {{0, 0x01}, {17, 0x2C}, {18, 0x01}, {19, 0x90}, {20, 0x01}, {34, 0x01}}},
    };
    for (const ShortCase& c : cases) {
        SCOPED_TRACE(c.name);
        OutputReport expected{};
        for (const auto& [index, value] : c.bytes) {
            expected[index + 1] = value;
        }
        for (const OutputReport& report : c.frame.reports) {
            EXPECT_EQ(report, expected);
        }
    }
}

TEST(ProtocolFrames, BlockFrameSpreadsImageBytesOverThreeReports)
{
    std::array<uint8_t, kFlashBlockSize> block;
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(0x80 + i);
    }
    const OutputFrame frame = BuildDataBlockFrame(0x8180, block.data());

    OutputReport first{}, second{}, third{};
    first[1] = 0x09;
    first[2] = 0x80;
    first[3] = 0x81;
    std::copy(block.begin(), block.begin() + 61, first.begin() + 4);
    std::copy(block.begin() + 61, block.begin() + 125, second.begin() + 1);
    std::copy(block.begin() + 125, block.end(), third.begin() + 1);
    EXPECT_EQ(frame.reports[0], first);
    EXPECT_EQ(frame.reports[1], second);
    EXPECT_EQ(frame.reports[2], third);

    EXPECT_EQ(FrameByte(BuildVerifyBlockFrame(0x8700, block.data()), 0), 0x0B);
    EXPECT_EQ(FrameByte(frame, 130), block[127]);
    EXPECT_EQ(FrameByte(frame, 131), 0);
}

TEST(ProtocolFrames, LongFramesWithoutImageBytes)
{
    struct Case {
        const char* name;
        OutputFrame frame;
        std::vector<uint8_t> head;
    };
    const Case cases[] = {
        {"preparation", BuildFlashPrepareFrame(), {0x00, 0x07, 0x15}},
        {"begin", BuildFlashBeginFrame(), {0x08}},
        {"finish", BuildFlashFinishFrame(), {0x0D}},
        {"end of data", BuildDataEndFrame(0x8100, 0x8700), {0x0A, 0x00, 0x81, 0x00, 0x87}},
        {"end of verify", BuildVerifyEndFrame(0x8100, 0x8780), {0x0C, 0x00, 0x81, 0x80, 0x87}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t i = 0; i < kFrameSize; ++i) {
            const uint8_t expected = i < c.head.size() ? c.head[i] : 0;
            EXPECT_EQ(FrameByte(c.frame, i), expected) << "frame byte " << i;
        }
        for (const OutputReport& report : c.frame.reports) {
            EXPECT_EQ(report[0], 0);
        }
    }
}

std::array<uint8_t, kPayloadSize> Payload(std::vector<uint8_t> head)
{
    std::array<uint8_t, kPayloadSize> p{};
    std::copy(head.begin(), head.end(), p.begin());
    return p;
}

TEST(ProtocolDecode, Measurement)
{
    struct Case {
        std::vector<uint8_t> payload;
        uint8_t rsoc;
        double temperature;
        uint16_t voltage;
    };
    const Case cases[] = {
        {{0x03, 0x50, 0xA6, 0x0B, 0x10, 0x0F}, 80, 25.0, 3856},
        {{0x03, 0x05, 0x48, 0x0A, 0x00, 0x00}, 5, -10.0, 0},
        {{0x03, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, 255, -273.2, 0xFFFF},
        {{0x03, 0x00, 0xAC, 0x0A}, 0, 0.0, 0},
        // raw - 2732 wraps to a signed 16-bit number.
        {{0x03, 0x00, 0xAB, 0x8A}, 0, 3276.7, 0},   // raw 35499
        {{0x03, 0x00, 0xAC, 0x8A}, 0, -3276.8, 0},  // raw 35500
        {{0x03, 0x00, 0xFF, 0xFF}, 0, -273.3, 0},   // raw 65535
    };
    for (const Case& c : cases) {
        const auto payload = Payload(c.payload);
        const MeasurementReading r = DecodeMeasurement(payload.data());
        EXPECT_EQ(r.rsoc, c.rsoc);
        EXPECT_DOUBLE_EQ(r.temperature, c.temperature);
        EXPECT_EQ(r.voltage, c.voltage);
    }
}

TEST(ProtocolDecode, ReadWordReplyAndAcknowledgements)
{
    EXPECT_EQ(DecodeReadWordValue(Payload({0x06, 0x99, 0x5B, 0x0A}).data()), 0x0A5B);
    EXPECT_EQ(ReadWordText(0x0A5B), L"a5b");
    EXPECT_EQ(ReadWordText(0x00AB), L"ab");
    EXPECT_EQ(ReadWordText(0), L"0");
    EXPECT_EQ(ReadWordText(0xFFFF), L"ffff");

    EXPECT_TRUE(IsAckAccepted(Payload({0x09, 1}).data()));
    EXPECT_FALSE(IsAckAccepted(Payload({0x09, 0}).data()));
    EXPECT_FALSE(IsAckAccepted(Payload({0x09, 2}).data()));
    EXPECT_TRUE(IsVerifyMatched(Payload({0x0C, 1, 1}).data()));
    EXPECT_FALSE(IsVerifyMatched(Payload({0x0C, 1, 0}).data()));
}

}  // namespace
