// Inputs the fuzz targets found to break the core, kept as plain tests so the
// normal test run guards the fixes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "graph/GraphInfo.h"
#include "graph/GraphNavigation.h"
#include "log/TextNumbers.h"

namespace {

double ParseD(const std::string& s)
{
    return ParseDouble(s.data(), s.data() + s.size());
}

}  // namespace

// A hexadecimal exponent needs a digit after its one optional sign; otherwise the
// number ends before the "p", as in wcstod ("p+-1440" once read as 2^-1440).
TEST(FuzzRegressions, HexExponentWithoutDigitsEndsBeforeP)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {" 0X2e7e5p+-01440p", 190437.0}, {"0x2p+-0", 2.0}, {"0x2p-+1", 2.0}, {"0x2p+", 2.0},
        {"0x1.8p", 1.5}, {"0x1p-1", 0.5}, {"0x1p+2x", 4.0}, {"-0x1P3", -8.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseD(c.text), c.value) << c.text;
}

// "0x" not followed by a hex digit is the number 0 followed by other text, as
// in wcstod: the letters after it must not be read as infinity or NaN.
TEST(FuzzRegressions, HexPrefixWithoutDigitsReadsAsZero)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0Xnan", 0.0}, {"0xinf", 0.0}, {"-0xINFINITY", -0.0}, {"0x", 0.0},
        {"0x.p1", 0.0}, {"0xg", 0.0},   {"0x.8", 0.5},         {"0x1p4", 16.0},
        {"0xA", 10.0},  {"-0x.1p4", -1.0},
    };
    for (const auto& c : cases) {
        const double got = ParseD(c.text);
        EXPECT_FALSE(std::isnan(got)) << c.text;
        EXPECT_EQ(got, c.value) << c.text;
        EXPECT_EQ(std::signbit(got), std::signbit(c.value)) << c.text;
    }
}

// A record count far below zero used to overflow the 64-bit subtraction.
TEST(FuzzRegressions, ScrollDiffOfANegativeCountIsThatOfAnEmptyLog)
{
    const int64_t lowest = std::numeric_limits<int64_t>::min();
    for (const int32_t zoom : {0, 5, kMaxZoomLevel}) {
        EXPECT_EQ(GraphScrollDiff(lowest + 1, zoom), -VisibleRecordCount(zoom));
        EXPECT_EQ(GraphScrollDiff(-1, zoom), GraphScrollDiff(0, zoom));
        int32_t offset = 7;
        const GraphScrollBarState bar = UpdateGraphScrollBar(lowest, zoom, offset);
        EXPECT_FALSE(bar.enabled);
        const GraphScrollResult scroll = ApplyGraphScroll(GRAPH_SCROLL_PAGE_LEFT, 0, lowest, zoom, 3);
        EXPECT_EQ(scroll.scrollOffset, 0);
    }
}
