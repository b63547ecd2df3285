// The window against a sub board that misbehaves: unplugged in the middle of
// a measurement, a flash write or a register read, a board that stops
// reading or stops answering, a flood of mixed reports, bursts of
// communication errors. After each the window still works, the log holds
// every reading it showed, and no handle or thread is left behind.
#include "WinHarness.h"
#include "cli/FlashPatterns.h"
#include "protocol/FlashWriter.h"

namespace {

constexpr DWORD kFloodWaitMs = 600000;

class FaultTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // Every measurement report passes the receive thread: rows follow the
        // board's samples one to one.
        WriteSettings("[Comm]\r\nReceiveInterval=0\r\n");
    }

    // Plugs a board in that sends only what the test injects, and opens the window on it.
    void Open(const wchar_t* name) { WindowTest::Open(name, L"", kNoPeriodicReadings); }

    // Start measure after the board missed commands: it may still be measuring
    // from before (and then ignores a start), so no first reading is awaited;
    // one that does come is taken before the test sends its own.
    void ResumeMeasuring()
    {
        w->Click(IDC_START_MEASURE);
        EXPECT_EQ(w->dlg.Board().Measuring(), 1);
        PumpMessages(300);
    }

    // True once the board's answer to the settings command has been handled.
    bool SettingsAnswerTaken()
    {
        if (!PumpUntil([&] { return sim->board.PendingInputReports() == 0; })) return false;
        PumpMessages(200);
        return w->dlg.Board().QueuedReports() == 0;
    }
};

} // namespace

