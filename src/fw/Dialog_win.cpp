#include "fw/Dialog_win.h"

#include <algorithm>
#include <cwchar>

namespace {
std::vector<CDialog*>& ModelessDialogs()
{
    static std::vector<CDialog*> dialogs;
    return dialogs;
}
}

CDialog::~CDialog()
{
    // The derived parts are gone by now, so none of their handlers may run:
    // detach before the window goes. A derived dialog with its own clean-up
    // in OnDestroy ends its window in its own destructor.
    if (!m_hwnd) return;
    SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
    auto& list = ModelessDialogs();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

INT_PTR CDialog::DoModal(HWND parent)
{
    m_modal = true;
    m_ended = false;
    m_result = -1;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                            &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)))
        return -1;
    bool parentEnabled = parent && IsWindowEnabled(parent);
    if (parentEnabled) EnableWindow(parent, FALSE);
    if (!m_ended) ShowWindow(m_hwnd, SW_SHOW);

    MSG msg;
    while (!m_ended) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.hwnd == m_hwnd || IsChild(m_hwnd, msg.hwnd)) {
            if (PreTranslateMessage(&msg)) continue;
        } else if (RouteToModeless(&msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (parentEnabled) EnableWindow(parent, TRUE);
    DestroyWindow();
    m_modal = false;
    return m_result;
}

bool CDialog::Create(HWND parent)
{
    m_modal = false;
    if (m_hwnd) return true;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                            &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)))
        return false;
    ModelessDialogs().push_back(this);
    return true;
}

void CDialog::DestroyWindow()
{
    if (m_hwnd && IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    if (!m_modal) DestroyWindow();
    // Wake the modal loop if it sits in GetMessage.
    if (m_hwnd) PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

std::wstring CDialog::ItemText(int id) const
{
    HWND item = Item(id);
    int len = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(item, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CDialog::SetItemText(int id, const std::wstring& text) const
{
    SetDlgItemTextW(m_hwnd, id, text.c_str());
}

bool CDialog::UpdateData(bool fromControls)
{
    if (!m_hwnd) return false;
    for (TextBinding& b : m_texts) {
        if (fromControls) {
            if (!b.known) {
                b.shown = ItemText(b.id);
                Remember(b);
            }
            *b.member = b.shown;
        } else if (!b.known || b.shown != *b.member) {
            // The control's EN_CHANGE forgets the old text; the new one is known after.
            SetItemText(b.id, *b.member);
            b.shown = *b.member;
            Remember(b);
        }
    }
    return true;
}

void CDialog::Remember(TextBinding& binding) const
{
    wchar_t className[16] = {};
    const HWND item = Item(binding.id);
    binding.known = item && GetClassNameW(item, className, 16) > 0 && _wcsicmp(className, L"Edit") == 0;
}

bool CDialog::PreTranslateMessage(MSG* msg)
{
    return m_hwnd && IsDialogMessageW(m_hwnd, msg);
}

bool CDialog::RouteToModeless(MSG* msg)
{
    for (CDialog* dlg : ModelessDialogs()) {
        HWND h = dlg->m_hwnd;
        if (h && (msg->hwnd == h || IsChild(h, msg->hwnd))) return dlg->PreTranslateMessage(msg);
    }
    return false;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    try {
        return self->Dispatch(msg, wp, lp);
    } catch (...) {
        // No exception may reach the window manager.
        return FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        // A new window: nothing is known of its controls yet.
        for (TextBinding& b : m_texts) b.known = false;
        return OnInitDialog();
    case WM_COMMAND: {
        WORD id = LOWORD(wp), code = HIWORD(wp);
        if (code == EN_CHANGE)
            for (TextBinding& b : m_texts)
                if (b.id == id) b.known = false;
        if (OnCommand(id, code, reinterpret_cast<HWND>(lp))) return TRUE;
        if (id == IDOK && (code == BN_CLICKED || lp == 0)) { OnOK(); return TRUE; }
        if (id == IDCANCEL) { OnCancel(); return TRUE; }
        return FALSE;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (OnNotify(static_cast<int>(header->idFrom), header, result)) {
            SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY: {
        OnDestroy();
        auto& list = ModelessDialogs();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        return FALSE;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        m_hwnd = nullptr;
        return FALSE;
    default:
        break;
    }
    if (OnMessage(msg, wp, lp, result)) {
        // Messages whose result travels in the return value rather than DWLP_MSGRESULT.
        switch (msg) {
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: case WM_COMPAREITEM: case WM_VKEYTOITEM:
        case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    return FALSE;
}
