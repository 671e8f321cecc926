#include "editing/DefinedPolicyEdits.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib_security.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectTypes.h"
#include "objects/StoredRelations.h"
#include "services/SecurityMembers.h"
#include "services/SecurityObjects.h"

namespace {

constexpr int kNoMemory = -2;
constexpr int kBadArgument = -3;
constexpr int kMissing = -13;
constexpr int kNotFound = -17;
constexpr int kNoTransaction = -40;

// The related object named first in `relation`, or null.
StoredObject* related(const StoredObject* object, const char* relation) {
    const std::string oid = firstRelation(object, relation);
    return oid.empty() ? nullptr : findObjectUnlocked(oid);
}

} // namespace

int createDefinedPolicyObject(StoredObject* fabric, SessionContext* fabricHandle,
                              const void* record, char* createdOid) {
    if (record == nullptr || createdOid == nullptr) {
        return kBadArgument;
    }
    try {
        LockGuard model(getObjectStoreMutex());
        const auto& policyRecord = *static_cast<const SecurityPolicyRecord*>(record);
        int fabricCounter = 0;
        if (fabric == nullptr || !fabric->getIntAttr("FabricCounter", fabricCounter) ||
            policyRecord.ObjType != ObjectType::DefinedPolicy) {
            return kMissing;
        }
        StoredObject* capabilities = related(fabric, "setSecurityCapabilities");
        StoredObject* set =
            capabilities != nullptr ? related(capabilities, "setDefinedPolicySet") : nullptr;
        if (set == nullptr) {
            return kMissing;
        }
        // A flag that cannot be read shows no open transaction either.
        unsigned short active = 0;
        if (!capabilities->getShortAttr("SecurityTransactionActive", active) || active != 1) {
            return kNoTransaction;
        }
        if (policyRecord.PolicyName == nullptr) {
            return kMissing;
        }
        if (policyRecord.MemberOIDs == nullptr) {
            return kBadArgument;
        }
        const std::string name = policyRecord.PolicyName;
        // The switch reads ";" and "|" as separators of its policy texts.
        if (name.find_first_of(";|") != std::string::npos) {
            return kBadArgument;
        }
        std::atomic<unsigned>& dccCounter = objectCounters().definedPolicySet;
        unsigned counter = dccCounter.load();
        const unsigned number = policyNumberOf(name, counter);
        if (number == 0) {
            return kBadArgument;
        }
        int memberCount = 0;
        std::string memberText;
        if (buildPolicyMemberText(memberCount, name.c_str(),
                                  reinterpret_cast<const char*>(policyRecord.MemberOIDs),
                                  memberText) != 0) {
            return kBadArgument;
        }
        if (memberCount == 0) {
            memberText = "EMPTY";
        }
        int status = 0;
        {
            LockGuard device(getSwitchRequestMutex());
            status = mpsCreatePolicy(fabricHandle, name.c_str(), memberText.c_str());
        }
        if (status != 0) {
            return MapApiError(status);
        }
        dccCounter.store(counter);
        unsigned char key[8];
        policyKeyOf(number, static_cast<unsigned>(fabricCounter), key);
        StoredObject* policy = getOrCreateObject(ObjectType::DefinedPolicy, WWNAddress(key));
        if (policy == nullptr) {
            return kNoMemory;
        }
        if (policy->getElement() == nullptr) {
            policy->setElement(new SecurityPolicy());
        }
        capabilities->setShortAttr("SecurityTransactionDirty", 1);
        capabilities->setShortAttr("CommitSecurityTransaction", 0);
        policy->setStringAttr("PolicyName", name);
        policy->addRelatedObject("setParent", set);
        set->addRelatedObject("setPolicySetOIDSet", policy);
        std::string policyOid;
        policy->getStringAttr("OID", policyOid);
        CopyName48(createdOid, policyOid.c_str());
        return 0;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

int checkDefinedPolicyDeletion(StoredObject* policy) {
    StoredObject* root = policy != nullptr ? findSecurityCapabilities(policy) : nullptr;
    if (root == nullptr) {
        return kNotFound;
    }
    unsigned short active = 0;
    root->getShortAttr("SecurityTransactionActive", active);
    return active == 0 ? kNoTransaction : 0;
}

int deleteDefinedPolicyObject(StoredObject* policy, SessionContext* fabricHandle) {
    StoredObject* root = policy != nullptr ? findSecurityCapabilities(policy) : nullptr;
    if (root == nullptr) {
        return kNotFound;
    }
    LockGuard device(getSwitchRequestMutex());
    std::string name;
    policy->getStringAttr("PolicyName", name);
    if (const int status = mpsDeletePolicy(fabricHandle, name.c_str()); status != 0) {
        return MapApiError(status);
    }
    root->setShortAttr("SecurityTransactionActive", 1);
    root->setShortAttr("CommitSecurityTransaction", 0);
    root->setShortAttr("SecurityTransactionDirty", 1);
    return 0;
}
