// Start measure and Stop measure against the simulated sub board, without a
// board, and in the demo modes.
#include "WinHarness.h"

namespace {

std::string OneDecimal(double value)
{
    char text[64];
    snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// The row texts of the board's n-th reading.
struct ExpectedRow {
    std::string rsoc, temperature, voltage;
};
ExpectedRow SimRow(uint32_t sample)
{
    const SimMeasurement m = CSimBoard::MeasurementAt(sample);
    return {std::to_string(m.rsoc), OneDecimal((static_cast<int>(m.temperature) - 2732) / 10.0),
            std::to_string(m.voltage)};
}

// Waits without dispatching messages, so what the receive thread queues stays queued.
bool WaitForQueuedReport(CVantrelDlg& dlg)
{
    for (int i = 0; i < 500; ++i) {
        if (dlg.Board().QueuedReports() > 0) return true;
        Sleep(10);
    }
    return false;
}

class CycleTest : public WindowTest {
protected:
    // A board measuring every 20 ms, listed for the window to find.
    void PlugBoard(const wchar_t* name)
    {
        ASSERT_NO_FATAL_FAILURE(WindowTest::PlugBoard(name, 20));
        // Every measurement report passes, so rows follow the board's samples one to one.
        WriteSettings("[Comm]\r\nReceiveInterval=0\r\n");
    }
};

void ExpectIdleButtons(const MainWindow& w)
{
    EXPECT_TRUE(w.Enabled(IDC_COMMUNICATE));
    EXPECT_TRUE(w.Enabled(IDC_START_MEASURE));
    EXPECT_FALSE(w.Enabled(IDC_STOP_MEASURE));
    EXPECT_TRUE(w.Enabled(IDC_OPEN_FILE));
}

} // namespace

TEST_F(CycleTest, MeasuresFromTheSimulatedBoardUntilStopped)
{
    ASSERT_NO_FATAL_FAILURE(PlugBoard(L"measure-cycle"));
    MainWindow w;
    ASSERT_TRUE(w.created);
    EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "USB Connected");
    // Row 0 is the message of the settings command sent at start-up.
    ASSERT_EQ(w.ItemCount(), 1);

    w.Click(IDC_START_MEASURE);
    EXPECT_EQ(w.dlg.Board().Measuring(), 1);
    EXPECT_FALSE(w.Enabled(IDC_COMMUNICATE));
    EXPECT_FALSE(w.Enabled(IDC_START_MEASURE));
    EXPECT_TRUE(w.Enabled(IDC_STOP_MEASURE));
    EXPECT_FALSE(w.Enabled(IDC_OPEN_FILE));
    EXPECT_FALSE(w.Enabled(IDC_FLASH_WRITE));
    ASSERT_TRUE(PumpUntil([&] { return w.ItemCount() >= 6; }));
    EXPECT_TRUE(sim->board.Measuring());

    // The first sample may go out before the measuring flag is set and be
    // dropped; from the first row on, the rows follow the board's samples.
    uint32_t first = 0;
    while (first < 3 && SimRow(first).voltage != w.Cell(1, 4)) ++first;
    ASSERT_LT(first, 3u) << w.Cell(1, 4);
    for (int row = 1; row < 6; ++row) {
        const ExpectedRow e = SimRow(first + static_cast<uint32_t>(row) - 1);
        EXPECT_EQ(w.Cell(row, 2), e.rsoc) << row;
        EXPECT_EQ(w.Cell(row, 3), e.temperature) << row;
        EXPECT_EQ(w.Cell(row, 4), e.voltage) << row;
    }
    EXPECT_EQ(static_cast<size_t>(w.ItemCount()), w.dlg.LogData().RowCount());

    // Stop with a reading still queued: it adds no row.
    ASSERT_TRUE(WaitForQueuedReport(w.dlg));
    w.Click(IDC_STOP_MEASURE);
    const int rows = w.ItemCount();
    EXPECT_EQ(w.dlg.Board().Measuring(), 0);
    ExpectIdleButtons(w);
    EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); })) << "the board saw the stop frame";
    PumpMessages(200);
    EXPECT_EQ(w.ItemCount(), rows);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CycleTest, CommunicationErrorsFromTheBoardEndTheMeasurement)
{
    ASSERT_NO_FATAL_FAILURE(PlugBoard(L"measure-commerr"));
    MainWindow w;
    w.Click(IDC_START_MEASURE);
    ASSERT_TRUE(PumpUntil([&] { return w.ItemCount() >= 2; }));

    sim->board.InjectCommErrors(33);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); })) << "the board saw the stop frame";
    PumpMessages(200);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Communication error");
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
    EXPECT_EQ(w.dlg.Board().Measuring(), 0);
    ExpectIdleButtons(w);
}

TEST_F(CycleTest, WithoutABoardStartIsRefused)
{
    for (const wchar_t* mode : {L"", L"-demo1"}) {
        SCOPED_TRACE(Utf8(mode));
        MainWindow w(mode);
        boxes.Clear();
        const std::string before = ButtonStates(w.Wnd());
        w.Click(IDC_START_MEASURE);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(Utf8(boxes.boxes[0].text), "Sub board was not found");
        EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
        EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(ButtonStates(w.Wnd()), before);
        EXPECT_EQ(w.dlg.Board().Measuring(), 0);
        EXPECT_EQ(w.ItemCount(), 0);
        EXPECT_FALSE(KillTimer(w.Wnd(), kDemoTimerId)) << "no demo timer was started";
    }
}

TEST_F(CycleTest, DemoModeTwoMeasuresFromTheCurveWithoutABoard)
{
    ASSERT_EQ(GetFileAttributesW(L"Demo.txt"), INVALID_FILE_ATTRIBUTES) << "a Demo.txt would be played back";
    MainWindow w(L"-demo2");
    ASSERT_EQ(w.dlg.Settings().ReceiveInterval, 2);

    w.Click(IDC_START_MEASURE);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(w.dlg.Board().Measuring(), 1);
    EXPECT_FALSE(w.Enabled(IDC_START_MEASURE));
    EXPECT_TRUE(w.Enabled(IDC_STOP_MEASURE));
    // The first reading at once: 90.9 - 2/30, 4250.5 - 2/3 plus the first noise value.
    ASSERT_EQ(w.ItemCount(), 1);
    EXPECT_EQ(w.Cell(0, 2), "90");
    EXPECT_EQ(w.Cell(0, 4), "4250");
    EXPECT_EQ(w.Cell(0, 3), "25.4");
    EXPECT_EQ(w.Text(IDC_RSOC_VALUE), "90");
    EXPECT_EQ(w.Text(IDC_TEMP_VALUE), "25.4");
    EXPECT_EQ(w.dlg.Picture().LoadedBitmapId(), 142);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 0) << "the first reading leaves the cursor alone";

    // Then one per period from timer 1.
    ASSERT_TRUE(PumpUntil([&] { return w.ItemCount() >= 2; }, 6000));
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 1);
    EXPECT_EQ(w.Cell(1, 2), "90");
    EXPECT_EQ(w.Cell(1, 4), "4249");  // 4250.5 - 4/3 plus the second noise value

    w.Click(IDC_STOP_MEASURE);
    EXPECT_EQ(w.dlg.Board().Measuring(), 0);
    EXPECT_TRUE(w.Enabled(IDC_START_MEASURE));
    EXPECT_FALSE(w.Enabled(IDC_STOP_MEASURE));
    EXPECT_FALSE(KillTimer(w.Wnd(), kDemoTimerId)) << "Stop measure killed the timer";
}

