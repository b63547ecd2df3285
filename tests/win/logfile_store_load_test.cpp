// "Store log..." and the system menu's log loading on the real main window:
// what reaches the file, what comes back into the list and the graphs, and
// what happens to the current log when a file cannot be written or read.
#include "WinHarness.h"

#include <clocale>

#include "fw/Handle_win.h"
#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"

namespace {

class LogFileTest : public WindowTest {
protected:

    // Two measurements, a message row, a standby record.
    static void FillLog(MainWindow& w)
    {
        w.dlg.LogView().AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
        w.dlg.AddMessageRow(L"<Comm setting: 1sec, I2C 100kHz>");
        w.dlg.LogView().AddMeasurementRow(Measurement(8, 84, -3.27, 65535));
        w.dlg.LogView().AddMeasurementRow(Measurement(9, -1, 24.96, 3799));
    }

    CTempFolder folder;
};

// Every row but the date and time of message rows, which a load stamps anew.
std::vector<std::string> ComparableRows(const MainWindow& w)
{
    std::vector<std::string> rows;
    for (int i = 0; i < w.ItemCount(); ++i) {
        const bool message = w.dlg.LogData().RowKind(static_cast<size_t>(i)) == kLogRowMessage;
        rows.push_back(message ? "message|" + w.Cell(i, 5) : w.Row(i));
    }
    return rows;
}

} // namespace

TEST_F(LogFileTest, StoreThenLoadGivesTheSameRows)
{
    const std::wstring path = folder.File(L"run.txt");
    std::vector<std::string> stored;
    {
        MainWindow w;
        FillLog(w);
        stored = ComparableRows(w);
        ASSERT_TRUE(w.dlg.StoreLogToPath(path));
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(w.ItemCount(), 4) << "storing changes nothing in the log";
    }
    EXPECT_EQ(ReadBytes(path),
              "2019/01/18 09:05:07, 85, 25.0, 3801\r\n"
              "<Comm setting: 1sec, I2C 100kHz>\r\n"
              "2019/01/18 09:05:08, 84, -3.3, 65535\r\n"
              "2019/01/18 09:05:09,Standby, 25.0, 3799\r\n");

    MainWindow w;
    boxes.Clear();
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    EXPECT_TRUE(boxes.boxes.empty()) << "an empty log is replaced without asking";
    ASSERT_EQ(w.ItemCount(), 4);
    EXPECT_EQ(ComparableRows(w), stored);
    EXPECT_EQ(w.Row(3), "2019/01/18|09:05:09|Standby|25.0|3799|");
    ASSERT_EQ(w.dlg.LogData().RecordCount(), 3u);
    EXPECT_EQ(w.dlg.LogData().Record(0).temperature, 25.0) << "the one-decimal value that was written";
    EXPECT_EQ(w.dlg.LogData().Record(2).rsoc, kLogRsocStandby);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(w.dlg.LogData().RowKind(static_cast<size_t>(w.dlg.LogData().Record(i).rowIndex)),
                  kLogRowMeasurement);

    // The list shows its end, the graph the newest records, the cursor no record.
    EXPECT_TRUE(w.RowInView(3));
    EXPECT_EQ(w.dlg.Graph().ScrollOffset(), 0);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 3);
    EXPECT_EQ(w.dlg.Graph().Points().count, 3);

    // A reading after the load joins the loaded log.
    w.dlg.AddReading(70, 26.0, 3700, true);
    EXPECT_EQ(w.ItemCount(), 5);
    EXPECT_EQ(w.dlg.LogData().Record(3).rowIndex, 4);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 4);
}

