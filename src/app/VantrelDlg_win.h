#pragma once
// The main window. It owns every piece of run-time state for the whole run.
// Its handlers are spread over the subsystem folders (one file per concern);
// this header is the one place that lists them.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include "app/AppSettings.h"
#include "app/EnableStates.h"
#include "log/DemoSource.h"
#include "log/Journal_win.h"
#include "log/LogStore.h"
#include "flash/FlashWriteSession_win.h"
#include "protocol/Frames.h"
#include "protocol/ReportCodes.h"
#include "fw/Dialog_win.h"
#include "fw/Gdi_win.h"
#include "fw/Handle_win.h"
#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"
#include "graph/GraphSettingDlg_win.h"
#include "link/BoardConnection_win.h"
#include "ui/Layout_win.h"
#include "ui/ResizeLayout.h"

// Window messages of our own.
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

    // --- the sub board (app/VantrelDlgBoard_win.cpp)
    CBoardConnection& Board() { return m_board; }
    const CBoardConnection& Board() const { return m_board; }
    // Sends one command frame; nothing in the demo modes or without a board.
    void SendFrame(const OutputFrame& frame);
    void SendStopFrame();
    void SendCommSettings();
    uint32_t ReceiveIntervalMs() const;
    void ShowConnected(bool connected);

    // --- button enable states (app/EnableStates_win.cpp)
    void SetEnableState(EnableState state);
    bool HasFlashImage() const { return m_flash.HasImage(); }

    // --- measurement journal (log/JournalHook_win.cpp)
    void StartJournal();
    void JournalLastRow();
    const CJournal& Journal() const { return m_journal; }
    CJournal m_journal;
    bool m_journalFailureShown = false;

    // --- log list (log/LogList_win.cpp)
    // Appends a measurement record with its row (the record's rowIndex becomes
    // the row it gets) and lets the list follow the new row.
    void AddMeasurementRow(const tagLOGDATA& record);
    // Appends a message row stamped with the current local time.
    void AddMessageRow(const std::wstring& text);
    void FollowLogTail();
    void ClearLogData();
    void OnClearLog();
    LRESULT OnLogListGetDispInfo(NMLVDISPINFOW* info);
    LRESULT OnLogListCustomDraw(NMLVCUSTOMDRAW* draw);
    const LogStore& LogData() const { return m_logData; }

    // --- report dispatcher (protocol/Dispatcher_win.cpp)
    // The queued-report message: drains the reports queued when it starts.
    LRESULT OnSubBoardReport();
    // Acts on one report taken from the queue (its 64 payload bytes).
    void HandleSubBoardReport(const uint8_t* payload);
    void OnMeasurementReport(const uint8_t* payload);
    void OnCommErrorReport();
    void EndFlashWrite(uint8_t code);

    // --- measurement cycle (protocol/Measure_win.cpp)
    void OnStartMeasure();
    void OnStopMeasure();
    // WM_TIMER: a reading on the demo timer; other timers are left alone.
    void OnTimer(UINT_PTR id);
    void TakeDemoReading(bool graphSteps);
    // One new reading: record and row, current values and, with graphSteps,
    // the graph scroll bar, cursor step and graph redraw.
    void AddReading(int32_t rsoc, double temperature, uint16_t voltage, bool graphSteps);

    // --- current-value panel (ui/CurrentValue_win.cpp)
    void BindCurrentValueTexts();
    void ShowBatteryLevel(uint8_t rsoc);
    int32_t LoadedBatteryBitmapId() const { return m_batteryBitmapId; }
    uint32_t BatteryBitmapLoads() const { return m_batteryBitmapLoads; }
    // WM_PAINT; false when the dialog's default painting is still to run.
    bool OnPaint();
    HICON OnQueryDragIcon() const { return m_icon; }
    void DrawBatteryPicture(HDC dc, const RECT& rect) const;
    // WM_DRAWITEM; true for the battery picture.
    bool OnDrawItem(int id, const DRAWITEMSTRUCT* item);
    void LoadBatteryPicture(int32_t id);

    // --- graph and layout (graph/, ui/)
    void UpdateGraphGeometry();
    // After records were appended, cleared or loaded: scroll bar 1055 state.
    void UpdateGraphScrollBar();
    void BuildGraphPoints();
    void RedrawGraph();
    void RegisterLayout();
    void CreateGraphSettingDialog();
    void DestroyGraphSettingDialog();
    void LoadBatteryBitmap();
    void InitZoomControls();
    void ShowInterval();
    void ScaleLogo();

    // --- graph (graph/GraphView_win.cpp, graph/GraphNavigation_win.cpp,
    // graph/GraphSettingDlg_win.cpp)
    // The whole graph picture, built off-screen and copied to `target` at (0, 0).
    void PaintGraph(HDC target);
    void DrawGraphFrame(HDC dc);
    // graph: 0 for graph 1, 1 for graph 2.
    void DrawSeries(HDC dc, int graph);
    // WM_DRAWITEM; true for the graph control.
    bool OnDrawGraphItem(const DRAWITEMSTRUCT* item);
    // WM_GRAPH_SETTINGS_CHANGED: takes over the settings dialog's description.
    LRESULT OnGraphSettingsChanged();
    // WM_HSCROLL from the zoom trackbar or the graph scroll bar.
    void OnHScroll(UINT code, UINT position, HWND control);
    void OnLButtonDown(UINT flags, POINT point);
    void OnMouseMove(UINT flags, POINT point);
    // Puts the cursor on the record n steps back from the newest and fills
    // the readout boxes.
    void ShowCursorReadout(int32_t n);
    void OnJumpToCursorRow();
    void OnGraphSetting();
    const CGraphInfo& GraphInfo() const { return m_graphInfo; }
    CGraphSettingDlg* GraphSettingDialog() const { return m_graphSettingDlg.get(); }

    // --- layout (ui/MainLayout_win.cpp)
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);

    // --- system-menu commands
    void ShowAboutBox();
    void LoadLog();

    // --- log files (log/LogFiles_win.cpp)
    // "Store log...": the save dialog, then StoreLogToPath.
    void OnStoreLog();
    // Writes every row to the file; false (after telling the user) when the
    // file could not be created or written whole.
    bool StoreLogToPath(const std::wstring& path);
    // LoadLog after its open dialog: asks before replacing records, then
    // replaces the log with the file's rows. The log stays as it was, and
    // the user is told, when the file cannot be read.
    bool LoadLogFromPath(const std::wstring& path);
    void ShowLoadedLog();

    // --- communication settings (comm/CommSettings_win.cpp)
    void OnCommunicate();

    // --- register word access (protocol/WordAccess_win.cpp)
    void OnReadWord();
    void OnWriteWord();
    // Shows the register value of an RC_READ_WORD reply (its 64 payload bytes) in edit 1038.
    void ShowReadWordReply(const uint8_t* payload);
    void BindWordAccessTexts();

    // --- device arrival and removal (app/VantrelDlgBoard_win.cpp)
    // WM_DEVICECHANGE; the message then goes on to the default processing.
    void OnDeviceChange(UINT event, const DEV_BROADCAST_HDR* record);

    // --- flash image and flash write (app/VantrelDlgFlash_win.cpp)
    void OnOpenFile();
    // Open file after the file dialog: reads and converts the file, shows the
    // file type; on failure shows the message box and keeps the old image.
    bool LoadFlashImageFile(const std::wstring& path);
    void OnFlashWrite();
    void BindFlashTexts();
    int32_t FlashWriting() const { return m_flashWriting; }
    const CFlashWriteSession& Flash() const { return m_flash; }

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

    // The sub board: link, receive thread, report queue, notifications. The
    // only state the receive thread touches lives there and in m_flash.
    CBoardConnection m_board;

    // layout: outer size of the window when first shown (the minimum size)
    int m_minWidth = 0;
    int m_minHeight = 0;

    // --- graph view (graph/): zoom level 0..10, records hidden at the newest
    // end, cursor record counted back from the newest
    int32_t m_zoomLevel = 0;
    int32_t m_scrollOffset = 0;
    int32_t m_cursorOffset = 0;

    // --- graph (graph/*_win.cpp): the applied description, where the records
    // land in control 1054, the two point lists, the settings dialog
    CGraphInfo m_graphInfo;
    GraphGeometry m_graphGeometry;
    GraphPointLists m_graphPoints;
    std::unique_ptr<CGraphSettingDlg> m_graphSettingDlg;
    // A press or a drag with the left button over the plot picks a record.
    void PickCursor(POINT point);

    // --- layout (ui/MainLayout_win.cpp): the rules of the resizable controls
    CWin32LayoutPlatform m_layoutPlatform;
    CResizeLayout m_layout{m_layoutPlatform};

    // --- log list (log/LogList_win.cpp): the measurement records (m_logData)
    // and the rows of the log list (m_logStrings) in one compact store
    LogStore m_logData;

    // --- measurement cycle (protocol/Measure_win.cpp)
    DemoSource m_demoSource;  // readings of the demo modes

    // --- current-value panel (ui/CurrentValue_win.cpp)
    std::wstring m_rsocText;         // edit 1004
    std::wstring m_temperatureText;  // edit 1005
    CBitmap m_batteryBitmap;
    int32_t m_batteryBitmapId = 0;
    uint32_t m_batteryBitmapLoads = 0;

    // --- register word access (protocol/WordAccess_win.cpp): texts of edits 1036-1039
    std::wstring m_readCommand;
    std::wstring m_readData;
    std::wstring m_writeCommand;
    std::wstring m_writeData;

    void TearDownSubBoard();
    void EndWorkAfterRemoval();

    // --- flash image and flash write (app/VantrelDlgFlash_win.cpp)
    std::wstring m_processResult;          // edit 1042
    std::wstring m_fileType = L"No Data";  // edit 1043, until the first load
    int32_t m_flashWriting = 0;            // user interface thread only
    CFlashWriteSession m_flash;
};
