#include "api/ObjectStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "api/StoredObjectXmlWriter.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"

namespace {

WWNAddress nameOf(unsigned char last, unsigned char company = 0x69) {
    const unsigned char bytes[8] = {0x10, 0x00, 0x00, 0x60, company, 0x00, 0x00, last};
    return WWNAddress(bytes);
}

std::string oidOf(const StoredObject* object) {
    std::string oid;
    if (object != nullptr) {
        object->getStringAttr("OID", oid);
    }
    return oid;
}

// Each test starts and ends with an empty store and no XML writer.
class ObjectStoreTest : public ::testing::Test {
protected:
    void SetUp() override { eraseMap(); }
    void TearDown() override {
        setStoredObjectXmlWriter(nullptr);
        eraseMap();
    }
};

TEST_F(ObjectStoreTest, GetOrCreateMakesOneObjectPerIdentifierWithItsFirstAttributes) {
    StoredObject* port = getOrCreateObject(1, nameOf(7));
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(oidOf(port), "00011000006069000007");
    unsigned short type = 0;
    ASSERT_TRUE(port->getShortAttr("ObjType", type));
    EXPECT_EQ(type, 1);
    ASSERT_TRUE(port->getWwnAttr("WWN").has_value());
    EXPECT_EQ(*port->getWwnAttr("WWN"), nameOf(7));

    port->setShortAttr("ObjType", 99);
    EXPECT_EQ(getOrCreateObject(1, nameOf(7)), port);
    ASSERT_TRUE(port->getShortAttr("ObjType", type));
    EXPECT_EQ(type, 99) << "the second call sets nothing";

    EXPECT_NE(getOrCreateObject(2, nameOf(7)), port) << "the type is part of the identifier";
    EXPECT_EQ(findObject("00011000006069000007"), port);
    EXPECT_EQ(objectMap().size(), 2u);
}

TEST_F(ObjectStoreTest, EachFormCarriesTheNameAttributeOfItsType) {
    struct Case {
        StoredObject* object;
        const char* oid;
        const char* nameAttribute; // null: none
    } cases[] = {
        {getOrCreateObject(2, nameOf(1)), "00021000006069000001", "WWN"},
        {getOrCreateObject(21, nameOf(1)), "00151000006069000001", "WWN"},
        {getOrCreateObject(10, nameOf(1)), "000a1000006069000001", nullptr},
        {getOrCreateObject(11, nameOf(1)), "000b1000006069000001", nullptr},
        {getOrCreateObject(49, nameOf(1)), "00311000006069000001", nullptr},
        {getOrCreateObject(0xFFFB, nameOf(1)), "fffb1000006069000001", nullptr},
        {getOrCreateIndexedObject(23, nameOf(1), 0x1a),
         "00171000006069000001"
         "0000001a",
         "WWN"},
        {getOrCreateIndexedObject(39, nameOf(1), 2),
         "00271000006069000001"
         "00000002",
         "SwitchWWN"},
        {getOrCreateIndexedObject(51, nameOf(1), 3),
         "00331000006069000001"
         "00000003",
         nullptr},
        {getOrCreatePairObject(64, nameOf(1), nameOf(2), 3, 0xabc),
         "00401000006069000001"
         "1000006069000002"
         "0003"
         "0abc",
         nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.object, nullptr);
        EXPECT_EQ(oidOf(c.object), c.oid);
        for (const char* name : {"WWN", "SwitchWWN"}) {
            const bool expected =
                c.nameAttribute != nullptr && std::string(name) == c.nameAttribute;
            EXPECT_EQ(c.object->getWwnAttr(name).has_value(), expected) << c.oid << " " << name;
        }
    }
}

TEST_F(ObjectStoreTest, FindByOidReadsAtMostOneField) {
    StoredObject* sw = getOrCreateObject(2, nameOf(1));
    OID_t field = "00021000006069000001";
    EXPECT_EQ(findObjectByOid(field), sw);
    EXPECT_EQ(findObjectByOid(nullptr), nullptr);
    EXPECT_EQ(findObjectByOid("0002"), nullptr);

    char unended[sizeof(OID_t) + 8];
    std::memset(unended, 'a', sizeof unended);
    unended[sizeof unended - 1] = '\0';
    EXPECT_EQ(findObjectByOid(unended), nullptr) << "no NUL within the field";
}

TEST_F(ObjectStoreTest, ErasingDestroysTheObject) {
    getOrCreateObject(2, nameOf(1));
    getOrCreateObject(2, nameOf(2));
    EXPECT_TRUE(eraseObject("00021000006069000001"));
    EXPECT_FALSE(eraseObject("00021000006069000001"));
    EXPECT_EQ(findObject("00021000006069000001"), nullptr);
    EXPECT_NE(findObject("00021000006069000002"), nullptr);
    eraseMap();
    EXPECT_TRUE(objectMap().empty());
}

// Writes each object's OID, so a listing shows what was selected.
class OidWriter : public StoredObjectXmlWriter {
public:
    void write(const StoredObject& object, std::string& out, int) override {
        out += oidOf(&object) + ";";
    }
};

// The fabric of test objects: their "setParent", or for a fabric itself.
StoredObject* parentFabric(const char* oid) {
    StoredObject* object = findObjectUnlocked(oid);
    unsigned short type = 0;
    if (object != nullptr && object->getShortAttr("ObjType", type) && type == 9) {
        return object;
    }
    std::string parent;
    if (object == nullptr || !object->getFirstRelation("setParent", parent)) {
        return nullptr;
    }
    return findObjectUnlocked(parent);
}

// The index must name exactly what the map holds, whichever way an entry
// came or went, or a look-up would find a destroyed object or miss a live one.
TEST_F(ObjectStoreTest, LookUpsFollowEveryInsertionAndErasure) {
    StoredObject* made = getOrCreateObject(1, nameOf(1));
    ASSERT_EQ(createObject(1, nameOf(1)), nullptr) << "create-only refuses a stored identifier";
    StoredObject* created = createObject(1, nameOf(2));
    ASSERT_NE(created, nullptr);
    auto& slot = objectMap()["00041000006069000003"];
    slot = std::make_unique<StoredObject>();
    const auto [entry, inserted] =
        objectMap().emplace("00051000006069000004", std::make_unique<StoredObject>());
    ASSERT_TRUE(inserted);
    EXPECT_FALSE(objectMap().emplace("00051000006069000004", nullptr).second);

    EXPECT_EQ(findObject("00011000006069000001"), made);
    EXPECT_EQ(findObject("00011000006069000002"), created);
    EXPECT_EQ(findObject("00041000006069000003"), slot.get());
    EXPECT_EQ(findObject("00051000006069000004"), entry->second.get());
    EXPECT_EQ(findObject("0001100000606900000"), nullptr) << "a prefix names nothing";

    EXPECT_TRUE(eraseObject("00011000006069000002"));
    EXPECT_EQ(findObject("00011000006069000002"), nullptr);
    EXPECT_NE(createObject(1, nameOf(2)), nullptr) << "an erased identifier can be made again";

    std::vector<std::string> walked;
    for (const auto& [oid, object] : objectMap()) {
        walked.push_back(oid);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"00011000006069000001", "00011000006069000002",
                                                 "00041000006069000003",
                                                 "00051000006069000004"}))
        << "the walk keeps identifier order";

    eraseMap();
    EXPECT_EQ(findObject("00011000006069000001"), nullptr);
    StoredObject* again = getOrCreateObject(1, nameOf(1));
    EXPECT_EQ(findObject("00011000006069000001"), again);
}

