// Firmware download state that the rest of the library consults.
#pragma once

#include <atomic>

// 1 while a firmware download runs: set when it starts, 0 when it ends.
// Session close calls refuse to run meanwhile.
extern std::atomic<int> firmwareDownloadInProgress;
