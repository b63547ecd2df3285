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
#include "protocol/FlashImage.h"
#include "protocol/FlashSession.h"
#include "protocol/Frames.h"
#include "protocol/ReportCodes.h"
#include "fw/Dialog_win.h"
#include "fw/Gdi_win.h"
#include "fw/Handle_win.h"
#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"
#include "graph/GraphSettingDlg_win.h"
#include "link/ReceiveThread_win.h"
#include "link/ReportQueue_win.h"
#include "link/SubBoardLink_win.h"
#include "ui/Layout_win.h"
#include "ui/ResizeLayout.h"

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

    // --- the sub board (link/DialogLink_win.cpp).
    // Sends one command frame as three output reports; writes nothing in the
    // demo modes, and nothing reaches a board when no device is open.
    void SendFrame(const OutputFrame& frame);
    // Takes the oldest queued input-report payload (64 bytes) under the
    // queue lock; false when the queue is empty.
    bool PopReport(std::array<uint8_t, kPayloadSize>& payload);
    size_t QueuedReportCount();
    // Measuring flag: 1 while a measurement runs; read by the receive thread.
    int32_t Measuring() const { return static_cast<int32_t>(m_receive.measuring.load()); }
    void SetMeasuring(int32_t value) { m_receive.measuring.store(static_cast<uint32_t>(value)); }
    void SetReceiveIntervalMs(uint32_t ms) { m_receive.receiveIntervalMs.store(ms); }
    bool ReceiveThreadRunning() const { return m_receiveThread && m_receiveThread->Running(); }
    CSubBoardLink& Link() { return m_link; }
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
    // Runs on the receive thread for an accepted flash acknowledgement.
    void OnFlashAcknowledge(const uint8_t* payload);
    void FreeFlashImage();

    // --- button enable states (app/EnableStates_win.cpp)
    void SetEnableState(EnableState state);
    bool HasFlashImage() const;

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
    // WM_SUBBOARD_REPORT: drains the reports queued when it starts.
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

    // --- device arrival and removal (link/DeviceChange_win.cpp)
    // WM_DEVICECHANGE; the message then goes on to the default processing.
    void OnDeviceChange(UINT event, const DEV_BROADCAST_HDR* record);
    bool HasHandleNotification() const { return m_handleNotification != nullptr; }
    bool HasInterfaceNotification() const { return m_interfaceNotification != nullptr; }

    // --- flash image and flash write (protocol/FlashFile_win.cpp, protocol/FlashWrite_win.cpp)
    void OnOpenFile();
    // Open file after the file dialog: reads and converts the file, shows the
    // file type; on failure shows the message box and keeps the old image.
    bool LoadFlashImageFile(const std::wstring& path);
    void OnFlashWrite();
    void BindFlashTexts();
    int32_t FlashWriting() const { return m_flashWriting; }
    std::shared_ptr<const FlashImage> CurrentFlashImage() const;
    // The tool's own time per flash frame: from an acknowledgement handed
    // over by the receive thread to the next frame written.
    struct FlashReplyTiming {
        uint32_t frames;
        double totalMicroseconds;
        double maxMicroseconds;
        double buildMicroseconds;  // of the total: until the frame was built, before writing it
    };
    FlashReplyTiming FlashReplyTimes() const;

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

    // sub board link, report queue and receive thread (link/DialogLink_win.cpp).
    // The context holds what the thread shares with this window: single
    // 32-bit values with atomic access.
    CSubBoardLink m_link;
    CReportQueue m_reportQueue;
    ReceiveContext m_receive;
    std::unique_ptr<CReceiveThread> m_receiveThread;

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

    // --- device arrival and removal (link/DeviceChange_win.cpp)
    void OnSubBoardArrival();
    void OnSubBoardRemoval();
    void OnHandleRemovePending();
    void TearDownSubBoard();
    void EndWorkAfterRemoval();
    HDEVNOTIFY m_interfaceNotification = nullptr;
    HDEVNOTIFY m_handleNotification = nullptr;

    // --- flash image and flash write (protocol/FlashFile_win.cpp, protocol/FlashWrite_win.cpp)
    std::wstring m_processResult;          // edit 1042
    std::wstring m_fileType = L"No Data";  // edit 1043, until the first load
    int32_t m_flashWriting = 0;            // user interface thread only
    // Replaced whole by Open file, read by the receive thread at the flash
    // begin acknowledgement: accessed with std::atomic_load/atomic_store.
    std::shared_ptr<const FlashImage> m_flashImage;
    FlashSession m_flashSession;
    // Receive thread only: the image as it was at the begin acknowledgement.
    std::shared_ptr<const FlashImage> m_flashSource;
    std::atomic<uint32_t> m_flashReplyFrames{0};
    std::atomic<uint64_t> m_flashReplyTicks{0};
    std::atomic<uint64_t> m_flashReplyMaxTicks{0};
    std::atomic<uint64_t> m_flashReplyBuildTicks{0};
};
