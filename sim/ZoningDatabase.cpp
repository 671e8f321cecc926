#include "sim/ZoningDatabase.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

using nlohmann::json;
using namespace zoning_status;

namespace {

constexpr int kZoneSet = 1;
constexpr int kAlias = 3;
constexpr int kAllTypes = 8;
constexpr std::size_t kNameMax = 64;
constexpr std::size_t kMemberMax = 99;
constexpr char kNotPrimaryMarker[] = "##NOT_PRIMARY_FCS##";

bool isZoneType(int type) {
    return type == 2 || (type >= 4 && type <= 7);
}

bool validType(int type) {
    return type >= 1 && type <= 7;
}

bool validName(const std::string& name) {
    if (name.empty() || name.size() > kNameMax) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        // "/" marks the protocol zones ("<name>/IP", "<name>/FCP").
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '$' ||
               c == '^' || c == '/';
    });
}

bool validMember(const std::string& member) {
    return !member.empty() && member.size() <= kMemberMax &&
           member.find_first_of("|;") == std::string::npos;
}

// The members of a member list text ("a;b;c"); nothing for a bad one.
std::optional<std::vector<std::string>> splitMembers(const std::string& text) {
    std::vector<std::string> members;
    if (text.empty()) {
        return members;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        std::string member = text.substr(start, end - start);
        if (!validMember(member)) {
            return std::nullopt;
        }
        if (std::find(members.begin(), members.end(), member) == members.end()) {
            members.push_back(std::move(member));
        }
        if (end == text.size()) {
            return members;
        }
        start = end + 1;
    }
}

ZoningObject* findObject(ZoningObjectList& list, const std::string& name) {
    for (auto& object : list) {
        if (object.name == name) {
            return &object;
        }
    }
    return nullptr;
}

const ZoningObject* findObject(const ZoningObjectList& list, const std::string& name) {
    return findObject(const_cast<ZoningObjectList&>(list), name);
}

ZoningObject* findTyped(ZoningObjectList& list, const std::string& name, int type) {
    ZoningObject* object = findObject(list, name);
    return object != nullptr && object->type == type ? object : nullptr;
}

// The leading word of a zone's entry in the active database text.
const char* kindWord(int type) {
    switch (type) {
    case 4:
        return "qlzone";
    case 6:
        return "fazone";
    case 7:
        return "prozone";
    default:
        return "zone";
    }
}

// The first reference of `list` that does not hold, or nothing: zone set
// members must be zones, zone members may name aliases but no zone or zone
// set, alias members name no object.
std::optional<ValidationFailure> firstFault(const ZoningObjectList& list) {
    for (const auto& object : list) {
        for (const auto& member : object.members) {
            const ZoningObject* named = findObject(list, member);
            if (object.type == kZoneSet) {
                if (named == nullptr || !isZoneType(named->type)) {
                    return ValidationFailure{object.name, member, ""};
                }
            } else if (named != nullptr && (object.type == kAlias || named->type != kAlias)) {
                return ValidationFailure{"", object.name, member};
            }
        }
    }
    return std::nullopt;
}

// The zones of one zone set with aliases expanded; nothing when the set
// names an object that is not a zone.
std::optional<EffectiveConfiguration> snapshot(const ZoningObjectList& list,
                                               const ZoningObject& zoneSet) {
    EffectiveConfiguration effective{zoneSet.name, {}};
    for (const auto& zoneName : zoneSet.members) {
        const ZoningObject* zone = findObject(list, zoneName);
        if (zone == nullptr || !isZoneType(zone->type)) {
            return std::nullopt;
        }
        ZoningObject active{zone->name, zone->type, {}};
        for (const auto& member : zone->members) {
            const ZoningObject* alias = findObject(list, member);
            if (alias != nullptr && alias->type == kAlias) {
                active.members.insert(active.members.end(), alias->members.begin(),
                                      alias->members.end());
            } else {
                active.members.push_back(member);
            }
        }
        effective.zones.push_back(std::move(active));
    }
    return effective;
}

json listToJson(const ZoningObjectList& list) {
    json objects = json::array();
    for (const auto& object : list) {
        objects.push_back(
            {{"name", object.name}, {"type", object.type}, {"members", object.members}});
    }
    return objects;
}

