#include <gtest/gtest.h>

#include "comm/CommSettings.h"

TEST(CommSettingsText, BusDecidesWhetherTheClockIsNamed)
{
    struct Case { uint16_t interval, clock, type; const wchar_t* text; };
    const Case cases[] = {
        {2, 100, 0, L"<Communicate> Period of measure:2s Communication type:I2C I2C clock frequency:100kHz"},
        {300, 400, 0, L"<Communicate> Period of measure:300s Communication type:I2C I2C clock frequency:400kHz"},
        {300, 400, 1, L"<Communicate> Period of measure:300s Communication type:OWSI"},
        // Values straight from a hand-edited settings file are shown as they are.
        {65535, 250, 0, L"<Communicate> Period of measure:65535s Communication type:I2C I2C clock frequency:250kHz"},
        {1, 100, 7, L"<Communicate> Period of measure:1s Communication type:OWSI"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommSettingsMessage(c.interval, c.clock, c.type), c.text) << c.interval << " " << c.type;
}

TEST(CommSettingsClock, OnlyOneHundredSelectsTheFirstItem)
{
    EXPECT_EQ(I2cClockIndex(100), 0);
    for (uint16_t clock : {400, 250, 0, 101, 65535}) EXPECT_EQ(I2cClockIndex(clock), 1) << clock;
    EXPECT_EQ(I2cClockFromIndex(0), 100);
    EXPECT_EQ(I2cClockFromIndex(1), 400);
    // What an odd stored value becomes once the dialog is confirmed.
    EXPECT_EQ(I2cClockFromIndex(I2cClockIndex(250)), 400);
}
