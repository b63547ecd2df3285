// vantrel-cli on Linux: the same commands, options, output and exit codes as
// on Windows, with the board through hidraw or a simulator's socket.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliPlatform.h"
#include "cli/CliSignals_posix.h"
#include "log/Utf8Text.h"

int main(int argc, char** argv)
{
    // A closed standard output must fail the write (exit code 7), not end
    // the process before the stop frame goes out.
    std::signal(SIGPIPE, SIG_IGN);
    const CCliSignals signals;

    CliContext context{stdout, stderr, {}, LoadCliSettings};
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideFromUtf8(argv[i]));
    const int result = RunCli(args, context);
    std::fflush(stdout);
    std::fflush(stderr);
    return result;
}
