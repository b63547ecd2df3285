// Decisions of the virtual log list that do not need the platform: which colours a
// row is drawn with, and whether the list follows a new row.
#pragma once

#include <cstddef>
#include <cstdint>

// A colour in the platform's COLORREF layout (0x00BBGGRR).
constexpr uint32_t LogRgb(uint8_t r, uint8_t g, uint8_t b)
{
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

struct LogRowColours {
    bool ownBackground;  // false: the list's own background
    uint32_t background; // valid when ownBackground
    uint32_t text;
};

// Odd rows light grey, the last row light cyan (over the grey), message rows red text.
LogRowColours LogRowColoursFor(size_t item, size_t itemCount, int32_t kind);

// True when the previous last row (index oldCount - 1) was within the view, so the
// list should show the new row: topIndex + countPerPage >= oldCount.
bool LogListFollowsNewRow(int topIndex, int countPerPage, int oldCount);
