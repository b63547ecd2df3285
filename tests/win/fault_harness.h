#pragma once
// A window on a simulated sub board whose readings the test sends itself, so
// every row can be traced to one sample of the board; and the checks that
// nothing was lost or left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ProcessCounts.h"
#include "device_harness.h"
#include "protocol/ReportCodes.h"
#include "resource.h"
#include "ui/CurrentValuePanel.h"


// The board sends its first reading when a measurement starts and then only
// what a test injects, so every row can be traced to one sample.
constexpr uint32_t kNoPeriodicReadings = 1u << 30;
constexpr DWORD kFloodWaitMs = 600000;
// Handles the platform may create lazily on the way (none per repetition).
constexpr DWORD kHandleSlack = 2;

inline double Celsius(uint16_t raw)
{
    return static_cast<int16_t>(static_cast<uint16_t>(raw - 2732)) / 10.0;
}

class FaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Every measurement report passes the receive thread: rows follow the
        // board's samples one to one.
        HANDLE f = CreateFileW(settingsFile.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        const char text[] = "[Comm]\r\nReceiveInterval=0\r\n";
        DWORD put = 0;
        WriteFile(f, text, sizeof text - 1, &put, nullptr);
        CloseHandle(f);
    }
    void TearDown() override
    {
        w.reset();
        devices.reset();
        if (sim) sim->server.Stop();
    }

    // Plugs a board in and opens the window on it.
    void Open(const wchar_t* name)
    {
        sim = std::make_unique<SimulatedBoard>(name);
        sim->board.SetMeasurePeriod(kNoPeriodicReadings);
        ASSERT_TRUE(sim->server.Start());
        devices = std::make_unique<DeviceListScope>(sim->server.Path());
        w = std::make_unique<OpenWindow>();
        ASSERT_TRUE(w->created);
        ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return sim->board.Settings().received; }));
    }

    const LogStore& Log() const { return w->dlg.LogData(); }
    size_t Records() const { return Log().RecordCount(); }

    // Start measure; true once the board's first reading is a row.
    bool StartMeasuring()
    {
        const size_t before = Records();
        w->Click(IDC_START_MEASURE);
        return w->dlg.Board().Measuring() == 1 && PumpUntil([&] { return Records() > before; });
    }

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

    // The board pulled out, and the platform saying so.
    void Unplug()
    {
        sim->server.Unplug();
        SendInterfaceEvent(w->Hwnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
    }

    // Plugged in again; true once the window has it open and has told it the settings.
    bool Replug()
    {
        if (!sim->server.Replug()) return false;
        SendInterfaceEvent(w->Hwnd(), DBT_DEVICEARRIVAL, sim->server.Path());
        return w->dlg.Board().DeviceHandle() != nullptr && w->dlg.Board().ReceiveThreadRunning() &&
               PumpUntil([&] { return sim->board.Settings().received; });
    }

    // The one noise report of the given turn: codes the tool drops, reports of
    // the wrong length, single communication errors (never 33 in a row), and
    // answers it takes while measuring without adding a row.
    void InjectNoise(uint32_t turn)
    {
        switch (turn % 6) {
        case 0: sim->board.InjectUnknownCode(0x7E); break;
        case 1: sim->board.InjectWrongLength(64); break;
        case 2: sim->board.InjectCommErrors(1); break;
        case 3: sim->board.InjectUnknownCode(RC_READ_WORD); break;
        case 4: sim->board.InjectWrongLength(70); break;
        default: sim->board.InjectUnknownCode(RC_SETTINGS); break;
        }
    }

    // The board sends `readings` readings at full speed, each followed by
    // `noise` other reports; waits until the window has shown them all and
    // checks that they are the log's newest records, in order.
    testing::AssertionResult Feed(uint32_t readings, uint32_t noise = 0, DWORD waitMs = 30000)
    {
        const size_t before = Records();
        const uint32_t first = sim->board.MeasurementsSent();
        const uint32_t deliveredBefore = sim->server.ReportsDelivered();
        uint32_t sent = 0;
        uint32_t reports = 0;
        // Topped up in small batches: a board holds only so many reports for a slow reader.
        const bool done = PumpUntil(
            [&] {
                while (sent < readings && sim->board.PendingInputReports() < 256) {
                    sim->board.InjectMeasurements(1);
                    ++reports;
                    for (uint32_t n = 0; n < noise; ++n) InjectNoise(reports++);
                    ++sent;
                }
                return sent == readings && Records() >= before + readings &&
                       sim->server.ReportsDelivered() - deliveredBefore == reports;
            },
            waitMs);
        if (!done)
            return testing::AssertionFailure() << "sent " << sent << " readings, " << Records() - before
                                               << " became rows, " << sim->server.ReportsDelivered() - deliveredBefore
                                               << " of " << reports << " reports delivered";
        if (Records() != before + readings)
            return testing::AssertionFailure() << Records() - before << " rows for " << readings << " readings";
        return RecordsAreSamples(before, first, readings);
    }

    // Records from `record` on are the board's samples from `sample` on, one each.
    testing::AssertionResult RecordsAreSamples(size_t record, uint32_t sample, size_t count) const
    {
        for (size_t i = 0; i < count; ++i) {
            const tagLOGDATA& r = Log().Record(record + i);
            const SimMeasurement m = CSimBoard::MeasurementAt(sample + static_cast<uint32_t>(i));
            if (r.rsoc != m.rsoc || r.voltage != m.voltage || r.temperature != Celsius(m.temperature))
                return testing::AssertionFailure() << "record " << record + i << " is not sample " << sample + i;
        }
        return testing::AssertionSuccess();
    }

    // The current-value panel shows the newest record.
    void ExpectPanelShowsNewestRecord() const
    {
        ASSERT_GT(Records(), 0u);
        const tagLOGDATA& last = Log().Record(Records() - 1);
        EXPECT_EQ(w->dlg.ItemText(IDC_RSOC_VALUE), RsocValueText(static_cast<uint32_t>(last.rsoc)));
        EXPECT_EQ(w->dlg.ItemText(IDC_TEMP_VALUE), TemperatureValueText(last.temperature));
    }

    void ExpectCountsBackTo(const ProcessCounts& start) const
    {
        PumpMessages(50);
        const ProcessCounts now = CurrentCounts();
        EXPECT_LE(now.handles, start.handles + kHandleSlack) << "handles at start: " << start.handles;
        EXPECT_EQ(now.threads, start.threads);
    }

    SettingsFileScope settingsFile;
    MessageBoxRecorder boxes;
    std::unique_ptr<SimulatedBoard> sim;
    std::unique_ptr<DeviceListScope> devices;
    std::unique_ptr<OpenWindow> w;
};

