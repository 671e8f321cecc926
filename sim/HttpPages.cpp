#include "sim/HttpPages.h"

#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

std::string html(const std::string& title, const std::string& lines) {
    return "<HTML>\r\n<HEAD><TITLE>" + title + "</TITLE></HEAD>\r\n<BODY>\r\n" + lines +
           "</BODY>\r\n</HTML>\r\n";
}

int domainOf(const FabricEntry& fabric, std::size_t index) {
    return fabric.switches[index].source.value("domain", static_cast<int>(index) + 1);
}

std::optional<std::size_t> indexOf(const FabricEntry& fabric, const std::string& wwnText) {
    Wwn wwn{};
    try {
        wwn = parseWwn(wwnText);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < fabric.switches.size(); ++i) {
        if (fabric.switches[i].wwn == wwn) {
            return i;
        }
    }
    return std::nullopt;
}

std::string switchPage(const SwitchModel& proxy) {
    std::string lines = "swWwn=" + formatWwn(proxy.wwn) + "\r\n";
    if (proxy.firmware) {
        lines += "swFWVersion=" + *proxy.firmware + "\r\n";
    }
    lines += "swName=" + proxy.name + "\r\n";
    return html("Switch", lines);
}

std::string fabricInfoPage(const FabricEntry& fabric) {
    std::ostringstream lines;
    for (std::size_t i = 0; i < fabric.switches.size(); ++i) {
        const SwitchModel& sw = fabric.switches[i];
        const nlohmann::json& source = sw.source;
        const std::string ethernet = sw.address.empty() ? "0.0.0.0" : sw.address;
        lines << "--BEGIN SWITCH\r\n"
              << "worldname=" << formatWwn(sw.wwn) << "\r\n"
              << "switchname=" << sw.name << "\r\n"
              << "switchetherIP=" << source.value("ethernetIP", ethernet) << "\r\n"
              << "switchetherMsk=" << source.value("ethernetMask", "255.0.0.0") << "\r\n"
              << "switchfcIP=0.0.0.0\r\n"
              << "switchfcMsk=0.0.0.0\r\n"
              << "switchgwIP=0.0.0.0\r\n"
              << "switchType=" << source.value("type", 2) << "\r\n"
              << "domainid=" << domainOf(fabric, i) << "\r\n";
        // "fcs" is the role text here; the name-server model keeps an object
        // under the same key, which states no role.
        if (source.contains("fcs") && source["fcs"].is_string()) {
            lines << "fcs=" << source["fcs"].get<std::string>() << "\r\n";
        }
        lines << "--END SWITCH\r\n";
    }
    return html("Fabric", lines.str());
}

std::string fabricInfo2Page(const FabricEntry& fabric) {
    const nlohmann::json isls = fabric.source.value("isls", nlohmann::json::array());
    // Each link's two switches, found once for the whole page.
    std::vector<std::pair<std::optional<std::size_t>, std::optional<std::size_t>>> ends;
    for (const nlohmann::json& isl : isls) {
        ends.emplace_back(indexOf(fabric, isl.value("from", "")),
                          indexOf(fabric, isl.value("to", "")));
    }
    std::ostringstream lines;
    for (std::size_t i = 0; i < fabric.switches.size(); ++i) {
        std::string links;
        for (std::size_t l = 0; l < isls.size(); ++l) {
            const nlohmann::json& isl = isls[l];
            const auto& [from, to] = ends[l];
            if (!from || !to || (*from != i && *to != i)) {
                continue;
            }
            const bool own = *from == i;
            const std::size_t other = own ? *to : *from;
            links += std::to_string(domainOf(fabric, other)) + "," +
                     std::to_string(isl.value(own ? "fromPort" : "toPort", 0)) + "," +
                     std::to_string(isl.value(own ? "toPort" : "fromPort", 0)) + "," +
                     std::to_string(isl.value("cost", 500)) + "," +
                     std::to_string(isl.value("count", 1)) + "," +
                     std::to_string(isl.value("type", 1)) + ";";
        }
        lines << "--BEGIN DOMAIN\r\n"
              << "DomainID=" << domainOf(fabric, i) << "\r\n"
              << "linkinfo=" << links << "\r\n"
              << "--END DOMAIN\r\n";
    }
    return html("Links", lines.str());
}

} // namespace

std::optional<std::int32_t> httpPageNumber(const std::string& path) {
    if (path == "/switch.html") {
        return HTTP_PAGE_SWITCH;
    }
    if (path == "/FabricInfo.html") {
        return HTTP_PAGE_FABRIC_INFO;
    }
    if (path == "/FabricInfo2.html") {
        return HTTP_PAGE_FABRIC_INFO2;
    }
    return std::nullopt;
}

std::string renderHttpPage(std::int32_t page, const FabricEntry& fabric, const SwitchModel& proxy) {
    switch (page) {
    case HTTP_PAGE_SWITCH:
        return switchPage(proxy);
    case HTTP_PAGE_FABRIC_INFO:
        return fabricInfoPage(fabric);
    default:
        return fabricInfo2Page(fabric);
    }
}

std::string httpAnswer(int status, const std::string& html) {
    const char* reason = status == 200   ? "OK"
                         : status == 404 ? "Not Found"
                         : status == 500 ? "Internal Server Error"
                                         : "Error";
    return "HTTP/1.0 " + std::to_string(status) + " " + reason +
           "\r\nServer: switchsim\r\nContent-Type: text/html\r\n\r\n" + html;
}
