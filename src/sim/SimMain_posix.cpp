// vantrel-sim on Linux: a simulated sub board on a Unix-domain socket until
// SIGINT, SIGTERM or SIGHUP. It prints the path to put into VANTREL_DEVICE.
#include <csignal>
#include <initializer_list>
#include <pthread.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/SimBoard.h"
#include "sim/SocketServer_posix.h"

namespace {

// On standard output when asked for, on standard error after a mistake.
void Usage(std::FILE* to)
{
    std::fprintf(to,
                 "usage: vantrel-sim [--name NAME | --path PATH] [--period MS] [--start-sample N]\n"
                 "  --name          the socket is $XDG_RUNTIME_DIR/vantrel-NAME.sock (/tmp without\n"
                 "                  that variable; default name \"sim\"), to run several boards\n"
                 "  --path          the socket's path instead\n"
                 "  --period        milliseconds between measurement reports (default %u)\n"
                 "  --start-sample  the first reading is the simulator's N-th (default 0), so boards\n"
                 "                  side by side report different readings\n",
                 CSimBoard::kDefaultMeasurePeriodMs);
}

bool Number(const char* text, unsigned long& value)
{
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return end != text && *end == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string path = CSocketServer::PathFor("sim");
    unsigned long period = CSimBoard::kDefaultMeasurePeriodMs;
    unsigned long firstSample = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (arg == "--name" && hasValue) {
            path = CSocketServer::PathFor(argv[++i]);
        } else if (arg == "--path" && hasValue) {
            path = argv[++i];
        } else if (arg == "--period" && hasValue && Number(argv[++i], period) && period > 0) {
        } else if (arg == "--start-sample" && hasValue && Number(argv[++i], firstSample)) {
        } else {
            Usage(stderr);
            return 2;
        }
    }

    // Taken by sigwait below, so they are blocked before the server's thread starts.
    sigset_t quit;
    sigemptyset(&quit);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&quit, s);
    pthread_sigmask(SIG_BLOCK, &quit, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    CSimBoard board;
    board.SetMeasurePeriod(static_cast<uint32_t>(period));
    board.SetFirstSample(static_cast<uint32_t>(firstSample));
    CSocketServer server(board, path);
    if (!server.Start()) {
        std::fprintf(stderr, "vantrel-sim: cannot serve %s; is another board running with this name?\n",
                     path.c_str());
        return 1;
    }
    std::printf("Simulated sub board on\n  %s\nBefore starting vantrel-cli:\n  export VANTREL_DEVICE='%s'\n"
                "Ctrl+C ends.\n",
                path.c_str(), path.c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&quit, &signal);
    server.Stop();
    return 0;
}
