// The virtual log list: item count, cell texts, colours, following new rows
// and Clear log.
#include "WinHarness.h"

#include "log/LogTime.h"

namespace {

// Asks for one cell the way the list does, into a buffer of `capacity`
// characters followed by a guard.
std::wstring AskCell(CVantrelDlg& dlg, int row, int column, int capacity, bool* guardIntact = nullptr)
{
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 8, L'#');
    NMLVDISPINFOW info{};
    info.hdr.idFrom = IDC_LOG_LIST;
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = buffer.data();
    info.item.cchTextMax = capacity;
    EXPECT_EQ(dlg.LogView().OnGetDispInfo(&info), 0);
    if (guardIntact) *guardIntact = std::wstring(buffer.end() - 8, buffer.end()) == L"########";
    if (capacity == 0) return std::wstring(buffer.data(), 1);
    return std::wstring(buffer.data());
}

struct DrawResult {
    LRESULT answer;
    COLORREF background;
    COLORREF text;
};

constexpr COLORREF kUntouched = RGB(1, 2, 3);

DrawResult Draw(CVantrelDlg& dlg, DWORD stage, int item, int subItem = 0)
{
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = GetDlgItem(dlg.GetHwnd(), IDC_LOG_LIST);
    draw.nmcd.hdr.idFrom = IDC_LOG_LIST;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
    draw.iSubItem = subItem;
    draw.clrTextBk = kUntouched;
    draw.clrText = kUntouched;
    const LRESULT answer = dlg.LogView().OnCustomDraw(&draw);
    return {answer, draw.clrTextBk, draw.clrText};
}

using LogListTest = WindowTest;

} // namespace

TEST_F(LogListTest, ItemCountFollowsTheLogAndCellsFitTheBuffer)
{
    MainWindow w;
    w.dlg.LogView().AddMeasurementRow(Measurement(7, 85, 25.04, 3801));
    EXPECT_EQ(w.ItemCount(), 1);
    const std::wstring longText(3000, L'm');
    w.dlg.AddMessageRow(longText);
    w.dlg.LogView().AddMeasurementRow(Measurement(7, -1, -5.06, 65535));
    EXPECT_EQ(w.ItemCount(), 3);
    EXPECT_EQ(w.dlg.LogData().RowCount(), 3u);
    EXPECT_EQ(w.dlg.LogData().Record(1).rowIndex, 2);

    const char* row0[] = {"2019/01/18", "09:05:07", "85", "25.0", "3801", ""};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(w.Cell(0, c), row0[c]) << c;
    EXPECT_EQ(w.Cell(2, 3), "-5.1");
    EXPECT_EQ(w.Cell(2, 4), "65535");

    // The long message is cut to whatever buffer the list offers.
    EXPECT_EQ(w.Cell(1, 5), std::string(511, 'm'));
    bool guard = false;
    EXPECT_EQ(AskCell(w.dlg, 1, 5, 16, &guard), std::wstring(15, L'm'));
    EXPECT_TRUE(guard);
    EXPECT_EQ(AskCell(w.dlg, 0, 4, 3, &guard), L"38");
    EXPECT_TRUE(guard);
    EXPECT_EQ(AskCell(w.dlg, 0, 0, 1, &guard), L"");
    EXPECT_TRUE(guard);
    EXPECT_EQ(AskCell(w.dlg, 0, 0, 0, &guard), L"#") << "a buffer of no characters is left alone";
    EXPECT_TRUE(guard);
    // Columns and rows the list does not have give no text.
    EXPECT_EQ(AskCell(w.dlg, 0, 6, 32), L"");
    EXPECT_EQ(AskCell(w.dlg, 7, 0, 32), L"");

    NMLVDISPINFOW info{};
    info.item.mask = LVIF_PARAM;
    for (int row = 0; row < 3; ++row) {
        info.item.iItem = row;
        w.dlg.LogView().OnGetDispInfo(&info);
        EXPECT_EQ(info.item.lParam, row == 1 ? 1 : 0) << row;
    }
}

TEST_F(LogListTest, MessageRowsHaveAStampAndEmptyValueCells)
{
    MainWindow w;
    w.dlg.AddMessageRow(L"Interval 2 sec, I2C 100kHz");
    EXPECT_EQ(w.Cell(0, 0).size(), 10u);
    EXPECT_EQ(w.Cell(0, 1).size(), 8u);
    for (int c : {2, 3, 4}) EXPECT_EQ(w.Cell(0, c), "") << c;
    EXPECT_EQ(w.Cell(0, 5), "Interval 2 sec, I2C 100kHz");

    // Stamped when the local time could not be had.
    w.dlg.LogView().AddMessageRow(L"late", kLogTimeUnknown);
    ASSERT_EQ(w.ItemCount(), 2);
    EXPECT_EQ(w.Cell(1, 0), "0000/00/00");
    EXPECT_EQ(w.Cell(1, 1), "-1:-1:-1");
}

