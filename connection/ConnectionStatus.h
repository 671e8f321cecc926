// What checkStatus of a fabric connection reports: code 0 when the
// connection is usable, 1 when it is not, and a text saying which.
#pragma once

#include <string>

struct ConnectionStatus {
    int code = 1;
    std::string text;
};
