#include "cli/CliHelp.h"

#include "cli/CliExitCodes.h"

namespace {

const wchar_t kOverview[] =
    L"usage: vantrel-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
    L"\n"
    L"Commands:\n"
    L"  list                  print every sub board found: path, serial number, product\n"
    L"  measure               measure and print one log-file line per reading\n"
    L"  read-word CMD         read one gauge register and print its value in hex\n"
    L"  write-word CMD DATA   write one gauge register\n"
    L"  flash IMAGE.txt       write a flash image into the gauge and verify it\n"
    L"  help [COMMAND]        show this text, or the usage of one command\n"
    L"\n"
    L"Every command takes --help, --device PATH (the board to use, as list prints\n"
    L"it; without it the last one found) and --config FILE. The communication\n"
    L"settings (period, bus, I2C clock) come from FILE, else from Vantrel.ini\n"
    L"beside the program on Windows (as for Vantrel.exe) or in\n"
    L"$XDG_CONFIG_HOME/vantrel/ (~/.config/vantrel/) on Linux. Sub boards are\n"
    L"looked for among the HID devices and in the paths listed in the environment\n"
    L"variable VANTREL_DEVICE (separated by ';'). Data goes to standard output;\n"
    L"errors and progress go to standard error. On Linux SIGINT, SIGTERM and\n"
    L"SIGHUP end a command as Ctrl+C does.\n";

const wchar_t kList[] =
    L"usage: vantrel-cli list [--device PATH]\n"
    L"\n"
    L"Prints one line per sub board found, in the order they are found: its device\n"
    L"path, then, separated by tabs, its HID serial number and product where it\n"
    L"has them (a simulated board has none). The other commands use the last one\n"
    L"unless --device names another. With --device only that board is listed.\n"
    L"Exits with 3 when there is none.\n";

const wchar_t kMeasure[] =
    L"usage: vantrel-cli measure [--interval S] [--i2c 100|400 | --owsi]\n"
    L"                           [--count N | --duration S] [--out FILE]\n"
    L"                           [--metrics-file FILE]\n"
    L"\n"
    L"Sends the communication settings and starts a measurement. Every reading\n"
    L"becomes one line in the log-file format, e.g.\n"
    L"  2019/01/18 09:05:07, 85, 25.0, 3801\n"
    L"written and flushed at once, so the file loads with \"Load LogFile\".\n"
    L"\n"
    L"  --interval S    measuring period in whole seconds, 1 to 300\n"
    L"  --i2c 100|400   I2C bus at this clock in kHz\n"
    L"  --owsi          one-wire bus (OWSI)\n"
    L"  --count N       stop after N readings\n"
    L"  --duration S    stop after S seconds, 0.001 to 999999999.999 (up to three\n"
    L"                  decimals)\n"
    L"  --out FILE      write the lines to FILE (created or emptied) instead of\n"
    L"                  standard output\n"
    L"  --metrics-file FILE\n"
    L"                  keep the board's state in FILE in the Prometheus text\n"
    L"                  format (for the textfile folder of node_exporter or\n"
    L"                  windows_exporter), replaced whole at the start, after\n"
    L"                  every reading and communication error and at the end;\n"
    L"                  a FILE that cannot be written is reported once and the\n"
    L"                  measurement goes on; it must not be the --out FILE\n"
    L"\n"
    L"Options not given come from Vantrel.ini. Without --count or --duration the\n"
    L"measurement runs until Ctrl+C or until the console is closed. The stop frame\n"
    L"goes to the sub board however the measurement ends. When the sub board\n"
    L"reports a communication error (33 in a row), it ends with exit code 5.\n";

const wchar_t kReadWord[] =
    L"usage: vantrel-cli read-word CMD [--timeout S]\n"
    L"\n"
    L"Reads the 16-bit register with command number CMD (one or two hex digits,\n"
    L"00-FF, nothing else) and prints its value in lower-case hex without prefix,\n"
    L"as the Read word field shows it.\n"
    L"\n"
    L"  --timeout S     wait at most S seconds for the reply (default 2; 0.001 to\n"
    L"                  4294967.295); then exit with 6\n";

const wchar_t kWriteWord[] =
    L"usage: vantrel-cli write-word CMD DATA\n"
    L"\n"
    L"Writes DATA (hex, 0000-FFFF) into the register with command number CMD (hex,\n"
    L"00-FF). CMD must be one or two hex digits and DATA one to four, nothing\n"
    L"else (no 0x, no sign): any other text ends with exit code 2 and writes\n"
    L"nothing. The sub board confirms nothing.\n";

const wchar_t kFlash[] =
    L"usage: vantrel-cli flash IMAGE.txt [--timeout S]\n"
    L"\n"
    L"Reads the image file as \"Open file\" does, prints its file type (0xXXXX),\n"
    L"writes the image block by block, verifies it and prints \"Flash write success\".\n"
    L"Progress (write block k of n, then verify block k of n) goes to standard\n"
    L"error.\n"
    L"\n"
    L"  --timeout S     give up when the sub board stays silent for S seconds\n"
    L"                  (default 10; 0.001 to 4294967.295); then exit with 6\n"
    L"\n"
    L"The image file is text: its lines are joined without their line ends (CR LF\n"
    L"or LF; nothing else is removed, so blanks, commas or 0x shift the pairs) and\n"
    L"the joined text is cut into pieces of two characters from its start, each\n"
    L"one byte of the image read as hex (its leading hex digits; none gives 00). At\n"
    L"most 3328 characters (13 blocks of 128 bytes), at least 1; the image is\n"
    L"padded with FF to whole blocks. No header, address or checksum. The file\n"
    L"type is the little-endian word at image bytes 1604-1605 plus 0x55AA.\n"
    L"Example: the lines 0102 and A0FF give the bytes 01 02 A0 FF, then 124 x FF.\n";

} // namespace

std::wstring CliHelpText(CliCommand command)
{
    switch (command) {
    case CliCommand::List: return kList;
    case CliCommand::Measure: return kMeasure;
    case CliCommand::ReadWord: return kReadWord;
    case CliCommand::WriteWord: return kWriteWord;
    case CliCommand::Flash: return kFlash;
    case CliCommand::None: break;
    }
    std::wstring text = kOverview;
    text += L"\nExit codes:\n";
    for (size_t i = 0; i < CliExitCodeCount(); ++i) {
        const CliExitCodeInfo& info = CliExitCodeAt(i);
        std::wstring number = std::to_wstring(static_cast<int>(info.code));
        if (number.size() < 2) number.insert(0, 1, L' ');
        text += L"  " + number + L"  " + info.meaning + L"\n";
    }
    return text;
}

std::wstring CliUsageHint(CliCommand command)
{
    if (command == CliCommand::None) return L"Try 'vantrel-cli --help'.";
    return std::wstring(L"Try 'vantrel-cli ") + CliCommandName(command) + L" --help'.";
}
