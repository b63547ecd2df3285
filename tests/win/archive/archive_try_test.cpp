// The Windows archive as a user meets it: scripts/package-check.sh unpacks
// it into a folder (VANTREL_ARCHIVE_DIR) and runs this program, which starts
// "Try with simulated board.cmd" under cmd as a double-click would and
// drives the real Vantrel.exe it opens. Not in ctest's list.
#include <gtest/gtest.h>

#include "WinHarness.h"

namespace {

std::wstring ArchiveFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"VANTREL_ARCHIVE_DIR", folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

// A status bar pane's text from another process: the text is written into
// a buffer in that process's memory, then copied here.
std::wstring RemoteStatusText(HWND status, int pane)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(status, &pid);
    CHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid));
    if (!process.Get()) return L"<no process>";
    const SIZE_T bytes = 256 * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process.Get(), nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return L"<no memory>";
    wchar_t text[256] = {};
    SendMessageW(status, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process.Get(), remote, text, bytes - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    return text;
}

bool ProcessRunning(const wchar_t* image)
{
    CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        if (_wcsicmp(entry.szExeFile, image) == 0) return true;
    return false;
}

} // namespace

TEST(ArchiveTry, TheBatchFileRunsTheToolOnTheSimulatorAndEndsIt)
{
    const std::wstring folder = ArchiveFolder();
    ASSERT_FALSE(folder.empty()) << "VANTREL_ARCHIVE_DIR names the unpacked archive";
    const std::wstring ini = folder + L"\\Vantrel.ini";
    DeleteFileW(ini.c_str());
    ASSERT_FALSE(ProcessRunning(L"vantrel-sim.exe"));

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"cmd.exe /c \"\"" + folder + L"\\Try with simulated board.cmd\"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CHandle cmd(pi.hProcess);
    CloseHandle(pi.hThread);

    HWND wnd = WaitForWindow(L"Vantrel For VX5531xxR ", 60000);
    ASSERT_NE(wnd, nullptr) << "no Vantrel window";
    HWND status = FindWindowExW(wnd, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Utf8(RemoteStatusText(status, 3)), "USB Connected");
    EXPECT_TRUE(ProcessRunning(L"vantrel-sim.exe"));

    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wnd, 1000)));
    HWND list = GetDlgItem(wnd, 1008);
    bool row = false;
    for (int i = 0; i < 300 && !row; ++i) {
        Sleep(100);
        row = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= 1;
    }
    EXPECT_TRUE(row) << "no row in the log list";

    PostMessageW(wnd, WM_CLOSE, 0, 0);
    // A bound against a hang: the batch file ends once the tool has closed.
    ASSERT_EQ(WaitForSingleObject(cmd.Get(), 60000), WAIT_OBJECT_0) << "the batch file did not end";
    DWORD code = 1;
    GetExitCodeProcess(cmd.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "no settings file beside the exe";
    EXPECT_FALSE(ProcessRunning(L"vantrel-sim.exe")) << "the simulator still runs";
}
