// vantrel-cli's commands run in-process against the simulated sub board on
// its pipe (Windows) or socket (Linux): what they print, what they leave on
// the board, and their exit codes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHarness.h"
#include "cli/CliMetrics.h"
#include "cli/CliPlatform.h"
#include "cli/CliStop.h"
#include "cli/FlashPatterns.h"
#include "link/ReceivePump.h"
#include "log/LogFile.h"
#include "log/LogLine.h"
#include "log/LogStore.h"
#include "protocol/FlashImage.h"
#ifdef _WIN32
#include <windows.h>
#include "WinHarness.h"  // BesideExe
#endif

namespace {

using Args = std::vector<std::wstring>;

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

std::string ReadAll(std::FILE* file)
{
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    std::rewind(file);
    if (size > 0) text.resize(std::fread(&text[0], 1, text.size(), file));
    return text;
}

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls until done() or ms have passed; what done() says in the end.
bool WaitUntil(const std::function<bool()>& done, uint64_t ms = 5000)
{
    const uint64_t end = SteadyNowMs() + ms;
    while (!done() && SteadyNowMs() < end) SleepMs(5);
    return done();
}

// Lines ended by CR LF; a last line without it counts too.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Formatting what the log loader parses out of the line gives the line back.
bool IsLogLine(const std::string& line)
{
    const tagLOGDATA record = ParseMeasurementLine(line.data(), line.size());
    char again[kLogLineMaxChars];
    return record.year >= 2000 && std::string(again, FormatMeasurementLine(again, record)) == line;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Does something on another thread while a command runs on this one; if the
// command has not ended `limitMs` after the action, it is asked to stop, so a
// hanging command fails the test instead of hanging it.
class CSideAction {
public:
    CSideAction(std::function<bool()> ready, std::function<void()> action, uint64_t limitMs = 10000)
        : m_thread([this, ready, action, limitMs] {
              if (!WaitUntil([&] { return ready() || m_finished.load(); }, limitMs) || m_finished.load()) return;
              action();
              m_acted.store(true);
              if (!WaitUntil([&] { return m_finished.load(); }, limitMs)) CliRequestStop();
          })
    {
    }
    ~CSideAction() { Finish(); }
    void Finish()
    {
        m_finished.store(true);
        if (m_thread.joinable()) m_thread.join();
    }
    bool Acted() const { return m_acted.load(); }

private:
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_acted{false};
    std::thread m_thread;
};

// The samples of a metrics file by name; a sample without the board's
// device label has that said in its value.
std::map<std::string, std::string> Metrics(const std::string& text, const std::wstring& device)
{
    const std::string labels = "{device=\"" + EscapeLabelValue(Utf8Of(device)) + "\"} ";
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t at = line.find(labels);
        values[line.substr(0, at)] = at == std::string::npos ? "no device label: " + line : line.substr(at + labels.size());
    }
    return values;
}

bool FileExists(const std::wstring& path)
{
    std::FILE* file = OpenCliFile(path, "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The readings a measure output holds, as (RSOC, voltage) pairs in order.
std::vector<std::pair<int, int>> Readings(const std::string& out)
{
    std::vector<std::pair<int, int>> readings;
    for (const std::string& line : Lines(out)) {
        const tagLOGDATA record = ParseMeasurementLine(line.data(), line.size());
        readings.emplace_back(record.rsoc, record.voltage);
    }
    return readings;
}

std::vector<std::pair<int, int>> BoardReadings(uint32_t firstSample, uint32_t count)
{
    std::vector<std::pair<int, int>> readings;
    for (uint32_t k = 0; k < count; ++k) {
        const SimMeasurement m = CSimBoard::MeasurementAt(firstSample + k);
        readings.emplace_back(m.rsoc, m.voltage);
    }
    return readings;
}

class CliTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetCliStop();
        ResetSettings(settings);
        // A period of 0 (possible only from the settings file) lets every
        // reading through, so runs stay short.
        settings.ReceiveInterval = 0;
        sim.board.SetMeasurePeriod(20);
        ASSERT_TRUE(sim.Start());
    }
    void TearDown() override { ResetCliStop(); }

    // Runs the command as vantrel-cli's main does; loadSettings set means
    // the settings file is read (--config), else `settings` is used.
    RunResult Run(const Args& args, bool loadSettings = false)
    {
        const std::wstring base = L"run" + std::to_wstring(m_runs.fetch_add(1) + 1);
        std::FILE* out = OpenCliFile(folder.File(base + L".out"), "w+b");
        std::FILE* err = OpenCliFile(folder.File(base + L".err"), "w+b");
        RunResult result{-1, "", ""};
        if (out && err) {
            CliContext context{out, err, settings, {}};
            if (loadSettings) context.loadSettings = LoadCliSettings;
            result.code = RunCli(args, context);
            result.out = ReadAll(out);
            result.err = ReadAll(err);
        }
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        return result;
    }

    std::wstring ImageFile(const std::vector<uint8_t>& image) { return folder.Write(L"image.txt", HexLines(image)); }

    CTestBoard sim{"cli"};
    CDeviceList devices{{sim.Path()}};
    CTestFolder folder;
    CAppSettings settings{};

private:
    std::atomic<int> m_runs{0};
};

TEST_F(CliTest, ListPrintsEveryBoardFound)
{
    CTestBoard second("cli-second");
    ASSERT_TRUE(second.Start());
    {
        CDeviceList both({sim.Path(), second.Path()});
        const RunResult r = Run({L"list"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        const std::vector<std::string> expected = {Utf8Of(sim.Path()), Utf8Of(second.Path())};
        EXPECT_EQ(Lines(r.out), expected);
        EXPECT_EQ(r.err, "");
    }
    CDeviceList none({});
    const RunResult r = Run({L"list"});
    EXPECT_EQ(r.code, kExitNoBoard);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "Sub board was not found")) << r.err;
}

TEST_F(CliTest, EveryBoardCommandWithoutBoard)
{
    const std::wstring image = ImageFile(PatternImage(128, 1));
    CDeviceList none({});
    const Args commands[] = {
        {L"measure", L"--count", L"1"},
        {L"read-word", L"12"},
        {L"write-word", L"12", L"34"},
        {L"flash", image},
    };
    for (const Args& args : commands) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.code, kExitNoBoard) << Utf8Of(args[0]);
        EXPECT_TRUE(Contains(r.err, "vantrel-cli: Sub board was not found")) << Utf8Of(args[0]) << ": " << r.err;
    }
    EXPECT_EQ(sim.board.FramesHandled(), 0u);
}

