// The flash image file on Linux: UTF-8 text, read in chunks; a character
// split between two chunks waits for its remaining bytes.
#include "protocol/FlashFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "log/Utf8Text.h"

namespace {

constexpr size_t kChunkBytes = 4096;

// Bytes at the start of buf[0..size) that form whole UTF-8 characters.
size_t WholeCharacters(const char* buf, size_t size)
{
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        const unsigned char c = static_cast<unsigned char>(buf[size - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

struct CFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

FlashFileStatus ReadFlashImageFile(const std::wstring& path, FlashImage& image)
{
    std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(Utf8FromWide(path).c_str(), "rb"));
    if (!file) return FlashFileStatus::OpenError;

    CFlashImageText text;
    char bytes[kChunkBytes];
    size_t held = 0;
    bool fits = true;
    for (;;) {
        const size_t got = std::fread(bytes + held, 1, sizeof bytes - held, file.get());
        const size_t size = held + got;
        const size_t whole = got == 0 ? size : WholeCharacters(bytes, size);
        fits = text.Feed(WideFromUtf8(std::string(bytes, whole)));
        if (!fits || got == 0) break;
        held = size - whole;
        std::memmove(bytes, bytes + whole, held);
    }
    // fread gives 0 at the end and on a read error alike (a folder, a
    // failing disk): an error is no end of the file and loads nothing.
    if (std::ferror(file.get())) return FlashFileStatus::OpenError;
    if (!fits) return FlashFileStatus::SizeError;
    std::optional<FlashImage> parsed = ParseFlashImage(text.Text());
    if (!parsed) return FlashFileStatus::SizeError;
    image = std::move(*parsed);
    return FlashFileStatus::Loaded;
}
