#include <gtest/gtest.h>

#include <windows.h>

#include "link/SubBoardLink_win.h"
#include "protocol/Frames.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"
#include "WinHarness.h"

namespace {

TEST(SimPipeServer, PathCarriesTheMatchText)
{
    EXPECT_EQ(CPipeServer::PathFor(L"x"),
              L"\\\\.\\pipe\\hid#vid_5e3a&pid_fffd#x#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    EXPECT_TRUE(CSubBoardLink::IsSubBoardPath(CPipeServer::PathFor(L"x")));
}

TEST(SimPipeServer, ANameServesOneBoardOnly)
{
    CSimBoard one, two;
    CPipeServer first(one, L"taken"), second(two, L"taken");
    ASSERT_TRUE(first.Start());
    EXPECT_FALSE(second.Start());
    EXPECT_FALSE(second.Plugged());
    first.Stop();
    EXPECT_TRUE(second.Start()) << "free again once the first one stopped";
}

TEST(SimPipeServer, BoardUnplugsItselfDuringAFlashWrite)
{
    CSimBoard board;
    CPipeServer server(board, L"selfunplug");
    ASSERT_TRUE(server.Start());
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, server.Path().c_str());
    CSubBoardLink link;
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());

    board.SetFlashFault(SimFlashFault::Unplug, 0);
    for (const OutputFrame& frame : {BuildFlashPrepareFrame(), BuildFlashBeginFrame()})
        for (const OutputReport& r : frame.reports) link.WriteReport(r.data());
    EXPECT_TRUE(PumpUntil([&] { return !server.Plugged(); }));
    EXPECT_EQ(link.WriteReport(BuildStopFrame().reports[0].data()), CSubBoardLink::kWriteFailed);
    EXPECT_EQ(link.Find(), 0);

    // Plugged in again, it is a fresh board that a reopened link reaches.
    ASSERT_TRUE(server.Replug());
    EXPECT_FALSE(board.Measuring());
    link.Close();
    ASSERT_EQ(link.Find(), 1);
    ASSERT_TRUE(link.Open());
    for (const OutputReport& r : BuildStartMeasureFrame().reports) link.WriteReport(r.data());
    EXPECT_TRUE(PumpUntil([&] { return board.Measuring(); }));
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
}

} // namespace
