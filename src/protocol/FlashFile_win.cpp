// "Open file": a flash image text file becomes the flash image and its file
// type is shown. A refused file leaves the previous image and text alone.
#include "protocol/FlashFile_win.h"

#include <cstdio>
#include <cstring>
#include <share.h>

#include "app/VantrelDlg_win.h"
#include "fw/FileDialog_win.h"
#include "fw/MessageBox_win.h"
#include "resource.h"

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
    std::fclose(file);

    if (!fits) return FlashFileStatus::SizeError;
    std::optional<FlashImage> parsed = ParseFlashImage(text.Text());
    if (!parsed) return FlashFileStatus::SizeError;
    image = std::move(*parsed);
    return FlashFileStatus::Loaded;
}

void CVantrelDlg::BindFlashTexts()
{
    BindText(IDC_PROCESS_RESULT, &m_processResult);
    BindText(IDC_FILE_TYPE, &m_fileType);
}

void CVantrelDlg::OnOpenFile()
{
    // The button is disabled during a write; the image must not change under it.
    if (m_flashWriting) return;

    const std::wstring path =
        AskOpenPath(GetHwnd(), {L"Text Files (*.txt)\0*.txt\0\0", nullptr, OFN_HIDEREADONLY, MAX_PATH});
    if (!path.empty()) LoadFlashImageFile(path);
}

bool CVantrelDlg::LoadFlashImageFile(const std::wstring& path)
{
    FlashImage image;
    switch (ReadFlashImageFile(path, image)) {
    case FlashFileStatus::OpenError:
        AppMessageBox(GetHwnd(), L"open file error", L"error", MB_OK | MB_ICONWARNING);
        return false;
    case FlashFileStatus::SizeError:
        AppMessageBox(GetHwnd(), L"file size error", L"error", MB_OK | MB_ICONWARNING);
        return false;
    case FlashFileStatus::Loaded:
        break;
    }

    auto loaded = std::make_shared<const FlashImage>(std::move(image));
    // A receive thread still holding the old image keeps it alive until it lets go.
    std::atomic_store(&m_flashImage, loaded);

    UpdateData(true);
    m_fileType = FlashFileTypeText(FlashFileType(*loaded));
    UpdateData(false);
    SetEnableState(EnableState::ImageLoaded);
    return true;
}

bool CVantrelDlg::HasFlashImage() const
{
    return std::atomic_load(&m_flashImage) != nullptr;
}

std::shared_ptr<const FlashImage> CVantrelDlg::CurrentFlashImage() const
{
    return std::atomic_load(&m_flashImage);
}

void CVantrelDlg::FreeFlashImage()
{
    std::atomic_store(&m_flashImage, std::shared_ptr<const FlashImage>());
}
