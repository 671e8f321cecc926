#include "connection/clilib_records.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "connection/clilib_session.h"
#include "foundation/InternalStatus.h"
#include "foundation/LockGuard.h"
#include "foundation/Mutex.h"
#include "remote_api.h"

namespace {

// Block header: marker, type, count, then padding so that the payload is
// aligned for any record.
struct alignas(16) ApiRecordHeader {
    std::uint32_t marker;
    std::uint32_t type;
    std::uint32_t count;
};
static_assert(sizeof(ApiRecordHeader) == 16);

// Elements of type 4: three integers.
struct ApiIntTriple {
    int values[3];
};

// The payloads handed out and not yet freed. freeApiRecord consults it
// before it reads a header, so a foreign address is refused without
// touching memory in front of it.
class LiveBlocks {
public:
    void add(void* payload) {
        LockGuard guard(&mutex_);
        blocks_.insert(payload);
    }
    bool remove(void* payload) {
        LockGuard guard(&mutex_);
        return blocks_.erase(payload) == 1;
    }
    bool contains(const void* payload) {
        LockGuard guard(&mutex_);
        return blocks_.count(const_cast<void*>(payload)) == 1;
    }
    std::size_t size() {
        LockGuard guard(&mutex_);
        return blocks_.size();
    }

private:
    Mutex mutex_{"ApiRecords"};
    std::unordered_set<void*> blocks_;
};

LiveBlocks& liveBlocks() {
    static LiveBlocks* blocks = new LiveBlocks; // outlives every static destructor
    return *blocks;
}

ApiRecordHeader* headerOf(void* payload) {
    return reinterpret_cast<ApiRecordHeader*>(static_cast<char*>(payload) -
                                              sizeof(ApiRecordHeader));
}

// Bytes that precede the elements inside the payload of `type`.
std::size_t leadingBytes(std::uint32_t type) {
    switch (type) {
    case ApiRecordRouteEntries:
        return sizeof(ApiRouteEntries);
    case ApiRecordPortList:
        return sizeof(std::uint32_t);
    default:
        return 0;
    }
}

void* allocBlock(std::uint32_t type, std::uint32_t count, std::size_t payloadSize) {
    std::size_t total = 0;
    if (__builtin_add_overflow(payloadSize, sizeof(ApiRecordHeader), &total)) {
        return nullptr;
    }
    void* raw = std::calloc(1, total);
    if (raw == nullptr) {
        return nullptr;
    }
    auto* header = static_cast<ApiRecordHeader*>(raw);
    header->marker = ApiRecordMarker;
    header->type = type;
    header->count = count;
    void* payload = header + 1;
    try {
        liveBlocks().add(payload);
    } catch (const std::bad_alloc&) {
        std::free(raw);
        return nullptr;
    }
    return payload;
}

} // namespace

std::size_t apiRecordElementSize(std::uint32_t type) {
    switch (type) {
    case 2:
        return sizeof(SessionContext);
    case 3:
    case 5:
    case 8:
    case 12:
    case 14:
        return sizeof(ApiBlockHolder);
    case 4:
        return sizeof(ApiIntTriple);
    case 6:
        return sizeof(PlatformName);
    case 7:
    case 9:
    case 10:
    case 13:
    case 15:
        return sizeof(int);
    case 11:
    case 18:
        return sizeof(ApiRouteEntries::RouteEntry);
    case 16:
        return 80; // a flat record of bytes
    case 17:
        return sizeof(char[48]); // one identifier field
    case 19:
        return sizeof(NSPortListEntry);
    default:
        return 1;
    }
}

void* allocApiRecord(std::uint32_t type, std::uint32_t count) {
    if (type < 1 || type > ApiRecordTypeLast) {
        type = ApiRecordBytes;
    }
    std::size_t elements = 0;
    std::size_t payloadSize = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(count), apiRecordElementSize(type),
                               &elements) ||
        __builtin_add_overflow(elements, leadingBytes(type), &payloadSize)) {
        return nullptr;
    }
    void* payload = allocBlock(type, count, payloadSize);
    if (payload == nullptr) {
        return nullptr;
    }
    if (type == ApiRecordRouteEntries) {
        auto* head = static_cast<ApiRouteEntries*>(payload);
        head->count = count;
        head->entries = reinterpret_cast<ApiRouteEntries::RouteEntry*>(head + 1);
    } else if (type == ApiRecordPortList) {
        *static_cast<std::uint32_t*>(payload) = count;
    }
    return payload;
}

void* allocApiBytes(std::size_t size) {
    if (size > UINT32_MAX) {
        return nullptr;
    }
    return allocApiRecord(ApiRecordBytes, static_cast<std::uint32_t>(size));
}

int freeApiRecord(void* payload) {
    if (payload == nullptr || !liveBlocks().contains(payload)) {
        return REQ_ERR_NOT_API_RECORD;
    }
    ApiRecordHeader* header = headerOf(payload);
    if (header->marker != ApiRecordMarker) {
        return REQ_ERR_NOT_API_RECORD;
    }
    const std::uint32_t type = header->type;
    if (header->count > 0) {
        auto* holder = static_cast<ApiBlockHolder*>(payload);
        switch (type) {
        case 3:
        case 5:
        case 8:
        case 12:
            if (holder->block != nullptr) {
                freeApiRecord(holder->block);
            }
            break;
        case 14:
            if (holder->block != nullptr) {
                if (liveBlocks().contains(holder->block)) {
                    void* inner = *static_cast<void**>(holder->block);
                    if (inner != nullptr) {
                        freeApiRecord(inner);
                    }
                }
                freeApiRecord(holder->block);
            }
            break;
        default:
            break;
        }
    }
    if (!liveBlocks().remove(payload)) {
        return REQ_ERR_NOT_API_RECORD;
    }
    header->marker = 0;
    std::free(header);
    return 0;
}

bool apiRecordInfo(const void* payload, std::uint32_t* type, std::uint32_t* count) {
    if (payload == nullptr || !liveBlocks().contains(payload)) {
        return false;
    }
    const ApiRecordHeader* header = headerOf(const_cast<void*>(payload));
    if (type != nullptr) {
        *type = header->type;
    }
    if (count != nullptr) {
        *count = header->count;
    }
    return true;
}

std::size_t liveApiRecords() {
    return liveBlocks().size();
}
