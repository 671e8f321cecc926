// What the XML session commands leave in the object store, read from the
// store itself: the fabric's "SessionEstablished" mark, and "Exit" closing
// the sessions and emptying the store.
#include <gtest/gtest.h>

#include <string>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/xmlcommand.h"
#include "tests/support/SwitchSimulator.h"

namespace {

constexpr char kFabricA[] = "000910000060690000a1";
constexpr char kFabricB[] = "000910000060690000b1";

std::string request(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0'?>\n<YarlRequest>\n<MsgType>" + command + "</MsgType>\n" + body +
           "</YarlRequest>\n";
}

bool establish(const std::string& fabric, const std::string& password = "password") {
    std::string reply;
    return processCommand(request("EstablishFabricSession",
                                  "<ObjectReference>" + fabric +
                                      "</ObjectReference><Login name=\"admin\" password=\"" +
                                      password + "\"/>"),
                          reply);
}

// The fabric's mark: 1 or 0, -1 without the attribute, -2 without the object.
int sessionMark(const std::string& fabric) {
    LockGuard guard(getObjectStoreMutex());
    const StoredObject* object = findObjectUnlocked(fabric);
    unsigned short mark = 0;
    if (object == nullptr) {
        return -2;
    }
    return object->getShortAttr("SessionEstablished", mark) ? mark : -1;
}

std::size_t storedObjects() {
    LockGuard guard(getObjectStoreMutex());
    return objectMap().size();
}

// Both fabrics take the login admin/password.
class StoredStateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
    void SetUp() override {
        std::string reply;
        ASSERT_TRUE(
            processCommand(request("InitializeFabricAccess",
                                   "<IPAddress value=\"" + sim_.address(0) +
                                       "\"/><IPAddress value=\"" + sim_.address(1) + "\"/>"),
                           reply))
            << reply;
        ASSERT_TRUE(processCommand(request("GetFabricIdentities"), reply)) << reply;
    }
    void TearDown() override {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
    }

    SwitchSimulator sim_{nlohmann::json::parse(R"({"fabrics": [
      {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [{"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
                    {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0"}]},
      {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [{"wwn": "10:00:00:60:69:00:00:b1", "firmware": "v4.1.0",
                     "address": "@1"}]}]})")};
};

TEST_F(StoredStateTest, EstablishFabricSessionMarksTheFabricByItsLastResult) {
    EXPECT_FALSE(establish(kFabricA, "wrong"));
    EXPECT_EQ(-2, sessionMark(kFabricA)) << "a refused login stores no fabric";

    EXPECT_TRUE(establish(kFabricA));
    EXPECT_EQ(1, sessionMark(kFabricA));
    EXPECT_EQ(-2, sessionMark(kFabricB));

    // A failed command clears the mark, though the earlier session stays open.
    EXPECT_FALSE(establish(kFabricA));
    EXPECT_EQ(0, sessionMark(kFabricA));
    EXPECT_TRUE(establish(kFabricB));
    EXPECT_EQ(1, sessionMark(kFabricB));
    EXPECT_EQ(0, sessionMark(kFabricA));

    // Closing removes the fabric's objects, its mark with them.
    std::string reply;
    EXPECT_TRUE(processCommand(request("CloseFabricSession", std::string("<ObjectReference>") +
                                                                 kFabricA + "</ObjectReference>"),
                               reply))
        << reply;
    EXPECT_EQ(-2, sessionMark(kFabricA));
    EXPECT_TRUE(establish(kFabricA));
    EXPECT_EQ(1, sessionMark(kFabricA));
}

int openSessions() {
    FabAPI_ClientSessionIDList* list = nullptr;
    EXPECT_EQ(0, FabAPI_ListSessions(&list));
    const int count = list != nullptr ? list->count : -1;
    EXPECT_EQ(0, falFreeObject(list));
    return count;
}

TEST_F(StoredStateTest, ExitClosesTheSessionsAndEmptiesTheStore) {
    ASSERT_TRUE(establish(kFabricA));
    ASSERT_TRUE(establish(kFabricB));
    EXPECT_EQ(2, openSessions());
    EXPECT_LT(3u, storedObjects());

    std::string reply = "kept";
    EXPECT_FALSE(processCommand(request("Exit"), reply));
    EXPECT_EQ("kept", reply);
    EXPECT_EQ(0u, storedObjects());
    // Without their fabric objects the sessions could never be closed: they
    // went first, and the fabrics open again.
    EXPECT_EQ(0, openSessions());
    EXPECT_TRUE(establish(kFabricA));
    EXPECT_EQ(1, sessionMark(kFabricA));
}

} // namespace
