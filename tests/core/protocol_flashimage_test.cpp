#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/FlashImage.h"

namespace {

// n characters of a repeating digit pattern "0123456789ABCDEF...".
std::wstring Digits(std::size_t n)
{
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring text;
    for (std::size_t i = 0; i < n; ++i) {
        text.push_back(kHex[i % 16]);
    }
    return text;
}

int HexDigitValue(wchar_t c)
{
    return c <= L'9' ? c - L'0' : c - L'A' + 10;
}

TEST(FlashImageText, LineEndsAreDroppedAndNothingElse)
{
    CFlashImageText lf, crlf, split, lines;
    lf.Feed(L"0102\nA0 FF\n");
    crlf.Feed(L"0102\r\nA0 FF\r\n");
    split.Feed(L"0102\r");
    split.Feed(L"\nA0 FF\r");
    split.Feed(L"\n");
    lines.AddLine(L"0102");
    lines.AddLine(L"A0 FF");
    for (const CFlashImageText* t : {&lf, &crlf, &split, &lines}) {
        EXPECT_EQ(t->Text(), L"0102A0 FF");
    }

    CFlashImageText loneCr;
    loneCr.Feed(L"01\r02\r");
    EXPECT_EQ(loneCr.Text(), L"01\r02\r");

    CFlashImageText emptyLines;
    emptyLines.Feed(L"\n\r\n\n");
    EXPECT_EQ(emptyLines.Text(), L"");
}

TEST(FlashImageText, StopsAsSoonAsTheTextIsTooLong)
{
    CFlashImageText atLimit;
    EXPECT_TRUE(atLimit.Feed(Digits(kMaxFlashTextLength) + L"\r\n\n"));
    EXPECT_FALSE(atLimit.TooLong());
    EXPECT_EQ(atLimit.Text().size(), kMaxFlashTextLength);

    CFlashImageText over;
    EXPECT_TRUE(over.AddLine(Digits(kMaxFlashTextLength)));
    EXPECT_FALSE(over.AddLine(L"0"));
    EXPECT_TRUE(over.TooLong());

    // A huge file without line ends: nothing beyond the limit is kept.
    CFlashImageText huge;
    const std::wstring chunk(4096, L'\x7F');
    EXPECT_FALSE(huge.Feed(chunk));
    EXPECT_FALSE(huge.Feed(chunk));
    EXPECT_LE(huge.Text().size(), kMaxFlashTextLength);
    EXPECT_FALSE(ParseFlashImage(Digits(kMaxFlashTextLength + 1)));
}

TEST(FlashImage, SizeRule)
{
    struct Case {
        std::size_t length;
        std::size_t size;  // 0: refused
    };
    const Case cases[] = {
        {0, 0},     {1, 128},    {2, 128},     {3, 128},     {256, 128},   {257, 256},
        {258, 256}, {3071, 1536}, {3072, 1536}, {3073, 1664}, {3327, 1664}, {3328, 1664},
        {3329, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::wstring text = Digits(c.length);
        const auto image = ParseFlashImage(text);
        if (c.size == 0) {
            EXPECT_FALSE(image);
            continue;
        }
        ASSERT_TRUE(image);
        ASSERT_EQ(image->bytes.size(), c.size);
        // Every piece, a last single character included, has its byte; the rest is erased.
        const std::size_t pieces = (c.length + 1) / 2;
        const auto digit = [&text](std::size_t i) { return HexDigitValue(text[i]); };
        const uint8_t last = static_cast<uint8_t>(c.length % 2 ? digit(c.length - 1)
                                                               : digit(c.length - 2) * 16 + digit(c.length - 1));
        EXPECT_EQ(image->bytes[pieces - 1], last);
        for (std::size_t i = pieces; i < c.size; ++i) {
            ASSERT_EQ(image->bytes[i], 0xFF) << i;
        }
    }
}

TEST(FlashImage, PiecesOfTwoCharacters)
{
    struct Case {
        std::wstring text;
        std::vector<uint8_t> head;
    };
    const Case cases[] = {
        {L"0102A0FF", {0x01, 0x02, 0xA0, 0xFF, 0xFF}},
        {L"01 02", {0x01, 0x00, 0x02, 0xFF}},  // a blank shifts the pairing
        {L"0x12", {0x00, 0x12, 0xFF}},
        {L"ABC", {0xAB, 0x0C, 0xFF}},
        {L"-1+F zZ", {0xFF, 0x0F, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        const auto image = ParseFlashImage(c.text);
        ASSERT_TRUE(image);
        EXPECT_EQ(std::vector<uint8_t>(image->bytes.begin(), image->bytes.begin() + c.head.size()), c.head);
    }
}

TEST(FlashImage, FileType)
{
    // Bytes 1604..1605 come from characters 3208..3211.
    std::wstring text = Digits(kMaxFlashTextLength);
    text.replace(3208, 4, L"56AA");
    EXPECT_EQ(FlashFileType(*ParseFlashImage(text)), 0x0000);
    text.replace(3208, 4, L"3412");
    EXPECT_EQ(FlashFileType(*ParseFlashImage(text)), static_cast<uint16_t>(0x1234 + 0x55AA));
    // Padded with 0xFF past the text.
    EXPECT_EQ(FlashFileType(*ParseFlashImage(Digits(3200))), 0x55A9);
    // Images that end before the word read it as erased flash.
    EXPECT_EQ(FlashFileType(*ParseFlashImage(Digits(3072))), 0x55A9);
    EXPECT_EQ(FlashFileType(*ParseFlashImage(L"00")), 0x55A9);

    EXPECT_EQ(FlashFileTypeText(0x55A9), L"0x55A9");
    EXPECT_EQ(FlashFileTypeText(0x0000), L"0x0000");
    EXPECT_EQ(FlashFileTypeText(0x0BEF), L"0x0BEF");
}

}  // namespace
