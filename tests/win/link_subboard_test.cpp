#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "link/SubBoardLink_win.h"
#include "protocol/Frames.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"
#include "WinHarness.h"

namespace {

void SetDeviceList(const std::wstring& list)
{
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, list.empty() ? nullptr : list.c_str());
}

std::wstring Upper(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return s;
}

int WriteFrame(const CSubBoardLink& link, const OutputFrame& frame)
{
    int result = CSubBoardLink::kWriteDone;
    for (const OutputReport& r : frame.reports) {
        const int one = link.WriteReport(r.data());
        if (one != CSubBoardLink::kWriteDone) result = one;
    }
    return result;
}

class LinkTest : public testing::Test {
protected:
    void TearDown() override { SetDeviceList(L""); }
};

TEST_F(LinkTest, FindTakesAListedBoardOnlyWhilePresent)
{
    CSimBoard board;
    CPipeServer server(board, L"find");
    ASSERT_TRUE(server.Start());
    SetDeviceList(server.Path());

    CSubBoardLink link;
    EXPECT_EQ(link.Find(), 1);
    EXPECT_EQ(link.DevicePath(), server.Path());

    server.Unplug();
    EXPECT_EQ(link.Find(), 0);
    EXPECT_TRUE(link.DevicePath().empty()) << "a path from an earlier find is emptied";

    ASSERT_TRUE(server.Replug());
    EXPECT_EQ(link.Find(), 1);
    // Still found while connected (the one pipe instance is then busy).
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(PumpUntil([&] { return server.ClientConnected(); }));
    EXPECT_EQ(link.Find(), 1);
}

TEST_F(LinkTest, FindMatchIsCaseSensitive)
{
    CSimBoard board;
    CPipeServer server(board, L"case");
    ASSERT_TRUE(server.Start());
    // Pipe names are not case-sensitive, so this path does reach the board;
    // only the match text decides.
    SetDeviceList(Upper(server.Path()));
    CSubBoardLink link;
    EXPECT_EQ(link.Find(), 0);
    EXPECT_TRUE(link.DevicePath().empty());
}

TEST_F(LinkTest, FindKeepsTheLastMatch)
{
    CSimBoard boardA, boardB;
    CPipeServer a(boardA, L"first"), b(boardB, L"second");
    ASSERT_TRUE(a.Start());
    ASSERT_TRUE(b.Start());
    const std::wstring absent = CPipeServer::PathFor(L"absent");
    const std::wstring other = L"\\\\.\\pipe\\hid#vid_1234&pid_0001#x#{4d1e55b2-f16f-11cf-88cb-001111000030}";

    struct Case {
        std::wstring list;
        std::wstring expected;
    } cases[] = {
        {a.Path() + L";" + b.Path(), b.Path()},
        {b.Path() + L";" + a.Path(), a.Path()},
        {a.Path() + L";" + absent, a.Path()},
        {L";" + b.Path() + L";;" + other + L";", b.Path()},
        {absent + L";" + other, L""},
    };
    CSubBoardLink link;
    for (const Case& c : cases) {
        SetDeviceList(c.list);
        EXPECT_EQ(link.Find(), c.expected.empty() ? 0 : 1) << Utf8(c.list);
        EXPECT_EQ(link.DevicePath(), c.expected) << Utf8(c.list);
    }
}

TEST_F(LinkTest, WriteReportResults)
{
    CSimBoard board;
    CPipeServer server(board, L"write");
    ASSERT_TRUE(server.Start());
    SetDeviceList(server.Path());

    CSubBoardLink link;
    const OutputFrame frame = BuildWriteWordFrame(0x12, 0x3456);
    EXPECT_EQ(link.WriteReport(frame.reports[0].data()), CSubBoardLink::kWriteNoDevice);

    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(WriteFrame(link, frame), CSubBoardLink::kWriteDone);
    EXPECT_TRUE(PumpUntil([&] { return board.Register(0x12) == 0x3456; }));

    // A board that stops reading: once the pipe is full a write times out.
    board.SetReadsStalled(true);
    Sleep(100); // let the server drop its pending read
    const OutputFrame read = BuildReadWordFrame(0x12);
    int results[4] = {};
    int firstFailure = -1;
    for (int i = 0; i < 4 && firstFailure < 0; ++i) {
        results[i] = link.WriteReport(read.reports[0].data());
        if (results[i] != CSubBoardLink::kWriteDone) firstFailure = i;
    }
    ASSERT_GE(firstFailure, 0) << "a stalled board never made a write fail";
    EXPECT_EQ(results[firstFailure], CSubBoardLink::kWriteFailed);

    // The board reads again: writes go through and frames are whole again
    // once the reassembly has caught up with a fresh frame.
    board.SetReadsStalled(false);
    EXPECT_TRUE(PumpUntil([&] { return link.WriteReport(read.reports[0].data()) == CSubBoardLink::kWriteDone; }));

    // Unplugged: writes fail at once.
    server.Unplug();
    EXPECT_EQ(link.WriteReport(read.reports[0].data()), CSubBoardLink::kWriteFailed);
}

TEST_F(LinkTest, CloseSemantics)
{
    CSubBoardLink link;
    EXPECT_TRUE(link.Close()) << "never opened";
    EXPECT_EQ(link.Handle(), nullptr);

    // A board that could not be opened leaves no handle: nothing is open.
    SetDeviceList(L"");
    link.Find();
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.Handle(), nullptr);
    EXPECT_TRUE(link.Close());
    EXPECT_EQ(link.WriteReport(BuildStopFrame().reports[0].data()), CSubBoardLink::kWriteNoDevice);

    CSimBoard board;
    CPipeServer server(board, L"close");
    ASSERT_TRUE(server.Start());
    SetDeviceList(server.Path());
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(PumpUntil([&] { return server.ClientConnected(); }));
    EXPECT_TRUE(link.Close());
    EXPECT_EQ(link.Handle(), nullptr);
    EXPECT_TRUE(link.Close());
    EXPECT_TRUE(PumpUntil([&] { return !server.ClientConnected(); })) << "the board saw the tool go";

    // The same board can be opened again.
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(WriteFrame(link, BuildWriteWordFrame(3, 4)), CSubBoardLink::kWriteDone);
    EXPECT_TRUE(PumpUntil([&] { return board.Register(3) == 4; }));
}

TEST_F(LinkTest, HidClassIsTheHidInterfaceClass)
{
    const GUID hid = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    CSubBoardLink link;
    EXPECT_TRUE(IsEqualGUID(link.HidClass(), hid));
}

} // namespace
