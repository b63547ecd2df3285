// "Open file" and "Flash write". Open file turns a flash image text file into
// the flash image and shows its file type; a refused file leaves the previous
// image and text alone. Flash write sends the preparation and begin frames;
// from then on the receive thread answers every acknowledgement through the
// flash session, and the result arrives as a queued report.
#include "app/VantrelDlg_win.h"

#include "app/RunMode.h"
#include "fw/FileDialog_win.h"
#include "fw/MessageBox_win.h"
#include "protocol/FlashFile_win.h"
#include "protocol/ReportCodes.h"
#include "resource.h"

namespace {

// The board needs this long after the preparation frame before flash begin.
constexpr DWORD kPrepareDelayMs = 100;

const wchar_t kFlashRetryText[] = L"Flash write error\nPlease retry the flash write";

}  // namespace

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
    m_flash.SetImage(loaded);

    UpdateData(true);
    m_fileType = FlashFileTypeText(FlashFileType(*loaded));
    UpdateData(false);
    SetEnableState(EnableState::ImageLoaded);
    return true;
}

void CVantrelDlg::OnFlashWrite()
{
    if (m_demoMode != kNormalMode) return;
    if (!m_board.Connected()) {
        AppMessageBox(GetHwnd(), L"Sub board was not found", L"error", MB_OK | MB_ICONWARNING);
        return;
    }
    // Set up before flash begin goes out: its acknowledgement steps the
    // writer on the receive thread.
    const std::optional<OutputFrame> begin = m_flash.Begin();
    if (!begin) return;

    SetEnableState(EnableState::FlashWriting);
    UpdateData(true);
    m_processResult = L"Writing...";
    UpdateData(false);
    m_flashWriting = 1;

    SendFrame(BuildFlashPrepareFrame());
    Sleep(kPrepareDelayMs);
    SendFrame(*begin);
}

void CVantrelDlg::EndFlashWrite(uint8_t code)
{
    UpdateData(true);
    // The receive thread sends no further flash frame from here on, so the
    // stop frame is the last word of this write.
    m_flash.End();
    SendStopFrame();
    bool failed = false;
    switch (code) {
    case RC_FLASH_VERIFY_END:
        m_processResult = L"Verify error";
        failed = true;
        break;
    case RC_FLASH_FINISH:
        m_processResult = L"Flash write success";
        break;
    case RC_I2C_ERROR:
        m_processResult = L"I2C communication error";
        failed = true;
        break;
    default:
        break;  // the result still reads "Writing..."
    }
    // The write is over and shown before the box opens: a report handled in
    // the box's nested loop must neither end the write a second time nor read
    // the old result back from the edit.
    m_flashWriting = 0;
    SetEnableState(EnableState::AfterFlash);
    UpdateData(false);
    if (failed) AppMessageBox(GetHwnd(), kFlashRetryText, L"error", MB_OK | MB_ICONWARNING);
}
