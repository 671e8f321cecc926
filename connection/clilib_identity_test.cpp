// Identity records for callers, built from discovery results shaped as the
// session classes shape them.
#include "connection/clilib_identity.h"

#include <map>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "foundation/CallerAllocators.h"

namespace {

WWNAddress wwn(unsigned char last, unsigned char kind = 0x00) {
    const unsigned char bytes[8] = {0x10, 0, 0, 0x60, 0x69, kind, 0, last};
    return WWNAddress(bytes);
}

struct Signature {
    WWNAddress fabric;
    std::set<WWNAddress> switches;
    WWNAddress getFabricWWN() const { return fabric; }
    std::set<WWNAddress> getSwitches() const { return switches; }
};

struct Identity {
    Signature signature;
    std::vector<FabricProxyEntry*> entries;
    ~Identity() {
        for (auto* entry : entries) {
            delete entry;
        }
    }
    const Signature& getSignature() const { return signature; }
    const std::vector<FabricProxyEntry*>& getProxyEntries() const { return entries; }
};

struct DiscoveryInfo {
    std::map<WWNAddress, Identity*> identities;
    std::vector<FabricProxyEntry> unreachable;
    std::vector<FabricProxyEntry> unstable;
    ~DiscoveryInfo() {
        for (auto& [name, identity] : identities) {
            delete identity;
        }
    }
    const std::map<WWNAddress, Identity*>& getIdentities() const { return identities; }
    const std::vector<FabricProxyEntry>& getUnreachableEntries() const { return unreachable; }
    const std::vector<FabricProxyEntry>& getUnstableEntries() const { return unstable; }
};

FabricProxyEntry entry(const char* host, const char* user = "admin", const char* password = "pw") {
    return FabricProxyEntry(user, password, IPAddress(host));
}

// Two fabrics (given out of order), one unreachable and one unstable proxy.
std::unique_ptr<DiscoveryInfo> discovery() {
    auto info = std::make_unique<DiscoveryInfo>();
    auto* b = new Identity{{wwn(0, 0xbb), {wwn(2, 0xbb)}}, {}};
    b->entries.push_back(new FabricProxyEntry(entry("127.0.0.3")));
    auto* a = new Identity{{wwn(0, 0xaa), {wwn(2, 0xaa), wwn(1, 0xaa)}}, {}};
    a->entries.push_back(new FabricProxyEntry(entry("127.0.0.1")));
    a->entries.push_back(new FabricProxyEntry(entry("127.0.0.2", "ops", "")));
    info->identities[b->signature.fabric] = b;
    info->identities[a->signature.fabric] = a;
    info->unreachable.push_back(entry("127.0.0.9"));
    info->unstable.push_back(entry("127.0.0.8", "", ""));
    return info;
}

TEST(IdentityRecords, ProxyEntriesCarryHostAndUserButNeverThePassword) {
    const std::vector<FabricProxyEntry> entries = {entry("127.0.0.1"),
                                                   entry("127.0.0.2", "ops", "")};
    FabAPI_ProxyEntry* records = nullptr;
    int count = 0;
    ASSERT_EQ(0, toProxyEntryRecords(entries, &records, &count));
    ASSERT_EQ(2, count);
    EXPECT_STREQ("127.0.0.1", records[0].pcHostName);
    EXPECT_STREQ("admin", records[0].pcUser);
    EXPECT_STREQ("", records[0].pcPassword); // the entry has "pw"
    EXPECT_STREQ("ops", records[1].pcUser);
    EXPECT_STREQ("", records[1].pcPassword);
    freeProxyEntryRecords(records, count);

    ASSERT_EQ(0, toProxyEntryRecords(std::vector<FabricProxyEntry>{}, &records, &count));
    EXPECT_EQ(nullptr, records);
    EXPECT_EQ(0, count);
}

TEST(IdentityRecords, SignatureHoldsFabricAndSwitchIdentifiersInSetOrder) {
    const Signature signature{wwn(0, 0xaa), {wwn(2, 0xaa), wwn(1, 0xaa)}};
    FabAPI_FabricSignature record{};
    ASSERT_EQ(0, toFabricSignatureRecord(signature, &record));
    EXPECT_STREQ("00091000006069aa0000", record.structFabricOID);
    ASSERT_EQ(2, record.count);
    EXPECT_STREQ("00021000006069aa0001", record.structSwitchOIDs[0]);
    EXPECT_STREQ("00021000006069aa0002", record.structSwitchOIDs[1]);
    freeFabricSignatureRecord(&record);
}

TEST(IdentityRecords, DiscoveryInfoOrdersIdentitiesByFabricName) {
    const auto info = discovery();
    // The caller frees the record through its allocator, as falFreeObject does.
    auto* record = static_cast<FabAPI_FabricDiscoveryInfo*>(
        Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::instance()->allocate(1));
    ASSERT_EQ(0, toFabricDiscoveryInfoRecord(*info, record));
    ASSERT_EQ(2, record->identityCount);
    const FabAPI_FabricIdentity& first = record->structFabIdentities[0];
    EXPECT_STREQ("00091000006069aa0000", first.structFabSig.structFabricOID);
    EXPECT_EQ(2, first.structFabSig.count);
    ASSERT_EQ(2, first.count);
    EXPECT_STREQ("127.0.0.2", first.entries[1].pcHostName);
    EXPECT_STREQ("00091000006069bb0000",
                 record->structFabIdentities[1].structFabSig.structFabricOID);
    ASSERT_EQ(1, record->unreachableCount);
    EXPECT_STREQ("127.0.0.9", record->structUnreachableEntries[0].pcHostName);
    ASSERT_EQ(1, record->unstableCount);
    EXPECT_STREQ("127.0.0.8", record->structUnstableEntries[0].pcHostName);
    Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::instance()->free(record);
}

TEST(IdentityRecords, EmptyDiscoveryGivesThreeEmptyArrays) {
    const DiscoveryInfo info;
    FabAPI_FabricDiscoveryInfo record{};
    ASSERT_EQ(0, toFabricDiscoveryInfoRecord(info, &record));
    EXPECT_EQ(nullptr, record.structFabIdentities);
    EXPECT_EQ(0, record.identityCount);
    EXPECT_EQ(nullptr, record.structUnreachableEntries);
    EXPECT_EQ(nullptr, record.structUnstableEntries);
}

TEST(IdentityRecords, OlderIdentitiesTableCountsFromZero) {
    const auto info = discovery();
    FabricIdentitiesRecord* records = nullptr;
    ASSERT_EQ(2, toFabricIdentitiesRecords(*info, &records));
    EXPECT_EQ(0, records[0].position);
    EXPECT_EQ(0xaa, records[0].fabricWWN[5]);
    ASSERT_EQ(2, records[0].proxyCount);
    EXPECT_STREQ("127.0.0.1", records[0].proxyAddresses[0]);
    EXPECT_STREQ("127.0.0.2", records[0].proxyAddresses[1]);
    EXPECT_EQ(1, records[1].position);
    EXPECT_EQ(0xbb, records[1].fabricWWN[5]);
    ASSERT_EQ(1, records[1].proxyCount);
    EXPECT_STREQ("127.0.0.3", records[1].proxyAddresses[0]);
    freeFabricIdentitiesRecords(2, records);

    ASSERT_EQ(0, toFabricIdentitiesRecords(DiscoveryInfo{}, &records));
    EXPECT_EQ(nullptr, records);
}

} // namespace
