#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "protocol/FlashWriter.h"
#include "protocol/Frames.h"
#include "protocol/ReportCodes.h"
#include "sim/SimBoard.h"

namespace {

using Report = std::vector<uint8_t>;

void Send(CSimBoard& board, const OutputFrame& frame, uint32_t now = 0)
{
    for (const OutputReport& r : frame.reports) board.ReceiveOutputReport(r.data(), r.size(), now);
}

std::vector<Report> Drain(CSimBoard& board)
{
    std::vector<Report> out;
    Report r;
    while (board.TakeInputReport(r)) out.push_back(r);
    return out;
}

uint16_t Word(const Report& r, int payloadAt)
{
    return static_cast<uint16_t>(r[payloadAt + 1] | r[payloadAt + 2] << 8);
}

TEST(SimBoard, MeasurementStreamFollowsTheTickUntilStop)
{
    CSimBoard board;
    board.SetMeasurePeriod(100);
    board.Tick(0);
    EXPECT_TRUE(Drain(board).empty()) << "nothing before the start frame";

    Send(board, BuildStartMeasureFrame(), 1000);
    EXPECT_TRUE(board.Measuring());
    for (uint32_t t = 1000; t <= 1350; t += 50) board.Tick(t);
    // Due at 1000, 1100, 1200, 1300.
    std::vector<Report> reports = Drain(board);
    ASSERT_EQ(reports.size(), 4u);
    for (size_t i = 0; i < reports.size(); ++i) {
        const Report& r = reports[i];
        ASSERT_EQ(r.size(), kReportSize);
        EXPECT_EQ(r[0], 0);
        EXPECT_EQ(r[1], RC_MEASURE);
        const SimMeasurement m = CSimBoard::MeasurementAt(static_cast<uint32_t>(i));
        EXPECT_EQ(r[2], m.rsoc);
        EXPECT_EQ(Word(r, 2), m.temperature);
        EXPECT_EQ(Word(r, 4), m.voltage);
    }

    // A late tick sends one reading, not a catch-up burst.
    board.Tick(5000);
    EXPECT_EQ(Drain(board).size(), 1u);

    Send(board, BuildStopFrame(), 5001);
    EXPECT_FALSE(board.Measuring());
    board.Tick(9000);
    EXPECT_TRUE(Drain(board).empty());
}

TEST(SimBoard, MeasurementsDischargePlausibly)
{
    SimMeasurement previous = CSimBoard::MeasurementAt(0);
    EXPECT_EQ(previous.rsoc, 100);
    for (uint32_t i = 1; i < 404; ++i) {
        const SimMeasurement m = CSimBoard::MeasurementAt(i);
        EXPECT_LE(m.rsoc, 100);
        EXPECT_GE(m.voltage, 3000);
        EXPECT_LE(m.voltage, 4300);
        // Between 20 and 35 degrees Celsius.
        EXPECT_GE(m.temperature, 2932);
        EXPECT_LE(m.temperature, 3082);
        if (i < 400) {
            EXPECT_LE(m.rsoc, previous.rsoc);
            EXPECT_LE(m.voltage, previous.voltage);
        }
        previous = m;
    }
    EXPECT_EQ(CSimBoard::MeasurementAt(403).rsoc, 0);
    EXPECT_EQ(CSimBoard::MeasurementAt(404).rsoc, 100) << "a fresh battery after empty";
}

TEST(SimBoard, RegisterReadAndWrite)
{
    CSimBoard board;
    board.SetRegister(0x0D, 0xBEEF);
    Send(board, BuildReadWordFrame(0x0D));
    Send(board, BuildWriteWordFrame(0x12, 0x3456));
    Send(board, BuildReadWordFrame(0x12));
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0][1], RC_READ_WORD);
    EXPECT_EQ(Word(r[0], 2), 0xBEEF);
    EXPECT_EQ(r[1][1], RC_WRITE_WORD);
    EXPECT_EQ(r[2][1], RC_READ_WORD);
    EXPECT_EQ(Word(r[2], 2), 0x3456);
    EXPECT_EQ(board.Register(0x12), 0x3456);
    EXPECT_EQ(board.FramesHandled(), 3u);
}

