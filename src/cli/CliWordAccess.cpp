// read-word and write-word: the frames of the dialog's Read word and Write
// word buttons, for the command number and word the parser has checked. A
// read waits for its reply, which the dialog never does.
#include "cli/CliCommands.h"

#include "cli/CliBoard.h"
#include "cli/CliExitCodes.h"
#include "cli/CliPlatform.h"
#include "protocol/Frames.h"
#include "protocol/ReportDecode.h"

int RunReadWord(const CliOptions& options, CliContext& context)
{
    CCliBoard board;
    const int opened = OpenBoard(board, options, context);
    if (opened != kExitOk) return opened;
    if (!board.Send(BuildReadWordFrame(options.commandNumber))) {
        WriteError(context, L"the read-word request could not be sent");
        return kExitBoardLost;
    }
    // Nothing pairs a reply with its request: the first one is taken, as the
    // Read word field does.
    const uint64_t deadline = CliNowMs() + options.timeoutMs;
    for (;;) {
        ReportPayload payload;
        while (board.PopReport(payload)) {
            if (payload[0] != RC_READ_WORD) continue;
            board.Close();
            if (!WriteDataLine(context.out, AnsiText(ReadWordText(DecodeReadWordValue(payload.data()))))) {
                WriteError(context, L"cannot write the output");
                return kExitFileError;
            }
            return kExitOk;
        }
        const uint64_t now = CliNowMs();
        if (now >= deadline) {
            WriteError(context, L"no reply to read-word within " + SecondsText(options.timeoutMs) + L" s");
            return kExitTimeout;
        }
        if (board.Lost(now)) {
            WriteError(context, L"the sub board was disconnected");
            return kExitBoardLost;
        }
        const uint64_t wait = deadline - now < CCliBoard::kProbeIntervalMs ? deadline - now : CCliBoard::kProbeIntervalMs;
        if (board.WaitForNews(wait) == CCliBoard::Wake::Stop) {
            WriteError(context, L"read-word stopped");
            return kExitInterrupted;
        }
    }
}

int RunWriteWord(const CliOptions& options, CliContext& context)
{
    CCliBoard board;
    const int opened = OpenBoard(board, options, context);
    if (opened != kExitOk) return opened;
    // The sub board does not answer a write, so its frame going out is all
    // there is to check.
    if (!board.Send(BuildWriteWordFrame(options.commandNumber, options.dataWord))) {
        WriteError(context, L"the write-word request could not be sent");
        return kExitBoardLost;
    }
    return kExitOk;
}
