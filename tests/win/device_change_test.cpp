// The sub board arriving and leaving while the tool runs, with the simulated
// board on a named pipe and WM_DEVICECHANGE records as the platform sends them.
#include <gtest/gtest.h>

#include <string>

#include "WinHarness.h"
#include "cli/FlashPatterns.h"

namespace {

// Another HID device, as a mouse shows up.
const std::wstring kMousePath = L"\\\\?\\hid#vid_045e&pid_0040#7&1b2c3d4e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Whatever the board went through, the window is back to "no board".
void ExpectDisconnected(const MainWindow& w)
{
    EXPECT_EQ(w.dlg.Board().DeviceHandle(), nullptr);
    EXPECT_FALSE(w.dlg.Board().ReceiveThreadRunning());
    EXPECT_FALSE(w.dlg.Board().WatchesHandle());
    EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "");
}

void ExpectDisconnectBox(const MessageBoxRecorder& boxes)
{
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Disconnect the USB device");
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

using DeviceChangeTest = WindowTest;

} // namespace

TEST_F(DeviceChangeTest, ArrivalOfTheBoardOpensItAndOtherArrivalsChangeNothing)
{
    SimulatedBoard sim(L"dev-arrival");
    DeviceListScope devices(sim.server.Path());
    MainWindow w;
    ASSERT_TRUE(w.created);
    EXPECT_TRUE(w.dlg.Board().WatchesArrivals());
    ExpectDisconnected(w);

    // A mouse is plugged in: Find sees no sub board.
    SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, kMousePath);
    ExpectDisconnected(w);

    ASSERT_TRUE(sim.server.Start());
    SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, sim.server.Path());
    EXPECT_NE(w.dlg.Board().DeviceHandle(), nullptr);
    EXPECT_NE(w.dlg.Board().DeviceHandle(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(w.dlg.Board().ReceiveThreadRunning());
    EXPECT_TRUE(w.dlg.Board().WatchesHandle());
    EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "USB Connected");
    ASSERT_TRUE(PumpUntil([&] { return sim.board.Settings().received; }));
    EXPECT_EQ(sim.board.Settings().intervalSeconds, 2);
    ASSERT_EQ(w.dlg.LogData().RowCount(), 1u);
    EXPECT_EQ(Utf8(w.dlg.LogData().CellText(0, 5)).rfind("<Communicate> Period of measure:2s", 0), 0u);

    // A second board while one is open: left alone, although Find would now
    // pick it (the last listed device wins).
    SimulatedBoard second(L"dev-arrival-2");
    ASSERT_TRUE(second.server.Start());
    DeviceListScope both(sim.server.Path() + L";" + second.server.Path());
    const HANDLE open = w.dlg.Board().DeviceHandle();
    SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, second.server.Path());
    PumpMessages(100);
    EXPECT_EQ(w.dlg.Board().DeviceHandle(), open);
    EXPECT_EQ(w.dlg.Board().Link().DevicePath(), sim.server.Path());
    EXPECT_FALSE(second.server.ClientConnected());
    EXPECT_FALSE(second.board.Settings().received);
}

// A listed path that holds the board's match text but cannot be opened: a
// folder (opening one as a file is refused).
class UnopenableDevice {
public:
    explicit UnopenableDevice(const CTempFolder& folder)
        : path(folder.Path() + L"\\hid#vid_5e3a&pid_fffd#unopenable")
    {
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~UnopenableDevice() { RemoveDirectoryW(path.c_str()); }
    const std::wstring path;
};

TEST_F(DeviceChangeTest, ABoardThatCannotBeOpenedIsNotConnectedAndALaterArrivalIs)
{
    CTempFolder folder;
    UnopenableDevice locked(folder);
    ASSERT_TRUE(CSubBoardLink::IsSubBoardPath(locked.path));
    DeviceListScope devices(locked.path);
    MainWindow w;
    ASSERT_TRUE(w.created);
    ExpectDisconnected(w);

    // The commands that need a board answer as when none was found.
    w.Click(IDC_START_MEASURE);
    EXPECT_EQ(w.dlg.Board().Measuring(), 0);
    w.Click(IDC_FLASH_WRITE);
    EXPECT_EQ(w.dlg.FlashWriting(), 0);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    for (const RecordedBox& box : boxes.boxes) EXPECT_EQ(Utf8(box.text), "Sub board was not found");

    // Its own arrival still cannot open it; it changes nothing.
    SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, locked.path);
    ExpectDisconnected(w);

