#include "api/ProxyEntryList.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "foundation/LockGuard.h"

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
    appendUnlessListed(entry);
}

bool ProxyEntryList::appendUnlessListed(const FabricProxyEntry& entry) {
    LockGuard guard(&lock);
    if (contains(entry)) {
        return false;
    }
    entries.push_back(entry);
    return true;
}

bool ProxyEntryList::contains(const FabricProxyEntry& entry) const {
    LockGuard guard(&lock);
    return std::any_of(entries.begin(), entries.end(),
                       [&](const FabricProxyEntry& listed) { return sameHost(listed, entry); });
}

void ProxyEntryList::remove(const FabricProxyEntry& entry) {
    removeIfListed(entry);
}

bool ProxyEntryList::removeIfListed(const FabricProxyEntry& entry) {
    LockGuard guard(&lock);
    auto listed = std::find_if(entries.begin(), entries.end(),
                               [&](const FabricProxyEntry& e) { return sameHost(e, entry); });
    if (listed == entries.end()) {
        return false;
    }
    entries.erase(listed);
    return true;
}

void ProxyEntryList::clear() {
    LockGuard guard(&lock);
    entries.clear();
}

std::vector<FabricProxyEntry> ProxyEntryList::copyEntries() const {
    LockGuard guard(&lock);
    return entries;
}

void ProxyEntryList::replaceByHosts(const std::vector<std::string>& hosts) {
    LockGuard guard(&lock);
    entries.clear();
    for (const std::string& host : hosts) {
        append(entryForHost(host));
    }
}

void ProxyEntryList::fillFromAddresses(const char* const* addresses) {
    std::vector<std::string> hosts;
    for (const char* const* address = addresses;
         address != nullptr && *address != nullptr && **address != '\0'; ++address) {
        hosts.emplace_back(*address);
    }
    replaceByHosts(hosts);
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
    // Each line is one address, taken whole whatever its length; the line
    // end (LF or CR LF) is dropped and blank lines are skipped.
    std::vector<std::string> hosts;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            hosts.push_back(line);
        }
    }
    replaceByHosts(hosts);
    return 0;
}

ProxyEntryList& getProxyEntryList() {
    static ProxyEntryList list;
    return list;
}
