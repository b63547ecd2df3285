#include "comm/CommSettings.h"

int I2cClockIndex(uint16_t i2cClockKHz)
{
    return i2cClockKHz == 100 ? 0 : 1;
}

uint16_t I2cClockFromIndex(int index)
{
    return index != 0 ? 400 : 100;
}

std::wstring CommSettingsMessage(uint16_t receiveInterval, uint16_t i2cClockKHz, uint16_t commType)
{
    std::wstring text = L"<Communicate> Period of measure:" + std::to_wstring(receiveInterval) + L"s";
    if (commType == kCommTypeI2c)
        text += L" Communication type:I2C I2C clock frequency:" + std::to_wstring(i2cClockKHz) + L"kHz";
    else
        text += L" Communication type:OWSI";
    return text;
}
