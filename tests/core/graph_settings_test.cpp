#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "graph/GraphSettingsRules.h"

TEST(GraphSettings, EditTextsReadAsNumbers)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::wstring text;
        double value;
    };
    const Case cases[] = {
        {L"10.6", 10.6},
        {L"  -20", -20.0},
        {L"\t\r\n 3", 3.0},
        {L"+7", 7.0},
        {L"12abc", 12.0},
        {L"1,5", 1.0},
        {L"1e3", 1000.0},
        {L"2.5E-1", 0.25},
        {L"1e", 1.0},
        {L"1e+", 1.0},
        {L"1e-x", 1.0},
        {L".5", 0.5},
        {L"5.", 5.0},
        {L"-.5e1", -5.0},
        {L"", 0.0},
        {L"abc", 0.0},
        {L".", 0.0},
        {L"-", 0.0},
        {L"- 5", 0.0},
        // The runtime's other forms: hexadecimal and infinity.
        {L"0x10", 16.0},
        {L"0x64", 100.0},
        {L" -0X1.8p1mV", -3.0},
        {L"0x", 0.0},
        {L"0xg", 0.0},
        {L"inf", inf},
        {L"-Infinity", -inf},
        {L"\u30005", 0.0},  // ideographic space is not skipped
        {L"\uff15", 0.0},   // nor is a full-width digit a digit
        {L"1e999", inf},
        {L"-1e999", -inf},
        {L"1e-999", 0.0},
        {L"0.0000e99999", 0.0},
        {L"1" + std::wstring(400, L'0'), inf},
        {L"0." + std::wstring(400, L'0') + L"1", 0.0},
        {L"0." + std::wstring(400, L'0') + L"1e420", 1e19},
        {std::wstring(100000, L'9') + L"e-99990", 1e10},
    };
    EXPECT_TRUE(std::isnan(ParseEditNumber(L"nan")));
    for (const Case& c : cases) {
        const double v = ParseEditNumber(c.text);
        SCOPED_TRACE(testing::Message()
                     << "text of " << c.text.size() << " characters starting "
                     << std::string(c.text.begin(), c.text.begin() + std::min<size_t>(c.text.size(), 12)));
        if (std::isinf(c.value)) {
            EXPECT_EQ(v, c.value);
        } else {
            EXPECT_NEAR(v, c.value, std::abs(c.value) * 1e-12);
        }
    }
}

TEST(GraphSettings, EditTextsOfTheInitialRanges)
{
    const CGraphInfo info;
    const wchar_t* expected[3][2] = {{L"0", L"100"}, {L"-20.0", L"70.0"}, {L"0", L"5000"}};
    for (int32_t kind = 0; kind < kEditableRangeCount; ++kind) {
        EXPECT_EQ(FormatRangeEditText(kind, info.m_range[kind].min), expected[kind][0]);
        EXPECT_EQ(FormatRangeEditText(kind, info.m_range[kind].max), expected[kind][1]);
    }
    EXPECT_EQ(FormatRangeEditText(GRAPH_KIND_RSOC, 10.6), L"11");
    EXPECT_EQ(FormatRangeEditText(GRAPH_KIND_TEMP, 10.66), L"10.7");
    EXPECT_EQ(FormatRangeEditText(GRAPH_KIND_VOLT, -1e308).size(), 310u);
}