TEST_F(CliTest, ReadWordPrintsTheRegister)
{
    struct Case {
        std::wstring command;
        uint8_t reg;
        uint16_t value;
        const char* printed;
    } cases[] = {
        {L"12", 0x12, 0x0A5B, "a5b"},
        {L"2a", 0x2A, 0, "0"},
        {L"FF", 0xFF, 0xFFFF, "ffff"},
    };
    for (const Case& c : cases) {
        sim.board.SetRegister(c.reg, c.value);
        const RunResult r = Run({L"read-word", c.command});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, std::string(c.printed) + "\r\n") << Utf8Of(c.command);
    }
    // The settings file's communication settings went out first.
    const SimSettings s = sim.board.Settings();
    EXPECT_TRUE(s.received);
    EXPECT_EQ(s.i2cClockKHz, 100);
    EXPECT_EQ(s.commType, 0);
}

TEST_F(CliTest, WriteWordChangesTheRegister)
{
    struct Case {
        std::wstring command;
        std::wstring data;
        uint8_t reg;
        uint16_t value;
    } cases[] = {
        {L"12", L"3456", 0x12, 0x3456},
        {L"FF", L"2345", 0xFF, 0x2345},
        {L"f", L"ffff", 0x0F, 0xFFFF},
        {L"2A", L"0", 0x2A, 0x0000},
    };
    for (const Case& c : cases) {
        sim.board.SetRegister(c.reg, static_cast<uint16_t>(c.value ^ 0x5555));
        const RunResult r = Run({L"write-word", c.command, c.data});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(WaitUntil([&] { return sim.board.Register(c.reg) == c.value; }, 2000))
            << Utf8Of(c.command) << " " << Utf8Of(c.data) << " left " << sim.board.Register(c.reg);
    }
    // And read back through the CLI.
    const RunResult r = Run({L"read-word", L"12"});
    EXPECT_EQ(r.out, "3456\r\n");
}

TEST_F(CliTest, RegisterTextsThatAreNotWholeHexNumbersReachNoRegister)
{
    // Texts the dialog's lenient conversion would turn into register 00 or FF.
    struct Case {
        Args args;
        const char* named;
    } const cases[] = {
        {{L"read-word", L"ZZ"}, "not 'ZZ'"},
        {{L"write-word", L"1FF", L"0"}, "not '1FF'"},
        {{L"write-word", L"12", L"12345"}, "not '12345'"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.code, kExitUsage) << c.named;
        EXPECT_TRUE(Contains(r.err, c.named)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(sim.board.FramesHandled(), 0u) << "nothing reaches the board";
}

TEST_F(CliTest, ReadWordWithoutReplyTimesOut)
{
    sim.board.SetSilent(true);
    const RunResult r = Run({L"read-word", L"12", L"--timeout", L"0.3"});
    EXPECT_EQ(r.code, kExitTimeout);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "no reply to read-word within 0.3 s")) << r.err;
}