TEST_F(LogListTest, CustomDrawColoursOddLastAndMessageRows)
{
    MainWindow w;
    EXPECT_EQ(Draw(w.dlg, CDDS_PREPAINT, 0).answer, CDRF_NOTIFYITEMDRAW);

    // A single row is the last row.
    w.dlg.AddMessageRow(L"only");
    DrawResult only = Draw(w.dlg, CDDS_ITEMPREPAINT, 0);
    EXPECT_EQ(only.background, RGB(164, 255, 255));
    EXPECT_EQ(only.text, RGB(255, 0, 0));

    w.dlg.LogView().AddMeasurementRow(Measurement(7, 80, 25.0, 3900));
    w.dlg.LogView().AddMeasurementRow(Measurement(7, 80, 25.0, 3900));
    w.dlg.AddMessageRow(L"message");
    w.dlg.LogView().AddMeasurementRow(Measurement(7, 80, 25.0, 3900));
    // rows: 0 message, 1 measurement, 2 measurement, 3 message, 4 measurement (last)
    struct Case {
        int row;
        COLORREF background;
        COLORREF text;
    };
    const Case cases[] = {
        {0, kUntouched, RGB(255, 0, 0)},           {1, RGB(240, 240, 240), RGB(0, 0, 0)},
        {2, kUntouched, RGB(0, 0, 0)},             {3, RGB(240, 240, 240), RGB(255, 0, 0)},
        {4, RGB(164, 255, 255), RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        const DrawResult item = Draw(w.dlg, CDDS_ITEMPREPAINT, c.row);
        EXPECT_EQ(item.answer, CDRF_NOTIFYSUBITEMDRAW) << c.row;
        EXPECT_EQ(item.background, c.background) << c.row;
        EXPECT_EQ(item.text, c.text) << c.row;
        for (int sub = 0; sub < 6; ++sub) {
            const DrawResult cell = Draw(w.dlg, CDDS_ITEMPREPAINT | CDDS_SUBITEM, c.row, sub);
            EXPECT_EQ(cell.answer, CDRF_NOTIFYSUBITEMDRAW);
            EXPECT_EQ(cell.background, c.background) << c.row << "/" << sub;
            EXPECT_EQ(cell.text, c.text) << c.row << "/" << sub;
        }
    }
    for (DWORD stage : {DWORD(CDDS_POSTPAINT), DWORD(CDDS_ITEMPOSTPAINT), DWORD(CDDS_PREERASE)}) {
        const DrawResult other = Draw(w.dlg, stage, 4);
        EXPECT_EQ(other.answer, CDRF_DODEFAULT) << stage;
        EXPECT_EQ(other.background, kUntouched);
        EXPECT_EQ(other.text, kUntouched);
    }
}

TEST_F(LogListTest, NewRowsAreFollowedOnlyWhileTheEndIsInView)
{
    MainWindow w;
    HWND list = w.List();
    for (int i = 0; i < 200; ++i) w.dlg.LogView().AddMeasurementRow(Measurement(7, 50, 25.0, 3800));
    const int perPage = ListView_GetCountPerPage(list);
    ASSERT_GT(perPage, 0);
    ASSERT_LT(perPage, 200);
    EXPECT_EQ(ListView_GetTopIndex(list) + perPage, 200) << "the last row is wholly in view";

    ListView_EnsureVisible(list, 0, FALSE);
    ASSERT_EQ(ListView_GetTopIndex(list), 0);
    w.dlg.LogView().AddMeasurementRow(Measurement(7, 50, 25.0, 3800));
    EXPECT_EQ(ListView_GetTopIndex(list), 0) << "a user who scrolled up keeps the view";
    EXPECT_EQ(w.ItemCount(), 201);
    // The last-row colour still moves to the new row.
    EXPECT_EQ(Draw(w.dlg, CDDS_ITEMPREPAINT, 200).background, RGB(164, 255, 255));
    EXPECT_EQ(Draw(w.dlg, CDDS_ITEMPREPAINT, 199).background, RGB(240, 240, 240));
}

TEST_F(LogListTest, ClearLogAsksAndClearsOnlyOnOk)
{
    MainWindow w;
    for (int i = 0; i < 3; ++i) w.dlg.LogView().AddMeasurementRow(Measurement(7, 70 + i, 25.0, 3800));
    w.dlg.AddMessageRow(L"message");
    w.dlg.Graph().ShowCursorReadout(2);
    for (int id : {IDC_READOUT_TIME, IDC_READOUT_GRAPH1, IDC_READOUT_GRAPH2}) SetDlgItemTextW(w.Wnd(), id, L"x");

    boxes.answers = {IDCANCEL};
    w.Click(IDC_CLEAR_LOG);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Clear the log?");
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "Clear Log");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(w.ItemCount(), 4);
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 3u);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 2);
    EXPECT_EQ(w.Text(IDC_READOUT_TIME), "x");

    boxes.answers = {IDOK};
    w.Click(IDC_CLEAR_LOG);
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(w.ItemCount(), 0);
    EXPECT_EQ(w.dlg.LogData().RowCount(), 0u);
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 0u);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 0);
    for (int id : {IDC_READOUT_TIME, IDC_READOUT_GRAPH1, IDC_READOUT_GRAPH2}) EXPECT_EQ(w.Text(id), "") << id;

    // An empty log still asks; later rows start a new log.
    boxes.answers = {IDOK};
    w.Click(IDC_CLEAR_LOG);
    EXPECT_EQ(boxes.boxes.size(), 3u);
    w.dlg.LogView().AddMeasurementRow(Measurement(7, 60, 25.0, 3800));
    EXPECT_EQ(w.ItemCount(), 1);
    EXPECT_EQ(w.dlg.LogData().Record(0).rowIndex, 0);
}
