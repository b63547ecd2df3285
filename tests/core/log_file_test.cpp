#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <csignal>
#include <sys/resource.h>
#include <string>
#include <tuple>
#include <vector>

#include "log/CodePageMode.h"
#include "log/LogFile.h"
#include "log/LogLine.h"
#include "log/LogStoreNotice.h"

namespace fs = std::filesystem;

namespace {

constexpr LogTime kLoadTime = {2024, 5, 6, 7, 8, 9};

LogTime FixedClock() { return kLoadTime; }

tagLOGDATA Reading(int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2019, r.month = 1, r.day = 18, r.hour = 9, r.minute = 5, r.second = 7;
    r.rsoc = rsoc, r.temperature = temperature, r.voltage = voltage;
    return r;
}

auto Fields(const tagLOGDATA& r)
{
    return std::make_tuple(r.rowIndex, r.year, r.month, r.day, r.hour, r.minute, r.second, r.rsoc,
                           r.temperature, r.voltage);
}

std::string Line(const tagLOGDATA& r)
{
    char buf[kLogLineMaxChars];
    return std::string(buf, FormatMeasurementLine(buf, r));
}

// A double-byte code page in miniature: a byte >= 0x80 and the byte after it are one character.
void DoubleByteToWide(const char* bytes, size_t n, std::wstring& out)
{
    out.clear();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        out += c < 0x80 || i + 1 == n ? static_cast<wchar_t>(c)
                                      : static_cast<wchar_t>(0x3000 + (c << 8 | static_cast<unsigned char>(bytes[++i])) % 0x1000);
    }
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("vantrel_log_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::wstring Path(const char* name) const { return (dir_ / name).wstring(); }
    void WriteBytes(const char* name, const std::string& bytes) const { std::ofstream(dir_ / name, std::ios::binary) << bytes; }
    std::string ReadBytes(const char* name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    LogStoreResult Store(const LogStore& log) const { return StoreLogFile(Path("out.txt"), log, Latin1LogTextCodec()); }
    LogLoadResult Load(const std::string& bytes, LogStore& into, const LogTextCodec& codec = Latin1LogTextCodec()) const
    {
        WriteBytes("in.txt", bytes);
        return LoadLogFile(Path("in.txt"), into, codec, FixedClock);
    }

    fs::path dir_;
};

} // namespace

TEST(LogLine, Parse)
{
    struct Case {
        const char* line;
        int16_t year, month, day, hour, minute, second;
        int32_t rsoc;
        double temperature;
        uint16_t voltage;
    } const cases[] = {
        {"2019/01/18 09:05:07, 85, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 85, 25.0, 3801},
        // The blank that ", " leaves keeps the word from matching.
        {"2019/01/18 09:05:07, Standby, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 0, 25.0, 3801},
        {"2019/01/18 09:05:07,Standby, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        {"2019/01/18 09:05:07,STANDBY, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        {"2019/01/18 09:05:07,Standbyx, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 0, 25.0, 3801},
        // How earlier versions wrote a standby record.
        {"2019/01/18 09:05:07, 4294967295, 25.0, 3801", 2019, 1, 18, 9, 5, 7, -1, 25.0, 3801},
        // Any other value beyond the 32-bit range takes the nearest limit.
        {"2019/01/18 09:05:07, 3000000000, 25.0, 3801", 2019, 1, 18, 9, 5, 7, 2147483647, 25.0, 3801},
        {"2019/01/18 09:05:07, -3000000000, 25.0, 3801", 2019, 1, 18, 9, 5, 7, INT32_MIN, 25.0, 3801},
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
        tagLOGDATA want{};
        want.year = c.year, want.month = c.month, want.day = c.day;
        want.hour = c.hour, want.minute = c.minute, want.second = c.second;
        want.rsoc = c.rsoc, want.temperature = c.temperature, want.voltage = c.voltage;
        EXPECT_EQ(Fields(ParseMeasurementLine(c.line, std::strlen(c.line))), Fields(want)) << c.line;
    }
}

TEST(LogLine, FormattedLinesParseBack)
{
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> field(-1, 9999), rsoc(-10, 300), volt(0, 65535);
    std::uniform_real_distribution<double> temp(-300.0, 300.0);
    for (int i = 0; i < 20000; ++i) {
        tagLOGDATA r{};
        int16_t* const fields[] = {&r.year, &r.month, &r.day, &r.hour, &r.minute, &r.second};
        for (int16_t* f : fields)
            *f = static_cast<int16_t>(f == &r.year ? field(gen) : field(gen) % 100);
        r.rsoc = i % 50 == 0 ? kLogRsocStandby : rsoc(gen);
        r.temperature = temp(gen);
        r.voltage = static_cast<uint16_t>(volt(gen));
        const std::string line = Line(r);
        const tagLOGDATA back = ParseMeasurementLine(line.data(), line.size());
        char text[kFixed1MaxChars];
        const size_t n = FormatFixed1(text, r.temperature);
        r.temperature = ParseDouble(text, text + n); // what the line holds
        // "%u" of a negative RSOC other than standby is beyond the signed range.
        if (r.rsoc < kLogRsocStandby) r.rsoc = INT32_MAX;
        ASSERT_EQ(Fields(back), Fields(r)) << line;
    }
}

TEST_F(LogFileTest, StoresOneLinePerRowWithCrLf)
{
    LogStore log;
    ASSERT_EQ(Store(log).status, LogFileStatus::Ok);
    EXPECT_TRUE(fs::exists(dir_ / "out.txt"));
    EXPECT_EQ(ReadBytes("out.txt"), ""); // an empty log stores an empty file

    log.AddMeasurementRow(Reading(85, 25.04, 3801));
    log.AddMessageRow(L"<Communicate> Period of measure:2s", kLoadTime);
    log.AddMeasurementRow(Reading(kLogRsocStandby, -3.0, 0));
    log.AddMessageRow(L"", LogTime{2001, 2, 3, 4, 5, 6});
    log.AddMessageRow(L"<caf\u00e9>", kLoadTime);
    const LogStoreResult result = Store(log);
    EXPECT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_EQ(result.rowsWritten, 5u);
    EXPECT_EQ(ReadBytes("out.txt"), "2019/01/18 09:05:07, 85, 25.0, 3801\r\n"
                                    "<Communicate> Period of measure:2s\r\n"
                                    "2019/01/18 09:05:07,Standby, -3.0, 0\r\n"
                                    "2001/02/03 04:05:06, , , \r\n"
                                    "<caf\xE9>\r\n");
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
            log.AddMeasurementRow(Reading(i % 101 == 0 ? kLogRsocStandby : i % 100, temp(gen), static_cast<uint16_t>(i)));
    }
    ASSERT_EQ(Store(log).status, LogFileStatus::Ok);
    LogStore loaded;
    const LogLoadResult result = LoadLogFile(Path("out.txt"), loaded, Latin1LogTextCodec(), FixedClock);
    ASSERT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_EQ(result.rows, log.RowCount());
    EXPECT_EQ(result.records, log.RecordCount());
    ASSERT_EQ(loaded.RowCount(), log.RowCount());
    ASSERT_EQ(loaded.RecordCount(), log.RecordCount());
    for (size_t row = 0; row < log.RowCount(); ++row) {
        tagLOGSTRING want = log.Row(row);
        if (want.kind == kLogRowMessage) // stamped at the load
            want.date = L"2024/05/06", want.time = L"07:08:09";
        const tagLOGSTRING got = loaded.Row(row);
        ASSERT_EQ(std::tie(got.date, got.time, got.rsoc, got.temperature, got.voltage, got.message, got.kind),
                  std::tie(want.date, want.time, want.rsoc, want.temperature, want.voltage, want.message, want.kind))
            << row;
    }
}

TEST_F(LogFileTest, LineEnds)
{
    struct Case {
        std::string bytes;
        std::vector<std::wstring> messages; // L"" marks a measurement row
    } const cases[] = {
        {"", {}},
        {"\n", {L""}},
        {"\r\n\r\n", {L"", L""}},
        {"<a>\r\n<b>", {L"<a>", L"<b>"}},
        {"<a>\n<b>\n", {L"<a>", L"<b>"}},
        {"<a\rb>\r\r\n<c>\r", {L"<a\rb>\r", L"<c>\r"}},
    };
    for (const Case& c : cases) {
        LogStore log;
        EXPECT_EQ(Load(c.bytes, log).status, LogFileStatus::Ok);
        ASSERT_EQ(log.RowCount(), c.messages.size()) << c.bytes;
        for (size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(log.CellText(i, kLogColMessage), c.messages[i]) << c.bytes;
    }
    LogStore blank;
    Load("\r\n", blank);
    const tagLOGSTRING row = blank.Row(0);
    EXPECT_EQ(row.date + L" " + row.time + L", " + row.rsoc + L", " + row.temperature + L", " + row.voltage,
              L"0000/00/00 00:00:00, 0, 0.0, 0");
}

TEST_F(LogFileTest, LinesAcrossReadChunksAndHugeLines)
{
    // Lines of many lengths, so that some straddle the reader's chunks.
    std::string bytes;
    std::vector<std::string> lines;
    for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
        lines.push_back(i % 3 == 0 ? "<" + std::string(static_cast<size_t>(i % 4000), 'm')
                                   : "2019/01/18 09:05:07, " + std::to_string(i) + ", 1.5, " +
                                         std::string(static_cast<size_t>(i % 3000), ' '));
        bytes += lines.back() + (i % 2 ? "\r\n" : "\n");
    }
    const std::string message = "<" + std::string(3 * 1024 * 1024, 'q');
    const std::string endless = "2019/01/18 09:05:07, 85, 25.0, 3801" + std::string(5 * 1024 * 1024, '7');
    bytes += message + "\r\n" + endless;

    LogStore log;
    ASSERT_EQ(Load(bytes, log).status, LogFileStatus::Ok);
    ASSERT_EQ(log.RowCount(), lines.size() + 2);
    size_t record = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i][0] == '<')
            ASSERT_EQ(log.CellText(i, kLogColMessage), std::wstring(lines[i].begin(), lines[i].end())) << i;
        else
            ASSERT_EQ(log.Record(record++).rsoc, static_cast<int32_t>(i)) << i;
    }
    EXPECT_EQ(log.MessageText(lines.size()).size(), message.size());
    EXPECT_EQ(log.Record(record).rsoc, 85);
    EXPECT_EQ(log.Record(record).voltage, 0xFFFF); // low 16 bits of the clamped value
}

TEST_F(LogFileTest, MeasurementPositionsCountCharacters)
{
    const LogTextCodec doubleByte{&DoubleByteToWide, Latin1LogTextCodec().toBytes};
    LogStore log;
    ASSERT_EQ(Load("\x88\x9f" "019/01/18 09:05:07, 85, 25.0, 3801\n<\x88\x9f>\n", log, doubleByte).status,
              LogFileStatus::Ok);
    EXPECT_EQ(log.Record(0).month, 1); // byte positions would give "/0"
    EXPECT_EQ(log.Record(0).second, 7);
    EXPECT_EQ(log.Record(0).voltage, 3801);
    EXPECT_EQ(log.MessageText(1).size(), 3u);
}

TEST(LogCodePage, ConversionArgumentsThePlatformAcceptsForTheCodePage)
{
    // UTF-7 and UTF-8 refuse WC_NO_BEST_FIT_CHARS and a used-default flag
    // (Wine accepts them, Windows does not); UTF-8 instead fails on a lone
    // surrogate. Code pages without flags cannot forbid look-alikes, so
    // their bytes are converted back and compared.
    struct Case {
        unsigned codePage;
        bool noBestFit, failOnInvalid, checkUsedDefault, checkRoundTrip;
    } const cases[] = {
        {65001, false, true, false, false}, {65000, false, false, false, false},
        {932, true, false, true, false},    {1252, true, false, true, false},
        {50220, false, false, true, true},  {57011, false, false, true, true},
        {42, false, false, true, true},     {50224, true, false, true, false},
    };
    for (const Case& c : cases) {
        const WideToCodePageMode m = WideToCodePageModeFor(c.codePage);
        EXPECT_EQ(std::make_tuple(m.noBestFit, m.failOnInvalid, m.checkUsedDefault, m.checkRoundTrip),
                  std::make_tuple(c.noBestFit, c.failOnInvalid, c.checkUsedDefault, c.checkRoundTrip))
            << c.codePage;
    }
}

TEST_F(LogFileTest, FailuresAreReported)
{
    LogStore log;
    log.AddMeasurementRow(Reading(85, 25.0, 3801));
    log.AddMessageRow(L"<\u901a\u4fe1>", kLoadTime);
    log.AddMeasurementRow(Reading(86, 25.0, 3801));

    // A character the code page cannot hold stops no row: it is written as
    // '?', the row is named, and the file loads back.
    const LogStoreResult unrepresentable = Store(log);
    EXPECT_EQ(unrepresentable.status, LogFileStatus::Ok);
    EXPECT_EQ(unrepresentable.rowsWritten, 3u);
    ASSERT_EQ(unrepresentable.replacedRows, 1u);
    ASSERT_EQ(unrepresentable.replaced.size(), 1u);
    EXPECT_EQ(unrepresentable.replaced[0].row, 1u);
    EXPECT_EQ(unrepresentable.replaced[0].written, L"<?\?>");
    EXPECT_EQ(ReadBytes("out.txt"), "2019/01/18 09:05:07, 85, 25.0, 3801\r\n<?\?>\r\n2019/01/18 09:05:07, 86, 25.0, 3801\r\n");
    LogStore back;
    ASSERT_EQ(LoadLogFile(Path("out.txt"), back, Latin1LogTextCodec(), FixedClock).status, LogFileStatus::Ok);
    EXPECT_EQ(back.RecordCount(), 2u);
    EXPECT_EQ(back.MessageText(1), u"<?\?>");

    EXPECT_EQ(StoreLogFile(Path("missing/out.txt"), log, Latin1LogTextCodec()).status, LogFileStatus::OpenFailed);

    // A load that cannot open its file leaves the log as it was.
    EXPECT_EQ(LoadLogFile(Path("missing.txt"), log, Latin1LogTextCodec(), FixedClock).status,
              LogFileStatus::OpenFailed);
    EXPECT_EQ(log.RowCount(), 3u);

    // A load appends after the rows already there.
    const LogLoadResult more = Load("2019/01/18 09:05:07, 87, 25.0, 3801\r\n", log);
    EXPECT_EQ(more.rows + more.records, 2u);
    EXPECT_EQ(log.Record(2).rowIndex, 3);

    // A stream that cannot be read, where the runtime flags that as an error.
    std::FILE* writeOnly = OpenLogFile(Path("w.txt"), "wb");
    ASSERT_NE(writeOnly, nullptr);
    char byte;
    if (std::fread(&byte, 1, 1, writeOnly) == 0 && std::ferror(writeOnly)) {
        std::clearerr(writeOnly);
        LogStore side;
        EXPECT_EQ(ReadLog(writeOnly, side, Latin1LogTextCodec(), FixedClock).status, LogFileStatus::ReadFailed);
    }
    std::fclose(writeOnly);

    log.Clear();
    log.AddMeasurementRow(Reading(85, 25.0, 3801));
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        EXPECT_EQ(WriteLog(full, log, Latin1LogTextCodec()).status, LogFileStatus::WriteFailed);
        std::fclose(full);
    }
}

