#pragma once
// The flash write as the main window holds it: the loaded image, the write
// session, the receive thread's acknowledgement path and its end, and the
// timing of the tool's own part of each reply.
//
// Threads. SetImage, Image, Begin and End run on the user interface thread;
// OnAcknowledge runs on the receive thread. The image is replaced whole and
// read with atomic access; the session serialises stepping, sending and
// ending, so once End has returned no frame of that write goes out.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "protocol/FlashImage.h"
#include "protocol/FlashSession.h"
#include "protocol/Frames.h"

class CFlashWriteSession {
public:
    using SendFrame = std::function<void(const OutputFrame&)>;

    // Where reply frames go (the board connection); set before any write.
    void SetSender(SendFrame send) { m_send = std::move(send); }

    // Open file: replaces the image. A receive thread still holding the old
    // one keeps it alive until it lets go.
    void SetImage(std::shared_ptr<const FlashImage> image);
    std::shared_ptr<const FlashImage> Image() const;
    bool HasImage() const { return Image() != nullptr; }

    // Sets the writer up for the current image and returns the flash begin
    // frame; nullopt, with nothing changed, when there is no whole block.
    std::optional<OutputFrame> Begin();
    // The write is over: no further reply frame, the writer idle.
    void End() { m_session.End(); }

    // Receive thread: one accepted flash acknowledgement (64 payload bytes).
    void OnAcknowledge(const uint8_t* payload);

    // The tool's own time per flash frame: from an acknowledgement handed
    // over by the receive thread to the next frame written.
    struct ReplyTiming {
        uint32_t frames;
        double totalMicroseconds;
        double maxMicroseconds;
        double buildMicroseconds;  // of the total: until the frame was built
    };
    ReplyTiming ReplyTimes() const;

private:
    std::shared_ptr<const FlashImage> m_image;   // atomic access
    std::shared_ptr<const FlashImage> m_source;  // receive thread only
    FlashSession m_session;
    SendFrame m_send;
    std::atomic<uint32_t> m_replyFrames{0};
    std::atomic<uint64_t> m_replyTicks{0};
    std::atomic<uint64_t> m_replyMaxTicks{0};
    std::atomic<uint64_t> m_replyBuildTicks{0};
};