TEST_F(CliTest, MeasureWritesLinesTheLogLoaderReads)
{
    const std::wstring path = folder.File(L"log.txt");
    const RunResult r = Run({L"measure", L"--count", L"3", L"--i2c", L"400", L"--out", path});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "") << "with --out nothing goes to standard output";
    EXPECT_TRUE(Contains(r.err, "Communication type:I2C I2C clock frequency:400kHz")) << r.err;

    const std::string text = ReadWholeFile(path);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (const std::string& line : lines) EXPECT_TRUE(IsLogLine(line)) << line;

    LogStore store;
    const LogLoadResult loaded = LoadLogFile(path, store, Latin1LogTextCodec(), LocalTimeNow);
    EXPECT_EQ(loaded.status, LogFileStatus::Ok);
    ASSERT_EQ(store.RecordCount(), 3u);
    EXPECT_EQ(store.RowCount(), 3u);
    // With a period of 0 every reading of the board gets through, in order.
    for (uint32_t k = 0; k < 3; ++k) {
        const SimMeasurement m = CSimBoard::MeasurementAt(k);
        EXPECT_EQ(store.Record(k).rsoc, m.rsoc) << k;
        EXPECT_EQ(store.Record(k).voltage, m.voltage) << k;
        EXPECT_NEAR(store.Record(k).temperature, (m.temperature - 2732) / 10.0, 0.05) << k;
    }

    EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";
    const SimSettings s = sim.board.Settings();
    EXPECT_EQ(s.i2cClockKHz, 400);
    EXPECT_EQ(s.commType, 0);
    EXPECT_EQ(s.intervalSeconds, 0);
}

