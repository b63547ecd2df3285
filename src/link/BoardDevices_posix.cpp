// Boards on Linux: hidraw devices of the board's vendor and product, found
// and named through hidapi, and the simulators' Unix-domain sockets listed
// in VANTREL_DEVICE. A listed path is a board when it is a socket: socket
// paths are chosen by whoever starts the simulator, so unlike a Windows
// device path they need not hold the HID match text.
#include "link/BoardDevices.h"

#include <cstdlib>
#include <hidapi.h>
#include <sys/stat.h>

#include "link/FdTransport_posix.h"
#include "log/Utf8Text.h"

namespace {

constexpr unsigned short kVendorId = 0x5E3A;
constexpr unsigned short kProductId = 0xFFFD;

bool IsSocket(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::wstring Text(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

void FindHidBoards(std::vector<BoardInfo>& boards)
{
    if (hid_init() != 0) return;
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    for (const hid_device_info* d = list; d; d = d->next)
        if (d->path) boards.push_back({WideFromUtf8(d->path), Text(d->serial_number), Text(d->product_string)});
    hid_free_enumeration(list);
    hid_exit();
}

} // namespace

bool BoardPathsIgnoreCase()
{
    return false;
}

std::vector<BoardInfo> FindBoards()
{
    std::vector<BoardInfo> boards;
    FindHidBoards(boards);
    const char* listed = std::getenv("VANTREL_DEVICE");
    for (std::wstring& path : SplitDeviceList(WideFromUtf8(listed ? listed : "")))
        if (IsSocket(Utf8FromWide(path))) boards.push_back({std::move(path), L"", L""});
    return boards;
}

std::unique_ptr<IBoardTransport> OpenBoardTransport(const std::wstring& path)
{
    const std::string bytes = Utf8FromWide(path);
    auto transport = std::make_unique<CFdTransport>(
        bytes, IsSocket(bytes) ? CFdTransport::Kind::Socket : CFdTransport::Kind::Hidraw);
    if (!transport->IsOpen()) return nullptr;
    return transport;
}
