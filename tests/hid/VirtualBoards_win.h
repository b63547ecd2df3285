#pragma once
// Plugs and unplugs virtual sub boards (tests/hid/VirtualBoardDriver.c)
// through Plug and Play: board N is the root-enumerated device
// ROOT\VID_5E3A&PID_FFFD\000N, whose HID interface the tool finds as
// \\?\hid#vid_5e3a&pid_fffd#000N#{HID class}. Each board carries reports to
// the simulator's pipe \\.\pipe\<PipeName(N)>.
#include <string>

namespace VirtualBoards {

// The driver and its INF, beside the calling program.
bool Install(std::wstring& error);
// Board n (0-9999) with its HID strings; the driver starts at once.
bool Plug(unsigned n, std::wstring& error);
bool Unplug(unsigned n, std::wstring& error);
// Every plugged virtual board removed.
bool UninstallAll(std::wstring& error);

std::wstring InstanceId(unsigned n);
std::wstring HidPath(unsigned n);
std::wstring PipeName(unsigned n);
std::wstring Serial(unsigned n);
std::wstring Product(unsigned n);

} // namespace VirtualBoards
