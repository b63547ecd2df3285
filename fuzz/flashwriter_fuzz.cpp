// The flash writer fed arbitrary acknowledgement sequences, with images of
// arbitrary size that may even be swapped for another between two
// acknowledgements. Each image lives in a buffer of exactly its size, so
// ASan reports any block read outside it. Checked after every reply: the
// writer's state stays consistent, every frame carries the writer's request
// code, a block frame carries the image bytes at its offset and lies inside
// the image, range frames name the right addresses. While every
// acknowledgement so far was the one a healthy board sends, the replies must
// be exactly the documented frame sequence.
#include <cstring>
#include <memory>
#include <optional>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "protocol/FlashWriter.h"
#include "protocol/Frames.h"

namespace {

constexpr uint32_t kStart = 0x8100;
constexpr uint32_t kBlock = 128;

struct Image {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;
};

Image MakeImage(FuzzedDataProvider& input)
{
    Image image;
    // Mostly whole blocks as the loader makes them, sometimes any size.
    image.size = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 14) * kBlock
                                     : input.ConsumeIntegralInRange<uint32_t>(0, 4000);
    image.bytes.reset(new uint8_t[image.size ? image.size : 1]);
    const uint8_t seed = input.ConsumeIntegral<uint8_t>();
    for (uint32_t i = 0; i < image.size; ++i) {
        image.bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 7));
    }
    return image;
}

uint16_t FrameWord(const OutputFrame& frame, size_t at)
{
    return static_cast<uint16_t>(FrameByte(frame, at) | FrameByte(frame, at + 1) << 8);
}

bool ZeroFrom(const OutputFrame& frame, size_t from)
{
    for (size_t i = from; i < kFrameSize; ++i) {
        if (FrameByte(frame, i) != 0) {
            return false;
        }
    }
    // Every report of a frame has report id 0.
    for (const OutputReport& report : frame.reports) {
        if (report[0] != 0) {
            return false;
        }
    }
    return true;
}

void CheckState(const CFlashWriter& w)
{
    FUZZ_CHECK(w.phase <= FP_FINISH);
    if (w.phase == FP_IDLE) {
        FUZZ_CHECK(w.blockCounter == 0 && w.blocksInPhase == 0 && w.requestCode == 0 && w.address == 0);
        return;
    }
    FUZZ_CHECK(w.requestCode == RC_FLASH_BEGIN + w.phase - FP_BEGIN);
    FUZZ_CHECK(w.blockCounter < w.blocksInPhase);
    FUZZ_CHECK(w.offset % kBlock == 0);
    FUZZ_CHECK(w.offset < w.blockCount * kBlock);
    FUZZ_CHECK(w.address == w.startAddress + w.offset);
}

void CheckBlockFrame(const OutputFrame& frame, const CFlashWriter& w, const Image& image)
{
    FUZZ_CHECK(uint64_t(w.offset) + kBlock <= image.size);
    FUZZ_CHECK(FrameWord(frame, 1) == static_cast<uint16_t>(w.address));
    for (uint32_t i = 0; i < kBlock; ++i) {
        FUZZ_CHECK(FrameByte(frame, 3 + i) == image.bytes[w.offset + i]);
    }
    FUZZ_CHECK(ZeroFrom(frame, 3 + kBlock));
}