// A store that fails part-way (a file-size limit here, as a full disk or a
// dropped share would) leaves the file it was to replace byte for byte and
// nothing beside it; one that succeeds replaces it and leaves nothing either.
TEST_F(LogFileTest, AStoreReplacesTheOldFileOnlyWhenWhole)
{
    auto filesInFolder = [this] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    std::string old;
    for (int i = 0; old.size() < 5000; ++i) old += "2018/12/31 23:59:" + std::to_string(10 + i % 50) + ", 50, 20.0, 3700\r\n";
    WriteBytes("out.txt", old);
    WriteBytes("out.txt.tmp", "a file of the user's"); // never taken for the new file
    LogStore log;
    for (int i = 0; i < 100000; ++i) log.AddMeasurementRow(Reading(i % 100, 25.0, 3800));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 1 << 20; // the log needs about 3.7 MB
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const LogStoreResult failed = Store(log);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failed.status, LogFileStatus::WriteFailed);
    EXPECT_TRUE(ReadBytes("out.txt") == old) << "the old file, byte for byte";
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"out.txt", "out.txt.tmp"}));
    EXPECT_EQ(ReadBytes("out.txt.tmp"), "a file of the user's");

    ASSERT_EQ(Store(log).status, LogFileStatus::Ok);
    LogStore loaded;
    ASSERT_EQ(LoadLogFile(Path("out.txt"), loaded, Latin1LogTextCodec(), FixedClock).status, LogFileStatus::Ok);
    EXPECT_EQ(loaded.RecordCount(), 100000u);
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"out.txt", "out.txt.tmp"}));
}

