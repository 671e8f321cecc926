// Test helpers: a command channel that answers like the library from a
// small fabric model, and records every request it was sent.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CommandChannel.h"

// The MsgType of a request.
inline std::string msgTypeOf(const std::string& request) {
    const auto start = request.find("<MsgType>");
    const auto end = request.find("</MsgType>");
    if (start == std::string::npos || end == std::string::npos)
        return {};
    return request.substr(start + 9, end - start - 9);
}

inline std::string responseOf(const std::string& command, const std::string& body) {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlResponse>\n<Date>2026-01-01</Date>\n"
           "<EchoMsgType>" +
           command + "</EchoMsgType>\n" + body + "</YarlResponse>\n";
}

inline std::string faultOf(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode>\n</Fault>\n";
}

class ScriptedChannel : public CommandChannel {
public:
    // The library's answers: fabrics by identifier, objects by identifier
    // (the element GetObjects writes), the login each fabric accepts.
    std::vector<std::string> fabrics;
    std::map<std::string, std::string> objects;
    std::map<std::string, std::string> logins; // fabric -> "user/password"
    bool initializeResult = true;
    bool initializeAccessResult = true;
    bool identitiesResult = true;

    std::vector<std::string> requests;
    int initializeCalls = 0;

    bool initialize() override {
        ++initializeCalls;
        return initializeResult;
    }

    bool process(const std::string& request, std::string& reply) override {
        requests.push_back(request);
        const std::string command = msgTypeOf(request);
        reply.clear();
        if (command == "InitializeFabricAccess") {
            reply = responseOf(command, initializeAccessResult ? "" : faultOf(-2));
            return initializeAccessResult;
        }
        if (command == "GetFabricIdentities") {
            std::string body;
            for (const std::string& fabric : fabrics)
                body += "\n<FabricReference OID=\"" + fabric + "\" IPAddress=\"127.0.0.5\" />\n";
            reply = responseOf(command, identitiesResult ? body : faultOf(-5));
            return identitiesResult;
        }
        if (command == "EstablishFabricSession") {
            const std::string fabric = between(request, "<ObjectReference>", "</ObjectReference>");
            const std::string login = between(request, "<Login name=\"", "\" password=\"") + "/" +
                                      between(request, "password=\"", "\" />");
            const bool accepted = logins.count(fabric) != 0 && logins[fabric] == login;
            reply = responseOf(command, accepted ? "" : faultOf(-26));
            return accepted;
        }
        if (command == "GetObjects") {
            const std::string id = between(request, "<ObjectReference>", "</ObjectReference>");
            const auto found = objects.find(id);
            if (found == objects.end()) {
                reply = responseOf(command, faultOf(-4));
                return false;
            }
            reply = responseOf(command, found->second);
            return true;
        }
        if (command == "CloseFabricSessions") {
            reply = responseOf(command, "");
            return true;
        }
        reply = responseOf("Incorrect XML Command", faultOf(-3));
        return true;
    }

    std::vector<std::string> requestsOf(const std::string& command) const {
        std::vector<std::string> found;
        for (const std::string& request : requests)
            if (msgTypeOf(request) == command)
                found.push_back(request);
        return found;
    }

    static std::string between(const std::string& text, const std::string& open,
                               const std::string& close) {
        const auto start = text.find(open);
        if (start == std::string::npos)
            return {};
        const auto end = text.find(close, start + open.size());
        return text.substr(start + open.size(), end - start - open.size());
    }
};

// Object elements as the library's flat writer writes them.
inline std::string fabricElement(const std::string& wwn, const std::vector<std::string>& switches) {
    std::string text = "<Fabric FabricName=\"fab\" PrincipalWWN=\"ff:ff\" WWN=\"" + wwn +
                       "\" >\n<ActiveZoneDB OID=\"0019000000000000000A\" />\n"
                       "<FullZoneDB OID=\"0018000000000000000F\" />\n";
    for (const std::string& id : switches)
        text += "<Switch OID=\"" + id + "\" />\n";
    return text + "</Fabric>\n";
}

inline std::string switchElement(const std::string& attributes,
                                 const std::vector<std::string>& modules = {}) {
    std::string text = "<Switch " + attributes + " >\n";
    for (const std::string& id : modules)
        text += "<PortModules OID=\"" + id + "\" />\n";
    return text + "</Switch>\n";
}

inline std::string portModuleElement(int ports) {
    std::string text = "<PortModule Slot=\"0x1\" >\n";
    for (int i = 0; i < ports; ++i)
        text += "<Port OID=\"0001" + std::to_string(1000 + i) + "\" />\n";
    return text + "</PortModule>\n";
}
