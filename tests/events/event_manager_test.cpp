// The event manager against the simulated switches, through real sessions:
// fabric event servers started and stopped, every event type as the record
// callers get, the XML text of each, and two fabrics side by side.
#include <cstdlib>
#include <future>

#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "services/EventManager.h"
#include "tests/events/EventCapture.h"

namespace {

using namespace events;
using nlohmann::json;
using sessions::kFabricA;
using sessions::kFabricB;

const std::string kProxyA = "000210000060690000a1";
const std::string kEdgeA = "000210000060690000a2";

TEST_F(EventFabrics, EventServerStartsAndStopsWithTheFabricsNotification) {
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 0);
    EXPECT_EQ(GetEvents(0, 10, 5, nullptr), FABAPI_ERR_BAD_ARGUMENT);
    EventRecord** none = nullptr;
    EXPECT_EQ(GetEvents(0, 10, 5, &none), -44) << "no event server was ever started";

    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 1);
    json registered = listeners();
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0]["address"], sim_.address(0));
    EXPECT_EQ(registered[0]["flags"], 10) << "the heartbeat interval in seconds";

    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 3), 0);
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 3);
    EXPECT_EQ(sim_.request({{"op", "eventRegistrations"}})["threx"].size(), 3u)
        << "every switch of the fabric registered for threshold events";
    EXPECT_EQ(sim_.callCount(sim_.address(0), 120), 1u) << "a started server is not registered again";

    EXPECT_EQ(manager_->enableEventNotification(kFabricA, 4), -3);
    EXPECT_EQ(manager_->enableEventNotification("", 1), -3);
    EXPECT_EQ(manager_->enableEventNotification("000910000060690000ff", 1), -5) << "not stored";

    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 0x10000), 0) << "low 16 bits 0: off";
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 0);
    EXPECT_TRUE(listeners().empty());
    EXPECT_TRUE(sim_.request({{"op", "eventRegistrations"}})["threx"].empty());
    EXPECT_FALSE(manager_->isStarted());
    EXPECT_EQ(GetEvents(0, 10, 5, &none), -44) << "empty queue, nothing started";
}

TEST_F(EventFabrics, AFailedSwitchOnReturnsItsFailure) {
    sim_.injectFault(
        {{"address", sim_.address(0)}, {"procedure", 120}, {"kind", "status"}, {"status", -5}});
    EXPECT_EQ(manager_->enableEventNotification(kFabricA, 1), -44);
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 0);
    EXPECT_FALSE(manager_->isStarted());
}

TEST_F(EventFabrics, ClosingTheSessionStopsTheEventServer) {
    ASSERT_EQ(manager_->enableEventNotification(kFabricB, 1), 0);
    OID_t oid = {};
    std::strcpy(oid, kFabricB);
    ASSERT_EQ(0, CloseFabricSession(&oid));
    EXPECT_TRUE(listeners().empty());
    EXPECT_EQ(manager_->eventServerStarted(kFabricB), 0);
}

TEST_F(EventFabrics, SwitchingAFabricOnDoesNotHoldTheHandlersWhileItWaitsForTheModel) {
    // A new fabric handler reads the fabric's switches under the object-model
    // lock. A thread that holds that lock and asks for the handlers (a query
    // of a fabric object does) must get them while the switch-on waits.
    std::future<int> on;
    std::future<unsigned short> asked;
    {
        LockGuard model(getObjectStoreMutex());
        on = std::async(std::launch::async,
                        [this] { return manager_->enableEventNotification(kFabricA, 1); });
        std::this_thread::sleep_for(200ms); // the switch-on now waits for the model lock
        asked = std::async(std::launch::async,
                           [this] { return manager_->eventServerStarted(kFabricB); });
        EXPECT_EQ(asked.wait_for(5s), std::future_status::ready)
            << "the handlers stay locked while the model lock is awaited";
    }
    EXPECT_EQ(asked.get(), 0);
    EXPECT_EQ(on.get(), 0);
    EXPECT_EQ(manager_->eventServerStarted(kFabricA), 1);
}

struct TypeCase {
    json event;
    int code;
    std::string details;
    std::vector<std::string> affected;
};

