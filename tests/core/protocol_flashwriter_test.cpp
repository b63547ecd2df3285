#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "protocol/FlashSession.h"
#include "protocol/FlashWriter.h"

namespace {

std::array<uint8_t, kPayloadSize> Ack(uint8_t code, uint8_t status = 1, uint8_t verify = 1)
{
    std::array<uint8_t, kPayloadSize> p{};
    p[0] = code;
    p[1] = status;
    p[2] = verify;
    return p;
}

std::vector<uint8_t> Image(uint32_t blocks)
{
    std::vector<uint8_t> image(blocks * kFlashBlockSize);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(i * 7 + i / 256);
    }
    return image;
}

uint16_t Word(const OutputFrame& f, std::size_t i)
{
    return static_cast<uint16_t>(FrameByte(f, i) | (FrameByte(f, i + 1) << 8));
}

bool SameState(const CFlashWriter& a, const CFlashWriter& b)
{
    return a.phase == b.phase && a.blockCounter == b.blockCounter && a.blocksInPhase == b.blocksInPhase &&
           a.requestCode == b.requestCode && a.address == b.address && a.offset == b.offset &&
           a.startAddress == b.startAddress && a.blockCount == b.blockCount &&
           a.beginAcknowledged == b.beginAcknowledged;
}

// Plays a sub board that acknowledges every frame it gets with status 1 and
// a matching verify; returns every frame after the begin frame.
std::vector<OutputFrame> WalkWrite(CFlashWriter& writer, const std::vector<uint8_t>& image)
{
    std::vector<OutputFrame> sent;
    EXPECT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));
    EXPECT_EQ(FrameByte(writer.CodeFrame(), 0), RC_FLASH_BEGIN);
    uint8_t acknowledged = RC_FLASH_BEGIN;
    for (int guard = 0; guard < 1000; ++guard) {
        const auto ack = Ack(acknowledged);
        const auto next = writer.Reply(ack.data(), image.data(), static_cast<uint32_t>(image.size()));
        if (!next) {
            break;
        }
        sent.push_back(*next);
        acknowledged = FrameByte(*next, 0);
    }
    return sent;
}

class FlashWriterWalk : public ::testing::TestWithParam<uint32_t> {};

TEST_P(FlashWriterWalk, WritesAndVerifiesEveryBlockOnce)
{
    const uint32_t n = GetParam();
    const std::vector<uint8_t> image = Image(n);
    CFlashWriter writer;
    const std::vector<OutputFrame> sent = WalkWrite(writer, image);

    // n data blocks, end of data, n verify blocks, end of verify, finish; the
    // finish acknowledgement is left to the user interface.
    ASSERT_EQ(sent.size(), 2 * n + 3);
    for (uint32_t pass = 0; pass < 2; ++pass) {
        const uint8_t code = pass == 0 ? RC_FLASH_DATA : RC_FLASH_VERIFY;
        for (uint32_t k = 0; k < n; ++k) {
            const OutputFrame& f = sent[pass * (n + 1) + k];
            SCOPED_TRACE(testing::Message() << "pass " << pass << " block " << k);
            ASSERT_EQ(FrameByte(f, 0), code);
            EXPECT_EQ(Word(f, 1), 0x8100 + 128 * k);
            for (std::size_t i = 0; i < kFlashBlockSize; ++i) {
                ASSERT_EQ(FrameByte(f, 3 + i), image[128 * k + i]);
            }
            EXPECT_EQ(FrameByte(f, 131), 0);
        }
    }
    const OutputFrame& dataEnd = sent[n];
    EXPECT_EQ(FrameByte(dataEnd, 0), RC_FLASH_DATA_END);
    EXPECT_EQ(Word(dataEnd, 1), 0x8100);
    EXPECT_EQ(Word(dataEnd, 3), 0x8100 + 128 * (n - 1));
    const OutputFrame& verifyEnd = sent[2 * n + 1];
    EXPECT_EQ(FrameByte(verifyEnd, 0), RC_FLASH_VERIFY_END);
    EXPECT_EQ(Word(verifyEnd, 1), 0x8100);
    EXPECT_EQ(Word(verifyEnd, 3), 0x8100 + 128 * n);
    EXPECT_EQ(FrameByte(sent.back(), 0), RC_FLASH_FINISH);
    EXPECT_EQ(writer.phase, FP_FINISH);
}

INSTANTIATE_TEST_SUITE_P(Blocks, FlashWriterWalk, ::testing::Values(1u, 2u, 13u, 26u));

TEST(FlashWriter, ImageWithoutWholeBlockIsNeverWritten)
{
    for (uint32_t size : {0u, 1u, 127u}) {
        CFlashWriter writer;
        writer.phase = FP_FINISH;
        const CFlashWriter before = writer;
        EXPECT_FALSE(writer.Start(size));
        EXPECT_TRUE(SameState(writer, before));
    }
    // A writer left with no blocks answers nothing, not even a begin acknowledgement.
    CFlashWriter writer;
    writer.Reset(100);
    writer.Step();
    const uint8_t tiny[100] = {};
    const auto ack = Ack(RC_FLASH_BEGIN);
    EXPECT_FALSE(writer.Reply(ack.data(), tiny, sizeof tiny));
}

