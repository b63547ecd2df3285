#include "link/ReceiveFilter.h"

#include "protocol/ReportCodes.h"

namespace {

ReceiveDecision Reset(ReceiveAction action, ReceiveFilterState state)
{
    state.commErrors = 0;
    return {action, state};
}

} // namespace

ReceiveDecision FilterReport(const uint8_t* payload, uint32_t measuringFlag, uint32_t receiveIntervalMs,
                             uint32_t tickNow, ReceiveFilterState state)
{
    const uint8_t code = payload[0];
    const uint8_t status = payload[1];
    switch (code) {
    case RC_SETTINGS:
    case RC_CONDITION_CHANGE:
    case RC_SETTINGS_CHECK:
    case RC_READ_WORD:
    case RC_I2C_ERROR:
        return Reset(ReceiveAction::Queue, state);

    case RC_MEASURE:
        // Unsigned difference: correct across the tick's wrap after 49.7 days.
        if (static_cast<uint32_t>(tickNow - state.lastPassTick) < receiveIntervalMs)
            return Reset(ReceiveAction::Drop, state);
        state.lastPassTick = tickNow;
        return Reset(ReceiveAction::Queue, state);

    case RC_COMM_ERROR:
        if (measuringFlag != 1)
            return Reset(ReceiveAction::Drop, state);
        if (state.commErrors + 1 < kCommErrorsPerQueued) {
            ++state.commErrors;
            return {ReceiveAction::Drop, state};
        }
        return Reset(ReceiveAction::Queue, state);

    case RC_FLASH_BEGIN:
    case RC_FLASH_DATA:
    case RC_FLASH_DATA_END:
    case RC_FLASH_VERIFY:
        return Reset(status == 1 ? ReceiveAction::FlashReply : ReceiveAction::Drop, state);

    case RC_FLASH_VERIFY_END:
        if (status != 1)
            return Reset(ReceiveAction::Drop, state);
        // A failed verify goes to the user; a good one continues the write.
        return Reset(payload[2] == 1 ? ReceiveAction::FlashReply : ReceiveAction::Queue, state);

    case RC_FLASH_FINISH:
        return Reset(status == 1 ? ReceiveAction::Queue : ReceiveAction::Drop, state);

    default:
        // RC_CONTROL, RC_WRITE_WORD and codes nobody handles.
        return Reset(ReceiveAction::Drop, state);
    }
}
