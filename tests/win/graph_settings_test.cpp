// The graph settings dialog: what it shows, what it refuses and what it hands
// to the main window.
#include "WinHarness.h"

namespace {
using GraphSettingsWin = WindowTest;

class SettingsWindow : public MainWindow {
public:
    HWND Settings() const { return dlg.Graph().SettingsDialog() ? dlg.Graph().SettingsDialog()->GetHwnd() : nullptr; }
    HWND SettingsItem(int id) const { return GetDlgItem(Settings(), id); }
    std::string SettingsText(int id) const { return Utf8(dlg.Graph().SettingsDialog()->ItemText(id)); }
    void SetSettingsText(int id, const wchar_t* text) { SetDlgItemTextW(Settings(), id, text); }
    void ClickSettings(int id) { ::Click(Settings(), id); }
    void Check(int id)
    {
        // As a click on an automatic radio button does: the others of its group go.
        SendMessageW(SettingsItem(id), BM_CLICK, 0, 0);
    }
    bool Checked(int id) const { return IsDlgButtonChecked(Settings(), id) == BST_CHECKED; }
    bool Visible() const { return IsWindowVisible(Settings()) != FALSE; }
    void Open() { Click(IDC_GRAPH_SETTING); }
};

constexpr int kEdits[] = {IDC_GS_RSOC_MIN, IDC_GS_RSOC_MAX, IDC_GS_TEMP_MIN,
                          IDC_GS_TEMP_MAX, IDC_GS_VOLT_MIN, IDC_GS_VOLT_MAX};
}

