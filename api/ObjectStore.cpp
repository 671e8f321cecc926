#include "api/ObjectStore.h"

#include <cstring>
#include <new>
#include <utility>

#include "foundation/GlobalLocks.h"
#include "foundation/HexDigits.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"

namespace {

// Object type codes the store treats apart.
constexpr unsigned short kPort = 1;
constexpr unsigned short kNode = 4;
constexpr unsigned short kDevice = 5;
constexpr unsigned short kLicensedProduct = 39;
constexpr unsigned short kCp = 51;
constexpr unsigned short kWwnCard = 52;
constexpr unsigned short kBlade = 53;

// Plain-form types whose name is their fabric's or switch's, kept only in
// the identifier: zone, zone set, platform, route, zone alias, zone member,
// both zoning databases, security capabilities, the active and defined
// policy sets and policies, and the undefined zoning object (-5).
constexpr unsigned short kTypesWithoutOwnName[] = {10, 11, 15, 17, 20, 22, 24,
                                                   25, 32, 33, 34, 48, 49, 0xFFFB};

bool carriesOwnName(unsigned short type) {
    for (const unsigned short excluded : kTypesWithoutOwnName) {
        if (type == excluded) {
            return false;
        }
    }
    return true;
}

// The 16 hex digits of a world wide name.
std::string wwnDigits(const WWNAddress& wwn) {
    std::string oid;
    formatOidString(0, wwn, oid);
    return oid.substr(4);
}

std::string hexDigits(unsigned value, int width) {
    char text[8];
    return std::string(text, writeHexDigits(text, value, width));
}

// The object under `oid` and false, or, when there is none, a new one made
// with "OID", then the name attribute (when `nameAttribute` is not null),
// then "ObjType", and true.
std::pair<StoredObject*, bool> place(const std::string& oid, unsigned short type,
                                     const char* nameAttribute, const WWNAddress& wwn) {
    LockGuard guard(getObjectStoreMutex());
    ObjectMap& map = objectMap();
    if (const auto found = map.find(oid); found != map.end()) {
        return {found->second.get(), false};
    }
    auto object = std::make_unique<StoredObject>();
    object->setStringAttr("OID", oid);
    if (nameAttribute != nullptr) {
        object->setWwnAttr(nameAttribute, wwn);
    }
    object->setShortAttr("ObjType", type);
    StoredObject* made = object.get();
    map.insertAbsent(oid, std::move(object));
    return {made, true};
}

StoredObject* getOrCreate(const std::string& oid, unsigned short type, const char* nameAttribute,
                          const WWNAddress& wwn) {
    return place(oid, type, nameAttribute, wwn).first;
}

const char* plainNameAttribute(unsigned short type) {
    return carriesOwnName(type) ? "WWN" : nullptr;
}

// Company identifiers (bytes 2 to 4 of a world wide name) and their names,
// searched from the first row; the row with an empty name ends the table.
struct Company {
    unsigned char id[3];
    const char* name;
};

constexpr Company kCompanies[] = {
    {{0x00, 0x60, 0x69}, "Vosk"},
    {{0x0a, 0x11, 0x01}, "Tarrow Systems"},
    {{0x0a, 0x11, 0x02}, "Quenby Storage"},
    {{0x0a, 0x11, 0x03}, "Ostrand"},
    {{0x0a, 0x11, 0x04}, "Meriden Data"},
    {{0x0a, 0x11, 0x05}, "Caldane"},
    {{0x0a, 0x11, 0x06}, "Brisk Networks"},
    {{0x0a, 0x11, 0x07}, "Lowen Peripherals"},
    {{0x00, 0x00, 0x00}, ""},
};

} // namespace

ObjectMap::iterator ObjectMap::find(std::string_view oid) {
    const auto found = index_.find(oid);
    return found == index_.end() ? entries_.end() : found->second;
}

ObjectMap::const_iterator ObjectMap::find(std::string_view oid) const {
    const auto found = index_.find(oid);
    return found == index_.end() ? entries_.end() : const_iterator(found->second);
}

std::pair<ObjectMap::iterator, bool> ObjectMap::emplace(const std::string& oid,
                                                        std::unique_ptr<StoredObject> object) {
    if (const auto found = find(oid); found != entries_.end()) {
        return {found, false};
    }
    return {insertAbsent(oid, std::move(object)), true};
}

ObjectMap::iterator ObjectMap::insertAbsent(const std::string& oid,
                                            std::unique_ptr<StoredObject> object) {
    const auto entry = entries_.emplace(oid, std::move(object)).first;
    try {
        index_.emplace(std::string_view(entry->first), entry);
    } catch (...) {
        entries_.erase(entry); // never an entry the index does not name
        throw;
    }
    return entry;
}

