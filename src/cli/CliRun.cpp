// Argument dispatch and what every command shares: output lines, messages
// and opening the board.
#include "cli/CliCommands.h"

#include "cli/CliBoard.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHelp.h"
#include "cli/CliPlatform.h"
#include "comm/CommSettings.h"

bool WriteDataLine(std::FILE* out, std::string_view line)
{
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) return false;
    if (std::fwrite("\r\n", 1, 2, out) != 2) return false;
    return std::fflush(out) == 0;
}

void WriteError(const CliContext& context, const std::wstring& message)
{
    std::fprintf(context.err, "vantrel-cli: %s\n", AnsiText(message).c_str());
    std::fflush(context.err);
}

void WriteNote(const CliContext& context, const std::wstring& message)
{
    std::fprintf(context.err, "%s\n", AnsiText(message).c_str());
    std::fflush(context.err);
}

int OpenBoard(CCliBoard& board, const CliOptions& options, const CliContext& context)
{
    const CommValues comm = EffectiveCommValues(context.settings, options);
    switch (board.Open(options.devicePath, static_cast<uint32_t>(comm.receiveInterval) * 1000u)) {
    case CCliBoard::OpenStatus::Opened: break;
    case CCliBoard::OpenStatus::NotFound:
        WriteError(context, L"Sub board was not found");
        return kExitNoBoard;
    case CCliBoard::OpenStatus::NotPresent:
        WriteError(context, L"Sub board was not found: no board at " + board.Path() +
                                L" (vantrel-cli list shows the boards present)");
        return kExitNoBoard;
    case CCliBoard::OpenStatus::OpenFailed:
        WriteError(context, L"Sub board was found but could not be opened: " + board.Path());
        return kExitNoBoard;
    case CCliBoard::OpenStatus::NoThread:
        WriteError(context, L"cannot start receiving from the sub board");
        return kExitFailure;
    }
    // The settings go out as the dialog would send them, but a value it
    // could never have set is worth a word: it is easily a typo.
    for (const std::wstring& note : CommSettingsFileNotes(context.settings, context.settingsNumbers, options))
        WriteError(context, note);
    if (!board.Send(BuildCommSettingsFrame(comm.receiveInterval, comm.i2cClock, comm.commType))) {
        WriteError(context, L"the sub board did not take the communication settings");
        return kExitBoardLost;
    }
    return kExitOk;
}

int RunCli(const std::vector<std::wstring>& args, CliContext& context)
{
    const CliParseResult parsed = ParseCliArguments(args);
    if (!parsed.Ok()) {
        WriteError(context, parsed.error);
        WriteNote(context, CliUsageHint(parsed.options.command));
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) {
        // Standard output takes no line-end translation: CR LF as data lines have.
        std::string text;
        for (char c : AnsiText(CliHelpText(options.command))) {
            if (c == '\n') text += '\r';
            text += c;
        }
        const bool written = std::fwrite(text.data(), 1, text.size(), context.out) == text.size();
        return std::fflush(context.out) == 0 && written ? kExitOk : kExitFileError;
    }
    context.settingsNumbers = SettingsNumbersOf(context.settings);
    if (context.loadSettings &&
        !context.loadSettings(options.configPath, context.settings, context.settingsNumbers)) {
        WriteError(context, L"open file error: " + options.configPath);
        return kExitFileError;
    }
    switch (options.command) {
    case CliCommand::List: return RunList(options, context);
    case CliCommand::Measure: return RunMeasure(options, context);
    case CliCommand::ReadWord: return RunReadWord(options, context);
    case CliCommand::WriteWord: return RunWriteWord(options, context);
    case CliCommand::Flash: return RunFlash(options, context);
    case CliCommand::None: break;
    }
    return kExitUsage;
}
