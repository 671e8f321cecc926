// The configuration file of zettle: NAME value pairs separated by white
// space, values plain or in double quotes, "#" starting a comment that runs
// to the end of the line.
#pragma once

#include <string>

#include "SystemParameters.h"

class Console;

// Applies every key of the file at `path`, in order, until the end or the
// first error (reported on the console; the keys before it stay applied).
// 0, or -1 when the file cannot be opened or holds an error.
int parseConfigFile(const std::string& path, SystemParameters& parameters, Console& console);

// Stores one key's value: 0, or -1 for an unknown name (reported on the
// console). Names are compared exactly.
int setSystemParameter(const std::string& name, const std::string& value,
                       SystemParameters& parameters, Console& console);
