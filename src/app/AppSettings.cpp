#include "app/AppSettings.h"

#include <climits>
#include <type_traits>

namespace {
const SettingsKey kKeys[kSettingsKeyCount] = {
    {L"Initial", L"AdjustmentPack8", 8, 17},
    {L"Initial", L"AdjustmentPackThermistor", 8, 0},
    {L"Initial", L"HotStart", 32, 0},
    {L"Initial", L"SleepMode", 32, 0},
    {L"Initial", L"AutoMode", 32, 0},
    {L"Initial", L"AlarmEnable", 32, 1},
    {L"Initial", L"AlarmLowBatteryVoltage", 8, 0},
    {L"Initial", L"AlarmLowBatteryPercent", 8, 8},
    {L"Initial", L"AdjustmentB", 16, 3380},
    {L"Initial", L"TemperatureEnable", 32, 0},
    {L"Initial", L"CellTemperature", 16, 2982},
    {L"Initial", L"AdjustmentPack0", 16, 50},
    {L"Initial", L"AdjustmentPack1", 16, 51},
    {L"Initial", L"AdjustmentPack2", 16, 1891},
    {L"Initial", L"AdjustmentPack3", 16, 4507},
    {L"Initial", L"AdjustmentPack4", 16, 15},
    {L"Initial", L"AdjustmentPack5", 16, 91},
    {L"Comm", L"ReceiveInterval", 16, 2},
    {L"Comm", L"I2cClock", 16, 100},
    {L"Comm", L"CommType", 16, 0},
};

// Field addresses in key order; the record is plain data.
template <class F>
void VisitField(CAppSettings& s, std::size_t index, F&& f)
{
    switch (index) {
    case 0: f(s.AdjustmentPack8); break;
    case 1: f(s.AdjustmentPackThermistor); break;
    case 2: f(s.HotStart); break;
    case 3: f(s.SleepMode); break;
    case 4: f(s.AutoMode); break;
    case 5: f(s.AlarmEnable); break;
    case 6: f(s.AlarmLowBatteryVoltage); break;
    case 7: f(s.AlarmLowBatteryPercent); break;
    case 8: f(s.AdjustmentB); break;
    case 9: f(s.TemperatureEnable); break;
    case 10: f(s.CellTemperature); break;
    case 11: f(s.AdjustmentPack0); break;
    case 12: f(s.AdjustmentPack1); break;
    case 13: f(s.AdjustmentPack2); break;
    case 14: f(s.AdjustmentPack3); break;
    case 15: f(s.AdjustmentPack4); break;
    case 16: f(s.AdjustmentPack5); break;
    case 17: f(s.ReceiveInterval); break;
    case 18: f(s.I2cClock); break;
    case 19: f(s.CommType); break;
    default: break;
    }
}
}

const SettingsKey& SettingsKeyAt(std::size_t index)
{
    return kKeys[index < kSettingsKeyCount ? index : kSettingsKeyCount - 1];
}

void StoreSettingsValue(CAppSettings& settings, std::size_t index, int32_t value)
{
    VisitField(settings, index, [value](auto& field) {
        // Conversion to the unsigned field type keeps the low bits.
        field = static_cast<std::remove_reference_t<decltype(field)>>(static_cast<uint32_t>(value));
    });
}

int32_t SettingsValue(const CAppSettings& settings, std::size_t index)
{
    int32_t out = 0;
    VisitField(const_cast<CAppSettings&>(settings), index,
               [&out](auto& field) { out = static_cast<int32_t>(field); });
    return out;
}

SettingsFileNumbers SettingsNumbersOf(const CAppSettings& settings)
{
    SettingsFileNumbers numbers{};
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) numbers[i] = SettingsValue(settings, i);
    return numbers;
}

void ResetSettings(CAppSettings& settings)
{
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i)
        StoreSettingsValue(settings, i, kKeys[i].defaultValue);
}

int32_t ParseSettingsValue(const std::wstring& text, int32_t defaultValue)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return defaultValue;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 1LL << 32) value = 1LL << 32;  // saturates below
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
}

std::wstring SettingsPathForExecutable(const std::wstring& exePath)
{
    std::size_t slash = exePath.find_last_of(L"\\/");
    std::wstring dir = slash == std::wstring::npos ? std::wstring() : exePath.substr(0, slash + 1);
    return dir + L"Vantrel.ini";
}

std::wstring SettingsPathForModuleName(const wchar_t* name, std::size_t written, std::size_t capacity)
{
    const std::wstring fallback = L"Vantrel.ini";
    if (written == 0 || written >= capacity) return fallback;
    const std::wstring path = SettingsPathForExecutable(std::wstring(name, written));
    return path.size() < capacity ? path : fallback;
}
