#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
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

double ParseD(const std::string& s) { return ParseDouble(s.data(), s.data() + s.size()); }
int32_t ParseI(const std::string& s) { return ParseInt32(s.data(), s.data() + s.size()); }
int32_t ParseW(const std::string& s) { return ParseInt32MinusOneAsUnsigned(s.data(), s.data() + s.size()); }

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

} // namespace

TEST(LogNumbers, FixedOneDecimalMatchesTheRuntime)
{
    for (double v : {0.0, -0.0, 25.04, 25.05, 0.25, 0.35, -0.04, -273.2, 999999.95, 1e6 + 0.05,
                     123456789.25, 1e20, -1e300, 4.9e-324, 1.0 / 3.0, 0.95, 9.95})
        EXPECT_EQ(Fixed1(v), CFixed1(v)) << v;

    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> small(-400.0, 400.0), large(-2e6, 2e6);
    for (int i = 0; i < 200000; ++i) {
        const double a = small(gen), b = large(gen);
        ASSERT_EQ(Fixed1(a), CFixed1(a)) << a;
        ASSERT_EQ(Fixed1(b), CFixed1(b)) << b;
        // One ulp around exact halves: the near-tie path.
        const double tie = std::round(a * 10.0) / 10.0 + 0.05;
        for (double t : {std::nextafter(tie, -1e9), tie, std::nextafter(tie, 1e9)})
            ASSERT_EQ(Fixed1(t), CFixed1(t)) << t;
    }
    EXPECT_EQ(Fixed1(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(Fixed1(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(Fixed1(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(LogNumbers, IntegerParsingFollowsWcstol)
{
    // text, as wcstol with a 32-bit long; and with "%u" of -1 read back as -1
    struct Case {
        const char* text;
        int32_t value, wrapped;
    } const cases[] = {{"85", 85, 85},         {" \t\r\n\v\f7", 7, 7},   {"+5", 5, 5},
                       {"-7x", -7, -7},        {"12 34", 12, 12},        {"", 0, 0},
                       {"x1", 0, 0},           {"+-3", 0, 0},            {"-", 0, 0},
                       {"2147483647", kMax, kMax},
                       {"2147483648", kMax, kMax},
                       {"3000000000", kMax, kMax},
                       {"4294967291", kMax, kMax},
                       {"4294967295", kMax, -1},
                       {" +4294967295x", kMax, -1},
                       {"04294967295", kMax, -1},
                       {"4294967296", kMax, kMax},
                       {"-2147483648", kMin, kMin},
                       {"-2147483649", kMin, kMin},
                       {"-4294967295", kMin, kMin},
                       {"000000000000000000000000012", 12, 12},
                       {"99999999999999999999999999", kMax, kMax}};
    for (const Case& c : cases) {
        EXPECT_EQ(ParseI(c.text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(ParseW(c.text), c.wrapped) << '"' << c.text << '"';
    }
}

TEST(LogNumbers, FloatingParsingFollowsWcstod)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        double value;
    } const cases[] = {
        {"25.0", 25.0},  {" -3.5e2x", -350.0}, {".5", 0.5},     {"5.", 5.0},       {"1e", 1.0},
        {"1e+", 1.0},    {"1.5E-3", 1.5e-3},   {"0x1p4", 16.0}, {"0x1.8P1q", 3.0}, {"0x", 0.0},
        {"0xg", 0.0},    {"-0x10", -16.0},     {"inf", inf},    {"-Infinity", -inf},
        {"INFx", inf},   {"1e400", inf},       {"-1e400", -inf}, {"1e-400", 0.0},  {"-1e-400", -0.0},
        {"0.0000000000000000000000000000000000000000000000001e-300", 0.0},
        {"100000000000000000000000000000000000000000000000000e300", inf},
        {"", 0.0},       {"abc", 0.0},         {"+-1", 0.0},    {"   ", 0.0},      {"1,5", 1.0},
        {"4.9e-324", 4.9e-324}, {"+.5e1", 5.0}, {"\t 1e5", 1e5}, {"00012.50", 12.5}, {" Standby", 0.0}};
    for (const Case& c : cases) {
        const double got = ParseD(c.text);
        EXPECT_EQ(got, c.value) << '"' << c.text << '"';
        EXPECT_EQ(std::signbit(got), std::signbit(c.value)) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::isnan(ParseD("nan")));
    EXPECT_TRUE(std::isnan(ParseD(" -NaN(123)")));
}

TEST(LogNumbers, NumberTextsIgnoreTheUserLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"}) {
        if (std::setlocale(LC_ALL, name) == nullptr || std::strcmp(std::localeconv()->decimal_point, ",") != 0)
            continue;
        const std::string fixed = Fixed1(25.04);
        const double parsed = ParseD("25.5"), comma = ParseD("25,5");
        std::setlocale(LC_ALL, saved.c_str());
        EXPECT_EQ(fixed, "25.0");
        EXPECT_EQ(parsed, 25.5);
        EXPECT_EQ(comma, 25.0);
        return;
    }
    std::setlocale(LC_ALL, saved.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
}
