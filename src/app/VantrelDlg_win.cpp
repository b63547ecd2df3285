#include "app/VantrelDlg_win.h"

#include "app/RunMode.h"
#include "app/VersionInfo_win.h"
#include "resource.h"
#include "ui/CurrentValuePanel.h"
#include "ui/DpiMetrics.h"

CVantrelDlg::CVantrelDlg(std::wstring commandLine)
    : CDialog(IDD_VANTREL_DIALOG), m_commandLine(std::move(commandLine))
{
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    BindWordAccessTexts();
    BindFlashTexts();
    BindCurrentValueTexts();
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

    CreateGraphSettingDialog();
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
    m_graphFont.Reset(DeriveFont(dlg, GraphFontHeight(m_dpiScaleY), kGraphFontWeight, false));

    UpdateGraphGeometry();
    m_board.Attach(dlg, m_demoMode == kNormalMode, [this](const uint8_t* payload) { m_flash.OnAcknowledge(payload); });
    m_flash.SetSender([this](const OutputFrame& frame) { m_board.SendFrame(frame); });
    m_board.WatchArrivals();
    m_settings.Load();

    CreateStatusBar();

    HWND list = Item(IDC_LOG_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    RECT listRect{};
    GetWindowRect(list, &listRect);
    const auto widths = LogListColumnWidths(listRect.right - listRect.left, m_dpiScaleX);
    struct Column { const wchar_t* heading; int format; };
    const Column columns[kLogListColumnCount] = {
        {L"Date", LVCFMT_LEFT}, {L"Time", LVCFMT_LEFT}, {L"RSOC[%]", LVCFMT_RIGHT},
        {L"Temp[℃]", LVCFMT_RIGHT}, {L"Volt[mV]", LVCFMT_RIGHT}, {L"Message", LVCFMT_LEFT},
    };
    for (int index = 0; index < kLogListColumnCount; ++index) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = columns[index].format;
        col.cx = widths[index];
        col.pszText = const_cast<wchar_t*>(columns[index].heading);
        col.iSubItem = index;
        ListView_InsertColumn(list, index, &col);
    }

    RECT outer{};
    GetWindowRect(dlg, &outer);
    m_minWidth = outer.right - outer.left;
    m_minHeight = outer.bottom - outer.top;

    RegisterLayout();
    LoadBatteryBitmap();
    InitZoomControls();
    if (m_dpiScaleX != 1.0 || m_dpiScaleY != 1.0) ScaleLogo();

    SetEnableState(EnableState::StartUp);

    // Before the first row (the settings message below) so the journal holds it.
    StartJournal();

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

void CVantrelDlg::OnSysCommand(UINT id, LPARAM /*lp*/)
{
    switch (id & 0xFFF0) {
    case IDM_ABOUTBOX: ShowAboutBox(); break;
    case IDM_LOADLOG: LoadLog(); break;
    default: break;
    }
}

void CVantrelDlg::OnDestroy()
{
    m_flash.End();  // no flash frame after the stop frame
    if (m_demoMode == kNormalMode)
        SendStopFrame();
    else
        KillTimer(GetHwnd(), kDemoTimerId);
    m_board.Detach();
    m_flash.SetImage(nullptr);
    ClearLogData();
    DestroyGraphSettingDialog();
    m_settings.Save();
}

void CVantrelDlg::ScaleLogo()
{
    HBITMAP logo = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO));
    if (!logo) return;
    BITMAP info{};
    GetObjectW(logo, sizeof(info), &info);
    DeleteObject(logo);
    const PixelSize size = ScaledLogoSize(info.bmWidth, info.bmHeight, m_dpiScaleX, m_dpiScaleY);
    SetWindowPos(Item(IDC_LOGO), nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
