// Input reports as the receive thread meets them: a stream of reports with
// arrival ticks, a measuring flag and a receive interval that change under
// it. Each decision is compared with a table-driven model of the filter; on
// top, the invariants the rest of the program relies on: the swallowed
// communication-error count stays in 0..32, no two measurement reports pass
// closer than the interval in force, none is held back once a full interval
// has gone by, and a flash acknowledgement is answered exactly when the flash
// writer would accept it. Every payload is also decoded and the readings
// checked against their wire bytes.
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "HexReference.h"
#include "link/ReceiveFilter.h"
#include "protocol/FlashWriter.h"
#include "protocol/ReportDecode.h"

namespace {

struct ModelFilter {
    uint32_t lastPassTick = 0;
    uint32_t commErrors = 0;

    // The code table of the receive loop, row by row.
    ReceiveAction Decide(const uint8_t* p, uint32_t measuring, uint32_t intervalMs, uint32_t tick)
    {
        const uint8_t code = p[0];
        ReceiveAction action = ReceiveAction::Drop;
        bool reset = true;
        if (code == 0x01 || code == 0x02 || code == 0x04 || code == 0x06 || code == 0x0E) {
            action = ReceiveAction::Queue;
        } else if (code == 0x03) {
            if (uint32_t(tick - lastPassTick) >= intervalMs) {
                lastPassTick = tick;
                action = ReceiveAction::Queue;
            }
        } else if (code == 0x05) {
            if (measuring == 1) {
                if (commErrors + 1 <= 32) {
                    ++commErrors;
                    reset = false;
                } else {
                    action = ReceiveAction::Queue;
                }
            }
        } else if (code >= 0x08 && code <= 0x0B) {
            action = p[1] == 1 ? ReceiveAction::FlashReply : ReceiveAction::Drop;
        } else if (code == 0x0C) {
            if (p[1] == 1) {
                action = p[2] == 1 ? ReceiveAction::FlashReply : ReceiveAction::Queue;
            }
        } else if (code == 0x0D) {
            action = p[1] == 1 ? ReceiveAction::Queue : ReceiveAction::Drop;
        }
        if (reset) {
            commErrors = 0;
        }
        return action;
    }
};

uint8_t PickCode(FuzzedDataProvider& input)
{
    // Mostly the codes the filter knows, sometimes anything.
    return input.ConsumeBool() ? input.ConsumeIntegralInRange<uint8_t>(0x00, 0x0F) : input.ConsumeIntegral<uint8_t>();
}

void CheckDecoding(const uint8_t* p)
{
    const MeasurementReading reading = DecodeMeasurement(p);
    FUZZ_CHECK(reading.rsoc == p[1]);
    FUZZ_CHECK(reading.voltage == (p[4] | p[5] << 8));
    const uint16_t raw = static_cast<uint16_t>(p[2] | p[3] << 8);
    // (raw - 2732) as a signed 16-bit number of tenths.
    const int32_t tenths = static_cast<int16_t>(static_cast<uint16_t>(raw - 2732));
    FUZZ_CHECK(std::isfinite(reading.temperature));
    FUZZ_CHECK(reading.temperature >= -3276.8 && reading.temperature <= 3276.7);
    FUZZ_CHECK(std::lround(reading.temperature * 10.0) == tenths);
    FUZZ_CHECK(reading.temperature == TemperatureFromRaw(raw));

    const uint16_t word = DecodeReadWordValue(p);
    FUZZ_CHECK(word == (p[2] | p[3] << 8));
    const std::wstring text = ReadWordText(word);
    FUZZ_CHECK(!text.empty() && text.size() <= 4);
    FUZZ_CHECK(text.size() == 1 || text[0] != L'0');
    for (const wchar_t c : text) {
        FUZZ_CHECK((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'));
    }
    FUZZ_CHECK(ReferenceHexValue(text) == word);

    FUZZ_CHECK(IsAckAccepted(p) == (p[1] == 1));
    FUZZ_CHECK(IsVerifyMatched(p) == (p[2] == 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);

    // The thread starts with the last pass time at the tick of its start.
    const uint32_t startTick = input.ConsumeIntegral<uint32_t>();
    uint64_t now = startTick;  // the tick without its 32-bit wrap
    ReceiveFilterState state;
    state.lastPassTick = startTick;
    ModelFilter model;
    model.lastPassTick = startTick;
    uint64_t lastPass = now;
    uint32_t interval = 2000;
    uint32_t measuring = 1;

    // A writer in the middle of a write, to compare its acceptance rule with
    // the filter's.
    uint8_t image[256];
    std::memset(image, 0xA5, sizeof image);
    CFlashWriter writer;
    FUZZ_CHECK(writer.Start(sizeof image));

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:  // the settings dialog changes the period (seconds x 1000, or anything)
            interval = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 300) * 1000u
                                           : input.ConsumeIntegral<uint32_t>();
            break;
        case 1:  // start / stop measure, or a stray flag value
            measuring = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 1) : input.ConsumeIntegral<uint32_t>();
            break;
        case 2:  // a long silence, possibly across the tick's wrap
            now += input.ConsumeIntegral<uint32_t>();
            break;
        default:
            break;
        }
        now += input.ConsumeIntegralInRange<uint32_t>(0, 3000);
        const uint32_t tick = static_cast<uint32_t>(now);

        uint8_t payload[kPayloadSize] = {};
        payload[0] = PickCode(input);
        payload[1] = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint8_t>();
        payload[2] = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint8_t>();
        const std::string rest = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 8));
        std::memcpy(payload + 3, rest.data(), rest.size());

        const ReceiveDecision decision = FilterReport(payload, measuring, interval, tick, state);
        const ReceiveAction expected = model.Decide(payload, measuring, interval, tick);
        FUZZ_CHECK(decision.action == expected);
        FUZZ_CHECK(decision.state.commErrors == model.commErrors);
        FUZZ_CHECK(decision.state.lastPassTick == model.lastPassTick);
        FUZZ_CHECK(decision.state.commErrors <= 32);

        if (payload[0] == RC_MEASURE) {
            const uint64_t since = now - lastPass;
            if (decision.action == ReceiveAction::Queue) {
                FUZZ_CHECK(since >= interval);
                lastPass = now;
            } else if (since < (uint64_t(1) << 32)) {
                // Within one wrap of the tick the unsigned difference is exact.
                FUZZ_CHECK(since < interval);
            }
        } else {
            FUZZ_CHECK(decision.state.lastPassTick == state.lastPassTick);
        }

        // The writer answers exactly what the filter hands it; a copy keeps
        // its state independent of the filter's outcome.
        CFlashWriter probe = writer;
        const bool accepted = probe.Reply(payload, image, sizeof image).has_value() || probe.phase != writer.phase ||
                              probe.blockCounter != writer.blockCounter;
        if (decision.action != ReceiveAction::FlashReply) {
            FUZZ_CHECK(!accepted);
        } else {
            FUZZ_CHECK(payload[0] >= RC_FLASH_BEGIN && payload[0] <= RC_FLASH_VERIFY_END);
            FUZZ_CHECK(IsAckAccepted(payload));
            FUZZ_CHECK(payload[0] != RC_FLASH_VERIFY_END || IsVerifyMatched(payload));
            writer = probe;
        }

        CheckDecoding(payload);
        state = decision.state;
    }
    return 0;
}
