#include "foundation/CallerAllocators.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "foundation/MemoryRegistry.h"
#include "orvane/fabapi.h"

// Every nested part below is a C-heap block; LeakSanitizer reports any that
// a free leaves behind, and AddressSanitizer any freed twice.
namespace {

template <typename T> T* cArray(int count) {
    return static_cast<T*>(std::calloc(static_cast<size_t>(count), sizeof(T)));
}

void fillProxyEntries(FabAPI_ProxyEntry*& entries, int& count, int n) {
    entries = cArray<FabAPI_ProxyEntry>(n);
    count = n;
    for (int i = 0; i < n; ++i) {
        entries[i].pcHostName = strdup("127.1.2.3");
        entries[i].pcUser = strdup("admin");
        entries[i].pcPassword = strdup("");
    }
}

void fillSignature(FabAPI_FabricSignature& signature, int switches) {
    std::strncpy(signature.structFabricOID, "00091000000000000001", sizeof(OID_t) - 1);
    signature.structSwitchOIDs = cArray<OID_t>(switches);
    signature.count = switches;
    for (int i = 0; i < switches; ++i) {
        std::snprintf(signature.structSwitchOIDs[i], sizeof(OID_t), "0002100000000000000%d", i);
    }
}

char* sessionIdText(const char* oid) {
    char* text = cArray<char>(sizeof(OID_t));
    std::strncpy(text, oid, sizeof(OID_t) - 1);
    return text;
}

template <typename Record, typename Allocator> Record* allocateRecord() {
    return static_cast<Record*>(AllocateTracked(0, Allocator::instance()));
}

TEST(CallerAllocatorsTest, FixedRecordsAreHandedOutZeroFilled) {
    auto* list = allocateRecord<FabAPI_ProxyEntryList, Mem_Alloc_Impl_FabAPI_ProxyEntryList>();
    auto* ids =
        allocateRecord<FabAPI_ClientSessionIDList, Mem_Alloc_Impl_FabAPI_ClientSessionIDList>();
    auto* id = allocateRecord<FabAPI_ClientSessionID, Mem_Alloc_Impl_FabAPI_ClientSessionID>();
    auto* signature =
        allocateRecord<FabAPI_FabricSignature, Mem_Alloc_Impl_FabAPI_FabricSignature>();
    auto* info =
        allocateRecord<FabAPI_FabricDiscoveryInfo, Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo>();
    ASSERT_TRUE(list && ids && id && signature && info);

    EXPECT_EQ(list->entries, nullptr);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(ids->ids, nullptr);
    EXPECT_EQ(ids->count, 0);
    EXPECT_EQ(id->structSessionID, nullptr);
    EXPECT_EQ(signature->structFabricOID[0], '\0');
    EXPECT_EQ(signature->structSwitchOIDs, nullptr);
    EXPECT_EQ(info->structFabIdentities, nullptr);
    EXPECT_EQ(info->structUnreachableEntries, nullptr);
    EXPECT_EQ(info->structUnstableEntries, nullptr);

    // Freeing records nobody filled frees no stray pointer.
    for (void* block : {static_cast<void*>(list), static_cast<void*>(ids), static_cast<void*>(id),
                        static_cast<void*>(signature), static_cast<void*>(info)}) {
        EXPECT_EQ(FreeTracked(block), 0);
    }
}

TEST(CallerAllocatorsTest, ProxyEntryListFreesEveryText) {
    auto* list = allocateRecord<FabAPI_ProxyEntryList, Mem_Alloc_Impl_FabAPI_ProxyEntryList>();
    ASSERT_NE(list, nullptr);
    fillProxyEntries(list->entries, list->count, 3);
    EXPECT_EQ(FreeTracked(list), 0);
}

TEST(CallerAllocatorsTest, PartlyFilledProxyEntryListFreesWhatIsThere) {
    auto* list = allocateRecord<FabAPI_ProxyEntryList, Mem_Alloc_Impl_FabAPI_ProxyEntryList>();
    ASSERT_NE(list, nullptr);
    // The entry array exists and is counted, but only the first host is set.
    list->entries = cArray<FabAPI_ProxyEntry>(2);
    list->count = 2;
    list->entries[0].pcHostName = strdup("127.66.0.1");
    EXPECT_EQ(FreeTracked(list), 0);
}

TEST(CallerAllocatorsTest, ClientSessionRecordsFreeTheirIdentifiers) {
    auto* id = allocateRecord<FabAPI_ClientSessionID, Mem_Alloc_Impl_FabAPI_ClientSessionID>();
    ASSERT_NE(id, nullptr);
    id->structSessionID = sessionIdText("00091000000000000001");
    EXPECT_EQ(FreeTracked(id), 0);

    auto* list =
        allocateRecord<FabAPI_ClientSessionIDList, Mem_Alloc_Impl_FabAPI_ClientSessionIDList>();
    ASSERT_NE(list, nullptr);
    list->ids = cArray<FabAPI_ClientSessionID*>(2);
    list->count = 2;
    for (int i = 0; i < 2; ++i) {
        list->ids[i] = cArray<FabAPI_ClientSessionID>(1);
        list->ids[i]->structSessionID = sessionIdText("00091000000000000002");
    }
    EXPECT_EQ(FreeTracked(list), 0);
}

TEST(CallerAllocatorsTest, SignatureFreesItsSwitchIdentifiers) {
    auto* signature =
        allocateRecord<FabAPI_FabricSignature, Mem_Alloc_Impl_FabAPI_FabricSignature>();
    ASSERT_NE(signature, nullptr);
    fillSignature(*signature, 4);
    EXPECT_EQ(FreeTracked(signature), 0);
}

TEST(CallerAllocatorsTest, DiscoveryInfoFreesIdentitiesAndEntryLists) {
    auto* info =
        allocateRecord<FabAPI_FabricDiscoveryInfo, Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo>();
    ASSERT_NE(info, nullptr);
    info->structFabIdentities = cArray<FabAPI_FabricIdentity>(2);
    info->identityCount = 2;
    fillSignature(info->structFabIdentities[0].structFabSig, 3);
    fillProxyEntries(info->structFabIdentities[0].entries, info->structFabIdentities[0].count, 2);
    fillSignature(info->structFabIdentities[1].structFabSig, 1);
    fillProxyEntries(info->structUnreachableEntries, info->unreachableCount, 2);
    fillProxyEntries(info->structUnstableEntries, info->unstableCount, 1);
    EXPECT_EQ(FreeTracked(info), 0);
}

TEST(CallerAllocatorsTest, IdentitiesTableOfNoRowsHoldsOnlyTheTerminator) {
    auto* table = static_cast<FabricIdentitiesType*>(
        AllocateTracked(0, Mem_Alloc_Impl_FabricIdentitiesType::instance()));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].fabricOID[0], '\0');
    EXPECT_EQ(table[0].proxyAddresses, nullptr);
    EXPECT_EQ(FreeTracked(table), 0);
    EXPECT_EQ(AllocateTracked(-1, Mem_Alloc_Impl_FabricIdentitiesType::instance()), nullptr);
}

TEST(CallerAllocatorsTest, IdentitiesTableFreesEveryAddressList) {
    constexpr int kRows = 2;
    auto* table = static_cast<FabricIdentitiesType*>(
        AllocateTracked(kRows, Mem_Alloc_Impl_FabricIdentitiesType::instance()));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[kRows].proxyAddresses, nullptr) << "terminator row after the rows asked for";
    for (int row = 0; row < kRows; ++row) {
        std::snprintf(table[row].fabricOID, sizeof(OID_t), "000910000000000000%02d", row + 1);
        table[row].proxyAddresses = cArray<char*>(3);
        table[row].proxyAddresses[0] = strdup("127.66.0.1");
        table[row].proxyAddresses[1] = strdup("127.66.0.2");
        table[row].proxyAddresses[2] = strdup("");
    }
    EXPECT_EQ(FreeTracked(table), 0);
}

} // namespace
