// What start-up reads from outside: settings values as text from the file,
// their storage into fields of 8, 16 and 32 bits, the settings path and the
// command line that picks the demo mode. Values are compared with a model
// that reads the decimal text by its length instead of accumulating.
#include <climits>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/RunMode.h"

namespace {

int32_t ReferenceSettingsValue(const std::wstring& text, int32_t defaultValue)
{
    size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos) {
        return defaultValue;
    }
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-') {
        negative = text[i] == L'-';
        ++i;
    }
    const size_t end = text.find_first_not_of(L"0123456789", i);
    const std::wstring digits = text.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
    if (digits.empty()) {
        return defaultValue;
    }
    const size_t first = digits.find_first_not_of(L'0');
    if (first == std::wstring::npos) {
        return 0;
    }
    const std::wstring significant = digits.substr(first);
    if (significant.size() > 10) {
        return negative ? INT_MIN : INT_MAX;
    }
    long long magnitude = std::stoll(std::string(significant.begin(), significant.end()));
    const long long value = negative ? -magnitude : magnitude;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int32_t>(value);
}

int32_t ReferenceDemoMode(const std::wstring& commandLine, bool shift, bool ctrl)
{
    std::wstring lower = commandLine;
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + 32);
        }
    }
    if (lower == L"-demo1") {
        return kDemoMode1;
    }
    if (lower == L"-demo2") {
        return kDemoMode2;
    }
    return shift ? (ctrl ? kDemoMode2 : kDemoMode1) : kNormalMode;
}

uint32_t WidthMask(int width)
{
    return width == 8 ? 0xFFu : width == 16 ? 0xFFFFu : 0xFFFFFFFFu;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const size_t index = input.ConsumeIntegralInRange<size_t>(0, kSettingsKeyCount + 2);
    const bool shift = input.ConsumeBool();
    const bool ctrl = input.ConsumeBool();
    const std::wstring text = FuzzWideText(input.ConsumeRemainingBytesAsString());

    CAppSettings settings;
    ResetSettings(settings);
    for (size_t i = 0; i < kSettingsKeyCount; ++i) {
        const SettingsKey& key = SettingsKeyAt(i);
        FUZZ_CHECK(key.width == 8 || key.width == 16 || key.width == 32);
        FUZZ_CHECK(SettingsValue(settings, i) == static_cast<int32_t>(static_cast<uint32_t>(key.defaultValue) & WidthMask(key.width)));
    }

    const SettingsKey& key = SettingsKeyAt(index);
    const int32_t value = ParseSettingsValue(text, key.defaultValue);
    FUZZ_CHECK(value == ReferenceSettingsValue(text, key.defaultValue));

    // Storing touches the one field, cut to its width, and nothing else.
    int32_t before[kSettingsKeyCount];
    for (size_t i = 0; i < kSettingsKeyCount; ++i) {
        before[i] = SettingsValue(settings, i);
    }
    StoreSettingsValue(settings, index, value);
    for (size_t i = 0; i < kSettingsKeyCount; ++i) {
        if (i != index) {
            FUZZ_CHECK(SettingsValue(settings, i) == before[i]);
        }
    }
    if (index < kSettingsKeyCount) {
        const uint32_t stored = static_cast<uint32_t>(SettingsValue(settings, index));
        FUZZ_CHECK(stored == (static_cast<uint32_t>(value) & WidthMask(key.width)));
        // The value written back at shutdown loads as the same field value.
        const std::wstring written = std::to_wstring(SettingsValue(settings, index));
        CAppSettings reloaded = settings;
        StoreSettingsValue(reloaded, index, ParseSettingsValue(written, key.defaultValue));
        FUZZ_CHECK(SettingsValue(reloaded, index) == SettingsValue(settings, index));
    }

    const std::wstring path = SettingsPathForExecutable(text);
    FUZZ_CHECK(path.size() >= 11 && path.compare(path.size() - 11, 11, L"Vantrel.ini") == 0);
    const size_t slash = text.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? std::wstring() : text.substr(0, slash + 1);
    FUZZ_CHECK(path == dir + L"Vantrel.ini");

    FUZZ_CHECK(ChooseDemoMode(text, shift, ctrl) == ReferenceDemoMode(text, shift, ctrl));
    return 0;
}
