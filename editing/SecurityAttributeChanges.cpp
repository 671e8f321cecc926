#include "editing/SecurityAttributeChanges.h"

#include <cstring>
#include <string>

#include <orvane/status.h>

#include "api/StoredObject.h"
#include "connection/clilib_security.h"
#include "editing/AttributeChanges.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr int kBadValue = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kWrongTarget = -17;
constexpr int kNoTransaction = -40;
constexpr int kCommitRefused = -55;
constexpr int kPasswordTooLong = -84;

namespace code {
constexpr unsigned SecurityTransactionActive = 0xA0E93;
constexpr unsigned CommitSecurityTransaction = 0xA0E94;
constexpr unsigned ActivatePolicySet = 0xB0E98;
constexpr unsigned SecurityStatsReset = 0x40E9D;
constexpr unsigned FCSAdminPassword = 0x70E96;
constexpr unsigned NonFCSAdminPassword = 0x70E97;
} // namespace code

constexpr char kActive[] = "SecurityTransactionActive";
constexpr char kDirty[] = "SecurityTransactionDirty";
constexpr char kCommit[] = "CommitSecurityTransaction";

// The 16-bit value the pointer points to; false for a null pointer.
bool shortValue(void* value, unsigned short& out) {
    if (value == nullptr) {
        return false;
    }
    out = *static_cast<const unsigned short*>(value);
    return true;
}

// The flags of a policy set with nothing left unsaved.
void closeFlags(StoredObject& capabilities) {
    capabilities.setShortAttr(kDirty, 0);
    capabilities.setShortAttr(kCommit, 1);
}

// The flags of a transaction that the switch no longer holds open. A commit
// or an abort ends the switch's transaction whatever it answers, so both
// close the flags: a flag left at 1 would let the next start send nothing
// and the next edit meet a switch without a transaction.
void endTransaction(StoredObject& capabilities) {
    capabilities.setShortAttr(kActive, 0);
    closeFlags(capabilities);
}

// Value checks made once, before any entry: the value is the same for
// every entry.
int checkStartOrAbort(unsigned, void* value) {
    unsigned short wanted = 0;
    return shortValue(value, wanted) && wanted <= 1 ? 0 : kBadValue;
}

int checkCommit(unsigned, void* value) {
    unsigned short wanted = 0;
    return shortValue(value, wanted) && wanted == 1 ? 0 : kBadValue;
}

// The security transaction attributes visit every entry and record each
// failure. A start changes the flags only when the switch accepted it; an
// abort closes them whatever the switch answers (a switch without an open
// transaction refuses the abort, and is then just as closed).
AttributeOutcome startOrAbort(AttributeEntry& entry) {
    if (entry.objType != ObjectType::SecurityCapabilities) {
        return AttributeOutcome::record(kWrongTarget);
    }
    const unsigned short wanted = *static_cast<const unsigned short*>(entry.value);
    if (wanted == 0) {
        {
            LockGuard device(getSwitchRequestMutex());
            mpsAbortSecurityTransaction(entry.session);
        }
        endTransaction(*entry.object);
        return AttributeOutcome::next();
    }
    unsigned short active = 0;
    entry.object->getShortAttr(kActive, active);
    if (active == 1) {
        return AttributeOutcome::next();
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = mpsStartSecurityTransaction(entry.session);
    }
    if (status != 0) {
        return AttributeOutcome::record(MapApiError(status));
    }
    entry.object->setShortAttr(kActive, 1);
    return AttributeOutcome::next();
}

AttributeOutcome commitTransaction(AttributeEntry& entry) {
    if (entry.objType != ObjectType::SecurityCapabilities) {
        return AttributeOutcome::record(kWrongTarget);
    }
    unsigned short active = 0;
    if (!entry.object->getShortAttr(kActive, active)) {
        return AttributeOutcome::record(kBadValue);
    }
    if (active != 1) {
        return AttributeOutcome::record(kNoTransaction);
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = mpsCommitSecurityTransaction(entry.session);
    }
    endTransaction(*entry.object);
    return status != 0 ? AttributeOutcome::record(kCommitRefused) : AttributeOutcome::next();
}

// "ActivatePolicySet": the defined policy set becomes the active one; its
// parent, the security capabilities object, then holds nothing unsaved.
AttributeOutcome activatePolicySet(AttributeEntry& entry) {
    if (entry.objType != ObjectType::DefinedPolicySet) {
        return AttributeOutcome::record(kWrongTarget);
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = mpsActivatePolicySet(entry.session);
    }
    if (status != 0) {
        return AttributeOutcome::record(MapApiError(status));
    }
    if (StoredObject* capabilities = parentObject(*entry.object)) {
        closeFlags(*capabilities);
    }
    return AttributeOutcome::next();
}

AttributeOutcome resetSecurityStats(AttributeEntry& entry) {
    if (entry.objType != ObjectType::SecurityStats) {
        return AttributeOutcome::end(kWrongTarget);
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = switchGetSecurityStats(entry.session, entry.wwn.bytes(), 1, nullptr);
    }
    return status != 0 ? AttributeOutcome::record(MapApiError(status)) : AttributeOutcome::next();
}

// Splits "first:second" into its two passwords: 0, -3 when a part is
// missing or a third one follows, -84 when a part is too long. The parts
// go nowhere but to the switch request.
int splitPasswordPair(const char* text, std::string& first, std::string& second) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon == text || colon[1] == '\0' ||
        std::strchr(colon + 1, ':') != nullptr) {
        return kBadValue;
    }
    const std::size_t firstLength = static_cast<std::size_t>(colon - text);
    const std::size_t secondLength = strnlen(colon + 1, MaxPasswordLength + 1);
    if (firstLength > MaxPasswordLength || secondLength > MaxPasswordLength) {
        return kPasswordTooLong;
    }
    first.assign(text, firstLength);
    second.assign(colon + 1, secondLength);
    return 0;
}

// Overwrites a password copy before its memory is given back.
void wipe(std::string& text) {
    volatile char* bytes = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = 0;
    }
    text.clear();
}

AttributeOutcome adminPasswords(AttributeEntry& entry) {
    if (entry.objType != ObjectType::SecurityCapabilities) {
        return AttributeOutcome::end(kWrongTarget);
    }
    if (entry.value == nullptr) {
        return AttributeOutcome::record(kBadValue);
    }
    std::string first;
    std::string second;
    int status = splitPasswordPair(static_cast<const char*>(entry.value), first, second);
    if (status == 0) {
        LockGuard device(getSwitchRequestMutex());
        status = entry.code == code::FCSAdminPassword
                     ? mpsSetFCSAdminPassword(entry.session, first.c_str(), second.c_str())
                     : mpsSetNonFCSAdminPassword(entry.session, first.c_str(), second.c_str());
        if (status != 0) {
            status = MapApiError(status);
        }
    }
    wipe(first);
    wipe(second);
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

} // namespace

void installSecurityAttributeChanges() {
    registerAttributeHandler(code::SecurityTransactionActive,
                             {startOrAbort, false, false, checkStartOrAbort});
    registerAttributeHandler(code::CommitSecurityTransaction,
                             {commitTransaction, false, false, checkCommit});
    registerAttributeHandler(code::ActivatePolicySet, {activatePolicySet});
    registerAttributeHandler(code::SecurityStatsReset, {resetSecurityStats});
    registerAttributeHandler(code::FCSAdminPassword, {adminPasswords});
    registerAttributeHandler(code::NonFCSAdminPassword, {adminPasswords});
}
