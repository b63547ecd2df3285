// The simulated sub board fed arbitrary output reports (any length, any
// report id, frames made by the real builders or of random bytes), clock
// ticks, fault injections and power cycles. A small model of the board's
// documented answers predicts every input report it queues; the counters and
// state it exposes are compared after each step.
#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "protocol/Frames.h"
#include "sim/SimBoard.h"

namespace {

// What the model expects the board to queue next.
struct Expected {
    std::vector<uint8_t> report;  // exact bytes, unless flashCode is set
    int flashCode = -1;           // a flash answer: status (and verify status) 0 or 1
};

struct Model {
    uint8_t frame[kFrameSize] = {};
    uint32_t reportsInFrame = 0;
    uint32_t frameStart = 0;
    uint16_t registers[256] = {};
    bool measuring = false;
    bool silent = false;
    bool stalled = false;
    bool unplug = false;
    uint32_t period = CSimBoard::kDefaultMeasurePeriodMs;
    uint32_t nextDue = 0;
    uint32_t samples = 0;
    uint32_t framesHandled = 0;
    uint32_t ignored = 0;
    SimSettings settings;
    std::deque<Expected> queue;

    // A full buffer drops its oldest report.
    void Push(const Expected& e)
    {
        if (queue.size() >= CSimBoard::kMaxPendingInputReports) {
            queue.pop_front();
        }
        queue.push_back(e);
    }

    void Expect(std::initializer_list<uint8_t> payload)
    {
        Expected e;
        e.report.assign(kReportSize, 0);
        size_t i = 1;
        for (const uint8_t b : payload) {
            e.report[i++] = b;
        }
        Push(e);
    }

    void Report(const uint8_t* data, size_t size, uint32_t now)
    {
        if (size != kReportSize || data[0] != 0) {
            ++ignored;
            return;
        }
        // A part frame whose next report comes too late is given up.
        if (reportsInFrame > 0 && now - frameStart > CSimBoard::kFrameGapMs) {
            reportsInFrame = 0;
        }
        if (reportsInFrame == 0) {
            frameStart = now;
        }
        std::memcpy(frame + reportsInFrame * kPayloadSize, data + 1, kPayloadSize);
        if (++reportsInFrame < kReportsPerFrame) {
            return;
        }
        reportsInFrame = 0;
        if (silent) {
            return;
        }
        ++framesHandled;
        const uint8_t* f = frame;
        const auto word = [f](size_t at) { return static_cast<uint16_t>(f[at] | f[at + 1] << 8); };
        switch (f[0]) {
        case RC_CONTROL:
            if (f[1] == kFrameMarker) {
                measuring = false;
            }
            break;
        case RC_SETTINGS:
            settings.received = true;
            settings.intervalSeconds = word(17);
            settings.i2cClockKHz = word(19);
            settings.commType = f[34];
            Expect({RC_SETTINGS});
            break;
        case RC_MEASURE:
            if (f[1] == kFrameMarker && !measuring) {
                measuring = true;
                nextDue = now;
            }
            break;
        case RC_READ_WORD:
            Expect({RC_READ_WORD, f[1], static_cast<uint8_t>(registers[f[1]]), static_cast<uint8_t>(registers[f[1]] >> 8)});
            break;
        case RC_WRITE_WORD:
            registers[f[1]] = word(2);
            Expect({RC_WRITE_WORD, f[1], f[2], f[3]});
            break;
        default:
            if (f[0] >= RC_FLASH_BEGIN && f[0] <= RC_FLASH_FINISH) {
                Expected e;
                e.flashCode = f[0];
                Push(e);
            }
            break;
        }
    }

    void Tick(uint32_t now)
    {
        if (!measuring || silent || static_cast<int32_t>(now - nextDue) < 0) {
            return;
        }
        const SimMeasurement m = CSimBoard::MeasurementAt(samples++);
        Expected e;
        e.report.assign(kReportSize, 0);
        e.report[1] = RC_MEASURE;
        e.report[2] = m.rsoc;
        e.report[3] = static_cast<uint8_t>(m.temperature);
        e.report[4] = static_cast<uint8_t>(m.temperature >> 8);
        e.report[5] = static_cast<uint8_t>(m.voltage);
        e.report[6] = static_cast<uint8_t>(m.voltage >> 8);
        e.report[14] = m.rsoc < 10 ? 0 : 1;
        Push(e);
        nextDue = now + period;
    }
};

void CheckReport(const Expected& want, const std::vector<uint8_t>& got)
{
    if (want.flashCode < 0) {
        FUZZ_CHECK(got == want.report);
        return;
    }
    FUZZ_CHECK(got.size() == kReportSize && got[0] == 0);
    FUZZ_CHECK(got[1] == want.flashCode && got[2] <= 1);
    FUZZ_CHECK(got[3] <= (want.flashCode == RC_FLASH_VERIFY_END ? 1 : 0));
    for (size_t i = 4; i < got.size(); ++i) {
        FUZZ_CHECK(got[i] == 0);
    }
}

void CheckReading(const SimMeasurement& m)
{
    FUZZ_CHECK(m.rsoc <= 100);
    FUZZ_CHECK(m.voltage >= 3300 && m.voltage <= 4200);
    FUZZ_CHECK(m.temperature >= 2982 && m.temperature <= 2982 + 20 + 2);
}

OutputFrame RandomFrame(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0: return BuildStopFrame();
    case 1: return BuildStartMeasureFrame();
    case 2: return BuildReadWordFrame(input.ConsumeIntegral<uint8_t>());
    case 3: return BuildWriteWordFrame(input.ConsumeIntegral<uint8_t>(), input.ConsumeIntegral<uint16_t>());
    case 4:
        return BuildCommSettingsFrame(input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                                      input.ConsumeIntegral<uint16_t>());
    case 5: return BuildFlashPrepareFrame();
    case 6: return BuildCodeFrame(input.ConsumeIntegralInRange<uint8_t>(RC_FLASH_BEGIN, RC_FLASH_FINISH));
    case 7: {
        uint8_t block[kFlashBlockSize];
        std::memset(block, input.ConsumeIntegral<uint8_t>(), sizeof block);
        return BuildBlockFrame(input.ConsumeIntegralInRange<uint8_t>(RC_FLASH_DATA, RC_FLASH_VERIFY),
                               input.ConsumeIntegral<uint16_t>(), block);
    }
    case 8:
        return BuildRangeFrame(input.ConsumeIntegralInRange<uint8_t>(RC_FLASH_DATA_END, RC_FLASH_VERIFY_END),
                               input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>());
    default: {
        std::array<uint8_t, kFrameSize> content{};
        const std::string bytes = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 40));
        std::memcpy(content.data(), bytes.data(), bytes.size());
        return MakeLongFrame(content);
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    auto board = std::make_unique<CSimBoard>();
    Model model;
    uint32_t now = input.ConsumeIntegral<uint32_t>();
    std::vector<uint8_t> got;

