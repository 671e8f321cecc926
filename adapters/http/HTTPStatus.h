// Status codes of the HTTP client and the page readers.
#pragma once

constexpr int HTTP_ERR_NO_CLIENT = -1001;         // no client, or not connected
constexpr int HTTP_ERR_SOCKET = -1002;            // socket cannot be made
constexpr int HTTP_ERR_BIND = -1003;              // local bind failed
constexpr int HTTP_ERR_CONNECT = -1004;           // host not resolved or connect failed
constexpr int HTTP_ERR_SEND = -1005;              // request not sent whole
constexpr int HTTP_ERR_NO_BUFFER = -1007;         // receive buffer not available
constexpr int HTTP_ERR_BAD_RESPONSE = -1008;      // nothing received, or status not 200
constexpr int HTTP_ERR_NO_MESSAGE = -1009;        // request or response object missing
constexpr int TOPOLOGY_ERR_BAD_LIST = -2009;      // output list missing or not empty
constexpr int TOPOLOGY_ERR_NO_CONNECTION = -2101; // no HTTP connection set

// Protocol identifiers and the version word of HTTP/1.0.
constexpr int HTTP_PROTOCOL_HTTP = 0x80001;
constexpr int HTTP_PROTOCOL_HTTPS = 0x80002;
constexpr int HTTP_VERSION_1_0 = 0x01000000;
