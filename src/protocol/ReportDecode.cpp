#include "protocol/ReportDecode.h"

namespace {

constexpr uint16_t kZeroCelsiusRaw = 2732;  // 273.2 K

uint16_t WordAt(const uint8_t* payload, int index)
{
    return static_cast<uint16_t>(payload[index] | (payload[index + 1] << 8));
}

}  // namespace

double TemperatureFromRaw(uint16_t raw)
{
    const uint16_t difference = static_cast<uint16_t>(raw - kZeroCelsiusRaw);
    const int32_t celsiusTenths = difference >= 0x8000 ? int32_t(difference) - 0x10000 : int32_t(difference);
    return celsiusTenths / 10.0;
}

MeasurementReading DecodeMeasurement(const uint8_t* payload)
{
    MeasurementReading reading;
    reading.rsoc = payload[1];
    reading.temperature = TemperatureFromRaw(WordAt(payload, 2));
    reading.voltage = WordAt(payload, 4);
    return reading;
}

uint16_t DecodeReadWordValue(const uint8_t* payload)
{
    return WordAt(payload, 2);
}

std::wstring ReadWordText(uint16_t value)
{
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value = static_cast<uint16_t>(value >> 4);
    } while (value != 0);
    return text;
}

bool IsAckAccepted(const uint8_t* payload)
{
    return payload[1] == 1;
}

bool IsVerifyMatched(const uint8_t* payload)
{
    return payload[2] == 1;
}
