// Flash write against the simulated sub board: the whole exchange through the
// tool's own receive thread, its results, faults and the buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "WinHarness.h"
#include "cli/FlashPatterns.h"

namespace {

constexpr uint32_t kFlashStart = 0x8100;
const char kWritingButtons[] = "000000000";
const char kAfterFlashButtons[] = "110111111";

class FlashWriteTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PlugBoard(L"flash"));
    }

    // Opens the window and waits until it talks to the board.
    void OpenSettled(const std::wstring& commandLine = L"", bool withBoard = true)
    {
        ASSERT_NO_FATAL_FAILURE(OpenWindow(commandLine));
        if (withBoard) {
            ASSERT_TRUE(PumpUntil([&] { return sim->server.ClientConnected(); }));
        }
        Settle();
    }
    // Lets every frame and answer in flight be handled.
    void Settle()
    {
        uint32_t frames = sim->board.FramesHandled();
        for (int quiet = 0; quiet < 5;) {
            PumpMessages(20);
            const uint32_t now = sim->board.FramesHandled();
            quiet = now == frames ? quiet + 1 : 0;
            frames = now;
        }
    }
    void Load(const std::vector<uint8_t>& image)
    {
        ASSERT_TRUE(dlg().LoadFlashImageFile(folder.Write(L"image.txt", HexLines(image))));
    }
    HWND Wnd() { return w->Wnd(); }
    CVantrelDlg& dlg() { return w->dlg; }
    std::string Result() { return w->Text(IDC_PROCESS_RESULT); }
    // Presses Flash write and waits for the write to end. The state right
    // after the press is checked before any report can be dispatched.
    bool WriteAndWait()
    {
        w->Click(IDC_FLASH_WRITE);
        EXPECT_EQ(dlg().FlashWriting(), 1);
        EXPECT_EQ(Result(), "Writing...");
        EXPECT_EQ(ButtonStates(Wnd()), kWritingButtons);
        return PumpUntil([&] { return dlg().FlashWriting() == 0; }, 10000);
    }
    void ExpectFlashHolds(const std::vector<uint8_t>& image)
    {
        for (size_t i = 0; i < image.size(); ++i)
            ASSERT_EQ(sim->board.FlashAt(kFlashStart + static_cast<uint32_t>(i)), image[i]) << "byte " << i;
    }
    void ExpectRetryBox(const char* why)
    {
        ASSERT_EQ(boxes.boxes.size(), 1u) << why;
        EXPECT_EQ(Utf8(boxes.boxes[0].text), "Flash write error\nPlease retry the flash write") << why;
        EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error") << why;
        EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING)) << why;
    }

    CTempFolder folder;
};

