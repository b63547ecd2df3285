// Readings of the demo modes on the real main window: "Demo.txt" in the
// current directory played back, the generated curve without it, and the
// switch between the two while a measurement runs.
#include "WinHarness.h"


#include "log/DemoSource.h"

namespace {

const wchar_t kDemoFile[] = L"Demo.txt";
const wchar_t kDemoBackup[] = L"Demo.txt.vantrel-test-backup";

std::string Fixed1(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// A user's own "Demo.txt" in the current directory is put aside for the
// test and put back afterwards.
class DemoTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_movedAside = MoveFileExW(kDemoFile, kDemoBackup, MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    void TearDown() override
    {
        DeleteFileW(kDemoFile);
        if (m_movedAside) MoveFileExW(kDemoBackup, kDemoFile, MOVEFILE_REPLACE_EXISTING);
        WindowTest::TearDown();
    }

    // Start measure (one reading at once); the period's timer is then taken
    // over by Tick, so the test decides when each reading comes.
    static void Start(MainWindow& w)
    {
        w.Click(IDC_START_MEASURE);
        ASSERT_EQ(w.dlg.Board().Measuring(), 1);
        KillTimer(w.Wnd(), kDemoTimerId);
    }
    static void Tick(MainWindow& w) { SendMessageW(w.Wnd(), WM_TIMER, kDemoTimerId, 0); }

    // RSOC, temperature and voltage cells of a row.
    static std::string Values(const MainWindow& w, int row)
    {
        return w.Cell(row, 2) + " " + w.Cell(row, 3) + " " + w.Cell(row, 4);
    }

    bool m_movedAside = false;
};

} // namespace

// A "Demo.txt" written by "Store log..." from three measurements and a
// message plays the three in order, again and again, stamped with the time
// of each reading.
TEST_F(DemoTest, DemoTxtPlaysItsMeasurementsInOrderAndAgain)
{
    {
        MainWindow source;
        source.dlg.LogView().AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
        source.dlg.AddMessageRow(L"<Comm setting: 2sec>");
        source.dlg.LogView().AddMeasurementRow(Measurement(8, 84, 24.5, 3795));
        source.dlg.LogView().AddMeasurementRow(Measurement(9, 83, 26.0, 3790));
        ASSERT_TRUE(source.dlg.StoreLogToPath(kDemoFile));
    }
    for (const wchar_t* mode : {L"-demo2", L"-demo1"}) {
        SCOPED_TRACE(Utf8(mode));
        if (std::wstring(mode) == L"-demo1") {
            ASSERT_NO_FATAL_FAILURE(PlugBoard(L"demo-board"));
        }
        MainWindow w(mode);
        boxes.Clear();
        // With a board, start-up has logged the communication settings it
        // would have sent.
        const int first = w.ItemCount();
        ASSERT_NO_FATAL_FAILURE(Start(w));
        for (int i = 0; i < 6; ++i) Tick(w);
        EXPECT_TRUE(boxes.boxes.empty());
        ASSERT_EQ(w.ItemCount(), first + 7);
        const char* played[] = {"85 25.0 3801", "84 24.5 3795", "83 26.0 3790"};
        for (int i = 0; i < 7; ++i) EXPECT_EQ(Values(w, first + i), played[i % 3]) << "reading " << i;
        EXPECT_NE(w.Cell(first, 0), "2019/01/18") << "each reading has the time it was taken";
        EXPECT_EQ(w.Text(IDC_RSOC_VALUE), "85");
        EXPECT_EQ(w.Text(IDC_TEMP_VALUE), "25.0");
        if (sim) {
            EXPECT_NE(w.dlg.Board().DeviceHandle(), nullptr);
            EXPECT_EQ(sim->board.FramesHandled(), 0u) << "nothing is sent in a demo mode";
        }
    }
}

// Without "Demo.txt" the readings are those of the generated curve with the
// period's slopes, the same on every run.
TEST_F(DemoTest, WithoutDemoTxtTheCurveOfTheCoreSource)
{
    ASSERT_EQ(GetFileAttributesW(kDemoFile), INVALID_FILE_ATTRIBUTES);
    for (int interval : {2, 5}) {
        SCOPED_TRACE(interval);
        WriteSettings("[Comm]\r\nReceiveInterval=" + std::to_string(interval) + "\r\n");
        MainWindow w(L"-demo2");
        ASSERT_EQ(w.dlg.Settings().ReceiveInterval, interval);
        ASSERT_NO_FATAL_FAILURE(Start(w));
        for (int i = 0; i < 9; ++i) Tick(w);
        ASSERT_EQ(w.ItemCount(), 10);

        DemoSource expected([]() -> std::FILE* { return nullptr; });
        expected.SetSteps(static_cast<uint16_t>(interval));
        for (int i = 0; i < 10; ++i) {
            const DemoReading r = expected.GetDemoReading();
            const tagLOGDATA& got = w.dlg.LogData().Record(static_cast<size_t>(i));
            EXPECT_EQ(got.rsoc, TruncateToInt32(r.rsoc)) << "reading " << i;
            EXPECT_EQ(got.voltage, TruncateToUInt16(r.voltage)) << "reading " << i;
            EXPECT_EQ(got.temperature, r.temperature) << "reading " << i;
            EXPECT_EQ(Values(w, i), std::to_string(TruncateToInt32(r.rsoc)) + " " + Fixed1(r.temperature) + " " +
                                        std::to_string(TruncateToUInt16(r.voltage)));
        }
        // The first reading of a run: 90.9 - step, 4250.5 - step plus the first noise.
        EXPECT_EQ(w.dlg.LogData().Record(0).voltage, interval == 2 ? 4250 : 4249);
        EXPECT_EQ(w.dlg.LogData().Record(0).rsoc, 90);
        EXPECT_NEAR(w.dlg.LogData().Record(0).temperature, 25.39, 0.005);
    }
}

// "Demo.txt" appearing or going away during a measurement changes the source
// at the very next reading; the curve then goes on from the values the file
// left.
TEST_F(DemoTest, DemoTxtAppearingAndGoingSwitchesTheSource)
{
    MainWindow w(L"-demo2");
    ASSERT_NO_FATAL_FAILURE(Start(w));  // curve
    EXPECT_EQ(Values(w, 0), "90 25.4 4250");

    // A line of a date, a time and one value: RSOC 85, temperature 0, the
    // voltage as the curve left it (4250.5 - 2/3).
    ASSERT_TRUE(WriteBytes(kDemoFile, "2019/01/18 09:05:07, 85\r\n"));
    Tick(w);
    EXPECT_EQ(Values(w, 1), "85 0.0 4249");
    Tick(w);
    EXPECT_EQ(Values(w, 2), "85 0.0 4249") << "the only line, again";

    ASSERT_TRUE(DeleteFileW(kDemoFile));
    Tick(w);
    const tagLOGDATA& after = w.dlg.LogData().Record(3);
    EXPECT_EQ(after.rsoc, 84) << "85 - 2/30";
    // The third and fourth numbers of the never-seeded generator: playback
    // draws none.
    EXPECT_EQ(after.voltage, 4249) << "4250.5 - 4/3 + 1 - 6334/16384";
    EXPECT_NEAR(after.temperature, 25.4 + (1.0 - 26500 / 16384.0) / 15, 1e-12);
    ASSERT_EQ(w.ItemCount(), 4);
}
