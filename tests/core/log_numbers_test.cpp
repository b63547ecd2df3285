#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "log/TextNumbers.h"

namespace {

std::string Fixed1(double v)
{
    char buf[kFixed1MaxChars];
    return std::string(buf, FormatFixed1(buf, v));
}

std::string CFixed1(double v)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

double ParseD(const std::string& s)
{
    return ParseDouble(s.data(), s.data() + s.size());
}

int32_t ParseI(const std::string& s)
{
    return ParseInt32(s.data(), s.data() + s.size());
}

// Runs `check` with a locale whose decimal separator is a comma; false when none is installed.
template <typename Check>
bool WithDecimalCommaLocale(Check check)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "German_Germany.1252"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            check();
            std::setlocale(LC_ALL, saved.c_str());
            return true;
        }
    }
    std::setlocale(LC_ALL, saved.c_str());
    return false;
}

} // namespace

TEST(LogNumbers, FixedOneDecimalMatchesTheRuntime)
{
    const double cases[] = {0.0, -0.0, 25.04, 25.05, 25.15, 0.25, 0.35, -0.04, -0.05, 0.05,
                            -273.2, 999999.95, 999999.94999, 1e6 + 0.05, 123456789.25,
                            1e20, -1e300, 4.9e-324, 2.5e-1, 1.0 / 3.0, 25.391, 0.95, 9.95};
    for (double v : cases)
        EXPECT_EQ(Fixed1(v), CFixed1(v)) << v;

    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> small(-400.0, 400.0);
    std::uniform_real_distribution<double> large(-2e6, 2e6);
    for (int i = 0; i < 200000; ++i) {
        const double a = small(gen);
        ASSERT_EQ(Fixed1(a), CFixed1(a)) << a;
        const double b = large(gen);
        ASSERT_EQ(Fixed1(b), CFixed1(b)) << b;
        // Values one ulp around exact halves test the near-tie path.
        const double tie = std::round(a * 10.0) / 10.0 + 0.05;
        for (double t : {std::nextafter(tie, -1e9), tie, std::nextafter(tie, 1e9)})
            ASSERT_EQ(Fixed1(t), CFixed1(t)) << t;
    }
}

TEST(LogNumbers, FixedOneDecimalNonFinite)
{
    EXPECT_EQ(Fixed1(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(Fixed1(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(Fixed1(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(LogNumbers, ZeroPaddedIntegers)
{
    struct Case {
        int32_t value;
        int width;
        const char* text;
    };
    const Case cases[] = {{2019, 4, "2019"}, {7, 2, "07"},   {0, 4, "0000"},  {-1, 2, "-1"},
                          {-1, 4, "-001"},   {12345, 4, "12345"}, {-32768, 4, "-32768"},
                          {std::numeric_limits<int32_t>::min(), 2, "-2147483648"}};
    for (const Case& c : cases) {
        char buf[32];
        EXPECT_EQ(std::string(buf, FormatIntZeroPad(buf, c.value, c.width)), c.text) << c.value;
    }
    char buf[16];
    EXPECT_EQ(std::string(buf, FormatUnsigned(buf, 4294967295u)), "4294967295");
    EXPECT_EQ(std::string(buf, FormatUnsigned(buf, 0)), "0");
}

TEST(LogNumbers, IntegerParsingFollowsWcstol)
{
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {{"85", 85},
                          {" 85", 85},
                          {"\t\r\n\v\f7", 7},
                          {"+5", 5},
                          {"-7x", -7},
                          {"12 34", 12},
                          {"", 0},
                          {"x1", 0},
                          {"+-3", 0},
                          {"-", 0},
                          {"2147483647", 2147483647},
                          {"2147483648", 2147483647},
                          {"-2147483648", std::numeric_limits<int32_t>::min()},
                          {"-2147483649", std::numeric_limits<int32_t>::min()},
                          {"4294967295", 2147483647},
                          {"000000000000000000000000012", 12},
                          {"99999999999999999999999999", 2147483647}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseI(c.text), c.value) << '"' << c.text << '"';
}

TEST(LogNumbers, WrappingParseUndoesUnsignedFormatting)
{
    for (int32_t v : {-1, -5, std::numeric_limits<int32_t>::min(), 0, 85, std::numeric_limits<int32_t>::max()}) {
        char buf[16];
        const size_t n = FormatUnsigned(buf, static_cast<uint32_t>(v));
        EXPECT_EQ(ParseInt32Wrapping(buf, buf + n), v);
    }
    const std::string beyond = "4294967296";
    EXPECT_EQ(ParseInt32Wrapping(beyond.data(), beyond.data() + beyond.size()), 2147483647);
    const std::string negative = "-4294967295";
    EXPECT_EQ(ParseInt32Wrapping(negative.data(), negative.data() + negative.size()),
              std::numeric_limits<int32_t>::min());
}

TEST(LogNumbers, FloatingParsingFollowsStrtod)
{
    const char* cases[] = {"25.0",   " -3.5e2x", ".5",       "5.",        "1e",      "1e+",
                           "1.5E-3", "0x1p4",    "0x1.8P1q", "0x",        "0xg",     "-0x10",
                           "inf",    "-Infinity", "INFx",    "1e400",     "-1e400",  "1e-400",
                           "",       "abc",      "+-1",      "   ",       "1,5",     "4.9e-324",
                           "+.5e1",  "-.",       "25.0 ",    "\t 1e5",    "00012.50", " Standby"};
    for (const char* c : cases) {
        const double expected = std::strtod(c, nullptr);
        const double got = ParseD(c);
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << '"' << c << '"';
        EXPECT_EQ(got, expected) << '"' << c << '"';
    }
    EXPECT_TRUE(std::isnan(ParseD("nan")));
    EXPECT_TRUE(std::isnan(ParseD(" -NaN(123)")));
}

TEST(LogNumbers, NumberTextsIgnoreTheUserLocale)
{
    const bool ran = WithDecimalCommaLocale([] {
        EXPECT_EQ(Fixed1(25.04), "25.0");
        EXPECT_EQ(ParseD("25.5"), 25.5);
        EXPECT_EQ(ParseD("25,5"), 25.0);
    });
    if (!ran)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
}
