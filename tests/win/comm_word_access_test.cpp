// Register word access against the simulated board: the hex texts of the
// edits become the command and data of the frames, the read reply lands in
// edit 1038.
#include <gtest/gtest.h>

#include <cstdint>

#include "WinHarness.h"

namespace {
using WordAccessTest = WindowTest;
}

TEST_F(WordAccessTest, WriteWordTakesLowBitsOfTheHexTexts)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"word-write"));

    struct Case { const wchar_t* command; const wchar_t* data; uint8_t reg; uint16_t value; };
    // Every case writes a value its register does not hold yet, so each
    // wait below ends only when that very write has arrived.
    const Case cases[] = {
        {L"12", L"3456", 0x12, 0x3456},
        {L"1FF", L"1111", 0xFF, 0x1111},
        {L"100", L"2222", 0x00, 0x2222},
        {L"-1", L"3333", 0xFF, 0x3333},
        {L"", L"4444", 0x00, 0x4444},
        {L"zz", L"5555", 0x00, 0x5555},
        {L"0x2A", L"6666", 0x2A, 0x6666},
        {L" 2a", L"7777", 0x2A, 0x7777},
        {L"2Ag", L"8888", 0x2A, 0x8888},
        {L"30", L"12345", 0x30, 0x2345},
        {L"31", L"FFFFFFFFFF", 0x31, 0xFFFF},
        {L"32", L"-2", 0x32, 0xFFFE},
        {L"33", L"", 0x33, 0x0000},
    };
    sim->board.SetRegister(0x33, 0xABCD);
    for (const Case& c : cases) {
        w->dlg.SetItemText(IDC_WRITE_COMMAND, c.command);
        w->dlg.SetItemText(IDC_WRITE_DATA, c.data);
        w->Click(IDC_WRITE_WORD);
        EXPECT_TRUE(PumpUntil([&] { return sim->board.Register(c.reg) == c.value; }, 2000))
            << Utf8(c.command) << " / " << Utf8(c.data) << " -> register " << int(c.reg) << " holds "
            << sim->board.Register(c.reg);
        // The texts stay as typed.
        EXPECT_EQ(w->dlg.ItemText(IDC_WRITE_COMMAND), c.command);
    }
}

TEST_F(WordAccessTest, ReadWordShowsTheRegisterInLowerCaseHex)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"word-read"));
    sim->board.SetRegister(0x0D, 0x0A5B);
    sim->board.SetRegister(0x0E, 0x0000);
    sim->board.SetRegister(0xFF, 0xFFFF);

    w->dlg.SetItemText(IDC_READ_COMMAND, L"d");
    w->Click(IDC_READ_WORD);
    // Typed while the answer is on its way: the reply must not wipe it.
    w->dlg.SetItemText(IDC_WRITE_DATA, L"beef");
    EXPECT_TRUE(PumpUntil([&] { return w->Text(IDC_READ_DATA) == "a5b"; })) << w->Text(IDC_READ_DATA);
    EXPECT_EQ(w->Text(IDC_WRITE_DATA), "beef");
    EXPECT_EQ(w->Text(IDC_READ_COMMAND), "d");

    w->dlg.SetItemText(IDC_READ_COMMAND, L"0E");
    w->Click(IDC_READ_WORD);
    EXPECT_TRUE(PumpUntil([&] { return w->Text(IDC_READ_DATA) == "0"; })) << w->Text(IDC_READ_DATA);

    w->dlg.SetItemText(IDC_READ_COMMAND, L"-1");
    w->Click(IDC_READ_WORD);
    EXPECT_TRUE(PumpUntil([&] { return w->Text(IDC_READ_DATA) == "ffff"; })) << w->Text(IDC_READ_DATA);
}

TEST_F(WordAccessTest, ReplyTextIgnoresTheCommandByteAndOverwritesTheEdit)
{
    MainWindow w;
    struct Case { uint8_t command, low, high; const char* shown; };
    const Case cases[] = {{0x0D, 0x5B, 0x0A, "a5b"}, {0x00, 0x00, 0x00, "0"}, {0x77, 0xFF, 0xFF, "ffff"},
                          {0x01, 0x10, 0x00, "10"}};
    w.dlg.SetItemText(IDC_READ_DATA, L"typed by the user");
    w.dlg.SetItemText(IDC_WRITE_COMMAND, L"kept");
    for (const Case& c : cases) {
        uint8_t payload[kPayloadSize] = {RC_READ_WORD, c.command, c.low, c.high};
        w.dlg.HandleSubBoardReport(payload);
        EXPECT_EQ(w.Text(IDC_READ_DATA), c.shown);
    }
    EXPECT_EQ(w.Text(IDC_WRITE_COMMAND), "kept");
}

TEST_F(WordAccessTest, DemoModeSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(PlugBoard(L"word-demo"));
    ASSERT_NO_FATAL_FAILURE(OpenWindow(L"-demo1"));
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
    sim->board.SetRegister(0x0D, 0x0A5B);

    w->dlg.SetItemText(IDC_WRITE_COMMAND, L"12");
    w->dlg.SetItemText(IDC_WRITE_DATA, L"3456");
    w->Click(IDC_WRITE_WORD);
    w->dlg.SetItemText(IDC_READ_COMMAND, L"d");
    w->Click(IDC_READ_WORD);
    PumpMessages(300);
    EXPECT_EQ(sim->board.FramesHandled(), 0u);
    EXPECT_EQ(sim->board.Register(0x12), 0);
    EXPECT_EQ(w->Text(IDC_READ_DATA), "");
}
