#pragma once
// The usage texts of vantrel-cli.
#include <string>

#include "cli/CliOptions.h"

// The usage of one command; None gives the overview with the exit codes.
std::wstring CliHelpText(CliCommand command);

// One line for standard error after a usage mistake.
std::wstring CliUsageHint(CliCommand command);