TEST_F(ObjectStoreTest, WriteObjectsOfTypeSelectsByTypeAndFabric) {
    OidWriter writer;
    setStoredObjectXmlWriter(&writer);
    StoredObject* fabricA = getOrCreateObject(9, nameOf(0xA));
    StoredObject* fabricB = getOrCreateObject(9, nameOf(0xB));
    StoredObject* nodeA = getOrCreateObject(4, nameOf(1));
    StoredObject* nodeB = getOrCreateObject(4, nameOf(2));
    StoredObject* zeroNode = getOrCreateObject(4, WWNAddress());
    nodeA->addRelatedObject("setParent", fabricA);
    nodeB->addRelatedObject("setParent", fabricB);
    zeroNode->addRelatedObject("setParent", fabricA);
    StoredObject* device = getOrCreateObject(5, nameOf(3));
    device->addRelatedObject("setNode", nodeB);
    getOrCreateObject(2, nameOf(4))->addRelatedObject("setParent", fabricA);

    struct Case {
        std::string fabric;
        unsigned short type;
        std::string listed;
    } cases[] = {
        {"", 4, "00041000006069000001;00041000006069000002;"}, // the zero-named node left out
        {oidOf(fabricA), 4, "00041000006069000001;"},
        {oidOf(fabricB), 4, "00041000006069000002;"},
        {oidOf(fabricB), 5, "00051000006069000003;"}, // by way of its node
        {oidOf(fabricA), 5, ""},
        {"00091000006069000077", 4, ""}, // names no stored object
        {"", 9, oidOf(fabricA) + ";" + oidOf(fabricB) + ";"},
    };
    for (const Case& c : cases) {
        std::string out;
        writeObjectsOfType(c.fabric, c.type, out, 0, parentFabric);
        EXPECT_EQ(out, c.listed) << c.fabric << " type " << c.type;
    }
    std::string out;
    writeObjectsOfType(oidOf(fabricA), 4, out, 0, nullptr);
    EXPECT_EQ(out, "") << "without a locator no object has a known fabric";
}

