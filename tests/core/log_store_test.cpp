#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/LogList.h"
#include "log/LogStore.h"

namespace {

tagLOGDATA Reading(int16_t second, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2019;
    r.month = 1;
    r.day = 18;
    r.hour = 9;
    r.minute = 5;
    r.second = second;
    r.rsoc = rsoc;
    r.temperature = temperature;
    r.voltage = voltage;
    return r;
}

constexpr LogTime kStamp = {2020, 2, 29, 23, 59, 1};

} // namespace

TEST(LogStore, MeasurementRowTexts)
{
    LogStore log;
    log.AddMeasurementRow(Reading(7, 85, 25.04, 3801));
    const tagLOGSTRING row = log.Row(0);
    EXPECT_EQ(row.date, L"2019/01/18");
    EXPECT_EQ(row.time, L"09:05:07");
    EXPECT_EQ(row.rsoc, L"85");
    EXPECT_EQ(row.temperature, L"25.0");
    EXPECT_EQ(row.voltage, L"3801");
    EXPECT_EQ(row.message, L"");
    EXPECT_EQ(row.kind, kLogRowMeasurement);
}

TEST(LogStore, SpecialMeasurementValues)
{
    LogStore log;
    tagLOGDATA unknownTime{};
    unknownTime.hour = unknownTime.minute = unknownTime.second = -1;
    unknownTime.temperature = -273.2;
    log.AddMeasurementRow(unknownTime);
    log.AddMeasurementRow(Reading(0, kLogRsocStandby, -0.04, 65535));
    log.AddMeasurementRow(Reading(0, -5, 0.0, 0));

    EXPECT_EQ(log.CellText(0, kLogColDate), L"0000/00/00");
    EXPECT_EQ(log.CellText(0, kLogColTime), L"-1:-1:-1");
    EXPECT_EQ(log.CellText(0, kLogColTemperature), L"-273.2");
    EXPECT_EQ(log.CellText(1, kLogColRsoc), L"Standby");
    EXPECT_EQ(log.CellText(1, kLogColTemperature), L"-0.0");
    EXPECT_EQ(log.CellText(1, kLogColVoltage), L"65535");
    EXPECT_EQ(log.CellText(2, kLogColRsoc), L"4294967291");
}

TEST(LogStore, MessageRowTexts)
{
    LogStore log;
    const std::wstring text = L"<Communicate> Period of measure:2s \u901a\u4fe1 \u2103";
    log.AddMessageRow(text, kStamp);
    log.AddMessageRow(L"<late>", kLogTimeUnknown);

    const tagLOGSTRING row = log.Row(0);
    EXPECT_EQ(row.date, L"2020/02/29");
    EXPECT_EQ(row.time, L"23:59:01");
    EXPECT_EQ(row.rsoc, L"");
    EXPECT_EQ(row.temperature, L"");
    EXPECT_EQ(row.voltage, L"");
    EXPECT_EQ(row.message, text);
    EXPECT_EQ(row.kind, kLogRowMessage);

    EXPECT_EQ(log.CellText(1, kLogColDate), L"0000/00/00");
    EXPECT_EQ(log.CellText(1, kLogColTime), L"-1:-1:-1");
    EXPECT_EQ(log.RecordCount(), 0u);
}

TEST(LogStore, RecordsPointAtTheirRowsAcrossChunks)
{
    LogStore log;
    // Enough rows to cross several chunks of every internal array.
    const int total = 50000;
    for (int i = 0; i < total; ++i) {
        if (i % 7 == 3)
            log.AddMessageRow(L"<m" + std::to_wstring(i) + L">", kStamp);
        else
            log.AddMeasurementRow(Reading(static_cast<int16_t>(i % 60), i, i / 10.0, static_cast<uint16_t>(i)));
    }
    ASSERT_EQ(log.RowCount(), static_cast<size_t>(total));
    size_t records = 0;
    for (int i = 0; i < total; ++i) {
        const size_t row = static_cast<size_t>(i);
        if (i % 7 == 3) {
            ASSERT_EQ(log.RowKind(row), kLogRowMessage);
            ASSERT_EQ(log.CellText(row, kLogColMessage), L"<m" + std::to_wstring(i) + L">");
            continue;
        }
        ASSERT_EQ(log.RowKind(row), kLogRowMeasurement);
        ASSERT_EQ(log.RecordIndexOfRow(row), records);
        const tagLOGDATA& r = log.Record(records);
        ASSERT_EQ(r.rowIndex, i);
        ASSERT_EQ(r.rsoc, i);
        ASSERT_EQ(r.voltage, static_cast<uint16_t>(i));
        ++records;
    }
    EXPECT_EQ(log.RecordCount(), records);
}

TEST(LogStore, RowIndexIsAssignedByTheStore)
{
    LogStore log;
    log.AddMessageRow(L"<a>", kStamp);
    tagLOGDATA r = Reading(1, 50, 20.0, 3700);
    r.rowIndex = 999;
    log.AddMeasurementRow(r);
    EXPECT_EQ(log.Record(0).rowIndex, 1);
}

