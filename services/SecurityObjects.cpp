#include "services/SecurityObjects.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_records.h"
#include "connection/clilib_security.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalStatus.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ChildClasses.h"
#include "objects/FabricClasses.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kNoHandle = -4;
constexpr int kNotStored = -13;
constexpr int kPolicyGone = -21;
constexpr unsigned kLastDccNumber = 65025;
constexpr std::size_t kWwnTextLength = 23;
constexpr std::size_t kPortGroupOidLength = 24;

unsigned short typeOf(const StoredObject* object) {
    unsigned short type = 0;
    if (object == nullptr || !object->getShortAttr("ObjType", type)) {
        return 0;
    }
    return type;
}

StoredObject* parentOf(StoredObject* object) {
    if (object == nullptr) {
        return nullptr;
    }
    const std::string parent = firstRelation(object, "setParent");
    return parent.empty() ? nullptr : findObject(parent);
}

StoredObject* stepsUp(StoredObject* object, int steps) {
    for (int i = 0; i < steps && object != nullptr; ++i) {
        object = parentOf(object);
    }
    return object;
}

std::string oidOf(const StoredObject* object) {
    std::string oid;
    if (object != nullptr) {
        object->getStringAttr("OID", oid);
    }
    return oid;
}

std::string fieldText(const char* field) {
    return std::string(field, strnlen(field, sizeof(OID_t)));
}

SessionContext* handleOf(const StoredObject* fabric) {
    void* handle = nullptr;
    if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle)) {
        return nullptr;
    }
    return static_cast<SessionContext*>(handle);
}

// The set text of `selector`: 0 with the pieces (none for an empty set),
// or the request layer's code.
int readPolicySet(SessionContext* ctx, unsigned selector, std::vector<std::string>& pieces) {
    char* text = nullptr;
    const int status = mpsGetPolicySetText(ctx, selector, &text);
    if (text != nullptr) {
        pieces = splitPolicySetText(text);
        freeApiRecord(text);
    }
    if (status == REQ_ERR_EMPTY_POLICY_TEXT) {
        pieces.clear();
        return 0;
    }
    return status;
}

// A short attribute, created with `initial` when missing; its value.
unsigned short flagOf(StoredObject* object, const char* name, unsigned short initial) {
    unsigned short value = 0;
    if (!object->getShortAttr(name, value)) {
        object->setShortAttr(name, initial);
        value = initial;
    }
    return value;
}

// The policy set of `relation` below the capabilities, made and linked
// when the fabric's tree has none yet.
StoredObject* policySetOf(StoredObject* capabilities, StoredObject* fabric, const char* relation,
                          unsigned short type, ChildClass kind) {
    const std::string oid = firstRelation(capabilities, relation);
    StoredObject* set = oid.empty() ? nullptr : findObject(oid);
    if (set == nullptr) {
        const std::optional<WWNAddress> wwn = fabric->getWwnAttr("WWN");
        if (!wwn) {
            return nullptr;
        }
        set = getOrCreateObject(type, *wwn);
        capabilities->addRelatedObject(relation, set);
        set->addRelatedObject("setParent", capabilities);
    }
    attachChildClass(set, kind, FABRIC_VERSION_2600);
    return set;
}

void appendUnique(StoredObject* object, const char* relation, const std::string& text) {
    if (!object->hasRelation(relation, text)) {
        object->addRelation(relation, text);
    }
}

// The member words of one policy piece: the words after the name, up to
// "EMPTY".
std::vector<std::string> memberWords(const std::vector<std::string>& words) {
    std::vector<std::string> members;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "EMPTY") {
            break;
        }
        members.push_back(words[i]);
    }
    return members;
}

std::string wwnOid(unsigned short type, const std::string& text) {
    unsigned char wwn[8] = {};
    if (text.size() < kWwnTextLength || !parseWwnText(text.c_str(), wwn)) {
        return {};
    }
    std::string oid;
    formatOidString(type, WWNAddress(wwn), oid);
    return oid;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Port numbers of a list such as "1,2,3,7)" or "4-7"; false for another
// character.
bool readPortList(const std::string& list, std::vector<int>& ports) {
    std::size_t at = 0;
    while (at < list.size() && list[at] != ')') {
        if (list[at] == ',' || list[at] == ' ') {
            ++at;
            continue;
        }
        if (list[at] < '0' || list[at] > '9') {
            return false;
        }
        int first = 0;
        while (at < list.size() && list[at] >= '0' && list[at] <= '9' && first <= 0xFFFF) {
            first = first * 10 + (list[at++] - '0');
        }
        int last = first;
        if (at < list.size() && list[at] == '-') {
            ++at;
            last = 0;
            if (at >= list.size() || list[at] < '0' || list[at] > '9') {
                return false;
            }
            while (at < list.size() && list[at] >= '0' && list[at] <= '9' && last <= 0xFFFF) {
                last = last * 10 + (list[at++] - '0');
            }
        }
        if (first > 0xFFFF || last > 0xFFFF || last < first) {
            return false;
        }
        for (int port = first; port <= last; ++port) {
            ports.push_back(port);
        }
    }
    return true;
}

} // namespace