TEST_F(FaultTest, UnplugDuringAMeasurementKeepsEveryShownReading)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-unplug-measure"));
    ProcessCounts start{};
    for (int round = 0; round < 11; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(StartMeasuring());
        ASSERT_TRUE(Feed(20));
        // Readings still on their way when the board goes: whatever was shown
        // is in the log, in the board's order, with none skipped.
        const size_t before = Records();
        const uint32_t first = sim->board.MeasurementsSent();
        sim->board.InjectMeasurements(50);
        PumpMessages(round % 3 * 10);
        Unplug();
        EXPECT_EQ(w->dlg.Board().Measuring(), 0);
        EXPECT_EQ(w->dlg.Board().DeviceHandle(), nullptr);
        ASSERT_LE(Records(), before + 50);
        EXPECT_TRUE(RecordsAreSamples(before, first, Records() - before));
        ExpectPanelShowsNewestRecord();
        const size_t shown = Records();
        PumpMessages(30);
        EXPECT_EQ(Records(), shown) << "no row after the removal";
        ASSERT_TRUE(Replug());
        // The first round makes what the platform makes once.
        if (round == 0) start = CurrentCounts();
    }
    EXPECT_EQ(boxes.boxes.size(), 11u);
    for (const RecordedBox& box : boxes.boxes) EXPECT_EQ(Utf8(box.text), "Disconnect the USB device");
    // Every row is a reading or the message of a settings command.
    EXPECT_EQ(Log().RowCount(), Records() + 12);
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, UnplugDuringAFlashWriteAndWriteAgain)
{
    CTempFolder folder;
    const std::vector<uint8_t> image = PatternImage(1664, 5);
    const std::wstring imagePath = folder.Write(L"image.txt", HexLines(image));
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-unplug-flash"));
    ASSERT_TRUE(w->dlg.LoadFlashImageFile(imagePath));

    ProcessCounts start{};
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        // The board drops off the bus in the middle of the data blocks.
        sim->board.SetFlashFault(SimFlashFault::Unplug, 2 + static_cast<uint32_t>(round));
        w->Click(IDC_FLASH_WRITE);
        ASSERT_EQ(w->dlg.FlashWriting(), 1);
        ASSERT_TRUE(PumpUntil([&] { return !sim->server.Plugged(); }));
        SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
        EXPECT_EQ(w->dlg.FlashWriting(), 0);
        EXPECT_EQ(Utf8(w->dlg.ItemText(IDC_PROCESS_RESULT)), "USB communication error");

        // Plugged in again, the same image goes in whole.
        sim->board.SetFlashFault(SimFlashFault::None, 0);
        ASSERT_TRUE(Replug());
        // The answer to the settings sent on arrival would end the write.
        ASSERT_TRUE(SettingsAnswerTaken());
        w->Click(IDC_FLASH_WRITE);
        ASSERT_TRUE(PumpUntil([&] { return w->dlg.FlashWriting() == 0; }, 30000));
        EXPECT_EQ(Utf8(w->dlg.ItemText(IDC_PROCESS_RESULT)), "Flash write success");
        size_t differing = 0;
        for (size_t i = 0; i < image.size(); ++i)
            differing += sim->board.FlashAt(CFlashWriter::kStartAddress + static_cast<uint32_t>(i)) != image[i];
        EXPECT_EQ(differing, 0u);
        if (round == 0) start = CurrentCounts();
    }
    ASSERT_EQ(boxes.boxes.size(), 4u);
    for (const RecordedBox& box : boxes.boxes) EXPECT_EQ(Utf8(box.text), "Disconnect the USB device");
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, UnplugDuringARegisterRead)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-unplug-read"));
    sim->board.SetRegister(0x0D, 0xBEEF);
    SetDlgItemTextW(w->Wnd(), IDC_READ_COMMAND, L"0D");
    ProcessCounts start{};
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        SetDlgItemTextW(w->Wnd(), IDC_READ_DATA, L"");
        // The question goes out, the answer never comes: the board is gone.
        sim->board.SetSilent(true);
        w->Click(IDC_READ_WORD);
        PumpMessages(20);
        Unplug();
        EXPECT_EQ(w->dlg.Board().DeviceHandle(), nullptr);
        EXPECT_EQ(Utf8(w->dlg.ItemText(IDC_READ_DATA)), "");

        sim->board.SetSilent(false);
        ASSERT_TRUE(Replug());
        w->Click(IDC_READ_WORD);
        ASSERT_TRUE(PumpUntil([&] { return Utf8(w->dlg.ItemText(IDC_READ_DATA)) == "beef"; }));
        if (round == 0) start = CurrentCounts();
    }
    EXPECT_TRUE(boxes.boxes.empty()) << "an idle board's removal says nothing";
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, BoardThatStopsReadingDoesNotHangTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-stalled"));
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(Feed(10));
    const ProcessCounts start = CurrentCounts();

    sim->board.SetReadsStalled(true);
    Sleep(100);  // the board has given up its pending read
    // Each write gives up after its time-out; the commands still take effect here.
    w->Click(IDC_STOP_MEASURE);
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    EXPECT_TRUE(w->Enabled(IDC_START_MEASURE));
    w->Click(IDC_START_MEASURE);
    EXPECT_EQ(w->dlg.Board().Measuring(), 1);
    w->Click(IDC_STOP_MEASURE);
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    EXPECT_TRUE(boxes.boxes.empty()) << "a stalled write is not reported";
    ExpectCountsBackTo(start);

    // The board reads again: what piled up in the pipe reaches it, and after
    // a pause the next command is understood.
    sim->board.SetReadsStalled(false);
    PumpMessages(CSimBoard::kFrameGapMs + 200);
    ResumeMeasuring();
    ASSERT_TRUE(Feed(10));
    w->Click(IDC_STOP_MEASURE);
    EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); }));
    ExpectPanelShowsNewestRecord();
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, BoardThatStopsAnsweringDoesNotHangTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-silent"));
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(Feed(10));
    const ProcessCounts start = CurrentCounts();
    const size_t records = Records();

    sim->board.SetSilent(true);
    SetDlgItemTextW(w->Wnd(), IDC_READ_COMMAND, L"01");
    SetDlgItemTextW(w->Wnd(), IDC_READ_DATA, L"");
    w->Click(IDC_READ_WORD);
    PumpMessages(300);
    EXPECT_EQ(Utf8(w->dlg.ItemText(IDC_READ_DATA)), "");
    EXPECT_EQ(Records(), records);
    w->Click(IDC_STOP_MEASURE);
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    w->Click(IDC_START_MEASURE);
    EXPECT_EQ(w->dlg.Board().Measuring(), 1);
    PumpMessages(300);
    EXPECT_EQ(Records(), records);
    w->Click(IDC_STOP_MEASURE);
    EXPECT_TRUE(boxes.boxes.empty());
    ExpectCountsBackTo(start);

    sim->board.SetSilent(false);
    ResumeMeasuring();
    ASSERT_TRUE(Feed(10));
    ExpectPanelShowsNewestRecord();
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, FloodOfMixedReportsLosesNoReading)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-flood"));
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(Feed(10, 4));
    const ProcessCounts start = CurrentCounts();
    // 20,000 readings among 100,000 reports.
    ASSERT_TRUE(Feed(20000, 4, kFloodWaitMs));
    EXPECT_EQ(w->dlg.Board().Measuring(), 1) << "single communication errors end nothing";
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Utf8(w->dlg.ItemText(IDC_READ_DATA)), "0") << "read-word answers were shown";
    ExpectPanelShowsNewestRecord();
    EXPECT_EQ(w->dlg.Board().QueuedReports(), 0u);
    w->Click(IDC_STOP_MEASURE);
    EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); }));
    ExpectCountsBackTo(start);
}

TEST_F(FaultTest, RepeatedCommunicationErrorBurstsEachEndTheMeasurementOnce)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"fault-bursts"));
    ProcessCounts start{};
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(StartMeasuring());
        ASSERT_TRUE(Feed(5));
        // 32 in a row are forgiven by the next good report.
        const uint32_t delivered = sim->server.ReportsDelivered();
        sim->board.InjectCommErrors(32);
        ASSERT_TRUE(PumpUntil([&] { return sim->server.ReportsDelivered() - delivered == 32; }));
        ASSERT_TRUE(Feed(1));
        EXPECT_EQ(w->dlg.Board().Measuring(), 1);
        const size_t records = Records();
        sim->board.InjectCommErrors(33);
        ASSERT_TRUE(PumpUntil([&] { return w->dlg.Board().Measuring() == 0; }));
        EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); })) << "the stop frame reached the board";
        ASSERT_EQ(boxes.boxes.size(), static_cast<size_t>(round) + 1);
        EXPECT_EQ(Utf8(boxes.boxes.back().text), "Communication error");
        EXPECT_TRUE(w->Enabled(IDC_START_MEASURE));
        EXPECT_EQ(Records(), records);
        ExpectPanelShowsNewestRecord();
        if (round == 0) start = CurrentCounts();
    }
    ExpectCountsBackTo(start);
}
