// vantrel-cli as a process on Linux: SIGINT, SIGTERM and SIGHUP end it as
// Ctrl+C and a closed console do on Windows, and two companions measure two
// boards at the same time without touching each other's readings.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cli/CliExitCodes.h"
#include "cli/CliHarness.h"
#include "cli/FlashPatterns.h"
#include "link/ReceivePump.h"
#include "log/LogLine.h"
#include "log/Utf8Text.h"
#include "sim/SocketServer_posix.h"

extern char** environ;

namespace {

// A vantrel-cli process with its output in a file; waited for on every path.
class CCliProcess {
public:
    // Standard error goes to errPath, or nowhere when it is empty.
    CCliProcess(const std::vector<std::string>& args, const std::wstring& outPath, const std::wstring& errPath = L"",
                const char* exe = VANTREL_CLI_EXE)
    {
        std::vector<std::string> argv = {exe};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (std::string& a : argv) pointers.push_back(&a[0]);
        pointers.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, Utf8Of(outPath).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::string err = errPath.empty() ? "/dev/null" : Utf8Of(errPath);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&m_pid, exe, &actions, nullptr, pointers.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CCliProcess()
    {
        if (m_pid > 0 && !m_done) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }
    CCliProcess(const CCliProcess&) = delete;
    CCliProcess& operator=(const CCliProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) { kill(m_pid, signal); }
    // The exit code; -1 when it ended otherwise.
    int Wait()
    {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_done = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The same, or kStillRunning when the process has not ended within ms
    // (a bound against a hang, not a measure of time).
    static constexpr int kStillRunning = -2;
    int WaitAtMost(uint64_t ms)
    {
        const uint64_t end = SteadyNowMs() + ms;
        for (;;) {
            int status = 0;
            const pid_t got = waitpid(m_pid, &status, WNOHANG);
            if (got == m_pid) {
                m_done = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (got < 0 && errno != EINTR) return -1;
            if (SteadyNowMs() >= end) return kStillRunning;
            usleep(5000);
        }
    }

private:
    pid_t m_pid = -1;
    bool m_done = false;
};

bool WaitUntil(const std::function<bool()>& done, uint64_t ms = 10000)
{
    const uint64_t end = SteadyNowMs() + ms;
    while (!done() && SteadyNowMs() < end) usleep(5000);
    return done();
}

// (RSOC, voltage) of every line, in order.
std::vector<std::pair<int, int>> Readings(const std::string& out)
{
    std::vector<std::pair<int, int>> readings;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find("\r\n", start);
        if (end == std::string::npos) end = out.size();
        const tagLOGDATA record = ParseMeasurementLine(out.data() + start, end - start);
        readings.emplace_back(record.rsoc, record.voltage);
        start = end + 2;
    }
    return readings;
}

class CliProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        // A settings file of its own: a period of 0 lets every reading through.
        config = Utf8Of(folder.Write(L"Vantrel.ini", "[Comm]\nReceiveInterval=0\n"));
        for (CTestBoard* b : {&first, &second}) {
            b->board.SetMeasurePeriod(20);
            ASSERT_TRUE(b->Start());
        }
    }

    CTestBoard first{"proc-1"};
    CTestBoard second{"proc-2"};
    CDeviceList devices{{first.Path(), second.Path()}};
    CTestFolder folder;
    std::string config;
};

TEST_F(CliProcessTest, SignalsEndTheRunAsCtrlCDoes)
{
    struct Case {
        int signal;
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {SIGINT, {"measure"}, kExitOk},
        {SIGTERM, {"measure", "--duration", "60"}, kExitOk},
        {SIGHUP, {"measure", "--count", "100000"}, kExitOk},
        {SIGTERM, {"flash", Utf8Of(folder.Write(L"image.txt", HexLines(PatternImage(256, 1)))), "--timeout", "60"},
         kExitInterrupted},
    };
    // The flash write waits for an acknowledgement the board refuses.
    first.board.SetFlashFault(SimFlashFault::AckStatusZero, 0);
    int n = 0;
    for (Case& c : cases) {
        const bool flashing = c.code == kExitInterrupted;
        c.args.insert(c.args.end(), {"--config", config, "--device", Utf8Of(first.Path())});
        const uint32_t before = first.board.MeasurementsSent();
        const uint32_t framesBefore = first.board.FramesHandled();
        const std::wstring out = folder.File(L"signal" + std::to_wstring(++n) + L".txt");
        CCliProcess cli(c.args, out);
        ASSERT_TRUE(cli.Started());
        // Signalled once it is measuring, or has begun the flash write
        // (settings, preparation and flash begin frames).
        ASSERT_TRUE(WaitUntil([&] {
            return flashing ? first.board.FramesHandled() >= framesBefore + 3 : first.board.MeasurementsSent() >= before + 3;
        }));
        cli.Signal(c.signal);
        EXPECT_EQ(cli.Wait(), c.code) << strsignal(c.signal);
        EXPECT_TRUE(WaitUntil([&] { return !first.board.Measuring(); }, 2000)) << "no stop frame";
        if (!flashing) {
            EXPECT_FALSE(Readings(ReadWholeFile(out)).empty());
        }
    }
    EXPECT_EQ(second.board.FramesHandled(), 0u);
}

TEST_F(CliProcessTest, AnOutsideSigusr1ChangesNothing)
{
    // SIGUSR1 means nothing to the companion: the run goes on, and SIGINT
    // still ends it with the stop frame.
    const std::wstring out = folder.File(L"usr1.txt");
    CCliProcess cli({"measure", "--config", config, "--device", Utf8Of(first.Path())}, out);
    ASSERT_TRUE(cli.Started());
    ASSERT_TRUE(WaitUntil([&] { return first.board.MeasurementsSent() >= 3; }));
    cli.Signal(SIGUSR1);
    const size_t before = Readings(ReadWholeFile(out)).size();
    EXPECT_TRUE(WaitUntil([&] { return Readings(ReadWholeFile(out)).size() >= before + 3; })) << "the run stopped";
    EXPECT_EQ(cli.WaitAtMost(0), CCliProcess::kStillRunning);
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.WaitAtMost(10000), kExitOk) << "SIGINT after SIGUSR1 did not end the run";
    EXPECT_TRUE(WaitUntil([&] { return !first.board.Measuring(); }, 2000)) << "no stop frame";
}

