// zettle: collects certificate signing requests from the switches of one or
// more fabrics and installs signed certificates on them.
#include "CertificateLibrary.h"
#include "CommandChannel.h"
#include "ExitCode.h"
#include "MainLoop.h"
#include "console.h"

int main(int argc, char** argv) {
    Console console;
    LibraryChannel library;
    MainLoop zettle(console, library, libraryCertificates());
    return exitCodeFor(zettle.run(argc, argv));
}