    // A board that can be opened arrives: it connects as usual.
    SimulatedBoard sim(L"dev-after-unopenable");
    ASSERT_TRUE(sim.server.Start());
    DeviceListScope both(locked.path + L";" + sim.server.Path());
    SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, sim.server.Path());
    EXPECT_TRUE(w.dlg.Board().ReceiveThreadRunning());
    EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "USB Connected");
    EXPECT_EQ(w.dlg.Board().Link().DevicePath(), sim.server.Path());
    ASSERT_TRUE(PumpUntil([&] { return sim.board.Settings().received; }));
}

// The same through the real program: pane 3 stays empty and Start measure
// says what the tool says when no board is found.
TEST_F(DeviceChangeTest, TheRealProgramDoesNotShowAnUnopenableBoardAsConnected)
{
    if (!RealProgram::Built()) GTEST_SKIP() << "Vantrel.exe not built beside the tests";
    CTempFolder folder;
    UnopenableDevice locked(folder);
    DeviceListScope devices(locked.path);  // inherited by the child
    RealProgram program;
    ASSERT_TRUE(program.Started());

    HWND wnd = program.Window();
    ASSERT_NE(wnd, nullptr);
    HWND status = FindWindowExW(wnd, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(status, nullptr);
    // The length needs no buffer in our process, so it crosses processes.
    EXPECT_EQ(LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 3, 0)), 0);

    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDC_START_MEASURE, BN_CLICKED), 0);
    HWND box = WaitForWindow(L"error");
    ASSERT_NE(box, nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 64);
    EXPECT_EQ(Utf8(text), "Sub board was not found");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(wnd, WM_CLOSE, 0, 0);
}

// The window object destroyed while its window still exists: the window's
// own end still runs (stop frame, receive thread, settings saved).
TEST_F(DeviceChangeTest, AWindowEndedByItsDestructorStillCleansUp)
{
    SimulatedBoard sim(L"dev-destructor");
    ASSERT_TRUE(sim.server.Start());
    DeviceListScope devices(sim.server.Path());
    const DWORD threads = ThreadCount();
    {
        CVantrelDlg dlg;
        ASSERT_TRUE(dlg.Create(nullptr));
        SendMessageW(dlg.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START_MEASURE, BN_CLICKED), 0);
        ASSERT_TRUE(PumpUntil([&] { return sim.board.Measuring(); }));
        DeleteFileW(ini.c_str());
    }
    EXPECT_TRUE(PumpUntil([&] { return !sim.board.Measuring(); }, 2000)) << "no stop frame";
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_NE(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "settings not saved";
}

TEST_F(DeviceChangeTest, RemovalDuringAMeasurementEndsIt)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-measure"));
    ASSERT_TRUE(StartMeasuring());

    // The mouse goes away; the board is still there.
    const HANDLE open = w->dlg.Board().DeviceHandle();
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, kMousePath);
    EXPECT_EQ(w->dlg.Board().DeviceHandle(), open);
    EXPECT_EQ(w->dlg.Board().Measuring(), 1);
    EXPECT_TRUE(w->dlg.Board().ReceiveThreadRunning());
    EXPECT_TRUE(boxes.boxes.empty());

    Unplug();
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    EXPECT_EQ(ButtonStates(w->Wnd()), "110111110");
    ExpectDisconnectBox(boxes);
    ExpectDisconnected(*w);
}

TEST_F(DeviceChangeTest, RemovalWhileIdleSaysNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-idle"));
    ASSERT_TRUE(w->dlg.Board().WatchesHandle());

    Unplug();
    ExpectDisconnected(*w);
    EXPECT_TRUE(boxes.boxes.empty());

    // Nothing open any more: a further removal changes nothing either.
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
    ExpectDisconnected(*w);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DeviceChangeTest, OrderlyRemovalTearsDownWithoutLookingForTheBoard)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-orderly"));
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(sim->board.Measuring());

    // Events about the handle other than "removal pending" are not ours.
    SendHandleEvent(w->Wnd(), DBT_DEVICEQUERYREMOVE, w->dlg.Board().DeviceHandle());
    EXPECT_EQ(w->dlg.Board().Measuring(), 1);
    EXPECT_NE(w->dlg.Board().DeviceHandle(), nullptr);

    // The board is still present, and the teardown still runs.
    SendHandleEvent(w->Wnd(), DBT_DEVICEREMOVEPENDING, w->dlg.Board().DeviceHandle());
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    EXPECT_EQ(ButtonStates(w->Wnd()), "110111110");
    ExpectDisconnectBox(boxes);
    ExpectDisconnected(*w);
    // The stop frame went out before the handle was closed.
    EXPECT_TRUE(PumpUntil([&] { return !sim->board.Measuring(); }, 2000));
}

