#include "topology/UDAL_Topology.h"

#include "adapters/http/HTTPConnection.h"
#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"
#include "adapters/http/ScanText.h"
#include "topology/WorldName.h"

#include <climits>
#include <optional>
#include <string_view>

namespace {

constexpr char kModule[] = "UDAL_Topology";
constexpr int kMaxDomain = 255;
constexpr int kMaxPort = 65535;

// The value of `key` in `line`: from one separator character after the key
// to the end of the line. None when the key is absent or the line ends
// before the value's start.
std::optional<std::string_view> valueOf(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + key.size() + 1;
    if (start > line.size()) {
        return std::nullopt;
    }
    return line.substr(start);
}

// Reads "%d" into `field` when it is readable and within [low, high].
void readNumber(std::string_view value, int& field, int low, int high) {
    int number = 0;
    if (scanInt(value, number) && number >= low && number <= high) {
        field = number;
    }
}

void trace(const char* method, const std::string& line) {
    httpTrace(TOPOLOGY_LOGGER, "line: ", method, line, kModule);
}

} // namespace

int UDAL_Topology::setConnection(HTTPConnection* connection) {
    HttpTraceScope scope(TOPOLOGY_LOGGER, "UDAL_Topology::setConnection", kModule);
    if (connection == nullptr) {
        return TOPOLOGY_ERR_NO_CONNECTION;
    }
    connection_ = connection;
    return 0;
}

int UDAL_Topology::GetALLSwitchesHTTP(std::list<UDAL_Switch*>* switches) {
    HttpTraceScope scope(TOPOLOGY_LOGGER, "UDAL_Topology::GetALLSwitchesHTTP", kModule);
    if (connection_ == nullptr) {
        return TOPOLOGY_ERR_NO_CONNECTION;
    }
    if (switches == nullptr || !switches->empty()) {
        return TOPOLOGY_ERR_BAD_LIST;
    }
    const std::list<std::string>* lines = nullptr;
    const int result = connection_->GetDataPage("FabricInfo.html", lines);
    if (result != 0) {
        return result;
    }
    readSwitches(*lines, *switches);
    return 0;
}

int UDAL_Topology::GetAllISLsHTTP(std::list<UDAL_ISL*>* links) {
    HttpTraceScope scope(TOPOLOGY_LOGGER, "UDAL_Topology::GetAllISLsHTTP", kModule);
    if (connection_ == nullptr) {
        return TOPOLOGY_ERR_NO_CONNECTION;
    }
    if (links == nullptr || !links->empty()) {
        return TOPOLOGY_ERR_BAD_LIST;
    }
    const std::list<std::string>* lines = nullptr;
    const int result = connection_->GetDataPage("FabricInfo2.html", lines);
    if (result != 0) {
        return result;
    }
    readLinks(*lines, *links);
    return 0;
}

void UDAL_Topology::readSwitches(const std::list<std::string>& lines,
                                 std::list<UDAL_Switch*>& switches) {
    // A block that is opened again before its end is dropped; one still
    // open when the page ends is returned, so its switch is not lost.
    std::unique_ptr<UDAL_Switch> open;
    for (const std::string& line : lines) {
        switch (ParseFabricInfo(line, open.get())) {
        case 1:
            open = std::make_unique<UDAL_Switch>();
            break;
        case -1:
            if (open) {
                switches.push_back(open.release());
            }
            break;
        default:
            break;
        }
    }
    if (open) {
        switches.push_back(open.release());
    }
}

void UDAL_Topology::readLinks(const std::list<std::string>& lines, std::list<UDAL_ISL*>& links) {
    int domain = -1;
    for (const std::string& line : lines) {
        const int result = ParseFabricInfo2(line, domain, links);
        if (result > 0) {
            domain = result;
        }
    }
}

