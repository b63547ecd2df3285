// The console's part in vantrel-cli on Windows: Ctrl+C and a closing console
// reach a running measurement, which still sends the stop frame.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "cli/CliCommands.h"
#include "cli/CliConsole_win.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHarness.h"
#include "cli/CliPlatform.h"

namespace {

class CliConsoleTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetCliConsole();
        ResetSettings(settings);
        settings.ReceiveInterval = 0;
        sim.board.SetMeasurePeriod(20);
        ASSERT_TRUE(sim.Start());
    }
    void TearDown() override { ResetCliConsole(); }

    // A measurement until the console stops it; its exit code.
    int Measure()
    {
        std::FILE* out = OpenCliFile(folder.File(L"out.txt"), "w+b");
        std::FILE* err = OpenCliFile(folder.File(L"err.txt"), "w+b");
        int code = -1;
        if (out && err) {
            CliContext context{out, err, settings, {}};
            code = RunCli({L"measure"}, context);
        }
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        return code;
    }
    bool StopFrameArrived()
    {
        for (int i = 0; i < 400 && sim.board.Measuring(); ++i) Sleep(5);
        return !sim.board.Measuring();
    }
    void AfterReadings(uint32_t n)
    {
        for (int i = 0; i < 2000 && sim.board.MeasurementsSent() < n; ++i) Sleep(5);
    }

    CTestBoard sim{"console"};
    CDeviceList devices{{sim.Path()}};
    CTestFolder folder;
    CAppSettings settings{};
};

TEST_F(CliConsoleTest, CtrlCSendsTheStopFrame)
{
    std::thread press([&] {
        AfterReadings(3);
        CliConsoleControl(CTRL_C_EVENT);
    });
    EXPECT_EQ(Measure(), kExitOk);
    press.join();
    EXPECT_TRUE(StopFrameArrived());
}

TEST_F(CliConsoleTest, ClosingTheConsoleWaitsForTheStopFrame)
{
    std::atomic<bool> handlerReturned{false};
    std::thread closing([&] {
        AfterReadings(3);
        CliConsoleControl(CTRL_CLOSE_EVENT);
        handlerReturned.store(true);
    });
    const int code = Measure();
    // The system ends the process as soon as the handler returns: it must
    // still be waiting when the command is over.
    EXPECT_FALSE(handlerReturned.load());
    CliCommandFinished();
    closing.join();
    EXPECT_EQ(code, kExitOk);
    EXPECT_TRUE(StopFrameArrived());
}

} // namespace
