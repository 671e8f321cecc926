// Reads the proxy switch's world wide name and firmware version from the
// data lines of its "switch.html" page.
#pragma once

#include "foundation/FirmwareVersion.h"
#include "foundation/WWNAddress.h"

#include <list>
#include <optional>
#include <string>

struct ProxyInfo {
    std::optional<WWNAddress> wwn;
    std::optional<FirmwareVersion> version;
};

// For each line in page order: "swWwn", one separator character and a name
// of eight hexadecimal bytes (each of the first seven followed by one
// separator) gives the name; "swFWVersion", one separator character and a
// text gives the version. A later line replaces an earlier value. A name of
// which not even one byte can be read is no name.
ProxyInfo readProxyInfo(const std::list<std::string>& lines);