TEST_F(DeviceChangeTest, RemovalDuringAFlashWriteEndsTheWriteOnEveryPath)
{
    CTempFolder folder;
    const std::wstring imagePath = folder.Write(L"image.txt", HexLines(PatternImage(1664, 3)));

    enum class Path { Interface, HandlePending, HandleComplete, ReadsOnly };
    const std::pair<Path, const char*> paths[] = {{Path::Interface, "interface removal"},
                                                 {Path::HandlePending, "handle removal pending"},
                                                 {Path::HandleComplete, "handle removal complete"},
                                                 {Path::ReadsOnly, "no notification, the reads fail"}};
    for (const auto& [path, name] : paths) {
        SCOPED_TRACE(name);
        boxes.Clear();
        SimulatedBoard sim(L"dev-flash");
        ASSERT_TRUE(sim.server.Start());
        DeviceListScope devices(sim.server.Path());
        MainWindow w;
        ASSERT_TRUE(w.dlg.LoadFlashImageFile(imagePath));
        if (path == Path::ReadsOnly) {
            // The board drops off the bus in the middle of the data blocks;
            // its failing reads alone end the write.
            sim.board.SetFlashFault(SimFlashFault::Unplug, 3);
        } else {
            // No answer comes; only the notification can end the write.
            sim.board.SetSilent(true);
        }
        w.Click(IDC_FLASH_WRITE);
        ASSERT_EQ(w.dlg.FlashWriting(), 1);
        EXPECT_EQ(ButtonStates(w.Wnd()), "000000000");
        const HANDLE open = w.dlg.Board().DeviceHandle();
        if (path == Path::ReadsOnly) {
            ASSERT_TRUE(PumpUntil([&] { return w.dlg.FlashWriting() == 0; }));
        } else {
            PumpMessages(50);
            ASSERT_EQ(w.dlg.FlashWriting(), 1) << "a silent board does not end the write";
            if (path == Path::Interface)
                SendInterfaceEvent(w.Wnd(), DBT_DEVICEREMOVECOMPLETE, sim.server.Path());
            else
                SendHandleEvent(w.Wnd(), path == Path::HandlePending ? DBT_DEVICEREMOVEPENDING : DBT_DEVICEREMOVECOMPLETE,
                                open);
        }

        EXPECT_EQ(w.dlg.FlashWriting(), 0);
        EXPECT_EQ(ButtonStates(w.Wnd()), "110111111");
        EXPECT_EQ(Utf8(w.dlg.ItemText(IDC_PROCESS_RESULT)), "USB communication error");
        ExpectDisconnectBox(boxes);
        ExpectDisconnected(w);
    }
}

// The open board goes away while another sub board stays: the window must
// not keep showing a dead handle as connected, whichever board is listed.
TEST_F(DeviceChangeTest, TheOpenBoardGoingAwayIsNoticedBesideAnotherBoard)
{
    SimulatedBoard other(L"dev-other");
    ASSERT_TRUE(other.server.Start());
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-open"));
    // The other board comes first in the list, so ours is the one found.
    DeviceListScope both(other.server.Path() + L";" + sim->server.Path());
    ASSERT_EQ(w->dlg.Board().Link().DevicePath(), sim->server.Path());

    // The other one goes: nothing changes, not even the open board's path.
    other.server.Unplug();
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, other.server.Path());
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "USB Connected");
    EXPECT_EQ(w->dlg.Board().Link().DevicePath(), sim->server.Path());
    ASSERT_TRUE(other.server.Replug());

    // Ours goes while measuring: the record is read before the reads fail.
    ASSERT_TRUE(StartMeasuring());
    ASSERT_TRUE(sim->board.Measuring());
    sim->board.SetSilent(true);
    std::wstring spelled = sim->server.Path();
    for (wchar_t& c : spelled) c = static_cast<wchar_t>(towupper(c));
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, spelled);
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    ExpectDisconnectBox(boxes);
    ExpectDisconnected(*w);
    EXPECT_FALSE(other.server.ClientConnected()) << "a removal connects nothing";
}

// Unplugged and back before the window got to the notifications (it was
// busy): the board that came back is the one the window talks to.
TEST_F(DeviceChangeTest, AQuickReplugEndsTheOldConnectionAndOpensTheNewOne)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-quick", L"", 20));
    ASSERT_TRUE(StartMeasuring());
    sim->server.Unplug();
    ASSERT_TRUE(sim->server.Replug());
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEARRIVAL, sim->server.Path());
    ExpectDisconnectBox(boxes);
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
    EXPECT_EQ(Utf8(w->dlg.StatusText(3)), "USB Connected");
    // The board restarted at the replug: only a new connection tells it the settings.
    ASSERT_TRUE(PumpUntil([&] { return sim->board.Settings().received; }));
    // The old thread's word that its board is gone comes late: it is stale.
    PumpMessages(100);
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
    EXPECT_TRUE(StartMeasuring());
}

