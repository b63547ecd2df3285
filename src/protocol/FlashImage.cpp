#include "protocol/FlashImage.h"

#include "protocol/HexField.h"
#include "protocol/ReportCodes.h"

namespace {

constexpr std::size_t kFileTypeOffset = 1604;
constexpr uint16_t kFileTypeBias = 0x55AA;
constexpr uint8_t kErased = 0xFF;

}  // namespace

void CFlashImageText::Append(wchar_t c)
{
    if (m_text.size() >= kMaxFlashTextLength) {
        m_tooLong = true;
        return;
    }
    m_text.push_back(c);
}

bool CFlashImageText::Feed(std::wstring_view chars)
{
    for (const wchar_t c : chars) {
        if (m_tooLong) {
            break;
        }
        if (c == L'\n') {
            m_pendingCr = false;
            continue;
        }
        if (m_pendingCr) {
            m_pendingCr = false;
            Append(L'\r');
            if (m_tooLong) {
                break;
            }
        }
        if (c == L'\r') {
            m_pendingCr = true;
        } else {
            Append(c);
        }
    }
    return !m_tooLong;
}

bool CFlashImageText::AddLine(std::wstring_view line)
{
    for (const wchar_t c : line) {
        if (m_tooLong) {
            break;
        }
        Append(c);
    }
    return !m_tooLong;
}

std::wstring CFlashImageText::Text() const
{
    std::wstring text = m_text;
    if (m_pendingCr && !m_tooLong) {
        text.push_back(L'\r');
    }
    return text;
}

std::optional<FlashImage> ParseFlashImage(std::wstring_view text)
{
    const std::size_t length = text.size();
    if (length == 0 || length > kMaxFlashTextLength) {
        return std::nullopt;
    }
    // Every piece yields a byte, a final one-character piece included, so the
    // image is sized by pieces, not by whole pairs: otherwise a text of
    // 256k + 1 characters would have one byte more than its image holds.
    const std::size_t pieces = (length + 1) / 2;
    const std::size_t size = (pieces + kFlashBlockSize - 1) / kFlashBlockSize * kFlashBlockSize;

    FlashImage image;
    image.bytes.assign(size, kErased);
    for (std::size_t n = 0; n < pieces; ++n) {
        image.bytes[n] = static_cast<uint8_t>(HexFieldValue(text.substr(2 * n, 2)) & 0xFF);
    }
    return image;
}

uint16_t FlashFileType(const FlashImage& image)
{
    // An image of 1536 bytes or less does not reach the word; the flash
    // there is erased, so the missing bytes count as 0xFF (type 0x55A9, the
    // same as a full image padded past them).
    const auto byteAt = [&image](std::size_t i) -> uint8_t {
        return i < image.bytes.size() ? image.bytes[i] : kErased;
    };
    const uint16_t word = static_cast<uint16_t>(byteAt(kFileTypeOffset) | (byteAt(kFileTypeOffset + 1) << 8));
    return static_cast<uint16_t>(word + kFileTypeBias);
}

std::wstring FlashFileTypeText(uint16_t fileType)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text.push_back(kDigits[(fileType >> shift) & 0xF]);
    }
    return text;
}
