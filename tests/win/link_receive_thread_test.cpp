#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <list>
#include <optional>
#include <vector>
#include <windows.h>
#include <mmsystem.h>

#include "link/ReceiveThread_win.h"
#include "link/SubBoardLink_win.h"
#include "protocol/FlashWriter.h"
#include "protocol/Frames.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"
#include "WinHarness.h"

namespace {

// A message-only window that counts the receive thread's notifications.
class CNotifyCounter {
public:
    CNotifyCounter()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CNotifyCounter::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LinkTestNotifyCounter";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CNotifyCounter() { DestroyWindow(m_hwnd); }
    HWND Window() const { return m_hwnd; }
    int count = 0;
    int lost = 0;  // kBoardLostMessage
    bool badParams = false;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<CNotifyCounter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == kSubBoardReportMessage) {
            ++self->count;
            if (wp != 0 || lp != 0) self->badParams = true;
            return 0;
        }
        if (self && msg == kBoardLostMessage) {
            ++self->lost;
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    HWND m_hwnd = nullptr;
};

class ReceiveThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        board.SetMeasurePeriod(20);
        ASSERT_TRUE(server.Start());
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, server.Path().c_str());
        ASSERT_EQ(link.Find(), 1);
        ASSERT_TRUE(link.Open());
        context.device.store(link.Handle());
        context.queue = &queue;
        context.notifyWindow = notify.Window();
    }
    void TearDown() override
    {
        // Unplugged first, the thread's read fails at once instead of timing out.
        server.Unplug();
        thread.Stop();
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
    }

    void Send(const OutputFrame& frame)
    {
        for (const OutputReport& r : frame.reports) link.WriteReport(r.data());
    }

    std::vector<uint8_t> QueuedCodes()
    {
        std::vector<uint8_t> codes;
        for (const ReportPayload& p : queue.PopAll()) codes.push_back(p[0]);
        return codes;
    }

    // The read-word reply comes after everything the board sent before it:
    // once it is queued, the thread has handled all of that.
    bool Sync(uint8_t command = 0x42)
    {
        board.SetRegister(command, 0xA55A);
        Send(BuildReadWordFrame(command));
        return PumpUntil([&] {
            bool found = false;
            std::list<ReportPayload> all = queue.PopAll();
            for (const ReportPayload& p : all) {
                if (p[0] == RC_READ_WORD && p[2] == 0x5A && p[3] == 0xA5) found = true;
                else synced.push_back(p[0]);
            }
            return found;
        });
    }

    CSimBoard board;
    CPipeServer server{board, L"receive"};
    CSubBoardLink link;
    CReportQueue queue;
    CNotifyCounter notify;
    ReceiveContext context;
    CReceiveThread thread{context};
    std::vector<uint8_t> synced; // codes queued before the sync reply
};

TEST_F(ReceiveThreadTest, EveryMeasurementPassesWithIntervalZero)
{
    context.receiveIntervalMs.store(0);
    context.measuring.store(1);
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start()) << "one thread at a time";
    Send(BuildStartMeasureFrame());
    ASSERT_TRUE(PumpUntil([&] { return queue.Count() >= 10; }));
    Send(BuildStopFrame());
    ASSERT_TRUE(PumpUntil([&] { return !board.Measuring(); }));
    ASSERT_TRUE(Sync());
    // Every measurement the board sent was queued, and announced once.
    EXPECT_EQ(synced, std::vector<uint8_t>(board.MeasurementsSent(), RC_MEASURE));
    PumpMessages(50);
    EXPECT_EQ(notify.count, static_cast<int>(synced.size()) + 1);
    EXPECT_FALSE(notify.badParams);
}