// No notification at all (none is sent, or it was lost): the failing reads
// of the open board alone end the connection; a handle record about another
// handle does not.
TEST_F(DeviceChangeTest, AVanishedBoardIsTornDownWithoutANotification)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-vanished"));
    ASSERT_TRUE(StartMeasuring());
    SendHandleEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(w->dlg.Board().Measuring(), 1);
    sim->server.Unplug();
    ASSERT_TRUE(PumpUntil([&] { return w->dlg.Board().DeviceHandle() == nullptr; }));
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    EXPECT_EQ(ButtonStates(w->Wnd()), "110111110");
    ExpectDisconnectBox(boxes);
    ExpectDisconnected(*w);
    // The notification that comes after all changes nothing more.
    SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    ASSERT_TRUE(Replug());
    EXPECT_TRUE(StartMeasuring());
}

TEST_F(DeviceChangeTest, DemoMode2IgnoresArrivalAndRemoval)
{
    {
        SimulatedBoard sim(L"dev-demo2-open");
        ASSERT_TRUE(sim.server.Start());
        DeviceListScope devices(sim.server.Path());
        MainWindow w(L"-demo2");
        const HANDLE open = w.dlg.Board().DeviceHandle();
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "USB Connected");
        sim.server.Unplug();
        SendInterfaceEvent(w.Wnd(), DBT_DEVICEREMOVECOMPLETE, sim.server.Path());
        SendHandleEvent(w.Wnd(), DBT_DEVICEREMOVEPENDING, open);
        EXPECT_EQ(w.dlg.Board().DeviceHandle(), open);
        EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "USB Connected");
    }
    {
        SimulatedBoard sim(L"dev-demo2-closed");
        DeviceListScope devices(sim.server.Path());
        MainWindow w(L"-demo2");
        ASSERT_EQ(w.dlg.Board().DeviceHandle(), nullptr);
        ASSERT_TRUE(sim.server.Start());
        SendInterfaceEvent(w.Wnd(), DBT_DEVICEARRIVAL, sim.server.Path());
        EXPECT_EQ(w.dlg.Board().DeviceHandle(), nullptr);
        EXPECT_EQ(Utf8(w.dlg.StatusText(3)), "");
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DeviceChangeTest, DemoMode1RemovalStopsTheDemoTimer)
{
    ASSERT_NO_FATAL_FAILURE(PlugBoard(L"dev-demo1"));
    ASSERT_NO_FATAL_FAILURE(OpenWindow(L"-demo1"));
    ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
    w->Click(IDC_START_MEASURE);
    ASSERT_EQ(w->dlg.Board().Measuring(), 1);

    Unplug();
    EXPECT_EQ(w->dlg.Board().Measuring(), 0);
    ExpectDisconnectBox(boxes);
    ExpectDisconnected(*w);
    // The timer is gone already, so there is nothing left to kill.
    EXPECT_FALSE(KillTimer(w->Wnd(), kDemoTimerId));
    EXPECT_EQ(sim->board.FramesHandled(), 0u);
}

TEST_F(DeviceChangeTest, RepeatedPlugAndUnplugLeavesNothingBehind)
{
    ASSERT_NO_FATAL_FAILURE(Open(L"dev-cycles"));

    size_t expectedBoxes = 0;
    auto cycle = [&](int i) {
        const bool measure = i % 2 == 0;
        if (measure) {
            w->Click(IDC_START_MEASURE);
            if (w->dlg.Board().Measuring() != 1 || !PumpUntil([&] { return sim->board.Measuring(); })) return false;
        }
        Unplug();
        if (measure) ++expectedBoxes;
        if (w->dlg.Board().DeviceHandle() != nullptr || w->dlg.Board().ReceiveThreadRunning() || w->dlg.Board().WatchesHandle())
            return false;
        return Replug();
    };

    // Let every lazily made object of the first round exist before counting.
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(cycle(i)) << "warm-up " << i;
    const DWORD handles = HandleCount();
    const DWORD threads = ThreadCount();
    ASSERT_GT(handles, 0u);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(cycle(i)) << "cycle " << i;
    PumpMessages(50);

    EXPECT_EQ(boxes.boxes.size(), expectedBoxes);
    // A leak of one handle per cycle would show as 100.
    EXPECT_LE(HandleCount(), handles + 5);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_TRUE(w->dlg.Board().WatchesHandle());

    Unplug();
    ExpectDisconnected(*w);
    EXPECT_EQ(ThreadCount(), threads - 1) << "the receive thread has ended";
}
