#include "cli/CliExitCodes.h"

namespace {

const CliExitCodeInfo kCodes[] = {
    {kExitOk, L"success (measure: also when ended by Ctrl+C or a closed console)"},
    {kExitFailure, L"the program could not start its receive thread or window"},
    {kExitUsage, L"unknown command or option, or a bad or missing value"},
    {kExitNoBoard, L"Sub board was not found (or could not be opened)"},
    {kExitBoardLost, L"the sub board was disconnected during the command"},
    {kExitCommError, L"Communication error: the measurement was ended by the sub board"},
    {kExitTimeout, L"time-out: no reply to read-word, or the flash write fell silent"},
    {kExitFileError, L"open file error, or the output could not be written"},
    {kExitFileSize, L"file size error: the flash image text is empty or too long"},
    {kExitVerifyError, L"Verify error: the flash does not hold the image"},
    {kExitI2cError, L"I2C communication error during the flash write"},
    {kExitInterrupted, L"stopped by Ctrl+C or a closed console"},
};

} // namespace

std::size_t CliExitCodeCount()
{
    return sizeof kCodes / sizeof kCodes[0];
}

const CliExitCodeInfo& CliExitCodeAt(std::size_t index)
{
    return kCodes[index];
}
