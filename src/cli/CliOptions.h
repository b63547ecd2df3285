#pragma once
// The command line of vantrel-cli: "vantrel-cli COMMAND [ARGUMENTS] [OPTIONS]".
// Options are "--name VALUE" or "--name=VALUE"; "--" ends them. A later
// option overrides an earlier one of the same name.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"

enum class CliCommand { None, List, Measure, ReadWord, WriteWord, Flash };

constexpr uint32_t kDefaultReadWordTimeoutMs = 2000;
// A flash write gives up after this long without an acknowledgement.
constexpr uint32_t kDefaultFlashTimeoutMs = 10000;

struct CliOptions {
    CliCommand command = CliCommand::None;
    // --help, -h or "help": print the usage of `command` (None: the overview).
    bool help = false;

    // measure
    std::optional<uint16_t> intervalSeconds;
    std::optional<uint16_t> i2cClockKHz;
    bool owsi = false;
    std::optional<uint32_t> count;
    std::optional<uint64_t> durationMs;
    std::wstring outPath;
    // The board's state in the Prometheus text format, replaced as it changes.
    std::wstring metricsPath;

    // read-word and write-word: the texts as typed and their values. Unlike
    // the dialog's edits, only whole hex numbers are taken: CMD one or two
    // digits, DATA one to four, so that a typo on an unattended bench cannot
    // reach another register.
    std::wstring commandText;
    std::wstring dataText;
    uint8_t commandNumber = 0;
    uint16_t dataWord = 0;

    // read-word: how long to wait for the reply; flash: how long the sub
    // board may stay silent.
    uint32_t timeoutMs = 0;

    // flash
    std::wstring imagePath;

    // Every board command: the board to use (a path as `list` prints it);
    // empty means the last one found.
    std::wstring devicePath;
    // Every command: the settings file to read instead of the usual one.
    std::wstring configPath;
};

struct CliParseResult {
    CliOptions options;
    std::wstring error;  // empty when the command line is usable
    bool Ok() const { return error.empty(); }
};

// args: the arguments after the program name.
CliParseResult ParseCliArguments(const std::vector<std::wstring>& args);

// "list", "measure", ...; empty for None.
const wchar_t* CliCommandName(CliCommand command);

// A text of 1 to maxDigits hexadecimal digits (either case) and nothing else.
std::optional<uint32_t> ParseHexDigits(const std::wstring& text, size_t maxDigits);

// Seconds as typed: digits with up to three decimals ("2", "0.5", "1.25"), at
// most 9 digits before the point. nullopt for anything else.
std::optional<uint64_t> ParseSecondsToMs(const std::wstring& text);
// Milliseconds as seconds in that form: 2000 gives "2", 1250 gives "1.25".
std::wstring SecondsText(uint64_t ms);

// The communication settings a command sends: the settings file's values,
// overridden by --interval, --i2c and --owsi.
struct CommValues {
    uint16_t receiveInterval;  // seconds
    uint16_t i2cClock;         // kHz
    uint16_t commType;         // 0 I2C, 1 OWSI
};
CommValues EffectiveCommValues(const CAppSettings& settings, const CliOptions& options);

// One line for each communication value that comes from the settings file
// (no option overrides it) and lies outside what the Communicate dialog lets
// a user set: the key, the number the file gave and the value used, e.g.
// "settings file: ReceiveInterval=99999 is outside what the Communicate
// dialog sets (1 to 300); used as 34463".
std::vector<std::wstring> CommSettingsFileNotes(const CAppSettings& settings, const SettingsFileNumbers& numbers,
                                                const CliOptions& options);
