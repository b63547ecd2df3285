#pragma once
// The Windows tests' one harness: a message pump; message boxes answered by
// a recorder; modal dialogs driven from inside the UI thread; the main window
// opened modeless; a fixture that puts it on a simulated sub board of its
// own; a temporary folder and file helpers; the process's own figures.
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2
#endif
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <psapi.h>
#include <tlhelp32.h>

#include "app/VantrelDlg_win.h"
#include "fw/MessageBox_win.h"
#include "link/SubBoardLink_win.h"
#include "protocol/ReportCodes.h"
#include "resource.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"
#include "ui/CurrentValuePanel.h"

// ---------------------------------------------------------------- pumping

// Runs the thread's message queue for about `ms` milliseconds.
inline void PumpMessages(DWORD ms = 50)
{
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

// Pumps until `done` holds or `ms` have passed; returns whether it held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return done();
        PumpMessages(10);
    }
    return true;
}

inline std::string Utf8(const std::wstring& w)
{
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// ---------------------------------------------------------------- files

// Path of a file beside the test executable.
inline std::wstring BesideExe(const std::wstring& name)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// Writes the bytes as they are (no line-end translation).
inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
    return ok && put == bytes.size();
}

// The whole file, also while another holds it open for writing; "<missing>"
// when it cannot be opened.
inline std::string ReadBytes(const std::wstring& path)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}

