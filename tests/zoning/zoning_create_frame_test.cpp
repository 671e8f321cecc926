// CreateFabricObject on simulated fabrics: the frame and checks of the
// export, the dispatch of the zoning types to their creator with the
// fabric's defined database, and a platform created and deleted through
// the exports on the switch.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "api/ObjectStore.h"
#include "editing/ObjectEditTable.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"

namespace {

using nlohmann::json;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;

constexpr unsigned kTransactionActive = 0xA0B23;

// A record of the given type: the type, the identifier, room for fields.
struct Record {
    unsigned short type;
    char oid[48];
    char fields[64];
};

// What the creator the test puts in place was handed.
struct Handed {
    int calls = 0;
    StoredObject* owner = nullptr;
    SessionContext* handle = nullptr;
    const void* record = nullptr;
    char* buffer = nullptr;
    int status = 0;
};
Handed handed;

int standInCreator(StoredObject* owner, SessionContext* handle, const void* record, char* oid) {
    ++handed.calls;
    handed.owner = owner;
    handed.handle = handle;
    handed.record = record;
    handed.buffer = oid;
    if (handed.status == 0) {
        std::strcpy(oid, "000a0100000000000000");
    }
    return handed.status;
}

// Puts the stand-in creator in place of a type's creator for one test.
class StandInCreator {
public:
    explicit StandInCreator(unsigned short type) : type_(type), saved_(objectCreatorFor(type)) {
        handed = Handed();
        registerObjectCreator(type, standInCreator);
    }
    ~StandInCreator() { registerObjectCreator(type_, saved_); }

private:
    unsigned short type_;
    ObjectCreator saved_;
};

class CreateFabricObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document("v4.1.0"));
        zoning_exports::openBoth(*sim_);
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    static std::string caps() { return oidOfType("0015", 0); }
    static unsigned short flag(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    static int setTransaction(unsigned short value) {
        return AddObjectAttributes(caps().c_str(), kTransactionActive, &value);
    }

    std::optional<SwitchSimulator> sim_;
};

TEST_F(CreateFabricObjectTest, FrameAndChecks) {
    Record record{};
    record.type = 10;
    char oid[48] = {};
    const std::string fabric = fabricOid(0);
    EXPECT_EQ(-3, CreateFabricObject(nullptr, &record, oid));
    EXPECT_EQ(-3, CreateFabricObject(fabric.c_str(), nullptr, oid));
    EXPECT_EQ(-3, CreateFabricObject(fabric.c_str(), &record, nullptr));
    EXPECT_EQ(-12, CreateFabricObject("000910000000000000ff", &record, oid));
    EXPECT_EQ(-12, CreateFabricObject(caps().c_str(), &record, oid)) << "not a fabric";

    // Types that are not created through the export.
    for (const unsigned short type : {0, 9, 21, 24, 25, 99}) {
        record.type = type;
        EXPECT_EQ(-3, CreateFabricObject(fabric.c_str(), &record, oid)) << type;
    }
    // Zones, zone sets and aliases need the open transaction.
    const ZoningSnapshot before = ZoningSnapshot::take(fabric);
    for (const unsigned short type : {10, 11, 20}) {
        record.type = type;
        EXPECT_EQ(-40, CreateFabricObject(fabric.c_str(), &record, oid)) << type;
    }
    EXPECT_EQ(ZoningSnapshot::take(fabric), before);
    EXPECT_EQ(oid[0], '\0');

    // A fabric that lost its zoning capabilities or its defined database.
    std::string fullDb;
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* capabilities = findObjectUnlocked(caps());
        capabilities->getNextRelation("setFullZoneDB", fullDb);
        capabilities->removeRelation("setFullZoneDB", fullDb);
    }
    record.type = 22;
    EXPECT_EQ(-28, CreateFabricObject(fabric.c_str(), &record, oid));
    {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(caps())->addRelation("setFullZoneDB", fullDb);
        findObjectUnlocked(fabric)->removeRelation("setZoningCapabilities", caps());
    }
    EXPECT_EQ(-29, CreateFabricObject(fabric.c_str(), &record, oid));
    {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(fabric)->addRelation("setZoningCapabilities", caps());
    }

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, CreateFabricObject(fabric.c_str(), &record, oid));
}

