#pragma once
// Finding and opening sub boards, implemented once per platform: on Windows
// the HID interfaces and the named pipes listed in VANTREL_DEVICE, on Linux
// the hidraw devices of the board's vendor and product and the Unix-domain
// sockets listed in VANTREL_DEVICE.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/BoardTransport.h"

struct BoardInfo {
    std::wstring path;
    // The HID serial-number and product strings; empty where the board has
    // none (a simulated board).
    std::wstring serial;
    std::wstring product;
};

// Every board present, in the order the link considers them: HID devices
// first, then the listed paths in their order.
std::vector<BoardInfo> FindBoards();
// Opens one board for reading and writing; null when that failed.
std::unique_ptr<IBoardTransport> OpenBoardTransport(const std::wstring& path);

// The board a command uses: the one whose path is `wanted`, or the last one
// found when `wanted` is empty (the link's rule for several boards).
// ignoreCase: paths differing only in ASCII letter case name the same board
// (Windows device paths do). nullopt when there is no such board.
std::optional<size_t> ChooseBoard(const std::vector<BoardInfo>& boards, const std::wstring& wanted,
                                  bool ignoreCase);
// Whether this platform's device paths ignore letter case.
bool BoardPathsIgnoreCase();
// Whether two Windows device paths name the same device: a removal record
// may spell the path of the open board in another letter case or with
// another prefix ("\\?\", "\\.\", "##?#") than the interface list gave.
bool SameWindowsDevicePath(const std::wstring& a, const std::wstring& b);

// The paths of a VANTREL_DEVICE value: split at ';', empty parts left out.
std::vector<std::wstring> SplitDeviceList(const std::wstring& list);
