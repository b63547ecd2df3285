// Reports handed to the main window as the dispatcher takes them from the
// queue: measurements, communication errors, read-word replies and the end
// of a flash write.
#include "WinHarness.h"

namespace {

std::string Today()
{
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[16];
    snprintf(text, sizeof text, "%04u/%02u/%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

bool LooksLikeTime(const std::string& s)
{
    return s.size() == 8 && s[2] == ':' && s[5] == ':' && isdigit(static_cast<unsigned char>(s[0])) &&
           isdigit(static_cast<unsigned char>(s[7]));
}

// Queues a read-word reply of 0xCD, as the receive thread would.
DWORD WINAPI PushReadWordCd(LPVOID queue)
{
    static_cast<CBoardConnection*>(queue)->QueueReport(Payload({0x06, 0x0D, 0xCD, 0x00}).data());
    return 0;
}

using DispatchTest = WindowTest;

// A flash write under way on a board that never answers: it reads
// "Writing..." until a report ends it.
class FlashWriteUnderWay {
public:
    FlashWriteUnderWay() { sim.board.SetSilent(true); }
    ~FlashWriteUnderWay() { DeleteFileW(image.c_str()); }
    bool Plugged() { return sim.server.Start(); }
    // After the window opened: one block of image, then Flash write.
    bool Begin(MainWindow& w)
    {
        if (!loaded) loaded = WriteBytes(image, std::string(256, '5')) && w.dlg.LoadFlashImageFile(image);
        w.Click(IDC_FLASH_WRITE);
        return loaded && w.dlg.FlashWriting() == 1 && w.Text(IDC_PROCESS_RESULT) == "Writing...";
    }
    SimulatedBoard sim{L"dispatch-flash"};
    DeviceListScope devices{sim.server.Path()};
    const std::wstring image = BesideExe(L"dispatch-image.txt");
    bool loaded = false;
};

} // namespace

TEST_F(DispatchTest, MeasurementReportsBecomeRowsAndCurrentValues)
{
    struct Case {
        std::initializer_list<uint8_t> payload;
        const char* rsoc;
        const char* temperature;
        const char* voltage;
        int32_t picture;
    };
    const Case cases[] = {
        {{0x03, 0x50, 0xA6, 0x0B, 0x10, 0x0F}, "80", "25.0", "3856", 133},
        {{0x03, 0x05, 0x48, 0x0A, 0x00, 0x00}, "5", "-10.0", "0", 135},
        {{0x03, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, "255", "-273.2", "65535", 144},
        // 0xFFFF - 2732 still fits 16 signed bits after the wrap.
        {{0x03, 0x00, 0xFF, 0xFF, 0x01, 0x00}, "0", "-273.3", "1", 134},
    };
    MainWindow w;
    w.dlg.Board().SetMeasuring(1);
    int row = 0;
    for (const Case& c : cases) {
        const std::string before = Today();
        w.dlg.HandleSubBoardReport(Payload(c.payload).data());
        const std::string after = Today();
        SCOPED_TRACE(c.rsoc);
        ASSERT_EQ(w.ItemCount(), row + 1) << "the new row is the list's last row";
        const std::string date = w.Cell(row, 0);
        EXPECT_TRUE(date == before || date == after) << date;
        EXPECT_TRUE(LooksLikeTime(w.Cell(row, 1))) << w.Cell(row, 1);
        EXPECT_EQ(w.Cell(row, 2), c.rsoc);
        EXPECT_EQ(w.Cell(row, 3), c.temperature);
        EXPECT_EQ(w.Cell(row, 4), c.voltage);
        EXPECT_EQ(w.Cell(row, 5), "");
        EXPECT_EQ(w.Text(IDC_RSOC_VALUE), c.rsoc);
        EXPECT_EQ(w.Text(IDC_TEMP_VALUE), c.temperature);
        EXPECT_EQ(w.dlg.Picture().LoadedBitmapId(), c.picture);
        EXPECT_EQ(w.dlg.LogData().Record(row).rowIndex, row);
        ++row;
    }
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 4u);
    // Every reported record moves the cursor one step back, so it stays on its record.
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 4);
}

TEST_F(DispatchTest, ReportsOutsideAMeasurementChangeNothing)
{
    MainWindow w;
    const std::string buttons = ButtonStates(w.Wnd());
    for (uint8_t code : {0x03, 0x05, 0x0C, 0x0D, 0x0E, 0x01, 0x04, 0x02, 0x7F}) {
        w.dlg.HandleSubBoardReport(Payload({code, 0x50, 0xA6, 0x0B, 0x10, 0x0F}).data());
        EXPECT_EQ(w.ItemCount(), 0) << int(code);
    }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ButtonStates(w.Wnd()), buttons);
    EXPECT_EQ(w.Text(IDC_RSOC_VALUE), "");
    EXPECT_EQ(w.dlg.Picture().LoadedBitmapId(), 144);
}

