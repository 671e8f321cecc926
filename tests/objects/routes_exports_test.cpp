// Routes, legal route table entries and route table settings through the
// exported functions against the switch simulator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "objects/FabricObjectTree.h"
#include "objects/RouteTable.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "tests/objects/ThresholdRouteFabric.h"

namespace {

using thrfabric::kEdgeOid;
using thrfabric::kHostA;
using thrfabric::kHostB;
using thrfabric::kProxyOid;

class Routes : public thrfabric::Suite {
protected:
    static std::vector<std::string> ports(const RouteRecord* route) {
        std::vector<std::string> oids;
        for (const OID_t* p = route->setTxPortSet; p != nullptr && (*p)[0] != '\0'; ++p) {
            oids.emplace_back(*p);
        }
        return oids;
    }
};


TEST(RouteNames, DecimalDigitsAreBounded) {
    unsigned char out[8];
    ASSERT_TRUE(splitDecimalDigits(305, out));
    const unsigned char expected[8] = {5, 0, 3, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, out, 8));
    ASSERT_TRUE(splitDecimalDigits(99999999, out));
    EXPECT_EQ(9, out[7]);
    EXPECT_FALSE(splitDecimalDigits(100000000, out)) << "nine digits do not fit";
    EXPECT_FALSE(splitDecimalDigits(-1, out));
    const unsigned char zero[8] = {};
    EXPECT_EQ(0, std::memcmp(zero, out, 8));

    const unsigned char sw[8] = {0x10, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_EQ("20:11:00:11:22:33:44:55", switchPortName(WWNAddress(sw), 0x111).toString());
}

TEST_F(Routes, RouteObjectsAreNumberedComputedAndGoWithTheirFabric) {
    ASSERT_NE(findObject(kHostA), nullptr) << "the name server's port is stored";
    std::vector<std::string> made;
    for (int i = 0; i < 12; ++i) {
        OID_t oid = {};
        ASSERT_EQ(0, PortPairToRouteOID(kHostA, kHostB, oid)) << i;
        made.emplace_back(oid);
    }
    EXPECT_EQ("00110100000000000000", made[0]);
    EXPECT_EQ("00110201000000000000", made[11]);
    EXPECT_NE(made[0], made[1]) << "each call makes a new route";

    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(made[0].c_str(), &record));
    auto* route = static_cast<RouteRecord*>(record);
    EXPECT_EQ(17, route->ObjType);
    EXPECT_EQ(made[0], route->OID);
    // The first entry names domains 1 and 2; the second only domain 9,
    // which no switch has.
    EXPECT_EQ((std::vector<std::string>{"00012000006069070001", "00012005006069070002"}),
              ports(route));
    EXPECT_EQ(0, falFreeObject(route)) << "the list is part of the record";

    OID_t back = {};
    ASSERT_EQ(0, PortPairToRouteOID(kHostB, kHostA, back));
    ASSERT_EQ(0, GetSingleObject(back, &record));
    route = static_cast<RouteRecord*>(record);
    EXPECT_TRUE(ports(route).empty());
    falFreeObject(route);

    StoredObject* stored = findObject(made[0]);
    ASSERT_NE(stored, nullptr);
    std::string text;
    EXPECT_TRUE(stored->getStringAttr("sourceWWN", text));
    EXPECT_EQ("21:00:00:0e:8b:07:00:01", text);
    std::string parent;
    EXPECT_TRUE(stored->getNextRelation("setParent", parent));
    EXPECT_EQ(thrfabric::kFabricOid, parent);

    OID_t oid = {};
    EXPECT_EQ(-3, PortPairToRouteOID(kHostA, kHostA, oid));
    EXPECT_EQ(-3, PortPairToRouteOID(kHostA, nullptr, oid));
    EXPECT_EQ(-3, PortPairToRouteOID(kHostA, "00012100000e8b07ffff", oid));
    EXPECT_EQ(-3, PortPairToRouteOID(kHostA, kHostB, nullptr));
    // The switch ports have no attached port of their own in the table:
    // the route cannot be read, but its identifier was written.
    EXPECT_EQ(-3, PortPairToRouteOID(kProxyOid, kEdgeOid, oid));
    EXPECT_NE('\0', oid[0]);

}

TEST_F(Routes, LegalEntriesAndRouteSettings) {
    LegalRouteTable list{};
    ASSERT_EQ(0, GetLegalRouteTableEntries(kProxyOid, kEdgeOid, &list));
    ASSERT_EQ(2, list.Count);
    EXPECT_EQ("20:03:00:60:69:07:00:01", WWNAddress(list.Entries[0]).toString());
    EXPECT_EQ("20:11:00:60:69:07:00:01", WWNAddress(list.Entries[1]).toString());
    EXPECT_EQ(0, falFreeObject(list.Entries));

    const struct {
        const char* source;
        const char* destination;
        LegalRouteTable* list;
        int status;
    } refused[] = {
        {kProxyOid, kProxyOid, &list, -3},
        {kProxyOid, nullptr, &list, -3},
        {kProxyOid, "00021000006069ff0001", &list, -3},
        {kProxyOid, kHostA, &list, -3}, // not a switch
        {kProxyOid, kEdgeOid, nullptr, -3},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(c.status, GetLegalRouteTableEntries(c.source, c.destination, c.list));
    }
    EXPECT_NE(0, GetLegalRouteTableEntries(kEdgeOid, kProxyOid, &list)) << "no table there";

    const std::uint64_t before = sim_->callCount(sim_->address(0), 40, 1032);
    ASSERT_EQ(0, SetRouteTableEntry(kProxyOid, 4, kEdgeOid, 9));
    EXPECT_EQ(before + 1, sim_->callCount(sim_->address(0), 40, 1032));
    EXPECT_EQ(-3, SetRouteTableEntry(kProxyOid, 4, kHostA, 9));

    StoredObject* fabric = findObject(thrfabric::kFabricOid);
    ASSERT_NE(fabric, nullptr);
    unsigned short level = 0;
    ASSERT_TRUE(fabric->getShortAttr("fabVersion", level));
    fabric->setShortAttr("fabVersion", 2200);
    EXPECT_EQ(-36, GetLegalRouteTableEntries(kProxyOid, kEdgeOid, &list));
    EXPECT_EQ(-36, SetRouteTableEntry(kProxyOid, 4, kEdgeOid, 9));
    fabric->setShortAttr("fabVersion", level);
}

// Last: tears the fabric's objects down.
TEST_F(Routes, RoutesGoWithTheirFabric) {
    OID_t oid = {};
    ASSERT_EQ(0, PortPairToRouteOID(kHostA, kHostB, oid));
    ASSERT_NE(nullptr, findObject(oid));
    RemoveFabricObjects(thrfabric::kFabricOid);
    EXPECT_EQ(nullptr, findObject(oid));
}

} // namespace
