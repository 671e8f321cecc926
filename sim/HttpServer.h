// The web server of the proxy switches: one HTTP/1.0 request per
// connection on port 80, answered from the fabric model and closed.
//
// Faults (FaultInjector) with procedure HTTP_PAGE_PROCEDURE (80) and the
// page number as code (HttpPages.h; absent: every page):
//   "status":    answers with that HTTP status (404, 500, ...), then closes;
//   "noReply":   reads the request and sends nothing, keeping the
//                connection open until the client leaves;
//   "close":     closes without an answer;
//   "delay":     answers normally and keeps the connection open until the
//                client leaves (a server that does not close);
//   "malformed": answers with malformed lines; with "status": 1 the page
//                holds one over-long line instead.
// "delayMs" is waited before any of them acts. Calls are counted under
// (address, 80, page number), 0 for an unknown page.
#pragma once

#include "sim/ManagementProgram.h"

#include <string>

class HttpServer {
public:
    explicit HttpServer(SimulatorState& state) : state_(state) {}

    // Serves one accepted connection on `address`.
    void serve(int fd, const std::string& address);

private:
    // The request head, or nothing when the client left, sent more than a
    // request head may hold, or stayed silent too long.
    std::optional<std::string> readRequest(int fd);
    // Waits until the client closes the connection or the simulator stops.
    void holdOpen(int fd);
    std::string page(std::int32_t number, const std::string& address);

    SimulatorState& state_;
};
