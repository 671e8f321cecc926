#include "sim/FabricModel.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "sim/FabricShape.h"

namespace {

using nlohmann::json;

std::runtime_error modelError(const std::string& where, const std::string& what) {
    return std::runtime_error("fabric file: " + where + ": " + what);
}

std::string requireString(const json& object, const char* key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) {
        throw modelError(where, std::string("\"") + key + "\" must be a text");
    }
    return it->get<std::string>();
}

Wwn wwnField(const json& object, const char* key, const std::string& where) {
    try {
        return parseWwn(requireString(object, key, where));
    } catch (const std::invalid_argument& e) {
        throw modelError(where, e.what());
    }
}

bool isLoopbackAddress(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return false;
    }
    return (ntohl(address.s_addr) >> 24) == 127;
}

std::vector<UserAccount> readUsers(const json& list, const std::string& where) {
    std::vector<UserAccount> users;
    if (!list.is_array()) {
        throw modelError(where, "\"users\" must be a list");
    }
    for (const auto& entry : list) {
        UserAccount user;
        user.name = requireString(entry, "name", where + " user");
        user.password = requireString(entry, "password", where + " user " + user.name);
        user.accessLevel = entry.value("accessLevel", 3);
        users.push_back(std::move(user));
    }
    return users;
}

SwitchModel readSwitch(const json& entry, const std::string& where) {
    if (!entry.is_object()) {
        throw modelError(where, "a switch must be an object");
    }
    SwitchModel sw;
    sw.wwn = wwnField(entry, "wwn", where);
    sw.name = entry.value("name", formatWwn(sw.wwn));
    if (auto it = entry.find("firmware"); it != entry.end() && !it->is_null()) {
        if (!it->is_string()) {
            throw modelError(where, "\"firmware\" must be a text");
        }
        sw.firmware = it->get<std::string>();
    }
    if (entry.contains("address")) {
        sw.address = requireString(entry, "address", where);
    }
    sw.source = entry;
    return sw;
}

FabricEntry readFabric(const json& entry, const std::string& where);

// A fabric with its "shape" laid over it (sim/FabricShape.h).
FabricEntry readShapedFabric(json entry, const json& shape, int fabricNumber,
                             const std::string& where) {
    try {
        shapeFabric(entry, shape, fabricNumber);
    } catch (const std::exception& e) {
        throw modelError(where, e.what());
    }
    entry.erase("shape");
    return readFabric(entry, where);
}

FabricEntry readFabric(const json& entry, const std::string& where) {
    if (!entry.is_object()) {
        throw modelError(where, "a fabric must be an object");
    }
    FabricEntry fabric;
    fabric.name = entry.value("name", where);
    const auto switches = entry.find("switches");
    if (switches == entry.end() || !switches->is_array() || switches->empty()) {
        throw modelError(where, "\"switches\" must be a non-empty list");
    }
    for (std::size_t i = 0; i < switches->size(); ++i) {
        fabric.switches.push_back(
            readSwitch((*switches)[i], where + " switch " + std::to_string(i)));
    }
    fabric.wwn = entry.contains("wwn") ? wwnField(entry, "wwn", where) : fabric.switches[0].wwn;
    if (entry.contains("users")) {
        fabric.users = readUsers(entry["users"], where);
    }
    fabric.zoning = ZoningDatabase::fromJson(entry.value("zoning", json()), where + " zoning");
    fabric.source = entry;
    return fabric;
}

} // namespace

Wwn parseWwn(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ':') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            throw std::invalid_argument("bad world wide name \"" + text + "\"");
        }
        digits.push_back(c);
    }
    if (digits.size() != 16) {
        throw std::invalid_argument("bad world wide name \"" + text + "\"");
    }
    Wwn wwn{};
    for (std::size_t i = 0; i < wwn.size(); ++i) {
        wwn[i] = static_cast<std::uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    }
    return wwn;
}

std::string formatWwn(const Wwn& wwn) {
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < wwn.size(); ++i) {
        if (i != 0) {
            text.push_back(':');
        }
        text.push_back(hex[wwn[i] >> 4]);
        text.push_back(hex[wwn[i] & 0xF]);
    }
    return text;
}