std::unique_ptr<StoredObject>& ObjectMap::operator[](const std::string& oid) {
    return emplace(oid, nullptr).first->second;
}

ObjectMap::iterator ObjectMap::erase(iterator entry) {
    index_.erase(std::string_view(entry->first));
    return entries_.erase(entry);
}

void ObjectMap::clear() {
    index_.clear();
    entries_.clear();
}

ObjectMap& objectMap() {
    // Never destroyed: threads still running at exit may reach it.
    static ObjectMap* const map = new ObjectMap;
    return *map;
}

StoredObject* findObject(const std::string& oid) {
    LockGuard guard(getObjectStoreMutex());
    return findObjectUnlocked(oid);
}

StoredObject* findObjectUnlocked(const std::string& oid) {
    const ObjectMap& map = objectMap();
    const auto found = map.find(oid);
    return found == map.end() ? nullptr : found->second.get();
}

StoredObject* findObjectByOid(const char* oid) {
    if (oid == nullptr) {
        return nullptr;
    }
    const std::size_t length = strnlen(oid, OidFieldSize);
    if (length == OidFieldSize) {
        return nullptr;
    }
    return findObject(std::string(oid, length));
}

std::string indexedObjectOid(unsigned short type, const WWNAddress& wwn, unsigned index) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return oid + hexDigits(index, 8);
}

std::string pairObjectOid(unsigned short type, const WWNAddress& first, const WWNAddress& second,
                          unsigned short firstNumber, unsigned short secondNumber) {
    std::string oid;
    formatOidString(type, first, oid);
    return oid + wwnDigits(second) + hexDigits(firstNumber, 4) + hexDigits(secondNumber, 4);
}

StoredObject* getOrCreateObject(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return getOrCreate(oid, type, plainNameAttribute(type), wwn);
}

StoredObject* createObject(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    const auto [object, made] = place(oid, type, plainNameAttribute(type), wwn);
    return made ? object : nullptr;
}

StoredObject* getOrCreateIndexedObject(unsigned short type, const WWNAddress& wwn, unsigned index) {
    const char* nameAttribute = "WWN";
    if (type == kCp || type == kWwnCard || type == kBlade) {
        nameAttribute = nullptr;
    } else if (type == kLicensedProduct) {
        nameAttribute = "SwitchWWN";
    }
    return getOrCreate(indexedObjectOid(type, wwn, index), type, nameAttribute, wwn);
}

StoredObject* getOrCreatePairObject(unsigned short type, const WWNAddress& first,
                                    const WWNAddress& second, unsigned short firstNumber,
                                    unsigned short secondNumber) {
    return getOrCreate(pairObjectOid(type, first, second, firstNumber, secondNumber), type, nullptr,
                       first);
}

bool eraseObject(const std::string& oid) {
    LockGuard guard(getObjectStoreMutex());
    ObjectMap& map = objectMap();
    const auto found = map.find(oid);
    if (found == map.end()) {
        return false;
    }
    map.erase(found); // the object's destructor destroys its contents
    return true;
}

void eraseMap() {
    MethodTrace trace(Vosk_API_XML, "eraseMap", "yarldutil");
    LockGuard guard(getObjectStoreMutex());
    objectMap().clear(); // each object's destructor destroys its contents
}

void writeObjectsOfType(const std::string& fabricOid, unsigned short type, std::string& out,
                        int encoding, FabricLocator fabricOf) {
    const bool anyFabric = fabricOid.empty();
    LockGuard guard(getObjectStoreMutex());
    const StoredObject* fabric = anyFabric ? nullptr : findObjectUnlocked(fabricOid);
    if (!anyFabric && (fabric == nullptr || fabricOf == nullptr)) {
        return;
    }
    for (auto& [oid, object] : objectMap()) {
        unsigned short objectType = 0;
        if (!object->getShortAttr("ObjType", objectType) || objectType != type) {
            continue;
        }
        if ((type == kPort || type == kNode || type == kDevice) && !object->hasWwn()) {
            continue;
        }
        if (!anyFabric) {
            std::string owner = oid;
            if (type == kDevice) {
                owner.clear();
                object->getNextRelation("setNode", owner);
            }
            if (owner.empty() || fabricOf(owner.c_str()) != fabric) {
                continue;
            }
        }
        object->writeXml(out, encoding);
    }
}

void vendorNameOfWwn(StoredObject* object, const WWNAddress& wwn) {
    if (object == nullptr) {
        return;
    }
    const char* vendor = "Unknown";
    for (const Company* company = kCompanies; company->name[0] != '\0'; ++company) {
        if (std::memcmp(company->id, wwn.bytes() + 2, sizeof company->id) == 0) {
            vendor = company->name;
            break;
        }
    }
    object->setStringAttr("VendorName", vendor);
}
