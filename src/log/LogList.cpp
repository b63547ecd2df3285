#include "log/LogList.h"

#include "log/LogRecord.h"

LogRowColours LogRowColoursFor(size_t item, size_t itemCount, int32_t kind)
{
    LogRowColours colours{false, 0, LogRgb(0, 0, 0)};
    if (item % 2 == 1) {
        colours.ownBackground = true;
        colours.background = LogRgb(240, 240, 240);
    }
    if (itemCount > 0 && item == itemCount - 1) {
        colours.ownBackground = true;
        colours.background = LogRgb(164, 255, 255);
    }
    if (kind == kLogRowMessage)
        colours.text = LogRgb(255, 0, 0);
    return colours;
}

bool LogListFollowsNewRow(int topIndex, int countPerPage, int oldCount)
{
    return static_cast<int64_t>(topIndex) + countPerPage >= oldCount;
}
