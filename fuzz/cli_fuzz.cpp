// The command line of vantrel-cli and what it makes of reports. Arguments
// are split from the input at 0x01 bytes; a dictionary (cli.dict) supplies
// the command and option words. Checked: a command line that is accepted
// holds only values in their documented ranges, options only for their
// command, never two choices that exclude each other, register numbers and
// words only as whole hex numbers; "--name=value" and
// "--name value" mean the same; seconds texts read back from their own
// form. Measurement lines, flash progress and flash outcomes are checked
// against the report bytes.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "cli/CliOptions.h"
#include "cli/CliReports.h"
#include "log/LogLine.h"
#include "protocol/FlashWriter.h"
#include "protocol/ReportDecode.h"

namespace {

std::vector<std::wstring> SplitArguments(const std::wstring& text)
{
    std::vector<std::wstring> args;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\x01', start);
        args.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) {
            return args;
        }
        start = end + 1;
    }
}

// digits{1,9} [. digits{1,3}]
bool IsSecondsText(const std::wstring& text)
{
    const size_t point = text.find(L'.');
    const size_t whole = point == std::wstring::npos ? text.size() : point;
    if (whole == 0 || whole > 9) {
        return false;
    }
    if (point != std::wstring::npos && (text.size() - point - 1 == 0 || text.size() - point - 1 > 3)) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != point && (text[i] < L'0' || text[i] > L'9')) {
            return false;
        }
    }
    return true;
}

// 1 to maxDigits ASCII hex digits and nothing else.
bool IsHexText(const std::wstring& text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    for (const wchar_t c : text) {
        if (c == 0 || std::wcschr(L"0123456789abcdefABCDEF", c) == nullptr) {
            return false;
        }
    }
    return true;
}

bool SameOptions(const CliOptions& a, const CliOptions& b)
{
    return a.command == b.command && a.help == b.help && a.intervalSeconds == b.intervalSeconds &&
           a.i2cClockKHz == b.i2cClockKHz && a.owsi == b.owsi && a.count == b.count && a.durationMs == b.durationMs &&
           a.outPath == b.outPath && a.commandText == b.commandText && a.dataText == b.dataText &&
           a.timeoutMs == b.timeoutMs && a.imagePath == b.imagePath && a.commandNumber == b.commandNumber &&
           a.dataWord == b.dataWord;
}

void CheckAccepted(const std::vector<std::wstring>& args, const CliParseResult& result)
{
    const CliOptions& o = result.options;
    if (!result.Ok()) {
        FUZZ_CHECK(!args.empty() || result.error == L"no command given");
        return;
    }
    FUZZ_CHECK(!args.empty());
    if (o.help) {
        return;
    }
    FUZZ_CHECK(o.command != CliCommand::None);
    FUZZ_CHECK(args[0] == CliCommandName(o.command));
    if (o.command != CliCommand::Measure) {
        FUZZ_CHECK(!o.intervalSeconds && !o.i2cClockKHz && !o.owsi && !o.count && !o.durationMs && o.outPath.empty());
    }
    FUZZ_CHECK(!o.intervalSeconds || (*o.intervalSeconds >= 1 && *o.intervalSeconds <= 300));
    FUZZ_CHECK(!o.i2cClockKHz || *o.i2cClockKHz == 100 || *o.i2cClockKHz == 400);
    FUZZ_CHECK(!o.count || *o.count >= 1);
    FUZZ_CHECK(!o.durationMs || *o.durationMs > 0);
    FUZZ_CHECK(!(o.owsi && o.i2cClockKHz) && !(o.count && o.durationMs));
    FUZZ_CHECK(o.timeoutMs > 0);
    if (o.command != CliCommand::WriteWord) {
        FUZZ_CHECK(o.dataText.empty());
    }
    // A register and its word only as whole hex numbers, with their values.
    if (o.command == CliCommand::ReadWord || o.command == CliCommand::WriteWord) {
        FUZZ_CHECK(IsHexText(o.commandText, 2) && std::wcstoul(o.commandText.c_str(), nullptr, 16) == o.commandNumber);
    }
    if (o.command == CliCommand::WriteWord) {
        FUZZ_CHECK(IsHexText(o.dataText, 4) && std::wcstoul(o.dataText.c_str(), nullptr, 16) == o.dataWord);
    }
    if (o.command != CliCommand::Flash) {
        FUZZ_CHECK(o.imagePath.empty());
    }

    CAppSettings settings;
    ResetSettings(settings);
    const CommValues v = EffectiveCommValues(settings, o);
    FUZZ_CHECK(v.receiveInterval == (o.intervalSeconds ? *o.intervalSeconds : settings.ReceiveInterval));
    FUZZ_CHECK(v.i2cClock == (o.i2cClockKHz ? *o.i2cClockKHz : settings.I2cClock));
    FUZZ_CHECK(v.commType == (o.owsi ? 1 : o.i2cClockKHz ? 0 : settings.CommType));
}

