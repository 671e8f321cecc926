#include "api/ProxyEntryList.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

int ProxyEntryList::fillFromAddresses(const char* const* addresses) {
    std::vector<std::string> hosts;
    for (const char* const* address = addresses;
         address != nullptr && *address != nullptr && **address != '\0'; ++address) {
        if (!isHostText(*address)) {
            return kStatusBadArgument;
        }
        hosts.emplace_back(*address);
    }
    replaceByHosts(hosts);
    return 0;
}

int ProxyEntryList::fillFromConfigFile() {
    const char* fileName = std::getenv("FABRIC_CONFIG_FILE");
    if (fileName == nullptr) {
        return kStatusBadArgument;
    }
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName, "r"), std::fclose);
    if (!file) {
        return kStatusBadArgument;
    }
    // Room for the longest host text, CR, LF and NUL: a line that does not
    // fit is no host text, and nothing longer is ever held.
    char line[kHostTextMax + 3];
    std::vector<std::string> hosts;
    while (std::fgets(line, sizeof line, file.get()) != nullptr) {
        std::size_t length = std::strlen(line);
        const bool ended = length > 0 && line[length - 1] == '\n';
        if (!ended && !std::feof(file.get())) {
            return kStatusBadArgument; // too long for a host text
        }
        length -= ended ? 1 : 0;
        length -= length > 0 && line[length - 1] == '\r' ? 1 : 0;
        line[length] = '\0';
        if (length == 0) {
            continue;
        }
        if (!isHostText(line)) {
            return kStatusBadArgument;
        }
        hosts.emplace_back(line, length);
    }
    if (std::ferror(file.get())) {
        return kStatusBadArgument;
    }
    replaceByHosts(hosts);
    return 0;
}

ProxyEntryList& getProxyEntryList() {
    static ProxyEntryList list;
    return list;
}