const SwitchModel* FabricEntry::findSwitch(const Wwn& name) const {
    for (const auto& sw : switches) {
        if (sw.wwn == name) {
            return &sw;
        }
    }
    return nullptr;
}

namespace {

std::uint64_t wwnKey(const Wwn& wwn) {
    std::uint64_t key = 0;
    for (std::uint8_t byte : wwn) {
        key = key << 8 | byte;
    }
    return key;
}

// Enters each port of `list` that names itself under its world wide name.
void indexPortList(json* list, std::unordered_map<std::uint64_t, json*>& index) {
    if (list == nullptr || !list->is_array()) {
        return;
    }
    for (json& port : *list) {
        const auto wwn = port.is_object() ? port.find("wwn") : port.end();
        if (wwn == port.end() || !wwn->is_string()) {
            continue;
        }
        try {
            index.emplace(wwnKey(parseWwn(wwn->get<std::string>())), &port);
        } catch (const std::invalid_argument&) {
            // A port without a readable name is found by nobody.
        }
    }
}

} // namespace

void FabricEntry::indexPorts() {
    portIndex_ = PortIndex();
    for (SwitchModel& sw : switches) {
        if (!sw.source.is_object()) {
            continue;
        }
        const auto ports = sw.source.find("ports");
        indexPortList(ports != sw.source.end() ? &*ports : nullptr, portIndex_.ports);
        const auto fcs = sw.source.find("fcs");
        if (fcs != sw.source.end() && fcs->is_object()) {
            const auto listed = fcs->find("ports");
            indexPortList(listed != fcs->end() ? &*listed : nullptr,
                          portIndex_.configurationServerPorts);
        }
    }
    portIndex_.built = true;
}

json* FabricEntry::findPortSource(const Wwn& wwn, bool configurationServer) {
    if (!portIndex_.built) {
        indexPorts();
    }
    const auto& index =
        configurationServer ? portIndex_.configurationServerPorts : portIndex_.ports;
    const auto it = index.find(wwnKey(wwn));
    return it != index.end() ? it->second : nullptr;
}

void FabricEntry::forgetPortIndex() {
    portIndex_ = PortIndex();
}

void FabricModel::forgetPortIndexes() {
    for (auto& fabric : fabrics_) {
        fabric.forgetPortIndex();
    }
}

FabricModel FabricModel::fromJson(const json& document) {
    if (!document.is_object()) {
        throw modelError("top level", "must be an object");
    }
    FabricModel model;
    if (auto it = document.find("fabrics"); it != document.end()) {
        if (!it->is_array()) {
            throw modelError("top level", "\"fabrics\" must be a list");
        }
        for (std::size_t i = 0; i < it->size(); ++i) {
            const json& entry = (*it)[i];
            const std::string where = "fabric " + std::to_string(i);
            model.fabrics_.push_back(
                entry.is_object() && entry.contains("shape")
                    ? readShapedFabric(entry, entry["shape"], static_cast<int>(i) + 1, where)
                    : readFabric(entry, where));
        }
    }
    if (auto it = document.find("generate"); it != document.end()) {
        model.addGenerated(*it);
    }
    if (auto it = document.find("faults"); it != document.end()) {
        if (!it->is_array()) {
            throw modelError("top level", "\"faults\" must be a list");
        }
        model.faults_ = *it;
    }
    model.indexProxies();
    return model;
}

FabricModel FabricModel::fromFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open fabric file " + path);
    }
    json document = json::parse(in, nullptr, false);
    if (document.is_discarded()) {
        throw std::runtime_error("fabric file " + path + " is not valid JSON");
    }
    return fromJson(document);
}

