// The main window's start-up, settings file and shutdown, driven in-process.
#include <gtest/gtest.h>

#include "WinHarness.h"

namespace {
using StartupTest = WindowTest;
}

TEST_F(StartupTest, FirstRunWritesEveryKeyInOrder)
{
    {
        MainWindow run;
        ASSERT_TRUE(run.created);
        EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "written only at shutdown";
    }
    const std::string text = ReadBytes(ini);
    const size_t initial = text.find("[Initial]");
    const size_t comm = text.find("[Comm]");
    ASSERT_NE(initial, std::string::npos);
    ASSERT_NE(comm, std::string::npos);
    EXPECT_LT(initial, comm);
    const char* keys[] = {"AdjustmentPack8=17", "AdjustmentPackThermistor=0", "HotStart=0", "SleepMode=0",
                          "AutoMode=0", "AlarmEnable=1", "AlarmLowBatteryVoltage=0", "AlarmLowBatteryPercent=8",
                          "AdjustmentB=3380", "TemperatureEnable=0", "CellTemperature=2982",
                          "AdjustmentPack0=50", "AdjustmentPack1=51", "AdjustmentPack2=1891",
                          "AdjustmentPack3=4507", "AdjustmentPack4=15", "AdjustmentPack5=91"};
    size_t last = initial;
    for (const char* k : keys) {
        size_t at = text.find(k);
        ASSERT_NE(at, std::string::npos) << k;
        EXPECT_GT(at, last) << k;
        EXPECT_LT(at, comm) << k;
        last = at;
    }
    EXPECT_NE(text.find("ReceiveInterval=2"), std::string::npos);
    EXPECT_NE(text.find("I2cClock=100"), std::string::npos);
    EXPECT_NE(text.find("CommType=0"), std::string::npos);
}

TEST_F(StartupTest, PartialFileKeepsItsKeysAndGetsTheRest)
{
    WriteBytes(ini, "[Comm]\r\nReceiveInterval=5\r\n[Initial]\r\nAdjustmentPack8=300\r\nAdjustmentB=70000\r\n");
    {
        MainWindow run;
        EXPECT_EQ(run.dlg.Settings().ReceiveInterval, 5);
        EXPECT_EQ(run.dlg.Settings().AdjustmentPack8, 44);
        EXPECT_EQ(run.dlg.Settings().AdjustmentB, 4464);
        EXPECT_EQ(run.dlg.Settings().I2cClock, 100);
        EXPECT_EQ(Utf8(run.dlg.StatusText(2)), "Interval : 5 sec");
    }
    const std::string text = ReadBytes(ini);
    EXPECT_NE(text.find("ReceiveInterval=5"), std::string::npos);
    EXPECT_NE(text.find("AdjustmentPack8=44"), std::string::npos);
    EXPECT_NE(text.find("AdjustmentB=4464"), std::string::npos);
    EXPECT_NE(text.find("CellTemperature=2982"), std::string::npos);
    EXPECT_NE(text.find("CommType=0"), std::string::npos);
}

TEST_F(StartupTest, DemoModesAndTheStatusBar)
{
    struct Case { const wchar_t* args; int mode; const char* pane1; };
    const Case cases[] = {
        {L"-DEMO2", 2, " [Demo Mode2]"}, {L"-demo1", 1, " [Demo Mode1]"}, {L"-demo1 x", 0, ""}, {L"", 0, ""},
    };
    for (const Case& c : cases) {
        {
            MainWindow run(c.args);
            EXPECT_EQ(run.dlg.DemoMode(), c.mode) << Utf8(c.args);
            EXPECT_EQ(Utf8(run.dlg.StatusText(1)), c.pane1) << Utf8(c.args);
            EXPECT_EQ(Utf8(run.dlg.StatusText(2)), "Interval : 2 sec");
        }
        // The settings file is written in every run mode.
        EXPECT_NE(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(c.args);
        DeleteFileW(ini.c_str());
    }
}

TEST_F(StartupTest, TitleSystemMenuAndStartButtons)
{
    MainWindow run;
    wchar_t title[128] = {};
    GetWindowTextW(run.Wnd(), title, 128);
    EXPECT_EQ(Utf8(title), "Vantrel For VX5531xxR ");

    HMENU menu = GetSystemMenu(run.Wnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    wchar_t item[128];
    GetMenuStringW(menu, 0, item, 128, MF_BYPOSITION);
    EXPECT_EQ(Utf8(item), "Load LogFile(&L)...");
    EXPECT_EQ(GetMenuItemID(menu, 0), 0x0020u);
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    GetMenuStringW(menu, 2, item, 128, MF_BYPOSITION);
    EXPECT_EQ(Utf8(item), "About Vantrel(&A)...");
    EXPECT_EQ(GetMenuItemID(menu, 2), 0x0010u);
    EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);

    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(run.Wnd(), 1001)));  // Stop measure
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(run.Wnd(), 1041)));  // Flash write
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(run.Wnd(), 1000)));   // Start measure

    HWND list = GetDlgItem(run.Wnd(), 1008);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), static_cast<LRESULT>(90 * run.dlg.DpiScaleX()));
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x21, 0x21);
}

TEST_F(StartupTest, EscapeAndEnterLeaveTheWindowOpenCloseEndsIt)
{
    CVantrelDlg dlg;
    bool stillOpenAfterKeys = false;
    DialogDriver driver;
    driver.Expect(L"Vantrel For VX5531xxR ", {[](HWND wnd) {
                                                  HWND focus = GetDlgItem(wnd, 1009);
                                                  for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
                                                      PostMessageW(focus, WM_KEYDOWN, key, 0);
                                                      PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
                                                  }
                                              },
                                              [&](HWND wnd) {
                                                  stillOpenAfterKeys = IsWindow(wnd) && IsWindowVisible(wnd);
                                                  PostMessageW(wnd, WM_CLOSE, 0, 0);
                                              }});
    INT_PTR result = dlg.DoModal();
    EXPECT_TRUE(stillOpenAfterKeys);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(StartupTest, AboutBoxShowsNameVersionAndNotice)
{
    MainWindow run;
    std::wstring nameLine, notice;
    DialogDriver driver;
    driver.Expect(L"About Vantrel", {[&](HWND box) {
                      wchar_t text[256] = {};
                      GetDlgItemTextW(box, 1057, text, 256);
                      nameLine = text;
                      GetDlgItemTextW(box, 1056, text, 256);
                      notice = text;
                      Click(box, IDOK);
                  }});
    SendMessageW(run.Wnd(), WM_SYSCOMMAND, 0x0010, 0);
    EXPECT_EQ(Utf8(nameLine).rfind("Vantrel For VX5531xxR  Version ", 0), 0u) << Utf8(nameLine);
    EXPECT_GT(nameLine.size(), std::wstring(L"Vantrel For VX5531xxR  Version ").size());
    EXPECT_FALSE(notice.empty());
}