TEST(SimBoard, SettingsFrameIsTakenOverAndAnswered)
{
    CSimBoard board;
    Send(board, BuildCommSettingsFrame(300, 400, 1));
    const SimSettings s = board.Settings();
    EXPECT_TRUE(s.received);
    EXPECT_EQ(s.intervalSeconds, 300);
    EXPECT_EQ(s.i2cClockKHz, 400);
    EXPECT_EQ(s.commType, 1);
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0][1], RC_SETTINGS);
}

TEST(SimBoard, BadOutputReportsAreIgnoredAndFramesNeedThreeReports)
{
    CSimBoard board;
    const OutputFrame read = BuildReadWordFrame(1);
    OutputReport badId = read.reports[0];
    badId[0] = 1;
    board.ReceiveOutputReport(badId.data(), badId.size(), 0);
    board.ReceiveOutputReport(read.reports[0].data(), 64, 0);
    EXPECT_EQ(board.ReportsIgnored(), 2u);
    board.ReceiveOutputReport(read.reports[0].data(), kReportSize, 0);
    board.ReceiveOutputReport(read.reports[1].data(), kReportSize, 0);
    EXPECT_EQ(board.PendingInputReports(), 0u);
    board.ReceiveOutputReport(read.reports[2].data(), kReportSize, 0);
    EXPECT_EQ(board.PendingInputReports(), 1u);
}

TEST(SimBoard, PartFrameIsDroppedAfterAPause)
{
    CSimBoard board;
    board.SetRegister(1, 0x1111);
    board.SetRegister(2, 0x2222);
    // One report of a frame whose other two never came (a write timed out).
    const OutputFrame lost = BuildReadWordFrame(1);
    board.ReceiveOutputReport(lost.reports[0].data(), kReportSize, 1000);
    // Soon after, it still counts: the next two reports complete that frame.
    const OutputFrame read = BuildReadWordFrame(2);
    board.ReceiveOutputReport(read.reports[0].data(), kReportSize, 1000 + CSimBoard::kFrameGapMs);
    board.ReceiveOutputReport(read.reports[1].data(), kReportSize, 1000 + CSimBoard::kFrameGapMs);
    std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(Word(r[0], 2), 0x1111);

    // A part frame older than the gap is given up: the next frame is whole.
    board.ReceiveOutputReport(read.reports[2].data(), kReportSize, 5000);
    Send(board, read, 5000 + CSimBoard::kFrameGapMs + 1);
    r = Drain(board);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(Word(r[0], 2), 0x2222);
}

// Runs a whole flash write: the writer answers every board acknowledgement,
// as the receive thread does. Returns the board's non-acknowledgement
// reports (the ones the tool would queue) and the number of frames sent.
struct FlashRun {
    std::vector<Report> results;
    int frames = 0;
    bool stuck = false;
};

FlashRun RunFlashWrite(CSimBoard& board, const std::vector<uint8_t>& image)
{
    FlashRun run;
    CFlashWriter writer;
    if (!writer.Start(static_cast<uint32_t>(image.size()))) return run;
    Send(board, BuildFlashPrepareFrame());
    Send(board, writer.CodeFrame());
    run.frames = 1;
    Report r;
    while (board.TakeInputReport(r)) {
        const uint8_t* payload = r.data() + 1;
        const uint8_t code = payload[0];
        const bool reply = code >= RC_FLASH_BEGIN && code <= RC_FLASH_VERIFY_END && payload[1] == 1 &&
                           (code != RC_FLASH_VERIFY_END || payload[2] == 1);
        if (!reply) {
            run.results.push_back(r);
            continue;
        }
        std::optional<OutputFrame> next = writer.Reply(payload, image.data(), static_cast<uint32_t>(image.size()));
        if (!next) continue;  // not the acknowledgement the writer waits for
        Send(board, *next);
        ++run.frames;
    }
    run.stuck = run.results.empty();
    return run;
}

std::vector<uint8_t> Image(size_t size)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
    return image;
}

TEST(SimBoard, FlashWriteAndVerifySucceed)
{
    CSimBoard board;
    const std::vector<uint8_t> image = Image(1664);
    const FlashRun run = RunFlashWrite(board, image);
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0][1], RC_FLASH_FINISH);
    EXPECT_EQ(run.results[0][2], 1);
    EXPECT_EQ(run.frames, 30) << "begin, 13 data, end, 13 verify, end, finish";
    for (size_t i = 0; i < image.size(); ++i) ASSERT_EQ(board.FlashAt(0x8100 + static_cast<uint32_t>(i)), image[i]) << i;
    EXPECT_EQ(board.FlashAt(0x80FF), 0xFF);
    EXPECT_EQ(board.FlashAt(0x8100 + 1664), 0xFF);
}

