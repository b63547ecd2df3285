// The demo data source. Playback of an arbitrary "Demo.txt", which may even
// be cut short between two readings, is compared reading by reading with a
// model of the line walk (message lines skipped, back to the top after the
// last line, a missing value reads as 0, a line without tokens changes
// nothing); the kept file position never leaves the file. The generated
// curve, for any measuring period, keeps RSOC in (41, 90.9], the
// temperature within 1/15 of 25.4 and the voltage within 1 mV of the curve.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "log/DemoSource.h"
#include "log/LogFile.h"
#include "log/LogLine.h"
#include "log/TextNumbers.h"

namespace {

std::FILE* OpenBytes(const std::string& bytes)
{
    return bytes.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
}

struct PlaybackModel {
    int64_t position = 0;
    double rsoc = 90.9;
    double voltage = 4250.5;
    double temperature = 25.4;

    // One line from `at`: its bytes without "\n" (and a "\r" before it),
    // and how many bytes it took.
    static std::string LineAt(const std::string& file, size_t at, size_t& consumed)
    {
        const size_t end = file.find('\n', at);
        if (end == std::string::npos) {
            consumed = file.size() - at;
            return file.substr(at);
        }
        consumed = end + 1 - at;
        std::string line = file.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }

    void Next(const std::string& file)
    {
        const int64_t length = static_cast<int64_t>(file.size());
        int64_t at = position;
        std::string line;
        for (;;) {
            size_t consumed = 0;
            line = at < length ? LineAt(file, static_cast<size_t>(at), consumed) : std::string();
            at += static_cast<int64_t>(consumed);
            position = at >= length ? 0 : at;
            if (line.empty() || line[0] != '<') {
                break;
            }
        }
        LogTokenizer tokens(line.data(), line.size());
        const char* first;
        const char* last;
        if (!tokens.Next(first, last)) {
            return;
        }
        double* const fields[] = {&rsoc, &temperature, &voltage};
        for (double* field : fields) {
            if (!tokens.Next(first, last)) {
                *field = 0.0;
                return;
            }
            *field = ParseDouble(first, last);
        }
    }
};

bool SameValue(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

void CheckTruncation(double value)
{
    const int32_t t = TruncateToInt32(value);
    if (std::isnan(value) || value <= -2147483649.0 || value >= 2147483648.0) {
        FUZZ_CHECK(t == INT32_MIN);
    } else {
        FUZZ_CHECK(static_cast<double>(t) == std::trunc(value));
    }
    FUZZ_CHECK(TruncateToUInt16(value) == static_cast<uint16_t>(static_cast<uint32_t>(t)));
}

void RunPlayback(FuzzedDataProvider& input, int readings)
{
    const size_t cutAt = input.ConsumeIntegralInRange<int>(0, readings);
    const size_t cutLength = input.ConsumeIntegral<uint16_t>();
    std::string file = input.ConsumeRemainingBytesAsString();
    const std::string* current = &file;
    DemoSource source([&current] { return OpenBytes(*current); });
    PlaybackModel model;
    std::string shorter;
    for (int i = 0; i < readings; ++i) {
        if (static_cast<size_t>(i) == cutAt) {
            // The user edits the file between two readings.
            shorter = file.substr(0, cutLength % (file.size() + 1));
            current = &shorter;
        }
        const DemoReading reading = source.GetDemoReading();
        model.Next(*current);
        FUZZ_CHECK(source.FilePos() == model.position);
        FUZZ_CHECK(source.FilePos() >= 0 && (source.FilePos() == 0 || source.FilePos() < static_cast<int64_t>(current->size())));
        FUZZ_CHECK(SameValue(reading.rsoc, model.rsoc));
        FUZZ_CHECK(SameValue(reading.temperature, model.temperature));
        FUZZ_CHECK(reading.voltage == static_cast<double>(TruncateToUInt16(model.voltage)));
        CheckTruncation(model.voltage);
        CheckTruncation(model.rsoc);
    }
}

void RunCurve(FuzzedDataProvider& input, int readings)
{
    const uint16_t interval = input.ConsumeIntegral<uint16_t>();
    DemoSource source([] { return static_cast<std::FILE*>(nullptr); });
    source.SetSteps(interval);
    for (int i = 0; i < readings; ++i) {
        const DemoReading reading = source.GetDemoReading();
        FUZZ_CHECK(reading.rsoc > 41.0 && reading.rsoc <= 90.9);
        FUZZ_CHECK(reading.rsoc == source.Rsoc());
        FUZZ_CHECK(std::fabs(reading.temperature - 25.4) <= 1.0 / 15 + 1e-12);
        // The noise moves the voltage by more than -1 and at most +1 mV.
        const double curve = source.Voltage();
        if (curve - 1.0 >= 0.0 && curve + 1.0 < 65536.0) {
            FUZZ_CHECK(reading.voltage >= std::floor(curve - 1.0) && reading.voltage <= std::floor(curve + 1.0));
        }
        FUZZ_CHECK(source.FilePos() == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool playback = input.ConsumeBool();
    const int readings = input.ConsumeIntegralInRange(1, 48);
    if (playback) {
        RunPlayback(input, readings);
    } else {
        RunCurve(input, readings);
    }
    return 0;
}
