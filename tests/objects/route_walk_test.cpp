// The fabric walks of the object queries reach the route objects of each
// fabric, after the objects the fabric record lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "objects/FabricObjectTree.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "tests/objects/ThresholdRouteFabric.h"

namespace {

struct Walked {
    int status = 0;
    std::vector<unsigned short> types;
    std::vector<std::string> oids;
    std::vector<std::string> failed; // asked-for identifiers of error records
};

Walked collect(int status, void** records) {
    Walked out;
    out.status = status;
    for (std::size_t i = 0; records != nullptr && records[i] != nullptr; ++i) {
        const auto type = *static_cast<unsigned short*>(records[i]);
        out.types.push_back(type);
        if (type == 0xFF00) {
            const auto* error = static_cast<ErrorRecord*>(records[i]);
            out.oids.emplace_back(error->OID);
            out.failed.emplace_back(error->RequestedOID);
        } else {
            out.oids.emplace_back(static_cast<RouteRecord*>(records[i])->OID);
        }
        falFreeObject(records[i]);
    }
    if (records != nullptr) {
        falFreeObject(records);
    }
    return out;
}

Walked all() {
    void** records = nullptr;
    const int status = GetAllObjects(&records);
    return collect(status, records);
}

Walked byFabric() {
    OID_t list[2] = {};
    std::strcpy(list[0], thrfabric::kFabricOid);
    void** records = nullptr;
    const int status = GetObjectsByFabrics(list[0], &records);
    return collect(status, records);
}

std::size_t indexOf(const Walked& walked, const std::string& oid) {
    for (std::size_t i = 0; i < walked.oids.size(); ++i) {
        if (walked.oids[i] == oid) {
            return i;
        }
    }
    return walked.oids.size();
}

using RouteWalk = thrfabric::Suite;

TEST_F(RouteWalk, RoutesFollowTheirFabricAndFailuresBecomeErrorRecords) {
    // This fabric has objects the simulator cannot give; their error
    // records stay the same throughout.
    const Walked before = all();
    const Walked beforeOwn = byFabric();
    for (unsigned short type : before.types) {
        EXPECT_NE(17, type) << "no route made yet";
    }

    OID_t first = {};
    OID_t second = {};
    ASSERT_EQ(0, PortPairToRouteOID(thrfabric::kHostA, thrfabric::kHostB, first));
    ASSERT_EQ(0, PortPairToRouteOID(thrfabric::kHostB, thrfabric::kHostA, second));

    for (const Walked& walked : {all(), byFabric()}) {
        EXPECT_EQ(before.status, walked.status);
        EXPECT_EQ(before.failed, walked.failed);
        EXPECT_EQ(before.oids.size() + 2, walked.oids.size());
        const std::size_t fabric = indexOf(walked, thrfabric::kFabricOid);
        const std::size_t a = indexOf(walked, first);
        const std::size_t b = indexOf(walked, second);
        ASSERT_LT(a, walked.oids.size());
        ASSERT_LT(b, walked.oids.size());
        EXPECT_EQ(17, walked.types[a]);
        EXPECT_EQ(17, walked.types[b]);
        EXPECT_LT(fabric, a);
        EXPECT_EQ(a + 1, b) << "routes in identifier order";
    }

    // The ports of the switches have no attached port: the route stays in
    // the store, and each walk reports it as a failed fetch.
    OID_t broken = {};
    EXPECT_EQ(-3, PortPairToRouteOID(thrfabric::kProxyOid, thrfabric::kEdgeOid, broken));
    const Walked failing = all();
    EXPECT_EQ(FABAPI_ERR_SOME_OBJECTS_FAILED, failing.status);
    ASSERT_EQ(before.failed.size() + 1, failing.failed.size());
    EXPECT_NE(failing.failed.end(),
              std::find(failing.failed.begin(), failing.failed.end(), std::string(broken)));
    ASSERT_NE(nullptr, findObject(broken));

    // A route of another fabric is not walked with this one.
    findObject(broken)->removeRelation("setParent", thrfabric::kFabricOid);
    findObject(broken)->addRelation("setParent", "00091000006069ff0001");
    const Walked other = byFabric();
    EXPECT_EQ(beforeOwn.status, other.status);
    EXPECT_EQ(beforeOwn.oids.size() + 2, other.oids.size());
    EXPECT_EQ(indexOf(other, broken), other.oids.size());
}

} // namespace