TEST_F(DispatchTest, ReadWordReplyIsShownMeasuringOrNot)
{
    MainWindow w;
    w.dlg.HandleSubBoardReport(Payload({0x06, 0x0D, 0xAB, 0x00}).data());
    EXPECT_EQ(w.Text(IDC_READ_DATA), "ab");
    w.dlg.Board().SetMeasuring(1);
    w.dlg.HandleSubBoardReport(Payload({0x06, 0x0D, 0x00, 0x00}).data());
    EXPECT_EQ(w.Text(IDC_READ_DATA), "0");
    EXPECT_EQ(w.ItemCount(), 0);
}

TEST_F(DispatchTest, CommunicationErrorEndsTheMeasurementOnce)
{
    MainWindow w;
    w.dlg.Board().SetMeasuring(1);
    w.dlg.SetEnableState(EnableState::Measuring);
    w.dlg.HandleSubBoardReport(Payload({0x05}).data());
    w.dlg.HandleSubBoardReport(Payload({0x05}).data());
    w.dlg.HandleSubBoardReport(Payload({0x03, 0x50, 0xA6, 0x0B, 0x10, 0x0F}).data());

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "Communication error");
    EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(w.dlg.Board().Measuring(), 0);
    EXPECT_TRUE(w.Enabled(IDC_COMMUNICATE));
    EXPECT_TRUE(w.Enabled(IDC_START_MEASURE));
    EXPECT_FALSE(w.Enabled(IDC_STOP_MEASURE));
    EXPECT_TRUE(w.Enabled(IDC_OPEN_FILE));
    EXPECT_FALSE(w.Enabled(IDC_FLASH_WRITE)) << "no flash image loaded";
    EXPECT_EQ(w.dlg.LogData().RecordCount(), 0u) << "the measurement after the error is discarded";
}

TEST_F(DispatchTest, AnyReportEndsAFlashWriteWithItsResult)
{
    struct Case {
        std::initializer_list<uint8_t> payload;
        const char* result;
        bool retryBox;
    };
    const Case cases[] = {
        {{0x0C, 0x00}, "Verify error", true},
        {{0x0D}, "Flash write success", false},
        {{0x0E}, "I2C communication error", true},
        // A read-word reply still queued: shown, and the write ends without a result text.
        {{0x06, 0x0D, 0x34, 0x12}, "Writing...", false},
        {{0x03, 0x50, 0xA6, 0x0B, 0x10, 0x0F}, "Writing...", false},
    };
    FlashWriteUnderWay write;
    ASSERT_TRUE(write.Plugged());
    MainWindow w;
    for (const Case& c : cases) {
        boxes.Clear();
        SCOPED_TRACE(c.result);
        ASSERT_TRUE(write.Begin(w));

        w.dlg.HandleSubBoardReport(Payload(c.payload).data());

        EXPECT_EQ(w.dlg.FlashWriting(), 0);
        EXPECT_EQ(w.Text(IDC_PROCESS_RESULT), c.result);
        if (c.retryBox) {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(Utf8(boxes.boxes[0].text), "Flash write error\nPlease retry the flash write");
            EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error");
            EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        } else {
            EXPECT_TRUE(boxes.boxes.empty());
        }
        for (int id : {IDC_COMMUNICATE, IDC_READ_WORD, IDC_WRITE_WORD, IDC_OPEN_FILE, IDC_START_MEASURE,
                       IDC_CLEAR_LOG, IDC_STORE_LOG})
            EXPECT_TRUE(w.Enabled(id)) << id;
        EXPECT_FALSE(w.Enabled(IDC_STOP_MEASURE));
        EXPECT_EQ(w.dlg.LogData().RecordCount(), 0u) << "no measurement during a flash write";
    }
    EXPECT_EQ(w.Text(IDC_READ_DATA), "1234");
}

