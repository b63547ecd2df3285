#include "flash/FlashWriteSession_win.h"

#include <windows.h>

#include "protocol/ReportDecode.h"

namespace {

uint64_t Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart);
}

double TicksToMicroseconds(uint64_t ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? ticks * 1e6 / static_cast<double>(frequency.QuadPart) : 0.0;
}

} // namespace

void CFlashWriteSession::SetImage(std::shared_ptr<const FlashImage> image)
{
    std::atomic_store(&m_image, std::move(image));
}

std::shared_ptr<const FlashImage> CFlashWriteSession::Image() const
{
    return std::atomic_load(&m_image);
}

std::optional<OutputFrame> CFlashWriteSession::Begin()
{
    // Without a whole block the data frames would read past the image.
    const std::shared_ptr<const FlashImage> image = Image();
    return m_session.Begin(image ? static_cast<uint32_t>(image->bytes.size()) : 0);
}

void CFlashWriteSession::OnAcknowledge(const uint8_t* payload)
{
    const uint64_t started = Ticks();
    // Every block of this write comes from the image as it is at the begin
    // acknowledgement; a later Open file cannot free what is held here.
    if (payload[0] == RC_FLASH_BEGIN && IsAckAccepted(payload)) m_source = Image();

    const FlashImage* source = m_source.get();
    uint64_t built = 0;
    const bool sent = m_session.Reply(payload, source ? source->bytes.data() : nullptr,
                                      source ? static_cast<uint32_t>(source->bytes.size()) : 0,
                                      [&](const OutputFrame& frame) {
                                          built = Ticks();
                                          if (m_send) m_send(frame);
                                      });
    if (!sent) return;

    const uint64_t spent = Ticks() - started;
    m_replyFrames.fetch_add(1);
    m_replyBuildTicks.fetch_add(built - started);
    m_replyTicks.fetch_add(spent);
    uint64_t longest = m_replyMaxTicks.load();
    while (spent > longest && !m_replyMaxTicks.compare_exchange_weak(longest, spent)) {
    }
}

CFlashWriteSession::ReplyTiming CFlashWriteSession::ReplyTimes() const
{
    return {m_replyFrames.load(), TicksToMicroseconds(m_replyTicks.load()),
            TicksToMicroseconds(m_replyMaxTicks.load()), TicksToMicroseconds(m_replyBuildTicks.load())};
}
