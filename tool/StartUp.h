// Start-up of zettle: defaults, command line, configuration file, event log.
#pragma once

#include <string>

#include "SystemParameters.h"

class Console;
class Screens;

// The configuration file: the one ZETTLE_CONFIG_FILE names, else
// "zettle.config" in the current directory.
std::string configFilePath();

// Fills `parameters` from the command line and then the configuration file
// (whose keys override the options for the same field, but for an address
// file given with -a), shows the help when asked for, and opens the event
// log. 0 to go on; otherwise the status to end with: UsageError,
// HelpShown, EventLogOpenFailed, NoDataFileName (a batch task without a
// data file) or QuitConfirmed (the user quit at the log-file prompt, the
// exit banner shown).
int startUp(int argc, const char* const* argv, SystemParameters& parameters, Console& console,
            Screens& screens);

// Opens the event log for appending (in interactive mode asking for its
// name when none of at least 3 characters is set), writes its header and,
// at log level 3, the parameters (the password masked). 0,
// EventLogOpenFailed or QuitConfirmed.
int openEventLog(SystemParameters& parameters, Console& console, Screens& screens);
