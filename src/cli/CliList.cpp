// list: every sub board the link would consider, in the order it finds them,
// with the HID strings that tell real boards apart.
#include "cli/CliCommands.h"

#include "cli/CliExitCodes.h"
#include "cli/CliPlatform.h"
#include "link/BoardDevices.h"

namespace {

// The path, then the serial number and product separated by tabs when the
// board has either; a path alone is a board without HID strings.
std::wstring ListLine(const BoardInfo& board)
{
    if (board.serial.empty() && board.product.empty()) return board.path;
    return board.path + L"\t" + board.serial + L"\t" + board.product;
}

} // namespace

int RunList(const CliOptions& options, CliContext& context)
{
    std::vector<BoardInfo> boards = FindBoards();
    if (!options.devicePath.empty()) {
        // With --device the list answers whether that board is there.
        const std::optional<size_t> chosen = ChooseBoard(boards, options.devicePath, BoardPathsIgnoreCase());
        if (!chosen) {
            WriteError(context, L"Sub board was not found: no board at " + options.devicePath);
            return kExitNoBoard;
        }
        boards = {boards[*chosen]};
    }
    if (boards.empty()) {
        WriteError(context, L"Sub board was not found");
        return kExitNoBoard;
    }
    for (const BoardInfo& board : boards) {
        if (!WriteDataLine(context.out, AnsiText(ListLine(board)))) {
            WriteError(context, L"cannot write the output");
            return kExitFileError;
        }
    }
    return kExitOk;
}
