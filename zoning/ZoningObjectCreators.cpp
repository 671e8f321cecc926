#include "zoning/ZoningObjectCreators.h"

#include <atomic>
#include <new>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectCounters.h"
#include "zoning/UndefinedZoningObj.h"
#include "zoning/Zone.h"
#include "zoning/ZoneAlias.h"
#include "zoning/ZoneMember.h"
#include "zoning/ZoneSet.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

// The eight identifier bytes of an object number: its decimal digits, least
// significant first.
WWNAddress numberBytes(unsigned number) {
    unsigned char bytes[WWNAddress::Size] = {};
    for (std::size_t i = 0; i < WWNAddress::Size && number != 0; ++i, number /= 10) {
        bytes[i] = static_cast<unsigned char>(number % 10);
    }
    return WWNAddress(bytes);
}

std::string oidOf(unsigned short type, const WWNAddress& bytes) {
    std::string oid;
    formatOidString(type, bytes, oid);
    return oid;
}

// What a creator makes: type, counter, element and name attribute.
struct ZoningObjectClass {
    unsigned short type;
    std::atomic<unsigned> ObjectCounters::*counter;
    StoredElement* (*makeElement)();
    const char* nameAttribute;
};

template <class Element> StoredElement* make() {
    return new (std::nothrow) Element();
}

const ZoningObjectClass kZoneSet{11, &ObjectCounters::zoneSet, make<ZoneSet>, "ZoneSetName"};
const ZoningObjectClass kZoneAlias{20, &ObjectCounters::zoneAlias, make<ZoneAlias>,
                                   "ZoneAliasName"};
const ZoningObjectClass kZone{10, &ObjectCounters::zone, make<Zone>, "ZoneName"};
const ZoningObjectClass kZoneMember{22, &ObjectCounters::zoneMember, make<ZoneMember>,
                                    "MemberName"};
const ZoningObjectClass kUndefined{0xFFFB, &ObjectCounters::undefinedZoningObject,
                                   make<UndefinedZoningObj>, "UndefinedObjName"};

// Runs one creation: the stored object under the next free number of the
// class's counter with its element, name and "setParent", then `complete`
// (its further attributes), and last the entry in the parent's list that
// `listOf` names (none for null). Its identifier goes to `madeOid` when that
// is not null. A failure on the way erases the new object and gives its
// number back.
template <class Complete>
int create(const ZoningObjectClass& cls, StoredObject* parent, const std::string& name,
           const char* (*listOf)(const std::string& parentOid), std::string* madeOid,
           Complete&& complete) {
    if (parent == nullptr) {
        return -3;
    }
    std::string parentOid;
    parent->getStringAttr("OID", parentOid);
    std::atomic<unsigned>& counter = objectCounters().*cls.counter;
    const unsigned taken = counter.load();
    unsigned number = taken;
    StoredObject* object = nullptr;
    try {
        // Each try finds the number free and takes it in one step.
        for (; number <= kZoningObjectNumberMax && object == nullptr; ++number) {
            object = createObject(cls.type, numberBytes(number));
        }
        if (object == nullptr) {
            return -2;
        }
        counter = number; // one past the number taken
        StoredElement* element = cls.makeElement();
        if (element == nullptr) {
            throw std::bad_alloc();
        }
        object->setElement(element);
        object->setStringAttr(cls.nameAttribute, name);
        if (!parentOid.empty()) {
            object->addRelation("setParent", parentOid);
        }
        complete(*object);
        const std::string oid = oidOf(cls.type, numberBytes(number - 1));
        if (const char* list = listOf(parentOid)) {
            parent->appendListValue(list, oid);
        }
        if (madeOid != nullptr) {
            *madeOid = oid;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        if (object != nullptr) {
            eraseObject(oidOf(cls.type, numberBytes(number - 1)));
        }
        counter = taken;
        return -2;
    }
}

template <const char* List> const char* fixedList(const std::string&) {
    return List;
}

constexpr char kSetZoneSet[] = "setZoneSet";
constexpr char kSetZoneAlias[] = "setZoneAlias";
constexpr char kSetMember[] = "setMember";

// A zone is listed in "setZone" of a defined database and in "setMember"
// of an active one.
const char* zoneListOf(const std::string& parentOid) {
    switch (oidObjectType(parentOid)) {
    case 24:
        return "setZone";
    case 25:
        return kSetMember;
    default:
        return nullptr;
    }
}

const auto noAttributes = [](StoredObject&) {};

unsigned short zoneSubType(const std::string& name, bool& known) {
    const auto holds = [&](const char* text) { return name.find(text) != std::string::npos; };
    known = true;
    if (!holds("/")) {
        return 0;
    }
    if (holds("IP")) {
        return 5;
    }
    if (holds("VI")) {
        return 255;
    }
    if (holds("FCP")) {
        return 8;
    }
    known = false;
    return 0;
}

// The text after the first "(" (or from the start without one) up to the
// next ")" (or to the end without one).
std::string parenthesisedText(const std::string& name) {
    const std::size_t open = name.find('(');
    const std::size_t start = open == std::string::npos ? 0 : open + 1;
    const std::size_t close = name.find(')', start);
    return name.substr(start, close == std::string::npos ? std::string::npos : close - start);
}

// The text between the first "[" (not the first character) and the first
// "]" after it; empty without both.
std::string bracketedText(const std::string& name) {
    const std::size_t open = name.find('[');
    const std::size_t close = name.find(']');
    if (open == std::string::npos || open == 0 || close == std::string::npos || close < open) {
        return "";
    }
    return name.substr(open + 1, close - open - 1);
}

} // namespace

int CreateZoneSetObject(StoredObject* parent, const std::string& name, unsigned short activate,
                        std::string* madeOid) {
    return create(kZoneSet, parent, name, fixedList<kSetZoneSet>, madeOid, [&](StoredObject& zoneSet) {
        zoneSet.setShortAttr("ActivateZoneSet", activate);
    });
}

int CreateZoneAliasObject(StoredObject* parent, const std::string& name, std::string* madeOid) {
    return create(kZoneAlias, parent, name, fixedList<kSetZoneAlias>, madeOid, noAttributes);
}

int CreateZoneObject(StoredObject* parent, const std::string& name, unsigned short zoneType,
                     std::string* madeOid) {
    return create(kZone, parent, name, zoneListOf, madeOid, [&](StoredObject& zone) {
        zone.setShortAttr("ZoneType", zoneType);
        bool known = false;
        const unsigned short subType = zoneSubType(name, known);
        if (known) {
            zone.setShortAttr("ZoneSubType", subType);
        }
    });
}

int CreateZoneMemberObject(StoredObject* parent, const std::string& memberName, int memberType) {
    return create(kZoneMember, parent, memberName, fixedList<kSetMember>, nullptr,
                  [&](StoredObject& member) {
                      member.setIntAttr("EnumMemberType", memberType);
                      std::string modifier;
                      unsigned short zmType = 0;
                      if ((memberType & 0x4) != 0) {
                          modifier = parenthesisedText(memberName);
                          zmType = 1;
                      } else if ((memberType & 0x2) != 0) {
                          modifier = bracketedText(memberName);
                          zmType = 2;
                      } else if ((memberType & 0x1) != 0) {
                          zmType = 3;
                      }
                      member.setStringAttr("ZoneMemberModifier", modifier);
                      member.setShortAttr("ZMType", zmType);
                  });
}

int CreateUndefinedZoningObject(StoredObject* parent, const std::string& name) {
    return create(kUndefined, parent, name, fixedList<kSetMember>, nullptr, noAttributes);
}
