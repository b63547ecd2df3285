// The long run: a million readings from the simulated board at full speed
// with the receive interval at 0, then the log stored and loaded back.
// Prints memory, handles and threads at the start and the end. Not part of
// the test run: scripts/soak.sh runs it; VANTREL_SOAK_READINGS changes the
// number of readings.
#include <cstdio>
#include <cstdlib>

#include "WinHarness.h"
#include "log/LogFile.h"

namespace {

uint32_t SoakReadings()
{
    char value[16] = {};
    const DWORD n = GetEnvironmentVariableA("VANTREL_SOAK_READINGS", value, sizeof value);
    const unsigned long readings = n > 0 && n < sizeof value ? std::strtoul(value, nullptr, 10) : 0;
    return readings > 0 ? static_cast<uint32_t>(readings) : 1000000u;
}

void Print(const char* stage, size_t rows, double seconds)
{
    const PrivateBytes memory = PrivateMegabytes();
    const ProcessCounts counts = CurrentCounts();
    std::printf("[soak] %-28s rows %9zu  %8.1f s  committed %7.1f MiB  private %7.1f MiB  handles %lu  threads %lu\n",
                stage, rows, seconds, memory.committed, memory.reported, static_cast<unsigned long>(counts.handles),
                static_cast<unsigned long>(counts.threads));
    std::fflush(stdout);
}

// Every measurement report passes the receive thread, and the board sends
// only what the run injects: rows follow its samples one to one.
class Soak : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        WriteSettings("[Comm]\r\nReceiveInterval=0\r\n");
    }
};

} // namespace

TEST_F(Soak, MillionReadingsStoreAndReload)
{
    const uint32_t readings = SoakReadings();
    ASSERT_NO_FATAL_FAILURE(Open(L"soak", L"", kNoPeriodicReadings));
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(Feed(10));
    const DWORD began = GetTickCount();
    auto elapsed = [&] { return (GetTickCount() - began) / 1000.0; };
    const ProcessCounts start = CurrentCounts();
    Print("start", Log().RowCount(), 0.0);

    const size_t firstRecord = Records();
    const uint32_t firstSample = sim->board.MeasurementsSent();
    constexpr uint32_t kStep = 100000;
    for (uint32_t done = 0; done < readings;) {
        const uint32_t step = std::min(kStep, readings - done);
        // Each step checks its own rows as it goes.
        ASSERT_TRUE(Feed(step, 0, 3600000)) << "after " << done << " readings";
        done += step;
        Print("measuring", Log().RowCount(), elapsed());
    }
    EXPECT_TRUE(RecordsAreSamples(firstRecord, firstSample, readings));
    ExpectPanelShowsNewestRecord();
    w->Click(IDC_STOP_MEASURE);
    ASSERT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); }));
    EXPECT_TRUE(boxes.boxes.empty());
    Print("stopped", Log().RowCount(), elapsed());
    ExpectCountsBackTo(start);

    CTempFolder folder;
    const std::wstring path = folder.Write(L"soak.txt", "");
    const size_t rows = Log().RowCount();
    // A message line carries no stamp: loaded, it gets the time of the load.
    auto comparedFrom = [&](size_t row) { return Log().RowKind(row) == kLogRowMessage ? 2 : 0; };
    std::vector<std::wstring> sample;
    for (size_t row = 0; row < rows; row += rows / 97 + 1)
        for (int column = comparedFrom(row); column < 6; ++column) sample.push_back(Log().CellText(row, column));
    ASSERT_TRUE(w->dlg.StoreLogToPath(path));
    Print("stored", rows, elapsed());

    boxes.answers = {IDYES};  // replace the log in memory
    ASSERT_TRUE(w->dlg.LoadLogFromPath(path));
    Print("reloaded", Log().RowCount(), elapsed());
    ASSERT_EQ(Log().RowCount(), rows);
    size_t at = 0;
    for (size_t row = 0; row < rows; row += rows / 97 + 1)
        for (int column = comparedFrom(row); column < 6; ++column)
            EXPECT_EQ(Log().CellText(row, column), sample[at++]) << row << ", " << column;
    ExpectCountsBackTo(start);
}
