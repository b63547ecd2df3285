// The measurement journal: every row the log list gains reaches a file of the
// run at once, in the log-file format; an unwritable folder costs one message.
#include <gtest/gtest.h>

#include <string>

#include "WinHarness.h"
#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"

namespace {
tagLOGDATA Sample(int32_t rsoc)
{
    return Reading(rsoc, rsoc, 24.5, static_cast<uint16_t>(3600 + rsoc));
}

// The journal goes to a folder of the test's own.
class JournalTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        wchar_t old[MAX_PATH] = {};
        hadOld = GetEnvironmentVariableW(L"LOCALAPPDATA", old, MAX_PATH) > 0;
        oldValue = old;
        base = BesideExe(L"journal-test");
        CreateDirectoryW(base.c_str(), nullptr);
        SetEnvironmentVariableW(L"LOCALAPPDATA", base.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"LOCALAPPDATA", hadOld ? oldValue.c_str() : nullptr);
        WindowTest::TearDown();
    }
    bool hadOld = false;
    std::wstring oldValue, base;
};
}

TEST_F(JournalTest, EveryRowReachesTheFileAsALogLineAndClearKeepsIt)
{
    std::wstring path;
    std::string expected;
    {
        MainWindow w(L"-demo2");
        ASSERT_TRUE(w.created);
        ASSERT_TRUE(w.dlg.LogView().Journal().IsOpen());
        path = w.dlg.LogView().Journal().Path();
        EXPECT_EQ(path.rfind(base + L"\\Vantrel\\journal\\Vantrel_", 0), 0u) << Utf8(path);

        w.dlg.AddMessageRow(L"<Start measure>");
        for (int i = 0; i < 5; ++i) w.dlg.LogView().AddMeasurementRow(Sample(90 - i));
        // Written through at once: readable while the tool still runs.
        for (size_t row = 0; row < w.dlg.LogData().RowCount(); ++row)
            ASSERT_TRUE(FormatLogRowLine(w.dlg.LogData(), row, AnsiLogTextCodec(), expected));
        EXPECT_EQ(ReadBytes(path), expected);

        boxes.answers.push_back(IDOK);
        w.Click(IDC_CLEAR_LOG);
        EXPECT_EQ(w.dlg.LogData().RowCount(), 0u);
        w.dlg.LogView().AddMeasurementRow(Sample(50));
        FormatLogRowLine(w.dlg.LogData(), 0, AnsiLogTextCodec(), expected);
    }
    EXPECT_EQ(ReadBytes(path), expected);

    // The journal loads like any log file.
    LogStore loaded;
    LoadLogFile(path, loaded, AnsiLogTextCodec(), [] { return LogTime{2026, 1, 1, 0, 0, 0}; });
    EXPECT_EQ(loaded.RecordCount(), 6u);
}

TEST_F(JournalTest, UnwritableFolderIsReportedOnceAsAMessageRow)
{
    // A file where the folder should be: nothing can be created below it.
    const std::wstring blocker = base + L"\\blocked";
    WriteBytes(blocker, "");
    SetEnvironmentVariableW(L"LOCALAPPDATA", blocker.c_str());

    MainWindow w(L"-demo2");
    ASSERT_TRUE(w.created);
    EXPECT_FALSE(w.dlg.LogView().Journal().IsOpen());
    ASSERT_GE(w.dlg.LogData().RowCount(), 1u);
    const std::wstring first = w.dlg.LogData().CellText(0, kLogColMessage);
    EXPECT_EQ(first.rfind(L"<Journal cannot be written", 0), 0u) << Utf8(first);
    w.dlg.LogView().AddMeasurementRow(Sample(70));
    size_t journalMessages = 0;
    for (size_t row = 0; row < w.dlg.LogData().RowCount(); ++row)
        if (w.dlg.LogData().CellText(row, kLogColMessage).rfind(L"<Journal", 0) == 0) ++journalMessages;
    EXPECT_EQ(journalMessages, 1u);
    EXPECT_TRUE(boxes.boxes.empty()) << "never a blocking message box";
    DeleteFileW(blocker.c_str());
}

