// The process-wide list of proxy switches the caller registered, in the
// order they were appended. Entries are told apart by host address alone:
// no two entries share a host text.
//
// The list has no lock of its own: its users are the start-up, proxy and
// discovery calls, which do not change it from two threads at once.
#pragma once

#include "api/FabricProxyEntry.h"

#include <vector>

class ProxyEntryList {
public:
    // Appends a copy unless an entry with the same host is listed.
    void append(const FabricProxyEntry& entry);
    // Whether an entry with the same host is listed (user and password
    // are not compared).
    bool contains(const FabricProxyEntry& entry) const;
    // Removes the listed entry with the same host, if any.
    void remove(const FabricProxyEntry& entry);
    void clear();
    std::vector<FabricProxyEntry> copyEntries() const;

    // Replaces the list by the addresses of a caller's array, which ends at
    // a null pointer or an empty text. User and password stay empty.
    void fillFromAddresses(const char* const* addresses);
    // Replaces the list by the addresses in the file that FABRIC_CONFIG_FILE
    // names, one a line. Returns 0, or -3 with the list unchanged when the
    // variable is unset or the file cannot be opened.
    int fillFromConfigFile();

private:
    std::vector<FabricProxyEntry> entries;
};

// The one process-wide list, empty on first use.
ProxyEntryList& getProxyEntryList();