ZoningObjectList listFromJson(const json& list, const std::string& where) {
    if (!list.is_array()) {
        throw std::runtime_error("fabric file: " + where + ": must be a list");
    }
    ZoningObjectList objects;
    for (const auto& item : list) {
        ZoningObject object;
        if (!item.is_object() || !item.contains("name") || !item["name"].is_string() ||
            !item.contains("type") || !item["type"].is_number_integer()) {
            throw std::runtime_error("fabric file: " + where +
                                     ": each object needs a \"name\" and a \"type\"");
        }
        object.name = item["name"].get<std::string>();
        object.type = item["type"].get<int>();
        if (!validName(object.name) || !validType(object.type) ||
            findObject(objects, object.name) != nullptr) {
            throw std::runtime_error("fabric file: " + where + ": bad or repeated object \"" +
                                     object.name + "\"");
        }
        for (const auto& member : item.value("members", json::array())) {
            if (!member.is_string() || !validMember(member.get<std::string>())) {
                throw std::runtime_error("fabric file: " + where + ": bad member of \"" +
                                         object.name + "\"");
            }
            object.members.push_back(member.get<std::string>());
        }
        objects.push_back(std::move(object));
    }
    return objects;
}

// A count of a generated database: 0 to a million.
int generatedCount(const json& spec, const char* key, const std::string& where) {
    const json& value = spec.value(key, json(0));
    if (!value.is_number_integer() || value.get<long long>() < 0 ||
        value.get<long long>() > 1'000'000) {
        throw std::runtime_error("fabric file: " + where + ": \"" + key +
                                 "\" must be a count up to 1000000");
    }
    return value.get<int>();
}

std::string portName(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "21:00:00:e0:%02x:%02x:%02x:%02x", (number >> 24) & 0xFF,
                  (number >> 16) & 0xFF, (number >> 8) & 0xFF, number & 0xFF);
    return text;
}

// The defined database of a "generate" object (see ZoningDatabase.h).
ZoningObjectList generatedObjects(const json& spec, const std::string& where) {
    if (!spec.is_object()) {
        throw std::runtime_error("fabric file: " + where + ": \"generate\" must be an object");
    }
    const int zoneSets = generatedCount(spec, "zoneSets", where);
    const int zones = generatedCount(spec, "zones", where);
    const int members = generatedCount(spec, "members", where);
    const int aliases = generatedCount(spec, "aliases", where);
    if (members > 0 && zones == 0) {
        throw std::runtime_error("fabric file: " + where + ": members need zones");
    }
    ZoningObjectList objects;
    objects.reserve(static_cast<std::size_t>(zoneSets + zones + aliases));
    for (int k = 1; k <= zoneSets; ++k) {
        ZoningObject zoneSet{"cfg_" + std::to_string(k), kZoneSet, {}};
        for (int z = k; z <= zones; z += zoneSets) {
            zoneSet.members.push_back("zone_" + std::to_string(z));
        }
        objects.push_back(std::move(zoneSet));
    }
    int member = 0;
    for (int z = 1; z <= zones; ++z) {
        const int type = z % 10 == 0 ? 4 : z % 10 == 5 ? 6 : 2;
        ZoningObject zone{"zone_" + std::to_string(z), type, {}};
        const int count = members / zones + (z <= members % zones ? 1 : 0);
        for (int m = 0; m < count; ++m, ++member) {
            switch (aliases > 0 ? member % 3 : member % 2) {
            case 0:
                zone.members.push_back(portName(member));
                break;
            case 1:
                zone.members.push_back("1," + std::to_string(member % 256));
                break;
            default:
                zone.members.push_back("alias_" + std::to_string(member % aliases + 1));
                break;
            }
        }
        objects.push_back(std::move(zone));
    }
    for (int a = 1; a <= aliases; ++a) {
        objects.push_back({"alias_" + std::to_string(a),
                           kAlias,
                           {"2," + std::to_string(a % 256), "3," + std::to_string(a % 256)}});
    }
    return objects;
}

} // namespace

ZoningDatabase ZoningDatabase::fromJson(const json& zoning, const std::string& where) {
    ZoningDatabase database;
    if (zoning.is_null()) {
        return database;
    }
    if (!zoning.is_object()) {
        throw std::runtime_error("fabric file: " + where + ": must be an object");
    }
    database.defined_ =
        zoning.contains("generate")
            ? generatedObjects(zoning["generate"], where + " generate")
            : listFromJson(zoning.value("defined", json::array()), where + " defined");
    database.saved_ = zoning.contains("saved") ? listFromJson(zoning["saved"], where + " saved")
                                               : database.defined_;
    database.notPrimaryFcs_ = zoning.value("notPrimaryFcs", false);
    if (zoning.contains("active")) {
        if (!zoning["active"].is_string() ||
            database.activate(0, zoning["active"].get<std::string>()) != 0) {
            throw std::runtime_error("fabric file: " + where +
                                     ": \"active\" must name a zone set of zones");
        }
    }
    return database;
}

