// The process-wide list of proxy switches the caller registered, in the
// order they were appended. Entries are told apart by host address alone:
// no two entries share a host text.
//
// The list's own lock makes every operation atomic, so that calls on
// several threads may use it at once.
#pragma once

#include "connection/FabricProxyEntry.h"
#include "foundation/Mutex.h"

#include <string>
#include <vector>

class ProxyEntryList {
public:
    // Appends a copy unless an entry with the same host is listed.
    void append(const FabricProxyEntry& entry);
    // As append(): true when the entry was appended, false when its host
    // was listed already.
    bool appendUnlessListed(const FabricProxyEntry& entry);
    // Whether an entry with the same host is listed (user and password
    // are not compared).
    bool contains(const FabricProxyEntry& entry) const;
    // Removes the listed entry with the same host, if any.
    void remove(const FabricProxyEntry& entry);
    // As remove(): true when an entry was removed, false when none was
    // listed.
    bool removeIfListed(const FabricProxyEntry& entry);
    void clear();
    std::vector<FabricProxyEntry> copyEntries() const;

    // Replaces the list by the addresses of a caller's array, which ends at
    // a null pointer or an empty text. User and password stay empty.
    // Returns 0, or -3 with the list unchanged when a text is not a host
    // text (isHostText).
    int fillFromAddresses(const char* const* addresses);
    // Replaces the list by the addresses in the file that FABRIC_CONFIG_FILE
    // names, one a line (LF or CR LF ended; blank lines are skipped).
    // Returns 0, or -3 with the list unchanged when the variable is unset,
    // the file cannot be opened or read, or a line is not a host text.
    int fillFromConfigFile();

private:
    // Replaces the list by `hosts`, repeated hosts skipped.
    void replaceByHosts(const std::vector<std::string>& hosts);

    mutable Mutex lock{"ProxyEntryList"};
    std::vector<FabricProxyEntry> entries;
};

// The one process-wide list, empty on first use.
ProxyEntryList& getProxyEntryList();
