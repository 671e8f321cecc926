#include "services/SecurityMembers.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib_security.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ChildClasses.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/StoredRelations.h"
#include "services/SecurityObjects.h"

namespace {

constexpr char kSourceFile[] = "secureSAN";
constexpr int kRefused = -3;
constexpr int kNoHandle = -4;
constexpr int kNoFabric = -12;
constexpr int kNotStored = -13;
constexpr int kNoPolicy = -17;
constexpr int kNotDefinedPolicy = -20;
constexpr int kNoCapabilities = -34;
constexpr int kNoTransaction = -40;
constexpr std::size_t kEntrySize = sizeof(OID_t);
constexpr std::size_t kWwnTextLength = 23;
constexpr std::size_t kOidLength = 20;
constexpr std::size_t kShortEntry = 20;

enum class MemberKind { None, WorldWideName, AsGiven, Dcc };

MemberKind memberKindOf(const char* name) {
    if (name == nullptr) {
        return MemberKind::None;
    }
    static const char* const wwnPolicies[] = {"FCS_POLICY",    "SES_POLICY",        "MS_POLICY",
                                              "SERIAL_POLICY", "FRONTPANEL_POLICY", "SCC_POLICY"};
    static const char* const givenPolicies[] = {"RSNMP_POLICY", "WSNMP_POLICY", "TELNET_POLICY",
                                                "HTTP_POLICY",  "API_POLICY",   "OPTIONS_POLICY"};
    for (const char* policy : wwnPolicies) {
        if (std::strcmp(name, policy) == 0) {
            return MemberKind::WorldWideName;
        }
    }
    for (const char* policy : givenPolicies) {
        if (std::strcmp(name, policy) == 0) {
            return MemberKind::AsGiven;
        }
    }
    return std::strncmp(name, "DCC_POLICY", 10) == 0 ? MemberKind::Dcc : MemberKind::None;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A port whose members the switch's device policies do not take.
bool isFabricPortType(const std::string& portOid) {
    const StoredObject* port = findObject(portOid);
    unsigned short type = 0;
    if (port == nullptr || !port->getShortAttr("PortType", type)) {
        return false;
    }
    return type == PORT_TYPE_F || type == PORT_TYPE_FL || type == PORT_TYPE_E ||
           type == PORT_TYPE_8;
}

// One entry's contribution to the member text; false when it is refused.
bool convertEntry(MemberKind kind, const std::string& entry, std::string& out) {
    switch (kind) {
    case MemberKind::WorldWideName:
        out = isWwnText(entry.c_str()) ? entry : oidToWwnText(entry.c_str());
        return !out.empty();
    case MemberKind::AsGiven:
        out = entry;
        return true;
    case MemberKind::Dcc:
        break;
    case MemberKind::None:
        return false;
    }
    if (isWwnText(entry.c_str())) {
        out = entry;
        return true;
    }
    if (entry.size() <= kShortEntry) {
        if (entry.rfind("0001", 0) != 0 || isFabricPortType(entry)) {
            out.clear();
            return true;
        }
        out = oidToWwnText(entry.c_str());
        return !out.empty();
    }
    out = oidToWwnText(entry.substr(0, kOidLength).c_str());
    if (out.empty()) {
        return false;
    }
    if (entry[kOidLength] == '(') {
        out += entry.substr(kOidLength);
        return true;
    }
    char switchOid[kEntrySize] = {};
    int first = 0;
    int last = 0;
    if (decodeSwitchPortGroupOid(entry.c_str(), switchOid, &first, &last) != 0) {
        return false;
    }
    out += "(" + std::to_string(first);
    if (last > first) {
        out += "-" + std::to_string(last);
    }
    out += ")";
    return true;
}

// The shared first steps of the member edits: the capabilities object of an
// open transaction, or the failure code.
int openTransaction(StoredObject* fabric, StoredObject*& capabilities) {
    const std::string oid = firstRelation(fabric, "setSecurityCapabilities");
    if (oid.empty()) {
        return kNoCapabilities;
    }
    capabilities = findObject(oid);
    if (capabilities == nullptr) {
        return kNotStored;
    }
    unsigned short active = 0;
    if (!capabilities->getShortAttr("SecurityTransactionActive", active)) {
        return kNoPolicy;
    }
    return active == 1 ? 0 : kNoTransaction;
}

enum class Edit { Add, Remove };

int editPolicyMembers(Edit edit, const char* policyOid, SessionContext* fabricHandle,
                      const char* policyName, const char* memberList) {
    StoredObject* policy = policyOid == nullptr ? nullptr : findObjectByOid(policyOid);
    if (policy == nullptr) {
        return kNoPolicy;
    }
    StoredObject* fabric = edit == Edit::Add
                               ? GetFabricEntryOfObject(std::string(oidFieldText(policyOid)))
                               : findFabricOfSecurityObject(policy);
    if (fabric == nullptr) {
        return kNoFabric;
    }
    StoredObject* capabilities = nullptr;
    if (const int status = openTransaction(fabric, capabilities); status != 0) {
        return status;
    }
    if (memberKindOf(policyName) == MemberKind::None) {
        return kRefused;
    }
    int entries = 0;
    std::string text;
    if (buildPolicyMemberText(entries, policyName, memberList, text) != 0 || entries == 0) {
        return kRefused;
    }
    const int status = edit == Edit::Add
                           ? mpsAddPolicyMember(fabricHandle, policyName, text.c_str())
                           : mpsRemovePolicyMember(fabricHandle, policyName, text.c_str());
    if (status != 0) {
        return MapApiError(status);
    }
    capabilities->setShortAttr("SecurityTransactionDirty", 1);
    capabilities->setShortAttr("CommitSecurityTransaction", 0);
    if (edit == Edit::Add) {
        for (int i = 0; i < entries; ++i) {
            const char* entry = memberList + kEntrySize * static_cast<std::size_t>(i);
            if (entry[0] == '\0') {
                break;
            }
            const std::string member(entry, strnlen(entry, kEntrySize));
            if (!policy->hasRelation("setPolicyMemberSet", member)) {
                policy->addRelation("setPolicyMemberSet", member);
            }
        }
    }
    return 0;
}

} // namespace

bool isWwnText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    if (std::strcmp(text, "*") == 0) {
        return true;
    }
    if (strnlen(text, kWwnTextLength + 1) != kWwnTextLength) {
        return false;
    }
    for (std::size_t i = 0; i < kWwnTextLength; ++i) {
        const bool separator = i % 3 == 2;
        if (separator ? text[i] != ':' : !isHex(text[i])) {
            return false;
        }
    }
    return true;
}