TEST(GraphSettings, RangesAreReadInOrderUntilTheFirstRefusal)
{
    struct Case {
        std::wstring mins[3];
        std::wstring maxs[3];
        int32_t failing;
        GraphRange stored[3];
    };
    const GraphRange rsoc{0, 100};
    const GraphRange temp{-20, 70};
    const GraphRange volt{0, 5000};
    const Case cases[] = {
        {{L"0", L"-20.0", L"0"}, {L"100", L"70.0", L"5000"}, -1, {rsoc, temp, volt}},
        {{L"0", L"-10", L"3000"}, {L"10.6", L"60", L"4200"}, -1, {{0, 10.6}, {-10, 60}, {3000, 4200}}},
        // Temp 50 / 40: RSOC is stored, Temp and Volt are not.
        {{L"5", L"50", L"1"}, {L"95", L"40", L"2"}, 1, {{5, 95}, temp, volt}},
        {{L"5", L"0", L"1"}, {L"95", L"1", L"1"}, 2, {{5, 95}, {0, 1}, volt}},
        {{L"abc", L"0", L"0"}, {L"xyz", L"1", L"1"}, 0, {rsoc, temp, volt}},  // both read as 0
        {{L"7", L"0", L"0"}, {L"7", L"1", L"1"}, 0, {rsoc, temp, volt}},
        {{L"8", L"0", L"0"}, {L"7", L"1", L"1"}, 0, {rsoc, temp, volt}},
        {{L"0", L"0", L"0"}, {L"1e999", L"1", L"1"}, 0, {rsoc, temp, volt}},
        {{L"-1e308", L"0", L"0"}, {L"1e308", L"1", L"1"}, 0, {rsoc, temp, volt}},  // span overflows
        {{L"-1e307", L"0", L"0"}, {L"1e307", L"1", L"1"}, -1, {{-1e307, 1e307}, {0, 1}, {0, 1}}},
        {{L"0x0", L"-0x14", L"0"}, {L"0x64", L"0x46", L"0x1388"}, -1, {rsoc, temp, volt}},
        {{L"0", L"nan", L"0"}, {L"100", L"70", L"1"}, 1, {rsoc, temp, volt}},
    };
    for (const Case& c : cases) {
        CGraphInfo info;
        info.m_graph1Kind = GRAPH_KIND_VOLT;
        const int32_t failing = ReadGraphRanges(info, c.mins, c.maxs);
        SCOPED_TRACE(testing::Message() << "expect failing " << c.failing);
        EXPECT_EQ(failing, c.failing);
        for (int k = 0; k < 3; ++k) {
            EXPECT_DOUBLE_EQ(info.m_range[k].min, c.stored[k].min) << k;
            EXPECT_DOUBLE_EQ(info.m_range[k].max, c.stored[k].max) << k;
        }
        EXPECT_EQ(info.m_range[GRAPH_KIND_NONE].max, 100.0);
        EXPECT_EQ(info.m_graph1Kind, GRAPH_KIND_VOLT);
    }
    EXPECT_STREQ(kGraphRangeErrorText, L"Please set [Min value] < [Max value]");
}

TEST(GraphSettings, RefusalMessageIsTrueForThePair)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double min, max;
        const wchar_t* text;
    } const cases[] = {
        {0, inf, kGraphRangeNotFiniteText},       // min < max holds: "set min < max" would be false
        {-inf, 0, kGraphRangeNotFiniteText},
        {nan, 1, kGraphRangeNotFiniteText},
        {inf, 5, kGraphRangeNotFiniteText},
        {5, 5, kGraphRangeErrorText},
        {8, 7, kGraphRangeErrorText},
        {1e308, -1e308, kGraphRangeErrorText},
        {-1e308, 1e308, kGraphRangeTooWideText},  // both finite, min < max, the span is not
    };
    for (const Case& c : cases) EXPECT_STREQ(GraphRangeErrorText(c.min, c.max), c.text) << c.min << " " << c.max;
}

TEST(GraphSettings, KindOfARadioColumn)
{
    const bool none[4] = {false, false, false, false};
    const bool third[4] = {false, false, true, false};
    const bool two[4] = {false, true, false, true};
    EXPECT_EQ(KindFromChecks(none, 4, 1), 1);
    EXPECT_EQ(KindFromChecks(third, 4, 0), 2);
    EXPECT_EQ(KindFromChecks(two, 4, 0), 1);
    EXPECT_EQ(KindFromChecks(two, 1, 0), 0);  // only the buttons of the column count
}
