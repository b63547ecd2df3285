#include "log/DemoSource.h"

#include <limits>

#include "log/LogFile.h"
#include "log/LogLine.h"
#include "log/TextNumbers.h"

namespace {

bool SeekTo(std::FILE* f, int64_t pos)
{
#if defined(_WIN32)
    return _fseeki64(f, pos, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

int64_t SizeOf(std::FILE* f)
{
#if defined(_WIN32)
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return 0;
    const int64_t size = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0)
        return 0;
    const int64_t size = static_cast<int64_t>(ftello(f));
#endif
    return size < 0 ? 0 : size;
}

// Reads one line (its line break removed; a measurement line is kept only as far as
// the log reader would parse it). Returns the number of bytes consumed, 0 at the end.
int64_t ReadLine(std::FILE* f, std::string& line)
{
    line.clear();
    int64_t consumed = 0;
    int c;
    while ((c = std::getc(f)) != EOF) {
        ++consumed;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        if (line.size() <= kLogMeasurementLineCap)
            line.push_back(static_cast<char>(c));
    }
    return consumed;
}

} // namespace

int32_t TruncateToInt32(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::FILE* DemoSource::OpenDemoFile()
{
    return OpenLogFile(L"Demo.txt", "rb");
}

DemoSource::DemoSource(FileOpener open) : open_(std::move(open)) {}

void DemoSource::SetSteps(uint16_t receiveIntervalSeconds)
{
    m_demoRsocStep = receiveIntervalSeconds / 30.0;
    m_demoVoltageStep = receiveIntervalSeconds / 3.0;
}

DemoReading DemoSource::GetDemoReading()
{
    std::FILE* file = open_ ? open_() : nullptr;
    if (file != nullptr) {
        PlayBack(file);
        std::fclose(file);
        return DemoReading{m_demoRsoc, static_cast<double>(TruncateToUInt16(m_demoVoltage)),
                           m_demoTemperature};
    }
    uint16_t voltage = 0;
    Generate(voltage);
    return DemoReading{m_demoRsoc, static_cast<double>(voltage), m_demoTemperature};
}

void DemoSource::PlayBack(std::FILE* file)
{
    const int64_t length = SizeOf(file);
    int64_t position = m_demoFilePos;
    if (!SeekTo(file, position)) {
        m_demoFilePos = 0;
        return;
    }
    for (;;) {
        position += ReadLine(file, line_);
        m_demoFilePos = position >= length ? 0 : position;
        if (line_.empty() || line_[0] != '<')
            break;
    }
    LogTokenizer tokens(line_.data(), line_.size());
    const char* first;
    const char* last;
    if (!tokens.Next(first, last))
        return; // no token at all: nothing changes
    double* const fields[] = {&m_demoRsoc, &m_demoTemperature, &m_demoVoltage};
    for (double* field : fields) {
        if (!tokens.Next(first, last)) {
            *field = 0.0;
            break;
        }
        *field = ParseDouble(first, last);
    }
}

void DemoSource::Generate(uint16_t& voltage)
{
    m_demoRsoc -= m_demoRsocStep;
    if (m_demoRsoc <= 41.0) {
        m_demoRsoc = 90.9;
        m_demoVoltage = 4250.5;
    } else {
        m_demoVoltage -= m_demoVoltageStep;
    }
    const int r1 = rand_.Next();
    voltage = TruncateToUInt16(m_demoVoltage + 1.0 - r1 / 16384.0);
    const int r2 = rand_.Next();
    m_demoTemperature = 25.4 + (1.0 - r2 / 16384.0) / 15;
}