TEST_F(ReceiveThreadTest, MeasurementsArePacedByTheInterval)
{
    const DWORD start = timeGetTime();
    context.receiveIntervalMs.store(200);
    context.measuring.store(1);
    ASSERT_TRUE(thread.Start());
    Send(BuildStartMeasureFrame());
    ASSERT_TRUE(PumpUntil([&] { return queue.Count() >= 3; }, 10000));
    Send(BuildStopFrame());
    ASSERT_TRUE(Sync());
    const DWORD elapsed = timeGetTime() - start;
    const size_t passed = synced.size();
    EXPECT_EQ(synced, std::vector<uint8_t>(passed, RC_MEASURE));
    // At most one per interval since the thread started, and far fewer than sent.
    EXPECT_LE(passed * 200, elapsed);
    EXPECT_LT(passed * 3, board.MeasurementsSent());

    // A long interval read afresh while running: nothing more passes.
    context.receiveIntervalMs.store(3600u * 1000u);
    Send(BuildStartMeasureFrame());
    const uint32_t before = server.ReportsDelivered();
    ASSERT_TRUE(PumpUntil([&] { return server.ReportsDelivered() >= before + 10; }));
    Send(BuildStopFrame());
    synced.clear();
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(synced.empty());
}

TEST_F(ReceiveThreadTest, CommErrorBurstQueuesEvery33rd)
{
    context.measuring.store(1);
    ASSERT_TRUE(thread.Start());
    board.InjectCommErrors(66);
    ASSERT_TRUE(Sync());
    EXPECT_EQ(synced, (std::vector<uint8_t>{RC_COMM_ERROR, RC_COMM_ERROR}));

    synced.clear();
    context.measuring.store(0);
    board.InjectCommErrors(40);
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(synced.empty());
}

TEST_F(ReceiveThreadTest, WrongLengthAndUnknownCodesAreDropped)
{
    ASSERT_TRUE(thread.Start());
    board.InjectWrongLength(64);
    board.InjectWrongLength(70);
    board.InjectUnknownCode(0x0F);
    board.InjectUnknownCode(0xFF);
    Send(BuildWriteWordFrame(1, 2)); // its answer is dropped too
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(synced.empty());
}

// Reports longer than a report are dropped at once: a stream of them must not
// hold back the good ones behind pauses meant for a dead device.
TEST_F(ReceiveThreadTest, OverlongReportsCauseNoPause)
{
    ASSERT_TRUE(thread.Start());
    for (int i = 0; i < 50; ++i) board.InjectWrongLength(70 + i);
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(synced.empty());
    EXPECT_EQ(thread.Pauses(), 0u);
}

class FlashThroughThread : public ReceiveThreadTest {
protected:
    void Wire()
    {
        image.resize(1664);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 1);
        context.flashReply = [this](const uint8_t* ack) {
            std::optional<OutputFrame> next = writer.Reply(ack, image.data(), static_cast<uint32_t>(image.size()));
            if (!next) return;
            ++replies;
            for (const OutputReport& r : next->reports) link.WriteReport(r.data());
        };
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));
        Send(BuildFlashPrepareFrame());
        Send(writer.CodeFrame());
    }

    std::vector<uint8_t> image;
    CFlashWriter writer;
    std::atomic<int> replies{0};
};

TEST_F(FlashThroughThread, WholeWriteEndsWithTheCompletionReport)
{
    Wire();
    ASSERT_TRUE(PumpUntil([&] { return queue.Count() > 0; }, 30000));
    const std::list<ReportPayload> results = queue.PopAll();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front()[0], RC_FLASH_FINISH);
    EXPECT_EQ(results.front()[1], 1);
    EXPECT_EQ(replies.load(), 29);
    for (size_t i = 0; i < image.size(); ++i) ASSERT_EQ(board.FlashAt(0x8100 + static_cast<uint32_t>(i)), image[i]);
}

TEST_F(FlashThroughThread, VerifyMismatchIsQueued)
{
    board.SetVerifyMismatch(true);
    Wire();
    ASSERT_TRUE(PumpUntil([&] { return queue.Count() > 0; }, 30000));
    const std::list<ReportPayload> results = queue.PopAll();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front()[0], RC_FLASH_VERIFY_END);
    EXPECT_EQ(results.front()[1], 1);
    EXPECT_NE(results.front()[2], 1);
}

