#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHelp.h"
#include "cli/CliOptions.h"

namespace {

using Args = std::vector<std::wstring>;

std::string Narrow(const std::wstring& w)
{
    return std::string(w.begin(), w.end());
}

CliOptions ParseOk(const Args& args)
{
    const CliParseResult r = ParseCliArguments(args);
    EXPECT_TRUE(r.Ok()) << Narrow(r.error);
    return r.options;
}

TEST(CliOptions, CommandsAndTheirArguments)
{
    CliOptions o = ParseOk({L"list"});
    EXPECT_EQ(o.command, CliCommand::List);
    EXPECT_FALSE(o.help);

    o = ParseOk({L"read-word", L"1f"});
    EXPECT_EQ(o.command, CliCommand::ReadWord);
    EXPECT_EQ(o.commandText, L"1f");
    EXPECT_EQ(o.commandNumber, 0x1F);
    EXPECT_EQ(o.timeoutMs, kDefaultReadWordTimeoutMs);

    o = ParseOk({L"write-word", L"0D", L"0bB8"});
    EXPECT_EQ(o.command, CliCommand::WriteWord);
    EXPECT_EQ(o.commandText, L"0D");
    EXPECT_EQ(o.dataText, L"0bB8");
    EXPECT_EQ(o.commandNumber, 0x0D);
    EXPECT_EQ(o.dataWord, 0x0BB8);

    // "-1" is read as the command number, not as an option, and refused as one.
    EXPECT_EQ(Narrow(ParseCliArguments({L"write-word", L"-1", L"3456"}).error),
              "write-word: CMD must be one or two hex digits (00-FF), not '-1'");

    o = ParseOk({L"flash", L"image.txt", L"--timeout", L"0.25"});
    EXPECT_EQ(o.command, CliCommand::Flash);
    EXPECT_EQ(o.imagePath, L"image.txt");
    EXPECT_EQ(o.timeoutMs, 250u);
    EXPECT_EQ(ParseOk({L"flash", L"x.txt"}).timeoutMs, kDefaultFlashTimeoutMs);

    // Every command takes the board and the settings file.
    o = ParseOk({L"write-word", L"1", L"2", L"--device", L"/run/a.sock", L"--config=b.ini", L"--device=/dev/hidraw3"});
    EXPECT_EQ(o.devicePath, L"/dev/hidraw3");
    EXPECT_EQ(o.configPath, L"b.ini");
    EXPECT_EQ(ParseOk({L"list", L"--device", L"x"}).devicePath, L"x");

    // After "--" everything is an argument, even what looks like an option.
    o = ParseOk({L"flash", L"--", L"--odd name.txt"});
    EXPECT_EQ(o.imagePath, L"--odd name.txt");
}

TEST(CliOptions, MeasureOptions)
{
    CliOptions o = ParseOk({L"measure"});
    EXPECT_FALSE(o.intervalSeconds || o.i2cClockKHz || o.count || o.durationMs);
    EXPECT_FALSE(o.owsi);
    EXPECT_TRUE(o.outPath.empty());

    EXPECT_TRUE(o.metricsPath.empty());

    o = ParseOk({L"measure", L"--interval", L"300", L"--i2c=400", L"--count", L"4294967295", L"--out", L"a b.txt",
                 L"--metrics-file=bench 1.prom"});
    EXPECT_EQ(*o.intervalSeconds, 300);
    EXPECT_EQ(*o.i2cClockKHz, 400);
    EXPECT_EQ(*o.count, 4294967295u);
    EXPECT_EQ(o.outPath, L"a b.txt");
    EXPECT_EQ(o.metricsPath, L"bench 1.prom");

    o = ParseOk({L"measure", L"--owsi", L"--duration", L"1.5", L"--interval=1"});
    EXPECT_TRUE(o.owsi);
    EXPECT_EQ(*o.durationMs, 1500u);
    EXPECT_EQ(*o.intervalSeconds, 1);

    // The later of two equal options counts.
    EXPECT_EQ(*ParseOk({L"measure", L"--count", L"5", L"--count", L"7"}).count, 7u);
}

TEST(CliOptions, MistakesAreRefused)
{
    const Args bad[] = {
        {},
        {L"bogus"},
        {L"LIST"},
        {L"list", L"extra"},
        {L"read-word"},
        {L"read-word", L"1", L"2"},
        {L"write-word", L"12"},
        {L"flash"},
        {L"measure", L"--interval", L"0"},
        {L"measure", L"--interval", L"301"},
        {L"measure", L"--interval", L"2.5"},
        {L"measure", L"--interval"},
        {L"measure", L"--i2c", L"200"},
        {L"measure", L"--i2c", L"400", L"--owsi"},
        {L"measure", L"--owsi=1"},
        {L"measure", L"--count", L"0"},
        {L"measure", L"--count", L"4294967296"},
        {L"measure", L"--count", L"-3"},
        {L"measure", L"--count", L"3", L"--duration", L"10"},
        {L"measure", L"--duration", L"0"},
        {L"measure", L"--duration", L"1.2345"},
        {L"measure", L"--out="},
        {L"measure", L"--metrics-file="},
        {L"measure", L"--metrics-file"},
        {L"read-word", L"12", L"--metrics-file", L"a.prom"},
        {L"measure", L"--timeout", L"2"},
        {L"read-word", L"12", L"--count", L"1"},
        {L"read-word", L"12", L"--timeout", L"0"},
        {L"read-word", L"12", L"--timeout", L"abc"},
        {L"write-word", L"12", L"34", L"--timeout", L"1"},
        {L"list", L"--verbose"},
        {L"list", L"--device="},
        {L"read-word", L"12", L"--device"},
        {L"measure", L"--config="},
        {L"help", L"bogus"},
    };
    for (const Args& args : bad) {
        std::string line;
        for (const std::wstring& a : args) line += Narrow(a) + " ";
        const CliParseResult r = ParseCliArguments(args);
        EXPECT_FALSE(r.Ok()) << line;
    }
}

TEST(CliOptions, SecondsRefusalsNameTheRealLimits)
{
    const std::string duration = "--duration wants seconds from 0.001 to 999999999.999 (at most three decimals), not '";
    const std::string timeout = "--timeout wants seconds from 0.001 to 4294967.295 (at most three decimals), not '";
    struct Case {
        Args args;
        std::string error;  // empty: taken
    } const cases[] = {
        {{L"measure", L"--duration", L"0.001"}, ""},
        {{L"measure", L"--duration", L"999999999.999"}, ""},
        {{L"measure", L"--duration", L"0"}, duration + "0'"},
        {{L"measure", L"--duration", L"1000000000"}, duration + "1000000000'"},
        {{L"measure", L"--duration", L"1.2345"}, duration + "1.2345'"},
        {{L"read-word", L"1", L"--timeout", L"4294967.295"}, ""},
        {{L"read-word", L"1", L"--timeout", L"4294967.296"}, timeout + "4294967.296'"},
        {{L"flash", L"x.txt", L"--timeout", L"0.0001"}, timeout + "0.0001'"},
    };
    for (const Case& c : cases) EXPECT_EQ(Narrow(ParseCliArguments(c.args).error), c.error) << Narrow(c.args[2]);
}

TEST(CliOptions, RegisterNumbersAreWholeHexNumbers)
{
    // What the dialog's lenient conversion would turn into another register
    // or word is refused, naming the value.
    struct Case {
        Args args;
        const char* error;
    } const cases[] = {
        {{L"read-word", L"ZZ"}, "read-word: CMD must be one or two hex digits (00-FF), not 'ZZ'"},
        {{L"read-word", L"1FF"}, "read-word: CMD must be one or two hex digits (00-FF), not '1FF'"},
        {{L"read-word", L""}, "read-word: CMD must be one or two hex digits (00-FF), not ''"},
        {{L"read-word", L"0x2A"}, "read-word: CMD must be one or two hex digits (00-FF), not '0x2A'"},
        {{L"read-word", L" 2A"}, "read-word: CMD must be one or two hex digits (00-FF), not ' 2A'"},
        {{L"read-word", L"2Ag"}, "read-word: CMD must be one or two hex digits (00-FF), not '2Ag'"},
        {{L"write-word", L"1FF", L"0"}, "write-word: CMD must be one or two hex digits (00-FF), not '1FF'"},
        {{L"write-word", L"12", L"12345"}, "write-word: DATA must be one to four hex digits (0000-FFFF), not '12345'"},
        {{L"write-word", L"12", L"zz"}, "write-word: DATA must be one to four hex digits (0000-FFFF), not 'zz'"},
        {{L"write-word", L"12", L"+1"}, "write-word: DATA must be one to four hex digits (0000-FFFF), not '+1'"},
    };
    for (const Case& c : cases) EXPECT_EQ(Narrow(ParseCliArguments(c.args).error), c.error);

    const CliOptions o = ParseOk({L"write-word", L"f", L"FFFF"});
    EXPECT_EQ(o.commandNumber, 0x0F);
    EXPECT_EQ(o.dataWord, 0xFFFF);
    EXPECT_EQ(ParseOk({L"write-word", L"00", L"0"}).dataWord, 0);
}

TEST(CliOptions, HelpWinsEverywhere)
{
    struct Case {
        Args args;
        CliCommand topic;
    } cases[] = {
        {{L"--help"}, CliCommand::None},
        {{L"-h"}, CliCommand::None},
        {{L"help"}, CliCommand::None},
        {{L"help", L"flash"}, CliCommand::Flash},
        {{L"measure", L"--help"}, CliCommand::Measure},
        // Help even when the rest of the line is wrong.
        {{L"measure", L"--count", L"0", L"--bogus", L"-h"}, CliCommand::Measure},
        {{L"read-word", L"--help"}, CliCommand::ReadWord},
    };
    for (const Case& c : cases) {
        const CliOptions o = ParseOk(c.args);
        EXPECT_TRUE(o.help) << Narrow(c.args[0]);
        EXPECT_EQ(o.command, c.topic) << Narrow(c.args[0]);
    }
    // After "--" it is a file name.
    EXPECT_FALSE(ParseOk({L"flash", L"--", L"--help"}).help);
}

TEST(CliOptions, Seconds)
{
    struct Case {
        std::wstring text;
        long long ms;  // -1: refused
    } cases[] = {
        {L"2", 2000},   {L"0.5", 500},  {L"1.25", 1250}, {L"10.001", 10001}, {L"0", 0},
        {L"999999999", 999999999000LL}, {L"1000000000", -1}, {L"", -1}, {L".5", -1}, {L"5.", -1},
        {L"1.2345", -1}, {L"1,5", -1},  {L"-1", -1},    {L"1e3", -1},     {L" 1", -1},
    };
    for (const Case& c : cases) {
        const auto ms = ParseSecondsToMs(c.text);
        if (c.ms < 0) {
            EXPECT_FALSE(ms) << Narrow(c.text);
        } else {
            ASSERT_TRUE(ms) << Narrow(c.text);
            EXPECT_EQ(*ms, static_cast<uint64_t>(c.ms)) << Narrow(c.text);
            EXPECT_EQ(ParseSecondsToMs(SecondsText(*ms)), ms) << "round trip of " << Narrow(c.text);
        }
    }
    EXPECT_EQ(SecondsText(2000), L"2");
    EXPECT_EQ(SecondsText(1250), L"1.25");
    EXPECT_EQ(SecondsText(10001), L"10.001");
    EXPECT_EQ(SecondsText(300), L"0.3");
}

TEST(CliOptions, OptionsOverrideTheSettingsFile)
{
    CAppSettings s{};
    ResetSettings(s);
    s.ReceiveInterval = 7;
    s.I2cClock = 400;
    s.CommType = 1;

    CommValues v = EffectiveCommValues(s, ParseOk({L"read-word", L"1"}));
    EXPECT_EQ(v.receiveInterval, 7);
    EXPECT_EQ(v.i2cClock, 400);
    EXPECT_EQ(v.commType, 1);

    // --i2c chooses the bus as well as the clock.
    v = EffectiveCommValues(s, ParseOk({L"measure", L"--i2c", L"100", L"--interval", L"3"}));
    EXPECT_EQ(v.receiveInterval, 3);
    EXPECT_EQ(v.i2cClock, 100);
    EXPECT_EQ(v.commType, 0);

    // --owsi keeps the stored clock, which the settings frame still carries.
    s.CommType = 0;
    v = EffectiveCommValues(s, ParseOk({L"measure", L"--owsi"}));
    EXPECT_EQ(v.commType, 1);
    EXPECT_EQ(v.i2cClock, 400);
}

TEST(CliExitCodes, DistinctAndAllDocumented)
{
    std::set<int> seen;
    const std::wstring overview = CliHelpText(CliCommand::None);
    for (size_t i = 0; i < CliExitCodeCount(); ++i) {
        const CliExitCodeInfo& info = CliExitCodeAt(i);
        EXPECT_TRUE(seen.insert(info.code).second) << "code " << info.code << " twice";
        EXPECT_NE(overview.find(info.meaning), std::wstring::npos) << "code " << info.code << " not in the help";
    }
    for (int code : {kExitOk, kExitFailure, kExitUsage, kExitNoBoard, kExitBoardLost, kExitCommError, kExitTimeout,
                     kExitFileError, kExitFileSize, kExitVerifyError, kExitI2cError, kExitInterrupted})
        EXPECT_EQ(seen.count(code), 1u) << "code " << code << " has no meaning listed";
}

} // namespace
