// The companion as a user runs it over virtual boards: vantrel-cli.exe as a
// process of its own, the board chosen with --device among those that HID
// class enumeration finds.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "HidBoards.h"
#include "cli/CliExitCodes.h"
#include "fw/Handle_win.h"
#include "log/LogLine.h"

namespace {

// vantrel-cli.exe beside the tests with `args`, its standard output and
// error into files; ended by force if still running at the end of the scope.
class CliProcess {
public:
    CliProcess(const std::wstring& args, const std::wstring& outPath)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        CHandle out(CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        CHandle err(CreateFileW((outPath + L".err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                0, nullptr));
        if (!out.IsValid() || !err.IsValid()) return;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out.Get();
        si.hStdError = err.Get();
        PROCESS_INFORMATION pi{};
        const std::wstring exe = BesideExe(L"vantrel-cli.exe");
        std::wstring commandLine = L"\"" + exe + L"\" " + args;
        if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &si, &pi))
            return;
        CloseHandle(pi.hThread);
        m_process.Reset(pi.hProcess);
    }
    ~CliProcess()
    {
        if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(m_process.Get(), 99);
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Its exit code; -1 when it never started or is still running after 30 s.
    int Wait()
    {
        DWORD code = 0;
        if (!m_process.IsValid() || WaitForSingleObject(m_process.Get(), 30000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(m_process.Get(), &code))
            return -1;
        return static_cast<int>(code);
    }

private:
    CHandle m_process;
};

// (RSOC, voltage) of every line of the output, in order.
std::vector<std::pair<int, int>> Readings(const std::string& out)
{
    std::vector<std::pair<int, int>> readings;
    for (size_t start = 0; start < out.size();) {
        size_t end = out.find("\r\n", start);
        if (end == std::string::npos) end = out.size();
        const tagLOGDATA record = ParseMeasurementLine(out.data() + start, end - start);
        readings.emplace_back(record.rsoc, record.voltage);
        start = end + 2;
    }
    return readings;
}

std::vector<std::pair<int, int>> Samples(uint32_t first, uint32_t count)
{
    std::vector<std::pair<int, int>> samples;
    for (uint32_t k = 0; k < count; ++k) {
        const SimMeasurement m = CSimBoard::MeasurementAt(first + k);
        samples.emplace_back(m.rsoc, m.voltage);
    }
    return samples;
}

using HidCompanionTest = WindowTest;

} // namespace

TEST_F(HidCompanionTest, TwoMeasurementsSideBySideEachReadItsOwnBoardAndAnUnpluggedBoardIsNotFound)
{
    if (GetFileAttributesW(BesideExe(L"vantrel-cli.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "vantrel-cli.exe not built beside the tests";
    CTempFolder folder;
    // A period of 0 lets every reading through.
    const std::wstring config = L" --config \"" + folder.Write(L"Vantrel.ini", "[Comm]\nReceiveInterval=0\n") + L"\"";
    HidBoard one(1), two(2);
    one.board.SetFirstSample(0);
    two.board.SetFirstSample(200);
    ASSERT_TRUE(one.Plug());
    ASSERT_TRUE(two.Plug());

    const std::wstring out1 = folder.File(L"one.txt"), out2 = folder.File(L"two.txt");
    {
        CliProcess a(L"measure --count 3" + config + L" --device \"" + one.Path() + L"\"", out1);
        CliProcess b(L"measure --count 3" + config + L" --device \"" + two.Path() + L"\"", out2);
        EXPECT_EQ(a.Wait(), kExitOk) << ReadBytes(out1 + L".err");
        EXPECT_EQ(b.Wait(), kExitOk) << ReadBytes(out2 + L".err");
    }
    EXPECT_EQ(Readings(ReadBytes(out1)), Samples(0, 3)) << ReadBytes(out1);
    EXPECT_EQ(Readings(ReadBytes(out2)), Samples(200, 3)) << ReadBytes(out2);

    ASSERT_TRUE(one.Unplug());
    CliProcess gone(L"measure --count 3" + config + L" --device \"" + one.Path() + L"\"", out1);
    EXPECT_EQ(gone.Wait(), kExitNoBoard) << ReadBytes(out1 + L".err");
}