json ZoningDatabase::toJson() const {
    json state = {{"defined", listToJson(defined_)},
                  {"saved", listToJson(saved_)},
                  {"effective", nullptr},
                  {"transaction", nullptr},
                  {"notPrimaryFcs", notPrimaryFcs_}};
    if (effective_) {
        state["effective"] = {{"zoneSet", effective_->zoneSetName},
                              {"zones", listToJson(effective_->zones)}};
    }
    if (transaction_) {
        state["transaction"] = {{"owner", transaction_->owner},
                                {"copy", listToJson(transaction_->copy)}};
    }
    return state;
}

bool ZoningDatabase::owns(std::uint64_t connection) const {
    return transaction_ && transaction_->owner == connection;
}

const ZoningObjectList& ZoningDatabase::view(std::uint64_t connection) const {
    return owns(connection) ? transaction_->copy : defined_;
}

ZoningObjectList* ZoningDatabase::editableView(std::uint64_t connection) {
    if (owns(connection)) {
        return &transaction_->copy;
    }
    return transaction_ ? nullptr : &defined_;
}

int ZoningDatabase::create(std::uint64_t connection, const std::string& name, int type,
                           const std::string& memberText) {
    ZoningObjectList* list = editableView(connection);
    if (list == nullptr) {
        return kTransactionOpen;
    }
    if (!validType(type)) {
        return kBadType;
    }
    const auto members = splitMembers(memberText);
    if (!validName(name) || !members) {
        return kBadName;
    }
    if (findObject(*list, name) != nullptr) {
        return kExists;
    }
    list->push_back({name, type, *members});
    return 0;
}

int ZoningDatabase::remove(std::uint64_t connection, const std::string& name, int type) {
    ZoningObjectList* list = editableView(connection);
    if (list == nullptr) {
        return kTransactionOpen;
    }
    const auto it = std::find_if(list->begin(), list->end(), [&](const ZoningObject& object) {
        return object.name == name && object.type == type;
    });
    if (it == list->end()) {
        return kNotFound;
    }
    list->erase(it);
    // A deleted object leaves the member lists that named it, as on a switch.
    for (auto& object : *list) {
        std::erase(object.members, name);
    }
    return 0;
}

ZoningObject* ZoningDatabase::editableObject(std::uint64_t connection, const std::string& name,
                                             int type, int& status) {
    ZoningObjectList* list = editableView(connection);
    ZoningObject* object = list != nullptr ? findTyped(*list, name, type) : nullptr;
    status = list == nullptr ? kTransactionOpen : (object == nullptr ? kNotFound : 0);
    return object;
}

int ZoningDatabase::addMembers(std::uint64_t connection, const std::string& name, int type,
                               const std::string& memberText) {
    int status = 0;
    ZoningObject* object = editableObject(connection, name, type, status);
    if (object == nullptr) {
        return status;
    }
    const auto members = splitMembers(memberText);
    if (!members) {
        return kBadName;
    }
    for (const auto& member : *members) {
        if (std::find(object->members.begin(), object->members.end(), member) ==
            object->members.end()) {
            object->members.push_back(member);
        }
    }
    return 0;
}

int ZoningDatabase::removeMember(std::uint64_t connection, const std::string& name, int type,
                                 const std::string& member) {
    int status = 0;
    ZoningObject* object = editableObject(connection, name, type, status);
    if (object == nullptr) {
        return status;
    }
    if (std::erase(object->members, member) == 0) {
        return kMemberNotFound;
    }
    // An object whose last member goes leaves the database, as on a switch.
    if (object->members.empty()) {
        return remove(connection, name, type);
    }
    return 0;
}

int ZoningDatabase::clear(std::uint64_t connection) {
    ZoningObjectList* list = editableView(connection);
    if (list == nullptr) {
        return kTransactionOpen;
    }
    list->clear();
    return 0;
}

int ZoningDatabase::exists(std::uint64_t connection, const std::string& name, int type) const {
    const ZoningObject* object = findObject(view(connection), name);
    return object != nullptr && object->type == type ? 0 : kNotFound;
}

int ZoningDatabase::names(std::uint64_t connection, int type, std::vector<std::string>& out) const {
    if (!validType(type) && type != kAllTypes) {
        return kBadType;
    }
    for (const auto& object : view(connection)) {
        if (type == kAllTypes || object.type == type) {
            out.push_back(object.name);
        }
    }
    return 0;
}