// "--name=value" split into "--name" "value" reads the same, unless the
// value is itself a word the parser looks for on its own.
void CheckInlineValues(const std::vector<std::wstring>& args, const CliParseResult& result)
{
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == L"--") {
            return;
        }
        const size_t eq = args[i].find(L'=');
        // Only options that take a value read the same both ways: a flag
        // such as "--help=x" is an error, while "--help x" is the flag.
        if (args[i].compare(0, 2, L"--") != 0 || eq == std::wstring::npos) continue;
        // An argument right after another option may be that option's value.
        if (args[i - 1].compare(0, 1, L"-") == 0) continue;
        const std::wstring name = args[i].substr(0, eq);
        if (name != L"--interval" && name != L"--i2c" && name != L"--count" && name != L"--duration" &&
            name != L"--out" && name != L"--timeout")
            continue;
        const std::wstring value = args[i].substr(eq + 1);
        if (value == L"--" || value == L"--help" || value == L"-h" || value == L"/?") {
            continue;
        }
        std::vector<std::wstring> split = args;
        split[i] = args[i].substr(0, eq);
        split.insert(split.begin() + static_cast<std::ptrdiff_t>(i) + 1, value);
        const CliParseResult again = ParseCliArguments(split);
        FUZZ_CHECK(again.Ok() == result.Ok());
        if (result.Ok()) {
            FUZZ_CHECK(SameOptions(again.options, result.options));
        }
        return;  // one split per input is enough
    }
}

void CheckSeconds(const std::wstring& text, uint64_t anyMs)
{
    const std::optional<uint64_t> ms = ParseSecondsToMs(text);
    FUZZ_CHECK(ms.has_value() == IsSecondsText(text));
    if (ms) {
        FUZZ_CHECK(*ms < 1000000000000ull);
        FUZZ_CHECK(ParseSecondsToMs(SecondsText(*ms)) == ms);
    }
    const uint64_t bounded = anyMs % 1000000000000ull;
    const std::wstring shown = SecondsText(bounded);
    FUZZ_CHECK(ParseSecondsToMs(shown) == bounded);
    FUZZ_CHECK(shown.back() != L'0' || shown.find(L'.') == std::wstring::npos);  // no trailing zeros
}