std::vector<std::string> splitTokens(const std::string& text, const char* separators) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        if (end > start) {
            pieces.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

std::size_t countTokens(const std::string& text, const char* separators) {
    return splitTokens(text, separators).size();
}

std::vector<std::string> splitPolicySetText(const char* text) {
    if (text == nullptr) {
        return {};
    }
    return splitTokens(text, "|");
}

unsigned policyNumberOf(const std::string& name, unsigned& dccCounter) {
    static const char* const fixed[] = {"FCS_POLICY",    "OPTIONS_POLICY",    "RSNMP_POLICY",
                                        "WSNMP_POLICY",  "TELNET_POLICY",     "HTTP_POLICY",
                                        "API_POLICY",    "SES_POLICY",        "MS_POLICY",
                                        "SERIAL_POLICY", "FRONTPANEL_POLICY", "SCC_POLICY"};
    for (unsigned i = 0; i < sizeof fixed / sizeof fixed[0]; ++i) {
        if (name == fixed[i]) {
            return i + 1;
        }
    }
    if (name.rfind("DCC_POLICY", 0) == 0) {
        const unsigned number = ++dccCounter;
        return number >= kLastDccNumber ? 0 : number;
    }
    return 0;
}

void policyKeyOf(unsigned number, unsigned fabricCounter, unsigned char key[8]) {
    for (int i = 0; i < 4; ++i) {
        key[i] = static_cast<unsigned char>((number >> (4 * i)) & 0xF);
        key[4 + i] = static_cast<unsigned char>((fabricCounter >> (4 * i)) & 0xF);
    }
}

std::vector<std::string> policyMemberToOids(const std::string& word, const std::string& policy) {
    if (word == "*") {
        return {word};
    }
    if (contains(policy, "SES_POLICY") || contains(policy, "MS_POLICY")) {
        std::string oid = wwnOid(ObjectType::Port, word);
        return oid.empty() ? std::vector<std::string>{} : std::vector<std::string>{oid};
    }
    if (contains(policy, "SERIAL_POLICY") || contains(policy, "FRONTPANEL_POLICY") ||
        contains(policy, "SCC_POLICY") || contains(policy, "FCS_POLICY")) {
        std::string oid = wwnOid(ObjectType::Switch, word);
        return oid.empty() ? std::vector<std::string>{} : std::vector<std::string>{oid};
    }
    if (contains(policy, "DCC_POLICY")) {
        if (word.size() <= kWwnTextLength + 1) {
            std::string oid = wwnOid(ObjectType::Port, word);
            return oid.empty() ? std::vector<std::string>{} : std::vector<std::string>{oid};
        }
        const std::string switchOid = wwnOid(ObjectType::Switch, word.substr(0, kWwnTextLength));
        std::vector<int> ports;
        if (switchOid.empty() || !readPortList(word.substr(kWwnTextLength + 1), ports)) {
            return {};
        }
        std::vector<std::string> groups;
        for (std::size_t i = 0; i < ports.size();) {
            std::size_t j = i;
            while (j + 1 < ports.size() && ports[j + 1] == ports[j] + 1) {
                ++j;
            }
            char group[sizeof(OID_t)] = {};
            if (encodeSwitchPortGroupOid(switchOid.c_str(), ports[i], ports[j], group) == 0) {
                groups.emplace_back(group, strnlen(group, kPortGroupOidLength));
            }
            i = j + 1;
        }
        return groups;
    }
    return {word};
}

StoredObject* findFabricOfSecurityObject(StoredObject* object) {
    switch (typeOf(object)) {
    case ObjectType::Fabric:
        return object;
    case ObjectType::SecurityCapabilities:
        return stepsUp(object, 1);
    case ObjectType::ActivePolicySet:
    case ObjectType::DefinedPolicySet:
        return stepsUp(object, 2);
    case ObjectType::ActivePolicy:
    case ObjectType::DefinedPolicy:
        return stepsUp(object, 3);
    default:
        return nullptr;
    }
}

StoredObject* findSecurityCapabilities(StoredObject* object) {
    switch (typeOf(object)) {
    case ObjectType::SecurityCapabilities:
        return object;
    case ObjectType::ActivePolicySet:
    case ObjectType::DefinedPolicySet:
        return stepsUp(object, 1);
    case ObjectType::ActivePolicy:
    case ObjectType::DefinedPolicy:
        return stepsUp(object, 2);
    default:
        return nullptr;
    }
}

int SCapabilities::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* object = findObjectByOid(oid);
    if (object == nullptr) {
        return kNotStored;
    }
    StoredObject* fabric = findFabricOfSecurityObject(object);
    if (fabric == nullptr) {
        return kNotStored;
    }
    SessionContext* ctx = handleOf(fabric);
    if (ctx == nullptr) {
        return kNoHandle;
    }
    const std::string proxyOid = firstRelation(fabric, "setProxy");

    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    int secureMode = 0;
    // A failed read says nothing about the mode: the stored state stays.
    if (const int status = mpsGetSecureMode(ctx, &secureMode); status != 0) {
        return MapApiError(status);
    }
    auto* out = static_cast<SecurityCapabilitiesRecord*>(
        falAllocObject(sizeof(SecurityCapabilitiesRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::SecurityCapabilities;
    CopyName48(out->OID, oid);
    if (secureMode != 1) {
        object->setShortAttr("SecureModeEnabled", 0);
        object->clearSet("setDefinedPolicySet");
        object->clearSet("setActivePolicySet");
        object->clearSet("setPrimaryFCS");
        std::strcpy(out->PolicyVersionStamp, "None");
        *record = out;
        return 0;
    }
    out->SecureModeEnabled = 1;
    object->setShortAttr("SecureModeEnabled", 1);
    out->SecurityTransactionActive = flagOf(object, "SecurityTransactionActive", 0);
    out->CommitSecurityTransaction = flagOf(object, "CommitSecurityTransaction", 1);
    out->SecurityTransactionDirty = flagOf(object, "SecurityTransactionDirty", 0);

    char stamp[PolicyVersionStampSize] = {};
    if (mpsGetPolicyVersionStamp(ctx, stamp, sizeof stamp) != 0) {
        stamp[0] = '\0';
    }
    std::memcpy(out->PolicyVersionStamp, stamp, sizeof out->PolicyVersionStamp - 1);
    object->setStringAttr("PolicyVersionStamp", stamp);

    int first = 0;
    int second = 0;
    short dbStatus = 0;
    if (mpsGetSecDbStatus(ctx, &first, &second) == 0 && (second == 1 || second == -2)) {
        dbStatus = static_cast<short>(second);
    }
    out->SecDBStatus = dbStatus;
    object->setShortAttr("SecDBStatus", static_cast<unsigned short>(dbStatus));

    StoredObject* defined = policySetOf(object, fabric, "setDefinedPolicySet",
                                        ObjectType::DefinedPolicySet, ChildClass::DefinedPolicySet);
    StoredObject* active = policySetOf(object, fabric, "setActivePolicySet",
                                       ObjectType::ActivePolicySet, ChildClass::ActivePolicySet);
    CopyName48(out->DefinedPolicySetOID, oidOf(defined).c_str());
    CopyName48(out->ActivePolicySetOID, oidOf(active).c_str());

    std::vector<std::string> pieces;
    readPolicySet(ctx, 1, pieces);
    object->clearSet("setPrimaryFCS");
    for (const std::string& piece : pieces) {
        const std::vector<std::string> words = splitTokens(piece, ";");
        if (words.size() < 2 || words[0] != "PRIMARY" || words[1] == "EMPTY") {
            continue;
        }
        // Only a switch of the fabric's tree counts; none is made here.
        const std::string switchOid = wwnOid(ObjectType::Switch, words[1]);
        StoredObject* primary = switchOid.empty() ? nullptr : findObject(switchOid);
        if (primary != nullptr && !proxyOid.empty() && switchOid == proxyOid) {
            CopyName48(out->PrimaryFCSOID, switchOid.c_str());
            object->addRelatedObject("setPrimaryFCS", primary);
        }
    }
    *record = out;
    return 0;
}

DefinedPolicySet::DefinedPolicySet()
    : PolicySetElement(0, ObjectType::DefinedPolicySet, ObjectType::DefinedPolicy) {}

ActivePolicySet::ActivePolicySet()
    : PolicySetElement(1, ObjectType::ActivePolicySet, ObjectType::ActivePolicy) {}

int PolicySetElement::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* set = findObjectByOid(oid);
    StoredObject* fabric = findFabricOfSecurityObject(set);
    if (set == nullptr || fabric == nullptr) {
        return kNotStored;
    }
    SessionContext* ctx = handleOf(fabric);
    if (ctx == nullptr) {
        return kNoHandle;
    }
    int fabricCounter = 0;
    if (!fabric->getIntAttr("FabricCounter", fabricCounter)) {
        return kNotStored;
    }

    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    std::vector<std::string> pieces;
    if (const int status = readPolicySet(ctx, selector_, pieces); status != 0) {
        return MapApiError(status);
    }
    const std::size_t size = sizeof(PolicySetRecord) + sizeof(OID_t) * (pieces.size() + 1);
    auto* out = static_cast<PolicySetRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return kNoMemory;
    }
    const unsigned short activate = selector_ == 0 ? 0 : 1;
    out->ObjType = setType_;
    CopyName48(out->OID, oid);
    out->ActivatePolicySet = activate;
    set->setShortAttr("ActivatePolicySet", activate);
    out->PolicyOIDs = reinterpret_cast<OID_t*>(out + 1);

    std::atomic<unsigned>& counter =
        selector_ == 0 ? objectCounters().definedPolicySet : objectCounters().activePolicySet;
    unsigned dccCounter = ObjectCounters::FirstPolicyNumber;
    std::size_t entries = 0;
    for (const std::string& piece : pieces) {
        const std::vector<std::string> words = splitTokens(piece, ";");
        if (words.empty()) {
            continue;
        }
        const unsigned number = policyNumberOf(words[0], dccCounter);
        if (number == 0) {
            continue;
        }
        unsigned char key[8];
        policyKeyOf(number, static_cast<unsigned>(fabricCounter), key);
        StoredObject* policy = getOrCreateObject(policyType_, WWNAddress(key));
        policy->setStringAttr("PolicyName", words[0]);
        CopyName48(out->PolicyOIDs[entries++], oidOf(policy).c_str());
        if (!set->hasRelation("setPolicySetOIDSet", oidOf(policy))) {
            set->addRelatedObject("setPolicySetOIDSet", policy);
        }
        if (!policy->hasRelation("setParent", oidOf(set))) {
            policy->addRelatedObject("setParent", set);
        }
        for (const std::string& member : memberWords(words)) {
            appendUnique(policy, "setPolicyMemberSet", member);
        }
        if (policy->getElement() == nullptr) {
            policy->setElement(new SecurityPolicy());
        }
    }
    counter.store(dccCounter);
    *record = out;
    return 0;
}

int SecurityPolicy::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* policy = findObjectByOid(oid);
    if (policy == nullptr) {
        return kNotStored;
    }
    const unsigned short type = typeOf(policy);
    if (type != ObjectType::DefinedPolicy && type != ObjectType::ActivePolicy) {
        return kNotStored;
    }
    const unsigned selector = type == ObjectType::DefinedPolicy ? 0 : 1;
    StoredObject* fabric = findFabricOfSecurityObject(policy);
    if (fabric == nullptr) {
        return kNotStored;
    }
    SessionContext* ctx = handleOf(fabric);
    if (ctx == nullptr) {
        return kNoHandle;
    }
    std::string name;
    policy->getStringAttr("PolicyName", name);

    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    std::vector<std::string> pieces;
    if (const int status = readPolicySet(ctx, selector, pieces); status != 0) {
        return MapApiError(status);
    }
    const std::vector<std::string>* found = nullptr;
    std::vector<std::string> words;
    for (const std::string& piece : pieces) {
        words = splitTokens(piece, ";");
        if (!words.empty() && words[0] == name) {
            found = &words;
            break;
        }
    }
    if (found == nullptr) {
        return kPolicyGone;
    }
    std::vector<std::string> members;
    for (const std::string& word : memberWords(words)) {
        for (std::string& member : policyMemberToOids(word, name)) {
            members.push_back(std::move(member));
        }
    }
    // Sized from the name and the members read, whatever their lengths.
    const std::size_t size =
        sizeof(SecurityPolicyRecord) + name.size() + 1 + sizeof(OID_t) * (members.size() + 1);
    auto* out = static_cast<SecurityPolicyRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = type;
    CopyName48(out->OID, oid);
    out->PolicyName = reinterpret_cast<char*>(out + 1);
    std::memcpy(out->PolicyName, name.c_str(), name.size() + 1);
    out->MemberOIDs = reinterpret_cast<OID_t*>(out->PolicyName + name.size() + 1);
    policy->clearSet("setPolicyMemberSet");
    for (std::size_t i = 0; i < members.size(); ++i) {
        appendUnique(policy, "setPolicyMemberSet", members[i]);
        CopyName48(out->MemberOIDs[i], members[i].c_str());
    }
    *record = out;
    return 0;
}

