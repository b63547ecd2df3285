#pragma once
// The commands of vantrel-cli. Each runs to its end on the calling thread and
// returns the process exit code (CliExitCodes.h). Data goes to `out`,
// errors and progress to `err`.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

#include "app/AppSettings.h"
#include "cli/CliOptions.h"

struct CliContext {
    std::FILE* out;
    std::FILE* err;
    // Set when the command should end (Ctrl+C); may be null.
    HANDLE stop;
    // The settings file's values; command-line options override them.
    CAppSettings settings;
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
// Text in the system's ANSI code page, as log files hold it.
std::string AnsiText(const std::wstring& text);

// Opens the board and sends the communication settings, as the dialog does
// when it finds the board. kExitOk, or the exit code after the error has
// been reported.
int OpenBoard(CCliBoard& board, const CommValues& comm, const CliContext& context);
