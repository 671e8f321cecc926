// Where switchsim reads the switch certificates and keys of the test PKI.
// An installed switchsim reads them from its data folder beside its bin
// folder (<prefix>/share/orvane/pki); one run from the build tree reads
// them from the source tree.
#pragma once

#include <string>

// The PKI folder of a switchsim at `executable`: the installed one when it
// exists relative to the executable, else the source tree's.
std::string pkiFolderFor(const std::string& executable);

// The PKI folder of this process (found once from /proc/self/exe).
const std::string& pkiFolder();
