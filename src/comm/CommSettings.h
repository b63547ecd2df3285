#pragma once
// The communication settings as the settings dialog presents them and as the
// log records them when they are handed to the sub board.
#include <cstdint>
#include <string>

// Period of measure accepted by the dialog, in seconds.
constexpr int kMinReceiveInterval = 1;
constexpr int kMaxReceiveInterval = 300;

// What the dialog edits: the three communication keys of the settings record.
struct CommSettingValues {
    uint16_t ReceiveInterval;
    uint16_t I2cClock;
    uint16_t CommType;
};

// Bus kinds in the order of the dialog's list.
constexpr uint16_t kCommTypeI2c = 0;
constexpr uint16_t kCommTypeOwsi = 1;

// The clock list holds "100" (index 0) and "400" (index 1). A stored clock
// other than 100 shows as "400", so an odd value from the file becomes 400
// once the dialog is confirmed.
int I2cClockIndex(uint16_t i2cClockKHz);
uint16_t I2cClockFromIndex(int index);

// The log list's message row for the communication-settings command: the bus
// and, for I2C, the clock. Any bus other than I2C reads as OWSI.
std::wstring CommSettingsMessage(uint16_t receiveInterval, uint16_t i2cClockKHz, uint16_t commType);