TEST(SimBoard, VerifyMismatchIsARealComparison)
{
    CSimBoard board;
    board.SetVerifyMismatch(true);
    FlashRun run = RunFlashWrite(board, Image(256));
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0][1], RC_FLASH_VERIFY_END);
    EXPECT_EQ(run.results[0][2], 1) << "status byte";
    EXPECT_NE(run.results[0][3], 1) << "verify status";

    // The same board writes correctly once the fault is gone.
    board.SetVerifyMismatch(false);
    run = RunFlashWrite(board, Image(256));
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0][1], RC_FLASH_FINISH);
}

TEST(SimBoard, VerifyEndWithWrongRangeDoesNotMatch)
{
    CSimBoard board;
    const std::vector<uint8_t> image = Image(256);
    Send(board, BuildFlashPrepareFrame());
    Send(board, BuildFlashBeginFrame());
    Send(board, BuildDataBlockFrame(0x8100, image.data()));
    Send(board, BuildDataBlockFrame(0x8180, image.data() + 128));
    Send(board, BuildDataEndFrame(0x8100, 0x8180));
    Send(board, BuildVerifyBlockFrame(0x8100, image.data()));
    Send(board, BuildVerifyBlockFrame(0x8180, image.data() + 128));
    Send(board, BuildVerifyEndFrame(0x8100, 0x8180)); // one block short
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 7u);
    for (size_t i = 0; i + 1 < r.size(); ++i) EXPECT_EQ(r[i][2], 1) << i;
    EXPECT_EQ(r.back()[1], RC_FLASH_VERIFY_END);
    EXPECT_NE(r.back()[3], 1);
}

TEST(SimBoard, FlashFramesOutOfOrderAreRefused)
{
    CSimBoard board;
    const std::vector<uint8_t> block = Image(128);
    Send(board, BuildFlashBeginFrame()); // without preparation
    Send(board, BuildDataBlockFrame(0x8100, block.data()));
    Send(board, BuildFlashFinishFrame());
    Send(board, BuildFlashPrepareFrame());
    Send(board, BuildFlashBeginFrame());
    Send(board, BuildDataBlockFrame(0xFFC0, block.data())); // past the end of memory
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 5u);
    const uint8_t codes[] = {RC_FLASH_BEGIN, RC_FLASH_DATA, RC_FLASH_FINISH, RC_FLASH_BEGIN, RC_FLASH_DATA};
    const uint8_t status[] = {0, 0, 0, 1, 0};
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i][1], codes[i]) << i;
        EXPECT_EQ(r[i][2], status[i]) << i;
    }
    EXPECT_EQ(board.FlashAt(0x8100), 0xFF);
}

TEST(SimBoard, FlashFaults)
{
    {
        CSimBoard board;
        board.SetFlashFault(SimFlashFault::I2cError, 3); // the third data block
        const FlashRun run = RunFlashWrite(board, Image(640));
        ASSERT_EQ(run.results.size(), 1u);
        EXPECT_EQ(run.results[0][1], RC_I2C_ERROR);
        EXPECT_EQ(run.frames, 4);
    }
    {
        CSimBoard board;
        board.SetFlashFault(SimFlashFault::AckStatusZero, 0);
        const FlashRun run = RunFlashWrite(board, Image(640));
        // The refused begin is dropped by the tool: nothing follows.
        ASSERT_EQ(run.results.size(), 1u);
        EXPECT_EQ(run.results[0][1], RC_FLASH_BEGIN);
        EXPECT_EQ(run.results[0][2], 0);
        EXPECT_EQ(run.frames, 1);
    }
    {
        CSimBoard board;
        board.SetFlashFault(SimFlashFault::Unplug, 2);
        const FlashRun run = RunFlashWrite(board, Image(640));
        EXPECT_TRUE(run.stuck);
        EXPECT_EQ(run.frames, 3);
        EXPECT_TRUE(board.TakeUnplugRequest());
        EXPECT_FALSE(board.TakeUnplugRequest()) << "reported once";
    }
}