TEST(LogStore, CellTextIsCutToTheBuffer)
{
    LogStore log;
    log.AddMeasurementRow(Reading(7, 85, 25.04, 3801));
    const std::wstring longText(100000, L'x');
    log.AddMessageRow(L"<" + longText, kStamp);

    wchar_t buf[16];
    std::fill(std::begin(buf), std::end(buf), L'#');
    EXPECT_EQ(log.CellText(0, kLogColDate, buf, 0), 0u);
    EXPECT_EQ(buf[0], L'#');

    EXPECT_EQ(log.CellText(0, kLogColDate, buf, 1), 0u);
    EXPECT_EQ(buf[0], L'\0');

    EXPECT_EQ(log.CellText(0, kLogColDate, buf, 5), 4u);
    EXPECT_EQ(std::wstring(buf), L"2019");
    EXPECT_EQ(buf[5], L'#');

    EXPECT_EQ(log.CellText(0, kLogColTime, buf, 9), 8u);
    EXPECT_EQ(std::wstring(buf), L"09:05:07");

    EXPECT_EQ(log.CellText(1, kLogColMessage, buf, 8), 7u);
    EXPECT_EQ(std::wstring(buf), L"<xxxxxx");

    std::vector<wchar_t> big(200000, L'#');
    EXPECT_EQ(log.CellText(1, kLogColMessage, big.data(), big.size()), 100001u);
    EXPECT_EQ(big[100001], L'\0');

    for (int column : {-1, 6, 1000}) {
        buf[0] = L'#';
        EXPECT_EQ(log.CellText(0, column, buf, 16), 0u);
        EXPECT_EQ(buf[0], L'\0');
    }
}

TEST(LogStore, MessageTextsSurviveLaterAppends)
{
    LogStore log;
    std::vector<std::wstring> texts;
    for (int i = 0; i < 1500; ++i) {
        // Lengths from 0 to beyond a shared block.
        const size_t length = static_cast<size_t>((i * 37) % 5000);
        texts.push_back(std::wstring(length, static_cast<wchar_t>(L'a' + i % 26)));
        log.AddMessageRow(texts.back(), kStamp);
    }
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(log.CellText(i, kLogColMessage), texts[i]) << i;
}

TEST(LogStore, ClearAndSwap)
{
    LogStore a;
    a.AddMeasurementRow(Reading(1, 10, 1.0, 1));
    a.AddMessageRow(L"<a>", kStamp);
    LogStore b;
    b.AddMessageRow(L"<b>", kStamp);

    a.Swap(b);
    EXPECT_EQ(a.RowCount(), 1u);
    EXPECT_EQ(a.CellText(0, kLogColMessage), L"<b>");
    EXPECT_EQ(b.RecordCount(), 1u);
    EXPECT_EQ(b.CellText(1, kLogColMessage), L"<a>");

    b.Clear();
    EXPECT_EQ(b.RowCount(), 0u);
    EXPECT_EQ(b.RecordCount(), 0u);
    b.AddMeasurementRow(Reading(2, 20, 2.0, 2));
    EXPECT_EQ(b.Record(0).rowIndex, 0);
    EXPECT_EQ(b.CellText(0, kLogColRsoc), L"20");
}

TEST(LogList, RowColours)
{
    struct Case {
        size_t item, count;
        int32_t kind;
        bool own;
        uint32_t background, text;
    };
    const uint32_t grey = LogRgb(240, 240, 240), cyan = LogRgb(164, 255, 255);
    const uint32_t black = LogRgb(0, 0, 0), red = LogRgb(255, 0, 0);
    const Case cases[] = {
        {0, 3, kLogRowMeasurement, false, 0, black},
        {1, 3, kLogRowMeasurement, true, grey, black},
        {2, 3, kLogRowMessage, true, cyan, red},
        {1, 2, kLogRowMeasurement, true, cyan, black}, // last row wins over odd
        {0, 1, kLogRowMessage, true, cyan, red},       // a single row is the last row
        {4, 9, kLogRowMessage, false, 0, red},
    };
    for (const Case& c : cases) {
        const LogRowColours got = LogRowColoursFor(c.item, c.count, c.kind);
        EXPECT_EQ(got.ownBackground, c.own) << c.item << "/" << c.count;
        if (c.own) {
            EXPECT_EQ(got.background, c.background) << c.item << "/" << c.count;
        }
        EXPECT_EQ(got.text, c.text) << c.item << "/" << c.count;
    }
    EXPECT_EQ(red, 0x000000FFu);
}

TEST(LogList, FollowsNewRowOnlyWhileTheEndIsInView)
{
    EXPECT_TRUE(LogListFollowsNewRow(0, 20, 0));     // empty list
    EXPECT_TRUE(LogListFollowsNewRow(80, 20, 100));  // last row at the bottom
    EXPECT_TRUE(LogListFollowsNewRow(90, 20, 100));
    EXPECT_FALSE(LogListFollowsNewRow(79, 20, 100)); // scrolled up by one
    EXPECT_FALSE(LogListFollowsNewRow(0, 20, 100));
}