// Builds fabrics of numbered switches: fabric f (from 1), switch s (from 1)
// is 10:00:<f>:00:<s>; the first switch of each fabric is its proxy. Every
// fabric has the shape that the keys of "generate" give (sim/FabricShape.h).
void FabricModel::addGenerated(const json& generate) {
    const std::string where = "generate";
    const int fabricCount = generate.value("fabrics", 0);
    const int switchCount = generate.value("switchesPerFabric", 1);
    if (fabricCount < 1 || fabricCount > 0xFFFF || switchCount < 1 || switchCount > 0xFFFFFF) {
        throw modelError(where, "\"fabrics\" and \"switchesPerFabric\" out of range");
    }
    const auto addresses = generate.value("addresses", json::array());
    if (!addresses.is_array() || addresses.size() != static_cast<std::size_t>(fabricCount)) {
        throw modelError(where, "\"addresses\" must list one address per fabric");
    }
    const std::string firmware = generate.value("firmware", "v4.1.0");
    json shape = json::object();
    for (const char* key :
         {"portsPerSwitch", "portModules", "devicesPerSwitch", "cores", "zoning"}) {
        if (generate.contains(key)) {
            shape[key] = generate[key];
        }
    }
    for (int f = 1; f <= fabricCount; ++f) {
        json switches = json::array();
        for (int s = 1; s <= switchCount; ++s) {
            const Wwn wwn = {0x10,
                             0x00,
                             static_cast<std::uint8_t>(f >> 8),
                             static_cast<std::uint8_t>(f),
                             0x00,
                             static_cast<std::uint8_t>(s >> 16),
                             static_cast<std::uint8_t>(s >> 8),
                             static_cast<std::uint8_t>(s)};
            json sw = {{"wwn", formatWwn(wwn)},
                       {"name", "gen" + std::to_string(f) + "_" + std::to_string(s)},
                       {"firmware", firmware}};
            if (s == 1) {
                sw["address"] = addresses[f - 1];
            }
            switches.push_back(std::move(sw));
        }
        json fabric = {{"name", "Generated fabric " + std::to_string(f)}, {"switches", switches}};
        if (generate.contains("users")) {
            fabric["users"] = generate["users"];
        }
        fabrics_.push_back(
            readShapedFabric(std::move(fabric), shape, f, where + " fabric " + std::to_string(f)));
    }
}

void FabricModel::indexProxies() {
    // Called after every change of the fabrics' switches.
    forgetPortIndexes();
    proxies_.clear();
    for (std::size_t f = 0; f < fabrics_.size(); ++f) {
        const auto& switches = fabrics_[f].switches;
        for (std::size_t s = 0; s < switches.size(); ++s) {
            const std::string& address = switches[s].address;
            if (address.empty()) {
                continue;
            }
            if (!isLoopbackAddress(address)) {
                throw modelError("address " + address, "only 127.0.0.0/8 addresses are served");
            }
            if (!proxies_.emplace(address, ProxyLocation{f, s}).second) {
                throw modelError("address " + address, "served by two switches");
            }
        }
    }
}

void FabricModel::moveSwitch(const Wwn& wwn, std::optional<std::size_t> to) {
    if (to && *to >= fabrics_.size()) {
        throw std::invalid_argument("no such fabric");
    }
    std::vector<SwitchModel>* from = nullptr;
    for (auto& fabric : fabrics_) {
        if (fabric.findSwitch(wwn) != nullptr) {
            from = &fabric.switches;
        }
    }
    if (from == nullptr) {
        from = &outsideFabrics_;
    }
    const auto it = std::find_if(from->begin(), from->end(),
                                 [&](const SwitchModel& sw) { return sw.wwn == wwn; });
    if (it == from->end()) {
        throw std::invalid_argument("no such switch");
    }
    if (!to && !it->address.empty()) {
        throw std::invalid_argument("a proxy switch stays in a fabric");
    }
    if (from != &outsideFabrics_ && from->size() == 1) {
        throw std::invalid_argument("a fabric keeps at least one switch");
    }
    SwitchModel moved = std::move(*it);
    from->erase(it);
    (to ? fabrics_[*to].switches : outsideFabrics_).push_back(std::move(moved));
    indexProxies();
}

