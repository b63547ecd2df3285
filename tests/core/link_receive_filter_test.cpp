#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/ReceiveFilter.h"
#include "protocol/ReportCodes.h"

namespace {

using Payload = std::array<uint8_t, kPayloadSize>;

Payload Make(uint8_t code, uint8_t status = 0, uint8_t verify = 0)
{
    Payload p{};
    p[0] = code;
    p[1] = status;
    p[2] = verify;
    return p;
}

struct Row {
    const char* name;
    Payload payload;
    uint32_t measuring;
    ReceiveAction expected;
};

// Every report code and condition outside the pacing and counting rules.
TEST(ReceiveFilter, CodeTable)
{
    const Row rows[] = {
        {"control", Make(RC_CONTROL, 1), 1, ReceiveAction::Drop},
        {"write word", Make(RC_WRITE_WORD, 1), 1, ReceiveAction::Drop},
        {"0x0F", Make(0x0F, 1), 1, ReceiveAction::Drop},
        {"0x80", Make(0x80, 1), 1, ReceiveAction::Drop},
        {"0xFF", Make(0xFF, 1), 1, ReceiveAction::Drop},
        {"settings", Make(RC_SETTINGS), 0, ReceiveAction::Queue},
        {"condition change", Make(RC_CONDITION_CHANGE), 1, ReceiveAction::Queue},
        {"settings check", Make(RC_SETTINGS_CHECK), 0, ReceiveAction::Queue},
        {"read word", Make(RC_READ_WORD), 0, ReceiveAction::Queue},
        {"i2c error", Make(RC_I2C_ERROR), 0, ReceiveAction::Queue},
        {"comm error idle", Make(RC_COMM_ERROR), 0, ReceiveAction::Drop},
        {"comm error flag 2", Make(RC_COMM_ERROR), 2, ReceiveAction::Drop},
        {"begin ok", Make(RC_FLASH_BEGIN, 1), 0, ReceiveAction::FlashReply},
        {"data ok", Make(RC_FLASH_DATA, 1), 0, ReceiveAction::FlashReply},
        {"data end ok", Make(RC_FLASH_DATA_END, 1), 0, ReceiveAction::FlashReply},
        {"verify ok", Make(RC_FLASH_VERIFY, 1), 0, ReceiveAction::FlashReply},
        {"begin status 0", Make(RC_FLASH_BEGIN, 0), 0, ReceiveAction::Drop},
        {"data status 2", Make(RC_FLASH_DATA, 2), 0, ReceiveAction::Drop},
        {"data end status 0", Make(RC_FLASH_DATA_END, 0), 0, ReceiveAction::Drop},
        {"verify status 0", Make(RC_FLASH_VERIFY, 0), 0, ReceiveAction::Drop},
        {"verify end matched", Make(RC_FLASH_VERIFY_END, 1, 1), 0, ReceiveAction::FlashReply},
        {"verify end mismatch", Make(RC_FLASH_VERIFY_END, 1, 0), 0, ReceiveAction::Queue},
        {"verify end status 2", Make(RC_FLASH_VERIFY_END, 1, 2), 0, ReceiveAction::Queue},
        {"verify end refused", Make(RC_FLASH_VERIFY_END, 0, 1), 0, ReceiveAction::Drop},
        {"finish done", Make(RC_FLASH_FINISH, 1), 0, ReceiveAction::Queue},
        {"finish not done", Make(RC_FLASH_FINISH, 0), 0, ReceiveAction::Drop},
    };
    for (const Row& row : rows) {
        ReceiveFilterState in{1000, 7};
        ReceiveDecision d = FilterReport(row.payload.data(), row.measuring, 2000, 1500, in);
        EXPECT_EQ(d.action, row.expected) << row.name;
        // Every one of these resets the error run and leaves the pacing alone.
        EXPECT_EQ(d.state.commErrors, 0u) << row.name;
        EXPECT_EQ(d.state.lastPassTick, 1000u) << row.name;
    }
}

// Feeds measurement reports at the given ticks; returns which ones passed.
std::vector<bool> Pace(uint32_t intervalMs, uint32_t startTick, const std::vector<uint32_t>& ticks)
{
    ReceiveFilterState state{startTick, 0};
    std::vector<bool> passed;
    const Payload m = Make(RC_MEASURE, 80);
    for (uint32_t t : ticks) {
        ReceiveDecision d = FilterReport(m.data(), 1, intervalMs, t, state);
        passed.push_back(d.action == ReceiveAction::Queue);
        if (d.action == ReceiveAction::Queue) EXPECT_EQ(d.state.lastPassTick, t);
        else EXPECT_EQ(d.state.lastPassTick, state.lastPassTick);
        state = d.state;
    }
    return passed;
}

TEST(ReceiveFilter, MeasurementEvery500msWithInterval2000PassesEveryFourth)
{
    // Thread started at 0: the first report at 500 is too early.
    std::vector<uint32_t> ticks;
    for (uint32_t t = 500; t <= 6000; t += 500) ticks.push_back(t);
    const std::vector<bool> expected = {false, false, false, true, false, false,
                                        false, true, false, false, false, true};
    EXPECT_EQ(Pace(2000, 0, ticks), expected);
}

TEST(ReceiveFilter, MeasurementPacingFollowsLastPassNotAGrid)
{
    // 1999 is short by one; 2001 passes, and the next needs 4001.
    EXPECT_EQ(Pace(2000, 0, {1999, 2001, 4000, 4001}), (std::vector<bool>{false, true, false, true}));
}

TEST(ReceiveFilter, MeasurementWithIntervalZeroAlwaysPasses)
{
    EXPECT_EQ(Pace(0, 100, {100, 100, 101, 5}), (std::vector<bool>{true, true, true, true}));
}

TEST(ReceiveFilter, MeasurementPacingAcrossTickWrap)
{
    // Last pass just before the 32-bit tick wraps.
    const uint32_t start = 0xFFFFFC18u; // 1000 ms before the wrap
    EXPECT_EQ(Pace(2000, start, {0xFFFFFFFFu, 500, 999, 1000}),
              (std::vector<bool>{false, false, false, true}));
}

TEST(ReceiveFilter, MeasurementResetsErrorRunWhetherPassedOrDropped)
{
    const Payload m = Make(RC_MEASURE);
    EXPECT_EQ(FilterReport(m.data(), 1, 2000, 100, {0, 12}).state.commErrors, 0u);
    EXPECT_EQ(FilterReport(m.data(), 1, 2000, 5000, {0, 12}).state.commErrors, 0u);
}

// Counts queued communication-error reports in a sequence of codes.
std::vector<int> QueuedErrors(const std::vector<uint8_t>& codes, uint32_t measuring)
{
    ReceiveFilterState state{0, 0};
    std::vector<int> queued;
    for (size_t i = 0; i < codes.size(); ++i) {
        const Payload p = Make(codes[i]);
        ReceiveDecision d = FilterReport(p.data(), measuring, 2000, 1000, state);
        if (codes[i] == RC_COMM_ERROR && d.action == ReceiveAction::Queue) queued.push_back(static_cast<int>(i + 1));
        EXPECT_LE(d.state.commErrors, 32u);
        state = d.state;
    }
    return queued;
}

TEST(ReceiveFilter, SixtySixCommErrorsQueueThe33rdAndThe66th)
{
    EXPECT_EQ(QueuedErrors(std::vector<uint8_t>(66, RC_COMM_ERROR), 1), (std::vector<int>{33, 66}));
}

TEST(ReceiveFilter, OtherReportBreaksTheErrorRun)
{
    std::vector<uint8_t> codes(20, RC_COMM_ERROR);
    codes.push_back(RC_MEASURE); // dropped by the interval, still resets
    codes.insert(codes.end(), 20, RC_COMM_ERROR);
    EXPECT_TRUE(QueuedErrors(codes, 1).empty());

    // Even a code that is dropped outright resets the count.
    std::vector<uint8_t> withControl(32, RC_COMM_ERROR);
    withControl.push_back(RC_CONTROL);
    withControl.push_back(RC_COMM_ERROR);
    EXPECT_TRUE(QueuedErrors(withControl, 1).empty());
}

TEST(ReceiveFilter, CommErrorsWhileNotMeasuringNeverQueue)
{
    EXPECT_TRUE(QueuedErrors(std::vector<uint8_t>(100, RC_COMM_ERROR), 0).empty());
}

} // namespace
