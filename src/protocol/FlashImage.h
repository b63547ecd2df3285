#pragma once
// Flash image files: text of hexadecimal digit pairs. The lines are joined
// without their line ends, the joined text is cut into two-character pieces
// and each piece becomes one image byte by the hex field conversion.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// At most this many characters of joined text (13 blocks of 128 bytes).
constexpr std::size_t kMaxFlashTextLength = 3328;

// Collects the joined text while the file is read, so that reading can stop
// as soon as the text is too long and a huge or binary file is never held in
// memory.
class CFlashImageText {
public:
    // Characters as read from the file. A line feed ends a line and is
    // dropped, together with a carriage return right before it (also when
    // the two arrive in different calls). Returns false once the joined text
    // is longer than allowed: stop reading then.
    bool Feed(std::wstring_view chars);
    // One line whose line end the reader has already removed.
    bool AddLine(std::wstring_view line);

    // The joined text; a carriage return held back at the very end (it ended
    // no line) is included.
    std::wstring Text() const;
    bool TooLong() const { return m_tooLong; }

private:
    void Append(wchar_t c);

    std::wstring m_text;
    bool m_pendingCr = false;
    bool m_tooLong = false;
};

struct FlashImage {
    std::vector<uint8_t> bytes;  // a multiple of 128 in size, unset bytes 0xFF
};

// Converts the joined text. nullopt when it is empty or longer than
// kMaxFlashTextLength ("file size error").
std::optional<FlashImage> ParseFlashImage(std::wstring_view text);

// The image's identification: the little-endian word at bytes 1604..1605
// plus 0x55AA, modulo 65536.
uint16_t FlashFileType(const FlashImage& image);
// The file type as shown: "0x%04X".
std::wstring FlashFileTypeText(uint16_t fileType);
