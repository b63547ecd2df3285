// Open file: flash image files become the flash image and its file type;
// refused files leave everything as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WinHarness.h"
#include "cli/FlashPatterns.h"

namespace {

class FlashFileTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
    }
    std::vector<uint8_t> Image() const
    {
        auto image = w->dlg.Flash().Image();
        return image ? image->bytes : std::vector<uint8_t>();
    }

    CTempFolder folder;
};

TEST_F(FlashFileTest, LoadedFilesSetImageAndFileType)
{
    EXPECT_EQ(w->Text(1043), "No Data");
    EXPECT_FALSE(w->Enabled(1041));

    const std::vector<uint8_t> full = PatternImage(1664, 5, 0x1234);
    std::vector<uint8_t> first4 = {0x01, 0x02, 0xA0, 0xFF};
    std::vector<uint8_t> short1600 = PatternImage(1600, 9);
    struct Case {
        const char* name;
        std::string text;
        size_t size;
        std::vector<uint8_t> head;  // image bytes from 0
        const char* type;
    };
    const Case cases[] = {
        {"full image, CR LF", HexLines(full, 64, "\r\n"), 1664, full, "0x67DE"},
        {"full image, LF, other line length", HexLines(full, 30, "\n"), 1664, full, "0x67DE"},
        {"two short lines", "0102\r\nA0FF\r\n", 128, first4, "0x55A9"},
        {"image padded over the type word", HexLines(short1600), 1664, short1600, "0x55A9"},
        {"last line without line end", "0102\r\nA0FF", 128, first4, "0x55A9"},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder.Write(L"image.txt", c.text);
        EXPECT_TRUE(w->dlg.LoadFlashImageFile(path)) << c.name;
        const std::vector<uint8_t> image = Image();
        ASSERT_EQ(image.size(), c.size) << c.name;
        EXPECT_TRUE(std::equal(c.head.begin(), c.head.end(), image.begin())) << c.name;
        for (size_t i = c.head.size(); i < image.size(); ++i) ASSERT_EQ(image[i], 0xFF) << c.name << " byte " << i;
        EXPECT_EQ(w->Text(1043), c.type) << c.name;
        EXPECT_TRUE(w->Enabled(1041)) << c.name;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(FlashFileTest, RefusedFilesKeepThePreviousImage)
{
    // Refused before any image: still nothing to write.
    EXPECT_FALSE(w->dlg.LoadFlashImageFile(folder.Write(L"empty.txt", "")));
    EXPECT_EQ(w->Text(1043), "No Data");
    EXPECT_FALSE(w->Enabled(1041));
    EXPECT_FALSE(w->dlg.HasFlashImage());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "file size error");

    ASSERT_TRUE(w->dlg.LoadFlashImageFile(folder.Write(L"good.txt", HexLines(PatternImage(1664, 1, 0xAB00)))));
    const auto loaded = w->dlg.Flash().Image();
    const std::string loadedType = w->Text(1043);
    EXPECT_EQ(loadedType, "0x00AA");

    const std::wstring locked = folder.Write(L"locked.txt", "0102");
    HANDLE exclusive = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);

    struct Case {
        const char* name;
        std::wstring path;
        const char* box;
    };
    const Case cases[] = {
        {"3329 digits", folder.Write(L"long.txt", std::string(3329, '1')), "file size error"},
        {"3328 digits over lines and one blank", folder.Write(L"long2.txt", std::string(1664, 'A') + "\r\n" +
                                                                                 std::string(1664, 'B') + "\r\n \r\n"),
         "file size error"},
        {"only empty lines", folder.Write(L"blank.txt", "\r\n\r\n\n\r\n"), "file size error"},
        {"empty file", folder.Write(L"empty2.txt", ""), "file size error"},
        {"missing file", folder.Path() + L"\\missing.txt", "open file error"},
        {"a folder", folder.Path(), "open file error"},
        {"held without sharing", locked, "open file error"},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        EXPECT_FALSE(w->dlg.LoadFlashImageFile(c.path)) << c.name;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.name;
        EXPECT_EQ(Utf8(boxes.boxes[0].text), c.box) << c.name;
        EXPECT_EQ(Utf8(boxes.boxes[0].caption), "error") << c.name;
        EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING)) << c.name;
        EXPECT_EQ(w->dlg.Flash().Image(), loaded) << c.name;
        EXPECT_EQ(w->Text(1043), loadedType) << c.name;
        EXPECT_TRUE(w->Enabled(1041)) << c.name;
    }
    CloseHandle(exclusive);
}

TEST_F(FlashFileTest, FileHeldOpenForWritingStillLoads)
{
    const std::wstring path = folder.Write(L"busy.txt", "A0B1C2\r\n");
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(w->dlg.LoadFlashImageFile(path));
    CloseHandle(writer);
    const std::vector<uint8_t> image = Image();
    ASSERT_EQ(image.size(), 128u);
    EXPECT_EQ(image[0], 0xA0);
    EXPECT_EQ(image[2], 0xC2);
    EXPECT_TRUE(boxes.boxes.empty());
}

// A source that never ends: the load must give up once the text is too long
// instead of reading everything.
TEST_F(FlashFileTest, ReadingStopsOnceTheTextIsTooLong)
{
    const std::wstring pipePath = L"\\\\.\\pipe\\vantrel-flash-endless-" + std::to_wstring(GetCurrentProcessId());
    HANDLE pipe = CreateNamedPipeW(pipePath.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096,
                                   0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    constexpr uint64_t kGiveUpBytes = 4u << 20;
    std::atomic<uint64_t> written{0};
    std::thread source([&] {
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
        const std::string chunk = HexLines(PatternImage(2048, 3), 64);
        DWORD put = 0;
        while (written.load() < kGiveUpBytes &&
               WriteFile(pipe, chunk.data(), static_cast<DWORD>(chunk.size()), &put, nullptr))
            written.fetch_add(put);
        // The end of the source, should the reader still be reading.
        FlushFileBuffers(pipe);
        DisconnectNamedPipe(pipe);
    });
    EXPECT_FALSE(w->dlg.LoadFlashImageFile(pipePath));
    const uint64_t whenDone = written.load();
    source.join();
    CloseHandle(pipe);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes.boxes[0].text), "file size error");
    EXPECT_LT(whenDone, 1u << 20) << "read far past the size limit";
    EXPECT_FALSE(w->dlg.HasFlashImage());
}

// The real button and the common file dialog: cancel changes nothing, a
// chosen file loads.
TEST_F(FlashFileTest, OpenFileButtonAsksForATextFile)
{
    const std::wstring path = folder.Write(L"picked.txt", "5A\r\n");
    {
        FileDialogAnswer cancel(L"");
        w->Click(1040);
        EXPECT_EQ(cancel.filter, "Text Files (*.txt)");
    }
    EXPECT_FALSE(w->dlg.HasFlashImage());
    EXPECT_EQ(w->Text(1043), "No Data");

    {
        FileDialogAnswer choose(path);
        w->Click(1040);
        EXPECT_TRUE(choose.Answered());
    }
    ASSERT_TRUE(w->dlg.HasFlashImage());
    EXPECT_EQ(Image()[0], 0x5A);
    EXPECT_EQ(w->Text(1043), "0x55A9");
    EXPECT_TRUE(w->Enabled(1041));
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
