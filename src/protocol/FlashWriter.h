#pragma once
// The flash-write phase machine. The user interface thread sets it up with
// Start before the flash begin frame goes out; from then on the receive
// thread answers each accepted acknowledgement with Reply, which steps the
// writer and builds the next frame.
#include <cstdint>
#include <optional>

#include "protocol/Frames.h"

enum FlashPhase : uint8_t {
    FP_IDLE = 0,
    FP_BEGIN = 1,
    FP_DATA = 2,
    FP_DATA_END = 3,
    FP_VERIFY = 4,
    FP_VERIFY_END = 5,
    FP_FINISH = 6,
};

struct CFlashWriter {
    static constexpr uint32_t kStartAddress = 0x8100;

    uint8_t phase = FP_IDLE;
    uint32_t blockCounter = 0;   // steps taken in the current phase
    uint32_t blocksInPhase = 0;  // steps the current phase lasts
    uint8_t requestCode = 0;     // code of the next frame, 0 when idle
    uint32_t address = 0;        // frames carry its low 16 bits
    uint32_t offset = 0;         // of the current block in the image
    uint32_t startAddress = 0;
    uint32_t blockCount = 0;     // whole 128-byte blocks of the image
    // Set by the flash begin acknowledgement of the current write: data and
    // verify blocks are sent only after it.
    bool beginAcknowledged = false;

    // An image without a whole block has nothing to send and is never written.
    static bool CanWrite(uint32_t imageSize);

    void Reset(uint32_t imageSize);
    void Step();

    // Reset and one step into the begin phase. False, with the writer left
    // as it was, when the image cannot be written.
    bool Start(uint32_t imageSize);

    // The frame the current state asks for, built from the writer's fields
    // only. A block frame is refused (nullopt) when its 128 bytes do not lie
    // inside the image.
    OutputFrame CodeFrame() const;
    std::optional<OutputFrame> BlockFrame(const uint8_t* image, uint32_t imageSize) const;
    OutputFrame DataEndFrame() const;
    OutputFrame VerifyEndFrame() const;

    // The receive thread's answer to one acknowledgement payload (64 bytes).
    // image/imageSize: the loaded flash image as it is now; the writer keeps
    // no pointer to it, so a later reload cannot leave it reading freed
    // memory. Returns the frame to send, or nullopt when the report is no
    // accepted acknowledgement of the frame the writer waits for (code equal
    // to the request code) or there is nothing safe to send; the writer
    // steps only for such acknowledgements.
    std::optional<OutputFrame> Reply(const uint8_t* ack, const uint8_t* image, uint32_t imageSize);
};
