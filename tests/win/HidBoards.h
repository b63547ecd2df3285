#pragma once
// Virtual sub boards through the real HID stack (tests/hid): board N is a
// simulated board served on its own pipe, reached by the tool only through
// HID class enumeration and Plug and Play, never through VANTREL_DEVICE.
#include <functional>
#include <memory>
#include <string>

#include "VirtualBoards_win.h"
#include "WinHarness.h"

// One virtual board: the simulator behind it and its device, unplugged at
// the end of the scope.
class HidBoard {
public:
    explicit HidBoard(unsigned n) : server(board), m_n(n)
    {
        server.UsePipeName(VirtualBoards::PipeName(n));
        server.SetRestartWhenClientLeaves(true);
        board.SetMeasurePeriod(200);
    }
    ~HidBoard()
    {
        std::wstring error;
        if (m_plugged) VirtualBoards::Unplug(m_n, error);
        server.Stop();
    }
    HidBoard(const HidBoard&) = delete;
    HidBoard& operator=(const HidBoard&) = delete;

    // The simulator serving and the device plugged in; the error when not.
    // Without `pumping` the calling thread's windows hear nothing meanwhile,
    // as a window busy with something else.
    testing::AssertionResult Plug(bool pumping = true)
    {
        const auto until = [pumping](const std::function<bool()>& done) {
            if (pumping) return PumpUntil(done, 10000);
            for (int i = 0; i < 1000 && !done(); ++i) Sleep(10);
            return done();
        };
        if (!server.Start()) return testing::AssertionFailure() << "simulator pipe not created";
        std::wstring error;
        if (!VirtualBoards::Plug(m_n, error)) return testing::AssertionFailure() << Utf8(error);
        m_plugged = true;
        // Present once the driver has the simulator's pipe open.
        if (!until([&] { return server.ClientConnected(); }))
            return testing::AssertionFailure() << "the driver never opened the simulator's pipe";
        // And once the HID class driver has made its interface.
        if (!until([&] { return Present(); }))
            return testing::AssertionFailure() << "no HID interface " << Utf8(Path());
        return testing::AssertionSuccess();
    }
    testing::AssertionResult Unplug()
    {
        std::wstring error;
        if (!VirtualBoards::Unplug(m_n, error)) return testing::AssertionFailure() << Utf8(error);
        m_plugged = false;
        return testing::AssertionSuccess();
    }
    std::wstring Path() const { return VirtualBoards::HidPath(m_n); }
    bool Present() const
    {
        HANDLE device = CreateFileW(Path().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
        if (device == INVALID_HANDLE_VALUE) return false;
        CloseHandle(device);
        return true;
    }

    CSimBoard board;
    CPipeServer server;

private:
    unsigned m_n;
    bool m_plugged = false;
};
