#pragma once
// The measurement cycle of the main window. In normal mode the sub board
// paces the readings: Start sends the start frame and the receive thread
// passes one reading per interval. In the demo modes window timer 1 fires
// once per period and each tick takes the next reading of the demo source.
// The measuring flag itself lives in the board connection, where the
// receive thread reads it. User interface thread only.
#include <cstdint>
#include <windows.h>

#include "link/BoardConnection_win.h"
#include "log/DemoSource.h"

// Window timer of the demo modes (the measuring period).
constexpr UINT_PTR kDemoTimerId = 1;

class CMeasurement {
public:
    explicit CMeasurement(CBoardConnection& board) : m_board(board) {}
    CMeasurement(const CMeasurement&) = delete;
    CMeasurement& operator=(const CMeasurement&) = delete;

    // window: owner of the demo timer; talksToBoard: normal mode.
    void Attach(HWND window, bool talksToBoard);
    bool Measuring() const { return m_board.Measuring(); }

    // Starts measuring at the given period. In the demo modes the first
    // reading is due at once: take it with NextDemoReading.
    void Start(uint16_t intervalSeconds);
    // Stops measuring: the stop frame in normal mode, the timer otherwise.
    void Stop();
    // The board went away or the window closes: the timer of the demo modes
    // stops; the flag is left for the caller, who tells the user first.
    void StopDemoTimer();
    // WM_TIMER: true for the demo timer, whose tick wants a reading.
    bool IsDemoTick(UINT_PTR id) const { return id == kDemoTimerId && !m_talks; }
    DemoReading NextDemoReading() { return m_demoSource.GetDemoReading(); }

private:
    CBoardConnection& m_board;
    HWND m_window = nullptr;
    bool m_talks = false;
    DemoSource m_demoSource;
};
