#include "foundation/SocketLib.h"

#include <mutex>

#include "platform/winsock.h"

namespace {

std::mutex countMutex;
bool startedByEntryPoint = false;
int startCount = 0;

} // namespace

void SocketLibStartup() {
    std::lock_guard<std::mutex> lock(countMutex);
    if (startedByEntryPoint)
        return;
    if (startCount++ == 0) {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
    }
}

void SocketLibCleanup() {
    std::lock_guard<std::mutex> lock(countMutex);
    // An unbalanced clean-up must not end a start it does not own.
    if (startedByEntryPoint || startCount == 0)
        return;
    if (--startCount == 0)
        WSACleanup();
}

void SocketLibSetEntryPointFlag() {
    std::lock_guard<std::mutex> lock(countMutex);
    startedByEntryPoint = true;
}
