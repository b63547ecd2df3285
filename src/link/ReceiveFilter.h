#pragma once
// What the receive thread does with one input report: drop it, hand it to the
// user interface, or answer it with the next flash frame. Pure: the thread
// keeps the state and the clock.
#include <cstdint>

enum class ReceiveAction : uint8_t { Drop, Queue, FlashReply };

struct ReceiveFilterState {
    // Tick (milliseconds) of the last measurement report passed on.
    uint32_t lastPassTick = 0;
    // Consecutive communication-error reports swallowed while measuring.
    uint32_t commErrors = 0;
};

struct ReceiveDecision {
    ReceiveAction action;
    ReceiveFilterState state;
};

// The sub board sends this many communication errors in a row before one
// reaches the user interface (and ends the measurement there).
constexpr uint32_t kCommErrorsPerQueued = 33;

// payload: report bytes 1..64 (payload byte 0 is the report code).
// measuringFlag: the dialog's 32-bit flag; only the value 1 means measuring.
// tickNow: the millisecond tick read when the report arrived; it also becomes
// the new last pass time when a measurement report passes.
ReceiveDecision FilterReport(const uint8_t* payload, uint32_t measuringFlag, uint32_t receiveIntervalMs,
                             uint32_t tickNow, ReceiveFilterState state);
