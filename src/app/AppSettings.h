#pragma once
// The settings record kept in "Vantrel.ini": gauge values ("Initial"), carried
// through the run unchanged, and the communication settings ("Comm").
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct CAppSettings {
    uint8_t AdjustmentPack8;
    uint8_t AdjustmentPackThermistor;
    int32_t HotStart;
    int32_t SleepMode;
    int32_t AutoMode;
    int32_t AlarmEnable;
    uint8_t AlarmLowBatteryVoltage;
    uint8_t AlarmLowBatteryPercent;
    uint16_t AdjustmentB;
    int32_t TemperatureEnable;
    uint16_t CellTemperature;
    uint16_t AdjustmentPack0;
    uint16_t AdjustmentPack1;
    uint16_t AdjustmentPack2;
    uint16_t AdjustmentPack3;
    uint16_t AdjustmentPack4;
    uint16_t AdjustmentPack5;
    uint16_t ReceiveInterval;
    uint16_t I2cClock;
    uint16_t CommType;

    // Reads / writes the file beside the executable (Win32 profile API).
    void Load();
    void Save() const;
};

// One key of the file: where it lives, how wide its field is, its default.
struct SettingsKey {
    const wchar_t* section;
    const wchar_t* key;
    int width;  // 8, 16 or 32 bits
    int32_t defaultValue;
};

constexpr std::size_t kSettingsKeyCount = 20;
// The keys in the order they are read and written.
const SettingsKey& SettingsKeyAt(std::size_t index);

// The number each key's text gave (ParseSettingsValue), in key order, before
// the cut to the field's width: what the file said, for telling a user what
// was made of it.
using SettingsFileNumbers = std::array<int32_t, kSettingsKeyCount>;
// The fields' values widened as SettingsValue does: what a record holds
// when no file was read.
SettingsFileNumbers SettingsNumbersOf(const CAppSettings& settings);

// Stores a value read from the file into the field of key `index`, keeping
// only the field's width (300 in an 8-bit field becomes 44).
void StoreSettingsValue(CAppSettings& settings, std::size_t index, int32_t value);
// The field's value widened to 32 bits (zero-extended for unsigned fields).
int32_t SettingsValue(const CAppSettings& settings, std::size_t index);
// Fills every field with its default.
void ResetSettings(CAppSettings& settings);

// How a value text from the file becomes a number: optional blanks, optional
// sign, decimal digits; anything after the digits is ignored; values beyond
// 32 bits saturate. Text without digits (empty, "abc", "-") yields the key's
// default, so a damaged file never turns into a zero period or clock.
int32_t ParseSettingsValue(const std::wstring& text, int32_t defaultValue);

// "Vantrel.ini" in the directory of the given executable path, whatever the
// executable is called. Both '\\' and '/' separate directories.
std::wstring SettingsPathForExecutable(const std::wstring& exePath);

// The settings file for what the platform wrote as the executable's path:
// `written` characters into a buffer of `capacity`. A buffer it filled holds
// a cut path, whose directory may be a parent of the real one; that, no path
// at all, and a settings path that would not fit `capacity` all give the bare
// "Vantrel.ini".
std::wstring SettingsPathForModuleName(const wchar_t* name, std::size_t written, std::size_t capacity);
