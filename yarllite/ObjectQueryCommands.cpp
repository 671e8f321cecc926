#include "yarllite/ObjectQueryCommands.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <orvane/objects.h>
#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "api/StoredObject.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/XmlEscape.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "yarllite/AttributeDictionaryWriter.h"
#include "yarllite/DomAccess.h"
#include "yarllite/ObjectRecordAttributes.h"
#include "yarllite/ReplyDocument.h"
#include "yarllite/StoredObjectXml.h"

namespace {

constexpr char kSource[] = "yarldcmd";
constexpr std::size_t kOidChars = sizeof(OID_t) - 1;

constexpr std::array<unsigned short, 8> kDictionaryTypes = {
    ObjectType::Fabric, ObjectType::Switch,     ObjectType::Device, ObjectType::Node,
    ObjectType::Port,   ObjectType::ZoneConfig, ObjectType::Zone,   ObjectType::ZoneAlias};

StoredObject* fabricOf(const char* oid) {
    return GetFabricEntryOfObject(oid);
}

unsigned short recordType(const void* record) {
    unsigned short type = 0;
    std::memcpy(&type, record, sizeof type);
    return type;
}

// Frees every record of a result list and then the list.
void freeRecords(void** records) {
    if (records == nullptr) {
        return;
    }
    for (void** entry = records; *entry != nullptr; ++entry) {
        falFreeObject(*entry);
    }
    falFreeObject(records);
}

// The fault block of the query handlers, written also for 0.
void appendFaultBlock(std::string& reply, int status) {
    reply += "<Fault>\n<YarlErrorCode>" + std::to_string(status) + "</YarlErrorCode>\n</Fault>\n";
}

void appendErrorElement(std::string& reply, const ErrorRecord& error) {
    reply += "<Error OID=\"";
    appendEscaped(reply, std::string(error.OID, strnlen(error.OID, sizeof(OID_t))));
    reply += "\" OriginalObjectOID=\"";
    appendEscaped(reply,
                  std::string(error.RequestedOID, strnlen(error.RequestedOID, sizeof(OID_t))));
    reply += "\" ErrorCode=\"" + std::to_string(error.Status) + "\" />\n";
}

// The text of an element with trailing white space cut, leading blanks
// skipped and at most 47 characters kept.
std::string identifierText(const xercesc::DOMNode* node, bool skipBlanks) {
    std::string text = extractText(node);
    std::size_t start = 0;
    if (skipBlanks) {
        while (start < text.size() && text[start] == ' ') {
            ++start;
        }
    }
    return text.substr(start, kOidChars);
}

bool sessionMarked(const StoredObject& object) {
    unsigned short marked = 0;
    return object.getShortAttr("SessionEstablished", marked) && marked == 1;
}

bool isFabric(const StoredObject& object) {
    unsigned short type = 0;
    return object.getShortAttr("ObjType", type) && type == ObjectType::Fabric;
}

void appendNamed(std::string& reply, int encoding, const char* name, std::string_view value) {
    appendAttributeName(reply, encoding, name);
    reply += "=\"";
    appendEscaped(reply, value);
    reply += '"';
}

std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

bool isFcsPolicy(unsigned short type, const void* record) {
    if (type != ObjectType::ActivePolicy && type != ObjectType::DefinedPolicy) {
        return false;
    }
    const char* name = static_cast<const SecurityPolicyRecord*>(record)->PolicyName;
    return name != nullptr && std::strcmp(name, "FCS_POLICY") == 0;
}

// One member switch of a configuration server policy as its switch
// record tells: known (in the fabric and readable) with its domain and
// name, or unknown.
struct PolicyMember {
    std::string oid;
    bool known = false;
    std::string domain;
    std::string name;
};

// Reads the member switches of a configuration server policy. The reads
// go to the switches through the query export, so they run before the
// writer takes the store lock.
std::vector<PolicyMember> readPolicyMembers(const SecurityPolicyRecord& policy) {
    std::vector<PolicyMember> members;
    for (const OID_t* oid = policy.MemberOIDs; oid != nullptr && (*oid)[0] != '\0'; ++oid) {
        PolicyMember member;
        member.oid = oidText(*oid);
        void* fetched = nullptr;
        const int status = GetSingleObject(member.oid.c_str(), &fetched);
        const auto* sw = static_cast<const SwitchRecord*>(fetched);
        if (status == 0 && sw != nullptr && sw->ObjType == ObjectType::Switch &&
            sw->SwitchState != 562) {
            member.known = true;
            member.domain = std::to_string(sw->DomainId);
            member.name.assign(sw->SwitchName.Text,
                               strnlen(sw->SwitchName.Text, sizeof sw->SwitchName.Text));
        }
        falFreeObject(fetched);
        members.push_back(std::move(member));
    }
    return members;
}

// "<Parent OID=... />": the stored object's first parent, empty when none.
void appendParentLine(std::string& reply, int encoding, const StoredObject& object) {
    reply += "<Parent ";
    std::string parent;
    object.getFirstRelation("setParent", parent);
    appendNamed(reply, encoding, "OID", parent);
    reply += " />\n";
}

// One Member line per entry of a list of 48-byte identifiers ended by an
// empty entry. A zone set's lines carry the literal name "OID".
void appendMemberLines(std::string& reply, int encoding, const char* list, bool literalName) {
    for (const char* entry = list; entry != nullptr && *entry != '\0'; entry += sizeof(OID_t)) {
        reply += "<Member ";
        if (literalName) {
            reply += "OID=\"";
            appendEscaped(reply, oidText(entry));
            reply += '"';
        } else {
            appendNamed(reply, encoding, "OID", oidText(entry));
        }
        reply += " />\n";
    }
}

std::string hexValue(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// The opening of a zoning element: its name, the identifier, the type
// code and the object's name.
void openZoningElement(std::string& reply, int encoding, const char* oid, const char* type,
                       const char* nameAttribute, const char* name) {
    appendNamed(reply, encoding, "OID", oidText(oid));
    reply += ' ';
    appendNamed(reply, encoding, "ObjType", type);
    reply += ' ';
    appendNamed(reply, encoding, nameAttribute, name != nullptr ? name : "");
}

// Zones, zone sets and aliases are written from their records, with their
// members; false for any other record.
bool appendZoningElement(std::string& reply, int encoding, unsigned short type,
                         const void* record, const StoredObject& object) {
    if (type == ObjectType::Zone) {
        const auto& zone = *static_cast<const ZoneRecord*>(record);
        reply += "<Zone ";
        openZoningElement(reply, encoding, zone.OID, "0xa", "ZoneName", zone.pcZoneName);
        reply += ' ';
        appendNamed(reply, encoding, "ZoneType", hexValue(zone.zoneType));
        reply += ' ';
        appendNamed(reply, encoding, "ZoneSubType",
                    hexValue(static_cast<unsigned>(zone.zoneSubType)));
        reply += " >\n";
        appendParentLine(reply, encoding, object);
        appendMemberLines(reply, encoding, zone.pcMemberOids, false);
        reply += "</Zone>\n";
        return true;
    }
    if (type == ObjectType::ZoneConfig) {
        const auto& zoneSet = *static_cast<const ZoneSetObjectRecord*>(record);
        reply += "<ZoneConfig ";
        appendNamed(reply, encoding, "ActivateZoneSet",
                    zoneSet.activateZoneSet == 1 ? "0x1" : "0x0");
        reply += ' ';
        openZoningElement(reply, encoding, zoneSet.OID, "0xb", "ZoneSetName",
                          zoneSet.pcZoneSetName);
        reply += " >\n";
        appendParentLine(reply, encoding, object);
        appendMemberLines(reply, encoding,
                          zoneSet.pcMemberOids != nullptr ? zoneSet.pcMemberOids[0] : nullptr,
                          true);
        reply += "</ZoneConfig>\n";
        return true;
    }
    if (type == ObjectType::ZoneAlias) {
        const auto& alias = *static_cast<const ZoneAliasRecord*>(record);
        reply += "<ZoneAlias ";
        openZoningElement(reply, encoding, alias.OID, "0x14", "ZoneAliasName",
                          alias.pcZoneAliasName);
        reply += " >\n";
        appendParentLine(reply, encoding, object);
        appendMemberLines(reply, encoding, alias.pcMemberOids, false);
        reply += "</ZoneAlias>\n";
        return true;
    }
    return false;
}

// A configuration server policy: the first known member is written as the
// primary server, a member that cannot be read as "Unknown".
void appendFcsPolicy(std::string& reply, int encoding, const SecurityPolicyRecord& policy,
                     const StoredObject& object, const std::vector<PolicyMember>& members) {
    const bool active = policy.ObjType == ObjectType::ActivePolicy;
    const char* element = active ? "ActivePolicy" : "DefinedPolicy";
    reply += '<';
    reply += element;
    reply += ' ';
    appendNamed(reply, encoding, "OID", oidText(policy.OID));
    reply += ' ';
    appendNamed(reply, encoding, "ObjType", active ? "0x22" : "0x31");
    reply += ' ';
    appendNamed(reply, encoding, "PolicyName", "FCS_POLICY");
    reply += " >\n";
    appendParentLine(reply, encoding, object);
    for (std::size_t i = 0; i < members.size(); ++i) {
        const PolicyMember& member = members[i];
        reply += "<PolicyMemberSet ";
        appendNamed(reply, encoding, "OID", member.oid);
        reply += ' ';
        appendNamed(reply, encoding, "IsPrimary", member.known && i == 0 ? "Yes" : "No");
        reply += ' ';
        appendNamed(reply, encoding, "DomainId", member.known ? member.domain : "-");
        reply += ' ';
        appendNamed(reply, encoding, "SwitchName", member.known ? member.name : "Unknown");
        reply += " />\n";
    }
    reply += "</";
    reply += element;
    reply += ">\n";
}

// Copies every record into its stored object, then writes the listing and
// the Error elements, frees everything and returns `status`.
template <class Write>
int listRecords(CommandContext& context, void** records, int status, Write&& write) {
    for (void** entry = records; *entry != nullptr; ++entry) {
        storeObjectRecord(*entry);
    }
    write();
    for (void** entry = records; *entry != nullptr; ++entry) {
        if (recordType(*entry) == ORVANE_ERROR_RECORD_TYPE) {
            appendErrorElement(context.reply, *static_cast<const ErrorRecord*>(*entry));
        }
    }
    freeRecords(records);
    return status;
}

} // namespace

int YarlGetObjectsResponse(std::string& reply, void** records, int encoding) {
    MethodTrace trace(Vosk_API_XML, "YarlGetObjectsResponse", kSource);
    std::vector<std::vector<PolicyMember>> policyMembers;
    for (void** entry = records; entry != nullptr && *entry != nullptr; ++entry) {
        policyMembers.push_back(
            isFcsPolicy(recordType(*entry), *entry)
                ? readPolicyMembers(*static_cast<const SecurityPolicyRecord*>(*entry))
                : std::vector<PolicyMember>());
    }
    // The walk of a tree takes the object-model lock again: it is re-entrant.
    LockGuard storeGuard(getObjectStoreMutex());
    std::size_t index = 0;
    reply += "<Objects>\n";
    for (void** entry = records; entry != nullptr && *entry != nullptr; ++entry, ++index) {
        const unsigned short type = recordType(*entry);
        if (type == ORVANE_ERROR_RECORD_TYPE) {
            appendErrorElement(reply, *static_cast<const ErrorRecord*>(*entry));
            continue;
        }
        const char* oid = static_cast<const char*>(*entry) + offsetof(ErrorRecord, OID);
        StoredObject* object = findObjectByOid(oid);
        if (object == nullptr) {
            continue;
        }
        if (isFcsPolicy(type, *entry)) {
            appendFcsPolicy(reply, encoding, *static_cast<const SecurityPolicyRecord*>(*entry),
                            *object, policyMembers[index]);
            continue;
        }
        if (appendZoningElement(reply, encoding, type, *entry, *object)) {
            continue;
        }
        storeObjectRecord(*entry);
        if (type == ObjectType::EnclosureObject) {
            object->writeXmlTree(reply, encoding);
        } else {
            object->writeXml(reply, encoding);
        }
    }
    reply += "</Objects>\n";
    return 0;
}

int YarlGetAllObjectsResponse(std::string& reply, int encoding, bool dictionary) {
    MethodTrace trace(Vosk_API_XML, "YarlGetAllObjectsResponse", kSource);
    // One lock for the whole listing, so that its parts agree.
    LockGuard storeGuard(getObjectStoreMutex());
    if (dictionary) {
        writeAttributeDictionary(reply);
        for (const unsigned short type : kDictionaryTypes) {
            writeObjectsOfType("", type, reply, encoding, fabricOf);
        }
        return 0;
    }
    reply += "<Objects>\n";
    for (auto& [oid, object] : objectMap()) {
        if (object != nullptr && isFabric(*object) && sessionMarked(*object)) {
            object->writeXmlTree(reply, encoding);
        }
    }
    reply += "</Objects>\n";
    return 0;
}

int YarlGetObjectsByTypeResponse(const std::string& fabric, int type, std::string& reply,
                                 int encoding) {
    MethodTrace trace(Vosk_API_XML, "YarlGetObjectsByTypeResponse", kSource);
    LockGuard storeGuard(getObjectStoreMutex());
    reply += "<Objects>\n";
    if (type == -1 || type == 0xFFFF) {
        for (auto& [oid, object] : objectMap()) {
            if (object == nullptr || !isFabric(*object)) {
                continue;
            }
            std::string fabricOid;
            if (!object->getStringAttr("OID", fabricOid) ||
                (!fabric.empty() && fabric != fabricOid)) {
                continue;
            }
            if (sessionMarked(*object)) {
                object->writeXmlTree(reply, encoding);
            }
        }
    } else {
        writeObjectsOfType(fabric, static_cast<unsigned short>(type), reply, encoding, fabricOf);
    }
    reply += "</Objects>\n";
    return 0;
}

int YarlGetObjects(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetObjects", kSource);
    const std::vector<xercesc::DOMElement*> references =
        elementsNamed(context.root, "ObjectReference");
    if (references.empty()) {
        appendFault(context.reply, -3);
        return -3;
    }
    std::vector<char> list((references.size() + 1) * sizeof(OID_t), '\0');
    for (std::size_t i = 0; i < references.size(); ++i) {
        const std::string oid = identifierText(references[i], true);
        std::memcpy(list.data() + i * sizeof(OID_t), oid.data(), oid.size());
    }
    void** records = nullptr;
    const int status = GetObjects(list.data(), &records);
    if (status != 0) {
        context.reply += "<OriginalRequest>\n<DataRequest>\nGetObjects:";
        for (std::size_t i = 0; i < references.size(); ++i) {
            const char* entry = list.data() + i * sizeof(OID_t);
            appendEscaped(context.reply, std::string(entry, strnlen(entry, sizeof(OID_t))));
            context.reply += ' ';
        }
        context.reply += "\n</DataRequest>\n</OriginalRequest>\n";
        appendFault(context.reply, status);
        if (status != -221) {
            freeRecords(records);
            return status;
        }
    }
    if (records == nullptr) {
        return -17;
    }
    YarlGetObjectsResponse(context.reply, records, context.attributeEncoding);
    freeRecords(records);
    return status;
}

int YarlGetAllObjects(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetAllObjects", kSource);
    void** records = nullptr;
    const int status = GetAllObjects(&records);
    const bool empty = records == nullptr || records[0] == nullptr;
    if (status != 0 || empty) {
        // Nothing to list (no fabric has a session) answers the fault block
        // with 0 and no listing: a client tells it from an empty fabric.
        appendFaultBlock(context.reply, status);
        if (status != -221) {
            freeRecords(records);
            return status;
        }
        if (empty) {
            freeRecords(records);
            return -12;
        }
    }
    return listRecords(context, records, status, [&] {
        YarlGetAllObjectsResponse(context.reply, context.attributeEncoding, context.dictionary);
    });
}

int YarlGetObjectsByType(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetObjectsByType", kSource);
    std::string fabric;
    if (xercesc::DOMNode* reference = fetchNodeByName(context.root, "ObjectReference")) {
        fabric = identifierText(reference, false);
    }
    xercesc::DOMNode* typeNode = fetchNodeByName(context.root, "ObjectType");
    if (typeNode == nullptr) {
        return -3;
    }
    const std::string typeText = extractText(typeNode).substr(0, 10);
    const int type = std::atoi(typeText.c_str());
    void** records = nullptr;
    const int status = GetObjectsByType(fabric.c_str(), static_cast<short>(type), &records);
    if (status != 0 || records == nullptr) {
        appendFault(context.reply, status);
        if (status != -221 || records == nullptr) {
            freeRecords(records);
            return status;
        }
    }
    return listRecords(context, records, status, [&] {
        YarlGetObjectsByTypeResponse(fabric, type, context.reply, context.attributeEncoding);
    });
}

int YarlGetAllObjectsResponseCommand(CommandContext& context) {
    return YarlGetAllObjectsResponse(context.reply, context.attributeEncoding, context.dictionary);
}