TEST_F(DispatchTest, FlashResultSurvivesAReportHandledWhileTheBoxIsOpen)
{
    FlashWriteUnderWay write;
    ASSERT_TRUE(write.Plugged());
    MainWindow w;
    ASSERT_TRUE(write.Begin(w));
    // While the retry box is open, a queued read-word reply is handled by the
    // box's own message loop.
    SetMessageBoxInterceptor([&](HWND, const std::wstring& text, const std::wstring&, UINT) {
        boxes.boxes.push_back({text, L"", 0});
        w.dlg.HandleSubBoardReport(Payload({0x06, 0x0D, 0xCD, 0x00}).data());
        return IDOK;
    });
    w.dlg.HandleSubBoardReport(Payload({0x0E}).data());
    EXPECT_EQ(boxes.boxes.size(), 1u) << "the write ends once";
    EXPECT_EQ(w.Text(IDC_PROCESS_RESULT), "I2C communication error");
    EXPECT_EQ(w.Text(IDC_READ_DATA), "cd");
}

TEST_F(DispatchTest, DrainsWhatWasQueuedWhenItStarted)
{
    MainWindow w;
    EXPECT_EQ(SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0), 0) << "an empty queue";

    w.dlg.Board().SetMeasuring(1);
    for (uint8_t rsoc : {10, 20, 30}) w.dlg.Board().QueueReport(Payload({0x03, rsoc, 0xA6, 0x0B, 0x10, 0x0F}).data());
    EXPECT_EQ(SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0), 0);
    ASSERT_EQ(w.ItemCount(), 3);
    EXPECT_EQ(w.Cell(2, 2), "30");
    EXPECT_EQ(w.dlg.Board().QueuedReports(), 0u);

    // A report queued while the error box is open waits for its own message.
    w.dlg.Board().QueueReport(Payload({0x05}).data());
    w.dlg.Board().QueueReport(Payload({0x06, 0x0D, 0xAB, 0x00}).data());
    bool queuedFromAnotherThread = false;
    SetMessageBoxInterceptor([&](HWND, const std::wstring&, const std::wstring&, UINT) {
        // The receive thread must be able to queue while the box is open.
        HANDLE pusher = CreateThread(nullptr, 0, PushReadWordCd, &w.dlg.Board(), 0, nullptr);
        queuedFromAnotherThread = WaitForSingleObject(pusher, 5000) == WAIT_OBJECT_0;
        CloseHandle(pusher);
        return IDOK;
    });
    SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0);
    SetMessageBoxInterceptor(nullptr);
    EXPECT_TRUE(queuedFromAnotherThread);
    EXPECT_EQ(w.Text(IDC_READ_DATA), "ab");
    EXPECT_EQ(w.dlg.Board().QueuedReports(), 1u);
    SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0);
    EXPECT_EQ(w.Text(IDC_READ_DATA), "cd");
}

TEST_F(DispatchTest, ANestedDrainDuringTheBoxLeavesTheOuterOneNothing)
{
    MainWindow w;
    w.dlg.Board().SetMeasuring(1);
    w.dlg.Board().QueueReport(Payload({0x05}).data());
    w.dlg.Board().QueueReport(Payload({0x06, 0x0D, 0xAB, 0x00}).data());
    w.dlg.Board().QueueReport(Payload({0x06, 0x0D, 0xEF, 0x00}).data());
    int boxes = 0;
    SetMessageBoxInterceptor([&](HWND, const std::wstring&, const std::wstring&, UINT) {
        ++boxes;
        // The box's message loop dispatches the message posted for the next report.
        SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0);
        return IDOK;
    });
    SendMessageW(w.Wnd(), kSubBoardReportMessage, 0, 0);
    SetMessageBoxInterceptor(nullptr);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(w.Text(IDC_READ_DATA), "ef");
    EXPECT_EQ(w.dlg.Board().QueuedReports(), 0u);
}
