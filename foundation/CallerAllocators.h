// The allocators of the blocks handed to callers: raw bytes and the fixed
// records of the fabric access functions (orvane/fabapi.h).
//
// Each is a stateless singleton made on first use and never destroyed, so it
// outlives the registry that refers to it. Fixed records are handed out
// zero-filled, so that freeing a record that was only partly filled never
// frees a stray pointer. Every array and text a record points to is a C-heap
// block owned by the record; free() releases them with the record, trusting
// a record's count only while the array it counts is there.
#pragma once

#include "foundation/Mem_Allocator_Ifc.h"

// `count` bytes, zero-filled.
class Mem_Allocator_Impl_Bytes final : public Mem_Allocator_Ifc {
public:
    static Mem_Allocator_Impl_Bytes* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// One FabAPI_ProxyEntryList; `count` is ignored.
class Mem_Alloc_Impl_FabAPI_ProxyEntryList final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabAPI_ProxyEntryList* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// One FabAPI_ClientSessionIDList; `count` is ignored.
class Mem_Alloc_Impl_FabAPI_ClientSessionIDList final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabAPI_ClientSessionIDList* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// One FabAPI_ClientSessionID; `count` is ignored.
class Mem_Alloc_Impl_FabAPI_ClientSessionID final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabAPI_ClientSessionID* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// One FabAPI_FabricSignature; `count` is ignored.
class Mem_Alloc_Impl_FabAPI_FabricSignature final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabAPI_FabricSignature* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// One FabAPI_FabricDiscoveryInfo; `count` is ignored.
class Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};

// A fabric identities table of `count` rows plus the terminator row (empty
// identifier, null list), which the allocator writes itself.
class Mem_Alloc_Impl_FabricIdentitiesType final : public Mem_Allocator_Ifc {
public:
    static Mem_Alloc_Impl_FabricIdentitiesType* instance();
    void* allocate(int count) override;
    void free(void* block) override;
};
