// A whole flash write against the simulated sub board: the receive filter
// decides on each input report, the flash writer answers accepted
// acknowledgements, and the board carries out each frame. The fuzzer picks
// the image, one board fault (refused frame, I2C error, unplug) at any frame,
// a verify mismatch, a missing preparation frame and reports the filter must
// ignore in between. Checked: the session ends exactly as a model of these
// faults predicts, a reported success means the board's flash really holds
// the image, and every report the board sends is a well-formed 65-byte one.
#include <memory>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "link/ReceiveFilter.h"
#include "protocol/FlashWriter.h"
#include "protocol/Frames.h"
#include "sim/SimBoard.h"

namespace {

constexpr uint32_t kStart = 0x8100;
constexpr uint32_t kBlock = 128;

enum class Outcome { Stalled, Success, VerifyError, I2cError, Unplugged };

void Send(CSimBoard& board, const OutputFrame& frame)
{
    for (const OutputReport& report : frame.reports) {
        board.ReceiveOutputReport(report.data(), report.size(), 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint32_t blocks = input.ConsumeIntegralInRange<uint32_t>(1, 13);
    const uint32_t imageSize = blocks * kBlock + (input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 127) : 0);
    std::unique_ptr<uint8_t[]> image(new uint8_t[imageSize]);
    for (uint32_t i = 0; i < imageSize; ++i) {
        image[i] = input.ConsumeIntegral<uint8_t>();
    }
    const bool prepared = input.ConsumeIntegralInRange(0, 7) != 0;
    const bool mismatch = input.ConsumeIntegralInRange(0, 3) == 0;
    const auto fault = static_cast<SimFlashFault>(input.ConsumeIntegralInRange(0, 3));
    const uint32_t faultAt = input.ConsumeIntegralInRange<uint32_t>(0, 2 * blocks + 5);

    auto board = std::make_unique<CSimBoard>();
    board->SetVerifyMismatch(mismatch);
    board->SetFlashFault(fault, faultAt);

    // Frames from flash begin (index 0) to finish (index 2n + 3).
    const uint32_t verifyEndAt = 2 * blocks + 2;
    const uint32_t finishAt = verifyEndAt + 1;
    const bool faultFires = fault != SimFlashFault::None && faultAt <= finishAt && (prepared || faultAt == 0);
    Outcome expected = Outcome::Success;
    const auto faultOutcome = [fault]() {
        return fault == SimFlashFault::I2cError ? Outcome::I2cError
               : fault == SimFlashFault::Unplug ? Outcome::Unplugged
                                                : Outcome::Stalled;
    };
    if (faultFires && faultAt < verifyEndAt + (mismatch ? 1u : 2u)) {
        expected = faultOutcome();
    } else if (!prepared) {
        expected = Outcome::Stalled;  // flash begin refused
    } else if (mismatch) {
        expected = Outcome::VerifyError;  // a fault on the finish frame comes too late
    }

    CFlashWriter writer;
    FUZZ_CHECK(writer.Start(imageSize));
    if (prepared) {
        Send(*board, BuildFlashPrepareFrame());
    }
    Send(*board, writer.CodeFrame());
    uint32_t framesSent = 1;

    ReceiveFilterState filter;
    Outcome outcome = Outcome::Stalled;
    std::vector<uint8_t> report;
    bool done = false;
    while (!done) {
        // Reports the filter has to let pass by without touching the writer
        // (an exhausted input gives 0: nothing more is injected). They stay
        // well below the board's buffer, which drops its oldest reports when
        // full, as a host's HID input buffer does.
        const bool room = board->PendingInputReports() + 40 < CSimBoard::kMaxPendingInputReports;
        switch (room ? input.ConsumeIntegralInRange(0, 7) : 0) {
        case 6: board->InjectCommErrors(input.ConsumeIntegralInRange<uint32_t>(1, 40)); break;
        case 7: board->InjectUnknownCode(input.ConsumeIntegralInRange<uint8_t>(0x0F, 0xFF)); break;
        default: break;
        }
        if (board->TakeUnplugRequest()) {
            outcome = Outcome::Unplugged;
            break;
        }
        if (!board->TakeInputReport(report)) {
            break;  // nothing more comes: the write hangs
        }
        FUZZ_CHECK(report.size() == kReportSize && report[0] == 0);
        const uint8_t* payload = report.data() + 1;
        const ReceiveDecision decision = FilterReport(payload, 0, 0, 0, filter);
        filter = decision.state;
        switch (decision.action) {
        case ReceiveAction::Drop:
            break;
        case ReceiveAction::Queue:
            // The dispatcher ends the write on the first queued report.
            if (payload[0] == RC_FLASH_FINISH) {
                outcome = Outcome::Success;
            } else if (payload[0] == RC_FLASH_VERIFY_END) {
                outcome = Outcome::VerifyError;
            } else if (payload[0] == RC_I2C_ERROR) {
                outcome = Outcome::I2cError;
            } else {
                FUZZ_CHECK(false);  // nothing else may reach the dispatcher here
            }
            done = true;
            break;
        case ReceiveAction::FlashReply: {
            const std::optional<OutputFrame> reply = writer.Reply(payload, image.get(), imageSize);
            FUZZ_CHECK(reply.has_value());  // a whole image never leaves a block outside it
            Send(*board, *reply);
            ++framesSent;
            FUZZ_CHECK(framesSent <= finishAt + 1);
            break;
        }
        }
    }

    FUZZ_CHECK(outcome == expected);
    if (outcome == Outcome::Success) {
        FUZZ_CHECK(framesSent == finishAt + 1);
        FUZZ_CHECK(board->FramesHandled() == framesSent + 1);
        for (uint32_t i = 0; i < blocks * kBlock; ++i) {
            FUZZ_CHECK(board->FlashAt(kStart + i) == image[i]);
        }
        // Bytes past the last whole block were never sent.
        for (uint32_t i = blocks * kBlock; i < blocks * kBlock + kBlock; ++i) {
            FUZZ_CHECK(board->FlashAt(kStart + i) == 0xFF);
        }
    }
    return 0;
}