TEST_F(FlashWriteTest, ImagesAreWrittenVerifiedAndFinished)
{
    OpenSettled();
    struct Case {
        const char* name;
        std::vector<uint8_t> image;
    };
    // Two full images in a row: the second write must start from scratch
    // and send the newly loaded image.
    const Case cases[] = {
        {"13 blocks", PatternImage(1664, 11)},
        {"13 blocks, another image", PatternImage(1664, 200)},
        {"one block", {0x3C}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> image = c.image;
        image.resize((image.size() + 127) / 128 * 128, 0xFF);
        Load(c.image);
        const uint32_t blocks = static_cast<uint32_t>(image.size() / 128);
        const uint32_t framesBefore = sim->board.FramesHandled();
        const auto timesBefore = dlg().Flash().ReplyTimes();

        ASSERT_TRUE(WriteAndWait()) << c.name;
        EXPECT_EQ(Result(), "Flash write success") << c.name;
        EXPECT_TRUE(boxes.boxes.empty()) << c.name;
        EXPECT_EQ(ButtonStates(Wnd()), kAfterFlashButtons) << c.name;
        ExpectFlashHolds(image);

        // preparation, begin, n data, end of data, n verify, end of verify,
        // finish, and then the stop frame; nothing after it.
        const uint32_t expectedFrames = 2 * blocks + 5 + 1;
        EXPECT_TRUE(PumpUntil([&] { return sim->board.FramesHandled() - framesBefore >= expectedFrames; })) << c.name;
        Settle();
        EXPECT_EQ(sim->board.FramesHandled() - framesBefore, expectedFrames) << c.name;

        // The receive thread answered every acknowledgement but the last.
        const auto timesAfter = dlg().Flash().ReplyTimes();
        const uint32_t replies = timesAfter.frames - timesBefore.frames;
        EXPECT_EQ(replies, 2 * blocks + 3) << c.name;
        if (replies > 0) {
            std::printf("[ flash    ] %s: %u replies; per frame from acknowledgement handed over to next frame "
                        "written: mean %.1f us (of it %.1f us to build the frame), longest so far %.1f us\n",
                        c.name, replies, (timesAfter.totalMicroseconds - timesBefore.totalMicroseconds) / replies,
                        (timesAfter.buildMicroseconds - timesBefore.buildMicroseconds) / replies,
                        timesAfter.maxMicroseconds);
        }
    }
}

TEST_F(FlashWriteTest, BoardFaultsEndTheWriteWithTheirResult)
{
    OpenSettled();
    const std::vector<uint8_t> image = PatternImage(1664, 42);
    Load(image);
    struct Case {
        const char* name;
        SimFlashFault fault;
        uint32_t faultAt;   // flash frame index from flash begin
        bool mismatch;
        const char* result;
        uint32_t frames;    // including preparation and the stop frame
    };
    const Case cases[] = {
        // No finish frame after a failed verify.
        {"verify mismatch", SimFlashFault::None, 0, true, "Verify error", 31},
        {"I2C error on data block 4", SimFlashFault::I2cError, 5, false, "I2C communication error", 8},
        {"I2C error on end of verify", SimFlashFault::I2cError, 28, false, "I2C communication error", 31},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        sim->board.SetVerifyMismatch(c.mismatch);
        sim->board.SetFlashFault(c.fault, c.faultAt);
        const uint32_t framesBefore = sim->board.FramesHandled();

        ASSERT_TRUE(WriteAndWait()) << c.name;
        EXPECT_EQ(Result(), c.result) << c.name;
        ExpectRetryBox(c.name);
        EXPECT_EQ(ButtonStates(Wnd()), kAfterFlashButtons) << c.name;
        Settle();
        EXPECT_EQ(sim->board.FramesHandled() - framesBefore, c.frames) << c.name;
    }

    // The user retries and it works.
    boxes.boxes.clear();
    sim->board.SetVerifyMismatch(false);
    ASSERT_TRUE(WriteAndWait());
    EXPECT_EQ(Result(), "Flash write success");
    EXPECT_TRUE(boxes.boxes.empty());
    ExpectFlashHolds(image);
}

// The board acknowledges a frame twice, or sends its last acknowledgement
// again late (at flash begin: the end of verify of the write before). The
// receive thread answers only the acknowledgement it waits for: each write
// still succeeds with the image byte for byte and no frame sent twice.
TEST_F(FlashWriteTest, RepeatedAndLateAcknowledgementsStillWriteTheImage)
{
    OpenSettled();
    const std::vector<uint8_t> image = PatternImage(1664, 23);
    Load(image);
    ASSERT_TRUE(WriteAndWait());  // the write before
    // Frame indices: 0 begin, 1..13 data, 14 end of data, 15..27 verify,
    // 28 end of verify, 29 finish.
    for (SimFlashFault fault : {SimFlashFault::LateAck, SimFlashFault::RepeatedAck}) {
        for (uint32_t at : {0u, 1u, 5u, 13u, 14u, 20u, 28u, 29u}) {
            const char* name = fault == SimFlashFault::LateAck ? "late" : "repeated";
            SCOPED_TRACE(testing::Message() << name << " acknowledgement at frame " << at);
            Settle();
            sim->board.SetFlashFault(fault, at);
            const uint32_t framesBefore = sim->board.FramesHandled();
            ASSERT_TRUE(WriteAndWait());
            EXPECT_EQ(Result(), "Flash write success");
            EXPECT_TRUE(boxes.boxes.empty());
            ExpectFlashHolds(image);
            Settle();
            EXPECT_EQ(sim->board.FramesHandled() - framesBefore, 2 * 13u + 6);
        }
    }
}

TEST_F(FlashWriteTest, RefusedAcknowledgementLeavesTheWriteRunningUntilRemoval)
{
    OpenSettled();
    Load(PatternImage(1664, 7));
    sim->board.SetFlashFault(SimFlashFault::AckStatusZero, 3);
    w->Click(IDC_FLASH_WRITE);
    Settle();
    PumpMessages(300);
    EXPECT_EQ(dlg().FlashWriting(), 1);
    EXPECT_EQ(Result(), "Writing...");
    EXPECT_EQ(ButtonStates(Wnd()), kWritingButtons);
    EXPECT_TRUE(boxes.boxes.empty());

    Unplug();
    EXPECT_EQ(dlg().FlashWriting(), 0);
    EXPECT_EQ(Result(), "USB communication error");
    EXPECT_EQ(ButtonStates(Wnd()), kAfterFlashButtons);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Disconnect the USB device");
}

// A read-word reply still queued when the write starts ends it mid-transfer;
// the result text stays, no flash frame reaches the board after the stop
// frame, the finish report never comes, and the next write starts clean.
TEST_F(FlashWriteTest, AnyQueuedReportEndsTheWrite)
{
    OpenSettled();
    Load(PatternImage(1664, 1));
    sim->board.SetRegister(0x0D, 0x0A5B);
    SetDlgItemTextW(Wnd(), IDC_READ_COMMAND, L"0d");
    w->Click(IDC_READ_WORD);
    // No messages are handled between the two clicks, so the reply is
    // dispatched only once the write is under way.
    ASSERT_TRUE(WriteAndWait());
    EXPECT_EQ(w->Text(IDC_READ_DATA), "a5b");
    EXPECT_EQ(Result(), "Writing...");
    EXPECT_EQ(ButtonStates(Wnd()), kAfterFlashButtons);
    Settle();
    PumpMessages(100);
    EXPECT_EQ(Result(), "Writing...");
    EXPECT_EQ(dlg().FlashWriting(), 0);
    EXPECT_TRUE(boxes.boxes.empty());

    const std::vector<uint16_t> log = sim->board.FrameLog();
    const auto stop = std::find(log.rbegin(), log.rend(), static_cast<uint16_t>(RC_CONTROL << 8 | kFrameMarker));
    ASSERT_NE(stop, log.rend());
    EXPECT_EQ(stop, log.rbegin()) << "a frame reached the board after the stop frame";
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](uint16_t f) { return f >> 8 == RC_FLASH_FINISH; }), 0);

    const std::vector<uint8_t> next = PatternImage(3 * 128, 77);
    Load(next);
    ASSERT_TRUE(WriteAndWait());
    EXPECT_EQ(Result(), "Flash write success");
    ExpectFlashHolds(next);
}

TEST_F(FlashWriteTest, DemoModeWritesNothing)
{
    OpenSettled(L"-demo1");
    Load(PatternImage(1664, 3));
    const std::string buttons = ButtonStates(Wnd());
    const uint32_t framesBefore = sim->board.FramesHandled();
    w->Click(IDC_FLASH_WRITE);
    Settle();
    EXPECT_EQ(dlg().FlashWriting(), 0);
    EXPECT_EQ(Result(), "");
    EXPECT_EQ(ButtonStates(Wnd()), buttons);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(sim->board.FramesHandled(), framesBefore);
    EXPECT_EQ(sim->board.FlashAt(kFlashStart), 0xFF);
}

TEST_F(FlashWriteTest, WithoutABoardTheUserIsTold)
{
    DeviceListScope none(L"");
    OpenSettled(L"", false);
    ASSERT_EQ(dlg().Board().DeviceHandle(), nullptr);
    Load(PatternImage(128, 3));
    const std::string buttons = ButtonStates(Wnd());
    w->Click(IDC_FLASH_WRITE);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Sub board was not found");
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(dlg().FlashWriting(), 0);
    EXPECT_EQ(Result(), "");
    EXPECT_EQ(ButtonStates(Wnd()), buttons);
}

}  // namespace
