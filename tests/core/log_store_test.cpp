#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/LogList.h"
#include "log/LogStore.h"

namespace {

tagLOGDATA Reading(int16_t second, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2019, r.month = 1, r.day = 18, r.hour = 9, r.minute = 5, r.second = second;
    r.rsoc = rsoc, r.temperature = temperature, r.voltage = voltage;
    return r;
}

constexpr LogTime kStamp = {2020, 2, 29, 23, 59, 1};

std::vector<std::wstring> Cells(const LogStore& log, size_t row)
{
    const tagLOGSTRING s = log.Row(row);
    return {s.date, s.time, s.rsoc, s.temperature, s.voltage, s.message, std::to_wstring(s.kind)};
}

} // namespace

TEST(LogStore, RowTexts)
{
    LogStore log;
    tagLOGDATA unknownTime{};
    unknownTime.hour = unknownTime.minute = unknownTime.second = -1;
    unknownTime.temperature = -273.2;
    const std::wstring text = L"<Communicate> \u901a\u4fe1 \u2103";

    log.AddMeasurementRow(Reading(7, 85, 25.04, 3801));
    log.AddMeasurementRow(unknownTime);
    log.AddMeasurementRow(Reading(0, kLogRsocStandby, -0.04, 65535));
    log.AddMeasurementRow(Reading(0, -5, 0.0, 0));
    log.AddMessageRow(text, kStamp);
    log.AddMessageRow(L"<late>", kLogTimeUnknown);

    using Row = std::vector<std::wstring>;
    EXPECT_EQ(Cells(log, 0), (Row{L"2019/01/18", L"09:05:07", L"85", L"25.0", L"3801", L"", L"0"}));
    EXPECT_EQ(Cells(log, 1), (Row{L"0000/00/00", L"-1:-1:-1", L"0", L"-273.2", L"0", L"", L"0"}));
    EXPECT_EQ(Cells(log, 2), (Row{L"2019/01/18", L"09:05:00", L"Standby", L"-0.0", L"65535", L"", L"0"}));
    EXPECT_EQ(Cells(log, 3), (Row{L"2019/01/18", L"09:05:00", L"4294967291", L"0.0", L"0", L"", L"0"}));
    EXPECT_EQ(Cells(log, 4), (Row{L"2020/02/29", L"23:59:01", L"", L"", L"", text, L"1"}));
    EXPECT_EQ(Cells(log, 5), (Row{L"0000/00/00", L"-1:-1:-1", L"", L"", L"", L"<late>", L"1"}));
    EXPECT_EQ(log.RecordCount(), 4u);
}

TEST(LogStore, RecordsPointAtTheirRowsAcrossChunks)
{
    LogStore log;
    const int total = 50000; // crosses several chunks of every internal array
    for (int i = 0; i < total; ++i) {
        tagLOGDATA r = Reading(static_cast<int16_t>(i % 60), i, i / 10.0, static_cast<uint16_t>(i));
        r.rowIndex = 999; // the store assigns it
        if (i % 7 == 3)
            log.AddMessageRow(L"<m" + std::to_wstring(i) + L">", kStamp);
        else
            log.AddMeasurementRow(r);
    }
    ASSERT_EQ(log.RowCount(), static_cast<size_t>(total));
    size_t records = 0;
    for (size_t row = 0; row < log.RowCount(); ++row) {
        if (row % 7 == 3) {
            ASSERT_EQ(log.RowKind(row), kLogRowMessage);
            ASSERT_EQ(log.CellText(row, kLogColMessage), L"<m" + std::to_wstring(row) + L">");
            continue;
        }
        ASSERT_EQ(log.RowKind(row), kLogRowMeasurement);
        ASSERT_EQ(log.RecordIndexOfRow(row), records);
        ASSERT_EQ(log.Record(records).rowIndex, static_cast<int32_t>(row));
        ASSERT_EQ(log.Record(records).rsoc, static_cast<int32_t>(row));
        ++records;
    }
    EXPECT_EQ(log.RecordCount(), records);
}

TEST(LogStore, CellTextIsCutToTheBuffer)
{
    LogStore log;
    log.AddMeasurementRow(Reading(7, 85, 25.04, 3801));
    log.AddMessageRow(L"<" + std::wstring(100000, L'x'), kStamp);

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

TEST(LogStore, ClearAndSwap)
{
    LogStore a, b;
    a.AddMeasurementRow(Reading(1, 10, 1.0, 1));
    a.AddMessageRow(L"<a>", kStamp);
    b.AddMessageRow(L"<b>", kStamp);
    a.Swap(b);
    EXPECT_EQ(a.RowCount(), 1u);
    EXPECT_EQ(a.CellText(0, kLogColMessage), L"<b>");
    EXPECT_EQ(b.CellText(1, kLogColMessage), L"<a>");

    b.Clear();
    EXPECT_EQ(b.RowCount() + b.RecordCount(), 0u);
    b.AddMeasurementRow(Reading(2, 20, 2.0, 2));
    EXPECT_EQ(b.Record(0).rowIndex, 0);
    EXPECT_EQ(b.CellText(0, kLogColRsoc), L"20");
}

TEST(LogList, RowColours)
{
    const uint32_t grey = LogRgb(240, 240, 240), cyan = LogRgb(164, 255, 255);
    const uint32_t black = LogRgb(0, 0, 0), red = LogRgb(255, 0, 0);
    struct Case {
        size_t item, count;
        int32_t kind;
        bool own;
        uint32_t background, text;
    } const cases[] = {
        {0, 3, kLogRowMeasurement, false, 0, black}, {1, 3, kLogRowMeasurement, true, grey, black},
        {2, 3, kLogRowMessage, true, cyan, red},     {1, 2, kLogRowMeasurement, true, cyan, black},
        {0, 1, kLogRowMessage, true, cyan, red},     {4, 9, kLogRowMessage, false, 0, red},
    };
    for (const Case& c : cases) {
        const LogRowColours got = LogRowColoursFor(c.item, c.count, c.kind);
        EXPECT_EQ(got.ownBackground, c.own) << c.item << "/" << c.count;
        EXPECT_EQ(got.ownBackground ? got.background : 0, c.background) << c.item << "/" << c.count;
        EXPECT_EQ(got.text, c.text) << c.item << "/" << c.count;
    }
    EXPECT_EQ(red, 0x000000FFu); // COLORREF order
}
