#pragma once
// The commands of vantrel-cli. Each runs to its end on the calling thread and
// returns the process exit code (CliExitCodes.h). Data goes to `out`,
// errors and progress to `err`. A stop request (CliStop.h) ends a command
// early.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppSettings.h"
#include "cli/CliOptions.h"

struct CliContext {
    std::FILE* out;
    std::FILE* err;
    // The settings file's values; command-line options override them.
    CAppSettings settings;
    // Reads the settings file (--config FILE, or the usual one when the
    // path is empty) into `settings`, and what its texts gave into
    // `numbers`; false when a named file cannot be read. Empty: `settings`
    // is used as given.
    std::function<bool(const std::wstring& path, CAppSettings& settings, SettingsFileNumbers& numbers)> loadSettings;
    // What the settings file's texts gave (set by RunCli).
    SettingsFileNumbers settingsNumbers{};
};

// Parses the arguments and runs the command.
int RunCli(const std::vector<std::wstring>& args, CliContext& context);

int RunList(const CliOptions& options, CliContext& context);
int RunMeasure(const CliOptions& options, CliContext& context);
int RunReadWord(const CliOptions& options, CliContext& context);
int RunWriteWord(const CliOptions& options, CliContext& context);
int RunFlash(const CliOptions& options, CliContext& context);

// --- shared by the commands
class CCliBoard;

// One line of data, ended by CR LF as in log files, flushed at once. False
// when it could not be written.
bool WriteDataLine(std::FILE* out, std::string_view line);
// "vantrel-cli: <message>" on standard error.
void WriteError(const CliContext& context, const std::wstring& message);
// Progress and notes on standard error.
void WriteNote(const CliContext& context, const std::wstring& message);

// Opens the board (options.devicePath, or the last one found) and sends the
// communication settings, as the dialog does when it finds the board.
// kExitOk, or the exit code after the error has been reported.
int OpenBoard(CCliBoard& board, const CliOptions& options, const CliContext& context);
