#include "cli/CliMetrics.h"

#include <chrono>

#include "log/LogRecord.h"
#include "log/TextNumbers.h"

namespace {

// A whole number of hundredths (or thousandths) as a decimal text: exact, and
// the same whatever locale the process runs in.
std::string Scaled(int64_t value, uint32_t scale, int digits)
{
    std::string text = value < 0 ? "-" : "";
    const uint64_t magnitude = static_cast<uint64_t>(value < 0 ? -value : value);
    char buffer[32];
    text.append(buffer, FormatUnsigned(buffer, static_cast<uint32_t>(magnitude / scale)));
    text += '.';
    text.append(buffer, FormatIntZeroPad(buffer, static_cast<int32_t>(magnitude % scale), digits));
    return text;
}

std::string Unsigned(uint32_t value)
{
    char buffer[16];
    return std::string(buffer, FormatUnsigned(buffer, value));
}

class CExposition {
public:
    explicit CExposition(const std::string& device) : m_labels("{device=\"" + EscapeLabelValue(device) + "\"}") {}

    void Add(const char* name, const char* type, const char* help, const std::string& value)
    {
        m_text += std::string("# HELP ") + name + " " + help + "\n";
        m_text += std::string("# TYPE ") + name + " " + type + "\n";
        m_text += name + m_labels + " " + value + "\n";
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_labels;
    std::string m_text;
};

} // namespace

std::string EscapeLabelValue(const std::string& value)
{
    std::string escaped;
    escaped.reserve(value.size());
    for (char c : value) {
        if (c == '\\') escaped += "\\\\";
        else if (c == '"') escaped += "\\\"";
        else if (c == '\n') escaped += "\\n";
        else escaped += c;
    }
    return escaped;
}

std::string RenderMetrics(const BoardMetrics& metrics)
{
    CExposition out(metrics.device);
    if (metrics.last) {
        const MetricsReading& r = *metrics.last;
        if (r.rsoc != kLogRsocStandby)
            out.Add("vantrel_rsoc_ratio", "gauge", "Relative state of charge of the last reading (1 is full).",
                    Scaled(r.rsoc, 100, 2));
        char temperature[kFixed1MaxChars];
        out.Add("vantrel_temperature_celsius", "gauge", "Cell temperature of the last reading.",
                std::string(temperature, FormatFixed1(temperature, r.temperature)));
        out.Add("vantrel_voltage_volts", "gauge", "Cell voltage of the last reading.", Scaled(r.voltage, 1000, 3));
        out.Add("vantrel_last_reading_timestamp_seconds", "gauge", "When the companion took the last reading.",
                Scaled(static_cast<int64_t>(r.unixMs), 1000, 3));
    }
    out.Add("vantrel_readings_total", "counter", "Readings taken since the measurement started.",
            Unsigned(metrics.readings));
    out.Add("vantrel_comm_errors_total", "counter",
            "Communication-error reports of the sub board since the measurement started.",
            Unsigned(metrics.commErrors));
    out.Add("vantrel_measuring", "gauge", "1 while the companion measures, 0 after its run ended.",
            metrics.measuring ? "1" : "0");
    return out.Text();
}

uint64_t UnixNowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}
