#include "cli/CliOptions.h"

#include <initializer_list>

#include "comm/CommSettings.h"

namespace {

struct CommandName {
    CliCommand command;
    const wchar_t* name;
    size_t positionals;  // arguments besides options
};

const CommandName kCommands[] = {
    {CliCommand::List, L"list", 0},           {CliCommand::Measure, L"measure", 0},
    {CliCommand::ReadWord, L"read-word", 1},  {CliCommand::WriteWord, L"write-word", 2},
    {CliCommand::Flash, L"flash", 1},
};

const CommandName* FindCommand(const std::wstring& name)
{
    for (const CommandName& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool IsHelpWord(const std::wstring& arg)
{
    return arg == L"--help" || arg == L"-h" || arg == L"/?";
}

// A whole decimal number in [low, high].
std::optional<uint64_t> ParseWhole(const std::wstring& text, uint64_t low, uint64_t high)
{
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

class CParser {
public:
    explicit CParser(const std::vector<std::wstring>& args) : m_args(args) {}

    CliParseResult Run();

private:
    bool Fail(const std::wstring& message)
    {
        if (m_result.error.empty()) m_result.error = message;
        return false;
    }
    bool Option(const std::wstring& name, const std::optional<std::wstring>& inlineValue, size_t& i);
    bool TakeValue(const std::wstring& name, const std::optional<std::wstring>& inlineValue, size_t& i,
                   std::wstring& value);
    bool Allowed(const std::wstring& name, std::initializer_list<CliCommand> commands);
    bool Positionals(const std::vector<std::wstring>& values);
    // CMD (and DATA for write-word) into their texts and values.
    bool Register(const std::wstring& command, const std::wstring* data);
    bool Combinations();

    const std::vector<std::wstring>& m_args;
    CliParseResult m_result;
    const CommandName* m_command = nullptr;
};

CliParseResult CParser::Run()
{
    CliOptions& o = m_result.options;
    if (m_args.empty()) {
        Fail(L"no command given");
        return m_result;
    }
    const std::wstring& first = m_args[0];
    if (IsHelpWord(first) || first == L"help") {
        o.help = true;
        if (m_args.size() > 1) {
            const CommandName* topic = FindCommand(m_args[1]);
            if (!topic) Fail(L"no help for '" + m_args[1] + L"': not a command");
            else o.command = topic->command;
        }
        return m_result;
    }
    m_command = FindCommand(first);
    if (!m_command) {
        Fail(L"unknown command '" + first + L"'");
        return m_result;
    }
    o.command = m_command->command;
    o.timeoutMs = o.command == CliCommand::Flash ? kDefaultFlashTimeoutMs : kDefaultReadWordTimeoutMs;

    // Asking for help wins over every other mistake on the line.
    for (size_t i = 1; i < m_args.size() && m_args[i] != L"--"; ++i) {
        if (IsHelpWord(m_args[i])) {
            o.help = true;
            return m_result;
        }
    }

    std::vector<std::wstring> positionals;
    bool optionsEnded = false;
    for (size_t i = 1; i < m_args.size(); ++i) {
        const std::wstring& arg = m_args[i];
        if (!optionsEnded && arg == L"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.compare(0, 2, L"--") == 0) {
            const size_t eq = arg.find(L'=');
            std::optional<std::wstring> inlineValue;
            if (eq != std::wstring::npos) inlineValue = arg.substr(eq + 1);
            if (!Option(arg.substr(0, eq), inlineValue, i)) return m_result;
        } else {
            // A single dash is no option mark: "-1" is a command number.
            positionals.push_back(arg);
        }
    }
    if (Positionals(positionals)) Combinations();
    return m_result;
}

bool CParser::Allowed(const std::wstring& name, std::initializer_list<CliCommand> commands)
{
    for (CliCommand c : commands)
        if (c == m_command->command) return true;
    return Fail(L"option " + name + L" does not apply to " + m_command->name);
}

bool CParser::TakeValue(const std::wstring& name, const std::optional<std::wstring>& inlineValue, size_t& i,
                        std::wstring& value)
{
    if (inlineValue) {
        value = *inlineValue;
        return true;
    }
    if (i + 1 >= m_args.size()) return Fail(L"option " + name + L" needs a value");
    value = m_args[++i];
    return true;
}

bool CParser::Option(const std::wstring& name, const std::optional<std::wstring>& inlineValue, size_t& i)
{
    CliOptions& o = m_result.options;
    std::wstring value;
    if (name == L"--owsi") {
        if (!Allowed(name, {CliCommand::Measure})) return false;
        if (inlineValue) return Fail(L"option --owsi takes no value");
        o.owsi = true;
        return true;
    }
    if (name == L"--interval") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        const auto seconds = ParseWhole(value, kMinReceiveInterval, kMaxReceiveInterval);
        if (!seconds) return Fail(L"--interval wants whole seconds from 1 to 300, not '" + value + L"'");
        o.intervalSeconds = static_cast<uint16_t>(*seconds);
        return true;
    }
    if (name == L"--i2c") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        if (value != L"100" && value != L"400") return Fail(L"--i2c wants 100 or 400 (kHz), not '" + value + L"'");
        o.i2cClockKHz = static_cast<uint16_t>(value == L"100" ? 100 : 400);
        return true;
    }
    if (name == L"--count") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        const auto count = ParseWhole(value, 1, UINT32_MAX);
        if (!count) return Fail(L"--count wants a number of readings from 1, not '" + value + L"'");
        o.count = static_cast<uint32_t>(*count);
        return true;
    }
    if (name == L"--duration") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        const auto ms = ParseSecondsToMs(value);
        if (!ms || *ms == 0)
            return Fail(L"--duration wants seconds from 0.001 to 999999999.999 (at most three decimals), not '" +
                        value + L"'");
        o.durationMs = *ms;
        return true;
    }
    if (name == L"--out") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        if (value.empty()) return Fail(L"--out wants a file name");
        o.outPath = value;
        return true;
    }
    if (name == L"--metrics-file") {
        if (!Allowed(name, {CliCommand::Measure}) || !TakeValue(name, inlineValue, i, value)) return false;
        if (value.empty()) return Fail(L"--metrics-file wants a file name");
        o.metricsPath = value;
        return true;
    }
    if (name == L"--device") {
        if (!TakeValue(name, inlineValue, i, value)) return false;
        if (value.empty()) return Fail(L"--device wants a device path as 'vantrel-cli list' prints it");
        o.devicePath = value;
        return true;
    }
    if (name == L"--config") {
        if (!TakeValue(name, inlineValue, i, value)) return false;
        if (value.empty()) return Fail(L"--config wants a file name");
        o.configPath = value;
        return true;
    }
    if (name == L"--timeout") {
        if (!Allowed(name, {CliCommand::ReadWord, CliCommand::Flash}) || !TakeValue(name, inlineValue, i, value))
            return false;
        const auto ms = ParseSecondsToMs(value);
        // Waits count in 32-bit milliseconds: up to about 49 days.
        if (!ms || *ms == 0 || *ms > UINT32_MAX)
            return Fail(L"--timeout wants seconds from 0.001 to 4294967.295 (at most three decimals), not '" +
                        value + L"'");
        o.timeoutMs = static_cast<uint32_t>(*ms);
        return true;
    }
    return Fail(L"unknown option " + name + L" for " + m_command->name);
}

