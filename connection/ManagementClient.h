// Opens the TCP client handle of the remote management program on a proxy
// switch, bounded in time.
//
// The runtime's own clnt_create asks the host's rpcbind without a bound of
// its own: an address where nothing answers can hold it for a minute or
// more. Here the port is asked of the portmapper (version 2, GETPORT, over
// TCP) and the program's port is connected, all within one deadline of
// internalTiming().connectTimeout.
#pragma once

#include <rpc/rpc.h>

// A client for program `program`, version `version` over TCP on the IPv4
// address (or name) `host`; null when the host cannot be resolved, reached
// or asked in time, or does not serve the program. The handle owns its
// socket: clnt_destroy closes it.
CLIENT* openManagementClient(const char* host, rpcprog_t program, rpcvers_t version);
