// Load and unload hooks of libOrvane_2.so.
//
// Loading starts the socket library and unloading cleans it up; nothing else
// happens here: no thread starts and no file is read, and unloading does not
// shut the library down.
#include "foundation/SocketLib.h"
#include "platform/winsock.h"

namespace {

__attribute__((constructor)) void onLibraryLoad() {
    SocketLibSetEntryPointFlag();
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
}

__attribute__((destructor)) void onLibraryUnload() {
    SocketLibSetEntryPointFlag();
    WSACleanup();
}

} // namespace