TEST_F(ObjectStoreTest, VendorNameComesFromTheCompanyIdentifier) {
    StoredObject* sw = getOrCreateObject(2, nameOf(1));
    std::string vendor;
    vendorNameOfWwn(sw, nameOf(1));
    ASSERT_TRUE(sw->getStringAttr("VendorName", vendor));
    EXPECT_EQ(vendor, "Vosk");
    vendorNameOfWwn(sw, nameOf(1, 0x70));
    ASSERT_TRUE(sw->getStringAttr("VendorName", vendor));
    EXPECT_EQ(vendor, "Unknown");
    vendorNameOfWwn(nullptr, nameOf(1)); // nothing to name
}

// Many threads at once: get-or-create of shared and of own identifiers,
// relation and list edits, erasing and walks. Every pointer kept across
// calls is used under the object-model lock, as the store requires.
TEST_F(ObjectStoreTest, ConcurrentUseKeepsTheStoreConsistent) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 200;
    std::vector<StoredObject*> sharedSeen(kThreads);
    std::atomic<int> walkFaults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            StoredObject* shared = getOrCreateObject(9, nameOf(0xF0));
            sharedSeen[t] = shared;
            const std::string mine = "0001" + std::string(15, '0') + static_cast<char>('a' + t);
            for (int round = 0; round < kRounds; ++round) {
                StoredObject* own =
                    getOrCreateIndexedObject(23, nameOf(static_cast<unsigned char>(t)), round % 4);
                {
                    LockGuard guard(getObjectStoreMutex());
                    shared->addRelation("setSwitch", mine);
                    shared->appendListValue("setMember", mine);
                    own->addRelatedObject("setParent", shared);
                    // Every walk of the shared set sees sorted, distinct entries.
                    std::string previous;
                    std::string oid;
                    while (shared->getFirstRelation("setSwitch", oid)) {
                        if (oid <= previous) {
                            ++walkFaults;
                        }
                        previous = oid;
                    }
                    shared->removeListValue("setMember", mine);
                }
                if (round % 4 == 3) {
                    eraseObject(indexedObjectOid(23, nameOf(static_cast<unsigned char>(t)), 1));
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }

    StoredObject* shared = findObject(oidOf(sharedSeen[0]));
    ASSERT_NE(shared, nullptr);
    for (StoredObject* seen : sharedSeen) {
        EXPECT_EQ(seen, shared) << "one object for one identifier";
    }
    EXPECT_EQ(walkFaults.load(), 0);
    EXPECT_EQ(shared->getRelationCount("setSwitch"), static_cast<std::size_t>(kThreads));
    StoredObject::ListPosition position;
    std::string left;
    ASSERT_TRUE(shared->beginList("setMember", position));
    EXPECT_FALSE(shared->nextListValue("setMember", position, left)) << "every append removed";
    // The shared fabric and three port modules per thread (index 1 erased).
    EXPECT_EQ(objectMap().size(), 1u + kThreads * 3u);
}

} // namespace