TEST_F(GraphSettingsWin, CreatedHiddenAsATopLevelWindowAndFirstShownWithTheDefaults)
{
    SettingsWindow w;
    ASSERT_NE(w.Settings(), nullptr);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(GetWindow(w.Settings(), GW_OWNER), nullptr) << "not owned by the main window";
    EXPECT_EQ(GetAncestor(w.Settings(), GA_ROOT), w.Settings());

    w.Open();
    EXPECT_TRUE(w.Visible());
    const int checked[] = {IDC_GS_GRAPH1_RSOC, IDC_GS_GRAPH2_TEMP};
    const int unchecked[] = {IDC_GS_GRAPH1_TEMP, IDC_GS_GRAPH1_VOLT, IDC_GS_GRAPH2_RSOC, IDC_GS_GRAPH2_VOLT,
                             IDC_GS_GRAPH2_NONE};
    for (int id : checked) EXPECT_TRUE(w.Checked(id)) << id;
    for (int id : unchecked) EXPECT_FALSE(w.Checked(id)) << id;
    const char* texts[] = {"0", "100", "-20.0", "70.0", "0", "5000"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(w.SettingsText(kEdits[i]), texts[i]) << kEdits[i];
}

TEST_F(GraphSettingsWin, ApplyHandsTheStoredValuesOverAndRewritesTheEdits)
{
    SettingsWindow w;
    w.AppendMany(20, 10);
    w.Open();
    w.SetSettingsText(IDC_GS_RSOC_MAX, L"10.6");
    w.SetSettingsText(IDC_GS_VOLT_MIN, L"  2500.4mV");
    w.SetSettingsText(IDC_GS_VOLT_MAX, L"0x1000");  // read as the runtime reads it
    w.Check(IDC_GS_GRAPH2_VOLT);
    w.ClickSettings(IDC_GS_APPLY);

    EXPECT_TRUE(w.Visible());
    const CGraphInfo& applied = w.dlg.Graph().Info();
    EXPECT_DOUBLE_EQ(applied.m_range[GRAPH_KIND_RSOC].max, 10.6);
    EXPECT_DOUBLE_EQ(applied.m_range[GRAPH_KIND_VOLT].min, 2500.4);
    EXPECT_EQ(applied.m_graph2Kind, GRAPH_KIND_VOLT);
    EXPECT_EQ(w.SettingsText(IDC_GS_RSOC_MAX), "11");
    EXPECT_DOUBLE_EQ(applied.m_range[GRAPH_KIND_VOLT].max, 4096.0);
    EXPECT_EQ(w.SettingsText(IDC_GS_VOLT_MIN), "2500");
    EXPECT_EQ(w.SettingsText(IDC_GS_VOLT_MAX), "4096");
    // The graph already uses the new range: RSOC 10 lies just under the top line.
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    EXPECT_DOUBLE_EQ(g.yScale[0], (g.plot.bottom - 30 * g.vScale) / 10.6);
    EXPECT_EQ(w.dlg.Graph().Points().points[0][0].y,
              static_cast<int>(g.plot.bottom - 15 * g.vScale - 10 * g.yScale[0]));
}

TEST_F(GraphSettingsWin, RefusedRangeShowsTheBoxAndKeepsTheWindowOpen)
{
    SettingsWindow w;
    ShowWindow(w.Wnd(), SW_SHOW);
    w.Open();
    MessageBoxRecorder boxes;
    w.Check(IDC_GS_GRAPH1_VOLT);
    w.SetSettingsText(IDC_GS_RSOC_MAX, L"90");
    w.SetSettingsText(IDC_GS_TEMP_MIN, L"50");
    w.SetSettingsText(IDC_GS_TEMP_MAX, L"40");
    w.ClickSettings(IDC_GS_OK);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Please set [Min value] < [Max value]");
    EXPECT_EQ(boxes.boxes[0].caption, AppName());
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(boxes.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_EQ(GetFocus(), w.SettingsItem(IDC_GS_TEMP_MIN));
    EXPECT_TRUE(w.Visible());
    // Stored in the dialog's copy up to the failing series, not applied.
    const CGraphInfo& own = w.dlg.Graph().SettingsDialog()->GraphInfo();
    EXPECT_EQ(own.m_graph1Kind, GRAPH_KIND_VOLT);
    EXPECT_DOUBLE_EQ(own.m_range[GRAPH_KIND_RSOC].max, 90.0);
    EXPECT_DOUBLE_EQ(own.m_range[GRAPH_KIND_TEMP].min, -20.0);
    EXPECT_EQ(w.dlg.Graph().Info().m_graph1Kind, GRAPH_KIND_RSOC);
    EXPECT_DOUBLE_EQ(w.dlg.Graph().Info().m_range[GRAPH_KIND_RSOC].max, 100.0);

    // Apply refuses in the same way; texts that are no numbers read as 0 and 0.
    w.SetSettingsText(IDC_GS_TEMP_MIN, L"-5");
    w.SetSettingsText(IDC_GS_VOLT_MIN, L"abc");
    w.SetSettingsText(IDC_GS_VOLT_MAX, L"x1");
    w.ClickSettings(IDC_GS_APPLY);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(GetFocus(), w.SettingsItem(IDC_GS_VOLT_MIN));
    EXPECT_DOUBLE_EQ(own.m_range[GRAPH_KIND_TEMP].min, -5.0);
    EXPECT_EQ(w.dlg.Graph().Info().m_graph1Kind, GRAPH_KIND_RSOC);

    // Cancel reloads the controls from the dialog's copy, partly stored as it is.
    w.ClickSettings(IDCANCEL);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.SettingsText(IDC_GS_RSOC_MAX), "90");
    EXPECT_EQ(w.SettingsText(IDC_GS_TEMP_MIN), "-5.0");
    EXPECT_EQ(w.SettingsText(IDC_GS_VOLT_MIN), "0");
    EXPECT_TRUE(w.Checked(IDC_GS_GRAPH1_VOLT));
    EXPECT_EQ(w.dlg.Graph().Info().m_graph1Kind, GRAPH_KIND_RSOC);
    // An infinite maximum is refused, but not as a pair in the wrong order.
    w.Open();
    w.SetSettingsText(IDC_GS_RSOC_MAX, L"1e999");
    w.ClickSettings(IDC_GS_APPLY);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(Utf8(boxes.boxes[2].text), "Please set [Min value] and [Max value] to finite numbers");
    EXPECT_EQ(GetFocus(), w.SettingsItem(IDC_GS_RSOC_MIN));
}

TEST_F(GraphSettingsWin, EnterDoesNothingAndEscapeDiscardsTheTexts)
{
    SettingsWindow w;
    w.Open();
    w.SetSettingsText(IDC_GS_RSOC_MIN, L"5");
    w.ClickSettings(IDOK);
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.SettingsText(IDC_GS_RSOC_MIN), "5");
    EXPECT_DOUBLE_EQ(w.dlg.Graph().Info().m_range[GRAPH_KIND_RSOC].min, 0.0);

    // Escape as the dialog manager turns it into a command, then the close box.
    w.ClickSettings(IDCANCEL);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.SettingsText(IDC_GS_RSOC_MIN), "0");
    w.Open();
    w.SetSettingsText(IDC_GS_RSOC_MIN, L"7");
    SendMessageW(w.Settings(), WM_CLOSE, 0, 0);  // the dialog posts itself a Cancel
    PumpMessages(20);
    EXPECT_FALSE(w.Visible());
    EXPECT_NE(w.Settings(), nullptr) << "hidden, never destroyed";
    EXPECT_EQ(w.SettingsText(IDC_GS_RSOC_MIN), "0");
    EXPECT_DOUBLE_EQ(w.dlg.Graph().Info().m_range[GRAPH_KIND_RSOC].min, 0.0);
}

TEST_F(GraphSettingsWin, NoneForGraphTwoEmptiesItsBoxOnTheNextPick)
{
    SettingsWindow w;
    w.AppendMany(10, 40, 22.5, 3800);
    w.dlg.Graph().ShowCursorReadout(0);
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH2), "Temp\n22.5 \xE2\x84\x83");
    w.Open();
    w.Check(IDC_GS_GRAPH2_NONE);
    w.Check(IDC_GS_GRAPH1_VOLT);
    w.ClickSettings(IDC_GS_OK);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.dlg.Graph().Info().m_graph2Kind, GRAPH_KIND_NONE);
    // The readout follows the new kinds at once.
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "Volt\n3800 mV");
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH2), "");
    w.Press(w.HitArea().right - 1, w.HitArea().top + 3);
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH2), "");
    // Zoom and scroll are left as they were.
    EXPECT_EQ(w.dlg.Graph().ZoomLevel(), 0);
}