TEST_F(CliTest, MeasureForADurationToStandardOutput)
{
    const RunResult r = Run({L"measure", L"--duration", L"0.4", L"--owsi"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) EXPECT_TRUE(IsLogLine(line)) << line;
    EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";
    EXPECT_EQ(sim.board.Settings().commType, 1);
}

TEST_F(CliTest, ThirtyThreeCommunicationErrorsEndTheMeasurement)
{
    struct Case {
        uint32_t errors;
        int code;
    } cases[] = {{32, kExitOk}, {33, kExitCommError}};
    for (const Case& c : cases) {
        const uint32_t before = sim.board.MeasurementsSent();
        CSideAction inject([&] { return sim.board.MeasurementsSent() >= before + 2; },
                           [&] { sim.board.InjectCommErrors(c.errors); });
        // 32 errors are swallowed: the run goes on to its count.
        const std::wstring metrics = folder.File(L"errors" + std::to_wstring(c.errors) + L".prom");
        const RunResult r = Run({L"measure", L"--count", L"8", L"--metrics-file", metrics});
        inject.Finish();
        EXPECT_TRUE(inject.Acted());
        EXPECT_EQ(r.code, c.code) << c.errors << ": " << r.err;
        EXPECT_EQ(Contains(r.err, "vantrel-cli: Communication error"), c.code == kExitCommError) << r.err;
        EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";
        // The swallowed errors count too: they are the warning before the end.
        std::map<std::string, std::string> m = Metrics(ReadWholeFile(metrics), sim.Path());
        EXPECT_EQ(m["vantrel_comm_errors_total"], std::to_string(c.errors));
        EXPECT_EQ(m["vantrel_readings_total"], std::to_string(Lines(r.out).size()));
        EXPECT_EQ(m["vantrel_measuring"], "0");
    }
}

TEST_F(CliTest, AStopRequestSendsTheStopFrame)
{
    // What Ctrl+C, a closed console or SIGINT/SIGTERM/SIGHUP ask for.
    CSideAction press([&] { return sim.board.MeasurementsSent() >= 3; }, [] { CliRequestStop(); });
    const RunResult r = Run({L"measure"});
    press.Finish();
    EXPECT_TRUE(press.Acted());
    EXPECT_EQ(r.code, kExitOk) << r.err;
    for (const std::string& line : Lines(r.out)) EXPECT_TRUE(IsLogLine(line)) << line;
    EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";

    // The other commands end with their own code.
    ResetCliStop();
    sim.board.SetSilent(true);
    CSideAction again([] { return true; }, [] { CliRequestStop(); });
    const RunResult read = Run({L"read-word", L"12", L"--timeout", L"30"});
    again.Finish();
    EXPECT_EQ(read.code, kExitInterrupted) << read.err;
}

TEST_F(CliTest, UnpluggedBoardEndsTheMeasurement)
{
    CSideAction unplug([&] { return sim.board.MeasurementsSent() >= 2; }, [&] { sim.Unplug(); });
    const std::wstring metrics = folder.File(L"lost.prom");
    const RunResult r = Run({L"measure", L"--metrics-file", metrics});
    unplug.Finish();
    EXPECT_TRUE(unplug.Acted());
    EXPECT_EQ(r.code, kExitBoardLost) << r.err;
    EXPECT_TRUE(Contains(r.err, "disconnected")) << r.err;
    std::map<std::string, std::string> m = Metrics(ReadWholeFile(metrics), sim.Path());
    EXPECT_EQ(m["vantrel_measuring"], "0");
    EXPECT_EQ(m["vantrel_readings_total"], std::to_string(Lines(r.out).size()));
}

TEST_F(CliTest, MetricsFileFollowsTheRunFromStartToEnd)
{
    const std::wstring metrics = folder.File(L"bench.prom");
    const std::wstring temporary = folder.File(L"bench.prom.tmp");
    // A board that never starts: the file says the run began, with no reading yet.
    sim.board.SetSilent(true);
    std::string atStart;
    CSideAction stop([&] { return !(atStart = ReadWholeFile(metrics)).empty(); }, [] { CliRequestStop(); });
    RunResult r = Run({L"measure", L"--metrics-file", metrics});
    stop.Finish();
    EXPECT_EQ(r.code, kExitOk) << r.err;
    const std::map<std::string, std::string> started = {
        {"vantrel_readings_total", "0"}, {"vantrel_comm_errors_total", "0"}, {"vantrel_measuring", "1"}};
    EXPECT_EQ(Metrics(atStart, sim.Path()), started) << atStart;
    std::map<std::string, std::string> m = Metrics(ReadWholeFile(metrics), sim.Path());
    EXPECT_EQ(m["vantrel_measuring"], "0");
    EXPECT_EQ(m.count("vantrel_voltage_volts"), 0u);

    // One reading at the start, then one more each time the board is told to.
    ResetCliStop();
    sim.board.SetSilent(false);
    sim.board.SetMeasurePeriod(3600000);
    const uint32_t first = sim.board.MeasurementsSent();
    const std::wstring log = folder.File(L"bench.txt");
    std::string afterOne, afterTwo;
    auto shows = [&](std::string& text, const char* readings) {
        return WaitUntil([&] {
            text = ReadWholeFile(metrics);
            const std::map<std::string, std::string> now = Metrics(text, sim.Path());
            return now.count("vantrel_readings_total") && now.at("vantrel_readings_total") == readings;
        });
    };
    const uint64_t before = UnixNowMs();
    CSideAction drive([&] { return shows(afterOne, "1"); },
                      [&] {
                          sim.board.InjectMeasurements(1);
                          shows(afterTwo, "2");
                          CliRequestStop();
                      });
    r = Run({L"measure", L"--out", log, L"--metrics-file", metrics});
    drive.Finish();
    const uint64_t after = UnixNowMs();
    ASSERT_TRUE(drive.Acted());
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err.find("metrics"), std::string::npos) << r.err;
    const std::map<std::string, std::string> end = Metrics(ReadWholeFile(metrics), sim.Path());
    struct Step {
        const char* name;
        std::string text;
        uint32_t sample;
        const char* measuring;
    } const steps[] = {{"one", afterOne, first, "1"}, {"two", afterTwo, first + 1, "1"}, {"end", "", first + 1, "0"}};
    for (const Step& s : steps) {
        m = s.text.empty() ? end : Metrics(s.text, sim.Path());
        const SimMeasurement sent = CSimBoard::MeasurementAt(s.sample);
        char volts[16];
        std::snprintf(volts, sizeof volts, "%u.%03u", sent.voltage / 1000u, sent.voltage % 1000u);
        EXPECT_EQ(m["vantrel_voltage_volts"], volts) << s.name;
        EXPECT_EQ(std::stod(m["vantrel_rsoc_ratio"]) * 100, sent.rsoc) << s.name;
        EXPECT_NEAR(std::stod(m["vantrel_temperature_celsius"]), (sent.temperature - 2732) / 10.0, 0.05) << s.name;
        EXPECT_EQ(m["vantrel_measuring"], s.measuring) << s.name;
        const double stamp = std::stod(m["vantrel_last_reading_timestamp_seconds"]);
        EXPECT_TRUE(stamp * 1000 >= double(before) - 1 && stamp * 1000 <= double(after) + 1) << s.name << " " << stamp;
    }
    EXPECT_EQ(end.at("vantrel_readings_total"), "2");
    EXPECT_EQ(Readings(ReadWholeFile(log)), BoardReadings(first, 2)) << "the log lines are as without the file";
    EXPECT_FALSE(FileExists(temporary)) << "no temporary file left behind";
}