// Only what the code page lacks is replaced; every such row is counted, the
// first ones named with what their lines hold, and the user's notice says so.
TEST_F(LogFileTest, RowsTheCodePageCannotHoldAreNamed)
{
    LogStore log;
    log.AddMessageRow(L"<caf\u00e9 \u4e2d\u6587 " + std::wstring(1, wchar_t(0x1F600)) + L">", kLoadTime);
    for (int i = 0; i < 12; ++i) {
        log.AddMeasurementRow(Reading(80 + i, 25.0, 3800));
        log.AddMessageRow(L"<\u0141 " + std::to_wstring(i) + L">", kLoadTime);
    }
    const LogStoreResult result = Store(log);
    ASSERT_EQ(result.status, LogFileStatus::Ok);
    EXPECT_EQ(result.rowsWritten, 25u);
    EXPECT_EQ(result.replacedRows, 13u);
    ASSERT_EQ(result.replaced.size(), kLogReplacedRowsNamed);
    EXPECT_EQ(result.replaced[0].written, L"<caf\u00e9 ?\? ?>");
    EXPECT_EQ(result.replaced[1].row, 2u);
    EXPECT_EQ(result.replaced[1].written, L"<? 0>");
    EXPECT_EQ(ReadBytes("out.txt").substr(0, 50), "<caf\xE9 ?\? ?>\r\n2019/01/18 09:05:07, 80, 25.0, 3800\r\n");

    const std::wstring notice = ReplacedRowsNotice(result);
    EXPECT_NE(notice.find(L"13 message rows were not written as shown"), std::wstring::npos);
    EXPECT_NE(notice.find(L"line 1: <caf\u00e9 ?\? ?>\nline 3: <? 0>\n"), std::wstring::npos);
    EXPECT_NE(notice.find(L"and 3 more"), std::wstring::npos);
    EXPECT_EQ(ReplacedRowsNotice(LogStoreResult{}), L"");
}