// A user locale with a decimal comma must not turn "25.0" into "25,0", which
// would split the comma-separated line.
TEST_F(LogFileTest, FilesKeepTheDecimalPointUnderACommaLocale)
{
    struct ResetLocale {
        ~ResetLocale() { setlocale(LC_ALL, "C"); }
    } reset;
    const char* comma = nullptr;
    for (const char* name : {"German_Germany.1252", "de-DE", "German", "French"}) {
        if (setlocale(LC_ALL, name) && localeconv()->decimal_point[0] == ',') {
            comma = name;
            break;
        }
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma";
    const std::wstring path = folder.File(L"comma.txt");
    {
        MainWindow w;
        w.dlg.LogView().AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
        EXPECT_EQ(w.Cell(0, 3), "25.0");
        ASSERT_TRUE(w.dlg.StoreLogToPath(path));
    }
    EXPECT_EQ(ReadBytes(path), "2019/01/18 09:05:07, 85, 25.0, 3801\r\n");
    MainWindow w;
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path)) << comma;
    ASSERT_EQ(w.dlg.LogData().RecordCount(), 1u);
    EXPECT_EQ(w.dlg.LogData().Record(0).temperature, 25.0);
    EXPECT_EQ(w.dlg.LogData().Record(0).voltage, 3801);
}

// A log longer than the list's view opens at its end, whatever the list
// showed before.
TEST_F(LogFileTest, ALongLogOpensAtItsLastRow)
{
    std::string lines;
    for (int i = 0; i < 300; ++i) {
        char line[64];
        snprintf(line, sizeof line, "2019/01/18 10:%02d:%02d, %d, 25.0, 3800\r\n", i / 60, i % 60, 90 - i % 50);
        lines += line;
    }
    const std::wstring path = folder.File(L"long.txt");
    ASSERT_TRUE(WriteBytes(path, lines));
    MainWindow w;
    w.dlg.AddMessageRow(L"<shown before>");
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    // The graph scrolled back and the list moved, then the file loaded again.
    SendMessageW(w.dlg.GetHwnd(), WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(w.dlg.GetHwnd(), IDC_GRAPH_SCROLL)));
    ASSERT_GT(w.dlg.Graph().ScrollOffset(), 0);
    ListView_EnsureVisible(GetDlgItem(w.dlg.GetHwnd(), IDC_LOG_LIST), 0, FALSE);
    boxes.answers = {IDYES};
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    ASSERT_EQ(w.ItemCount(), 300);
    EXPECT_TRUE(w.RowInView(299));
    EXPECT_FALSE(w.RowInView(0));
    EXPECT_EQ(w.Row(299), "2019/01/18|10:04:59|41|25.0|3800|");
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 300);
    EXPECT_EQ(w.dlg.Graph().ScrollOffset(), 0);
    EXPECT_GT(w.dlg.Graph().Points().count, 0);
}

TEST_F(LogFileTest, AnEmptyLogStoresAnEmptyFile)
{
    MainWindow w;
    const std::wstring path = folder.File(L"empty.txt");
    ASSERT_TRUE(WriteBytes(path, "old contents\r\n"));
    ASSERT_TRUE(w.dlg.StoreLogToPath(path));
    EXPECT_EQ(ReadBytes(path), "") << "an existing file is truncated";
}