int SecurityStats::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* object = findObjectByOid(oid);
    StoredObject* sw = parentOf(object);
    StoredObject* fabric = parentOf(sw);
    if (object == nullptr || sw == nullptr || fabric == nullptr) {
        return kNotStored;
    }
    SessionContext* ctx = handleOf(fabric);
    if (ctx == nullptr) {
        return kNoHandle;
    }
    OID_t field = {};
    CopyName48(field, oid);
    unsigned char name[8] = {};
    parseOidWwn(field, name);
    SecurityStatsRecord stats{};
    if (const int status = switchGetSecurityStats(ctx, name, 0, &stats); status != 0) {
        return MapApiError(status);
    }
    auto* out =
        static_cast<SecurityStatsObjectRecord*>(falAllocObject(sizeof(SecurityStatsObjectRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::SecurityStats;
    CopyName48(out->OID, oid);
    CopyName48(out->SwitchOID, oidOf(sw).c_str());
    static const char* const names[12] = {
        "TelnetPolicyViolations",   "HTTPPolicyViolations",      "APIPolicyViolations",
        "SNMPReadPolicyViolations", "SNMPWritePolicyViolations", "SESPolicyViolations",
        "MSPolicyViolations",       "SerialPolicyViolations",    "FrontPanelPolicyViolations",
        "SCCPolicyViolations",      "DCCPolicyViolations",       "LoginViolations"};
    unsigned int* counters = &out->TelnetPolicyViolations;
    for (int i = 0; i < 12; ++i) {
        counters[i] = stats.values[i];
        object->setIntAttr(names[i], static_cast<int>(stats.values[i]));
    }
    *record = out;
    return 0;
}

namespace {

SanElement* makeCapabilities(int, int) {
    return new SCapabilities();
}
SanElement* makeDefinedSet(int, int) {
    return new DefinedPolicySet();
}
SanElement* makeActiveSet(int, int) {
    return new ActivePolicySet();
}
SanElement* makeStats(int, int) {
    return new SecurityStats();
}

std::vector<std::string> capabilitiesChildren(const void* record) {
    const auto* capabilities = static_cast<const SecurityCapabilitiesRecord*>(record);
    std::vector<std::string> oids;
    for (const char* oid : {capabilities->DefinedPolicySetOID, capabilities->ActivePolicySetOID}) {
        if (oid[0] != '\0') {
            oids.push_back(fieldText(oid));
        }
    }
    return oids;
}

std::vector<std::string> policySetChildren(const void* record) {
    std::vector<std::string> oids;
    const auto* set = static_cast<const PolicySetRecord*>(record);
    for (const OID_t* entry = set->PolicyOIDs; entry != nullptr && (*entry)[0] != '\0'; ++entry) {
        oids.push_back(fieldText(*entry));
    }
    return oids;
}

} // namespace

std::vector<std::string> securityStatsChildren(const void* record) {
    const auto* sw = static_cast<const SwitchRecord*>(record);
    if (sw->SecurityStatsOID[0] == '\0') {
        return {};
    }
    return {fieldText(sw->SecurityStatsOID)};
}

void installSecurityObjects() {
    setChildClassMaker(ChildClass::SCapabilities, makeCapabilities);
    setChildClassMaker(ChildClass::DefinedPolicySet, makeDefinedSet);
    setChildClassMaker(ChildClass::ActivePolicySet, makeActiveSet);
    setChildClassMaker(ChildClass::SecurityStats, makeStats);
    registerDescentStep({ObjectType::SecurityCapabilities, capabilitiesChildren});
    registerDescentStep({ObjectType::DefinedPolicySet, policySetChildren});
    registerDescentStep({ObjectType::ActivePolicySet, policySetChildren});
}
