#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "log/LogFile.h"
#include "log/LogLine.h"

namespace fs = std::filesystem;

namespace {

constexpr LogTime kLoadTime = {2024, 5, 6, 7, 8, 9};

LogTime FixedClock()
{
    return kLoadTime;
}

tagLOGDATA Reading(int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2019;
    r.month = 1;
    r.day = 18;
    r.hour = 9;
    r.minute = 5;
    r.second = 7;
    r.rsoc = rsoc;
    r.temperature = temperature;
    r.voltage = voltage;
    return r;
}

std::string Line(const tagLOGDATA& r)
{
    char buf[kLogLineMaxChars];
    return std::string(buf, FormatMeasurementLine(buf, r));
}

tagLOGDATA Parse(const std::string& line)
{
    return ParseMeasurementLine(line.data(), line.size());
}

// Decodes UTF-8 so that tests can see characters of more than one byte.
void Utf8ToWide(const char* bytes, size_t n, std::wstring& out)
{
    out.clear();
    for (size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < n) {
            out += static_cast<wchar_t>(((c & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < n) {
            out += static_cast<wchar_t>(((c & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F));
            i += 3;
        } else {
            out += L'?';
            ++i;
        }
    }
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("vantrel_log_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::wstring Path(const char* name) const { return (dir_ / name).wstring(); }

    void WriteBytes(const char* name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    std::string ReadBytes(const char* name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    LogLoadResult Load(const std::string& bytes, LogStore& into)
    {
        WriteBytes("in.txt", bytes);
        return LoadLogFile(Path("in.txt"), into, Latin1LogTextCodec(), FixedClock);
    }

    fs::path dir_;
};

} // namespace

TEST(LogLine, Format)
{
    EXPECT_EQ(Line(Reading(85, 25.04, 3801)), "2019/01/18 09:05:07, 85, 25.0, 3801");
    EXPECT_EQ(Line(Reading(kLogRsocStandby, 25.0, 3801)), "2019/01/18 09:05:07,Standby, 25.0, 3801");
    EXPECT_EQ(Line(tagLOGDATA{}), "0000/00/00 00:00:00, 0, 0.0, 0");
}

TEST(LogLine, Parse)
{
    struct Case {
        const char* line;
        int16_t year, month, day, hour, minute, second;
        int32_t rsoc;
        double temperature;
        uint16_t voltage;
    };
    const Case cases[] = {
        {"2019/01/18 09:05:07, 85, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 85, 25.0, 3801},
        // The blank that ", " leaves keeps the word from matching.
        {"2019/01/18 09:05:07, Standby, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 0, 25.0, 3801},
        {"2019/01/18 09:05:07,Standby, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        {"2019/01/18 09:05:07,STANDBY, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        {"2019/01/18 09:05:07,Standbyx, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 0, 25.0, 3801},
        // How earlier versions wrote a standby record.
        {"2019/01/18 09:05:07, 4294967295, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        {"", 0, 0, 0, 0, 0, 0, 0, 0.0, 0},
        {"2019/1/8 10:05:07, 85, 25.0, 3801", 2019, 1, 1, 0, 0, 0, 85, 25.0, 3801},
        {",,,2019/01/18 09:05:07,,85,\n,-4.5,3801,extra", 2019, 1, 18, 9, 5, 7, 85, -4.5, 3801},
        {"2019/01/18 09:05:07, 85", 2019, 1, 18, 9, 5, 7, 85, 0.0, 0},
        {"2019/01/18 09:05:07, 85, 2.5e1, 70000", 2019, 1, 18, 9, 5, 7, 85, 25.0, 4464},
        {"2019/01/18 09:05:07, 85, 25.0, -1", 2019, 1, 18, 9, 5, 7, 85, 25.0, 65535},
        {"2019", 2019, 0, 0, 0, 0, 0, 0, 0.0, 0},
        {"garbage line", 0, 0, 0, 0, 0, 0, 0, 0.0, 0},
        {"-001/-1/-1 -1:-1:-1, 1, 2, 3", -1, -1, -1, -1, -1, -1, 1, 2.0, 3},
    };
    for (const Case& c : cases) {
        const tagLOGDATA r = Parse(c.line);
        EXPECT_EQ(r.year, c.year) << c.line;
        EXPECT_EQ(r.month, c.month) << c.line;
        EXPECT_EQ(r.day, c.day) << c.line;
        EXPECT_EQ(r.hour, c.hour) << c.line;
        EXPECT_EQ(r.minute, c.minute) << c.line;
        EXPECT_EQ(r.second, c.second) << c.line;
        EXPECT_EQ(r.rsoc, c.rsoc) << c.line;
        EXPECT_EQ(r.temperature, c.temperature) << c.line;
        EXPECT_EQ(r.voltage, c.voltage) << c.line;
        EXPECT_EQ(r.rowIndex, 0) << c.line;
    }
}

TEST(LogLine, FormattedLinesParseBack)
{
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> any16(-1, 9999);
    std::uniform_int_distribution<int32_t> anyRsoc(-10, 300);
    std::uniform_real_distribution<double> anyTemp(-300.0, 300.0);
    std::uniform_int_distribution<int> anyVolt(0, 65535);
    for (int i = 0; i < 20000; ++i) {
        tagLOGDATA r{};
        r.year = static_cast<int16_t>(any16(gen));
        r.month = static_cast<int16_t>(any16(gen) % 100);
        r.day = static_cast<int16_t>(any16(gen) % 100);
        r.hour = static_cast<int16_t>(any16(gen) % 100);
        r.minute = static_cast<int16_t>(any16(gen) % 100);
        r.second = static_cast<int16_t>(any16(gen) % 100);
        r.rsoc = i % 50 == 0 ? kLogRsocStandby : anyRsoc(gen);
        r.temperature = anyTemp(gen);
        r.voltage = static_cast<uint16_t>(anyVolt(gen));
        const std::string line = Line(r);
        const tagLOGDATA back = Parse(line);
        char temp[kFixed1MaxChars];
        const size_t n = FormatFixed1(temp, r.temperature);
        ASSERT_EQ(back.year, r.year) << line;
        ASSERT_EQ(back.month, r.month) << line;
        ASSERT_EQ(back.day, r.day) << line;
        ASSERT_EQ(back.hour, r.hour) << line;
        ASSERT_EQ(back.minute, r.minute) << line;
        ASSERT_EQ(back.second, r.second) << line;
        ASSERT_EQ(back.rsoc, r.rsoc) << line;
        ASSERT_EQ(back.temperature, ParseDouble(temp, temp + n)) << line;
        ASSERT_EQ(back.voltage, r.voltage) << line;
    }
}

TEST_F(LogFileTest, EmptyLogStoresAnEmptyFile)
{
    LogStore log;
    const LogStoreResult result = StoreLogFile(Path("out.txt"), log, Latin1LogTextCodec());
    EXPECT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_TRUE(fs::exists(dir_ / "out.txt"));
    EXPECT_EQ(ReadBytes("out.txt"), "");
}

TEST_F(LogFileTest, StoresOneLinePerRowWithCrLf)
{
    LogStore log;
    log.AddMeasurementRow(Reading(85, 25.04, 3801));
    log.AddMessageRow(L"<Communicate> Period of measure:2s", kLoadTime);
    log.AddMeasurementRow(Reading(kLogRsocStandby, -3.0, 0));
    log.AddMessageRow(L"", LogTime{2001, 2, 3, 4, 5, 6});
    const LogStoreResult result = StoreLogFile(Path("out.txt"), log, Latin1LogTextCodec());
    EXPECT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_EQ(result.rowsWritten, 4u);
    EXPECT_EQ(ReadBytes("out.txt"),
              "2019/01/18 09:05:07, 85, 25.0, 3801\r\n"
              "<Communicate> Period of measure:2s\r\n"
              "2019/01/18 09:05:07,Standby, -3.0, 0\r\n"
              "2001/02/03 04:05:06, , , \r\n");
}

TEST_F(LogFileTest, StoreThenLoadGivesTheSameLog)
{
    LogStore log;
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> temp(-40.0, 90.0);
    for (int i = 0; i < 30000; ++i) {
        if (i % 1000 == 17)
            log.AddMessageRow(L"<message \u00e9 " + std::to_wstring(i) + L">", LogTime{2000, 1, 1, 0, 0, 0});
        else
            log.AddMeasurementRow(Reading(i % 101 == 0 ? kLogRsocStandby : i % 100, temp(gen),
                                          static_cast<uint16_t>(3000 + i % 1200)));
    }
    ASSERT_EQ(StoreLogFile(Path("log.txt"), log, Latin1LogTextCodec()).status, LogFileStatus::Ok);

    LogStore loaded;
    const LogLoadResult result = LoadLogFile(Path("log.txt"), loaded, Latin1LogTextCodec(), FixedClock);
    ASSERT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_EQ(result.rows, log.RowCount());
    EXPECT_EQ(result.records, log.RecordCount());
    ASSERT_EQ(loaded.RowCount(), log.RowCount());
    ASSERT_EQ(loaded.RecordCount(), log.RecordCount());
    for (size_t row = 0; row < log.RowCount(); ++row) {
        const tagLOGSTRING a = log.Row(row);
        const tagLOGSTRING b = loaded.Row(row);
        ASSERT_EQ(b.kind, a.kind) << row;
        ASSERT_EQ(b.message, a.message) << row;
        ASSERT_EQ(b.rsoc, a.rsoc) << row;
        ASSERT_EQ(b.temperature, a.temperature) << row;
        ASSERT_EQ(b.voltage, a.voltage) << row;
        if (a.kind == kLogRowMessage) {
            ASSERT_EQ(b.date, L"2024/05/06") << row; // stamped at the load
            ASSERT_EQ(b.time, L"07:08:09") << row;
        } else {
            ASSERT_EQ(b.date, a.date) << row;
            ASSERT_EQ(b.time, a.time) << row;
        }
    }
    for (size_t i = 0; i < log.RecordCount(); ++i) {
        ASSERT_EQ(loaded.Record(i).rowIndex, log.Record(i).rowIndex);
        ASSERT_EQ(loaded.Record(i).rsoc, log.Record(i).rsoc);
        ASSERT_NEAR(loaded.Record(i).temperature, log.Record(i).temperature, 0.05 + 1e-9);
    }
}

TEST_F(LogFileTest, LineEnds)
{
    struct Case {
        std::string bytes;
        std::vector<std::wstring> messages; // L"" marks a measurement row
    };
    const Case cases[] = {
        {"", {}},
        {"\n", {L""}},
        {"\r\n\r\n", {L"", L""}},
        {"<a>\r\n<b>", {L"<a>", L"<b>"}},
        {"<a>\n<b>\n", {L"<a>", L"<b>"}},
        {"<a\rb>\r\r\n<c>\r", {L"<a\rb>\r", L"<c>\r"}},
    };
    for (const Case& c : cases) {
        LogStore log;
        const LogLoadResult result = Load(c.bytes, log);
        EXPECT_EQ(result.status, LogFileStatus::Ok);
        ASSERT_EQ(log.RowCount(), c.messages.size()) << c.bytes;
        for (size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(log.CellText(i, kLogColMessage), c.messages[i]) << c.bytes;
    }
}

TEST_F(LogFileTest, BlankLineLoadsAsAZeroRow)
{
    LogStore log;
    Load("\r\n", log);
    ASSERT_EQ(log.RowCount(), 1u);
    const tagLOGSTRING row = log.Row(0);
    EXPECT_EQ(row.date, L"0000/00/00");
    EXPECT_EQ(row.time, L"00:00:00");
    EXPECT_EQ(row.rsoc, L"0");
    EXPECT_EQ(row.temperature, L"0.0");
    EXPECT_EQ(row.voltage, L"0");
    EXPECT_EQ(row.kind, kLogRowMeasurement);
}

TEST_F(LogFileTest, LinesAcrossReadChunks)
{
    // Lines of growing length so that many of them straddle the reader's chunks.
    std::string bytes;
    std::vector<std::string> lines;
    for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
        std::string line = i % 3 == 0 ? "<" + std::string(static_cast<size_t>(i % 4000), 'm')
                                       : "2019/01/18 09:05:07, " + std::to_string(i) + ", 1.5, " +
                                             std::to_string(i % 65536) + std::string(static_cast<size_t>(i % 3000), ' ');
        bytes += line + (i % 2 ? "\r\n" : "\n");
        lines.push_back(line);
    }
    LogStore log;
    ASSERT_EQ(Load(bytes, log).status, LogFileStatus::Ok);
    ASSERT_EQ(log.RowCount(), lines.size());
    size_t record = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i][0] == '<') {
            ASSERT_EQ(log.CellText(i, kLogColMessage), std::wstring(lines[i].begin(), lines[i].end())) << i;
        } else {
            ASSERT_EQ(log.Record(record).rsoc, static_cast<int32_t>(i)) << i;
            ASSERT_EQ(log.Record(record).voltage, static_cast<uint16_t>(i % 65536)) << i;
            ++record;
        }
    }
}

TEST_F(LogFileTest, HugeLinesLoad)
{
    const std::string message = "<" + std::string(3 * 1024 * 1024, 'q');
    const std::string endless = "2019/01/18 09:05:07, 85, 25.0, 3801" + std::string(5 * 1024 * 1024, '7');
    LogStore log;
    ASSERT_EQ(Load(message + "\r\n" + endless, log).status, LogFileStatus::Ok);
    ASSERT_EQ(log.RowCount(), 2u);
    EXPECT_EQ(log.MessageText(0).size(), message.size());
    EXPECT_EQ(log.Record(0).rsoc, 85);
    // The digits run on past the 32-bit range; the low 16 bits of the clamped value remain.
    EXPECT_EQ(log.Record(0).voltage, 0xFFFF);
}

TEST_F(LogFileTest, MeasurementPositionsCountCharacters)
{
    const LogTextCodec utf8{&Utf8ToWide, Latin1LogTextCodec().toBytes};
    WriteBytes("in.txt", "\xC3\xA9" "019/01/18 09:05:07, 85, 25.0, 3801\n");
    LogStore log;
    ASSERT_EQ(LoadLogFile(Path("in.txt"), log, utf8, FixedClock).status, LogFileStatus::Ok);
    ASSERT_EQ(log.RecordCount(), 1u);
    EXPECT_EQ(log.Record(0).year, 0);
    EXPECT_EQ(log.Record(0).month, 1); // byte positions would give "/0"
    EXPECT_EQ(log.Record(0).second, 7);
    EXPECT_EQ(log.Record(0).voltage, 3801);
}

TEST_F(LogFileTest, MessageTextUsesTheCodec)
{
    LogStore log;
    Load("<caf\xE9>\r\n", log);
    EXPECT_EQ(log.CellText(0, kLogColMessage), L"<caf\u00e9>");
    ASSERT_EQ(StoreLogFile(Path("out.txt"), log, Latin1LogTextCodec()).status, LogFileStatus::Ok);
    EXPECT_EQ(ReadBytes("out.txt"), "<caf\xE9>\r\n");
}

TEST_F(LogFileTest, UnrepresentableCharacterStopsTheStore)
{
    LogStore log;
    log.AddMeasurementRow(Reading(85, 25.0, 3801));
    log.AddMessageRow(L"<\u901a\u4fe1>", kLoadTime);
    log.AddMeasurementRow(Reading(86, 25.0, 3801));
    const LogStoreResult result = StoreLogFile(Path("out.txt"), log, Latin1LogTextCodec());
    EXPECT_EQ(result.status, LogFileStatus::Unrepresentable);
    EXPECT_EQ(result.rowsWritten, 1u);
    EXPECT_EQ(ReadBytes("out.txt"), "2019/01/18 09:05:07, 85, 25.0, 3801\r\n");
}

TEST_F(LogFileTest, FailuresAreReported)
{
    LogStore log;
    log.AddMeasurementRow(Reading(85, 25.0, 3801));

    EXPECT_EQ(StoreLogFile(Path("missing/out.txt"), log, Latin1LogTextCodec()).status,
              LogFileStatus::OpenFailed);

    // A load that cannot open its file leaves the log as it was.
    const LogLoadResult missing = LoadLogFile(Path("missing.txt"), log, Latin1LogTextCodec(), FixedClock);
    EXPECT_EQ(missing.status, LogFileStatus::OpenFailed);
    EXPECT_EQ(log.RowCount(), 1u);

    // Reading a stream that cannot be read.
    std::FILE* writeOnly = OpenLogFile(Path("w.txt"), "wb");
    ASSERT_NE(writeOnly, nullptr);
    LogStore side;
    EXPECT_EQ(ReadLog(writeOnly, side, Latin1LogTextCodec(), FixedClock).status, LogFileStatus::ReadFailed);
    std::fclose(writeOnly);

    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        EXPECT_EQ(WriteLog(full, log, Latin1LogTextCodec()).status, LogFileStatus::WriteFailed);
        std::fclose(full);
    }
}

TEST_F(LogFileTest, LoadAppendsAfterExistingRows)
{
    LogStore log;
    log.AddMessageRow(L"<before>", kLoadTime);
    const LogLoadResult result = Load("2019/01/18 09:05:07, 85, 25.0, 3801\r\n", log);
    EXPECT_EQ(result.records, 1u);
    EXPECT_EQ(result.rows, 1u);
    EXPECT_EQ(log.Record(0).rowIndex, 1);
}
