// "Flash write": the button sends the preparation and begin frames; from then
// on the receive thread answers every accepted acknowledgement with the next
// frame. The result arrives as a queued report for the dispatcher.
#include <algorithm>

#include "app/RunMode.h"
#include "app/VantrelDlg_win.h"
#include "fw/MessageBox_win.h"
#include "protocol/ReportDecode.h"

namespace {

// The board needs this long after the preparation frame before flash begin.
constexpr DWORD kPrepareDelayMs = 100;

uint64_t Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart);
}

double TicksToMicroseconds(uint64_t ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? ticks * 1e6 / static_cast<double>(frequency.QuadPart) : 0.0;
}

}  // namespace

void CVantrelDlg::OnFlashWrite()
{
    if (m_demoMode != kNormalMode) return;
    if (DeviceHandle() == nullptr) {
        AppMessageBox(GetHwnd(), L"Sub board was not found", L"error", MB_OK | MB_ICONWARNING);
        return;
    }
    // Without a whole block the data frames would read past the image.
    const std::shared_ptr<const FlashImage> image = std::atomic_load(&m_flashImage);
    const uint32_t imageSize = image ? static_cast<uint32_t>(image->bytes.size()) : 0;

    // Set up before flash begin goes out: its acknowledgement steps the
    // writer on the receive thread.
    const std::optional<OutputFrame> begin = m_flashSession.Begin(imageSize);
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

void CVantrelDlg::OnFlashAcknowledge(const uint8_t* payload)
{
    const uint64_t started = Ticks();
    // Every block of this write comes from the image as it is now; a later
    // Open file replaces m_flashImage but cannot free what is held here.
    if (payload[0] == RC_FLASH_BEGIN && IsAckAccepted(payload)) m_flashSource = std::atomic_load(&m_flashImage);

    const FlashImage* source = m_flashSource.get();
    uint64_t built = 0;
    const bool sent = m_flashSession.Reply(payload, source ? source->bytes.data() : nullptr,
                                           source ? static_cast<uint32_t>(source->bytes.size()) : 0,
                                           [&](const OutputFrame& frame) {
                                               built = Ticks();
                                               SendFrame(frame);
                                           });
    if (!sent) return;

    const uint64_t spent = Ticks() - started;
    m_flashReplyFrames.fetch_add(1);
    m_flashReplyBuildTicks.fetch_add(built - started);
    m_flashReplyTicks.fetch_add(spent);
    uint64_t longest = m_flashReplyMaxTicks.load();
    while (spent > longest && !m_flashReplyMaxTicks.compare_exchange_weak(longest, spent)) {
    }
}

CVantrelDlg::FlashReplyTiming CVantrelDlg::FlashReplyTimes() const
{
    return {m_flashReplyFrames.load(), TicksToMicroseconds(m_flashReplyTicks.load()),
            TicksToMicroseconds(m_flashReplyMaxTicks.load()), TicksToMicroseconds(m_flashReplyBuildTicks.load())};
}