// The frame a healthy exchange sends after its k-th acknowledgement (k = 0
// for the flash begin acknowledgement), for n blocks.
std::optional<OutputFrame> ExpectedReply(uint32_t k, uint32_t n, const Image& image)
{
    std::array<uint8_t, kFrameSize> content{};
    auto put = [&content](size_t at, uint32_t value) {
        content[at] = static_cast<uint8_t>(value & 0xFF);
        content[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    };
    auto block = [&](uint8_t code, uint32_t index) -> std::optional<OutputFrame> {
        if (uint64_t(index + 1) * kBlock > image.size) {
            return std::nullopt;
        }
        content[0] = code;
        put(1, kStart + index * kBlock);
        std::memcpy(&content[3], image.bytes.get() + index * kBlock, kBlock);
        return MakeLongFrame(content);
    };
    if (k < n) {
        return block(RC_FLASH_DATA, k);
    }
    if (k == n) {
        content[0] = RC_FLASH_DATA_END;
        put(1, kStart);
        put(3, kStart + kBlock * (n - 1));
        return MakeLongFrame(content);
    }
    if (k <= 2 * n) {
        return block(RC_FLASH_VERIFY, k - n - 1);
    }
    if (k == 2 * n + 1) {
        content[0] = RC_FLASH_VERIFY_END;
        put(1, kStart);
        put(3, kStart + kBlock * n);
        return MakeLongFrame(content);
    }
    content[0] = RC_FLASH_FINISH;
    return MakeLongFrame(content);
}

bool SameFrame(const OutputFrame& a, const OutputFrame& b)
{
    return a.reports == b.reports;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    Image image = MakeImage(input);
    CFlashWriter writer;
    const bool started = writer.Start(image.size);
    FUZZ_CHECK(started == (image.size >= kBlock));
    FUZZ_CHECK(started == CFlashWriter::CanWrite(image.size));
    if (started) {
        FUZZ_CHECK(writer.phase == FP_BEGIN && writer.requestCode == RC_FLASH_BEGIN);
        FUZZ_CHECK(writer.blockCount == image.size / kBlock);
        const OutputFrame begin = writer.CodeFrame();
        FUZZ_CHECK(FrameByte(begin, 0) == RC_FLASH_BEGIN && ZeroFrom(begin, 1));
    } else {
        FUZZ_CHECK(writer.phase == FP_IDLE && writer.blockCount == 0);
    }
    const uint32_t n = writer.blockCount;
    bool onTrack = started;
    uint32_t acks = 0;

    while (input.remaining_bytes() > 0 && acks < 4096) {
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            image = MakeImage(input);  // a reload the buttons should have prevented
        }
        uint8_t ack[kPayloadSize] = {};
        const bool healthy = input.ConsumeBool();
        if (healthy) {
            ack[0] = writer.requestCode;
            ack[1] = 1;
            ack[2] = 1;
        } else {
            ack[0] = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint8_t>(RC_FLASH_BEGIN, RC_I2C_ERROR)
                                         : input.ConsumeIntegral<uint8_t>();
            ack[1] = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint8_t>();
            ack[2] = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint8_t>();
            onTrack = onTrack && ack[0] == writer.requestCode && ack[1] == 1 && ack[2] == 1;
        }
        ack[3] = input.ConsumeIntegral<uint8_t>();  // bytes the writer must not use

        const CFlashWriter before = writer;
        const std::optional<OutputFrame> reply = writer.Reply(ack, image.bytes.get(), image.size);
        const uint8_t code = ack[0];
        const bool acceptable = code >= RC_FLASH_BEGIN && code <= RC_FLASH_VERIFY_END && ack[1] == 1 &&
                                (code != RC_FLASH_VERIFY_END || ack[2] == 1) && before.blockCount > 0;
        if (!acceptable) {
            FUZZ_CHECK(!reply);
        }
        const bool stepped = writer.phase != before.phase || writer.blockCounter != before.blockCounter ||
                             writer.offset != before.offset;
        if (!stepped) {
            FUZZ_CHECK(!reply);
        }
        if (started) {
            CheckState(writer);
        }

        if (reply) {
            FUZZ_CHECK(FrameByte(*reply, 0) == writer.requestCode);
            const bool blockReply = code == RC_FLASH_BEGIN || code == RC_FLASH_DATA_END ||
                                    (code == RC_FLASH_DATA && writer.phase == FP_DATA) ||
                                    (code == RC_FLASH_VERIFY && writer.phase == FP_VERIFY);
            if (blockReply) {
                CheckBlockFrame(*reply, writer, image);
            } else if (code == RC_FLASH_DATA || code == RC_FLASH_VERIFY) {
                const uint32_t blocks = code == RC_FLASH_DATA ? writer.blockCount - 1 : writer.blockCount;
                FUZZ_CHECK(FrameWord(*reply, 1) == static_cast<uint16_t>(writer.address));
                FUZZ_CHECK(FrameWord(*reply, 3) == static_cast<uint16_t>(writer.address + kBlock * blocks));
                FUZZ_CHECK(ZeroFrom(*reply, 5));
            } else {
                FUZZ_CHECK(ZeroFrom(*reply, 1));
            }
        } else if (acceptable && stepped && writer.phase != FP_IDLE) {
            // Only a block that does not lie inside the image is held back.
            FUZZ_CHECK(uint64_t(writer.offset) + kBlock > image.size);
        }

        if (onTrack) {
            const std::optional<OutputFrame> want = ExpectedReply(acks, n, image);
            if (acks <= 2 * n + 2) {
                FUZZ_CHECK(reply.has_value() == want.has_value());
                if (reply) {
                    FUZZ_CHECK(SameFrame(*reply, *want));
                }
            } else {
                FUZZ_CHECK(!reply);  // the finish acknowledgement is the dispatcher's
            }
            onTrack = reply.has_value();
        }
        ++acks;
    }
    return 0;
}
