#pragma once
// Exit codes of vantrel-cli. Scripts branch on them, so each failure a bench
// can act on has a code of its own and the numbers never change meaning.
#include <cstddef>

enum CliExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,       // the program itself could not run (no thread, no window)
    kExitUsage = 2,         // unknown command or option, bad or missing value
    kExitNoBoard = 3,       // no sub board found, or it could not be opened
    kExitBoardLost = 4,     // the sub board went away during the command
    kExitCommError = 5,     // the measurement ended with a communication error
    kExitTimeout = 6,       // no reply to read-word, or the flash write fell silent
    kExitFileError = 7,     // a file could not be opened, or output could not be written
    kExitFileSize = 8,      // the flash image text is empty or too long
    kExitVerifyError = 9,   // the flash content did not match the image
    kExitI2cError = 10,     // the sub board reported an I2C error during the flash write
    kExitInterrupted = 11,  // Ctrl+C or a closed console stopped read-word, write-word or flash
};

struct CliExitCodeInfo {
    CliExitCode code;
    const wchar_t* meaning;
};

// Every exit code with a one-line meaning, in ascending order.
std::size_t CliExitCodeCount();
const CliExitCodeInfo& CliExitCodeAt(std::size_t index);
