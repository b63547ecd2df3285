#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliReports.h"
#include "log/LogLine.h"
#include "protocol/FlashWriter.h"

namespace {

std::vector<uint8_t> MeasurePayload(uint8_t rsoc, uint16_t temperature, uint16_t voltage)
{
    std::vector<uint8_t> p(kPayloadSize, 0);
    p[0] = RC_MEASURE;
    p[1] = rsoc;
    p[2] = static_cast<uint8_t>(temperature & 0xFF);
    p[3] = static_cast<uint8_t>(temperature >> 8);
    p[4] = static_cast<uint8_t>(voltage & 0xFF);
    p[5] = static_cast<uint8_t>(voltage >> 8);
    return p;
}

TEST(CliReports, MeasurementLineIsALogFileLine)
{
    const LogTime when{2019, 1, 18, 9, 5, 7};
    struct Case {
        uint8_t rsoc;
        uint16_t temperature;
        uint16_t voltage;
        const char* line;
    } cases[] = {
        {85, 2982, 3801, "2019/01/18 09:05:07, 85, 25.0, 3801"},
        {0, 2732, 0, "2019/01/18 09:05:07, 0, 0.0, 0"},
        // Below 0 degrees Celsius, and the largest values the report holds.
        {255, 2631, 65535, "2019/01/18 09:05:07, 255, -10.1, 65535"},
        {100, 0, 4200, "2019/01/18 09:05:07, 100, -273.2, 4200"},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> payload = MeasurePayload(c.rsoc, c.temperature, c.voltage);
        const std::string line = MeasurementLine(payload.data(), when);
        EXPECT_EQ(line, c.line);
        // The loader reads the same reading back.
        const tagLOGDATA back = ParseMeasurementLine(line.data(), line.size());
        EXPECT_EQ(back.year, 2019);
        EXPECT_EQ(back.second, 7);
        EXPECT_EQ(back.rsoc, c.rsoc);
        EXPECT_EQ(back.voltage, c.voltage);
    }
}

TEST(CliReports, MeasureLimit)
{
    const CMeasureLimit open(std::nullopt, std::nullopt, 1000);
    EXPECT_FALSE(open.CountReached(1000000));
    EXPECT_FALSE(open.DurationOver(UINT64_MAX));
    EXPECT_EQ(open.WaitLimit(5000, 1000), 1000u);

    const CMeasureLimit count(3u, std::nullopt, 0);
    EXPECT_FALSE(count.CountReached(2));
    EXPECT_TRUE(count.CountReached(3));

    const CMeasureLimit duration(std::nullopt, 2500u, 10000);
    EXPECT_FALSE(duration.DurationOver(12499));
    EXPECT_TRUE(duration.DurationOver(12500));
    EXPECT_EQ(duration.WaitLimit(12000, 1000), 500u);
    EXPECT_EQ(duration.WaitLimit(11000, 1000), 1000u);
    EXPECT_EQ(duration.WaitLimit(13000, 1000), 0u);
}

// Runs the writer through a whole write, as the receive thread does, and
// collects the progress texts of the frames it sends.
TEST(CliReports, FlashProgressFollowsTheWriter)
{
    const uint32_t blocks = 2;
    std::vector<uint8_t> image(blocks * kFlashBlockSize, 0x5A);
    CFlashWriter writer;
    ASSERT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));

    std::vector<std::string> texts;
    uint8_t ack[kPayloadSize] = {};
    ack[1] = 1;
    for (int guard = 0; guard < 20 && writer.phase != FP_FINISH; ++guard) {
        ack[0] = writer.requestCode;
        ack[2] = 1;  // verify matched
        ASSERT_TRUE(writer.Reply(ack, image.data(), static_cast<uint32_t>(image.size())));
        const std::string text = FlashProgressText({writer.phase, writer.blockCounter, writer.blockCount});
        if (!text.empty()) texts.push_back(text);
    }
    const std::vector<std::string> expected = {"write block 1 of 2", "write block 2 of 2", "verify block 1 of 2",
                                               "verify block 2 of 2"};
    EXPECT_EQ(texts, expected);
}

TEST(CliReports, FlashOutcomes)
{
    struct Case {
        uint8_t code, status, verify;
        FlashOutcome outcome;
    } cases[] = {
        {RC_FLASH_FINISH, 1, 0, FlashOutcome::Success},
        {RC_FLASH_FINISH, 0, 0, FlashOutcome::Pending},
        {RC_FLASH_VERIFY_END, 1, 0, FlashOutcome::VerifyError},
        {RC_FLASH_VERIFY_END, 1, 2, FlashOutcome::VerifyError},
        {RC_FLASH_VERIFY_END, 1, 1, FlashOutcome::Pending},
        {RC_FLASH_VERIFY_END, 0, 0, FlashOutcome::Pending},
        {RC_I2C_ERROR, 0, 0, FlashOutcome::I2cError},
        {RC_SETTINGS, 1, 1, FlashOutcome::Pending},
        {RC_READ_WORD, 1, 1, FlashOutcome::Pending},
        {RC_MEASURE, 1, 1, FlashOutcome::Pending},
    };
    for (const Case& c : cases) {
        uint8_t payload[kPayloadSize] = {c.code, c.status, c.verify};
        EXPECT_EQ(FlashOutcomeOf(payload), c.outcome) << int(c.code) << " " << int(c.status) << " " << int(c.verify);
    }
    EXPECT_STREQ(FlashOutcomeText(FlashOutcome::Success), "Flash write success");
    EXPECT_STREQ(FlashOutcomeText(FlashOutcome::VerifyError), "Verify error");
    EXPECT_STREQ(FlashOutcomeText(FlashOutcome::I2cError), "I2C communication error");
}

} // namespace