TEST_F(CliTest, MetricsFileThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn)
{
    const std::wstring log = folder.File(L"log.txt");
    // A folder that is not there (the temporary file fails), and a folder
    // in the file's place (the rename fails, the temporary file is removed).
    const std::wstring paths[] = {folder.Path() + L"/none/bench.prom", folder.Path()};
    for (const std::wstring& path : paths) {
        const uint32_t first = sim.board.MeasurementsSent();
        const RunResult r = Run({L"measure", L"--count", L"5", L"--out", log, L"--metrics-file", path});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(Count(r.err, "vantrel-cli: cannot write the metrics file " + Utf8Of(path)), 1u) << r.err;
        EXPECT_EQ(Count(r.err, "metrics"), 1u) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(Readings(ReadWholeFile(log)), BoardReadings(first, 5)) << Utf8Of(path);
        EXPECT_FALSE(FileExists(path + L".tmp")) << "no temporary file left behind";
        EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";
    }
}

TEST_F(CliTest, OutAndMetricsFileMustBeTwoFiles)
{
    // The metrics file is renamed over its path after every reading: a log
    // in the same place would lose every line.
    const std::wstring kept = folder.Write(L"same.prom", "kept\r\n");
    struct Case {
        std::wstring out;
        std::wstring metrics;
    } const cases[] = {
        {kept, kept},
        {folder.Path() + L"/./same.prom", kept},
        {kept, folder.Path() + L"/./same.prom"},
        {kept + L".tmp", kept},  // the metrics file's temporary file
    };
    for (const Case& c : cases) {
        folder.Write(L"same.prom", "kept\r\n");
        const RunResult r = Run({L"measure", L"--count", L"1", L"--out", c.out, L"--metrics-file", c.metrics});
        EXPECT_EQ(r.code, kExitUsage) << Utf8Of(c.out) << ": " << r.err;
        EXPECT_TRUE(Contains(r.err, Utf8Of(c.out))) << r.err;
        EXPECT_EQ(ReadWholeFile(kept), "kept\r\n") << Utf8Of(c.out);
        EXPECT_FALSE(FileExists(kept + L".tmp"));
    }
    EXPECT_EQ(sim.board.FramesHandled(), 0u) << "nothing reaches the board";
}

TEST_F(CliTest, FlashWritesAndVerifiesTheImage)
{
    const std::vector<uint8_t> image = PatternImage(1664, 3, 0x1234);
    const RunResult r = Run({L"flash", ImageFile(image)});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    FlashImage parsed;
    parsed.bytes = image;
    const std::vector<std::string> expected = {Utf8Of(FlashFileTypeText(FlashFileType(parsed))), "Flash write success"};
    EXPECT_EQ(Lines(r.out), expected);
    for (uint32_t i = 0; i < image.size(); ++i)
        ASSERT_EQ(sim.board.FlashAt(0x8100 + i), image[i]) << "flash byte " << i;
    EXPECT_TRUE(Contains(r.err, "write block 1 of 13\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "write block 13 of 13\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "verify block 13 of 13\n")) << r.err;
    EXPECT_LT(r.err.find("write block 13 of 13"), r.err.find("verify block 1 of 13"));
}

TEST_F(CliTest, FlashFailuresHaveTheirCodes)
{
    const std::wstring image = ImageFile(PatternImage(384, 8));
    struct Case {
        const char* name;
        std::function<void()> fault;
        int code;
        const char* message;
    } cases[] = {
        {"verify mismatch", [&] { sim.board.SetVerifyMismatch(true); }, kExitVerifyError, "vantrel-cli: Verify error"},
        {"I2C error", [&] { sim.board.SetFlashFault(SimFlashFault::I2cError, 3); }, kExitI2cError,
         "vantrel-cli: I2C communication error"},
        {"refused block", [&] { sim.board.SetFlashFault(SimFlashFault::AckStatusZero, 2); }, kExitTimeout,
         "no answer from the sub board for 0.5 s"},
        {"silent board", [&] { sim.board.SetSilent(true); }, kExitTimeout, "no answer from the sub board for 0.5 s"},
    };
    for (const Case& c : cases) {
        sim.board.SetVerifyMismatch(false);
        sim.board.SetSilent(false);
        c.fault();
        const RunResult r = Run({L"flash", image, L"--timeout", L"0.5"});
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
        EXPECT_TRUE(Contains(r.err, c.message)) << c.name << ": " << r.err;
        EXPECT_FALSE(Contains(r.out, "success")) << c.name;
    }
}

