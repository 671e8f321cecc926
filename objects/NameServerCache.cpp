#include "objects/NameServerCache.h"

#include <algorithm>
#include <array>
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
using Name = std::array<unsigned char, 8>;

std::map<Key, NameServerEntry*>& cache() {
    static std::map<Key, NameServerEntry*> entries;
    return entries;
}

// The cached entries by port name and by node name, each set in the
// cache's own order, so that a look-up by name finds what a walk of the
// cache in key order would find first.
std::map<Name, std::set<Key>>& byPortName() {
    static std::map<Name, std::set<Key>> index;
    return index;
}

std::map<Name, std::set<Key>>& byNodeName() {
    static std::map<Name, std::set<Key>> index;
    return index;
}

Name nameOf(const unsigned char bytes[8]) {
    Name name;
    std::memcpy(name.data(), bytes, name.size());
    return name;
}

bool cacheOn = false;
SessionContext* lastFilled = nullptr;

// The keys of the entries with this name in `index`, or null.
const std::set<Key>* keysNamed(const std::map<Name, std::set<Key>>& index,
                               const unsigned char name[8]) {
    const auto found = index.find(nameOf(name));
    return found != index.end() && !found->second.empty() ? &found->second : nullptr;
}

const NameServerEntry* firstNamed(const std::map<Name, std::set<Key>>& index,
                                  const unsigned char name[8]) {
    const std::set<Key>* keys = keysNamed(index, name);
    return keys != nullptr ? cache().at(*keys->begin()) : nullptr;
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
        const Key key{ctx, static_cast<int>(id)};
        const auto [place, inserted] = cache().emplace(key, entry);
        if (!inserted) {
            freeApiRecord(entry);
            continue;
        }
        byPortName()[nameOf(entry->portName)].insert(key);
        byNodeName()[nameOf(entry->nodeName)].insert(key);
    }
}

void clearNameServerCache() {
    for (auto& [key, entry] : cache()) {
        freeApiRecord(entry);
    }
    cache().clear();
    byPortName().clear();
    byNodeName().clear();
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
    const NameServerEntry* found = firstNamed(byPortName(), portName);
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
    const std::set<Key>* keys = keysNamed(byNodeName(), nodeName);
    if (keys == nullptr) {
        return kNotFound;
    }
    const std::size_t matches = keys->size();
    auto* pairs = static_cast<NameServerPortId*>(std::calloc(matches, sizeof(NameServerPortId)));
    if (pairs == nullptr) {
        return kNoMemory;
    }
    std::size_t i = 0;
    for (const Key& key : *keys) {
        pairs[i].control = 0;
        pairs[i].portId = cache().at(key)->portId;
        ++i;
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
    const NameServerEntry* entry = firstNamed(byNodeName(), nodeName);
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