TEST_F(FlashThroughThread, RefusedAcknowledgementStopsTheExchange)
{
    board.SetFlashFault(SimFlashFault::AckStatusZero, 5);
    Wire();
    ASSERT_TRUE(PumpUntil([&] { return board.FramesHandled() >= 7; })); // preparation, begin, 5 blocks
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(synced.empty());
    EXPECT_EQ(replies.load(), 5);
}

TEST_F(ReceiveThreadTest, StopEndsAThreadWaitingOnASilentBoard)
{
    board.SetSilent(true);
    ASSERT_TRUE(thread.Start());
    Sleep(100); // the thread is now waiting for a report that never comes
    const DWORD before = timeGetTime();
    thread.Stop();
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(context.stop.load(), 1u);
    std::printf("stop took %lu ms\n", static_cast<unsigned long>(timeGetTime() - before));
    thread.Stop(); // nothing left to stop
}

TEST_F(ReceiveThreadTest, UnplugWhileReadingNeitherHangsNorSpins)
{
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(Sync());
    EXPECT_EQ(context.lost.load(), 0u);
    server.Unplug();
    // Every read now fails at once; each failed pass pauses.
    Sleep(100);
    const uint32_t passes = thread.Passes();
    Sleep(400);
    const uint32_t during = thread.Passes() - passes;
    EXPECT_LT(during, 100u) << "a failing read must not spin";
    EXPECT_GT(during, 0u) << "the loop goes on until stopped";
    // The window hears of it once, with no device notification needed.
    EXPECT_EQ(context.lost.load(), 1u);
    PumpMessages(20);
    EXPECT_EQ(notify.lost, 1);
    thread.Stop();
    context.lost.store(0);

    // Plugged in again and reopened as the dialog does: reports flow again.
    ASSERT_TRUE(server.Replug());
    link.Close();
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    context.device.store(link.Handle());
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(Sync());
}

// A window that takes no reports: the thread stops reading at the bound,
// so memory stays bounded, and reads on once the window has caught up.
TEST_F(ReceiveThreadTest, QueueStopsGrowingWhileTheWindowIsBehind)
{
    context.receiveIntervalMs.store(0);
    context.measuring.store(1);
    board.SetMeasurePeriod(1000000);
    ASSERT_TRUE(thread.Start());
    // In steps the board can hold (it keeps a bounded number unread).
    const uint32_t step = 512;
    static_assert(CReceiveThread::kMaxQueuedReports % step == 0, "whole steps");
    while (queue.Count() < CReceiveThread::kMaxQueuedReports) {
        board.InjectMeasurements(step);
        // A report of the board's own may be among them, so the bound can
        // come before the board has handed over the whole step.
        ASSERT_TRUE(PumpUntil([&] {
            return board.PendingInputReports() == 0 || queue.Count() >= CReceiveThread::kMaxQueuedReports;
        }, 20000));
    }
    const uint32_t extra = 300;
    board.InjectMeasurements(extra);
    PumpMessages(300);
    EXPECT_EQ(queue.Count(), CReceiveThread::kMaxQueuedReports);
    // The rest waits at the board (but the one or two the pipe holds).
    EXPECT_GE(board.PendingInputReports() + 2, extra);
    EXPECT_EQ(queue.PopAll().size(), CReceiveThread::kMaxQueuedReports);
    EXPECT_TRUE(PumpUntil([&] { return board.PendingInputReports() == 0 && queue.Count() >= extra; }));
    EXPECT_EQ(context.lost.load(), 0u);
}

TEST_F(ReceiveThreadTest, NoDeviceDoesNotSpin)
{
    context.device.store(nullptr);
    ASSERT_TRUE(thread.Start());
    Sleep(300);
    EXPECT_LT(thread.Passes(), 100u);
    thread.Stop();
    EXPECT_FALSE(thread.Running());
}

} // namespace