TEST_F(CliTest, FlashFileErrorsComeBeforeTheBoard)
{
    struct Case {
        const char* name;
        std::wstring path;
        int code;
        const char* message;
    } cases[] = {
        {"missing", folder.File(L"none.txt"), kExitFileError, "open file error"},
        // Opened (on Linux), but every read fails: never the end of an empty file.
        {"a folder", folder.Path(), kExitFileError, "open file error"},
        {"empty lines", folder.Write(L"empty.txt", "\r\n\r\n"), kExitFileSize, "file size error"},
        {"too long", folder.Write(L"long.txt", std::string(3329, 'A')), kExitFileSize, "file size error"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run({L"flash", c.path});
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_TRUE(Contains(r.err, c.message)) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.name;
    }
    EXPECT_EQ(sim.board.FramesHandled(), 0u);
}

TEST_F(CliTest, HelpAndMistakes)
{
    RunResult r = Run({L"--help"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_TRUE(Contains(r.out, "Exit codes:"));
    EXPECT_EQ(r.err, "");

    r = Run({L"flash", L"--help"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out.find("usage: vantrel-cli flash"), 0u) << r.out;

    r = Run({L"measure", L"--count"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "vantrel-cli: option --count needs a value")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Try 'vantrel-cli measure --help'.")) << r.err;

    r = Run({});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(sim.board.FramesHandled(), 0u);
}

#ifdef _WIN32
// The bench script of the README, as it stands there: the indented block
// after the paragraph that introduces it, with CR LF line ends.
std::string ReadmeBenchScript()
{
    std::wstring path = VANTREL_README_PATH;
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;  // Wine's drive for the Linux root
    const std::string readme = ReadWholeFile(path);
    size_t at = readme.find("A bench script (Windows `cmd`)");
    if (at == std::string::npos) return std::string();
    at = readme.find("\n    ", at);
    std::string script;
    while (at != std::string::npos && at + 1 < readme.size()) {
        const size_t start = at + 1;
        size_t end = readme.find('\n', start);
        if (end == std::string::npos) end = readme.size();
        const std::string line = readme.substr(start, end - start);
        if (!line.empty() && line.compare(0, 4, "    ") != 0) break;
        if (!line.empty()) script += line.substr(4) + "\r\n";
        at = end;
    }
    return script;
}

// Sets an environment variable for its lifetime (children inherit it).
class EnvironmentScope {
public:
    EnvironmentScope(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        wchar_t old[4096];
        const DWORD n = GetEnvironmentVariableW(name, old, 4096);
        m_hadOld = n > 0 && n < 4096;
        if (m_hadOld) m_old.assign(old, n);
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~EnvironmentScope() { SetEnvironmentVariableW(m_name, m_hadOld ? m_old.c_str() : nullptr); }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const wchar_t* m_name;
    bool m_hadOld = false;
    std::wstring m_old;
};

// Runs the README's script under cmd in `folder`, with the vantrel-cli.exe
// built beside this program first on the path.
RunResult RunBenchScript(CTestFolder& folder, const std::string& script)
{
    folder.Write(L"bench.cmd", script);
    const std::wstring outPath = folder.Write(L"bench.out", "");
    const std::wstring errPath = folder.Write(L"bench.err", "");
    const std::wstring exe = BesideExe(L"vantrel-cli.exe");
    wchar_t path[4096] = {};
    GetEnvironmentVariableW(L"PATH", path, 4096);
    EnvironmentScope searchPath(L"PATH", exe.substr(0, exe.rfind(L'\\')) + L";" + path);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"cmd.exe /c bench.cmd";
    RunResult result{-1, "", ""};
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, folder.Path().c_str(), &si,
                       &pi)) {
        // A bound against a hang, not a measure of time.
        if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 999);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        result.code = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

TEST_F(CliTest, ReadmeBenchScriptEndsWithTheCodeOfTheStepThatFailed)
{
    const std::string script = ReadmeBenchScript();
    ASSERT_NE(script.find("vantrel-cli flash gauge_image.txt"), std::string::npos) << script;
    // The script reads its duration from the environment, so the run is short.
    EnvironmentScope duration(L"DURATION", L"1");
    const std::wstring discharge = folder.Path() + L"\\discharge.txt";

    // A run where every step succeeds: the image, the register, the log, the read.
    const std::vector<uint8_t> image = PatternImage(384, 5);
    folder.Write(L"gauge_image.txt", HexLines(image));
    sim.board.SetRegister(0x0D, 0x0A5B);
    RunResult r = RunBenchScript(folder, script);
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, "Flash write success")) << r.out;
    EXPECT_TRUE(Contains(r.out, "a5b\r\n")) << r.out;
    for (uint32_t i = 0; i < image.size(); ++i) ASSERT_EQ(sim.board.FlashAt(0x8100 + i), image[i]) << i;
    EXPECT_EQ(sim.board.Register(0x16), 0x0BB8);
    EXPECT_NE(GetFileAttributesW(discharge.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(discharge.c_str());

    // The first step fails: the script ends with its code and goes no further.
    sim.board.SetRegister(0x16, 0);
    folder.Write(L"gauge_image.txt", "\r\n\r\n");
    r = RunBenchScript(folder, script);
    EXPECT_EQ(r.code, kExitFileSize) << r.err;
    folder.Write(L"gauge_image.txt", HexLines(image));
    {
        CDeviceList none({});
        r = RunBenchScript(folder, script);
    }
    EXPECT_EQ(r.code, kExitNoBoard) << r.err;
    EXPECT_EQ(sim.board.Register(0x16), 0) << "write-word did not run";
    EXPECT_EQ(GetFileAttributesW(discharge.c_str()), INVALID_FILE_ATTRIBUTES) << "measure did not run";
}
#endif

TEST_F(CliTest, DeviceChoosesTheBoard)
{
    CTestBoard second("cli-second");
    ASSERT_TRUE(second.Start());
    CDeviceList both({sim.Path(), second.Path()});
    sim.board.SetRegister(0x12, 0x1111);
    second.board.SetRegister(0x12, 0x2222);

    // Without --device the last one found is used; with it, the one named.
    EXPECT_EQ(Run({L"read-word", L"12"}).out, "2222\r\n");
    EXPECT_EQ(Run({L"read-word", L"12", L"--device", sim.Path()}).out, "1111\r\n");
    EXPECT_EQ(Run({L"read-word", L"12", L"--device=" + second.Path()}).out, "2222\r\n");
    const RunResult listed = Run({L"list", L"--device", sim.Path()});
    EXPECT_EQ(listed.code, kExitOk);
    EXPECT_EQ(Lines(listed.out), std::vector<std::string>{Utf8Of(sim.Path())});

    // A board that is not there, also one that went away: exit 3, and no
    // other board is touched.
    second.Unplug();
    const uint32_t framesBefore = sim.board.FramesHandled();
    for (const std::wstring& path : {second.Path(), sim.Path() + L"x"}) {
        for (const Args& args : {Args{L"measure", L"--count", L"1", L"--device", path}, Args{L"list", L"--device", path}}) {
            const RunResult r = Run(args);
            EXPECT_EQ(r.code, kExitNoBoard) << Utf8Of(args[0]);
            EXPECT_TRUE(Contains(r.err, "Sub board was not found: no board at " + Utf8Of(path))) << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
    EXPECT_EQ(sim.board.FramesHandled(), framesBefore);
}

TEST_F(CliTest, TwoMeasurementsAtOnceEachOnItsOwnBoard)
{
    CTestBoard second("cli-second");
    second.board.SetMeasurePeriod(20);
    ASSERT_TRUE(second.Start());
    CDeviceList both({sim.Path(), second.Path()});
    // Far apart on the discharge curve, so no reading of one board is
    // also one of the other's.
    sim.board.SetFirstSample(0);
    second.board.SetFirstSample(200);
    constexpr uint32_t kCount = 25;
    RunResult first{}, other{};
    std::thread run([&] { other = Run({L"measure", L"--count", L"25", L"--device", second.Path()}); });
    first = Run({L"measure", L"--count", L"25", L"--device", sim.Path()});
    run.join();
    ASSERT_EQ(first.code, kExitOk) << first.err;
    ASSERT_EQ(other.code, kExitOk) << other.err;
    EXPECT_EQ(Readings(first.out), BoardReadings(0, kCount));
    EXPECT_EQ(Readings(other.out), BoardReadings(200, kCount));
    EXPECT_TRUE(WaitUntil([&] { return !sim.board.Measuring() && !second.board.Measuring(); }, 2000));
}

TEST_F(CliTest, SettingsTheDialogCouldNotSetGoOutAsReadAndAreNamed)
{
    struct Case {
        const char* file;
        Args options;
        std::vector<std::string> notes;
        SimSettings sent;
    } const cases[] = {
        {"ReceiveInterval=99999\r\nI2cClock=250\r\nCommType=5\r\n",
         {},
         {"ReceiveInterval=99999 is outside what the Communicate dialog sets (1 to 300); used as 34463",
          "I2cClock=250 is outside what the Communicate dialog sets (100 or 400); used as 250",
          "CommType=5 is outside what the Communicate dialog sets (0 I2C or 1 OWSI); used as 5"},
         {true, 34463, 250, 5}},
        // The cut can land inside the range: the file still said otherwise.
        {"ReceiveInterval=65537\r\nI2cClock=100\r\nCommType=2\r\n",
         {},
         {"ReceiveInterval=65537 is outside what the Communicate dialog sets (1 to 300); used as 1",
          "CommType=2 is outside what the Communicate dialog sets (0 I2C or 1 OWSI); used as 2"},
         {true, 1, 100, 2}},
        {"ReceiveInterval=0\r\nI2cClock=400\r\nCommType=1\r\n",
         {},
         {"ReceiveInterval=0 is outside what the Communicate dialog sets (1 to 300); used as 0"},
         {true, 0, 400, 1}},
        // What the dialog can set, and what an option overrides, says nothing.
        {"ReceiveInterval=300\r\nI2cClock=400\r\nCommType=1\r\n", {}, {}, {true, 300, 400, 1}},
        {"ReceiveInterval=99999\r\nI2cClock=250\r\nCommType=5\r\n",
         {L"--interval", L"1", L"--i2c", L"100"},
         {},
         {true, 1, 100, 0}},
        {"ReceiveInterval=2\r\nI2cClock=250\r\nCommType=5\r\n",
         {L"--owsi"},
         {"I2cClock=250 is outside what the Communicate dialog sets (100 or 400); used as 250"},
         {true, 2, 250, 1}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring ini = folder.Write(L"odd" + std::to_wstring(++n) + L".ini", std::string("[Comm]\r\n") + c.file);
        Args args = {L"measure", L"--config", ini};
        args.insert(args.end(), c.options.begin(), c.options.end());
        // Only the settings matter here: the run ends once they are in.
        const uint32_t before = sim.board.FramesHandled();
        CSideAction stop([&] { return sim.board.FramesHandled() > before; }, [] { CliRequestStop(); });
        const RunResult r = Run(args, true);
        stop.Finish();
        ResetCliStop();
        EXPECT_EQ(r.code, kExitOk) << c.file << r.err;
        const std::string mark = "vantrel-cli: settings file: ";
        std::vector<std::string> notes;
        std::istringstream lines(r.err);
        for (std::string line; std::getline(lines, line);)
            if (line.compare(0, mark.size(), mark) == 0) notes.push_back(line.substr(mark.size()));
        EXPECT_EQ(notes, c.notes) << c.file << r.err;
        const SimSettings s = sim.board.Settings();
        EXPECT_EQ(s.intervalSeconds, c.sent.intervalSeconds) << c.file;
        EXPECT_EQ(s.i2cClockKHz, c.sent.i2cClockKHz) << c.file;
        EXPECT_EQ(s.commType, c.sent.commType) << c.file;
    }
}

TEST_F(CliTest, ConfigFileGivesTheSettings)
{
    // Names in any letter case, blanks and quotes as the profile API reads them.
    const std::wstring ini =
        folder.Write(L"bench.ini", "[initial]\r\nAutoMode=1\r\n[comm]\r\n  receiveinterval = 0\r\n"
                                   "I2cClock=\"400\"\r\nCommType=1\r\n");
    RunResult r = Run({L"read-word", L"12", L"--config", ini}, true);
    EXPECT_EQ(r.code, kExitOk) << r.err;
    SimSettings s = sim.board.Settings();
    EXPECT_EQ(s.i2cClockKHz, 400);
    EXPECT_EQ(s.commType, 1);
    EXPECT_EQ(s.intervalSeconds, 0);

    r = Run({L"read-word", L"12", L"--config", folder.File(L"missing.ini")}, true);
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_TRUE(Contains(r.err, "open file error")) << r.err;
}

} // namespace
