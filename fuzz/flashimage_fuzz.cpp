// Flash image text, fed as a file reader would feed it (in arbitrary chunks,
// or as lines whose ends were removed), then converted. Checked: the joined
// text against a model of the line rules, the length limit, the image size
// (pieces rounded up to whole 128-byte blocks), every byte against the
// reference hex conversion of its piece, the 0xFF padding and the file type.
#include <cstddef>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "HexReference.h"
#include "protocol/FlashImage.h"
#include "protocol/HexField.h"

namespace {

// Line ends as a text-mode reader sees them: "\r\n" and "\n" end a line and
// vanish, a lone "\r" is text.
std::wstring JoinedLines(const std::wstring& stream)
{
    std::wstring joined;
    for (size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] == L'\n') {
            continue;
        }
        if (stream[i] == L'\r' && i + 1 < stream.size() && stream[i + 1] == L'\n') {
            continue;
        }
        joined.push_back(stream[i]);
    }
    return joined;
}

// Feeds the text the way the user's file arrives and returns what was
// collected; checks the reader's view of the length limit on the way.
std::wstring Collect(FuzzedDataProvider& input, const std::wstring& stream, bool asLines,
                     std::wstring& expected)
{
    CFlashImageText collector;
    bool accepted = true;
    if (asLines) {
        // Lines without their line feed; a carriage return before it stays,
        // as it would if the reader only stripped "\n".
        expected.clear();
        size_t start = 0;
        while (start <= stream.size() && accepted) {
            size_t end = stream.find(L'\n', start);
            if (end == std::wstring::npos) {
                end = stream.size();
            }
            const std::wstring line = stream.substr(start, end - start);
            expected += line;
            accepted = collector.AddLine(line);
            start = end + 1;
        }
    } else {
        expected = JoinedLines(stream);
        size_t at = 0;
        while (at < stream.size() && accepted) {
            const size_t chunk = input.ConsumeIntegralInRange<size_t>(1, 64);
            accepted = collector.Feed(std::wstring_view(stream).substr(at, chunk));
            at += chunk;
        }
    }
    FUZZ_CHECK(accepted == !collector.TooLong());
    const std::wstring text = collector.Text();
    if (expected.size() <= kMaxFlashTextLength) {
        FUZZ_CHECK(!collector.TooLong());
        FUZZ_CHECK(text == expected);
    } else if (!collector.TooLong()) {
        // Only a carriage return held back at the very end can take the text
        // past the limit without the collector noticing; it still is the text.
        FUZZ_CHECK(!asLines && text == expected && text.size() == kMaxFlashTextLength + 1 && text.back() == L'\r');
    } else {
        // Reading stopped at the limit: what was kept is the start of the text.
        FUZZ_CHECK(text.size() == kMaxFlashTextLength);
        FUZZ_CHECK(expected.compare(0, kMaxFlashTextLength, text) == 0);
    }
    return text;
}

void CheckImage(const std::wstring& text)
{
    const std::optional<FlashImage> image = ParseFlashImage(text);
    if (text.empty() || text.size() > kMaxFlashTextLength) {
        FUZZ_CHECK(!image);
        return;
    }
    FUZZ_CHECK(image.has_value());
    const std::vector<uint8_t>& bytes = image->bytes;
    const size_t pieces = (text.size() + 1) / 2;
    FUZZ_CHECK(bytes.size() % 128 == 0);
    FUZZ_CHECK(bytes.size() >= pieces && bytes.size() < pieces + 128);
    FUZZ_CHECK(bytes.size() <= kMaxFlashTextLength / 2);
    for (size_t n = 0; n < bytes.size(); ++n) {
        const uint8_t want = n < pieces ? static_cast<uint8_t>(ReferenceHexValue(text.substr(2 * n, 2)) & 0xFF) : 0xFF;
        FUZZ_CHECK(bytes[n] == want);
    }

    const auto byteAt = [&bytes](size_t i) -> uint32_t { return i < bytes.size() ? bytes[i] : 0xFFu; };
    const uint16_t fileType = FlashFileType(*image);
    FUZZ_CHECK(fileType == static_cast<uint16_t>((byteAt(1604) | byteAt(1605) << 8) + 0x55AA));
    const std::wstring shown = FlashFileTypeText(fileType);
    FUZZ_CHECK(shown.size() == 6 && shown.compare(0, 2, L"0x") == 0);
    for (size_t i = 2; i < shown.size(); ++i) {
        FUZZ_CHECK((shown[i] >= L'0' && shown[i] <= L'9') || (shown[i] >= L'A' && shown[i] <= L'F'));
    }
    FUZZ_CHECK(HexFieldValue(shown) == fileType);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool asLines = input.ConsumeBool();
    // Repeating the text reaches the length limit from small inputs.
    const int copies = input.ConsumeIntegralInRange(1, 8);
    const std::string raw = input.ConsumeRandomLengthString(4096);
    std::wstring stream;
    // Twice the limit is as good as any longer text.
    const std::wstring once = FuzzWideText(raw);
    for (int i = 0; i < copies && stream.size() < 2 * kMaxFlashTextLength; ++i) {
        stream += once;
    }
    std::wstring expected;
    const std::wstring text = Collect(input, stream, asLines, expected);
    CheckImage(text);
    // The converter on its own, for texts the collector would never produce.
    CheckImage(FuzzWideText(raw));
    return 0;
}
