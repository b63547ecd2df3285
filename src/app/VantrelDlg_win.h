#pragma once
// The main window. It owns every piece of run-time state for the whole run.
// Its handlers are spread over the subsystem folders (one file per concern);
// this header is the one place that lists them.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <windows.h>
#include <commctrl.h>

#include "app/AppSettings.h"
#include "fw/Dialog_win.h"
#include "fw/Gdi_win.h"
#include "fw/Handle_win.h"

// Window messages of our own.
constexpr UINT WM_SUBBOARD_REPORT = WM_USER + 100;         // 0x464, receive thread -> dialog
constexpr UINT WM_GRAPH_SETTINGS_CHANGED = WM_APP + 100;   // 0x8064, graph settings -> dialog

// System-menu commands added by the tool.
constexpr UINT IDM_ABOUTBOX = 0x0010;
constexpr UINT IDM_LOADLOG = 0x0020;

// Window timer of the demo modes (the measuring period).
constexpr UINT_PTR kDemoTimerId = 1;

class CVantrelDlg : public CDialog {
public:
    explicit CVantrelDlg(std::wstring commandLine = std::wstring());
    ~CVantrelDlg() override;

    int DemoMode() const { return m_demoMode; }
    double DpiScaleX() const { return m_dpiScaleX; }
    double DpiScaleY() const { return m_dpiScaleY; }
    CAppSettings& Settings() { return m_settings; }
    HWND StatusBar() const { return m_statusBar; }
    std::wstring StatusText(int pane) const;

    bool PreTranslateMessage(MSG* msg) override;

    // --- start-up and shutdown (app/VantrelDlg_win.cpp)
    void InitializeMainWindow();
    void OnSysCommand(UINT id, LPARAM lp);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDestroy() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

public:
    // --- status bar (app/StatusBar_win.cpp)
    void CreateStatusBar();
    void LayoutStatusBar();
    void SetStatusText(int pane, const std::wstring& text);

    // --- the sub board (link/, protocol/): filled in by the link issues.
    void StartReceiveThread(uint16_t seconds);
    void StopReceiveThread();
    bool FindSubBoard();
    bool OpenSubBoard();
    void CloseSubBoard();
    HANDLE DeviceHandle() const;
    void SendStopFrame();
    void SendCommSettings();
    bool RegisterHandleNotification(HANDLE device);
    void UnregisterHandleNotification();
    void RegisterInterfaceNotification();
    void UnregisterInterfaceNotification();
    void ShowConnected(bool connected);
    void FreeReportQueue();
    void FreeFlashImage();

    // --- log (log/)
    void ClearLogData();

    // --- graph and layout (graph/, ui/)
    void UpdateGraphGeometry();
    void RegisterLayout();
    void CreateGraphSettingDialog();
    void DestroyGraphSettingDialog();
    void LoadBatteryBitmap();
    void InitZoomControls();
    void ShowInterval();
    void ScaleLogo();

    // --- system-menu commands
    void ShowAboutBox();
    void LoadLog();

protected:
    // icon
    HICON m_icon = nullptr;
    std::wstring m_commandLine;

    // fonts
    CFont m_logListFont;
    CFont m_valueFont;
    CFont m_graphFont;

    HWND m_statusBar = nullptr;

    int m_demoMode = 0;
    double m_dpiScaleX = 1.0;
    double m_dpiScaleY = 1.0;

    CAppSettings m_settings{};

    // layout: outer size of the window when first shown (the minimum size)
    int m_minWidth = 0;
    int m_minHeight = 0;
};
