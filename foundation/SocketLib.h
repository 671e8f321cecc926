// Start-up and clean-up of the socket library for the library's own users.
//
// When the shared library's load hook has started the socket library, it
// stays started for the whole life of the process and these do nothing;
// otherwise (the library linked statically, as in tests) they keep their own
// reference count around WSAStartup (version 1.1) and WSACleanup.
#pragma once

void SocketLibStartup();
void SocketLibCleanup();

// Called by the load and unload hooks: from then on the hooks own the start.
void SocketLibSetEntryPointFlag();