SwitchModel* FabricModel::anySwitch(const Wwn& wwn) {
    for (auto& fabric : fabrics_) {
        if (const SwitchModel* sw = fabric.findSwitch(wwn)) {
            return const_cast<SwitchModel*>(sw);
        }
    }
    for (auto& sw : outsideFabrics_) {
        if (sw.wwn == wwn) {
            return &sw;
        }
    }
    for (auto& entry : away_) {
        if (entry.sw.wwn == wwn) {
            return &entry.sw;
        }
    }
    return nullptr;
}

std::vector<std::string> FabricModel::proxyAddresses() const {
    std::vector<std::string> addresses;
    for (const auto& fabric : fabrics_) {
        for (const auto& sw : fabric.switches) {
            if (!sw.address.empty()) {
                addresses.push_back(sw.address);
            }
        }
    }
    return addresses;
}

std::optional<ProxyLocation> FabricModel::proxyAt(const std::string& address) const {
    auto it = proxies_.find(address);
    if (it == proxies_.end()) {
        return std::nullopt;
    }
    return it->second;
}

json FabricModel::toJson() const {
    json fabrics = json::array();
    for (const auto& fabric : fabrics_) {
        json users = json::array();
        for (const auto& user : fabric.users) {
            users.push_back(
                {{"name", user.name}, {"password", "********"}, {"accessLevel", user.accessLevel}});
        }
        json switches = json::array();
        for (const auto& sw : fabric.switches) {
            json entry = {{"wwn", formatWwn(sw.wwn)}, {"name", sw.name}};
            entry["firmware"] = sw.firmware ? json(*sw.firmware) : json(nullptr);
            if (!sw.address.empty()) {
                entry["address"] = sw.address;
            }
            switches.push_back(std::move(entry));
        }
        fabrics.push_back({{"name", fabric.name},
                           {"wwn", formatWwn(fabric.wwn)},
                           {"users", users},
                           {"switches", switches}});
    }
    return {{"fabrics", fabrics}};
}

bool FabricModel::leaveUntil(const Wwn& wwn, std::chrono::steady_clock::time_point back) {
    for (std::size_t f = 0; f < fabrics_.size(); ++f) {
        auto& switches = fabrics_[f].switches;
        const auto it = std::find_if(switches.begin(), switches.end(),
                                     [&](const SwitchModel& sw) { return sw.wwn == wwn; });
        if (it == switches.end()) {
            continue;
        }
        if (switches.size() == 1) {
            return false;
        }
        if (!homeOrder_.count(f)) {
            auto& order = homeOrder_[f];
            for (const auto& sw : switches) {
                order.push_back(sw.wwn);
            }
        }
        away_.push_back({std::move(*it), f, back});
        switches.erase(it);
        indexProxies();
        return true;
    }
    return false;
}

void FabricModel::rejoinDue(std::chrono::steady_clock::time_point now, bool all) {
    bool changed = false;
    for (std::size_t i = away_.size(); i-- > 0;) {
        if (!all && away_[i].back > now) {
            continue;
        }
        const std::size_t f = away_[i].fabric;
        auto& switches = fabrics_[f].switches;
        // Before the first switch present that followed it; else last.
        const auto& order = homeOrder_[f];
        auto after = std::find(order.begin(), order.end(), away_[i].sw.wwn);
        auto place = switches.end();
        if (after != order.end()) {
            for (++after; after != order.end() && place == switches.end(); ++after) {
                place = std::find_if(switches.begin(), switches.end(),
                                     [&](const SwitchModel& sw) { return sw.wwn == *after; });
            }
        }
        switches.insert(place, std::move(away_[i].sw));
        away_.erase(away_.begin() + static_cast<std::ptrdiff_t>(i));
        if (std::none_of(away_.begin(), away_.end(),
                         [f](const AwaySwitch& entry) { return entry.fabric == f; })) {
            homeOrder_.erase(f);
        }
        changed = true;
    }
    if (changed) {
        indexProxies();
    }
}

bool FabricModel::addressAway(const std::string& address) const {
    return std::any_of(away_.begin(), away_.end(),
                       [&](const AwaySwitch& entry) { return entry.sw.address == address; });
}