int UDAL_Topology::ParseFabricInfo(const std::string& line, UDAL_Switch* open) {
    trace("UDAL_Topology::ParseFabricInfo", line);
    if (line.find("--BEGIN SWITCH") != std::string::npos) {
        return 1;
    }
    if (line.find("--END SWITCH") != std::string::npos) {
        return -1;
    }
    if (open == nullptr) {
        return 0;
    }
    // The first key found in the line decides which field it sets.
    static constexpr const char* kKeys[] = {
        "worldname",   "switchname", "switchetherIP", "switchetherMsk", "switchfcIP",
        "switchfcMsk", "switchgwIP", "switchType",    "domainid",       "fcs"};
    for (std::size_t key = 0; key < std::size(kKeys); ++key) {
        if (line.find(kKeys[key]) == std::string::npos) {
            continue;
        }
        const std::optional<std::string_view> value = valueOf(line, kKeys[key]);
        if (!value) {
            return 0;
        }
        switch (key) {
        case 0:
            WorldName(*value).copyTo(open->worldWideName);
            break;
        case 1:
            UDAL_Switch::setText(open->switchName, *value);
            break;
        case 2:
            UDAL_Switch::setText(open->ethernetIP, *value);
            break;
        case 3:
            UDAL_Switch::setText(open->ethernetMask, *value);
            break;
        case 4:
            UDAL_Switch::setText(open->fcIP, *value);
            break;
        case 5:
            UDAL_Switch::setText(open->fcMask, *value);
            break;
        case 6:
            UDAL_Switch::setText(open->gatewayIP, *value);
            break;
        case 7:
            readNumber(*value, open->switchType, INT_MIN, INT_MAX);
            break;
        case 8:
            readNumber(*value, open->domainID, 0, kMaxDomain);
            break;
        default:
            open->fcsRole = value->find("Primary") != std::string_view::npos ? FCS_ROLE_PRIMARY
                            : value->find("Secondary") != std::string_view::npos
                                ? FCS_ROLE_SECONDARY
                                : FCS_ROLE_NONE;
            break;
        }
        return 0;
    }
    return 0;
}

int UDAL_Topology::ParseFabricInfo2(const std::string& line, int domain,
                                    std::list<UDAL_ISL*>& links) {
    trace("UDAL_Topology::ParseFabricInfo2", line);
    if (line.find("--BEGIN DOMAIN") != std::string::npos) {
        return -1;
    }
    if (line.find("--END DOMAIN") != std::string::npos) {
        return -2;
    }
    if (line.find("DomainID") != std::string::npos) {
        int number = -1;
        const std::optional<std::string_view> value = valueOf(line, "DomainID");
        if (value) {
            readNumber(*value, number, 1, kMaxDomain);
        }
        return number > 0 ? number : 0;
    }
    if (line.find("linkinfo") != std::string::npos) {
        const std::optional<std::string_view> value = valueOf(line, "linkinfo");
        if (value) {
            ParseISLs(std::string(*value), domain, links);
        }
    }
    return 0;
}

void UDAL_Topology::ParseISLs(const std::string& text, int domain, std::list<UDAL_ISL*>& links) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t semicolon = text.find(';', pos);
        const std::size_t end = semicolon == std::string::npos ? text.size() : semicolon;
        const std::string_view piece(text.data() + pos, end - pos);
        pos = semicolon == std::string::npos ? text.size() : semicolon + 1;

        // "%d,%d,%d,%d,%d,%d": values after the first unreadable one stay -1.
        int values[6] = {-1, -1, -1, -1, -1, -1};
        std::size_t at = 0;
        for (int index = 0; index < 6; ++index) {
            if (index > 0) {
                if (at >= piece.size() || piece[at] != ',') {
                    break;
                }
                ++at;
            }
            if (!scanInt(piece, at, values[index])) {
                break;
            }
        }
        // A port number that was read must be a port number.
        const auto badPort = [](int port) { return port != -1 && (port < 0 || port > kMaxPort); };
        if (badPort(values[1]) || badPort(values[2])) {
            continue;
        }
        auto link = std::make_unique<UDAL_ISL>();
        link->domain = domain;
        link->remoteDomain = values[0];
        link->port = values[1];
        link->remotePort = values[2];
        link->cost = values[3];
        link->count = values[4];
        link->type = values[5];
        links.push_back(link.release());
    }
}