int ZoningDatabase::members(std::uint64_t connection, const std::string& name, int type,
                            std::vector<std::string>& out) const {
    const ZoningObject* object = findObject(view(connection), name);
    if (object == nullptr || object->type != type) {
        return kNotFound;
    }
    out = object->members;
    return 0;
}

int ZoningDatabase::definedType(std::uint64_t connection, const std::string& name,
                                int& type) const {
    const ZoningObject* object = findObject(view(connection), name);
    if (object == nullptr) {
        return kNotFound;
    }
    type = object->type;
    return 0;
}

int ZoningDatabase::activeType(const std::string& name, int& type) const {
    if (!effective_) {
        return kNoActiveConfiguration;
    }
    if (effective_->zoneSetName == name) {
        type = kZoneSet;
        return 0;
    }
    const ZoningObject* zone = findObject(effective_->zones, name);
    if (zone == nullptr) {
        return kNotFound;
    }
    type = zone->type;
    return 0;
}

int ZoningDatabase::activate(std::uint64_t connection, const std::string& zoneSetName) {
    // The owner's transaction is committed by its activation.
    if (owns(connection)) {
        if (const int status = commit(connection); status != 0) {
            return status;
        }
    }
    const ZoningObject* zoneSet = findObject(defined_, zoneSetName);
    if (zoneSet == nullptr || zoneSet->type != kZoneSet) {
        return kNotFound;
    }
    auto effective = snapshot(defined_, *zoneSet);
    if (!effective) {
        return kValidationFailed;
    }
    effective_ = std::move(*effective);
    return 0;
}

int ZoningDatabase::deactivate() {
    effective_.reset();
    return 0;
}

int ZoningDatabase::activeZoneSetName(std::string& out) const {
    if (!effective_) {
        return kNoActiveConfiguration;
    }
    out = effective_->zoneSetName;
    return 0;
}

std::string ZoningDatabase::activeDatabaseText() const {
    if (notPrimaryFcs_) {
        return kNotPrimaryMarker;
    }
    if (!effective_) {
        return "";
    }
    std::string text = effective_->zoneSetName;
    for (const auto& zone : effective_->zones) {
        text += "|";
        text += kindWord(zone.type);
        text += " " + zone.name + ":";
        for (const auto& member : zone.members) {
            text += member + ";";
        }
    }
    return text;
}

int ZoningDatabase::save() {
    saved_ = defined_;
    return 0;
}

int ZoningDatabase::startTransaction(std::uint64_t connection) {
    if (transaction_) {
        return kTransactionOpen;
    }
    transaction_ = Transaction{connection, defined_};
    return 0;
}

int ZoningDatabase::commit(std::uint64_t connection) {
    if (!owns(connection)) {
        return kNoTransaction;
    }
    if (firstFault(transaction_->copy)) {
        return kValidationFailed;
    }
    defined_ = std::move(transaction_->copy);
    saved_ = defined_;
    transaction_.reset();
    return 0;
}

int ZoningDatabase::rollback(std::uint64_t connection) {
    if (!owns(connection)) {
        return kNoTransaction;
    }
    transaction_.reset();
    return 0;
}

int ZoningDatabase::validate(std::uint64_t connection, ValidationFailure& failure) const {
    if (auto fault = firstFault(view(connection))) {
        failure = *fault;
        return kValidationFailed;
    }
    return 0;
}

void ZoningDatabase::connectionClosed(std::uint64_t connection) {
    if (owns(connection)) {
        transaction_.reset();
    }
}

int ZoningDatabase::controlEdit(const nlohmann::json& edit) {
    // Connection 0 is no caller's: it edits the defined database itself.
    constexpr std::uint64_t kStation = 0;
    const std::string action = edit.at("action").get<std::string>();
    if (action == "create") {
        std::string members;
        for (const auto& member : edit.value("members", nlohmann::json::array())) {
            members += (members.empty() ? "" : ";") + member.get<std::string>();
        }
        return create(kStation, edit.at("name").get<std::string>(), edit.at("type").get<int>(),
                      members);
    }
    if (action == "remove") {
        return remove(kStation, edit.at("name").get<std::string>(), edit.at("type").get<int>());
    }
    if (action == "activate") {
        return activate(kStation, edit.at("name").get<std::string>());
    }
    if (action == "deactivate") {
        return deactivate();
    }
    throw std::invalid_argument("unknown zoning action \"" + action + "\"");
}