TEST(FlashWriter, ReportsThatAreNoAcceptedAcknowledgementLeaveTheWriterAlone)
{
    const std::vector<uint8_t> image = Image(2);
    struct Case {
        const char* name;
        std::array<uint8_t, kPayloadSize> ack;
        bool afterBegin;
    };
    const Case cases[] = {
        {"begin status 0", Ack(RC_FLASH_BEGIN, 0), false},
        {"data status 0", Ack(RC_FLASH_DATA, 0), true},
        {"data end status 2", Ack(RC_FLASH_DATA_END, 2), true},
        {"verify status 0", Ack(RC_FLASH_VERIFY, 0), true},
        {"verify end status 0", Ack(RC_FLASH_VERIFY_END, 0), true},
        {"verify mismatch", Ack(RC_FLASH_VERIFY_END, 1, 0), true},
        {"finish", Ack(RC_FLASH_FINISH), true},
        {"control", Ack(RC_CONTROL), true},
        {"write word", Ack(RC_WRITE_WORD), true},
        {"I2C error", Ack(RC_I2C_ERROR), true},
        {"0x0F", Ack(0x0F), true},
        {"0xFF", Ack(0xFF), true},
        {"data before begin", Ack(RC_FLASH_DATA), false},
        {"data end before begin", Ack(RC_FLASH_DATA_END), false},
        {"verify before begin", Ack(RC_FLASH_VERIFY), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFlashWriter writer;
        ASSERT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));
        if (c.afterBegin) {
            const auto begin = Ack(RC_FLASH_BEGIN);
            ASSERT_TRUE(writer.Reply(begin.data(), image.data(), static_cast<uint32_t>(image.size())));
        }
        const CFlashWriter before = writer;
        EXPECT_FALSE(writer.Reply(c.ack.data(), image.data(), static_cast<uint32_t>(image.size())));
        EXPECT_TRUE(SameState(writer, before));
    }
}

TEST(FlashWriter, NewWriteForgetsTheLastBeginAcknowledgement)
{
    const std::vector<uint8_t> image = Image(1);
    CFlashWriter writer;
    WalkWrite(writer, image);
    ASSERT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));
    const auto data = Ack(RC_FLASH_DATA);
    EXPECT_FALSE(writer.Reply(data.data(), image.data(), static_cast<uint32_t>(image.size())));
    EXPECT_EQ(writer.phase, FP_BEGIN);
}

TEST(FlashWriter, FinishedPhaseWrapsToIdle)
{
    CFlashWriter writer;
    writer.Reset(256);
    while (writer.phase != FP_FINISH) {
        writer.Step();
    }
    writer.offset = 384;
    writer.Step();
    EXPECT_EQ(writer.phase, FP_IDLE);
    EXPECT_EQ(writer.requestCode, 0);
    EXPECT_EQ(writer.address, 0u);
    EXPECT_EQ(writer.blocksInPhase, 0u);
    EXPECT_EQ(writer.offset, 384u);  // left alone
    writer.Step();
    EXPECT_EQ(writer.phase, FP_BEGIN);
    EXPECT_EQ(writer.requestCode, RC_FLASH_BEGIN);
}

// Only the acknowledgement of the frame just sent steps the writer: at every
// point of a write an accepted acknowledgement with any other code (repeated,
// late, or of a write already ended) changes nothing, and the write then goes
// on exactly as it would have without it.
TEST(FlashWriter, OnlyTheAwaitedAcknowledgementStepsTheWriter)
{
    const std::vector<uint8_t> image = Image(3);
    const uint32_t size = static_cast<uint32_t>(image.size());
    CFlashWriter clean;
    const std::vector<OutputFrame> expected = WalkWrite(clean, image);
    CFlashWriter writer;
    WalkWrite(writer, image);  // an ended write before, as in the dialog
    ASSERT_TRUE(writer.Start(size));
    uint8_t awaited = RC_FLASH_BEGIN;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        for (uint8_t code = RC_FLASH_BEGIN; code <= RC_FLASH_VERIFY_END; ++code) {
            if (code == awaited) continue;
            SCOPED_TRACE(testing::Message() << "frame " << i << " stray code " << int(code));
            const CFlashWriter before = writer;
            EXPECT_FALSE(writer.Reply(Ack(code).data(), image.data(), size));
            EXPECT_TRUE(SameState(writer, before));
        }
        const auto next = writer.Reply(Ack(awaited).data(), image.data(), size);
        ASSERT_TRUE(next) << i;
        EXPECT_TRUE(next->reports == expected[i].reports) << "frame " << i;
        awaited = FrameByte(*next, 0);
    }
}

