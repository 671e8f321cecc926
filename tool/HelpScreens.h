// The help screens of zettle: how to get and install certificates, and the
// three pages of help on the command line.
#pragma once

class Console;

// The certificate steps; on "y" the command-line help follows.
void showCertificateHelp(Console& console);
// Three pages, each ended by a wait for Enter (none once the input ended).
void showCommandLineHelp(Console& console);
