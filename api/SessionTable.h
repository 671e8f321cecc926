// The process-wide tables of open sessions, keyed by session identifier
// (the fabric's 48-character identifier text): the session table of the
// newer calls (to the ClientSession) and the legacy session table of the
// older calls (to the record the establishing call returned). Neither owns
// what it names. Each table has its own lock, so that calls on several
// threads may consult it at once.
#pragma once

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <orvane/fabapi.h>

#include "foundation/LockGuard.h"
#include "foundation/Mutex.h"

class ClientSession;

template <class Value> class SessionTableOf {
public:
    SessionTableOf() = default;
    SessionTableOf(const SessionTableOf&) = delete;
    SessionTableOf& operator=(const SessionTableOf&) = delete;

    // An existing key gets the new value.
    void add(const char* sessionId, Value* value) {
        LockGuard guard(&lock);
        entries[keyOf(sessionId)] = value;
    }
    void remove(const char* sessionId) {
        LockGuard guard(&lock);
        entries.erase(keyOf(sessionId));
    }
    Value* find(const char* sessionId) const {
        LockGuard guard(&lock);
        const auto it = entries.find(keyOf(sessionId));
        return it == entries.end() ? nullptr : it->second;
    }
    int count() const {
        LockGuard guard(&lock);
        return static_cast<int>(entries.size());
    }
    // The keys in ascending order.
    std::vector<std::string> identifiers() const {
        LockGuard guard(&lock);
        std::vector<std::string> keys;
        keys.reserve(entries.size());
        for (const auto& entry : entries) {
            keys.push_back(entry.first);
        }
        return keys;
    }

private:
    // Keys compare on at most 48 characters.
    static std::string keyOf(const char* sessionId) {
        return sessionId == nullptr ? std::string()
                                    : std::string(sessionId, strnlen(sessionId, 48));
    }

    mutable Mutex lock{"SessionTable"};
    std::map<std::string, Value*> entries;
};

using SessionTable = SessionTableOf<ClientSession>;
using LegacySessionTable = SessionTableOf<FabAPI_ClientSessionID>;