bool CParser::Positionals(const std::vector<std::wstring>& values)
{
    CliOptions& o = m_result.options;
    if (values.size() > m_command->positionals)
        return Fail(L"unexpected argument '" + values[m_command->positionals] + L"' for " + m_command->name);
    if (values.size() < m_command->positionals) {
        switch (m_command->command) {
        case CliCommand::ReadWord: return Fail(L"read-word needs the command number CMD (hex)");
        case CliCommand::WriteWord: return Fail(L"write-word needs the command number CMD and the word DATA (hex)");
        case CliCommand::Flash: return Fail(L"flash needs the image file");
        default: return Fail(L"missing argument");
        }
    }
    switch (m_command->command) {
    case CliCommand::ReadWord: return Register(values[0], nullptr);
    case CliCommand::WriteWord: return Register(values[0], &values[1]);
    case CliCommand::Flash: o.imagePath = values[0]; break;
    default: break;
    }
    return true;
}

bool CParser::Register(const std::wstring& command, const std::wstring* data)
{
    CliOptions& o = m_result.options;
    const std::optional<uint32_t> number = ParseHexDigits(command, 2);
    if (!number)
        return Fail(std::wstring(m_command->name) + L": CMD must be one or two hex digits (00-FF), not '" + command +
                    L"'");
    o.commandText = command;
    o.commandNumber = static_cast<uint8_t>(*number);
    if (!data) return true;
    const std::optional<uint32_t> word = ParseHexDigits(*data, 4);
    if (!word)
        return Fail(std::wstring(m_command->name) + L": DATA must be one to four hex digits (0000-FFFF), not '" +
                    *data + L"'");
    o.dataText = *data;
    o.dataWord = static_cast<uint16_t>(*word);
    return true;
}

