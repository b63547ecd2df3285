#include "app/VantrelDlg_win.h"

#include "app/RunMode.h"
#include "fw/VersionInfo_win.h"
#include "ui/AboutDlg_win.h"
#include "resource.h"
#include "ui/CurrentValuePanel.h"
#include "ui/DpiMetrics.h"

CVantrelDlg::CVantrelDlg(std::wstring commandLine)
    : CDialog(IDD_VANTREL_DIALOG), m_commandLine(std::move(commandLine))
{
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    BindText(IDC_RSOC_VALUE, &m_rsocText);
    BindText(IDC_TEMP_VALUE, &m_temperatureText);
    BindText(IDC_READ_COMMAND, &m_readCommand);
    BindText(IDC_READ_DATA, &m_readData);
    BindText(IDC_WRITE_COMMAND, &m_writeCommand);
    BindText(IDC_WRITE_DATA, &m_writeData);
    BindText(IDC_PROCESS_RESULT, &m_processResult);
    BindText(IDC_FILE_TYPE, &m_fileType);
}

CVantrelDlg::~CVantrelDlg()
{
    // The window ends while every part it cleans up still exists.
    DestroyWindow();
}

BOOL CVantrelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // System menu: "Load LogFile(&L)...", separator, "About Vantrel(&A)...", separator.
    if (HMENU menu = GetSystemMenu(GetHwnd(), FALSE)) {
        UINT pos = 0;
        wchar_t text[256];
        if (LoadStringW(GetModuleHandleW(nullptr), IDS_LOADLOG, text, 256) > 0) {
            InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, IDM_LOADLOG, text);
            pos = 1;
        }
        if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 256) > 0) {
            InsertMenuW(menu, pos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            InsertMenuW(menu, pos + 1, MF_BYPOSITION | MF_STRING, IDM_ABOUTBOX, text);
            InsertMenuW(menu, pos + 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        }
    }

    SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    const std::wstring title = GetVersionString(kVersionProductName);

    m_demoMode = ChooseDemoMode(m_commandLine, (GetKeyState(VK_SHIFT) & 0x8000) != 0,
                                (GetKeyState(VK_CONTROL) & 0x8000) != 0);

    SetWindowTextW(GetHwnd(), title.c_str());

    {
        CWindowDC dc(GetHwnd());
        m_dpiScaleX = DpiScaleFromLogPixels(GetDeviceCaps(dc.Get(), LOGPIXELSX));
        m_dpiScaleY = DpiScaleFromLogPixels(GetDeviceCaps(dc.Get(), LOGPIXELSY));
    }

    InitializeMainWindow();
    return TRUE;
}

namespace {
// A copy of the dialog's font with another height and weight.
HFONT DeriveFont(HWND dialog, int height, LONG weight, bool keepWeight)
{
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!base || !GetObjectW(base, sizeof(lf), &lf)) return nullptr;
    lf.lfHeight = height;
    if (!keepWeight) lf.lfWeight = weight;
    return CreateFontIndirectW(&lf);
}
}

void CVantrelDlg::InitializeMainWindow()
{
    const HWND dlg = GetHwnd();

    m_logListFont.Reset(DeriveFont(dlg, LogListFontHeight(m_dpiScaleY), 0, true));
    if (m_logListFont) SendMessageW(Item(IDC_LOG_LIST), WM_SETFONT, reinterpret_cast<WPARAM>(m_logListFont.Get()), TRUE);

    m_valueFont.Reset(DeriveFont(dlg, ValueFontHeight(m_dpiScaleY), kValueFontWeight, false));
    if (m_valueFont) {
        for (int id : {IDC_RSOC_LABEL, IDC_RSOC_VALUE, IDC_RSOC_UNIT, IDC_TEMP_LABEL, IDC_TEMP_VALUE, IDC_TEMP_UNIT})
            SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_valueFont.Get()), TRUE);
    }
    m_logView.Attach(dlg);
    m_graph.Attach(dlg, m_dpiScaleX, m_dpiScaleY,
                   DeriveFont(dlg, GraphFontHeight(m_dpiScaleY), kGraphFontWeight, false));
    m_graph.CreateSettingsDialog();
    m_graph.UpdateGeometry();
    m_measurement.Attach(dlg, m_demoMode == kNormalMode);
    m_board.Attach(dlg, m_demoMode == kNormalMode, [this](const uint8_t* payload) { m_flash.OnAcknowledge(payload); });
    m_flash.SetSender([this](const OutputFrame& frame) { m_board.SendFrame(frame); });
    m_board.WatchArrivals();
    m_settings.Load();

    CreateStatusBar();

    m_logView.CreateColumns(m_dpiScaleX);
    m_layout.Register(dlg);
    m_picture.Attach(dlg);
    m_graph.InitZoomControls();
    if (m_dpiScaleX != 1.0 || m_dpiScaleY != 1.0) ScaleLogo();

    SetEnableState(EnableState::StartUp);

    // Before the first row (the settings message below) so the journal holds it.
    m_logView.StartJournal();

    // A board that is listed but cannot be opened counts as not found.
    const bool connected = m_board.Connect(ReceiveIntervalMs());
    if (connected) SendCommSettings();
    ShowConnected(connected);
    ShowInterval();
    if (m_demoMode != kNormalMode) SetStatusText(1, DemoModePaneText(m_demoMode));
}

bool CVantrelDlg::PreTranslateMessage(MSG* msg)
{
    // Escape goes to the focused control, never to the dialog manager, so it
    // cannot close the window.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return false;
    return CDialog::PreTranslateMessage(msg);
}

void CVantrelDlg::OnOK()
{
    // Enter never closes the main window.
}

void CVantrelDlg::OnSysCommand(UINT id)
{
    switch (id & 0xFFF0) {
    case IDM_ABOUTBOX: {
        CAboutDlg about;
        about.DoModal(GetHwnd());
        break;
    }
    case IDM_LOADLOG: LoadLog(); break;
    default: break;
    }
}

bool CVantrelDlg::OnPaint()
{
    const HWND wnd = GetHwnd();
    if (IsIconic(wnd)) {
        CPaintDC dc(wnd);
        SendMessageW(wnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        RECT client{};
        GetClientRect(wnd, &client);
        const IconOrigin at = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        DrawIcon(dc.Get(), at.x, at.y, m_icon);
        return true;
    }
    m_graph.Redraw();
    m_picture.Repaint();
    return false;  // the dialog's default painting still runs
}

// The window follows its size: the registered controls move and stretch,
// the status bar and the log list's columns are re-fitted and the graph is
// redrawn for its new size.
void CVantrelDlg::OnSize()
{
    m_layout.Apply();
    LayoutStatusBar();
    m_logView.FitColumns(m_dpiScaleX);
    m_graph.UpdateGeometry();
    m_graph.Refresh();
}

void CVantrelDlg::OnDestroy()
{
    m_flash.End();  // no flash frame after the stop frame
    if (m_demoMode == kNormalMode)
        SendStopFrame();
    else
        m_measurement.StopDemoTimer();
    m_board.Detach();
    m_flash.SetImage(nullptr);
    ClearLogData();
    m_graph.DestroySettingsDialog();
    m_settings.Save();
}

void CVantrelDlg::ScaleLogo()
{
    const CBitmap logo(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO)));
    if (!logo) return;
    BITMAP info{};
    GetObjectW(logo.Get(), sizeof(info), &info);
    const PixelSize size = ScaledLogoSize(info.bmWidth, info.bmHeight, m_dpiScaleX, m_dpiScaleY);
    SetWindowPos(Item(IDC_LOGO), nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
