// flash: "Open file" and "Flash write" in one go. The image file is read and
// checked as Open file does; the write runs the same phase machine and
// frames, with the receive thread answering every acknowledgement. Unlike
// the dialog it gives up when the board falls silent, since no user is there
// to unplug it.
#include "cli/CliCommands.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "cli/CliBoard.h"
#include "cli/CliExitCodes.h"
#include "cli/CliPlatform.h"
#include "cli/CliReports.h"
#include "protocol/FlashFile.h"
#include "protocol/FlashSession.h"

namespace {

// The board needs this long after the preparation frame before flash begin.
constexpr std::chrono::milliseconds kPrepareDelay{100};

// What the receive thread tells the waiting thread about the write.
class CFlashProgress {
public:
    void Add(const FlashStepInfo& step)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_steps.push_back(step);
    }
    std::vector<FlashStepInfo> Take()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<FlashStepInfo> steps;
        steps.swap(m_steps);
        return steps;
    }

private:
    std::mutex m_lock;
    std::vector<FlashStepInfo> m_steps;
};

int ReadImage(const std::wstring& path, FlashImage& image, const CliContext& context)
{
    switch (ReadFlashImageFile(path, image)) {
    case FlashFileStatus::OpenError:
        WriteError(context, L"open file error: " + path);
        return kExitFileError;
    case FlashFileStatus::SizeError:
        WriteError(context, L"file size error: " + path);
        return kExitFileSize;
    case FlashFileStatus::Loaded:
        break;
    }
    // The parser never makes an image without a whole block, but the writer
    // must never be started on one.
    if (!CFlashWriter::CanWrite(static_cast<uint32_t>(image.bytes.size()))) {
        WriteError(context, L"file size error: " + path);
        return kExitFileSize;
    }
    return kExitOk;
}

} // namespace

int RunFlash(const CliOptions& options, CliContext& context)
{
    FlashImage image;
    const int read = ReadImage(options.imagePath, image, context);
    if (read != kExitOk) return read;
    if (!WriteDataLine(context.out, AnsiText(FlashFileTypeText(FlashFileType(image))))) {
        WriteError(context, L"cannot write the output");
        return kExitFileError;
    }
    const uint32_t imageSize = static_cast<uint32_t>(image.bytes.size());

    // Acknowledgements are answered only while the session runs.
    FlashSession session;
    CFlashProgress progress;
    CCliBoard board;
    board.SetFlashReply([&](const uint8_t* ack) {
        if (!session.Reply(ack, image.bytes.data(), imageSize, [&](const OutputFrame& frame) { board.Send(frame); }))
            return;
        const FlashSession::Progress at = session.Position();
        progress.Add({at.phase, at.blockCounter, at.blockCount});
        board.Notify();
    });
    const int opened = OpenBoard(board, options, context);
    if (opened != kExitOk) return opened;

    const std::optional<OutputFrame> begin = session.Begin(imageSize);
    if (!begin) return kExitFileSize;  // ReadImage has refused such images already
    board.Send(BuildFlashPrepareFrame());
    std::this_thread::sleep_for(kPrepareDelay);
    board.Send(*begin);

    FlashOutcome outcome = FlashOutcome::Pending;
    int result = kExitOk;
    uint64_t lastSign = CliNowMs();
    while (outcome == FlashOutcome::Pending && result == kExitOk) {
        ReportPayload payload;
        while (outcome == FlashOutcome::Pending && board.PopReport(payload)) outcome = FlashOutcomeOf(payload.data());
        const std::vector<FlashStepInfo> steps = progress.Take();
        const uint64_t now = CliNowMs();
        if (!steps.empty()) lastSign = now;
        for (const FlashStepInfo& step : steps) {
            const std::string text = FlashProgressText(step);
            if (!text.empty()) WriteNote(context, std::wstring(text.begin(), text.end()));
        }
        if (outcome != FlashOutcome::Pending) break;
        if (now - lastSign >= options.timeoutMs) {
            WriteError(context, L"no answer from the sub board for " + SecondsText(options.timeoutMs) +
                                    L" s; the flash write was given up");
            result = kExitTimeout;
        } else if (board.Lost(now)) {
            WriteError(context, L"the sub board was disconnected during the flash write");
            result = kExitBoardLost;
        } else {
            const uint64_t left = options.timeoutMs - (now - lastSign);
            const uint64_t wait = left < CCliBoard::kProbeIntervalMs ? left : CCliBoard::kProbeIntervalMs;
            if (board.WaitForNews(wait) == CCliBoard::Wake::Stop) {
                WriteError(context, L"the flash write was stopped; the flash may hold part of the image");
                result = kExitInterrupted;
            }
        }
    }
    // As the dialog does after every result: the board leaves the write.
    session.End();
    board.Send(BuildStopFrame());
    board.Close();

    switch (outcome) {
    case FlashOutcome::Success:
        if (!WriteDataLine(context.out, FlashOutcomeText(outcome))) {
            WriteError(context, L"cannot write the output");
            return kExitFileError;
        }
        return kExitOk;
    case FlashOutcome::VerifyError:
    case FlashOutcome::I2cError: {
        const std::string text = FlashOutcomeText(outcome);
        WriteError(context, std::wstring(text.begin(), text.end()));
        return outcome == FlashOutcome::VerifyError ? kExitVerifyError : kExitI2cError;
    }
    case FlashOutcome::Pending:
        break;
    }
    return result;
}