TEST_F(LogFileTest, AStoreThatCannotBeWrittenIsReported)
{
    MainWindow w;
    FillLog(w);
    const struct {
        const char* name;
        std::wstring path;
    } cases[] = {
        {"missing folder", folder.File(L"no-such-folder\\run.txt")},
        {"a folder, not a file", folder.Path()},
        {"invalid name", folder.File(L"bad<name>.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        EXPECT_FALSE(w.dlg.StoreLogToPath(c.path));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(Utf8(boxes.boxes[0].text), "store file error");
        EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
        EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(w.ItemCount(), 4);
    }
    EXPECT_EQ(ReadBytes(folder.File(L"no-such-folder\\run.txt")), "<missing>");
}

TEST_F(LogFileTest, AFileThatCannotBeReadKeepsTheCurrentLog)
{
    MainWindow w;
    FillLog(w);
    const std::vector<std::string> before = w.Rows();
    boxes.answers = {IDYES};
    const std::wstring paths[] = {folder.File(L"missing.txt"), folder.Path()};
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(Utf8(path));
        boxes.boxes.clear();
        EXPECT_FALSE(w.dlg.LoadLogFromPath(path));
        ASSERT_EQ(boxes.boxes.size(), 1u) << "nothing to ask about when the file cannot be opened";
        EXPECT_EQ(Utf8(boxes.boxes[0].text), "open file error");
        EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
        EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(w.Rows(), before);
        EXPECT_EQ(w.dlg.LogData().RecordCount(), 3u);
    }
}

TEST_F(LogFileTest, ReplacingRecordsIsAskedFirst)
{
    const std::wstring path = folder.File(L"two.txt");
    ASSERT_TRUE(WriteBytes(path, "2020/02/02 10:00:00, 50, 20.0, 3600\r\n<loaded>\r\n"));
    const struct {
        const char* name;
        bool records;   // the window holds a measurement row before the load
        bool messages;  // ... and a message row
        int answer;
        bool asked;
        bool replaced;
    } cases[] = {
        {"empty log", false, false, IDNO, false, true},
        {"message rows only", false, true, IDNO, false, true},
        {"records, answer No", true, true, IDNO, true, false},
        {"records, answer Yes", true, false, IDYES, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        if (c.messages) w.dlg.AddMessageRow(L"<before>");
        if (c.records) w.dlg.LogView().AddMeasurementRow(Measurement(1, 99, 30.0, 4100));
        const std::vector<std::string> before = w.Rows();
        boxes.Clear();
        boxes.answers = {c.answer};
        EXPECT_EQ(w.dlg.LoadLogFromPath(path), c.replaced);
        if (c.asked) {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(Utf8(boxes.boxes[0].text), "Load LogFile.\nClear Current Logdata?");
            EXPECT_EQ(boxes.boxes[0].caption, AppName());
            EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_YESNO));
        } else {
            EXPECT_TRUE(boxes.boxes.empty());
        }
        if (c.replaced) {
            ASSERT_EQ(w.ItemCount(), 2);
            EXPECT_EQ(w.Row(0), "2020/02/02|10:00:00|50|20.0|3600|");
            EXPECT_EQ(w.Cell(1, 5), "<loaded>");
        } else {
            EXPECT_EQ(w.Rows(), before);
        }
    }
}

// Message lines, standby in its written and earlier forms, and lines the
// loader takes by fixed positions.
TEST_F(LogFileTest, LoadedRowsGetTheirKinds)
{
    const std::wstring path = folder.File(L"kinds.txt");
    ASSERT_TRUE(WriteBytes(path,
                           "<Comm setting: 2sec>\r\n"
                           "2019/01/18 09:05:07,Standby, 25.0, 3801\r\n"
                           "2019/01/18 09:05:08, Standby, 25.0, 3801\r\n"
                           "2019/01/18 09:05:09,STANDBY, 25.1, 3802\r\n"
                           "2019/01/18 09:05:10, 4294967295, 25.2, 3803\r\n"
                           "\r\n"
                           "2019/1/8 10:05:07, 85, 25.0, 3801\r\n"
                           "<last message"));
    MainWindow w;
    const SYSTEMTIME before = [] {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        return t;
    }();
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    const std::vector<std::string> expected = {
        "message|<Comm setting: 2sec>",
        "2019/01/18|09:05:07|Standby|25.0|3801|",
        "2019/01/18|09:05:08|0|25.0|3801|",
        "2019/01/18|09:05:09|Standby|25.1|3802|",
        "2019/01/18|09:05:10|Standby|25.2|3803|",
        "0000/00/00|00:00:00|0|0.0|0|",
        "2019/01/01|00:00:00|85|25.0|3801|",
        "message|<last message",
    };
    EXPECT_EQ(ComparableRows(w), expected);
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 6u);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 6);
    // Message rows carry the time of the load.
    char today[16];
    snprintf(today, sizeof today, "%04d/%02d/%02d", before.wYear, before.wMonth, before.wDay);
    EXPECT_EQ(w.Cell(0, 0), today);
    EXPECT_EQ(w.Cell(0, 2), "");
}

