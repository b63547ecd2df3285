// Figures of the real main window at scale, printed for the performance
// notes: a log of a million rows loaded by the system-menu command (without
// its file dialog), the process's private bytes after it, and the time per
// reading at that size. Not part of the test run: scripts/perf.sh runs it;
// it prints, never judges.
#include "WinHarness.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>

#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"
#include "protocol/ReportCodes.h"
#include "link/ReceiveThread_win.h"
#include "link/SubBoardLink_win.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"

namespace {

// A million rows unless VANTREL_PERF_ROWS says otherwise.
size_t LogRows()
{
    char value[16] = {};
    const DWORD n = GetEnvironmentVariableA("VANTREL_PERF_ROWS", value, sizeof value);
    const unsigned long rows = n > 0 && n < sizeof value ? std::strtoul(value, nullptr, 10) : 0;
    return rows > 0 ? rows : 1000000;
}
const size_t kRows = LogRows();
constexpr int kReadings = 1000;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return t;
}

// A day-long run at a 1 s period: one measurement line per second and a
// configuration message now and then.
bool WriteLargeLog(const std::wstring& path)
{
    LogStore log;
    for (size_t i = 0; i < kRows; ++i) {
        if (i % 1000 == 999) {
            log.AddMessageRow(L"<Comm setting: 1sec, I2C 100kHz>", LogTime{2019, 1, 18, 9, 5, 7});
            continue;
        }
        tagLOGDATA r{};
        r.year = 2019;
        r.month = 1;
        r.day = static_cast<int16_t>(1 + i / 86400 % 28);
        r.hour = static_cast<int16_t>(i / 3600 % 24);
        r.minute = static_cast<int16_t>(i / 60 % 60);
        r.second = static_cast<int16_t>(i % 60);
        r.rsoc = static_cast<int32_t>(100 - i % 100);
        r.temperature = 25.0 + static_cast<double>(i % 50) / 10.0;
        r.voltage = static_cast<uint16_t>(3600 + i % 600);
        log.AddMeasurementRow(r);
    }
    return StoreLogFile(path, log, AnsiLogTextCodec()).status == LogFileStatus::Ok;
}

using PerfDialog = WindowTest;

} // namespace

