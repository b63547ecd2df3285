#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "cli/CliMetrics.h"
#include "log/LogRecord.h"

namespace {

struct Exposition {
    std::map<std::string, std::string> values;  // metric name -> sample value
    std::map<std::string, std::string> types;
    std::string problems;                       // what breaks the format's rules
};

// Reads the text as a scraper would, noting every sample that lacks its HELP
// and TYPE lines just before it, or whose labels are not the expected ones.
Exposition Parse(const std::string& text, const std::string& labels)
{
    Exposition e;
    std::istringstream lines(text);
    std::string line, help, type;
    while (std::getline(lines, line)) {
        if (line.rfind("# HELP ", 0) == 0) {
            help = line.substr(7, line.find(' ', 7) - 7);
        } else if (line.rfind("# TYPE ", 0) == 0) {
            type = line.substr(7);
        } else {
            const size_t brace = line.find('{');
            const size_t space = line.rfind(' ');
            const std::string name = line.substr(0, brace);
            if (brace == std::string::npos || line.substr(brace, space - brace) != labels)
                e.problems += "labels of: " + line + "\n";
            if (help != name || type.rfind(name + " ", 0) != 0) e.problems += "no HELP/TYPE before: " + line + "\n";
            if (e.values.count(name)) e.problems += "twice: " + name + "\n";
            e.values[name] = line.substr(space + 1);
            e.types[name] = type.substr(type.find(' ') + 1);
            help.clear();
            type.clear();
        }
    }
    if (text.empty() || text.back() != '\n') e.problems += "last line not ended\n";
    return e;
}

BoardMetrics WithReading(int32_t rsoc, double temperature, uint16_t voltage, uint64_t unixMs)
{
    BoardMetrics m;
    m.device = "A1B2C3";
    m.measuring = true;
    m.readings = 7;
    m.commErrors = 2;
    m.last = MetricsReading{rsoc, temperature, voltage, unixMs};
    return m;
}

TEST(CliMetrics, EveryMetricInBaseUnitsWithItsType)
{
    const Exposition e = Parse(RenderMetrics(WithReading(85, 25.0, 3801, 1547802307250)), "{device=\"A1B2C3\"}");
    EXPECT_EQ(e.problems, "");
    const std::map<std::string, std::string> values = {
        {"vantrel_rsoc_ratio", "0.85"},
        {"vantrel_temperature_celsius", "25.0"},
        {"vantrel_voltage_volts", "3.801"},
        {"vantrel_last_reading_timestamp_seconds", "1547802307.250"},
        {"vantrel_readings_total", "7"},
        {"vantrel_comm_errors_total", "2"},
        {"vantrel_measuring", "1"},
    };
    EXPECT_EQ(e.values, values);
    EXPECT_EQ(e.types.at("vantrel_readings_total"), "counter");
    EXPECT_EQ(e.types.at("vantrel_comm_errors_total"), "counter");
    EXPECT_EQ(e.types.at("vantrel_voltage_volts"), "gauge");
    EXPECT_EQ(e.types.at("vantrel_measuring"), "gauge");
}

TEST(CliMetrics, ValuesAtTheEdgesOfWhatAReportHolds)
{
    struct Case {
        int32_t rsoc;
        double temperature;
        uint16_t voltage;
        uint64_t unixMs;
        const char* ratio;
        const char* celsius;
        const char* volts;
        const char* seconds;
    } const cases[] = {
        {0, 0.0, 0, 5, "0.00", "0.0", "0.000", "0.005"},
        {5, -10.1, 42, 1000, "0.05", "-10.1", "0.042", "1.000"},
        {100, -273.2, 4200, 4102444800999, "1.00", "-273.2", "4.200", "4102444800.999"},
        // The byte the board sends may exceed 100; shown as it came, like the log does.
        {255, 3280.3, 65535, 1, "2.55", "3280.3", "65.535", "0.001"},
    };
    for (const Case& c : cases) {
        const Exposition e = Parse(RenderMetrics(WithReading(c.rsoc, c.temperature, c.voltage, c.unixMs)),
                                   "{device=\"A1B2C3\"}");
        EXPECT_EQ(e.problems, "") << c.rsoc;
        EXPECT_EQ(e.values.at("vantrel_rsoc_ratio"), c.ratio);
        EXPECT_EQ(e.values.at("vantrel_temperature_celsius"), c.celsius);
        EXPECT_EQ(e.values.at("vantrel_voltage_volts"), c.volts);
        EXPECT_EQ(e.values.at("vantrel_last_reading_timestamp_seconds"), c.seconds);
    }
}

TEST(CliMetrics, GaugeValuesAbsentBeforeTheFirstReadingAndRsocDuringStandby)
{
    BoardMetrics start;
    start.device = "/run/vantrel-a.sock";
    start.measuring = true;
    Exposition e = Parse(RenderMetrics(start), "{device=\"/run/vantrel-a.sock\"}");
    EXPECT_EQ(e.problems, "");
    const std::map<std::string, std::string> counters = {
        {"vantrel_readings_total", "0"}, {"vantrel_comm_errors_total", "0"}, {"vantrel_measuring", "1"}};
    EXPECT_EQ(e.values, counters);

    const std::string standby = RenderMetrics(WithReading(kLogRsocStandby, 24.5, 3700, 1000));
    e = Parse(standby, "{device=\"A1B2C3\"}");
    EXPECT_EQ(e.problems, "");
    EXPECT_EQ(standby.find("rsoc"), std::string::npos) << "neither sample nor HELP/TYPE";
    EXPECT_EQ(e.values.size(), 6u);
    EXPECT_EQ(e.values.at("vantrel_voltage_volts"), "3.700");
}

TEST(CliMetrics, DeviceLabelEscaped)
{
    struct Case {
        const char* device;
        const char* escaped;
    } const cases[] = {
        {"\\\\?\\hid#vid_5e3a&pid_fffd#7&1a2b#{4d1e}", "\\\\\\\\?\\\\hid#vid_5e3a&pid_fffd#7&1a2b#{4d1e}"},
        {"say \"A1\"\nnext", "say \\\"A1\\\"\\nnext"},
        {"", ""},
        {"\xE6\xB8\xAC\xE5\xAE\x9A", "\xE6\xB8\xAC\xE5\xAE\x9A"},  // UTF-8 stays as it is
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeLabelValue(c.device), c.escaped);
        BoardMetrics m = WithReading(50, 25.0, 3800, 1000);
        m.device = c.device;
        const std::string text = RenderMetrics(m);
        const Exposition e = Parse(text, std::string("{device=\"") + c.escaped + "\"}");
        EXPECT_EQ(e.problems, "") << text;
        EXPECT_EQ(e.values.size(), 7u) << "a line feed in the label must not break a sample in two";
    }
}

TEST(CliMetrics, EndedRunSaysSoAndKeepsItsLastValues)
{
    BoardMetrics m = WithReading(42, 30.5, 3678, 2000);
    m.measuring = false;
    const Exposition e = Parse(RenderMetrics(m), "{device=\"A1B2C3\"}");
    EXPECT_EQ(e.values.at("vantrel_measuring"), "0");
    EXPECT_EQ(e.values.at("vantrel_rsoc_ratio"), "0.42");
    EXPECT_EQ(e.values.at("vantrel_readings_total"), "7");
}

} // namespace
