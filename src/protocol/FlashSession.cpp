#include "protocol/FlashSession.h"

std::optional<OutputFrame> FlashSession::Begin(uint32_t imageSize)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_writer.Start(imageSize)) return std::nullopt;
    m_active = true;
    return m_writer.CodeFrame();
}

void FlashSession::End()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_active = false;
    m_writer.Reset(0);
}

bool FlashSession::Active() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_active;
}

bool FlashSession::Reply(const uint8_t* ack, const uint8_t* image, uint32_t imageSize, const SendFrame& send)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_active) return false;
    const std::optional<OutputFrame> frame = m_writer.Reply(ack, image, imageSize);
    if (!frame) return false;
    send(*frame);
    return true;
}

FlashSession::Progress FlashSession::Position() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return {m_writer.phase, m_writer.blockCounter, m_writer.blockCount};
}
