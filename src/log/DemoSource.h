// Readings of the demo modes: playback of "Demo.txt" when it can be opened,
// otherwise a generated discharge curve with a little noise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// The C runtime's rand() of the platform the tool was made for, never seeded:
// state = state * 214013 + 2531011, result bits 16..30, first state 1.
class PlatformRand {
public:
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

private:
    uint32_t state_ = 1;
};

// A double truncated toward zero as the x86 conversion does it: NaN and values
// outside the 32-bit range give INT32_MIN.
int32_t TruncateToInt32(double value);

// TruncateToInt32 kept in 16 bits.
inline uint16_t TruncateToUInt16(double value)
{
    return static_cast<uint16_t>(static_cast<uint32_t>(TruncateToInt32(value)));
}

struct DemoReading {
    double rsoc;        // percent
    double voltage;     // mV
    double temperature; // degrees Celsius
};

class DemoSource {
public:
    // Opens the playback file for reading in binary mode; nullptr when it cannot.
    using FileOpener = std::function<std::FILE*()>;

    // Opens "Demo.txt" in the current directory.
    static std::FILE* OpenDemoFile();

    explicit DemoSource(FileOpener open = &DemoSource::OpenDemoFile);

    // Slopes of the generated curve for a measuring period, so that RSOC falls by 1 %
    // per 30 s and the voltage by 1 mV per 3 s whatever the period.
    void SetSteps(uint16_t receiveIntervalSeconds);

    // The next reading. Playback reads the next measurement line from the kept file
    // position (message lines skipped, back to the top after the last line); the
    // curve steps down and restarts at 90.9 % once RSOC reaches 41 %.
    DemoReading GetDemoReading();

    double Rsoc() const { return m_demoRsoc; }
    double Voltage() const { return m_demoVoltage; }
    double Temperature() const { return m_demoTemperature; }
    int64_t FilePos() const { return m_demoFilePos; }

private:
    void PlayBack(std::FILE* file);
    void Generate(uint16_t& voltage);

    FileOpener open_;
    PlatformRand rand_;
    double m_demoRsoc = 90.9;
    double m_demoVoltage = 4250.5;
    double m_demoTemperature = 25.4; // defined before the first reading sets it
    double m_demoRsocStep = 1.0 / 30.0;
    double m_demoVoltageStep = 2.0 / 3.0;
    int64_t m_demoFilePos = 0;
    std::string line_;
};
