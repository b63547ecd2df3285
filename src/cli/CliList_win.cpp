// list: every sub board the link would consider, in the order it finds them.
#include "cli/CliCommands_win.h"

#include "cli/CliExitCodes.h"
#include "link/SubBoardLink_win.h"

int RunList(const CliOptions&, CliContext& context)
{
    const CSubBoardLink link;
    const std::vector<std::wstring> paths = link.FindAll();
    if (paths.empty()) {
        WriteError(context, L"Sub board was not found");
        return kExitNoBoard;
    }
    for (const std::wstring& path : paths) {
        if (!WriteDataLine(context.out, AnsiText(path))) {
            WriteError(context, L"cannot write the output");
            return kExitFileError;
        }
    }
    return kExitOk;
}
