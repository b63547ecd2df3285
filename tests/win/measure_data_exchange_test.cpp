// The exchange between the window's edits and their texts, which each reading
// goes through: whatever changed an edit (the user typing, other code) is read
// back, every member is written, and a reading leaves the edits it does not
// change alone.
#include "WinHarness.h"

namespace {

// The main window's template with two of its edits bound to texts of this
// dialog, as the main window binds them: the framework's exchange alone.
class ExchangeProbe : public CDialog {
public:
    ExchangeProbe() : CDialog(IDD_VANTREL_DIALOG)
    {
        BindText(IDC_READ_DATA, &m_readData);
        BindText(IDC_WRITE_DATA, &m_writeData);
    }
    std::wstring m_readData;
    std::wstring m_writeData;
};

// Typed into an edit as the user does, one character at a time.
void Type(HWND edit, const wchar_t* keys)
{
    for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}

using DataExchangeTest = WindowTest;

} // namespace

TEST_F(DataExchangeTest, ChangedEditsAreReadAndMembersAreWritten)
{
    ExchangeProbe dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    PumpMessages(30);
    auto text = [&](int id) { return Utf8(dlg.ItemText(id)); };
    dlg.UpdateData(true);
    EXPECT_EQ(Utf8(dlg.m_writeData), "");

    // Typed by the user, and set by other code.
    Type(GetDlgItem(dlg.GetHwnd(), IDC_WRITE_DATA), L"12ab");
    SetDlgItemTextW(dlg.GetHwnd(), IDC_READ_DATA, L"beef");
    dlg.UpdateData(true);
    EXPECT_EQ(Utf8(dlg.m_writeData), "12ab");
    EXPECT_EQ(Utf8(dlg.m_readData), "beef");

    // Written back, also where the member still holds what was read before
    // and the edit has changed since.
    Type(GetDlgItem(dlg.GetHwnd(), IDC_WRITE_DATA), L"9");
    EXPECT_EQ(text(IDC_WRITE_DATA), "12ab9");
    dlg.m_readData = L"1";
    dlg.UpdateData(false);
    EXPECT_EQ(text(IDC_WRITE_DATA), "12ab");
    EXPECT_EQ(text(IDC_READ_DATA), "1");
    dlg.UpdateData(true);
    EXPECT_EQ(Utf8(dlg.m_writeData), "12ab");
    EXPECT_EQ(Utf8(dlg.m_readData), "1");

    // A new window knows nothing of the old one's edits.
    dlg.DestroyWindow();
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.m_writeData = L"12ab";
    dlg.UpdateData(false);
    EXPECT_EQ(text(IDC_WRITE_DATA), "12ab");
}

TEST_F(DataExchangeTest, AReadingLeavesUnchangedEditsAlone)
{
    MainWindow w;
    ASSERT_TRUE(w.created);
    // The user is in the middle of editing a field, with part of it selected.
    Type(w.Item(IDC_WRITE_DATA), L"1234");
    SendMessageW(w.Item(IDC_WRITE_DATA), EM_SETSEL, 1, 3);

    w.dlg.Board().SetMeasuring(1);
    for (uint8_t rsoc : {80, 80, 79}) {
        const auto payload = Payload({RC_MEASURE, rsoc, 0xA6, 0x0B, 0x74, 0x0E});
        w.dlg.HandleSubBoardReport(payload.data());
        EXPECT_EQ(w.Text(IDC_RSOC_VALUE), std::to_string(rsoc));
    }
    w.dlg.Board().SetMeasuring(0);
    EXPECT_EQ(w.Text(IDC_TEMP_VALUE), "25.0");
    EXPECT_EQ(w.Text(IDC_WRITE_DATA), "1234");
    DWORD from = 0, to = 0;
    SendMessageW(w.Item(IDC_WRITE_DATA), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 3u);
}
