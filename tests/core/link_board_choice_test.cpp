#include <gtest/gtest.h>

#include "app/IniText.h"
#include "link/BoardDevices.h"
#include "log/Utf8Text.h"

namespace {

TEST(BoardChoice, DeviceOptionOrTheLastFound)
{
    const std::vector<BoardInfo> boards = {{L"\\\\?\\HID#VID_5E3A&PID_FFFD#1", L"", L""}, {L"/tmp/b.sock", L"", L""}};
    EXPECT_EQ(ChooseBoard(boards, L"", false), std::optional<size_t>(1));
    EXPECT_EQ(ChooseBoard({}, L"", false), std::nullopt);
    EXPECT_EQ(ChooseBoard(boards, L"/tmp/b.sock", false), std::optional<size_t>(1));
    // Windows device paths ignore letter case; Linux paths do not.
    EXPECT_EQ(ChooseBoard(boards, L"\\\\?\\hid#vid_5e3a&pid_fffd#1", true), std::optional<size_t>(0));
    EXPECT_EQ(ChooseBoard(boards, L"\\\\?\\hid#vid_5e3a&pid_fffd#1", false), std::nullopt);
    EXPECT_EQ(ChooseBoard(boards, L"/tmp/b.soc", true), std::nullopt);
    EXPECT_EQ(ChooseBoard(boards, L"/TMP/B.SOCK", false), std::nullopt);

    EXPECT_EQ(SplitDeviceList(L";a;;b c;"), (std::vector<std::wstring>{L"a", L"b c"}));
    EXPECT_TRUE(SplitDeviceList(L"").empty());
}

// A removal record names the open board in whichever form the system chose.
TEST(BoardChoice, RemovalRecordNamesTheOpenBoardInAnyForm)
{
    const std::wstring open = L"\\\\?\\hid#vid_5e3a&pid_fffd#0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_TRUE(SameWindowsDevicePath(open, open));
    EXPECT_TRUE(SameWindowsDevicePath(open, L"\\\\?\\HID#VID_5E3A&PID_FFFD#0001#{4D1E55B2-F16F-11CF-88CB-001111000030}"));
    EXPECT_TRUE(SameWindowsDevicePath(open, L"##?#HID#VID_5E3A&PID_FFFD#0001#{4D1E55B2-F16F-11CF-88CB-001111000030}"));
    EXPECT_TRUE(SameWindowsDevicePath(open, L"\\\\.\\hid#vid_5e3a&pid_fffd#0001#{4d1e55b2-f16f-11cf-88cb-001111000030}"));
    // Another board of the same kind, a path cut short, nothing at all.
    EXPECT_FALSE(SameWindowsDevicePath(open, L"\\\\?\\hid#vid_5e3a&pid_fffd#0002#{4d1e55b2-f16f-11cf-88cb-001111000030}"));
    EXPECT_FALSE(SameWindowsDevicePath(open, L"\\\\?\\hid#vid_5e3a&pid_fffd#0001"));
    EXPECT_FALSE(SameWindowsDevicePath(open, L""));
    EXPECT_FALSE(SameWindowsDevicePath(L"", L""));
    // A simulated board's pipe is not the HID device of the same text.
    EXPECT_FALSE(SameWindowsDevicePath(L"\\\\.\\pipe\\hid#vid_5e3a&pid_fffd#sim", L"\\\\?\\hid#vid_5e3a&pid_fffd#sim"));
}

TEST(IniText, ReadsAsTheProfileApiDoes)
{
    const std::wstring text =
        L"\xFEFF"  // stays part of the first line, so that line is no section
        L"[Comm]\r\nI2cClock=1\r\n"
        L" [comm] \r\n"
        L"  i2cclock =  400  \r\n"
        L";CommType=1\r\n"
        L"CommType\r\n"
        L"ReceiveInterval='5'\r\n"
        L"Quoted=\"a'\r\n"
        L"Empty=\n"
        L"Long=" + std::wstring(70, L'7') + L"\n"
        L"[Comm]\nAlarm=9\n"
        L"[Other] x\nCommType=3\n";
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        std::optional<std::wstring> value;
    } cases[] = {
        {L"COMM", L"I2CCLOCK", L"400"},
        {L"Comm", L"ReceiveInterval", L"5"},
        {L"Comm", L"Quoted", L"\"a'"},
        {L"Comm", L"Empty", L""},
        {L"Comm", L"Long", std::wstring(63, L'7')},
        {L"Comm", L"CommType", std::nullopt},
        {L"Comm", L"Alarm", std::nullopt},
        {L"Other", L"CommType", L"3"},
        {L"Initial", L"CommType", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniValue(text, c.section, c.key, 63), c.value) << Utf8FromWide(c.section) << "/" << Utf8FromWide(c.key);
}

TEST(Utf8Text, RoundTripAndDamage)
{
    const std::wstring text = L"Vantrel \u2103 \uFF05 \u65E5\u672C";
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
    EXPECT_EQ(Utf8FromWide(L"\u2103"), "\xE2\x84\x83");
    // A cut sequence, an overlong form and a stray continuation byte.
    EXPECT_EQ(WideFromUtf8("a\xE2\x84"), L"a\uFFFD");
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\uFFFD");
    EXPECT_EQ(WideFromUtf8("\x80z"), L"\uFFFDz");
}

} // namespace
