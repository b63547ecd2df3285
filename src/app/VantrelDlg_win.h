#pragma once
// The main window. It owns its parts for the whole run and wires them: each
// part keeps its own state and rules (the board connection, the measurement,
// the flash write, the log view, the graph view, the battery picture, the
// layout); the window keeps the message map, the data exchange with its
// edits, the status bar and the enable states, and its handlers forward to
// the parts.
//
// Threads: every member runs on the user interface thread. The receive
// thread touches only the board connection and the flash write session, each
// behind its documented interface.
#include <cstdint>
#include <string>
#include <windows.h>
#include <dbt.h>

#include "app/AppSettings.h"
#include "app/EnableStates.h"
#include "flash/FlashWriteSession_win.h"
#include "fw/Dialog_win.h"
#include "fw/Gdi_win.h"
#include "graph/GraphView_win.h"
#include "link/BoardConnection_win.h"
#include "measure/Measurement_win.h"
#include "log/LogView_win.h"
#include "ui/BatteryPicture_win.h"
#include "ui/MainLayout_win.h"

// System-menu commands added by the tool.
constexpr UINT IDM_ABOUTBOX = 0x0010;
constexpr UINT IDM_LOADLOG = 0x0020;

class CVantrelDlg : public CDialog {
public:
    explicit CVantrelDlg(std::wstring commandLine = std::wstring());
    ~CVantrelDlg() override;

    // --- the parts
    CBoardConnection& Board() { return m_board; }
    const CBoardConnection& Board() const { return m_board; }
    const CMeasurement& Measurement() const { return m_measurement; }
    const CFlashWriteSession& Flash() const { return m_flash; }
    CLogView& LogView() { return m_logView; }
    const LogStore& LogData() const { return m_logView.Log(); }
    CGraphView& Graph() { return m_graph; }
    const CGraphView& Graph() const { return m_graph; }
    CBatteryPicture& Picture() { return m_picture; }
    const CMainLayout& Layout() const { return m_layout; }

    int DemoMode() const { return m_demoMode; }
    double DpiScaleX() const { return m_dpiScaleX; }
    double DpiScaleY() const { return m_dpiScaleY; }
    CAppSettings& Settings() { return m_settings; }
    HWND StatusBar() const { return m_statusBar; }
    std::wstring StatusText(int pane) const;
    int32_t FlashWriting() const { return m_flashWriting; }
    bool HasFlashImage() const { return m_flash.HasImage(); }
    void SetEnableState(EnableState state);

    // --- commands also reached without their dialogs
    // Appends a message row stamped with the current local time.
    void AddMessageRow(const std::wstring& text) { m_logView.AddMessageRow(text); }
    // One new reading: record and row, current values and, with graphSteps,
    // the graph scroll bar, cursor step and graph redraw.
    void AddReading(int32_t rsoc, double temperature, uint16_t voltage, bool graphSteps);
    // Acts on one report taken from the queue (its 64 payload bytes).
    void HandleSubBoardReport(const uint8_t* payload);
    // Writes every row; false (after telling the user) when the file could
    // not be created or written whole.
    bool StoreLogToPath(const std::wstring& path);
    // Asks before replacing records, then replaces the log with the file's
    // rows; the log stays as it was, and the user is told, when it cannot be read.
    bool LoadLogFromPath(const std::wstring& path);
    // Reads and converts a flash image file and shows its file type; on
    // failure shows the message box and keeps the old image.
    bool LoadFlashImageFile(const std::wstring& path);
    void ClearLogData();

    bool PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDestroy() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // --- start-up and shutdown, system menu (VantrelDlg_win.cpp)
    void InitializeMainWindow();
    void ScaleLogo();
    void OnSysCommand(UINT id);
    // WM_PAINT; false when the dialog's default painting is still to run.
    bool OnPaint();
    void OnSize();
    // --- status bar (StatusBar_win.cpp)
    void CreateStatusBar();
    void LayoutStatusBar();
    void SetStatusText(int pane, const std::wstring& text);
    void ShowConnected(bool connected);
    void ShowInterval();
    // --- the sub board (VantrelDlgBoard_win.cpp)
    void SendFrame(const OutputFrame& frame);
    void SendStopFrame();
    void SendCommSettings();
    uint32_t ReceiveIntervalMs() const;
    void OnCommunicate();
    void OnDeviceChange(UINT event, const DEV_BROADCAST_HDR* record);
    // The receive thread found the open board gone (kBoardLostMessage).
    void OnBoardLost();
    void TearDownSubBoard();
    void EndWorkAfterRemoval();
    // --- queued reports and the measurement (VantrelDlgReports_win.cpp, VantrelDlgMeasure_win.cpp)
    void OnSubBoardReport();
    void OnMeasurementReport(const uint8_t* payload);
    void OnCommErrorReport();
    void OnStartMeasure();
    void OnStopMeasure();
    void OnTimer(UINT_PTR id);
    void TakeDemoReading(bool graphSteps);
    // --- log commands (VantrelDlgLog_win.cpp)
    void OnClearLog();
    void OnStoreLog();
    void LoadLog();
    void ShowLoadedLog();
    // --- registers and flash (VantrelDlgRegisters_win.cpp, VantrelDlgFlash_win.cpp)
    void OnReadWord();
    void OnWriteWord();
    void ShowReadWordReply(const uint8_t* payload);
    void OnOpenFile();
    void OnFlashWrite();
    void EndFlashWrite(uint8_t code);

    std::wstring m_commandLine;
    HICON m_icon = nullptr;
    CFont m_logListFont;
    CFont m_valueFont;
    HWND m_statusBar = nullptr;
    int m_demoMode = 0;
    double m_dpiScaleX = 1.0;
    double m_dpiScaleY = 1.0;
    CAppSettings m_settings{};

    CBoardConnection m_board;
    CFlashWriteSession m_flash;
    CLogView m_logView;
    CGraphView m_graph{m_logView.Log()};
    CBatteryPicture m_picture;
    CMainLayout m_layout;
    CMeasurement m_measurement{m_board};
    int32_t m_flashWriting = 0;

    // Data exchange: the texts of the bound edits.
    std::wstring m_rsocText;               // 1004
    std::wstring m_temperatureText;        // 1005
    std::wstring m_readCommand;            // 1036
    std::wstring m_readData;               // 1038
    std::wstring m_writeCommand;           // 1037
    std::wstring m_writeData;              // 1039
    std::wstring m_processResult;          // 1042
    std::wstring m_fileType = L"No Data";  // 1043, until the first load
};
