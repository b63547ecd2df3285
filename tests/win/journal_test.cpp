// The measurement journal: every row the log list gains reaches a file of the
// run at once, in the log-file format; an unwritable folder costs one message.
#include <gtest/gtest.h>

#include <string>

#include "app/VantrelDlg_win.h"
#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"
#include "WinHarness.h"

namespace {
std::string ReadBytes(const std::wstring& path)
{
    std::string out;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return out;
}

tagLOGDATA Reading(int32_t rsoc)
{
    tagLOGDATA r{};
    r.year = 2026, r.month = 12, r.day = 9, r.hour = 10, r.minute = 0, r.second = rsoc % 60;
    r.rsoc = rsoc, r.temperature = 24.5, r.voltage = static_cast<uint16_t>(3600 + rsoc);
    return r;
}

class JournalTest : public testing::Test {
protected:
    void SetUp() override
    {
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
        DeleteFileW(BesideExe(L"Vantrel.ini").c_str());
    }
    bool hadOld = false;
    std::wstring oldValue, base;
};
}

TEST_F(JournalTest, EveryRowReachesTheFileAsALogLineAndClearKeepsIt)
{
    MessageBoxRecorder boxes;
    std::wstring path;
    std::string expected;
    {
        CVantrelDlg dlg(L"-demo2");
        ASSERT_TRUE(dlg.Create(nullptr));
        ASSERT_TRUE(dlg.Journal().IsOpen());
        path = dlg.Journal().Path();
        EXPECT_EQ(path.rfind(base + L"\\Vantrel\\journal\\Vantrel_", 0), 0u) << Utf8(path);

        dlg.AddMessageRow(L"<Start measure>");
        for (int i = 0; i < 5; ++i) dlg.AddMeasurementRow(Reading(90 - i));
        // Written through at once: readable while the tool still runs.
        for (size_t row = 0; row < dlg.LogData().RowCount(); ++row)
            ASSERT_TRUE(FormatLogRowLine(dlg.LogData(), row, AnsiLogTextCodec(), expected));
        EXPECT_EQ(ReadBytes(path), expected);

        boxes.answers.push_back(IDOK);
        dlg.OnClearLog();
        EXPECT_EQ(dlg.LogData().RowCount(), 0u);
        dlg.AddMeasurementRow(Reading(50));
        FormatLogRowLine(dlg.LogData(), 0, AnsiLogTextCodec(), expected);
        dlg.DestroyWindow();
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
    HANDLE f = CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    SetEnvironmentVariableW(L"LOCALAPPDATA", blocker.c_str());

    MessageBoxRecorder boxes;
    CVantrelDlg dlg(L"-demo2");
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_FALSE(dlg.Journal().IsOpen());
    ASSERT_GE(dlg.LogData().RowCount(), 1u);
    const std::wstring first = dlg.LogData().CellText(0, kLogColMessage);
    EXPECT_EQ(first.rfind(L"<Journal cannot be written", 0), 0u) << Utf8(first);
    dlg.AddMeasurementRow(Reading(70));
    size_t journalMessages = 0;
    for (size_t row = 0; row < dlg.LogData().RowCount(); ++row)
        if (dlg.LogData().CellText(row, kLogColMessage).rfind(L"<Journal", 0) == 0) ++journalMessages;
    EXPECT_EQ(journalMessages, 1u);
    EXPECT_TRUE(boxes.boxes.empty()) << "never a blocking message box";
    dlg.DestroyWindow();
    DeleteFileW(blocker.c_str());
}