    while (input.remaining_bytes() > 0) {
        now += input.ConsumeIntegralInRange<uint32_t>(0, 600);
        switch (input.ConsumeIntegralInRange(0, 11)) {
        case 0:
        case 1: {  // a whole frame, as the tool writes it
            const OutputFrame frame = RandomFrame(input);
            for (const OutputReport& report : frame.reports) {
                board->ReceiveOutputReport(report.data(), report.size(), now);
                model.Report(report.data(), report.size(), now);
            }
            break;
        }
        case 2: {  // one report of any length and content
            const size_t length = input.ConsumeBool() ? kReportSize : input.ConsumeIntegralInRange<size_t>(0, 130);
            std::vector<uint8_t> bytes(length);
            for (uint8_t& b : bytes) {
                b = input.ConsumeIntegral<uint8_t>();
            }
            if (length > 0 && input.ConsumeBool()) {
                bytes[0] = 0;
            }
            // A buffer of exactly this length: the board must read no further.
            std::unique_ptr<uint8_t[]> exact(new uint8_t[length ? length : 1]);
            if (length > 0) {
                std::memcpy(exact.get(), bytes.data(), length);
            }
            board->ReceiveOutputReport(exact.get(), length, now);
            model.Report(exact.get(), length, now);
            break;
        }
        case 3:
        case 4:
            board->Tick(now);
            model.Tick(now);
            break;
        case 5: {  // the transport drains some reports
            size_t take = input.ConsumeIntegralInRange<size_t>(0, 8);
            while (take-- > 0 && board->TakeInputReport(got)) {
                FUZZ_CHECK(!model.queue.empty());
                CheckReport(model.queue.front(), got);
                model.queue.pop_front();
            }
            break;
        }
        case 6: {
            const uint32_t count = input.ConsumeIntegralInRange<uint32_t>(0, 40);
            board->InjectCommErrors(count);
            for (uint32_t i = 0; i < count; ++i) {
                model.Expect({RC_COMM_ERROR});
            }
            break;
        }
        case 7: {
            const size_t length = input.ConsumeIntegralInRange<size_t>(0, 200);
            board->InjectWrongLength(length);
            Expected e;
            e.report.assign(length, 0);
            if (length > 1) {
                e.report[1] = RC_READ_WORD;
            }
            model.Push(e);
            break;
        }
        case 8: {
            const uint8_t code = input.ConsumeIntegral<uint8_t>();
            board->InjectUnknownCode(code);
            model.Expect({code});
            break;
        }
        case 9:
            model.silent = input.ConsumeBool();
            board->SetSilent(model.silent);
            model.stalled = input.ConsumeBool();
            board->SetReadsStalled(model.stalled);
            break;
        case 10:
            model.period = input.ConsumeIntegralInRange<uint32_t>(0, 5000);
            board->SetMeasurePeriod(model.period);
            if (input.ConsumeBool()) {
                board->RequestUnplug();
                model.unplug = true;
            }
            FUZZ_CHECK(board->TakeUnplugRequest() == model.unplug);
            model.unplug = false;
            break;
        default:
            board->PowerCycle();
            model.queue.clear();
            model.reportsInFrame = 0;
            model.measuring = false;
            model.settings = SimSettings{};
            break;
        }

        FUZZ_CHECK(board->PendingInputReports() == model.queue.size());
        FUZZ_CHECK(board->Measuring() == model.measuring);
        FUZZ_CHECK(board->ReadsStalled() == model.stalled);
        FUZZ_CHECK(board->FramesHandled() == model.framesHandled);
        FUZZ_CHECK(board->ReportsIgnored() == model.ignored);
        FUZZ_CHECK(board->MeasurementsSent() == model.samples);
        const SimSettings s = board->Settings();
        FUZZ_CHECK(s.received == model.settings.received && s.intervalSeconds == model.settings.intervalSeconds &&
                   s.i2cClockKHz == model.settings.i2cClockKHz && s.commType == model.settings.commType);
    }
    for (int cmd = 0; cmd < 256; ++cmd) {
        FUZZ_CHECK(board->Register(static_cast<uint8_t>(cmd)) == model.registers[cmd]);
    }
    CheckReading(CSimBoard::MeasurementAt(model.samples));
    CheckReading(CSimBoard::MeasurementAt(now));
    return 0;
}
