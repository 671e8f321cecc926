// The fabric and switch classes that a session's tree gets for each
// firmware generation, read from the object store.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "api/ObjectStore.h"
#include "foundation/InternalTiming.h"
#include "connection/clilib_nameserver.h"
#include "objects/ChildClasses.h"
#include "objects/FabricClasses.h"
#include "objects/NameServerCache.h"
#include "objects/ObjectQueries.h"
#include "objects/SwitchClasses.h"
#include "tests/objects/GenerationFabrics.h"

namespace {

using generations::fabrics;

class ObjectClasses : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        sim_ = new SwitchSimulator(generations::document());
        FabAPI_ShutdownFabricAPI();
        generations::openAll(*sim_);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* ObjectClasses::sim_ = nullptr;

enum class Cls { F22, F23, F20 };
enum class Sw { S22, S23, S20 };

bool isFabricClass(StoredObject* object, Cls cls) {
    SanElement* element = object->getElement<SanElement>();
    switch (cls) {
    case Cls::F22:
        return dynamic_cast<Fabric_2_2*>(element) != nullptr &&
               dynamic_cast<Fabric_2_3*>(element) == nullptr &&
               dynamic_cast<Fabric_2_0*>(element) == nullptr;
    case Cls::F23:
        return dynamic_cast<Fabric_2_3*>(element) != nullptr;
    case Cls::F20:
        return dynamic_cast<Fabric_2_0*>(element) != nullptr;
    }
    return false;
}

bool isSwitchClass(StoredObject* object, Sw cls) {
    SanElement* element = object->getElement<SanElement>();
    switch (cls) {
    case Sw::S22:
        return dynamic_cast<Switch_2_2*>(element) != nullptr &&
               dynamic_cast<Switch_2_3*>(element) == nullptr;
    case Sw::S23:
        return dynamic_cast<Switch_2_3*>(element) != nullptr &&
               dynamic_cast<Switch_2_0*>(element) == nullptr;
    case Sw::S20:
        return dynamic_cast<Switch_2_0*>(element) != nullptr;
    }
    return false;
}

TEST_F(ObjectClasses, EachGenerationGetsTheClassesOfItsLevel) {
    const struct {
        Cls fabric;
        unsigned short level;
        const char* proxyVersion;
        std::vector<Sw> switches;
        std::vector<const char*> sfVersions;
        std::vector<int> secondary;
    } expected[] = {
        {Cls::F22, 2200, "v2.2", {Sw::S22, Sw::S22}, {"2.2", "2.2"}, {0, 0}},
        {Cls::F23, 2300, "v2.4.1", {Sw::S23, Sw::S23}, {"2.3", "2.3"}, {0, 0}},
        {Cls::F23, 2300, "v3.0.2a", {Sw::S23}, {"2.3"}, {3020}},
        {Cls::F20, 2600, "v5.2.0", {Sw::S20, Sw::S20}, {"2.6", "2.6"}, {0, 0}},
        {Cls::F23, 2300, "v4.1.0", {Sw::S20, Sw::S23, Sw::S23}, {"2.6", "2.3", "2.3"}, {0, 3020, 0}},
        {Cls::F22, 2200, "v4.1.0", {Sw::S20, Sw::S22}, {"2.6", "2.2"}, {0, 0}},
    };
    for (std::size_t f = 0; f < fabrics().size(); ++f) {
        const auto& fabric = fabrics()[f];
        const auto& want = expected[f];
        SCOPED_TRACE(fabric.what);
        StoredObject* object = findObject(fabric.fabricOid);
        ASSERT_NE(object, nullptr);
        EXPECT_TRUE(isFabricClass(object, want.fabric));
        unsigned short level = 0;
        EXPECT_TRUE(object->getShortAttr("fabVersion", level));
        EXPECT_EQ(want.level, level);
        std::string text;
        EXPECT_TRUE(object->getStringAttr("ProxySwitchVersion", text));
        EXPECT_EQ(want.proxyVersion, text);
        std::vector<std::string> switches;
        object->getRelations("setSwitch", switches);
        EXPECT_EQ(fabric.switchOids, switches);
        for (std::size_t s = 0; s < fabric.switchOids.size(); ++s) {
            StoredObject* sw = findObject(fabric.switchOids[s]);
            ASSERT_NE(sw, nullptr) << fabric.switchOids[s];
            EXPECT_TRUE(isSwitchClass(sw, want.switches[s])) << fabric.switchOids[s];
            EXPECT_TRUE(sw->getStringAttr("SFVersion", text));
            EXPECT_EQ(want.sfVersions[s], text) << fabric.switchOids[s];
            auto* element = sw->getElement<Switch>();
            ASSERT_NE(element, nullptr);
            EXPECT_EQ(want.secondary[s], element->secondaryCode()) << fabric.switchOids[s];
            std::string parent;
            EXPECT_TRUE(sw->getNextRelation("setParent", parent));
            EXPECT_EQ(fabric.fabricOid, parent);
        }
        std::string capabilities;
        EXPECT_TRUE(object->getNextRelation("setZoningCapabilities", capabilities))
            << "the fabric's zoning capabilities object was made when the class was attached";
    }
}

TEST_F(ObjectClasses, PortsComeFromThePortListOrTheDiscovery) {
    // The 2200 proxy's port list: an all-zero name makes no port.
    StoredObject* module = findObject("00171000006069010001");
    ASSERT_NE(module, nullptr);
    std::vector<std::string> ports;
    module->getRelations("setPort", ports);
    EXPECT_EQ((std::vector<std::string>{"00012000006069010001", "00012001006069010001"}), ports);
    unsigned short type = 0;
    EXPECT_FALSE(findObject(ports[0])->getShortAttr("PortType", type)) << "no type from the list";

    // The current proxy's discovery entry: one indexed module of both ports,
    // each with its counter children, and the name server's devices.
    module = findObject("0017100000606904000100000000");
    ASSERT_NE(module, nullptr);
    ports.clear();
    module->getRelations("setPort", ports);
    ASSERT_EQ(2u, ports.size());
    EXPECT_TRUE(findObject(ports[0])->getShortAttr("PortType", type));
    EXPECT_EQ(327, type);
    EXPECT_NE(findObject("00122000006069040001"), nullptr) << "statistics";
    EXPECT_NE(findObject("00132000006069040001"), nullptr) << "error counters";

    StoredObject* attached = findObject("0001210000e08b000001");
    ASSERT_NE(attached, nullptr);
    EXPECT_TRUE(attached->getShortAttr("PortType", type));
    EXPECT_EQ(324, type);
    EXPECT_TRUE(findObject("0001210000e08b000002")->getShortAttr("PortType", type));
    EXPECT_EQ(320, type) << "kind 7 is an unidentified port";
    StoredObject* node = findObject("0004200000e08b000001");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(2u, node->getRelationCount("setPorts"));
    EXPECT_TRUE(node->hasRelation("setDevice", "0005200000e08b000001"));
    EXPECT_TRUE(findObject(ports[0])->hasRelation("setAttchPort", "0001210000e08b000001"));
}

SessionContext* sessionOf(const char* fabricOid) {
    void* handle = nullptr;
    StoredObject* fabric = findObject(fabricOid);
    EXPECT_TRUE(fabric != nullptr && fabric->getHandleAttr("HDL", handle));
    return static_cast<SessionContext*>(handle);
}

TEST_F(ObjectClasses, BusyAndTransientFetchesAreRetriedAfterThePause) {
    const std::string proxy = sim_->address(1);
    const auto fault = [&](int status, int count) {
        sim_->injectFault({{"address", proxy},
                           {"procedure", 40},
                           {"code", 1285},
                           {"kind", "status"},
                           {"status", status},
                           {"count", count}});
    };
    const struct {
        const char* what;
        int switchStatus;
        int failures;
        int expected;
        std::uint64_t calls;
    } cases[] = {
        {"busy twice", -20005, 2, 0, 3},
        {"transient once", -10025, 1, 0, 2},
        {"busy throughout", -20005, 9, -86, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim_->clearFaults();
        sim_->resetCounters();
        fault(c.switchStatus, c.failures);
        const unsigned retriedBefore = retriedFetchCount();
        const auto start = std::chrono::steady_clock::now();
        void* record = nullptr;
        EXPECT_EQ(c.expected, querySingleObject("00021000006069020001", &record));
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(c.calls, sim_->callCount(proxy, 40, 1285));
        EXPECT_EQ(c.calls - 1, retriedFetchCount() - retriedBefore);
        EXPECT_GE(waited, (c.calls - 1) * internalTiming().switchBusyRetryPause);
        EXPECT_EQ(c.expected == 0, record != nullptr);
        if (record != nullptr) {
            falFreeObject(record);
        }
    }
    sim_->clearFaults();
}

TEST_F(ObjectClasses, TheNameServerCacheCopiesEachFabricOnce) {
    SessionContext* later = sessionOf(fabrics()[3].fabricOid);
    const std::string proxy = sim_->address(3);
    clearNameServerCache();
    const unsigned char unknown[8] = {0x21, 0, 0, 0, 0, 0, 0, 0x99};
    int portId = 0;
    sim_->resetCounters();
    EXPECT_EQ(-21, nsPortIdByPortName(unknown, &portId)) << "an empty cache";
    EXPECT_EQ(0u, sim_->callCount(proxy, 60)) << "asks no switch";

    fillNameServerCache(later);
    EXPECT_EQ(2u, nameServerCacheSize());
    EXPECT_EQ(3u, sim_->callCount(proxy, 60)) << "the third answer wraps round and ends it";
    fillNameServerCache(later);
    EXPECT_EQ(2u, nameServerCacheSize()) << "entries met again are freed";
    fillNameServerCache(sessionOf(fabrics()[0].fabricOid));
    EXPECT_EQ(2u, nameServerCacheSize()) << "a fabric without devices adds nothing";

    const unsigned char port[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x02};
    EXPECT_EQ(0, nsPortIdByPortName(port, &portId));
    EXPECT_EQ(0x010200, portId);
    unsigned char name[8] = {};
    EXPECT_EQ(0, nsPortNameByPortId(0x010200, name, later));
    EXPECT_EQ(0, std::memcmp(port, name, 8));
    EXPECT_EQ(-21, nsPortNameByPortId(0x010200, name)) << "the fabric last filled has no such port";

    const unsigned char node[8] = {0x20, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
    NameServerPortId* pairs = nullptr;
    std::size_t count = 0;
    ASSERT_EQ(0, nsPortIdsByNodeName(node, &pairs, &count));
    ASSERT_EQ(2u, count);
    EXPECT_EQ(0, pairs[0].control);
    EXPECT_EQ(0x010100, pairs[0].portId);
    EXPECT_EQ(128, pairs[1].control);
    EXPECT_EQ(0x010200, pairs[1].portId);
    std::free(pairs);
    int length = 0;
    char text[4] = {};
    EXPECT_EQ(0, nsSymbolicNodeName(node, &length, text, sizeof text));
    EXPECT_EQ(6, length);
    EXPECT_STREQ("hos", text) << "cut to the caller's buffer";

    startNameServerCache();
    EXPECT_TRUE(nameServerCacheOn());
    endNameServerCache();
    EXPECT_FALSE(nameServerCacheOn());
    EXPECT_EQ(0u, nameServerCacheSize());
}

int makeNoCapabilities(StoredObject*, int) {
    return 0;
}

TEST_F(ObjectClasses, AFabricWithoutZoningCapabilitiesHandsOutNoRecord) {
    const char* oid = fabrics()[1].fabricOid;
    const ZoningCapabilitiesCreator before = setZoningCapabilitiesCreator(makeNoCapabilities);
    findObject(oid)->clearSet("setZoningCapabilities");
    void* record = reinterpret_cast<void*>(1);
    EXPECT_EQ(-28, querySingleObject(oid, &record));
    EXPECT_EQ(nullptr, record);
    setZoningCapabilitiesCreator(before);
    EXPECT_EQ(0, querySingleObject(oid, &record)) << "the creator makes it again";
    falFreeObject(record);
}

} // namespace