// Message rows keep the characters of the ANSI code page (Japanese on a
// Japanese system) through a store and a load.
TEST_F(LogFileTest, MessageTextsInTheAnsiCodePage)
{
    const std::wstring japanese = L"<\u901a\u4fe1\u8a2d\u5b9a: 2\u79d2>";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, japanese.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (lost) GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no Japanese (run with LANG=ja_JP.UTF-8)";

    const std::wstring path = folder.File(L"japanese.txt");
    {
        MainWindow w;
        w.dlg.AddMessageRow(japanese);
        w.dlg.LogView().AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
        ASSERT_TRUE(w.dlg.StoreLogToPath(path));
    }
    std::string ansi(64, '\0');
    ansi.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, japanese.c_str(), -1, &ansi[0], 64, nullptr, nullptr) - 1));
    EXPECT_EQ(ReadBytes(path), ansi + "\r\n2019/01/18 09:05:07, 85, 25.0, 3801\r\n");

    MainWindow w;
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    ASSERT_EQ(w.ItemCount(), 2);
    EXPECT_EQ(w.Cell(0, 5), Utf8(japanese));
    EXPECT_EQ(w.Row(1), "2019/01/18|09:05:07|85|25.0|3801|");
}

// A message row is stored as it is where the code page holds it, else with
// '?' for what the page lacks; no row keeps the others from the file. Handed
// code page 65001 (a system set to UTF-8) the codec writes UTF-8 and reads it
// back; handed 1252 it writes the page's form.
TEST_F(LogFileTest, MessageTextsAreStoredAsTheyAreOrWithReplacements)
{
    const std::wstring message = L"<\u6e29\u5ea6 25\u2103 \u0416>";
    LogStore log;
    log.AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
    log.AddMessageRow(message, LogTime{2019, 1, 18, 9, 5, 8});
    log.AddMeasurementRow(Measurement(9, 84, 25.0, 3800));
    const std::string first = "2019/01/18 09:05:07, 85, 25.0, 3801\r\n";
    const std::string last = "2019/01/18 09:05:09, 84, 25.0, 3800\r\n";

    const std::wstring path = folder.File(L"utf8.txt");
    ASSERT_EQ(StoreLogFile(path, log, AnsiLogTextCodec(65001)).status, LogFileStatus::Ok);
    EXPECT_EQ(ReadBytes(path), first + Utf8(message) + "\r\n" + last);
    LogStore loaded;
    ASSERT_EQ(LoadLogFile(path, loaded, AnsiLogTextCodec(65001), [] { return LogTime{2026, 1, 1, 0, 0, 0}; }).status,
              LogFileStatus::Ok);
    ASSERT_EQ(loaded.RowCount(), 3u);
    EXPECT_EQ(loaded.CellText(1, kLogColMessage), message);
    EXPECT_EQ(loaded.Record(1).second, 9);

    const std::wstring cut = folder.File(L"1252.txt");
    const LogStoreResult replaced = StoreLogFile(cut, log, AnsiLogTextCodec(1252));
    EXPECT_EQ(replaced.status, LogFileStatus::Ok);
    EXPECT_EQ(replaced.rowsWritten, 3u);
    ASSERT_EQ(replaced.replaced.size(), 1u);
    EXPECT_EQ(replaced.replaced[0].written, L"<?? 25? ?>") << "no look-alikes, only '?'";
    EXPECT_EQ(ReadBytes(cut), first + "<?? 25? ?>\r\n" + last);

    // A lone surrogate has no UTF-8 form either.
    LogStore broken;
    broken.AddMessageRow(std::wstring(L"<") + wchar_t(0xD800) + L">", LogTime{2019, 1, 18, 9, 5, 8});
    const LogStoreResult surrogate = StoreLogFile(cut, broken, AnsiLogTextCodec(65001));
    EXPECT_EQ(surrogate.status, LogFileStatus::Ok);
    EXPECT_EQ(surrogate.replacedRows, 1u);
    EXPECT_EQ(ReadBytes(cut), "<?>\r\n");
}

