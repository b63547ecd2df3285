// The real Vantrel.exe over a virtual board, as a user runs it: no
// VANTREL_DEVICE, the board found through HID class enumeration, unplugged
// and plugged through Plug and Play without a restart.
#include <gtest/gtest.h>

#include "HidBoards.h"

namespace {

using HidProgramTest = WindowTest;

int PaneLength(HWND status, int pane) { return LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, pane, 0)); }

int ListRows(HWND wnd)
{
    return static_cast<int>(SendMessageW(GetDlgItem(wnd, IDC_LOG_LIST), LVM_GETITEMCOUNT, 0, 0));
}

// Start measure pressed; true once the list has gained rows of readings.
bool MeasuresSomething(HWND wnd, const HidBoard& board)
{
    const uint32_t sent = board.board.MeasurementsSent();
    const int rows = ListRows(wnd);
    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDC_START_MEASURE, BN_CLICKED), 0);
    return PumpUntil([&] { return board.board.MeasurementsSent() > sent + 1 && ListRows(wnd) > rows + 1; }, 15000);
}

} // namespace

TEST_F(HidProgramTest, TheProgramFindsThePluggedBoardAndMeasuresAgainAfterAReplug)
{
    if (!RealProgram::Built()) GTEST_SKIP() << "Vantrel.exe not built beside the tests";
    const size_t connected = std::string("USB Connected").size();
    HidBoard one(1);
    ASSERT_TRUE(one.Plug());
    RealProgram program;
    ASSERT_TRUE(program.Started());
    HWND wnd = program.Window();
    ASSERT_NE(wnd, nullptr);
    HWND status = FindWindowExW(wnd, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return static_cast<size_t>(PaneLength(status, 3)) == connected; }));
    ASSERT_TRUE(MeasuresSomething(wnd, one));

    ASSERT_TRUE(one.Unplug());
    HWND box = WaitForWindow(L"error");
    ASSERT_NE(box, nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 64);
    EXPECT_EQ(Utf8(text), "Disconnect the USB device");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([&] { return PaneLength(status, 3) == 0; }));

    ASSERT_TRUE(one.Plug());
    EXPECT_TRUE(PumpUntil([&] { return static_cast<size_t>(PaneLength(status, 3)) == connected; }));
    EXPECT_TRUE(MeasuresSomething(wnd, one));
    PostMessageW(wnd, WM_CLOSE, 0, 0);
}
