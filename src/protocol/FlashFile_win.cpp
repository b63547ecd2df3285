// Reading a flash image text file in the ANSI code page.
#include "protocol/FlashFile_win.h"

#include <cstdio>
#include <cstring>
#include <share.h>
#include <windows.h>


namespace {

constexpr size_t kChunkBytes = 4096;

// Bytes at the start of buf[0..size) that form whole characters of the ANSI
// code page: a lead byte at the very end waits for its trail byte.
size_t WholeCharacters(const char* buf, size_t size)
{
    size_t i = 0;
    while (i < size) {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(buf[i]))) {
            if (i + 1 >= size) break;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

std::wstring FromAnsi(const char* bytes, size_t size)
{
    if (size == 0) return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), &text[0], n);
    return text;
}

}  // namespace

FlashFileStatus ReadFlashImageFile(const std::wstring& path, FlashImage& image)
{
    // Text mode: CR LF arrives as LF. Other readers and writers are allowed,
    // so a file another program still holds open can be loaded.
    FILE* file = _wfsopen(path.c_str(), L"rt", _SH_DENYNO);
    if (!file) return FlashFileStatus::OpenError;

    CFlashImageText text;
    char bytes[kChunkBytes];
    size_t held = 0;  // bytes of a split character kept for the next read
    bool fits = true;
    for (;;) {
        const size_t got = std::fread(bytes + held, 1, sizeof bytes - held, file);
        const size_t size = held + got;
        const size_t whole = got == 0 ? size : WholeCharacters(bytes, size);
        fits = text.Feed(FromAnsi(bytes, whole));
        if (!fits || got == 0) break;
        held = size - whole;
        std::memmove(bytes, bytes + whole, held);
    }
    // fread gives 0 at the end and on a read error alike (a folder, a
    // failing disk): an error is no end of the file and loads nothing.
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);

    if (readFailed) return FlashFileStatus::OpenError;
    if (!fits) return FlashFileStatus::SizeError;
    std::optional<FlashImage> parsed = ParseFlashImage(text.Text());
    if (!parsed) return FlashFileStatus::SizeError;
    image = std::move(*parsed);
    return FlashFileStatus::Loaded;
}
