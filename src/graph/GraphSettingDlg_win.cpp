#include "graph/GraphSettingDlg_win.h"

#include <iterator>

#include "fw/MessageBox_win.h"
#include "graph/GraphSettingsRules.h"
#include "resource.h"

namespace {
constexpr int kGraph1Radios[] = {IDC_GS_GRAPH1_RSOC, IDC_GS_GRAPH1_TEMP, IDC_GS_GRAPH1_VOLT};
constexpr int kGraph2Radios[] = {IDC_GS_GRAPH2_RSOC, IDC_GS_GRAPH2_TEMP, IDC_GS_GRAPH2_VOLT, IDC_GS_GRAPH2_NONE};
// Min and max edits of RSOC, Temp and Volt, indexed by kind.
constexpr int kMinEdits[kEditableRangeCount] = {IDC_GS_RSOC_MIN, IDC_GS_TEMP_MIN, IDC_GS_VOLT_MIN};
constexpr int kMaxEdits[kEditableRangeCount] = {IDC_GS_RSOC_MAX, IDC_GS_TEMP_MAX, IDC_GS_VOLT_MAX};

template <size_t N>
int32_t CheckedKind(HWND dlg, const int (&ids)[N], int32_t current)
{
    bool checked[N] = {};
    for (size_t i = 0; i < N; ++i) checked[i] = IsDlgButtonChecked(dlg, ids[i]) == BST_CHECKED;
    return KindFromChecks(checked, static_cast<int32_t>(N), current);
}
}

CGraphSettingDlg::CGraphSettingDlg(const CGraphInfo& info, HWND notify)
    : CDialog(IDD_GRAPH_SETTING), m_graphInfo(info), m_notify(notify)
{
}

CGraphSettingDlg::~CGraphSettingDlg() = default;

BOOL CGraphSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadControls();
    return TRUE;
}

void CGraphSettingDlg::LoadControls()
{
    const HWND dlg = GetHwnd();
    for (int id : kGraph1Radios) CheckDlgButton(dlg, id, BST_UNCHECKED);
    for (int id : kGraph2Radios) CheckDlgButton(dlg, id, BST_UNCHECKED);
    const int32_t kind1 = m_graphInfo.m_graph1Kind;
    const int32_t kind2 = m_graphInfo.m_graph2Kind;
    if (kind1 >= 0 && kind1 < static_cast<int32_t>(std::size(kGraph1Radios)))
        CheckDlgButton(dlg, kGraph1Radios[kind1], BST_CHECKED);
    if (kind2 >= 0 && kind2 < static_cast<int32_t>(std::size(kGraph2Radios)))
        CheckDlgButton(dlg, kGraph2Radios[kind2], BST_CHECKED);
    for (int32_t kind = 0; kind < kEditableRangeCount; ++kind) {
        SetItemText(kMinEdits[kind], FormatRangeEditText(kind, m_graphInfo.m_range[kind].min));
        SetItemText(kMaxEdits[kind], FormatRangeEditText(kind, m_graphInfo.m_range[kind].max));
    }
}

bool CGraphSettingDlg::ReadControls()
{
    const HWND dlg = GetHwnd();
    m_graphInfo.m_graph1Kind = CheckedKind(dlg, kGraph1Radios, m_graphInfo.m_graph1Kind);
    m_graphInfo.m_graph2Kind = CheckedKind(dlg, kGraph2Radios, m_graphInfo.m_graph2Kind);
    std::wstring minTexts[kEditableRangeCount];
    std::wstring maxTexts[kEditableRangeCount];
    for (int32_t kind = 0; kind < kEditableRangeCount; ++kind) {
        minTexts[kind] = ItemText(kMinEdits[kind]);
        maxTexts[kind] = ItemText(kMaxEdits[kind]);
    }
    const int32_t failed = ReadGraphRanges(m_graphInfo, minTexts, maxTexts);
    if (failed < 0) return true;
    m_rangeError = GraphRangeErrorText(ParseEditNumber(minTexts[failed]), ParseEditNumber(maxTexts[failed]));
    // The dialog's own way of moving the focus also selects the edit's text.
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kMinEdits[failed])), TRUE);
    return false;
}

void CGraphSettingDlg::ShowRangeError()
{
    AppMessageBox(GetHwnd(), m_rangeError, AppName(), MB_OK | MB_ICONSTOP);
}

void CGraphSettingDlg::NotifyMainWindow()
{
    // Sent, not posted: when OK or Apply returns the graph shows the settings.
    if (m_notify) SendMessageW(m_notify, WM_GRAPH_SETTINGS_CHANGED, 0, 0);
}

void CGraphSettingDlg::OnOkButton()
{
    if (!ReadControls()) {
        ShowRangeError();
        return;
    }
    ShowWindow(GetHwnd(), SW_HIDE);
    NotifyMainWindow();
}

void CGraphSettingDlg::OnApply()
{
    if (!ReadControls()) {
        ShowRangeError();
        return;
    }
    LoadControls();
    NotifyMainWindow();
}

void CGraphSettingDlg::OnOK() {}

void CGraphSettingDlg::OnCancel()
{
    LoadControls();
    ShowWindow(GetHwnd(), SW_HIDE);
}

bool CGraphSettingDlg::OnCommand(WORD id, WORD code, HWND /*control*/)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_GS_OK: OnOkButton(); return true;
    case IDC_GS_APPLY: OnApply(); return true;
    default: return false;
    }
}
