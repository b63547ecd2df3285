// vantrel-cli: the command-line companion of Vantrel for unattended test
// benches. It shares the settings file, the link, the frames and the log
// format with the dialog.
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>
#include <windows.h>

#include "cli/CliCommands.h"
#include "cli/CliConsole_win.h"
#include "cli/CliPlatform.h"

int wmain(int argc, wchar_t** argv)
{
    // Data lines carry their own CR LF, as in log files: no translation.
    _setmode(_fileno(stdout), _O_BINARY);

    CliContext context{stdout, stderr, {}, LoadCliSettings};
    InstallCliConsoleControl();

    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const int result = RunCli(args, context);
    std::fflush(stdout);
    std::fflush(stderr);
    CliCommandFinished();
    return result;
}