TEST_F(CreateFabricObjectTest, ZoningTypesReachTheirCreatorWithTheDefinedDatabase) {
    const std::string fabric = fabricOid(0);
    StoredObject* fullDb = findObject(oidOfType("0018", 0));
    void* hdl = nullptr;
    findObject(fabric)->getHandleAttr("HDL", hdl);

    // A zone member needs no transaction; members leave the flag alone.
    {
        StandInCreator standIn(22);
        Record record{};
        record.type = 22;
        char oid[48] = {};
        ASSERT_EQ(0, CreateFabricObject(fabric.c_str(), &record, oid));
        EXPECT_EQ(1, handed.calls);
        EXPECT_EQ(fullDb, handed.owner);
        EXPECT_EQ(hdl, handed.handle);
        EXPECT_EQ(&record, handed.record);
        EXPECT_EQ(oid, handed.buffer);
        EXPECT_STREQ("000a0100000000000000", oid);
        EXPECT_EQ(0, flag(caps(), "ZoneTransactionDirty"));
    }

    ASSERT_EQ(0, setTransaction(1));
    struct Case {
        unsigned short type;
        int status;
        unsigned short dirty; // "ZoneTransactionDirty" afterwards
    };
    // The zone set creator marks the transaction itself.
    for (const Case c : {Case{10, 0, 1}, Case{20, 0, 1}, Case{11, 0, 0}, Case{22, 0, 0},
                         Case{10, -21, 0}, Case{20, -2, 0}}) {
        {
            LockGuard model(getObjectStoreMutex());
            findObjectUnlocked(caps())->setShortAttr("ZoneTransactionDirty", 0);
        }
        StandInCreator standIn(c.type);
        handed.status = c.status;
        Record record{};
        record.type = c.type;
        char oid[48] = {};
        EXPECT_EQ(c.status, CreateFabricObject(fabric.c_str(), &record, oid)) << c.type;
        EXPECT_EQ(1, handed.calls);
        EXPECT_EQ(fullDb, handed.owner);
        EXPECT_EQ(c.dirty, flag(caps(), "ZoneTransactionDirty")) << c.type << " " << c.status;
    }
    ASSERT_EQ(0, setTransaction(0));
}

TEST_F(CreateFabricObjectTest, TracesTheFabricAndTheClassName) {
    TraceCapture trace(Vosk_Ext_API);
    ASSERT_TRUE(trace.started());
    Record record{};
    record.type = 11;
    char oid[48] = {};
    EXPECT_EQ(-40, CreateFabricObject(fabricOid(0).c_str(), &record, oid));
    const std::string text = trace.finish();
    EXPECT_NE(text.find("Entering Method"), std::string::npos) << text;
    EXPECT_NE(text.find("FabricOid=" + fabricOid(0) + " ObjectType=ZoneSet"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Exiting Method"), std::string::npos) << text;
}

// One fabric whose switches keep platforms.
json platformDocument() {
    return json::parse(R"({"fabrics": [{"name": "P",
      "users": [{"name": "admin", "password": "password"}],
      "platformInfo": {"1": 1},
      "platforms": [],
      "switches": [{"wwn": "10:00:00:60:69:70:00:01", "firmware": "v4.1.0",
                    "address": "@0"}]}]})");
}

TEST(CreateFabricObjectPlatform, CreatedAndDeletedThroughTheExports) {
    FabAPI_ShutdownFabricAPI();
    SwitchSimulator sim(platformDocument());
    const std::string fabric = fabricOid(0);
    ASSERT_NO_FATAL_FAILURE(openFabricSessions(sim, {0}, {fabric.c_str()}, {0}));
    const auto platformsOnSwitch = [&] {
        return sim.request({{"op", "source"}, {"fabric", 0}})["source"]["platforms"];
    };

    struct {
        PlatformRecord head;
        OID_t nodes[1];
        RecordText addresses[2];
    } input{};
    input.head.ObjType = 15;
    input.head.PlatformType = 5;
    std::memcpy(input.head.PlatformName, "made", 4);
    input.head.PlatformNameLength = 4;
    input.head.PlatformNodeOIDs = input.nodes;
    input.head.ManagementAddrs = input.addresses;
    std::strcpy(input.addresses[0].Text, "127.0.0.1");
    input.addresses[0].Length = 9;
    char oid[48] = {};
    ASSERT_EQ(0, CreateFabricObject(fabricOid(0).c_str(), &input.head, oid));
    ASSERT_EQ(platformsOnSwitch().size(), 1u);
    EXPECT_EQ(platformsOnSwitch()[0]["name"], "made");
    StoredObject* platform = findObject(oid);
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ("000f", std::string(oid).substr(0, 4));

    // A name the switch cannot take is refused and nothing is stored.
    input.head.PlatformNameLength = 0;
    char refused[48] = {};
    EXPECT_EQ(-3, CreateFabricObject(fabricOid(0).c_str(), &input.head, refused));
    EXPECT_EQ(platformsOnSwitch().size(), 1u);

    ASSERT_EQ(0, DeleteSingleObject(oid));
    EXPECT_EQ(nullptr, findObject(oid));
    EXPECT_TRUE(platformsOnSwitch().empty());
    EXPECT_EQ(-17, DeleteSingleObject(oid)) << "gone";
    FabAPI_ShutdownFabricAPI();
}

} // namespace
