#pragma once
// Dialog base class over a dialog template, modal or modeless. Messages reach
// typed virtual handlers; controls exchange their texts with string members
// (UpdateData). Exceptions stop at the dialog procedure.
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally with our own message loop, so that
    // PreTranslateMessage sees every message first. Returns EndDialog's result.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless; the window stays hidden unless the
    // template says WS_VISIBLE.
    bool Create(HWND parent);
    void DestroyWindow();
    void EndDialog(INT_PTR result);

    HWND GetHwnd() const { return m_hwnd; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const;
    void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }

    // Data exchange: true reads the controls into the members, false writes
    // the members into the controls.
    bool UpdateData(bool fromControls = true);

    // Default: let the dialog manager handle keyboard navigation.
    virtual bool PreTranslateMessage(MSG* msg);

    // Gives every modeless dialog of this thread a chance at a message;
    // used by message loops that are not a dialog's own.
    static bool RouteToModeless(MSG* msg);

protected:
    void BindText(int id, std::wstring* member) { m_texts.push_back(TextBinding{id, member, {}, false}); }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnDestroy() {}
    // Return true when handled.
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
    virtual bool OnNotify(int /*id*/, NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    // Every other message; return true when handled (result is then returned).
    virtual bool OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }


private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    UINT m_templateId;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = 0;
    // A bound control with the text it is known to hold. Only edit controls
    // are remembered: each change of their text, by the user or by code,
    // notifies the dialog (EN_CHANGE), which forgets it. So UpdateData need
    // not ask a control it knows, nor write a text the control already has.
    struct TextBinding {
        int id;
        std::wstring* member;
        std::wstring shown;
        bool known;
    };
    void Remember(TextBinding& binding) const;

    std::vector<TextBinding> m_texts;
};
