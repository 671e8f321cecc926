// The command line of zettle: task options, help, files, log level and login.
#pragma once

#include <cstdint>

#include "SystemParameters.h"

class Console;

// Applies the options to `parameters`: -1 usage error (the usage text is
// printed), 0 help asked for (-h or -H; later arguments are not looked at),
// BatchMode when a task option was given, else InteractiveMode.
std::int16_t parseCommandLine(int argc, const char* const* argv, SystemParameters& parameters,
                              Console& console);
