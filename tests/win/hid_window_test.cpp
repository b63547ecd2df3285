// The window over virtual boards: arrival after start-up, word access, a
// flash write, and removals while idle, while writing and as a quick replug,
// all announced by Plug and Play alone.
#include <gtest/gtest.h>

#include "HidBoards.h"
#include "cli/FlashPatterns.h"

namespace {

constexpr uint32_t kFlashStart = 0x8100;

using HidWindowTest = WindowTest;

// Every report the board had to send has reached the window (whatever
// arrives during a flash write ends it).
void Settle(const HidBoard& board)
{
    uint32_t delivered = board.server.ReportsDelivered();
    for (int quiet = 0; quiet < 5;) {
        PumpMessages(50);
        const uint32_t now = board.server.ReportsDelivered();
        quiet = now == delivered && board.board.PendingInputReports() == 0 ? quiet + 1 : 0;
        delivered = now;
    }
}

} // namespace

TEST_F(HidWindowTest, ABoardPluggedAfterStartUpConnectsTakesWordsAndLeavesQuietlyWhenIdle)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    ASSERT_EQ(w->dlg.Board().DeviceHandle(), nullptr);
    HidBoard one(1);
    ASSERT_TRUE(one.Plug());
    ASSERT_TRUE(PumpUntil([&] { return one.board.Settings().received; }));
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "USB Connected");

    one.board.SetRegister(0x0D, 0x0A5B);
    w->dlg.SetItemText(IDC_READ_COMMAND, L"d");
    w->Click(IDC_READ_WORD);
    EXPECT_TRUE(PumpUntil([&] { return w->Text(IDC_READ_DATA) == "a5b"; })) << w->Text(IDC_READ_DATA);
    w->dlg.SetItemText(IDC_WRITE_COMMAND, L"2A");
    w->dlg.SetItemText(IDC_WRITE_DATA, L"6666");
    w->Click(IDC_WRITE_WORD);
    EXPECT_TRUE(PumpUntil([&] { return one.board.Register(0x2A) == 0x6666; }));

    ASSERT_TRUE(one.Unplug());
    ASSERT_TRUE(PumpUntil([&] { return w->dlg.Board().DeviceHandle() == nullptr; }));
    EXPECT_FALSE(w->dlg.Board().ReceiveThreadRunning());
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "");
    EXPECT_TRUE(boxes.boxes.empty()) << Utf8(boxes.boxes[0].text);
}

TEST_F(HidWindowTest, AnUnplugEndsAFlashWriteAndAfterAPlugAWholeWriteVerifiesTheImage)
{
    CTempFolder folder;
    std::vector<uint8_t> image = PatternImage(1664, 3);
    HidBoard one(1);
    ASSERT_TRUE(one.Plug());
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    ASSERT_TRUE(PumpUntil([&] { return one.board.Settings().received; }));
    ASSERT_TRUE(w->dlg.LoadFlashImageFile(folder.Write(L"image.txt", HexLines(image))));
    Settle(one);

    // No answer comes; only the removal can end the write.
    one.board.SetSilent(true);
    w->Click(IDC_FLASH_WRITE);
    ASSERT_EQ(w->dlg.FlashWriting(), 1);
    ASSERT_TRUE(one.Unplug());
    ASSERT_TRUE(PumpUntil([&] { return w->dlg.FlashWriting() == 0; }));
    EXPECT_EQ(ButtonStates(w->Wnd()), "110111111");
    EXPECT_EQ(w->Text(IDC_PROCESS_RESULT), "USB communication error");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Disconnect the USB device");
    EXPECT_EQ(w->dlg.Board().DeviceHandle(), nullptr);
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "");

    // Unplugged, the board lost its power.
    one.board.SetSilent(false);
    one.board.PowerCycle();
    ASSERT_TRUE(one.Plug());
    ASSERT_TRUE(PumpUntil([&] { return one.board.Settings().received; }));
    Settle(one);
    w->Click(IDC_FLASH_WRITE);
    ASSERT_EQ(w->dlg.FlashWriting(), 1);
    ASSERT_TRUE(PumpUntil([&] { return w->dlg.FlashWriting() == 0; }, 30000));
    EXPECT_EQ(w->Text(IDC_PROCESS_RESULT), "Flash write success");
    ASSERT_EQ(boxes.boxes.size(), 1u) << Utf8(boxes.boxes.back().text);
    for (size_t i = 0; i < image.size(); ++i)
        ASSERT_EQ(one.board.FlashAt(kFlashStart + static_cast<uint32_t>(i)), image[i]) << "byte " << i;
}

// Unplugged and plugged again while the window hears nothing: afterwards it
// must be talking to the board that is back, not showing the dead handle.
TEST_F(HidWindowTest, AQuickReplugWhileTheWindowIsBusyEndsOnTheLiveBoard)
{
    HidBoard one(1);
    ASSERT_TRUE(one.Plug());
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    ASSERT_TRUE(PumpUntil([&] { return one.board.Settings().received; }));
    ASSERT_TRUE(StartMeasuring());

    ASSERT_TRUE(one.Unplug());
    ASSERT_TRUE(one.Plug(false));
    // Whatever the platform and the receive thread had to say is heard now.
    PumpMessages(1000);
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr) << "pane 3 \"" << Utf8(w->dlg.StatusText(3)) << "\"";
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "USB Connected");
    EXPECT_TRUE(StartMeasuring()) << "window measuring " << w->dlg.Board().Measuring() << ", boxes "
                                  << boxes.boxes.size();
}

TEST_F(HidWindowTest, FiftyPlugAndUnplugCyclesLeaveNothingBehind)
{
    HidBoard one(1);
    ASSERT_TRUE(one.Plug());
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    ASSERT_TRUE(PumpUntil([&] { return one.board.Settings().received; }));
    auto cycle = [&] {
        if (!one.Unplug() || !PumpUntil([&] { return w->dlg.Board().DeviceHandle() == nullptr; })) return false;
        one.board.PowerCycle();
        // Back once the window has opened it and told it the settings.
        return one.Plug() && PumpUntil([&] { return one.board.Settings().received; });
    };
    // Let every lazily made object of the first rounds exist before counting.
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(cycle()) << "warm-up " << i;
    Settle(one);
    const ProcessCounts start = CurrentCounts();
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(cycle()) << "cycle " << i << ", pane 3 " << Utf8(w->dlg.StatusText(3));
    Settle(one);
    ExpectCountsBackTo(start);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "USB Connected");
}
