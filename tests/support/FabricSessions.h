// Opens sessions as an application does, through the exported functions
// alone: starts the library with proxy switches of the simulator, discovers
// their fabrics and establishes a session on each fabric named. Call it
// under ASSERT_NO_FATAL_FAILURE, so that a failure ends the caller too.
#pragma once

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "orvane/xmlcommand.h"
#include "tests/support/SwitchSimulator.h"

// The proxies are the simulator's switches at `indexes`, with the login
// admin/password. A session opens when EstablishSession answers one of
// `accepted` (500 and 501 are its warnings).
inline void openFabricSessions(SwitchSimulator& sim, const std::vector<int>& indexes,
                               const std::vector<const char*>& fabricOids,
                               std::initializer_list<int> accepted = {0, 500}) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    for (int index : indexes) {
        std::string host = sim.address(static_cast<std::size_t>(index));
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    }
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    EXPECT_EQ(0, falFreeObject(info));
    for (const char* fabric : fabricOids) {
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, fabric, sizeof(OID_t) - 1);
        FabAPI_ClientSessionID* session = nullptr;
        const int status = FabAPI_EstablishSession(&identity, &session);
        ASSERT_TRUE(std::find(accepted.begin(), accepted.end(), status) != accepted.end())
            << status;
        EXPECT_EQ(0, falFreeObject(session));
    }
}

// The same through the XML commands: InitializeFabricAccess with the
// proxies, GetFabricIdentities, and EstablishFabricSession with the login
// admin/password on each fabric named. The caller has initialised the
// command interface (initializeCommand).
inline void openXmlFabricSessions(const std::vector<std::string>& proxies,
                                  const std::vector<const char*>& fabricOids) {
    const auto request = [](const std::string& command, const std::string& body) {
        return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
               "</MsgType>\n" + body + "</YarlRequest>\n";
    };
    std::string addresses;
    for (const std::string& proxy : proxies) {
        addresses += "<IPAddress value=\"" + proxy + "\"/>";
    }
    std::string reply;
    ASSERT_TRUE(processCommand(request("InitializeFabricAccess", addresses), reply)) << reply;
    ASSERT_TRUE(processCommand(request("GetFabricIdentities", ""), reply)) << reply;
    for (const char* fabric : fabricOids) {
        reply.clear();
        ASSERT_TRUE(processCommand(
            request("EstablishFabricSession",
                    std::string("<ObjectReference>") + fabric +
                        "</ObjectReference><Login name=\"admin\" password=\"password\"/>"),
            reply))
            << reply;
    }
}
