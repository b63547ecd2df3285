#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "protocol/HexField.h"

namespace {

struct Case {
    std::wstring text;
    uint32_t value;
};

// wcstoul(text, nullptr, 16) with a 32-bit unsigned long.
TEST(HexField, ConvertsLikeWcstoulBase16)
{
    const Case cases[] = {
        {L"12", 0x12},
        {L"3456", 0x3456},
        {L"aBcD", 0xABCD},
        {L"", 0},
        {L"zz", 0},
        {L"x1", 0},
        {L"0x2A", 0x2A},
        {L"0X1f", 0x1F},
        {L" 2a", 0x2A},
        {L"\t\r\n\v\f 7", 7},
        {L"2Ag", 0x2A},
        {L"1 2", 1},
        {L"+1f", 0x1F},
        {L"-1", 0xFFFFFFFF},
        {L"-0", 0},
        {L"-0x10", 0xFFFFFFF0},
        {L"-80000000", 0x80000000},
        {L"  -2", 0xFFFFFFFE},
        {L"- 1", 0},
        {L"+-1", 0},
        {L" 0x 1", 0},
        {L"0x", 0},
        {L"0xg", 0},
        {L"00x1", 0},
        {L"0x0x1", 0},
        {L"FFFFFFFF", 0xFFFFFFFF},
        {L"100000000", 0xFFFFFFFF},
        {L"FFFFFFFFFF", 0xFFFFFFFF},
        // Overflow wins over the sign.
        {L"-100000000", 0xFFFFFFFF},
        {L"000000000000000001", 1},
        {L"12345678", 0x12345678},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexFieldValue(c.text), c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(HexField, CommandAndDataKeepTheLowBits)
{
    EXPECT_EQ(HexFieldCommand(L"12"), 0x12);
    EXPECT_EQ(HexFieldCommand(L"1FF"), 0xFF);
    EXPECT_EQ(HexFieldCommand(L"100"), 0x00);
    EXPECT_EQ(HexFieldCommand(L"-1"), 0xFF);
    EXPECT_EQ(HexFieldCommand(L""), 0x00);
    EXPECT_EQ(HexFieldData(L"3456"), 0x3456);
    EXPECT_EQ(HexFieldData(L"12345"), 0x2345);
    EXPECT_EQ(HexFieldData(L"FFFFFFFFFF"), 0xFFFF);
    EXPECT_EQ(HexFieldData(L"-2"), 0xFFFE);
}

}  // namespace
