// The "Communicate" dialog and the settings command, with the simulated board.
#include <gtest/gtest.h>

#include <functional>

#include "WinHarness.h"
#include "log/LogRecord.h"

namespace {

// What the open dialog shows, read from another thread.
struct CommDialogView {
    int rangeMin = -1, rangeMax = -1, position = -1;
    bool buddyIsPeriodEdit = false, digitsOnly = false;
    std::vector<std::wstring> types, clocks;
    int typeSelection = -1, clockSelection = -1;
    bool clockEnabled = false;
};

std::vector<std::wstring> ListItems(HWND combo)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

CommDialogView Look(HWND box)
{
    CommDialogView v;
    HWND spin = GetDlgItem(box, IDC_COMM_PERIOD_SPIN);
    HWND edit = GetDlgItem(box, IDC_COMM_PERIOD);
    SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&v.rangeMin), reinterpret_cast<LPARAM>(&v.rangeMax));
    v.position = static_cast<int>(SendMessageW(spin, UDM_GETPOS32, 0, 0));
    v.buddyIsPeriodEdit = reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)) == edit;
    v.digitsOnly = (GetWindowLongW(edit, GWL_STYLE) & ES_NUMBER) != 0;
    HWND type = GetDlgItem(box, IDC_COMM_TYPE);
    HWND clock = GetDlgItem(box, IDC_COMM_I2C_CLOCK);
    v.types = ListItems(type);
    v.clocks = ListItems(clock);
    v.typeSelection = static_cast<int>(SendMessageW(type, CB_GETCURSEL, 0, 0));
    v.clockSelection = static_cast<int>(SendMessageW(clock, CB_GETCURSEL, 0, 0));
    v.clockEnabled = IsWindowEnabled(clock) != FALSE;
    return v;
}

// Picks a bus as the user does: the selection, then its notification.
void ChooseBus(HWND box, int index)
{
    HWND type = GetDlgItem(box, IDC_COMM_TYPE);
    SendMessageW(type, CB_SETCURSEL, index, 0);
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_COMM_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(type));
}

// Presses "Communicate"; `act` works on the open dialog from inside its modal
// loop and returns the button (IDOK / IDCANCEL) that closes it. False when
// the dialog never appeared.
bool RunCommunicate(MainWindow& w, const std::function<int(HWND)>& act)
{
    DialogDriver driver;
    driver.Expect(L"Communicate", {[&](HWND box) { Click(box, act(box)); }});
    w.Click(IDC_COMMUNICATE);
    return driver.Ran(0);
}

std::string LastRowMessage(const CVantrelDlg& dlg)
{
    const LogStore& log = dlg.LogData();
    if (log.RowCount() == 0) return std::string();
    return Utf8(log.CellText(log.RowCount() - 1, 5));
}

const char kDefaultRow[] = "<Communicate> Period of measure:2s Communication type:I2C I2C clock frequency:100kHz";

using CommSettingsTest = WindowTest;

} // namespace

TEST_F(CommSettingsTest, DialogShowsTheStoredSettingsAndItsRanges)
{
    MainWindow w;
    ASSERT_TRUE(w.created);
    CommDialogView v;
    ASSERT_TRUE(RunCommunicate(w, [&](HWND box) {
        v = Look(box);
        return IDCANCEL;
    }));
    EXPECT_EQ(v.rangeMin, 1);
    EXPECT_EQ(v.rangeMax, 300);
    EXPECT_EQ(v.position, 2);
    EXPECT_TRUE(v.buddyIsPeriodEdit);
    EXPECT_TRUE(v.digitsOnly);
    ASSERT_EQ(v.types.size(), 2u);
    EXPECT_EQ(Utf8(v.types[0]), "I2C");
    EXPECT_EQ(Utf8(v.types[1]), "OWSI");
    ASSERT_EQ(v.clocks.size(), 2u);
    EXPECT_EQ(Utf8(v.clocks[0]), "100");
    EXPECT_EQ(Utf8(v.clocks[1]), "400");
    EXPECT_EQ(v.typeSelection, 0);
    EXPECT_EQ(v.clockSelection, 0);
    EXPECT_TRUE(v.clockEnabled);
}

TEST_F(CommSettingsTest, ClockListIsEnabledExactlyWhileI2cIsSelected)
{
    WriteSettings("[Comm]\r\nCommType=1\r\nI2cClock=400\r\n");
    MainWindow w;
    CommDialogView opened, afterI2c, afterOwsi;
    ASSERT_TRUE(RunCommunicate(w, [&](HWND box) {
        opened = Look(box);
        ChooseBus(box, 0);
        afterI2c = Look(box);
        ChooseBus(box, 1);
        afterOwsi = Look(box);
        return IDCANCEL;
    }));
    EXPECT_EQ(opened.typeSelection, 1);
    EXPECT_EQ(opened.clockSelection, 1);
    EXPECT_FALSE(opened.clockEnabled);
    EXPECT_TRUE(afterI2c.clockEnabled);
    EXPECT_FALSE(afterOwsi.clockEnabled);
    EXPECT_EQ(w.dlg.Settings().CommType, 1) << "cancelled";
}

TEST_F(CommSettingsTest, StartUpSendsTheDefaultsAndLogsThem)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"comm-default"));
    const SimSettings s = sim->board.Settings();
    // Frame bytes 17-20 are 02 00 64 00, byte 34 is 00.
    EXPECT_EQ(s.intervalSeconds, 2);
    EXPECT_EQ(s.i2cClockKHz, 100);
    EXPECT_EQ(s.commType, 0);
    ASSERT_EQ(w->dlg.LogData().RowCount(), 1u);
    EXPECT_EQ(w->dlg.LogData().RowKind(0), kLogRowMessage);
    EXPECT_EQ(LastRowMessage(w->dlg), kDefaultRow);
    EXPECT_EQ(Utf8(w->dlg.StatusText(2)), "Interval : 2 sec");
}

