#pragma once
// One flash write as both threads see it: the user interface begins and ends
// it, the receive thread answers acknowledgements while it runs. The writer
// is stepped and every reply frame is sent under one lock, so once End has
// returned no flash frame of this write can leave the tool any more, and a
// new Begin never meets a writer that the receive thread is stepping.
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "protocol/FlashWriter.h"
#include "protocol/Frames.h"

class FlashSession {
public:
    using SendFrame = std::function<void(const OutputFrame&)>;

    // User interface: sets the writer up for an image of imageSize bytes and
    // returns the flash begin frame to send; nullopt (nothing changed) when
    // the image has no whole block.
    std::optional<OutputFrame> Begin(uint32_t imageSize);
    // User interface: the write is over. Afterwards Reply sends nothing and
    // the writer is idle until the next Begin.
    void End();
    bool Active() const;

    // Receive thread: steps the writer for one acknowledgement and sends the
    // frame it asks for, both under the session lock. image/imageSize are
    // the bytes to take blocks from. False when nothing was sent (no write
    // running, or the report is no accepted acknowledgement).
    bool Reply(const uint8_t* ack, const uint8_t* image, uint32_t imageSize, const SendFrame& send);

    // Where the write stands, for progress reports.
    struct Progress {
        uint8_t phase;
        uint32_t blockCounter;
        uint32_t blockCount;
    };
    Progress Position() const;

private:
    mutable std::mutex m_lock;
    CFlashWriter m_writer;
    bool m_active = false;
};
