// The socket simulator's reading of a client, on a socket pair so that the
// order of writes, answers and close is the test's own and not the timing's.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "protocol/Frames.h"
#include "sim/SocketServer_posix.h"

namespace {

void Write(int fd, const OutputFrame& frame)
{
    for (const OutputReport& r : frame.reports) ASSERT_EQ(send(fd, r.data(), r.size(), MSG_NOSIGNAL), ssize_t(r.size()));
}

// A client that writes a frame after the settings frame and closes without
// reading the answer: its socket goes with an unread answer, so the board's
// next read fails with ECONNRESET before the frames still queued. The board
// must act on every one of them (the write word, the stop frame).
TEST(SimSocketServer, FramesWrittenBeforeAClientClosedWithAnswersUnreadAreHandled)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, ends), 0);
    const int server = ends[0];
    int client = ends[1];
    CSimBoard board;

    ASSERT_NO_FATAL_FAILURE(Write(client, BuildCommSettingsFrame(1, 100, 0)));
    ASSERT_NO_FATAL_FAILURE(Write(client, BuildStartMeasureFrame()));
    EXPECT_TRUE(CSocketServer::ReadClientReports(server, board));
    ASSERT_TRUE(board.Measuring());
    std::vector<uint8_t> answer;
    ASSERT_TRUE(board.TakeInputReport(answer));
    ASSERT_EQ(send(server, answer.data(), answer.size(), MSG_NOSIGNAL), ssize_t(answer.size()));

    ASSERT_NO_FATAL_FAILURE(Write(client, BuildWriteWordFrame(0x12, 0x3456)));
    ASSERT_NO_FATAL_FAILURE(Write(client, BuildStopFrame()));
    close(client);

    EXPECT_FALSE(CSocketServer::ReadClientReports(server, board)) << "the client is gone";
    EXPECT_EQ(board.Register(0x12), 0x3456);
    EXPECT_FALSE(board.Measuring()) << "the stop frame was lost";
    close(server);
}

// A client that is still there and has nothing more to say keeps its place.
TEST(SimSocketServer, AnIdleClientIsNotTakenForGone)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, ends), 0);
    CSimBoard board;
    EXPECT_TRUE(CSocketServer::ReadClientReports(ends[0], board));
    ASSERT_NO_FATAL_FAILURE(Write(ends[1], BuildWriteWordFrame(0x20, 7)));
    EXPECT_TRUE(CSocketServer::ReadClientReports(ends[0], board));
    EXPECT_EQ(board.Register(0x20), 7);
    close(ends[1]);
    EXPECT_FALSE(CSocketServer::ReadClientReports(ends[0], board));
    close(ends[0]);
}

}  // namespace