TEST_F(CommSettingsTest, OkStoresSendsLogsAndShowsThePeriod)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"comm-ok"));

    ASSERT_TRUE(RunCommunicate(*w, [&](HWND box) {
        SetDlgItemTextW(box, IDC_COMM_PERIOD, L"300");  // typed by the user
        ChooseBus(box, 1);
        return IDOK;
    }));
    EXPECT_EQ(w->dlg.Settings().ReceiveInterval, 300);
    EXPECT_EQ(w->dlg.Settings().CommType, 1);
    EXPECT_EQ(w->dlg.Settings().I2cClock, 100) << "the disabled list is stored too";
    EXPECT_EQ(w->dlg.Board().ReceiveIntervalMs(), 300000u);
    EXPECT_EQ(Utf8(w->dlg.StatusText(2)), "Interval : 300 sec");
    EXPECT_EQ(LastRowMessage(w->dlg), "<Communicate> Period of measure:300s Communication type:OWSI");
    EXPECT_EQ(w->dlg.LogData().RowKind(w->dlg.LogData().RowCount() - 1), kLogRowMessage);

    // Frame bytes 17-18 are 2C 01, 19-20 still carry the clock, 34 is 01.
    ASSERT_TRUE(PumpUntil([&] { return sim->board.Settings().intervalSeconds == 300; }));
    EXPECT_EQ(sim->board.Settings().i2cClockKHz, 100);
    EXPECT_EQ(sim->board.Settings().commType, 1);

    // Back to I2C at 400 kHz.
    ASSERT_TRUE(RunCommunicate(*w, [&](HWND box) {
        ChooseBus(box, 0);
        SendDlgItemMessageW(box, IDC_COMM_I2C_CLOCK, CB_SETCURSEL, 1, 0);
        return IDOK;
    }));
    EXPECT_EQ(LastRowMessage(w->dlg),
              "<Communicate> Period of measure:300s Communication type:I2C I2C clock frequency:400kHz");
    ASSERT_TRUE(PumpUntil([&] { return sim->board.Settings().i2cClockKHz == 400; }));
    EXPECT_EQ(sim->board.Settings().commType, 0);
}

TEST_F(CommSettingsTest, CancelChangesNothingNotEvenTheReceiveInterval)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"comm-cancel"));
    const uint32_t framesBefore = sim->board.FramesHandled();
    const size_t rowsBefore = w->dlg.LogData().RowCount();

    ASSERT_TRUE(RunCommunicate(*w, [&](HWND box) {
        SetDlgItemTextW(box, IDC_COMM_PERIOD, L"45");
        ChooseBus(box, 1);
        SendDlgItemMessageW(box, IDC_COMM_I2C_CLOCK, CB_SETCURSEL, 1, 0);
        return IDCANCEL;
    }));
    PumpMessages(100);
    EXPECT_EQ(w->dlg.Settings().ReceiveInterval, 2);
    EXPECT_EQ(w->dlg.Settings().CommType, 0);
    EXPECT_EQ(w->dlg.Settings().I2cClock, 100);
    EXPECT_EQ(w->dlg.Board().ReceiveIntervalMs(), 2000u);
    EXPECT_EQ(Utf8(w->dlg.StatusText(2)), "Interval : 2 sec");
    EXPECT_EQ(w->dlg.LogData().RowCount(), rowsBefore);
    EXPECT_EQ(sim->board.FramesHandled(), framesBefore);
}

TEST_F(CommSettingsTest, OddClockFromTheFileBecomes400AndNoBoardMeansNoRow)
{
    WriteSettings("[Comm]\r\nI2cClock=250\r\n");
    MainWindow w;
    ASSERT_EQ(w.dlg.Board().DeviceHandle(), nullptr);
    CommDialogView opened;
    ASSERT_TRUE(RunCommunicate(w, [&](HWND box) {
        opened = Look(box);
        SetDlgItemTextW(box, IDC_COMM_PERIOD, L"7");
        return IDOK;
    }));
    EXPECT_EQ(opened.clockSelection, 1);
    EXPECT_EQ(w.dlg.Settings().I2cClock, 400);
    EXPECT_EQ(w.dlg.Settings().ReceiveInterval, 7);
    // Without a board the period still takes effect, but nothing is logged.
    EXPECT_EQ(w.dlg.Board().ReceiveIntervalMs(), 7000u);
    EXPECT_EQ(Utf8(w.dlg.StatusText(2)), "Interval : 7 sec");
    EXPECT_EQ(w.dlg.LogData().RowCount(), 0u);
}

TEST_F(CommSettingsTest, DemoModeLogsTheCommandButWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(PlugBoard(L"comm-demo"));
    ASSERT_NO_FATAL_FAILURE(OpenWindow(L"-demo1"));
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr) << "the board is opened in the demo modes too";
    EXPECT_EQ(LastRowMessage(w->dlg), kDefaultRow);

    ASSERT_TRUE(RunCommunicate(*w, [&](HWND box) {
        SetDlgItemTextW(box, IDC_COMM_PERIOD, L"9");
        return IDOK;
    }));
    EXPECT_EQ(w->dlg.LogData().RowCount(), 2u);
    EXPECT_EQ(LastRowMessage(w->dlg),
              "<Communicate> Period of measure:9s Communication type:I2C I2C clock frequency:100kHz");
    PumpMessages(200);
    EXPECT_EQ(sim->board.FramesHandled(), 0u);
    EXPECT_FALSE(sim->board.Settings().received);
}
