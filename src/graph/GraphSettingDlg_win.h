#pragma once
// "Graph Setting": chooses the series of both graphs and the value range of
// each series. A modeless top-level window that lives as long as the main
// window; it edits its own copy of the graph description and hands it over
// with WM_GRAPH_SETTINGS_CHANGED on OK and Apply.
#include "fw/Dialog_win.h"
#include "graph/GraphInfo.h"

// Sent to the notified window when OK or Apply hands the settings over.
constexpr UINT WM_GRAPH_SETTINGS_CHANGED = WM_APP + 100;  // 0x8064

class CGraphSettingDlg : public CDialog {
public:
    // notify: the window told of every hand-over (the main window).
    CGraphSettingDlg(const CGraphInfo& info, HWND notify);
    ~CGraphSettingDlg() override;

    const CGraphInfo& GraphInfo() const { return m_graphInfo; }

    // From m_graphInfo into the radio buttons and edits.
    void LoadControls();
    // From the controls into m_graphInfo. False (focus on the failing
    // series' minimum edit) when a range is refused; the kinds and the
    // ranges read before the failing one stay stored.
    bool ReadControls();

    void OnOkButton();
    void OnApply();

protected:
    BOOL OnInitDialog() override;
    // Enter neither closes nor applies.
    void OnOK() override;
    // Cancel, Escape and the close box: back to the stored values, hidden.
    void OnCancel() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void ShowRangeError();
    void NotifyMainWindow();

    CGraphInfo m_graphInfo;
    HWND m_notify;
    // Why the last ReadControls refused its range.
    const wchar_t* m_rangeError = L"";
};