// Duplicated, skipped and out-of-order acknowledgements: only the awaited
// one steps the writer; no answer may read outside the image, and every
// block frame carries the image bytes at the writer's offset.
TEST(FlashWriter, DisorderedAcknowledgementsStayInsideTheImage)
{
    std::mt19937 random(1234);
    for (uint32_t blocks : {1u, 2u, 3u, 13u}) {
        const std::vector<uint8_t> image = Image(blocks);
        const uint32_t size = static_cast<uint32_t>(image.size());
        CFlashWriter writer;
        ASSERT_TRUE(writer.Start(size));
        for (int i = 0; i < 3000; ++i) {
            if (writer.phase == FP_FINISH) {
                ASSERT_TRUE(writer.Start(size));  // the next write
            }
            const uint8_t code = static_cast<uint8_t>(RC_FLASH_BEGIN + random() % 5);
            const bool awaited = code == writer.requestCode;
            const auto ack = Ack(code);
            const auto frame = writer.Reply(ack.data(), image.data(), size);
            ASSERT_LE(writer.phase, FP_FINISH);
            ASSERT_EQ(frame.has_value(), awaited);
            const bool blockAnswer = code == RC_FLASH_BEGIN || code == RC_FLASH_DATA_END ||
                                     (code == RC_FLASH_DATA && writer.phase == FP_DATA) ||
                                     (code == RC_FLASH_VERIFY && writer.phase == FP_VERIFY);
            if (!awaited || !blockAnswer) {
                continue;
            }
            ASSERT_TRUE(frame);
            ASSERT_LE(writer.offset + kFlashBlockSize, size);
            EXPECT_EQ(Word(*frame, 1), static_cast<uint16_t>(writer.address));
            for (std::size_t b = 0; b < kFlashBlockSize; ++b) {
                ASSERT_EQ(FrameByte(*frame, 3 + b), image[writer.offset + b]);
            }
        }
    }
}

TEST(FlashWriter, BlockBeyondTheGivenImageIsRefused)
{
    const std::vector<uint8_t> image = Image(2);
    CFlashWriter writer;
    ASSERT_TRUE(writer.Start(static_cast<uint32_t>(image.size())));
    const auto begin = Ack(RC_FLASH_BEGIN);
    const auto data = Ack(RC_FLASH_DATA);
    ASSERT_TRUE(writer.Reply(begin.data(), image.data(), 256));
    // The image now handed in is shorter than the one the write started with.
    EXPECT_FALSE(writer.Reply(data.data(), image.data(), 200));

    CFlashWriter noImage;
    ASSERT_TRUE(noImage.Start(256));
    EXPECT_FALSE(noImage.Reply(begin.data(), nullptr, 0));
}

}  // namespace

// The receive thread keeps acknowledging while the user interface ends the
// write: once End has returned, no further frame is sent, and the next
// Begin starts from the first block.
TEST(FlashSession, NoFrameAfterEndAndTheNextWriteStartsClean)
{
    const std::vector<uint8_t> image = Image(400);
    const uint32_t size = static_cast<uint32_t>(image.size());
    FlashSession session;
    EXPECT_FALSE(session.Begin(64).has_value()) << "no whole block";
    ASSERT_TRUE(session.Begin(size).has_value());

    std::atomic<bool> ended{false};
    std::atomic<uint32_t> sentAfterEnd{0}, sent{0};
    std::thread board([&] {
        // A board that acknowledges every frame it gets; the image is long
        // enough that the write is still running when the user ends it.
        uint8_t code = RC_FLASH_BEGIN;
        for (uint32_t n = 0; n < 20000; ++n) {
            const auto ack = Ack(code);
            const bool wasEnded = ended.load();
            session.Reply(ack.data(), image.data(), size, [&](const OutputFrame& f) {
                sent.fetch_add(1);
                if (wasEnded) sentAfterEnd.fetch_add(1);
                code = FrameByte(f, 0);
            });
        }
    });
    while (sent.load() < 3) std::this_thread::yield();
    session.End();
    ended.store(true);
    board.join();
    EXPECT_EQ(sentAfterEnd.load(), 0u);
    EXPECT_FALSE(session.Active());

    const std::optional<OutputFrame> begin = session.Begin(size);
    ASSERT_TRUE(begin.has_value());
    EXPECT_EQ(FrameByte(*begin, 0), RC_FLASH_BEGIN);
    OutputFrame first{};
    EXPECT_TRUE(session.Reply(Ack(RC_FLASH_BEGIN).data(), image.data(), size,
                              [&](const OutputFrame& f) { first = f; }));
    EXPECT_EQ(FrameByte(first, 0), RC_FLASH_DATA);
    EXPECT_EQ(Word(first, 1), CFlashWriter::kStartAddress);
}
