// What the tests of the XML commands build their requests and read their
// replies with: a request document, one processCommand call, the reply's
// body and the two fault forms.
#pragma once

#include <cstddef>
#include <string>

#include "orvane/xmlcommand.h"

namespace xmlreply {

inline std::string request(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

struct Outcome {
    bool result;
    std::string reply;
};

inline Outcome run(const std::string& text) {
    std::string answer;
    const bool result = processCommand(text, answer);
    return {result, answer};
}

// The reply between the echo line and the footer.
inline std::string body(const std::string& reply) {
    const std::string echoEnd = "</EchoMsgType>\n";
    const std::size_t from = reply.find(echoEnd);
    const std::size_t to = reply.rfind("</YarlResponse>");
    if (from == std::string::npos || to == std::string::npos)
        return "?" + reply;
    return reply.substr(from + echoEnd.size(), to - from - echoEnd.size());
}

// The fault a handler's status gives (form A), and the one a handler
// writes itself (form B).
inline std::string faultA(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode></Fault>\n";
}
inline std::string faultB(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode>\n</Fault>\n";
}

} // namespace xmlreply