TEST_F(CliProcessTest, SimulatorHelpIsOutputAndAMistakeIsAnError)
{
    struct Case {
        const char* arg;
        int code;
        bool onOutput;
    } const cases[] = {{"--help", 0, true}, {"-h", 0, true}, {"--bogus", 2, false}};
    for (const Case& c : cases) {
        const std::wstring out = folder.File(L"sim.out");
        const std::wstring err = folder.File(L"sim.err");
        CCliProcess sim({c.arg}, out, err, VANTREL_SIM_EXE);
        ASSERT_TRUE(sim.Started());
        EXPECT_EQ(sim.WaitAtMost(10000), c.code) << c.arg;
        const std::string usage = ReadWholeFile(c.onOutput ? out : err);
        EXPECT_EQ(usage.find("usage: vantrel-sim"), 0u) << c.arg << ": " << usage;
        EXPECT_EQ(ReadWholeFile(c.onOutput ? err : out), "") << c.arg;
    }
}

// The README's two-board recipe, run by bash with vantrel-sim and
// vantrel-cli as stubs that write down their arguments: the paths it gives
// must be the ones the simulator serves, with XDG_RUNTIME_DIR set or not.
TEST_F(CliProcessTest, ReadmeTwoBoardRecipeNamesTheSimulatorsSockets)
{
    const std::string readme = ReadWholeFile(WideFromUtf8(VANTREL_README_PATH));
    size_t at = readme.find("Two boards side by side");
    ASSERT_NE(at, std::string::npos);
    at = readme.find("\n    ", at);
    std::string recipe;
    while (at != std::string::npos && readme.compare(at + 1, 4, "    ") == 0) {
        const size_t end = readme.find('\n', at + 1);
        recipe += readme.substr(at + 5, end - at - 5) + "\n";
        at = end;
    }
    ASSERT_NE(recipe.find("vantrel-cli measure"), std::string::npos) << recipe;
    const std::string calls = Utf8Of(folder.File(L"calls.txt"));
    const std::string script = Utf8Of(folder.Write(
        L"recipe.sh", "vantrel-sim() { :; }\nvantrel-cli() { echo \"$*\" >> '" + calls + "'; }\n" + recipe +
                          "wait\necho \"VANTREL_DEVICE=$VANTREL_DEVICE\" >> '" + calls + "'\n"));
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    for (const char* runtime : {static_cast<const char*>(nullptr), "/run/user/4242"}) {
        if (runtime) setenv("XDG_RUNTIME_DIR", runtime, 1);
        else unsetenv("XDG_RUNTIME_DIR");
        const std::string a = CSocketServer::PathFor("a");
        const std::string b = CSocketServer::PathFor("b");
        unlink(calls.c_str());
        CCliProcess bash({script}, folder.File(L"bash.out"), L"", "/bin/bash");
        EXPECT_EQ(bash.WaitAtMost(10000), 0);
        const std::string written = ReadWholeFile(WideFromUtf8(calls));
        const std::string where = runtime ? runtime : "unset";
        EXPECT_NE(written.find("--device " + a + " "), std::string::npos) << where << ": " << written;
        EXPECT_NE(written.find("--device " + b + " "), std::string::npos) << where << ": " << written;
        EXPECT_NE(written.find("VANTREL_DEVICE=" + a + ";" + b + "\n"), std::string::npos) << where << ": " << written;
    }
    if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(CliProcessTest, TwoCompanionsMeasureTwoBoardsAtOnce)
{
    first.board.SetFirstSample(0);
    second.board.SetFirstSample(200);
    const std::wstring out1 = folder.File(L"first.txt");
    const std::wstring out2 = folder.File(L"second.txt");
    constexpr uint32_t kCount = 40;
    CCliProcess a({"measure", "--count", "40", "--config", config, "--device", Utf8Of(first.Path())}, out1);
    CCliProcess b({"measure", "--count", "40", "--config", config, "--device", Utf8Of(second.Path())}, out2);
    EXPECT_EQ(a.Wait(), kExitOk);
    EXPECT_EQ(b.Wait(), kExitOk);
    for (auto [board, out] : {std::make_pair(&first, out1), std::make_pair(&second, out2)}) {
        std::vector<std::pair<int, int>> expected;
        for (uint32_t k = 0; k < kCount; ++k) {
            const SimMeasurement m = CSimBoard::MeasurementAt((board == &first ? 0 : 200) + k);
            expected.emplace_back(m.rsoc, m.voltage);
        }
        EXPECT_EQ(Readings(ReadWholeFile(out)), expected) << Utf8Of(board->Path());
    }
}

} // namespace