// A repeated or late acknowledgement anywhere in a write (a late one at
// flash begin is the last one of the write before): the image still lands
// byte for byte, and no frame is sent twice or out of turn.
TEST(SimBoard, RepeatedAndLateAcknowledgementsStillWriteTheImage)
{
    {
        CSimBoard board;
        board.SetFlashFault(SimFlashFault::RepeatedAck, 0);
        Send(board, BuildFlashPrepareFrame());
        Send(board, BuildFlashBeginFrame());
        const std::vector<Report> r = Drain(board);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0], r[1]);
        EXPECT_EQ(r[0][1], RC_FLASH_BEGIN);
    }
    const std::vector<uint8_t> image = Image(640);
    const uint32_t blocks = 5;
    for (SimFlashFault fault : {SimFlashFault::RepeatedAck, SimFlashFault::LateAck}) {
        for (uint32_t at = 0; at <= 2 * blocks + 3; ++at) {
            SCOPED_TRACE(testing::Message() << (fault == SimFlashFault::LateAck ? "late" : "repeated") << " at " << at);
            CSimBoard board;
            ASSERT_EQ(RunFlashWrite(board, Image(256)).results.size(), 1u);  // the write before
            board.SetFlashFault(fault, at);
            const FlashRun run = RunFlashWrite(board, image);
            ASSERT_GE(run.results.size(), 1u);
            EXPECT_EQ(run.results[0][1], RC_FLASH_FINISH);
            EXPECT_EQ(run.results[0][2], 1);
            EXPECT_EQ(run.frames, int(2 * blocks + 4));
            for (size_t i = 0; i < image.size(); ++i)
                ASSERT_EQ(board.FlashAt(0x8100 + static_cast<uint32_t>(i)), image[i]) << i;
        }
    }
}

TEST(SimBoard, SilentBoardHandlesNothingAndSendsNothing)
{
    CSimBoard board;
    board.SetSilent(true);
    Send(board, BuildStartMeasureFrame());
    Send(board, BuildWriteWordFrame(1, 2));
    board.Tick(1000);
    EXPECT_EQ(board.PendingInputReports(), 0u);
    EXPECT_EQ(board.Register(1), 0);
    board.SetSilent(false);
    Send(board, BuildReadWordFrame(1));
    EXPECT_EQ(board.PendingInputReports(), 1u);
}

TEST(SimBoard, InjectedReports)
{
    CSimBoard board;
    board.InjectCommErrors(3);
    board.InjectWrongLength(64);
    board.InjectUnknownCode(0x0F);
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r[i][1], RC_COMM_ERROR);
    EXPECT_EQ(r[3].size(), 64u);
    EXPECT_EQ(r[4].size(), kReportSize);
    EXPECT_EQ(r[4][1], 0x0F);

    // A client that never reads gets the newest reports only.
    board.InjectCommErrors(static_cast<uint32_t>(CSimBoard::kMaxPendingInputReports));
    board.InjectUnknownCode(0x10);
    EXPECT_EQ(board.PendingInputReports(), CSimBoard::kMaxPendingInputReports);
    Report last;
    while (board.TakeInputReport(last)) {
    }
    EXPECT_EQ(last[1], 0x10);
}

TEST(SimBoard, PowerCycleRestartsButKeepsMemory)
{
    CSimBoard board;
    const std::vector<uint8_t> image = Image(128);
    ASSERT_EQ(RunFlashWrite(board, image).results.size(), 1u);
    Send(board, BuildWriteWordFrame(5, 0x1234));
    Send(board, BuildStartMeasureFrame());
    // Leave a frame half sent.
    const OutputFrame read = BuildReadWordFrame(5);
    board.ReceiveOutputReport(read.reports[0].data(), kReportSize, 0);
    board.PowerCycle();
    EXPECT_FALSE(board.Measuring());
    EXPECT_EQ(board.PendingInputReports(), 0u);
    EXPECT_EQ(board.Register(5), 0x1234);
    EXPECT_EQ(board.FlashAt(0x8100), image[0]);
    // Reassembly starts afresh: a whole frame gets one answer.
    Send(board, read);
    const std::vector<Report> r = Drain(board);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(Word(r[0], 2), 0x1234);
}

} // namespace
