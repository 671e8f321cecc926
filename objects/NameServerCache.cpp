#include "objects/NameServerCache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"

namespace {

constexpr int kNotFound = -21;
constexpr int kNoMemory = -2;
constexpr int kLastPortId = 128;

using Key = std::pair<SessionContext*, int>;

std::map<Key, NameServerEntry*>& cache() {
    static std::map<Key, NameServerEntry*> entries;
    return entries;
}

bool cacheOn = false;
SessionContext* lastFilled = nullptr;

template <class Match> const NameServerEntry* firstMatch(Match&& match) {
    for (const auto& [key, entry] : cache()) {
        if (match(*entry)) {
            return entry;
        }
    }
    return nullptr;
}

} // namespace

void fillNameServerCache(SessionContext* ctx) {
    lastFilled = ctx;
    unsigned int previous = 0;
    // Identifiers taken in this fill: the walk ends when it comes back to
    // the first, and also at any other identifier met again, so that a
    // switch cycling without its first entry cannot hold the walk forever.
    // The order in which the switch hands the entries out is its own.
    std::set<unsigned int> taken;
    for (;;) {
        NameServerEntry* entry = nullptr;
        if (snsGetNextEntry(ctx, previous, &entry) != 0 || entry == nullptr) {
            return;
        }
        const auto id = static_cast<unsigned int>(entry->portId) & 0xFFFFFFu;
        if (!taken.insert(id).second) {
            freeApiRecord(entry);
            return;
        }
        previous = id;
        const auto [place, inserted] = cache().emplace(Key{ctx, static_cast<int>(id)}, entry);
        if (!inserted) {
            freeApiRecord(entry);
        }
    }
}

void clearNameServerCache() {
    for (auto& [key, entry] : cache()) {
        freeApiRecord(entry);
    }
    cache().clear();
}

void startNameServerCache() {
    cacheOn = true;
}

void endNameServerCache() {
    if (cacheOn) {
        cacheOn = false;
        clearNameServerCache();
    }
}

bool nameServerCacheOn() {
    return cacheOn;
}

std::size_t nameServerCacheSize() {
    return cache().size();
}

int nsEntryByPortName(const unsigned char portName[8], const NameServerEntry** entry) {
    const NameServerEntry* found = firstMatch(
        [&](const NameServerEntry& e) { return std::memcmp(e.portName, portName, 8) == 0; });
    if (found == nullptr) {
        return kNotFound;
    }
    *entry = found;
    return 0;
}

int nsPortIdByPortName(const unsigned char portName[8], int* portId) {
    const NameServerEntry* entry = nullptr;
    const int status = nsEntryByPortName(portName, &entry);
    if (status == 0) {
        *portId = entry->portId;
    }
    return status;
}

int nsPortIdsByNodeName(const unsigned char nodeName[8], NameServerPortId** list,
                        std::size_t* count) {
    std::size_t matches = 0;
    for (const auto& [key, entry] : cache()) {
        matches += std::memcmp(entry->nodeName, nodeName, 8) == 0 ? 1 : 0;
    }
    if (matches == 0) {
        return kNotFound;
    }
    auto* pairs = static_cast<NameServerPortId*>(std::calloc(matches, sizeof(NameServerPortId)));
    if (pairs == nullptr) {
        return kNoMemory;
    }
    std::size_t i = 0;
    for (const auto& [key, entry] : cache()) {
        if (i < matches && std::memcmp(entry->nodeName, nodeName, 8) == 0) {
            pairs[i].control = 0;
            pairs[i].portId = entry->portId;
            ++i;
        }
    }
    pairs[matches - 1].control = kLastPortId;
    *list = pairs;
    if (count != nullptr) {
        *count = matches;
    }
    return 0;
}

int nsPortNameByPortId(int portId, unsigned char portName[8], SessionContext* ctx) {
    const auto found = cache().find(Key{ctx != nullptr ? ctx : lastFilled, portId});
    if (found == cache().end()) {
        return kNotFound;
    }
    std::memcpy(portName, found->second->portName, 8);
    return 0;
}

int nsSymbolicNodeName(const unsigned char nodeName[8], int* length, char* text, std::size_t size) {
    const NameServerEntry* entry = firstMatch(
        [&](const NameServerEntry& e) { return std::memcmp(e.nodeName, nodeName, 8) == 0; });
    if (entry == nullptr) {
        return kNotFound;
    }
    const int stored = entry->symbolicNodeNameLength;
    const std::size_t wanted = stored > 0 ? static_cast<std::size_t>(stored) : 0;
    *length = stored;
    if (text != nullptr && size > 0) {
        const std::size_t n = std::min<std::size_t>(
            {wanted, size - 1, strnlen(entry->symbolicNodeName, SymbolicNameMax)});
        std::memcpy(text, entry->symbolicNodeName, n);
        text[n] = '\0';
    }
    return 0;
}