// A folder of its own under the temporary path, removed with whatever the
// test left in it.
class CTempFolder {
public:
    CTempFolder()
    {
        static int counter = 0;
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + L"vantrel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CTempFolder()
    {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(m_path.c_str());
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    // A file of these bytes in the folder; its path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const
    {
        WriteBytes(File(name), bytes);
        return File(name);
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// ---------------------------------------------------------------- dialogs

struct RecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// Replaces every message box while it lives: records it and answers with
// the next queued answer (IDOK when none is queued).
class MessageBoxRecorder {
public:
    MessageBoxRecorder()
    {
        SetMessageBoxInterceptor([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
            boxes.push_back({text, caption, type});
            if (answers.empty()) return IDOK;
            int a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxInterceptor(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    void Clear()
    {
        boxes.clear();
        answers.clear();
    }

    std::vector<RecordedBox> boxes;
    std::vector<int> answers;
};

// A button pressed as its notification reaches the dialog.
inline void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Drives modal dialogs from inside the UI thread, as Wine's conformance tests
// do: a CBT hook of this thread sees each dialog box made while the driver
// lives become active, and a timer on it then runs the steps queued for it,
// one per tick, from within the dialog's own modal loop (so what a step posts
// is handled before the next step runs). A step ends its dialog with Click.
class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    DialogDriver()
    {
        s_current = this;
        m_hook = SetWindowsHookExW(WH_CBT, &DialogDriver::Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogDriver()
    {
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The next new dialog box with this title (any title when empty) runs
    // these steps; expectations are taken in the order given.
    void Expect(const std::wstring& title, std::vector<Step> steps) { m_expected.push_back({title, std::move(steps)}); }
    // Whether the n-th expected dialog appeared and ran every step.
    bool Ran(size_t n) const { return n < m_expected.size() && m_expected[n].next == m_expected[n].steps.size(); }

private:
    struct Expected {
        std::wstring title;
        std::vector<Step> steps;
        HWND dialog = nullptr;
        size_t next = 0;
        bool running = false;
    };
    static constexpr UINT_PTR kTimerId = 0x7E57;

    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp)
    {
        if (s_current && code == HCBT_CREATEWND) s_current->m_made.insert(reinterpret_cast<HWND>(wp));
        if (s_current && code == HCBT_ACTIVATE) s_current->Activated(reinterpret_cast<HWND>(wp));
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    void Activated(HWND wnd)
    {
        wchar_t cls[16] = {}, title[256] = {};
        GetClassNameW(wnd, cls, 16);
        if (!m_made.count(wnd) || std::wstring(cls) != L"#32770") return;
        GetWindowTextW(wnd, title, 256);
        for (Expected& e : m_expected) {
            if (e.dialog == wnd) return;  // active again after a box of its own
            if (!e.dialog && (e.title.empty() || e.title == title)) {
                e.dialog = wnd;
                SetTimer(wnd, kTimerId, 10, &DialogDriver::Tick);
                return;
            }
        }
    }
    static void CALLBACK Tick(HWND wnd, UINT, UINT_PTR, DWORD)
    {
        if (!s_current) return;
        for (Expected& e : s_current->m_expected) {
            if (e.dialog != wnd || e.running) continue;
            // A step may run a modal loop of its own (a box the dialog asks):
            // no step of this dialog runs inside it.
            if (e.next + 1 >= e.steps.size()) KillTimer(wnd, kTimerId);
            if (e.next >= e.steps.size()) return;
            e.running = true;
            e.steps[e.next++](wnd);
            e.running = false;
            return;
        }
    }

    static inline DialogDriver* s_current = nullptr;
    HHOOK m_hook = nullptr;
    std::set<HWND> m_made;
    std::vector<Expected> m_expected;
};

// Answers the next common file dialog from inside it: notes the first
// filter's text, then cancels (empty name) or types `name` and presses OK.
// A confirmation the file dialog asks itself is answered Yes.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(const std::wstring& name)
    {
        driver.Expect(L"", {[this, name](HWND box) {
                          wchar_t text[128] = {};
                          GetWindowTextW(GetDlgItem(box, 0x470), text, 128);  // file type combo
                          filter = Utf8(text);
                          if (name.empty()) return Click(box, IDCANCEL);
                          SetDlgItemTextW(box, 0x47C, name.c_str());  // file name combo
                          SetDlgItemTextW(box, 0x480, name.c_str());  // file name edit (older templates)
                          Click(box, IDOK);
                      }});
        driver.Expect(L"", {[](HWND confirm) { Click(confirm, IDYES); }});
    }
    bool Answered() const { return driver.Ran(0); }
    bool Confirmed() const { return driver.Ran(1); }

    std::string filter;

private:
    DialogDriver driver;
};

// A top-level window of any process with this class and title, once it is
// visible; nullptr after `ms`. For programs the tests start.
inline HWND WaitForWindow(const wchar_t* title, DWORD ms = 10000)
{
    HWND wnd = nullptr;
    const DWORD start = GetTickCount();
    while (!(wnd && IsWindowVisible(wnd)) && GetTickCount() - start < ms) {
        Sleep(10);
        wnd = FindWindowW(L"#32770", title);
    }
    return wnd && IsWindowVisible(wnd) ? wnd : nullptr;
}

// The real Vantrel.exe beside the tests, started with `args` (inheriting
// this process's environment). At the end of the scope it gets 10 s to end
// by itself, then it is ended by force.
class RealProgram {
public:
    explicit RealProgram(const std::wstring& args = L"")
    {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::wstring commandLine = L"\"" + Exe() + L"\"" + (args.empty() ? L"" : L" " + args);
        if (!CreateProcessW(Exe().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
    }
    ~RealProgram()
    {
        if (!m_process) return;
        if (WaitForSingleObject(m_process, 10000) != WAIT_OBJECT_0) Kill();
        CloseHandle(m_process);
    }
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    static std::wstring Exe() { return BesideExe(L"Vantrel.exe"); }
    static bool Built() { return GetFileAttributesW(Exe().c_str()) != INVALID_FILE_ATTRIBUTES; }
    bool Started() const { return m_process != nullptr; }
    // Its main window once shown; nullptr after 30 s.
    HWND Window() const { return WaitForWindow(L"Vantrel For VX5531xxR ", 30000); }
    void Kill()
    {
        TerminateProcess(m_process, 9);
        WaitForSingleObject(m_process, 10000);
    }

private:
    HANDLE m_process = nullptr;
};

// ---------------------------------------------------------------- the main window

// Enabled state of the nine buttons the enable states govern, in the order
// Communicate, Start, Stop, Clear log, Store log, Read word, Write word,
// Open file, Flash write.
inline std::string ButtonStates(HWND dialog)
{
    static const int ids[] = {IDC_COMMUNICATE, IDC_START_MEASURE, IDC_STOP_MEASURE, IDC_CLEAR_LOG, IDC_STORE_LOG,
                              IDC_READ_WORD,   IDC_WRITE_WORD,    IDC_OPEN_FILE,    IDC_FLASH_WRITE};
    std::string states;
    for (int id : ids) states += IsWindowEnabled(GetDlgItem(dialog, id)) ? '1' : '0';
    return states;
}

// A measurement with a stamp derived from its number, so that readouts can be
// told apart: 2024/03/09 hh:mm:ss with seconds = n % 60, minutes = n / 60 % 60.
inline tagLOGDATA Reading(int n, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2024;
    r.month = 3;
    r.day = 9;
    r.hour = static_cast<int16_t>(7 + n / 3600);
    r.minute = static_cast<int16_t>(n / 60 % 60);
    r.second = static_cast<int16_t>(n % 60);
    r.rsoc = rsoc;
    r.temperature = temperature;
    r.voltage = voltage;
    return r;
}

// A measurement stamped 2019/01/18 09:05:<second>.
inline tagLOGDATA Measurement(int16_t second, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r = Reading(second, rsoc, temperature, voltage);
    r.year = 2019;
    r.month = 1;
    r.day = 18;
    r.hour = 9;
    r.minute = 5;
    return r;
}

// A report payload: the given bytes, then zeros.
inline std::array<uint8_t, kPayloadSize> Payload(std::initializer_list<uint8_t> bytes)
{
    std::array<uint8_t, kPayloadSize> p{};
    size_t i = 0;
    for (uint8_t b : bytes) p[i++] = b;
    return p;
}

// The main window, modeless, destroyed at the end of the scope; its controls
// and parts in reach.
class MainWindow {
public:
    explicit MainWindow(const std::wstring& commandLine = L"") : dlg(commandLine)
    {
        created = dlg.Create(nullptr);
        PumpMessages(30);
    }
    ~MainWindow() { dlg.DestroyWindow(); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Wnd() const { return dlg.GetHwnd(); }
    HWND Item(int id) const { return GetDlgItem(dlg.GetHwnd(), id); }
    std::string Text(int id) const { return Utf8(dlg.ItemText(id)); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) { ::Click(Wnd(), id); }

    // The log list.
    HWND List() const { return Item(IDC_LOG_LIST); }
    int ItemCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // A cell as the list shows it (asked the way the list asks).
    std::string Cell(int row, int column) const
    {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return Utf8(text);
    }
    // The six cells of a row joined by "|".
    std::string Row(int row) const
    {
        std::string joined;
        for (int c = 0; c < 6; ++c) joined += (c ? "|" : "") + Cell(row, c);
        return joined;
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < ItemCount(); ++i) rows.push_back(Row(i));
        return rows;
    }
    // True when the row lies wholly or partly inside the list's client area.
    bool RowInView(int row) const
    {
        RECT item{LVIR_BOUNDS, 0, 0, 0};
        if (!SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)))
            return false;
        RECT client{};
        GetClientRect(List(), &client);
        return item.bottom > client.top && item.top < client.bottom;
    }

    // The graphs. One reading arriving as the dispatcher hands it over:
    // record and row, scroll bar, cursor step, points and picture.
    void Append(const tagLOGDATA& record)
    {
        dlg.LogView().AddMeasurementRow(record);
        dlg.Graph().StepForNewRecord();
        dlg.Graph().Refresh();
    }
    // n readings numbered from `first`, all with the same values, ending in
    // the state that n single appends leave (one redraw instead of n).
    void AppendMany(int count, int32_t rsoc = 50, double temperature = 25.0, uint16_t voltage = 3700, int first = 0)
    {
        for (int i = 0; i < count; ++i) {
            dlg.LogView().AddMeasurementRow(Reading(first + i, rsoc, temperature, voltage));
            dlg.Graph().StepForNewRecord();
        }
        dlg.Graph().Refresh();
    }
    void HScroll(int id, WORD code, WORD position = 0)
    {
        SendMessageW(Wnd(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(id)));
    }
    void Zoom(int level, WORD code = TB_THUMBPOSITION)
    {
        SendMessageW(Item(IDC_ZOOM), TBM_SETPOS, TRUE, level);
        HScroll(IDC_ZOOM, code, static_cast<WORD>(level));
    }
    int ScrollPos() const { return GetScrollPos(Item(IDC_GRAPH_SCROLL), SB_CTL); }
    int ScrollMax() const
    {
        int lo = 0, hi = 0;
        GetScrollRange(Item(IDC_GRAPH_SCROLL), SB_CTL, &lo, &hi);
        return hi;
    }
    bool ScrollEnabled() const { return Enabled(IDC_GRAPH_SCROLL); }
    // Where the graph control's top-left corner lies in the main window's
    // client area, as the window system places it.
    POINT GraphOrigin() const
    {
        POINT origin{0, 0};
        MapWindowPoints(Item(IDC_GRAPH_AREA), Wnd(), &origin, 1);
        return origin;
    }
    // The hit area of the plot in the main window's client coordinates.
    RECT HitArea() const
    {
        const POINT o = GraphOrigin();
        const GraphGeometry& g = dlg.Graph().Geometry();
        return RECT{o.x + g.plot.left, o.y, o.x + g.plot.right, o.y + g.height};
    }
    void Press(int x, int y) { SendMessageW(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Move(int x, int y, WPARAM buttons) { SendMessageW(Wnd(), WM_MOUSEMOVE, buttons, MAKELPARAM(x, y)); }

    CVantrelDlg dlg;
    bool created = false;
};

// ---------------------------------------------------------------- the simulated board

// Sets the device list for its lifetime; the previous value comes back after.
class DeviceListScope {
public:
    explicit DeviceListScope(const std::wstring& paths)
    {
        wchar_t old[2048];
        const DWORD n = GetEnvironmentVariableW(kDeviceEnvironmentVariable, old, 2048);
        m_hadOld = n > 0 && n < 2048;
        if (m_hadOld) m_old.assign(old, n);
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, paths.c_str());
    }
    ~DeviceListScope() { SetEnvironmentVariableW(kDeviceEnvironmentVariable, m_hadOld ? m_old.c_str() : nullptr); }
    DeviceListScope(const DeviceListScope&) = delete;
    DeviceListScope& operator=(const DeviceListScope&) = delete;

private:
    bool m_hadOld = false;
    std::wstring m_old;
};

// The board and its pipe. Not started: call server.Start() to plug it in.
struct SimulatedBoard {
    explicit SimulatedBoard(const wchar_t* suffix) : server(board, suffix) {}
    CSimBoard board;
    CPipeServer server;
};

// WM_DEVICECHANGE as the platform sends it for an interface of the HID class.
inline void SendInterfaceEvent(HWND window, UINT event, const std::wstring& path)
{
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<DWORD> storage((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(size);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    path.copy(record->dbcc_name, path.size());
    record->dbcc_name[path.size()] = 0;
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
}

// WM_DEVICECHANGE about an open handle (the orderly removal).
inline void SendHandleEvent(HWND window, UINT event, HANDLE device)
{
    DEV_BROADCAST_HANDLE record{};
    record.dbch_size = sizeof(record);
    record.dbch_devicetype = DBT_DEVTYP_HANDLE;
    record.dbch_handle = device;
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

// ---------------------------------------------------------------- process figures

inline DWORD ThreadCount()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snap);
    return count;
}

// Open kernel handles, found by asking about every handle value in turn
// (Wine does not count them for GetProcessHandleCount).
inline DWORD HandleCount()
{
    DWORD count = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

struct ProcessCounts {
    DWORD handles;
    DWORD threads;
};

inline ProcessCounts CurrentCounts() { return {HandleCount(), ThreadCount()}; }

struct PrivateBytes {
    double reported;   // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
    double committed;  // committed private regions of the address space
};

inline PrivateBytes PrivateMegabytes()
{
    constexpr double kMiB = 1024.0 * 1024.0;
    PrivateBytes bytes{-1.0, 0.0};
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        bytes.reported = static_cast<double>(counters.PrivateUsage) / kMiB;
    // Some platforms leave PrivateUsage at 0; the address space tells too.
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes.committed += static_cast<double>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    bytes.committed /= kMiB;
    return bytes;
}

// ---------------------------------------------------------------- the fixture

// The board sends its first reading when a measurement starts and then only
// what a test injects, so every row can be traced to one sample.
constexpr uint32_t kNoPeriodicReadings = 1u << 30;
// Handles the platform may create lazily on the way (none per repetition).
constexpr DWORD kHandleSlack = 2;

inline double Celsius(uint16_t raw) { return static_cast<int16_t>(static_cast<uint16_t>(raw - 2732)) / 10.0; }

// Every window test starts without a settings file beside the exe and without
// a listed board, and leaves neither behind. Open() puts the window `w` on a
// simulated board `sim` of its own; the rest drives and checks that pair.
class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileW(ini.c_str());
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
    }
    void TearDown() override
    {
        w.reset();
        devices.reset();
        if (sim) sim->server.Stop();
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
        DeleteFileW(ini.c_str());
    }

    // Settings the window reads when it opens.
    void WriteSettings(const std::string& text) { ASSERT_TRUE(WriteBytes(ini, text)); }

    // A board plugged in and listed for the window to find, measuring every
    // `measurePeriodMs` once started.
    void PlugBoard(const wchar_t* name, uint32_t measurePeriodMs = 0)
    {
        sim = std::make_unique<SimulatedBoard>(name);
        if (measurePeriodMs) sim->board.SetMeasurePeriod(measurePeriodMs);
        ASSERT_TRUE(sim->server.Start());
        devices = std::make_unique<DeviceListScope>(sim->server.Path());
    }

    // The window, on whatever board is listed.
    void OpenWindow(const std::wstring& commandLine = L"")
    {
        w = std::make_unique<MainWindow>(commandLine);
        ASSERT_TRUE(w->created);
    }

    // The window on a board of its own, once the board has its settings.
    void Open(const wchar_t* name, const std::wstring& commandLine = L"", uint32_t measurePeriodMs = 0)
    {
        ASSERT_NO_FATAL_FAILURE(PlugBoard(name, measurePeriodMs));
        ASSERT_NO_FATAL_FAILURE(OpenWindow(commandLine));
        ASSERT_NE(w->dlg.Board().DeviceHandle(), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return sim->board.Settings().received; }));
    }

    const LogStore& Log() const { return w->dlg.LogData(); }
    size_t Records() const { return Log().RecordCount(); }

    // Start measure; true once the board's first reading is a row.
    bool StartMeasuring()
    {
        const size_t before = Records();
        w->Click(IDC_START_MEASURE);
        return w->dlg.Board().Measuring() == 1 && PumpUntil([&] { return Records() > before; });
    }

    // The board pulled out, and the platform saying so.
    void Unplug()
    {
        sim->server.Unplug();
        SendInterfaceEvent(w->Wnd(), DBT_DEVICEREMOVECOMPLETE, sim->server.Path());
    }

    // Plugged in again; true once the window has it open and has told it the settings.
    bool Replug()
    {
        if (!sim->server.Replug()) return false;
        SendInterfaceEvent(w->Wnd(), DBT_DEVICEARRIVAL, sim->server.Path());
        return w->dlg.Board().DeviceHandle() != nullptr && w->dlg.Board().ReceiveThreadRunning() &&
               PumpUntil([&] { return sim->board.Settings().received; });
    }

    // The one noise report of the given turn: codes the tool drops, reports of
    // the wrong length, single communication errors (never 33 in a row), and
    // answers it takes while measuring without adding a row.
    void InjectNoise(uint32_t turn)
    {
        switch (turn % 6) {
        case 0: sim->board.InjectUnknownCode(0x7E); break;
        case 1: sim->board.InjectWrongLength(64); break;
        case 2: sim->board.InjectCommErrors(1); break;
        case 3: sim->board.InjectUnknownCode(RC_READ_WORD); break;
        case 4: sim->board.InjectWrongLength(70); break;
        default: sim->board.InjectUnknownCode(RC_SETTINGS); break;
        }
    }

    // The board sends `readings` readings at full speed, each followed by
    // `noise` other reports; waits until the window has shown them all and
    // checks that they are the log's newest records, in order.
    testing::AssertionResult Feed(uint32_t readings, uint32_t noise = 0, DWORD waitMs = 30000)
    {
        const size_t before = Records();
        const uint32_t first = sim->board.MeasurementsSent();
        const uint32_t deliveredBefore = sim->server.ReportsDelivered();
        uint32_t sent = 0;
        uint32_t reports = 0;
        // Topped up in small batches: a board holds only so many reports for a slow reader.
        const bool done = PumpUntil(
            [&] {
                while (sent < readings && sim->board.PendingInputReports() < 256) {
                    sim->board.InjectMeasurements(1);
                    ++reports;
                    for (uint32_t n = 0; n < noise; ++n) InjectNoise(reports++);
                    ++sent;
                }
                return sent == readings && Records() >= before + readings &&
                       sim->server.ReportsDelivered() - deliveredBefore == reports;
            },
            waitMs);
        if (!done)
            return testing::AssertionFailure() << "sent " << sent << " readings, " << Records() - before
                                               << " became rows, " << sim->server.ReportsDelivered() - deliveredBefore
                                               << " of " << reports << " reports delivered";
        if (Records() != before + readings)
            return testing::AssertionFailure() << Records() - before << " rows for " << readings << " readings";
        return RecordsAreSamples(before, first, readings);
    }

    // Records from `record` on are the board's samples from `sample` on, one each.
    testing::AssertionResult RecordsAreSamples(size_t record, uint32_t sample, size_t count) const
    {
        for (size_t i = 0; i < count; ++i) {
            const tagLOGDATA& r = Log().Record(record + i);
            const SimMeasurement m = CSimBoard::MeasurementAt(sample + static_cast<uint32_t>(i));
            if (r.rsoc != m.rsoc || r.voltage != m.voltage || r.temperature != Celsius(m.temperature))
                return testing::AssertionFailure() << "record " << record + i << " is not sample " << sample + i;
        }
        return testing::AssertionSuccess();
    }

    // The current-value panel shows the newest record.
    void ExpectPanelShowsNewestRecord() const
    {
        ASSERT_GT(Records(), 0u);
        const tagLOGDATA& last = Log().Record(Records() - 1);
        EXPECT_EQ(w->dlg.ItemText(IDC_RSOC_VALUE), RsocValueText(static_cast<uint32_t>(last.rsoc)));
        EXPECT_EQ(w->dlg.ItemText(IDC_TEMP_VALUE), TemperatureValueText(last.temperature));
    }

    void ExpectCountsBackTo(const ProcessCounts& start) const
    {
        PumpMessages(50);
        const ProcessCounts now = CurrentCounts();
        EXPECT_LE(now.handles, start.handles + kHandleSlack) << "handles at start: " << start.handles;
        EXPECT_EQ(now.threads, start.threads);
    }

    const std::wstring ini = BesideExe(L"Vantrel.ini");
    MessageBoxRecorder boxes;
    std::unique_ptr<SimulatedBoard> sim;
    std::unique_ptr<DeviceListScope> devices;
    std::unique_ptr<MainWindow> w;
};