// The folder holds the user's name; a name the ANSI code page lacks is named
// by the variable, so the row stores as it is.
TEST_F(JournalTest, TheFailureRowNamesTheFolderInAFormTheCodePageHolds)
{
    const std::wstring blocker = base + L"\\\u0141\u4e02";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, blocker.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (!lost) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds every character";
    WriteBytes(blocker, "");
    SetEnvironmentVariableW(L"LOCALAPPDATA", blocker.c_str());

    MainWindow w(L"-demo2");
    ASSERT_TRUE(w.created);
    ASSERT_GE(w.dlg.LogData().RowCount(), 1u);
    EXPECT_EQ(w.dlg.LogData().CellText(0, kLogColMessage), L"<Journal cannot be written: %LOCALAPPDATA%\\Vantrel\\journal>");
    std::string bytes;
    EXPECT_TRUE(FormatLogRowLine(w.dlg.LogData(), 0, AnsiLogTextCodec(), bytes));
    DeleteFileW(blocker.c_str());
}

TEST_F(JournalTest, ARowTheCodePageCannotHoldStopsTheJournalAndSaysSo)
{
    const std::wstring message = L"<\u6e29\u5ea6 \u0416>";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, message.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (!lost) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds every character";

    MainWindow w(L"-demo2");
    ASSERT_TRUE(w.created);
    const std::wstring path = w.dlg.LogView().Journal().Path();
    w.dlg.LogView().AddMeasurementRow(Sample(90));
    const std::string before = ReadBytes(path);
    w.dlg.AddMessageRow(message);
    EXPECT_FALSE(w.dlg.LogView().Journal().IsOpen());
    EXPECT_EQ(ReadBytes(path), before) << "no line with the text changed";
    const LogStore& log = w.dlg.LogData();
    EXPECT_EQ(log.CellText(log.RowCount() - 1, kLogColMessage).rfind(L"<Journal write failed", 0), 0u);
}

TEST_F(JournalTest, RetentionKeepsTheNewestThirtyRuns)
{
    const std::wstring folder = base + L"\\Vantrel\\journal";
    CreateDirectoryW((base + L"\\Vantrel").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int day = 1; day <= 35; ++day) {
        wchar_t name[64];
        swprintf(name, 64, L"\\Vantrel_202001%02d_080000.txt", day);
        WriteBytes(folder + name, "");
    }
    WriteBytes(folder + L"\\keep me.txt", "");
    {
        MainWindow w(L"-demo2");
        ASSERT_TRUE(w.created);
        ASSERT_TRUE(w.dlg.LogView().Journal().IsOpen());
    }
    int runs = 0;
    bool oldestGone = true, notesKept = false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*.txt").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const std::wstring name = data.cFileName;
        if (name == L"keep me.txt") notesKept = true;
        else ++runs;
        if (name <= L"Vantrel_20200106_080000.txt" && name.rfind(L"Vantrel_2020", 0) == 0) oldestGone = false;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(runs, 30);
    EXPECT_TRUE(oldestGone);
    EXPECT_TRUE(notesKept);
}

// The tool killed outright after some readings: its journal still loads
// back as every reading it had shown.
TEST_F(JournalTest, KilledProcessLeavesEveryShownReading)
{
    if (!RealProgram::Built()) GTEST_SKIP() << "Vantrel.exe not built beside the tests";
    WriteSettings("[Comm]\r\nReceiveInterval=1\r\n");
    RealProgram program(L"-demo2");
    ASSERT_TRUE(program.Started());

    // Its window, then Start measure; readings follow once a second.
    HWND wnd = program.Window();
    ASSERT_NE(wnd, nullptr);
    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wnd, 1000)));

    const std::wstring folder = base + L"\\Vantrel\\journal";
    auto newestJournal = [&] {
        std::wstring newest;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"\\Vantrel_*.txt").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return newest;
        do {
            if (newest.empty() || std::wstring(data.cFileName) > newest) newest = data.cFileName;
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return folder + L"\\" + newest;
    };
    auto measurementLines = [&](const std::wstring& path) {
        LogStore log;
        LoadLogFile(path, log, AnsiLogTextCodec(), [] { return LogTime{2026, 1, 1, 0, 0, 0}; });
        return log.RecordCount();
    };
    std::wstring path;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        path = newestJournal();
        if (!path.empty() && measurementLines(path) >= 3) break;
        Sleep(100);
    }
    program.Kill();

    ASSERT_FALSE(path.empty());
    LogStore loaded;
    ASSERT_EQ(LoadLogFile(path, loaded, AnsiLogTextCodec(), [] { return LogTime{2026, 1, 1, 0, 0, 0}; }).status,
              LogFileStatus::Ok);
    EXPECT_GE(loaded.RecordCount(), 3u);
    // Every line is whole: each measurement row parsed to a real reading.
    for (size_t i = 0; i < loaded.RecordCount(); ++i) {
        EXPECT_GT(loaded.Record(i).voltage, 0) << i;
        EXPECT_GT(loaded.Record(i).year, 2000) << i;
    }
}