bool CParser::Combinations()
{
    const CliOptions& o = m_result.options;
    if (o.owsi && o.i2cClockKHz) return Fail(L"--i2c and --owsi choose different buses; give one of them");
    if (o.count && o.durationMs) return Fail(L"--count and --duration both end the measurement; give one of them");
    return true;
}

} // namespace

CliParseResult ParseCliArguments(const std::vector<std::wstring>& args)
{
    return CParser(args).Run();
}

std::optional<uint32_t> ParseHexDigits(const std::wstring& text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits || maxDigits > 8) return std::nullopt;
    uint32_t value = 0;
    for (wchar_t c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

const wchar_t* CliCommandName(CliCommand command)
{
    for (const CommandName& c : kCommands)
        if (c.command == command) return c.name;
    return L"";
}

std::optional<uint64_t> ParseSecondsToMs(const std::wstring& text)
{
    const size_t point = text.find(L'.');
    const std::wstring whole = text.substr(0, point);
    const std::wstring fraction = point == std::wstring::npos ? std::wstring() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 9) return std::nullopt;
    if (point != std::wstring::npos && (fraction.empty() || fraction.size() > 3)) return std::nullopt;
    uint64_t ms = 0;
    for (wchar_t c : whole) {
        if (c < L'0' || c > L'9') return std::nullopt;
        ms = ms * 10 + static_cast<uint64_t>(c - L'0');
    }
    ms *= 1000;
    uint64_t scale = 100;
    for (wchar_t c : fraction) {
        if (c < L'0' || c > L'9') return std::nullopt;
        ms += scale * static_cast<uint64_t>(c - L'0');
        scale /= 10;
    }
    return ms;
}

std::wstring SecondsText(uint64_t ms)
{
    std::wstring text = std::to_wstring(ms / 1000);
    uint64_t fraction = ms % 1000;
    if (fraction == 0) return text;
    text += L'.';
    for (uint64_t scale = 100; fraction != 0; scale /= 10) {
        text += static_cast<wchar_t>(L'0' + fraction / scale);
        fraction %= scale;
    }
    return text;
}

CommValues EffectiveCommValues(const CAppSettings& settings, const CliOptions& options)
{
    CommValues v{settings.ReceiveInterval, settings.I2cClock, settings.CommType};
    if (options.intervalSeconds) v.receiveInterval = *options.intervalSeconds;
    if (options.i2cClockKHz) {
        v.commType = kCommTypeI2c;
        v.i2cClock = *options.i2cClockKHz;
    }
    // The clock stays as stored: the settings frame carries it for OWSI too.
    if (options.owsi) v.commType = kCommTypeOwsi;
    return v;
}

std::vector<std::wstring> CommSettingsFileNotes(const CAppSettings& settings, const SettingsFileNumbers& numbers,
                                                const CliOptions& options)
{
    struct Rule {
        const wchar_t* key;
        bool overridden;
        bool (*allowed)(int32_t);
        std::wstring range;
    } const rules[] = {
        {L"ReceiveInterval", options.intervalSeconds.has_value(),
         [](int32_t v) { return v >= kMinReceiveInterval && v <= kMaxReceiveInterval; },
         std::to_wstring(kMinReceiveInterval) + L" to " + std::to_wstring(kMaxReceiveInterval)},
        {L"I2cClock", options.i2cClockKHz.has_value(), [](int32_t v) { return v == 100 || v == 400; },
         L"100 or 400"},
        {L"CommType", options.i2cClockKHz || options.owsi,
         [](int32_t v) { return v == kCommTypeI2c || v == kCommTypeOwsi; }, L"0 I2C or 1 OWSI"},
    };
    std::vector<std::wstring> notes;
    for (const Rule& rule : rules) {
        if (rule.overridden) continue;
        for (size_t i = 0; i < kSettingsKeyCount; ++i) {
            if (std::wstring(SettingsKeyAt(i).key) != rule.key || rule.allowed(numbers[i])) continue;
            notes.push_back(L"settings file: " + std::wstring(rule.key) + L"=" + std::to_wstring(numbers[i]) +
                            L" is outside what the Communicate dialog sets (" + rule.range + L"); used as " +
                            std::to_wstring(SettingsValue(settings, i)));
        }
    }
    return notes;
}