TEST_F(PerfDialog, MillionRowLogAndReadingsAtThatSize)
{
    CTempFolder folder;
    const std::wstring path = folder.File(L"large.txt");
    ASSERT_TRUE(WriteLargeLog(path));

    MainWindow w;
    ASSERT_TRUE(w.created);

    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    // Readings as the dispatcher takes them from the queue, each one timed
    // alone and with the paint it causes.
    struct Timings {
        std::vector<double> handled, withPaint;
    };
    auto feedReadings = [&] {
        Timings t;
        w.dlg.Board().SetMeasuring(1);
        for (int i = 0; i < kReadings; ++i) {
            const SimMeasurement m = CSimBoard::MeasurementAt(static_cast<uint32_t>(i));
            const uint8_t payload[kPayloadSize] = {RC_MEASURE,
                                                   m.rsoc,
                                                   static_cast<uint8_t>(m.temperature & 0xFF),
                                                   static_cast<uint8_t>(m.temperature >> 8),
                                                   static_cast<uint8_t>(m.voltage & 0xFF),
                                                   static_cast<uint8_t>(m.voltage >> 8)};
            const LARGE_INTEGER start = Now();
            w.dlg.HandleSubBoardReport(payload);
            const LARGE_INTEGER done = Now();
            RedrawWindow(w.Wnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            const LARGE_INTEGER shown = Now();
            t.handled.push_back(Seconds(start, done));
            t.withPaint.push_back(Seconds(start, shown));
        }
        w.dlg.Board().SetMeasuring(0);
        return t;
    };

    // The same readings on an empty log first, for comparison.
    const Timings small = feedReadings();
    ASSERT_EQ(w.ItemCount(), kReadings);
    std::printf("[perf] %d readings from 0 rows: median %.1f us handled, %.1f us handled and painted\n", kReadings,
                median(small.handled) * 1e6, median(small.withPaint) * 1e6);

    boxes.answers = {IDYES};  // replace those readings
    const PrivateBytes privateBefore = PrivateMegabytes();

    const LARGE_INTEGER loadStart = Now();
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    const LARGE_INTEGER loaded = Now();
    RedrawWindow(w.Wnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const LARGE_INTEGER painted = Now();
    const PrivateBytes privateAfter = PrivateMegabytes();
    ASSERT_EQ(w.ItemCount(), static_cast<int>(kRows));

    const double loadSeconds = Seconds(loadStart, loaded);
    std::printf("[perf] load of %zu rows (system-menu path, no file dialog, current log replaced): "
                "%.3f s, %.0f rows/s; with the first paint %.3f s\n",
                kRows, loadSeconds, static_cast<double>(kRows) / loadSeconds, Seconds(loadStart, painted));
    std::printf("[perf] private bytes (PrivateUsage): %.1f MiB before the load, %.1f MiB after\n",
                privateBefore.reported, privateAfter.reported);
    std::printf("[perf] committed private memory: %.1f MiB before, %.1f MiB after (%.1f bytes per row)\n",
                privateBefore.committed, privateAfter.committed,
                (privateAfter.committed - privateBefore.committed) * 1024.0 * 1024.0 / static_cast<double>(kRows));

    const Timings large = feedReadings();
    ASSERT_EQ(w.ItemCount(), static_cast<int>(kRows) + kReadings);
    std::printf("[perf] %d readings at %zu rows: median %.1f us handled, %.1f us handled and painted\n", kReadings,
                kRows, median(large.handled) * 1e6, median(large.withPaint) * 1e6);

    // Where the time of one reading goes, step by step, at this size.
    struct Step {
        const char* name;
        std::function<void()> run;
        std::vector<double> seconds;
    } steps[] = {
        {"record and row (list item count, journal)",
         [&] { w.dlg.LogView().AddMeasurementRow(Measurement(1, 50, 25.0, 3700)); },
         {}},
        {"read the controls (UpdateData true)", [&] { w.dlg.UpdateData(true); }, {}},
        {"write the controls (UpdateData false)", [&] { w.dlg.UpdateData(false); }, {}},
        {"battery picture", [&] { w.dlg.Picture().ShowLevel(static_cast<uint8_t>(40 + w.ItemCount() % 40)); }, {}},
        {"graph scroll bar", [&] { w.dlg.Graph().UpdateScrollBar(); }, {}},
        {"graph points", [&] { w.dlg.Graph().BuildPoints(); }, {}},
        {"graph redraw request", [&] { w.dlg.Graph().Redraw(); }, {}},
        {"paint", [&] { RedrawWindow(w.Wnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }, {}},
    };
    for (int i = 0; i < 200; ++i) {
        for (Step& step : steps) {
            const LARGE_INTEGER start = Now();
            step.run();
            step.seconds.push_back(Seconds(start, Now()));
        }
    }
    for (const Step& step : steps) std::printf("[perf]   %-45s median %.1f us\n", step.name, median(step.seconds) * 1e6);
}

// The receive thread while the board says nothing: one blocked read per
// time-out, no polling.
TEST_F(PerfDialog, ReceiveThreadOnASilentBoard)
{
    CSimBoard board;
    board.SetSilent(true);
    CPipeServer server(board, L"perf-silent");
    ASSERT_TRUE(server.Start());
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, server.Path().c_str());
    CSubBoardLink link;
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    CReportQueue queue;
    ReceiveContext context;
    context.device.store(link.Handle());
    context.queue = &queue;
    CReceiveThread thread(context);
    ASSERT_TRUE(thread.Start());

    constexpr DWORD kSilentMs = 5000;
    Sleep(kSilentMs);
    FILETIME created{}, ended{}, kernel{}, user{};
    ASSERT_TRUE(GetThreadTimes(thread.ThreadHandle(), &created, &ended, &kernel, &user));
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    std::printf("[perf] receive thread, %lu ms with a silent board: %u passes, CPU %.1f ms (kernel %.1f, user %.1f)\n",
                static_cast<unsigned long>(kSilentMs), thread.Passes(), ms(kernel) + ms(user), ms(kernel), ms(user));
    server.Unplug();
    thread.Stop();
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
}

// What the journal's flush costs a reading: one line appended and flushed
// to the disk (CJournal), beside the same line only written into the
// system's cache.
TEST_F(PerfDialog, JournalLinePerReading)
{
    CTempFolder folder;
    CJournal journal;
    ASSERT_TRUE(journal.Start(folder.Path(), LogTime{2026, 12, 10, 9, 0, 0}));
    LogStore log;
    log.AddMeasurementRow(Measurement(1, 50, 25.0, 3700));
    CHandle cached(CreateFileW(folder.File(L"cached.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(cached.IsValid());
    std::string line;
    ASSERT_TRUE(FormatLogRowLine(log, 0, AnsiLogTextCodec(), line));
    std::vector<double> flushed, written;
    for (int i = 0; i < 500; ++i) {
        LARGE_INTEGER start = Now();
        ASSERT_TRUE(journal.AppendRow(log, 0));
        flushed.push_back(Seconds(start, Now()));
        start = Now();
        DWORD put = 0;
        ASSERT_TRUE(WriteFile(cached.Get(), line.data(), static_cast<DWORD>(line.size()), &put, nullptr));
        written.push_back(Seconds(start, Now()));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    auto highest = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("[perf] journal line per reading: written and flushed median %.1f us (max %.1f us), "
                "written only median %.1f us\n",
                median(flushed) * 1e6, highest(flushed) * 1e6, median(written) * 1e6);
}
