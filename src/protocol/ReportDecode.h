#pragma once
// Reading the arguments of input reports. Every function takes the 64 payload
// bytes of one report (payload byte 0 is the report code).
#include <cstdint>
#include <string>

#include "protocol/ReportCodes.h"

struct MeasurementReading {
    uint8_t rsoc;        // percent
    double temperature;  // degrees Celsius
    uint16_t voltage;    // mV
};

// Raw temperature in 0.1 K to degrees Celsius: raw - 2732 wraps to a signed
// 16-bit value before the division, so raw 0 gives -273.2.
double TemperatureFromRaw(uint16_t raw);

MeasurementReading DecodeMeasurement(const uint8_t* payload);

// The register value of an RC_READ_WORD reply.
uint16_t DecodeReadWordValue(const uint8_t* payload);
// The value as the data field shows it: lower-case hex, no prefix, no
// leading zeros ("a5b", "0").
std::wstring ReadWordText(uint16_t value);

// Flash acknowledgements: status byte 1 means the sub board accepted the frame.
bool IsAckAccepted(const uint8_t* payload);
// RC_FLASH_VERIFY_END: verify status 1 means the flash content matched.
bool IsVerifyMatched(const uint8_t* payload);
