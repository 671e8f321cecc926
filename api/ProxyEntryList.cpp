#include "api/ProxyEntryList.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr int kStatusBadArgument = -3;

bool sameHost(const FabricProxyEntry& a, const FabricProxyEntry& b) {
    return a.getHost() == b.getHost();
}

FabricProxyEntry entryForHost(const std::string& host) {
    return FabricProxyEntry("", "", IPAddress(host.c_str()));
}

} // namespace

void ProxyEntryList::append(const FabricProxyEntry& entry) {
    if (!contains(entry)) {
        entries.push_back(entry);
    }
}

bool ProxyEntryList::contains(const FabricProxyEntry& entry) const {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const FabricProxyEntry& listed) { return sameHost(listed, entry); });
}

void ProxyEntryList::remove(const FabricProxyEntry& entry) {
    auto listed = std::find_if(entries.begin(), entries.end(),
                               [&](const FabricProxyEntry& e) { return sameHost(e, entry); });
    if (listed != entries.end()) {
        entries.erase(listed);
    }
}

void ProxyEntryList::clear() {
    entries.clear();
}

std::vector<FabricProxyEntry> ProxyEntryList::copyEntries() const {
    return entries;
}

void ProxyEntryList::fillFromAddresses(const char* const* addresses) {
    clear();
    if (addresses == nullptr) {
        return;
    }
    for (const char* const* address = addresses; *address != nullptr && **address != '\0';
         ++address) {
        append(entryForHost(*address));
    }
}

int ProxyEntryList::fillFromConfigFile() {
    const char* fileName = std::getenv("FABRIC_CONFIG_FILE");
    if (fileName == nullptr) {
        return kStatusBadArgument;
    }
    std::ifstream file(fileName);
    if (!file) {
        return kStatusBadArgument;
    }
    clear();
    // Each line is one address, taken whole whatever its length; the line
    // end (LF or CR LF) is dropped and blank lines are skipped.
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            append(entryForHost(line));
        }
    }
    return 0;
}

ProxyEntryList& getProxyEntryList() {
    static ProxyEntryList list;
    return list;
}