// Through "Store log..." over an existing file, with a row the system's code
// page cannot hold first: every measurement is stored, the user is told which
// line holds what instead, and the file loads back.
TEST_F(LogFileTest, ARowTheCodePageCannotHoldKeepsNoMeasurementFromTheFile)
{
    const std::wstring message = L"<Journal cannot be written: C:\\users\\\u0141\u4e02\\AppData>";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, message.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (!lost) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds every character";

    std::string old;
    while (old.size() < 5000) old += "2018/12/31 23:59:59, 50, 20.0, 3700\r\n";
    const std::wstring path = folder.Write(L"week.txt", old);
    MainWindow w;
    w.dlg.AddMessageRow(message);
    FillLog(w);
    ASSERT_TRUE(w.dlg.StoreLogToPath(path));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "Store log");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    const std::string told = Utf8(boxes.boxes[0].text);
    EXPECT_NE(told.find("1 message row was not written as shown"), std::string::npos) << told;
    EXPECT_NE(told.find("line 1: <Journal cannot be written: C:\\users\\?\?\\AppData>"), std::string::npos) << told;
    // (The journal stopped at that row and said so in a row of its own.)
    std::string expected = "<Journal cannot be written: C:\\users\\?\?\\AppData>\r\n";
    for (size_t row = 1; row < w.dlg.LogData().RowCount(); ++row)
        ASSERT_TRUE(FormatLogRowLine(w.dlg.LogData(), row, AnsiLogTextCodec(), expected));
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_NE(expected.find("2019/01/18 09:05:09,Standby, 25.0, 3799\r\n"), std::string::npos);
    boxes.Clear();
    boxes.answers = {IDYES};
    ASSERT_TRUE(w.dlg.LoadLogFromPath(path));
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 3u);
    EXPECT_EQ(w.Cell(0, 5), "<Journal cannot be written: C:\\users\\?\?\\AppData>");
}

// A store that fails leaves the file it was to replace byte for byte, and no
// new file beside it (a program holding the target open without letting it be
// deleted refuses the replacement).
TEST_F(LogFileTest, AFailedStoreKeepsTheFileItWasToReplace)
{
    std::string old;
    while (old.size() < 5000) old += "2018/12/31 23:59:59, 50, 20.0, 3700\r\n";
    const std::wstring path = folder.Write(L"kept.txt", old);
    CHandle holder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr));
    ASSERT_TRUE(holder.IsValid());
    MainWindow w;
    FillLog(w);
    EXPECT_FALSE(w.dlg.StoreLogToPath(path));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "store file error");
    EXPECT_TRUE(ReadBytes(path) == old) << "the old file, byte for byte";
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(folder.File(L"*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(names, std::vector<std::wstring>{L"kept.txt"});
}

// The button and the system-menu command with the real common dialogs.
TEST_F(LogFileTest, CommandsAskForTheFileWithTheCommonDialogs)
{
    MainWindow w;
    FillLog(w);

    {
        FileDialogAnswer cancel(L"");
        w.Click(IDC_STORE_LOG);
        EXPECT_EQ(cancel.filter, "TEXT Files (*.txt)");
    }
    // The default extension is added to a bare name.
    const std::wstring bare = folder.File(L"stored");
    {
        FileDialogAnswer choose(bare);
        w.Click(IDC_STORE_LOG);
        EXPECT_FALSE(choose.Confirmed()) << "a new file needs no confirmation";
    }
    const std::string written = ReadBytes(bare + L".txt");
    EXPECT_EQ(written.substr(0, 37), "2019/01/18 09:05:07, 85, 25.0, 3801\r\n");
    // Overwriting an existing file is confirmed first.
    {
        FileDialogAnswer choose(bare + L".txt");
        w.dlg.AddMessageRow(L"<one more>");
        w.Click(IDC_STORE_LOG);
        EXPECT_TRUE(choose.Confirmed());
    }
    EXPECT_NE(ReadBytes(bare + L".txt").find("<one more>\r\n"), std::string::npos);

    {
        FileDialogAnswer cancel(L"");
        SendMessageW(w.Wnd(), WM_SYSCOMMAND, IDM_LOADLOG, 0);
        EXPECT_EQ(cancel.filter, "Vantrel Log File (*.txt)");
        EXPECT_EQ(w.ItemCount(), 5) << "cancel changes nothing";
    }
    const std::wstring other = folder.File(L"other.txt");
    ASSERT_TRUE(WriteBytes(other, "2021/03/04 05:06:07, 12, 13.4, 3456\r\n"));
    boxes.answers = {IDYES};
    {
        FileDialogAnswer choose(other);
        SendMessageW(w.Wnd(), WM_SYSCOMMAND, IDM_LOADLOG, 0);
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Load LogFile.\nClear Current Logdata?");
    ASSERT_EQ(w.ItemCount(), 1);
    EXPECT_EQ(w.Row(0), "2021/03/04|05:06:07|12|13.4|3456|");
}
