#include <gtest/gtest.h>

#include "app/AppSettings.h"
#include "app/RunMode.h"

TEST(AppSettings, KeysComeInFileOrderWithTheirDefaults)
{
    CAppSettings s{};
    ResetSettings(s);
    EXPECT_EQ(SettingsKeyAt(0).key, std::wstring(L"AdjustmentPack8"));
    EXPECT_EQ(SettingsKeyAt(16).key, std::wstring(L"AdjustmentPack5"));
    EXPECT_EQ(SettingsKeyAt(17).section, std::wstring(L"Comm"));
    EXPECT_EQ(SettingsKeyAt(16).section, std::wstring(L"Initial"));
    EXPECT_EQ(s.AdjustmentPack8, 17);
    EXPECT_EQ(s.AlarmEnable, 1);
    EXPECT_EQ(s.AlarmLowBatteryPercent, 8);
    EXPECT_EQ(s.AdjustmentB, 3380);
    EXPECT_EQ(s.CellTemperature, 2982);
    EXPECT_EQ(s.AdjustmentPack3, 4507);
    EXPECT_EQ(s.ReceiveInterval, 2);
    EXPECT_EQ(s.I2cClock, 100);
    EXPECT_EQ(s.CommType, 0);
    // Every default round-trips through the key table.
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i)
        EXPECT_EQ(SettingsValue(s, i), SettingsKeyAt(i).defaultValue) << i;
}

TEST(AppSettings, ValuesAreCutToTheirFieldWidth)
{
    CAppSettings s{};
    ResetSettings(s);
    StoreSettingsValue(s, 0, 300);      // 8-bit AdjustmentPack8
    StoreSettingsValue(s, 8, 70000);    // 16-bit AdjustmentB
    StoreSettingsValue(s, 17, -1);      // 16-bit ReceiveInterval
    StoreSettingsValue(s, 2, -5);       // 32-bit HotStart keeps its sign
    EXPECT_EQ(s.AdjustmentPack8, 44);
    EXPECT_EQ(s.AdjustmentB, 4464);
    EXPECT_EQ(s.ReceiveInterval, 65535);
    EXPECT_EQ(s.HotStart, -5);
    // Written back as the cut value, zero-extended.
    EXPECT_EQ(SettingsValue(s, 0), 44);
    EXPECT_EQ(SettingsValue(s, 8), 4464);
    EXPECT_EQ(SettingsValue(s, 17), 65535);
    EXPECT_EQ(SettingsValue(s, 2), -5);
}

TEST(AppSettings, ValueTextParsing)
{
    struct Case { const wchar_t* text; int32_t expected; };
    const Case cases[] = {
        {L"42", 42}, {L"  42", 42}, {L"+7", 7}, {L"-3", -3}, {L"12abc", 12},
        {L"", 99}, {L"abc", 99}, {L"-", 99}, {L" ", 99}, {L"0x10", 0},
        {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSettingsValue(c.text, 99), c.expected) << std::wstring(c.text).size();
}

TEST(AppSettings, FileLivesBesideTheExecutableWhateverItsName)
{
    EXPECT_EQ(SettingsPathForExecutable(L"C:\\Tools\\Vantrel.exe"), L"C:\\Tools\\Vantrel.ini");
    EXPECT_EQ(SettingsPathForExecutable(L"D:\\copy\\other name.exe"), L"D:\\copy\\Vantrel.ini");
    EXPECT_EQ(SettingsPathForExecutable(L"Z:/unix/style/x.exe"), L"Z:/unix/style/Vantrel.ini");
    EXPECT_EQ(SettingsPathForExecutable(L"bare.exe"), L"Vantrel.ini");
}

TEST(AppSettings, CutModulePathTakesTheBareName)
{
    // What the platform writes into a buffer of 260: a path that fills it was
    // cut, here inside a long folder name, leaving "C:\\Lab\\" as its directory.
    const std::wstring deep = L"C:\\Lab\\" + std::wstring(300, L'd') + L"\\Vantrel.exe";
    EXPECT_EQ(SettingsPathForModuleName(deep.c_str(), 260, 260), L"Vantrel.ini");
    EXPECT_EQ(SettingsPathForModuleName(deep.c_str(), 0, 260), L"Vantrel.ini");

    const std::wstring fits = L"C:\\" + std::wstring(243, L'd') + L"\\Vantrel.exe";  // 259 characters
    EXPECT_EQ(SettingsPathForModuleName(fits.c_str(), fits.size(), 260),
              L"C:\\" + std::wstring(243, L'd') + L"\\Vantrel.ini");
    // The whole path fits, the settings path beside it would not.
    const std::wstring shortName = L"C:\\" + std::wstring(248, L'd') + L"\\x.exe";
    EXPECT_EQ(SettingsPathForModuleName(shortName.c_str(), shortName.size(), 260), L"Vantrel.ini");
}

TEST(RunMode, CommandLineAndKeys)
{
    EXPECT_EQ(ChooseDemoMode(L"-demo1", false, false), kDemoMode1);
    EXPECT_EQ(ChooseDemoMode(L"-DEMO2", false, false), kDemoMode2);
    EXPECT_EQ(ChooseDemoMode(L"-Demo2", true, false), kDemoMode2);  // the argument wins over keys
    EXPECT_EQ(ChooseDemoMode(L"-demo1 x", false, false), kNormalMode);
    EXPECT_EQ(ChooseDemoMode(L"-demo1 ", false, false), kNormalMode);
    EXPECT_EQ(ChooseDemoMode(L"-demo", false, false), kNormalMode);
    EXPECT_EQ(ChooseDemoMode(L"", true, false), kDemoMode1);
    EXPECT_EQ(ChooseDemoMode(L"", true, true), kDemoMode2);
    EXPECT_EQ(ChooseDemoMode(L"", false, true), kNormalMode);
    EXPECT_EQ(ChooseDemoMode(L"-demo1 x", true, false), kDemoMode1);
}
