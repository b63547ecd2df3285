#pragma once
// A board's state in the Prometheus text exposition format, for the textfile
// folder of node_exporter or windows_exporter: the lab's monitoring collects
// every bench without the companion serving anything itself.
#include <cstdint>
#include <optional>
#include <string>

struct MetricsReading {
    int32_t rsoc;        // percent; kLogRsocStandby while the gauge is in standby
    double temperature;  // degrees Celsius
    uint16_t voltage;    // mV
    uint64_t unixMs;     // when the companion took it
};

struct BoardMetrics {
    std::string device;  // UTF-8: the HID serial number, else the device path
    std::optional<MetricsReading> last;  // none before the first reading
    uint32_t readings = 0;
    uint32_t commErrors = 0;
    bool measuring = false;
};

// The whole file: HELP and TYPE lines and one sample per metric, lines ended
// by LF. Gauge values are left out until there is a reading, and the RSOC
// while the gauge reports standby: an absent series is what Prometheus
// understands as "no value", where 0 would read as an empty battery.
std::string RenderMetrics(const BoardMetrics& metrics);

// A label value as the format wants it: backslash, double quote and line
// feed escaped.
std::string EscapeLabelValue(const std::string& value);

// Milliseconds since the Unix epoch, the time base of Prometheus timestamps.
uint64_t UnixNowMs();
