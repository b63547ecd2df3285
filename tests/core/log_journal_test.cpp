#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "log/JournalFiles.h"
#include "log/LogFile.h"

namespace {
tagLOGDATA Reading(int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2026, r.month = 12, r.day = 9, r.hour = 17, r.minute = 4, r.second = 59;
    r.rsoc = rsoc, r.temperature = temperature, r.voltage = voltage;
    return r;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}

TEST(JournalFiles, NamesSortByStartAndAreRecognised)
{
    const LogTime t = {2026, 1, 2, 3, 4, 5};
    EXPECT_EQ(JournalFileName(t), L"Vantrel_20260102_030405.txt");
    EXPECT_EQ(JournalFileName(t, 3), L"Vantrel_20260102_030405_3.txt");
    EXPECT_TRUE(IsJournalFileName(L"Vantrel_20260102_030405.txt"));
    EXPECT_TRUE(IsJournalFileName(L"Vantrel_20260102_030405_12.txt"));
    for (const wchar_t* other : {L"Vantrel_2026010_030405.txt", L"vantrel_20260102_030405.txt", L"notes.txt",
                                 L"Vantrel_20260102_030405_.txt", L"Vantrel_20260102-030405.txt",
                                 L"Vantrel_20260102_030405.log", L"Vantrel_20260102_030405_x.txt"})
        EXPECT_FALSE(IsJournalFileName(other)) << std::wstring(other).size();
}

TEST(JournalFiles, KeepsTheNewestRunsAndLeavesOtherFilesAlone)
{
    std::vector<std::wstring> names;
    for (int day = 1; day <= 31; ++day) names.push_back(JournalFileName({2026, 3, static_cast<int16_t>(day), 8, 0, 0}));
    names.push_back(JournalFileName({2026, 3, 31, 8, 0, 0}, 1));
    names.push_back(JournalFileName({2026, 3, 31, 8, 0, 0}, 10));
    names.push_back(JournalFileName({2026, 3, 31, 8, 0, 0}, 2));
    names.push_back(L"my notes.txt");
    // 34 runs exist; with the new one 30 remain, so the 5 oldest go.
    const auto gone = JournalFilesToRemove(names);
    ASSERT_EQ(gone.size(), 5u);
    for (int day = 1; day <= 5; ++day)
        EXPECT_EQ(gone[static_cast<size_t>(day - 1)], JournalFileName({2026, 3, static_cast<int16_t>(day), 8, 0, 0}));
    EXPECT_TRUE(JournalFilesToRemove({L"a.txt", JournalFileName({2026, 1, 1, 0, 0, 0})}).empty());
    // With keep 2 and attempts of one second, _10 is newer than _2.
    const auto keepTwo = JournalFilesToRemove({JournalFileName({2026, 3, 31, 8, 0, 0}, 10),
                                               JournalFileName({2026, 3, 31, 8, 0, 0}, 2)}, 2);
    ASSERT_EQ(keepTwo.size(), 1u);
    EXPECT_EQ(keepTwo[0], JournalFileName({2026, 3, 31, 8, 0, 0}, 2));
}

TEST(JournalFiles, RowLinesAreExactlyTheLogFileLines)
{
    LogStore log;
    log.AddMessageRow(L"<Start measure>", {2026, 12, 9, 17, 4, 58});
    log.AddMeasurementRow(Reading(87, 25.3, 3981));
    log.AddMeasurementRow(Reading(kLogRsocStandby, -3.5, 0));
    log.AddMessageRow(L"", {2026, 12, 9, 17, 5, 0});
    log.AddMessageRow(L"<Interval 5 sec>", {2026, 12, 9, 17, 5, 1});

    std::string journal;
    for (size_t row = 0; row < log.RowCount(); ++row)
        ASSERT_TRUE(FormatLogRowLine(log, row, Latin1LogTextCodec(), journal));
    EXPECT_FALSE(FormatLogRowLine(log, log.RowCount(), Latin1LogTextCodec(), journal));

    const std::string path = (std::filesystem::temp_directory_path() / "vantrel_journal_lines.txt").string();
    ASSERT_EQ(StoreLogFile(std::wstring(path.begin(), path.end()), log, Latin1LogTextCodec()).status,
              LogFileStatus::Ok);
    EXPECT_EQ(journal, ReadAll(path));
    std::remove(path.c_str());
}