void CheckReports(FuzzedDataProvider& input)
{
    uint8_t payload[kPayloadSize] = {};
    const std::string bytes = input.ConsumeBytesAsString(8);
    std::memcpy(payload, bytes.data(), bytes.size());
    payload[0] = input.ConsumeIntegralInRange<uint8_t>(0, 0x10);

    LogTime when;
    when.year = input.ConsumeIntegral<int16_t>();
    when.month = input.ConsumeIntegral<int16_t>();
    when.day = input.ConsumeIntegral<int16_t>();
    when.hour = input.ConsumeIntegral<int16_t>();
    when.minute = input.ConsumeIntegral<int16_t>();
    when.second = input.ConsumeIntegral<int16_t>();
    const std::string line = MeasurementLine(payload, when);
    FUZZ_CHECK(line.size() <= kLogLineMaxChars);
    const tagLOGDATA back = ParseMeasurementLine(line.data(), line.size());
    const MeasurementReading reading = DecodeMeasurement(payload);
    FUZZ_CHECK(back.rsoc == reading.rsoc && back.voltage == reading.voltage);
    FUZZ_CHECK(std::fabs(back.temperature - reading.temperature) < 0.051);
    if (when.year >= 0 && when.year <= 9999 && when.month >= 0 && when.month <= 99 && when.day >= 0 &&
        when.day <= 99 && when.hour >= 0 && when.hour <= 99 && when.minute >= 0 && when.minute <= 99 &&
        when.second >= 0 && when.second <= 99) {
        FUZZ_CHECK(back.year == when.year && back.month == when.month && back.day == when.day &&
                   back.hour == when.hour && back.minute == when.minute && back.second == when.second);
    }

    const FlashOutcome outcome = FlashOutcomeOf(payload);
    const uint8_t code = payload[0];
    FlashOutcome want = FlashOutcome::Pending;
    if (code == RC_FLASH_FINISH && payload[1] == 1) {
        want = FlashOutcome::Success;
    } else if (code == RC_FLASH_VERIFY_END && payload[1] == 1 && payload[2] != 1) {
        want = FlashOutcome::VerifyError;
    } else if (code == RC_I2C_ERROR) {
        want = FlashOutcome::I2cError;
    }
    FUZZ_CHECK(outcome == want);
    FUZZ_CHECK(std::strlen(FlashOutcomeText(outcome)) > 0);

    FlashStepInfo step;
    step.phase = input.ConsumeIntegralInRange<uint8_t>(0, 8);
    // As the writer has them: the counter below the blocks of the phase.
    step.blockCount = input.ConsumeIntegralInRange<uint32_t>(1, UINT32_MAX);
    step.blockCounter = input.ConsumeIntegralInRange<uint32_t>(0, step.blockCount - 1);
    const std::string progress = FlashProgressText(step);
    if (step.phase == FP_DATA || step.phase == FP_VERIFY) {
        const std::string want = std::string(step.phase == FP_DATA ? "write" : "verify") + " block " +
                                 std::to_string(uint64_t(step.blockCounter) + 1) + " of " +
                                 std::to_string(step.blockCount);
        FUZZ_CHECK(progress == want);
    } else {
        FUZZ_CHECK(progress.empty());
    }

    const uint64_t start = input.ConsumeIntegral<uint64_t>();
    const std::optional<uint32_t> count =
        input.ConsumeBool() ? std::optional<uint32_t>(input.ConsumeIntegral<uint32_t>()) : std::nullopt;
    const std::optional<uint64_t> duration =
        input.ConsumeBool() ? std::optional<uint64_t>(input.ConsumeIntegral<uint64_t>()) : std::nullopt;
    const CMeasureLimit limit(count, duration, start);
    const uint64_t now = input.ConsumeIntegral<uint64_t>();
    const uint64_t cap = input.ConsumeIntegral<uint64_t>();
    const uint64_t wait = limit.WaitLimit(now, cap);
    FUZZ_CHECK(wait <= cap);
    if (!duration) {
        FUZZ_CHECK(wait == cap && !limit.DurationOver(now));
    }
    const uint32_t readings = input.ConsumeIntegral<uint32_t>();
    FUZZ_CHECK(limit.CountReached(readings) == (count && readings >= *count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint64_t anyMs = input.ConsumeIntegral<uint64_t>();
    CheckReports(input);
    const std::wstring text = FuzzWideText(input.ConsumeRemainingBytesAsString());
    const std::vector<std::wstring> args =
        text.empty() ? std::vector<std::wstring>() : SplitArguments(text);

    const CliParseResult result = ParseCliArguments(args);
    CheckAccepted(args, result);
    CheckInlineValues(args, result);
    FUZZ_CHECK(ParseCliArguments(args).error == result.error);
    for (const std::wstring& arg : args) {
        CheckSeconds(arg, anyMs);
    }
    if (args.empty()) {
        CheckSeconds(std::wstring(), anyMs);
    }
    return 0;
}
