// vantrel-sim: a simulated sub board for running the tool without hardware.
// It serves the board on a named pipe until Ctrl+C and prints the path to
// put into VANTREL_DEVICE before starting the tool.
#include <cstdio>
#include <cwchar>
#include <string>
#include <windows.h>

#include "fw/Handle_win.h"
#include "link/SubBoardLink_win.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"

namespace {

HANDLE g_quit = nullptr;

BOOL WINAPI OnConsoleControl(DWORD)
{
    SetEvent(g_quit);
    return TRUE;
}

// On standard output when asked for, on standard error after a mistake.
void Usage(FILE* to)
{
    std::fwprintf(to,
                  L"usage: vantrel-sim [--name SUFFIX] [--period MS] [--start-sample N]\n"
                  L"  --name          text put into the device path (default \"sim\"), to run several boards\n"
                  L"  --pipe          serve on \\\\.\\pipe\\NAME instead, for a virtual HID board\n"
                  L"                  (vantrel-vboard plug N uses vantrel-vboard-000N)\n"
                  L"  --period        milliseconds between measurement reports (default %u)\n"
                  L"  --start-sample  the first reading is the simulator's N-th (default 0), so boards\n"
                  L"                  side by side report different readings\n",
                  CSimBoard::kDefaultMeasurePeriodMs);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring suffix = L"sim";
    std::wstring pipeName;
    unsigned long period = CSimBoard::kDefaultMeasurePeriodMs;
    unsigned long firstSample = 0;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            Usage(stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (arg == L"--name" && i + 1 < argc) {
            suffix = argv[++i];
        } else if (arg == L"--pipe" && i + 1 < argc) {
            pipeName = argv[++i];
        } else if (arg == L"--start-sample" && i + 1 < argc) {
            wchar_t* end = nullptr;
            firstSample = std::wcstoul(argv[++i], &end, 10);
            if (end == nullptr || *end != 0) {
                Usage(stderr);
                return 2;
            }
        } else if (arg == L"--period" && i + 1 < argc) {
            wchar_t* end = nullptr;
            period = std::wcstoul(argv[++i], &end, 10);
            if (end == nullptr || *end != 0 || period == 0) {
                Usage(stderr);
                return 2;
            }
        } else {
            Usage(stderr);
            return 2;
        }
    }

    CHandle quit(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_quit = quit.Get();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);

    CSimBoard board;
    board.SetMeasurePeriod(period);
    board.SetFirstSample(static_cast<uint32_t>(firstSample));
    CPipeServer server(board, suffix);
    if (!pipeName.empty()) {
        server.UsePipeName(pipeName);
        server.SetRestartWhenClientLeaves(true);
    }
    if (!server.Start()) {
        std::fwprintf(stderr, L"vantrel-sim: cannot create %ls; is another board running with this name?\n",
                      server.Path().c_str());
        return 1;
    }
    // In cmd.exe the quotes keep the "&" of the path from ending the command.
    std::wprintf(L"Simulated sub board on\n  %ls\n"
                 L"Before starting Vantrel, in cmd.exe:\n  set \"%ls=%ls\"\n"
                 L"Ctrl+C ends.\n",
                 server.Path().c_str(), kDeviceEnvironmentVariable, server.Path().c_str());
    std::fflush(stdout);

    bool connected = false;
    while (WaitForSingleObject(quit.Get(), 250) == WAIT_TIMEOUT) {
        if (server.ClientConnected() != connected) {
            connected = !connected;
            std::wprintf(connected ? L"tool connected\n" : L"tool disconnected\n");
            std::fflush(stdout);
        }
    }
    server.Stop();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    return 0;
}