std::string oidToWwnText(const char* oid) {
    if (oid == nullptr || !IsValidOidText(oid)) {
        return {};
    }
    std::string text;
    for (std::size_t i = 4; i < kOidLength; i += 2) {
        if (!text.empty()) {
            text.push_back(':');
        }
        text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(oid[i]))));
        text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(oid[i + 1]))));
    }
    return text;
}

int buildPolicyMemberText(int& entryCount, const char* policyName, const char* memberList,
                          std::string& memberText) {
    entryCount = 0;
    memberText.clear();
    const MemberKind kind = memberKindOf(policyName);
    if (kind == MemberKind::None) {
        return kRefused;
    }
    if (memberList == nullptr) {
        return 0;
    }
    std::string text;
    int count = 0;
    for (const char* entry = memberList; entry[0] != '\0'; entry += kEntrySize) {
        const std::size_t length = strnlen(entry, kEntrySize);
        if (length == kEntrySize) {
            return kRefused;
        }
        const std::string value(entry, length);
        // The switch reads ";" and "|" as separators of the text.
        if (value.find_first_of(";|") != std::string::npos) {
            return kRefused;
        }
        std::string converted;
        if (!convertEntry(kind, value, converted)) {
            return kRefused;
        }
        if (count > 0) {
            text.push_back(';');
        }
        text += converted;
        ++count;
    }
    entryCount = count;
    memberText = std::move(text);
    return 0;
}

int addSecurityPolicyMember(const char* policyOid, SessionContext* fabricHandle,
                            const char* policyName, const char* memberList) {
    return editPolicyMembers(Edit::Add, policyOid, fabricHandle, policyName, memberList);
}

int removeSecurityPolicyMember(const char* policyOid, SessionContext* fabricHandle,
                               const char* policyName, const char* memberList) {
    return editPolicyMembers(Edit::Remove, policyOid, fabricHandle, policyName, memberList);
}

int Int_deleteSecurityObjects(const OID_t* policyList) {
    if (policyList == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    for (const OID_t* entry = policyList; (*entry)[0] != '\0'; ++entry) {
        StoredObject* policy = findObjectByOid(*entry);
        if (policy == nullptr) {
            return kNotStored;
        }
        StoredObject* capabilities = findSecurityCapabilities(policy);
        StoredObject* fabric = findFabricOfSecurityObject(policy);
        unsigned short active = 0;
        if (capabilities == nullptr ||
            !capabilities->getShortAttr("SecurityTransactionActive", active)) {
            return kNoCapabilities;
        }
        if (active != 1) {
            return kNoTransaction;
        }
        void* handle = nullptr;
        if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle) || handle == nullptr) {
            return kNoHandle;
        }
        unsigned short type = 0;
        if (!policy->getShortAttr("ObjType", type) || type != ObjectType::DefinedPolicy) {
            return kNotDefinedPolicy;
        }
        std::string name;
        if (!policy->getStringAttr("PolicyName", name)) {
            return kNoCapabilities;
        }
        if (const int status = mpsDeletePolicy(static_cast<SessionContext*>(handle), name.c_str());
            status != 0) {
            return MapApiError(status);
        }
        const std::string setOid = firstRelation(policy, "setParent");
        StoredObject* set = setOid.empty() ? nullptr : findObject(setOid);
        if (set == nullptr) {
            return kNotStored;
        }
        // The set lists its policies in "setPolicySetOIDSet"; the policy's
        // own object stays until the set is next read.
        set->removeRelatedObject("setPolicySetOIDSet", policy);
        capabilities->setShortAttr("SecurityTransactionDirty", 1);
        capabilities->setShortAttr("CommitSecurityTransaction", 0);
    }
    return 0;
}

long deleteSecurityObjects(OID_t* policyList) {
    return runExport(
        "deleteSecurityObjects",
        [&] {
            return gatedCall(InitCheck::Required, [&] {
                LockGuard model(getObjectStoreMutex());
                return Int_deleteSecurityObjects(policyList);
            });
        },
        kSourceFile);
}