TEST_F(EventFabrics, EachEventTypeBecomesItsRecord) {
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    const std::string edge = "10:00:00:60:69:00:00:a2";
    const std::vector<TypeCase> cases = {
        {{{"type", 2}, {"switch", edge}, {"class", 3}, {"area", 7}, {"index", 5}},
         6, "Threx: threshold exceeded boundary", {kEdgeA}},
        {{{"type", 33}, {"switch", edge}, {"text", "port 3 disabled"}}, 11, "port 3 disabled", {kEdgeA}},
        {{{"type", 50}, {"text", "a <b> & 'c'"}}, 50, "a <b> & 'c'", {kProxyA}},
        {{{"type", 69}, {"port", 7}, {"wwn", edge}}, 3,
         "RSCN->port: connected area offline, the port is 7", {kEdgeA}},
        {{{"type", 65}, {"wwn", "00:00:00:00:00:00:00:00"}}, 5, "RSCN: fabric", {}},
        {{{"type", 97}, {"names", {"20:00:00:60:69:00:00:01", "20:00:00:60:69:00:00:02"}}},
         2, "RSCN: area port online", {"00012000006069000001", "00012000006069000002"}},
        {{{"type", 96}}, 96, "Unknown event", {}},
        {{{"type", 130}, {"status", 0}}, 9, "API: firmware download completed", {kProxyA}},
        {{{"type", 130}, {"status", 4}}, 10, "API: firmware download failed", {kProxyA}},
        {{{"type", 131}}, 12, "PC: platform has been changed", {kProxyA}},
        {{{"type", 132}, {"status", 2}}, 8,
         "API: firmware download progress: stand-by CP start to reboot... (2)", {kProxyA}},
    };
    for (const TypeCase& c : cases)
        send(c.event);
    // Dropped: a heartbeat, types from 192, and lines that do not parse.
    send({{"type", 129}});
    send({{"type", 200}});
    sendText("1:2:3\n");
    sendText("33:0:0:16:0:0\n");
    send({{"type", 131}});

    const std::vector<Seen> seen = takeUntil(cases.size() + 1);
    ASSERT_EQ(seen.size(), cases.size() + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].event.dump());
        EXPECT_EQ(seen[i].id, static_cast<int>(i) + 1);
        EXPECT_EQ(seen[i].fabric, kFabricA);
        EXPECT_EQ(seen[i].code, cases[i].code);
        EXPECT_EQ(seen[i].details, cases[i].details);
        EXPECT_EQ(seen[i].affected, cases[i].affected);
    }
    EXPECT_EQ(seen.back().id, static_cast<int>(cases.size()) + 2) << "type 200 used up one ID";

    // The XML texts, escaping included.
    EXPECT_NE(seen[0].xml.find("<Object>\n<ObjectReference>002910000060690000a2000000160005"
                               "</ObjectReference>\n<ObjectType>41</ObjectType>\n"
                               "<SwitchOID>000210000060690000a2</SwitchOID>\n"
                               "<ThrexClass>0</ThrexClass>\n<ThrexArea>22</ThrexArea>\n"),
              std::string::npos)
        << seen[0].xml;
    EXPECT_NE(seen[2].xml.find("<Details>a &lt;b&gt; &amp; &apos;c&apos;</Details>\n<AffectedObject>\n"
                               "<ObjectReference>000210000060690000a1</ObjectReference>\n"
                               "</AffectedObject>\n</Event>\n"),
              std::string::npos)
        << seen[2].xml;
    EXPECT_NE(seen[4].xml.find("<AffectedObject>\n</AffectedObject>\n"), std::string::npos);
}

TEST_F(EventFabrics, StoppingOneFabricLeavesTheOtherReceiving) {
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    ASSERT_EQ(manager_->enableEventNotification(kFabricB, 1), 0);
    ASSERT_EQ(listeners().size(), 2u);
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 0), 0);
    EXPECT_TRUE(manager_->isStarted());
    send({{"type", 131}}, 3, 2);
    const std::vector<Seen> seen = takeUntil(3);
    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& s : seen)
        EXPECT_EQ(s.fabric, kFabricB);
}

TEST_F(EventFabrics, DebugTriggerEventAndThePortListOwner) {
    SwitchEvent event{};
    event.type = 96;
    std::memcpy(event.wwn, "\x10\x00\x00\x60\x69\x00\x00\xa1", 8);
    event.portList.count = 2;
    // The caller keeps its list on every path: AddressSanitizer reports a
    // second free or a leak.
    auto* names = static_cast<std::uint8_t(*)[8]>(std::calloc(2, 8));
    event.portList.names = names;
    EXPECT_EQ(debugTriggerEvent(nullptr), FABAPI_ERR_BAD_ARGUMENT);
    EXPECT_EQ(debugTriggerEvent(&event), -44) << "dropped: nothing started";
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    EXPECT_EQ(debugTriggerEvent(&event), 0);
    event.type = 250;
    EXPECT_EQ(debugTriggerEvent(&event), 0);
    std::free(names);
    const std::vector<Seen> seen = takeUntil(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].affected.size(), 2u);

    // Lists parsed by the listener, delivered and dropped alike.
    send({{"type", 98}, {"names", {"20:00:00:60:69:00:00:01"}}}, 5);
    EXPECT_EQ(takeUntil(5).size(), 5u);
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 0), 0);
    CloseFabricSessions();
    FabAPI_ShutdownFabricAPI(); // closing the last session may have shut it down already
    EXPECT_EQ(debugTriggerEvent(&event), FABAPI_ERR_NOT_INITIALIZED);
}

TEST_F(EventFabrics, StoppingOneFabricKeepsTheOthersThresholdRegistrations) {
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 3), 0);
    ASSERT_EQ(manager_->enableEventNotification(kFabricB, 3), 0);
    ASSERT_EQ(sim_.request({{"op", "eventRegistrations"}})["threx"].size(), 6u);
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 0), 0);
    const json threx = sim_.request({{"op", "eventRegistrations"}})["threx"];
    ASSERT_EQ(threx.size(), 3u);
    for (const json& entry : threx)
        EXPECT_EQ(entry["switch"].get<std::string>().substr(0, 22), "10:00:00:60:69:00:00:b");
}

TEST_F(EventFabrics, ShutdownWhileEventsArriveDeregistersAndFreesNothingInUse) {
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0);
    std::thread burst([&] { send({{"type", 97}, {"names", {"20:00:00:60:69:00:00:01"}}}, 3000); });
    ASSERT_TRUE(Recorder::instance().waitFor(1));
    CloseFabricSessions();
    FabAPI_ShutdownFabricAPI();
    burst.join();
    EXPECT_EQ(EventManager::instance(), nullptr);
    EXPECT_TRUE(listeners().empty()) << "deregistered at the switch before the listener stopped";
    const std::size_t delivered = Recorder::instance().seen().size();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Recorder::instance().seen().size(), delivered) << "no callback after shutdown";
}

} // namespace
