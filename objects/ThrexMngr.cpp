#include "objects/ThrexMngr.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib_records.h"
#include "connection/clilib_threshold.h"
#include "foundation/GlobalLocks.h"
#include "foundation/HexDigits.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabApiUtil.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"

namespace {

std::atomic<ThrexMngr*> theThrexMngr{nullptr};

constexpr char kSource[] = "threxMngr";
constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNoMemory = FABAPI_ERR_OUT_OF_MEMORY;
constexpr int kNotStored = FABAPI_ERR_OBJECT_NOT_FOUND;
constexpr int kNotASwitch = -6;
constexpr int kWrongType = -17;
constexpr int kNoSuchPair = -102;
constexpr int kBadLevel = -104;
constexpr int kBoundaryOrder = -109;
constexpr std::size_t kUnitMax = 31; // the switch's unit field holds 31 characters

// The switch's requests.
enum : int {
    kReadClassArea = 1798,
    kReadEntry = 1799,
    kApplyAlarms = 1800,
    kApplyBoundaries = 1801,
    kCancelAlarms = 1802,
    kCancelBoundaries = 1803,
};

int translated(int status) {
    return status == 0 ? 0 : MapApiError(status);
}

// Reads `digits` hex digits at `*at` within the identifier field; false
// (nothing moved) when any is missing.
bool readHexField(const char* oid, std::size_t& at, std::size_t digits, unsigned& value) {
    if (at + digits > OidFieldSize) {
        return false;
    }
    unsigned result = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = hexDigitValue(oid[at + i]);
        if (digit < 0) {
            return false;
        }
        result = result * 16 + static_cast<unsigned>(digit);
    }
    value = result;
    at += digits;
    return true;
}

void setText(RecordText& to, const char* from, std::size_t room) {
    const std::size_t length = strnlen(from, std::min(room, sizeof to.Text - 1));
    std::memcpy(to.Text, from, length);
    to.Text[length] = '\0';
    to.Length = static_cast<unsigned char>(length);
}

void fillClassArea(const ThrexClassAreaRecord& reply, ThrexClassArea* record) {
    setText(record->DefaultUnitString, reply.text1, sizeof reply.text1);
    record->DefaultTimeBase = reply.value1;
    record->DefaultLowBoundary = reply.value2;
    record->DefaultHighBoundary = reply.value3;
    record->DefaultBufferSize = reply.value4;
    setText(record->CustomUnitString, reply.text2, sizeof reply.text2);
    const int* v = reply.values;
    record->CustomTimeBase = v[0];
    record->CustomLowBoundary = v[1];
    record->CustomHighBoundary = v[2];
    record->CustomBufferSize = v[3];
    record->BoundaryLevelSelect = v[4];
    int* alarms[] = {&record->DefaultChangedAlarm, &record->DefaultExceededAlarm,
                     &record->DefaultBelowAlarm,   &record->DefaultAboveAlarm,
                     &record->DefaultInbetweenAlarm, &record->CustomChangedAlarm,
                     &record->CustomExceededAlarm, &record->CustomBelowAlarm,
                     &record->CustomAboveAlarm,    &record->CustomInbetweenAlarm};
    for (std::size_t i = 0; i < 10; ++i) {
        *alarms[i] = v[5 + i];
    }
    // v[15] carries nothing the record shows.
    record->AlarmLevelSelect = v[16];
}

void fillThresholdEntry(const ThrexThresholdRecord& reply, ThrexThresholdEntry* record) {
    record->ThreshStatus = reply.value1;
    setText(record->ThreshName, reply.text1, sizeof reply.text1);
    setText(record->ThreshLabel, reply.text2, sizeof reply.text2);
    record->ThreshCurrentValue = reply.value2;
    record->ThreshLastEventType = reply.value3;
    record->ThreshLastEventValue = reply.value4;
    setText(record->ThreshLastEventTime, reply.text3, sizeof reply.text3);
    record->ThreshLastEventState = reply.value5;
    record->ThreshBehaviorType = reply.value6;
    record->ThreshBehaviorInterval = reply.value7;
}

bool emptyOid(const char* oid) {
    return oid == nullptr || oid[0] == '\0';
}

// The session of a switch, looked up when the first request is really
// sent, so that a record asking for nothing needs no stored switch.
class LazySession {
public:
    explicit LazySession(const char* switchOid) : switchOid_(switchOid) {}
    // 0 with the session ready, or the look-up's failure.
    int ready() {
        if (!looked_) {
            looked_ = true;
            status_ = GetSessionForOid(switchOid_, name_, handle_);
        }
        return status_;
    }
    SessionContext* ctx() const { return static_cast<SessionContext*>(handle_); }
    const unsigned char* name() const { return name_; }

private:
    const char* switchOid_;
    bool looked_ = false;
    int status_ = 0;
    unsigned char name_[8] = {};
    void* handle_ = nullptr;
};

// Sends one change through `send` once the session is ready.
template <class Send> int sendChange(LazySession& session, Send&& send) {
    const int ready = session.ready();
    if (ready != 0) {
        return ready;
    }
    return translated(send(session.ctx(), session.name()));
}

bool validLevel(int level) {
    return level == -1 || level == 1 || level == 2;
}

} // namespace

// --- Identifiers -------------------------------------------------------------

int ThrexAreaIndexClass1(int area) {
    return area >= 0 && area <= 2 ? area : -1;
}

int ThrexMngr::switchIndex(int thrClass, int area) {
    const bool portArea = area >= 6 && area <= 14;
    switch (thrClass) {
    case 0:
        return area >= 15 && area <= 22 ? area + 1 : -1;
    case 1:
        return ThrexAreaIndexClass1(area);
    case 2:
        return portArea ? area + 1 : -1;
    case 3:
        return portArea ? area + 18 : -1;
    case 4:
        return portArea ? area + 36 : -1;
    case 5:
        return portArea ? area + 27 : -1;
    case 6:
        switch (area) {
        case 0:
            return 3;
        case 3:
            return 4;
        case 4:
            return 5;
        case 5:
            return 6;
        case 23:
            return 56;
        default:
            return -1;
        }
    default:
        return -1;
    }
}

int ThrexMngr::changeSwitchIndex(int thrClass, int area) {
    return switchIndex(thrClass >= 2 && thrClass <= 5 ? 2 : thrClass, area);
}

int EncodeThrexOid(OID_t out, const OID_t switchOid, unsigned short type, int thrClass, int area,
                   int index) {
    if (thrClass < 0 || thrClass > 6 || area < 0 || area > 23) {
        return kNoSuchPair;
    }
    if (out == nullptr || emptyOid(switchOid)) {
        return kBadArgument;
    }
    unsigned char name[8] = {};
    if (parseOidWwn(*reinterpret_cast<const OID_t*>(switchOid), name) != ObjectType::Switch) {
        return kBadArgument;
    }
    char text[OidFieldSize] = {};
    int at = std::snprintf(text, sizeof text, "%04x", type);
    for (unsigned char byte : name) {
        at += std::snprintf(text + at, sizeof text - static_cast<std::size_t>(at), "%02x", byte);
    }
    std::snprintf(text + at, sizeof text - static_cast<std::size_t>(at), "%04x%04x%04x",
                  static_cast<unsigned>(thrClass), static_cast<unsigned>(area),
                  static_cast<unsigned>(index) & 0xffffu);
    std::memcpy(out, text, sizeof text);
    return 0;
}

int DecodeThrexOid(const OID_t oid, OID_t switchOid, int* thrClass, int* area, int* index) {
    if (emptyOid(oid) || switchOid == nullptr || thrClass == nullptr || area == nullptr ||
        index == nullptr) {
        return kBadArgument;
    }
    // Only the two threshold types carry a class, an area and an index, and
    // the switch's identifier needs the whole world wide name.
    std::size_t at = 0;
    unsigned type = 0;
    if (!readHexField(oid, at, 4, type) ||
        (type != ObjectType::ThrexClassArea && type != ObjectType::ThrexThresholdEntry)) {
        return kBadArgument;
    }
    unsigned char name[8] = {};
    for (unsigned char& byte : name) {
        unsigned value = 0;
        if (!readHexField(oid, at, 2, value)) {
            return kBadArgument;
        }
        byte = static_cast<unsigned char>(value);
    }
    // A text that ends early leaves the fields after its end at 0; any
    // other character where a digit belongs makes the text unreadable.
    unsigned fields[3] = {};
    for (unsigned& field : fields) {
        if (!readHexField(oid, at, 4, field)) {
            for (std::size_t i = at; i < at + 4 && i < OidFieldSize && oid[i] != '\0'; ++i) {
                if (hexDigitValue(oid[i]) < 0) {
                    return kBadArgument;
                }
            }
            break;
        }
    }
    *thrClass = static_cast<int>(fields[0]);
    *area = static_cast<int>(fields[1]);
    *index = static_cast<int>(fields[2]);
    return Int_WWNtoOID(name, ObjectType::Switch, switchOid);
}

int GetSessionForOid(const OID_t switchOid, unsigned char name[8], void*& handle) {
    if (emptyOid(switchOid)) {
        return kBadArgument;
    }
    StoredObject* object = findObjectByOid(switchOid);
    if (object == nullptr) {
        return kNotStored;
    }
    unsigned short type = 0;
    if (!object->getShortAttr("ObjType", type) || type != ObjectType::Switch) {
        return kNotASwitch;
    }
    const int found = GetFabricHandleOfObject(object, handle);
    if (found != 0) {
        return found;
    }
    const std::optional<WWNAddress> wwn = object->getWwnAttr("WWN");
    if (!wwn) {
        return kNotASwitch;
    }
    wwn->copyOut(name);
    return 0;
}

// --- Templates -----------------------------------------------------------------

int ThrexMngr::initClassAreaTemplate(ThrexClassArea* r) {
    for (int* field :
         {&r->DefaultTimeBase, &r->CustomTimeBase, &r->BoundaryLevelSelect, &r->DefaultChangedAlarm,
          &r->DefaultExceededAlarm, &r->DefaultBelowAlarm, &r->DefaultAboveAlarm,
          &r->DefaultInbetweenAlarm, &r->CustomChangedAlarm, &r->CustomExceededAlarm,
          &r->CustomBelowAlarm, &r->CustomAboveAlarm, &r->CustomInbetweenAlarm,
          &r->AlarmLevelSelect}) {
        *field = -1;
    }
    for (int* field : {&r->DefaultLowBoundary, &r->DefaultHighBoundary, &r->DefaultBufferSize,
                       &r->CustomLowBoundary, &r->CustomHighBoundary, &r->CustomBufferSize}) {
        *field = ThrexUnset;
    }
    setText(r->CustomUnitString, ThrexNoText, sizeof ThrexNoText);
    r->ApplyBoundaryChanges = r->CancelBoundaryChanges = 0;
    r->ApplyAlarmChanges = r->CancelAlarmChanges = 0;
    return 0;
}

int ThrexMngr::initThresholdEntryTemplate(ThrexThresholdEntry* r) {
    setText(r->ThreshName, ThrexNoText, sizeof ThrexNoText);
    setText(r->ThreshLabel, ThrexNoText, sizeof ThrexNoText);
    r->ThreshStatus = -1;
    r->ThreshBehaviorType = -1;
    r->ThreshBehaviorInterval = ThrexUnset;
    return 0;
}

// --- Reads ---------------------------------------------------------------------

int ThrexMngr::getClassArea(const OID_t switchOid, ThrexClassArea* record) {
    if (record == nullptr || record->ThrexClass == -1 || record->ThrexArea == -1 ||
        emptyOid(switchOid)) {
        return kBadArgument;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    unsigned char name[8] = {};
    void* handle = nullptr;
    const int found = GetSessionForOid(switchOid, name, handle);
    if (found != 0) {
        return found;
    }
    const int index = switchIndex(record->ThrexClass, record->ThrexArea);
    if (index == -1) {
        return kNoSuchPair;
    }
    ThrexClassAreaRecord* reply = nullptr;
    const int status =
        threxGetClassArea(static_cast<SessionContext*>(handle), name, index, &reply);
    if (status != 0) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return translated(status);
    }
    fillClassArea(*reply, record);
    freeApiRecord(reply);
    return 0;
}

int ThrexMngr::getThresholdEntry(const OID_t switchOid, ThrexThresholdEntry* record) {
    if (record == nullptr || record->ThrexClass == -1 || record->ThrexArea == -1 ||
        record->ThrexIndex == ThrexUnset || emptyOid(switchOid)) {
        return kBadArgument;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    unsigned char name[8] = {};
    void* handle = nullptr;
    const int found = GetSessionForOid(switchOid, name, handle);
    if (found != 0) {
        return found;
    }
    const int index = switchIndex(record->ThrexClass, record->ThrexArea);
    if (index == -1) {
        return kNoSuchPair;
    }
    ThrexThresholdRecord* reply = nullptr;
    const int status = threxGetThresholdEntry(static_cast<SessionContext*>(handle), name, index,
                                              record->ThrexIndex, &reply);
    if (status != 0) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return translated(status);
    }
    fillThresholdEntry(*reply, record);
    freeApiRecord(reply);
    return 0;
}

int ThrexMngr::getThrexObject(const char* oid, void** record) {
    unsigned short type = 0;
    if (emptyOid(oid) || record == nullptr || !readOidType(oid, type)) {
        return kBadArgument;
    }
    *record = nullptr;
    int ignored = 0;
    if (type == ObjectType::ThrexClassArea) {
        auto* r = static_cast<ThrexClassArea*>(falAllocObject(sizeof(ThrexClassArea)));
        if (r == nullptr) {
            return kNoMemory;
        }
        int status = DecodeThrexOid(oid, r->SwitchOID, &r->ThrexClass, &r->ThrexArea, &ignored);
        CopyName48(r->OID, oid);
        r->ObjType = type;
        if (status == 0) {
            status = getClassArea(r->SwitchOID, r);
        }
        if (status != 0) {
            falFreeObject(r);
            return status;
        }
        *record = r;
        return 0;
    }
    if (type == ObjectType::ThrexThresholdEntry) {
        auto* r = static_cast<ThrexThresholdEntry*>(falAllocObject(sizeof(ThrexThresholdEntry)));
        if (r == nullptr) {
            return kNoMemory;
        }
        int status =
            DecodeThrexOid(oid, r->SwitchOID, &r->ThrexClass, &r->ThrexArea, &r->ThrexIndex);
        CopyName48(r->OID, oid);
        r->ObjType = type;
        if (status == 0) {
            status = getThresholdEntry(r->SwitchOID, r);
        }
        if (status != 0) {
            falFreeObject(r);
            return status;
        }
        *record = r;
        return 0;
    }
    return kWrongType;
}

// --- Writes ----------------------------------------------------------------------

int ThrexMngr::modifyClassArea(const OID_t switchOid, ThrexClassArea* r) {
    if (r == nullptr || r->ThrexClass == -1 || r->ThrexArea == -1 || emptyOid(switchOid)) {
        return kBadArgument;
    }
    const int index = switchIndex(r->ThrexClass, r->ThrexArea);
    if (index == -1) {
        return kNoSuchPair;
    }
    const std::size_t unitLength = strnlen(r->CustomUnitString.Text, sizeof r->CustomUnitString.Text);
    const bool unitChanged = std::strncmp(r->CustomUnitString.Text, ThrexNoText,
                                          sizeof r->CustomUnitString.Text) != 0;
    // The switch keeps at most 31 characters; a longer text would be cut.
    if (unitChanged && (unitLength > kUnitMax || unitLength == sizeof r->CustomUnitString.Text)) {
        return kBadArgument;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    LazySession session(switchOid);
    int status = 0;
    const auto send = [&](auto&& request) { return sendChange(session, request); };

    if (r->CustomTimeBase != -1) {
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomTimeBase(ctx, name, index, r->CustomTimeBase);
        });
        if (status != 0) {
            return status;
        }
    }
    const auto sendHigh = [&] {
        return send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomHighBoundary(ctx, name, index, r->CustomHighBoundary);
        });
    };
    const auto sendLow = [&] {
        return send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomLowBoundary(ctx, name, index, r->CustomLowBoundary);
        });
    };
    const bool highSet = r->CustomHighBoundary != ThrexUnset;
    const bool lowSet = r->CustomLowBoundary != ThrexUnset;
    if (highSet && lowSet) {
        if (r->CustomHighBoundary < r->CustomLowBoundary) {
            return kBoundaryOrder;
        }
        // The switch keeps low <= high at every step: raise the high one
        // first, or, when the new high lies below the old low, lower the low
        // one first.
        status = sendHigh();
        if (status == kBoundaryOrder) {
            status = sendLow();
            if (status == 0) {
                status = sendHigh();
            }
        } else if (status == 0) {
            status = sendLow();
        }
        if (status != 0) {
            return status;
        }
        r->CustomHighBoundary = ThrexUnset;
        r->CustomLowBoundary = ThrexUnset;
    } else if (highSet || lowSet) {
        status = highSet ? sendHigh() : sendLow();
        if (status != 0) {
            return status;
        }
    }
    if (r->CustomBufferSize != ThrexUnset) {
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomBufferSize(ctx, name, index, r->CustomBufferSize);
        });
        if (status != 0) {
            return status;
        }
    }
    if (!validLevel(r->AlarmLevelSelect)) {
        return kBadLevel;
    }
    if (r->AlarmLevelSelect != -1) {
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetAlarmLevelSelect(ctx, name, index, r->AlarmLevelSelect);
        });
        if (status != 0) {
            return status;
        }
    }
    if (!validLevel(r->BoundaryLevelSelect)) {
        return kBadLevel;
    }
    if (r->BoundaryLevelSelect != -1) {
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetBoundaryLevelSelect(ctx, name, index, r->BoundaryLevelSelect);
        });
        if (status != 0) {
            return status;
        }
    }
    const int alarms[] = {r->CustomChangedAlarm, r->CustomExceededAlarm, r->CustomBelowAlarm,
                          r->CustomAboveAlarm, r->CustomInbetweenAlarm};
    for (int number = 1; number <= 5; ++number) {
        const int value = alarms[number - 1];
        if (value == -1) {
            continue;
        }
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomAlarm(ctx, name, index, number, value);
        });
        if (status != 0) {
            return status;
        }
    }
    if (unitChanged) {
        char unit[kUnitMax + 1] = {};
        std::memcpy(unit, r->CustomUnitString.Text, unitLength);
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return threxSetCustomUnitString(ctx, name, index, unit);
        });
        if (status != 0) {
            return status;
        }
    }
    if (r->ApplyBoundaryChanges != 0 || r->CancelBoundaryChanges != 0) {
        const bool apply = r->ApplyBoundaryChanges != 0;
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return apply ? threxApplyBoundaryChanges(ctx, name, index)
                         : threxCancelBoundaryChanges(ctx, name, index);
        });
        if (status != 0) {
            return status;
        }
    }
    if (r->ApplyAlarmChanges != 0 || r->CancelAlarmChanges != 0) {
        const bool apply = r->ApplyAlarmChanges != 0;
        status = send([&](SessionContext* ctx, const unsigned char* name) {
            return apply ? threxApplyAlarmChanges(ctx, name, index)
                         : threxCancelAlarmChanges(ctx, name, index);
        });
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

int ThrexMngr::setThreshold(const OID_t switchOid, ThrexThresholdEntry* r) {
    if (r == nullptr || r->ThrexClass == -1 || r->ThrexArea == -1 || r->ThrexIndex == ThrexUnset ||
        emptyOid(switchOid)) {
        return kBadArgument;
    }
    const int index = switchIndex(r->ThrexClass, r->ThrexArea);
    if (index == -1) {
        return kNoSuchPair;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    LazySession session(switchOid);
    const int entry = r->ThrexIndex;
    int status = 0;
    if (r->ThreshStatus != -1) {
        status = sendChange(session, [&](SessionContext* ctx, const unsigned char* name) {
            return threxSetThreshStatus(ctx, name, index, entry, r->ThreshStatus);
        });
        if (status != 0) {
            return status;
        }
    }
    if (r->ThreshBehaviorType != -1) {
        status = sendChange(session, [&](SessionContext* ctx, const unsigned char* name) {
            return threxSetThreshBehaviorType(ctx, name, index, entry, r->ThreshBehaviorType);
        });
        if (status != 0) {
            return status;
        }
    }
    if (r->ThreshBehaviorInterval != ThrexUnset) {
        status = sendChange(session, [&](SessionContext* ctx, const unsigned char* name) {
            return threxSetThreshBehaviorInterval(ctx, name, index, entry,
                                                  r->ThreshBehaviorInterval);
        });
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

// --- Apply and cancel -------------------------------------------------------------

int ThrexMngr::changeList(const OID_t switchOid, const ThrexPair* pairs, int code) {
    LockGuard model(getObjectStoreMutex());
    unsigned char name[8] = {};
    void* handle = nullptr;
    const int found = GetSessionForOid(switchOid, name, handle);
    if (found != 0) {
        return found;
    }
    LockGuard device(getSwitchRequestMutex());
    auto* ctx = static_cast<SessionContext*>(handle);
    for (; pairs != nullptr && pairs->thrClass != -1 && pairs->area != -1; ++pairs) {
        const int index = changeSwitchIndex(pairs->thrClass, pairs->area);
        if (index == -1) {
            return kNoSuchPair;
        }
        int status = 0;
        switch (code) {
        case kApplyAlarms:
            status = threxApplyAlarmChanges(ctx, name, index);
            break;
        case kCancelAlarms:
            status = threxCancelAlarmChanges(ctx, name, index);
            break;
        case kApplyBoundaries:
            status = threxApplyBoundaryChanges(ctx, name, index);
            break;
        default:
            status = threxCancelBoundaryChanges(ctx, name, index);
            break;
        }
        if (status != 0) {
            return translated(status);
        }
    }
    return 0;
}

int ThrexMngr::changeOne(const OID_t classAreaOid, int code) {
    OID_t switchOid = {};
    ThrexPair pairs[2] = {{0, 0}, {-1, -1}};
    int index = 0;
    const int decoded =
        DecodeThrexOid(classAreaOid, switchOid, &pairs[0].thrClass, &pairs[0].area, &index);
    if (decoded != 0) {
        return decoded;
    }
    return changeList(switchOid, pairs, code);
}

int ThrexMngr::applyAlarmChanges(const OID_t switchOid, const ThrexPair* pairs) {
    return changeList(switchOid, pairs, kApplyAlarms);
}
int ThrexMngr::cancelAlarmChanges(const OID_t switchOid, const ThrexPair* pairs) {
    return changeList(switchOid, pairs, kCancelAlarms);
}
int ThrexMngr::applyBoundaryChanges(const OID_t switchOid, const ThrexPair* pairs) {
    return changeList(switchOid, pairs, kApplyBoundaries);
}
int ThrexMngr::cancelBoundaryChanges(const OID_t switchOid, const ThrexPair* pairs) {
    return changeList(switchOid, pairs, kCancelBoundaries);
}
int ThrexMngr::applyAlarmChanges(const OID_t classAreaOid) {
    return changeOne(classAreaOid, kApplyAlarms);
}
int ThrexMngr::cancelAlarmChanges(const OID_t classAreaOid) {
    return changeOne(classAreaOid, kCancelAlarms);
}
int ThrexMngr::applyBoundaryChanges(const OID_t classAreaOid) {
    return changeOne(classAreaOid, kApplyBoundaries);
}
int ThrexMngr::cancelBoundaryChanges(const OID_t classAreaOid) {
    return changeOne(classAreaOid, kCancelBoundaries);
}

int ThrexAttributeDispatch(const OID_t classAreaOid, unsigned attribute) {
    ThrexMngr* manager = getThrexMngr();
    if (manager == nullptr) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    switch (attribute) {
    case 0x40EA0:
        return manager->applyBoundaryChanges(classAreaOid);
    case 0x40EA1:
        return manager->cancelBoundaryChanges(classAreaOid);
    case 0x40EA2:
        return manager->applyAlarmChanges(classAreaOid);
    case 0x40EA3:
        return manager->cancelAlarmChanges(classAreaOid);
    default:
        return kBadArgument;
    }
}

// --- Life cycle --------------------------------------------------------------------

ThrexMngr* createThrexMngr() {
    auto* manager = new ThrexMngr;
    delete theThrexMngr.exchange(manager);
    return manager;
}

ThrexMngr* getThrexMngr() {
    return theThrexMngr.load();
}

void destroyThrexMngr() {
    delete theThrexMngr.exchange(nullptr);
}

namespace {

int fetchThreshold(const char* oid, void** record) {
    ThrexMngr* manager = getThrexMngr();
    return manager != nullptr ? manager->getThrexObject(oid, record) : FABAPI_ERR_NOT_INITIALIZED;
}

// The frame of the threshold exports: -98 before start-up, "Entering " and
// "Exiting " around the argument check, the shutdown gate unless `gated` is
// false (with its trace text), and no exception out.
template <class Check, class Work>
int thresholdExport(const char* name, const char* refusal, bool gated, Check&& check,
                    Work&& work) noexcept {
    try {
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        traceRecord(Vosk_Ext_API, "Entering ", name, "", kSource, __LINE__);
        std::optional<ShutdownLock> gate;
        if (gated) {
            gate.emplace(false);
            if (gate->refused() || IsShuttingDown()) {
                if (refusal != nullptr) {
                    traceRecord(Vosk_Ext_API, refusal, name, "", kSource, __LINE__);
                }
                return FABAPI_ERR_SHUTTING_DOWN;
            }
        }
        const int checked = check();
        traceRecord(Vosk_Ext_API, "Exiting ", name, "", kSource, __LINE__);
        if (checked != 0) {
            return checked;
        }
        return work();
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (...) {
        return kNoMemory;
    }
}

} // namespace

void installThresholds() {
    setThresholdFetch(fetchThreshold);
}

// --- Exports -----------------------------------------------------------------------

extern "C" {

ORVANE_EXPORT int EncodeThrexClassAreaOID(const OID_t switchOid, int thrClass, int area,
                                          OID_t oid) {
    return thresholdExport(
        "EncodeThrexClassAreaOID",
        "Unable to perform EncodeThrexClassAreaOID. API shutting down.", true,
        [&] { return oid == nullptr ? kBadArgument : 0; },
        [&] {
            return EncodeThrexOid(oid, switchOid, ObjectType::ThrexClassArea, thrClass, area, 0);
        });
}

ORVANE_EXPORT int DecodeThrexClassAreaOID(const OID_t oid, OID_t switchOid, int* thrClass,
                                          int* area) {
    return thresholdExport(
        "DecodeThrexClassAreaOID",
        "Unable to perform DecodeThrexClassAreaOID. API shutting down.", true, [] { return 0; },
        [&] {
            int index = 0;
            return DecodeThrexOid(oid, switchOid, thrClass, area, &index);
        });
}

ORVANE_EXPORT int EncodeThrexThresholdEntryOID(const OID_t switchOid, int thrClass, int area,
                                               int index, OID_t oid) {
    return thresholdExport(
        "EncodeThrexThresholdEntryOID",
        "Unable to perform EncodeThrexThresholdEntryOID. API shutting down.", true,
        [&] { return oid == nullptr ? kBadArgument : 0; },
        [&] {
            return EncodeThrexOid(oid, switchOid, ObjectType::ThrexThresholdEntry, thrClass, area,
                                  index);
        });
}

ORVANE_EXPORT int DecodeThrexThresholdEntryOID(const OID_t oid, OID_t switchOid, int* thrClass,
                                               int* area, int* index) {
    return thresholdExport(
        "DecodeThrexThresholdEntryOID",
        "Unable to perform DecodeThrexThresholdEntryOID. API shutting down.", true,
        [] { return 0; }, [&] { return DecodeThrexOid(oid, switchOid, thrClass, area, index); });
}

ORVANE_EXPORT int ThrexSetThreshold(const OID_t switchOid, ThrexThresholdEntry* entry) {
    return thresholdExport(
        "ThrexSetThreshold", nullptr, false, [&] { return entry == nullptr ? kBadArgument : 0; },
        [&] { return getThrexMngr()->setThreshold(switchOid, entry); });
}

ORVANE_EXPORT int GetObjectTemplate(const OID_t oid, void** record) {
    try {
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        constexpr char name[] = "GetObjectTemplate";
        traceRecord(Vosk_Ext_API, "Entering ", name, "", kSource, __LINE__);
        ShutdownLock gate(false);
        if (gate.refused() || IsShuttingDown()) {
            traceRecord(Vosk_Ext_API, "Unable to perform GetObjectTemplate. API shutting down.",
                        name, "", kSource, __LINE__);
            return FABAPI_ERR_SHUTTING_DOWN;
        }
        if (record == nullptr) {
            return kBadArgument;
        }
        *record = nullptr;
        unsigned short type = 0;
        const bool readable = !emptyOid(oid) && readOidType(oid, type);
        traceRecord(Vosk_Ext_API, "Exiting ", name, "", kSource, __LINE__);
        if (!readable) {
            return kWrongType;
        }
        int ignored = 0;
        if (type == ObjectType::ThrexClassArea) {
            auto* r = static_cast<ThrexClassArea*>(falAllocObject(sizeof(ThrexClassArea)));
            if (r == nullptr) {
                return kNoMemory;
            }
            ThrexMngr::initClassAreaTemplate(r);
            const int status =
                DecodeThrexOid(oid, r->SwitchOID, &r->ThrexClass, &r->ThrexArea, &ignored);
            if (status != 0) {
                falFreeObject(r);
                return status;
            }
            CopyName48(r->OID, oid);
            r->ObjType = type;
            *record = r;
            return 0;
        }
        if (type == ObjectType::ThrexThresholdEntry) {
            auto* r = static_cast<ThrexThresholdEntry*>(falAllocObject(sizeof(ThrexThresholdEntry)));
            if (r == nullptr) {
                return kNoMemory;
            }
            ThrexMngr::initThresholdEntryTemplate(r);
            const int status =
                DecodeThrexOid(oid, r->SwitchOID, &r->ThrexClass, &r->ThrexArea, &r->ThrexIndex);
            if (status != 0) {
                falFreeObject(r);
                return status;
            }
            CopyName48(r->OID, oid);
            r->ObjType = type;
            *record = r;
            return 0;
        }
        return kWrongType;
    } catch (...) {
        return kNoMemory;
    }
}

ORVANE_EXPORT int ModifyObject(void* record) {
    try {
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        ShutdownLock gate(false);
        if (gate.refused() || IsShuttingDown()) {
            return FABAPI_ERR_SHUTTING_DOWN;
        }
        if (record == nullptr) {
            return kBadArgument;
        }
        unsigned short type = 0;
        std::memcpy(&type, record, sizeof type);
        if (type == ObjectType::ThrexClassArea) {
            auto* r = static_cast<ThrexClassArea*>(record);
            return getThrexMngr()->modifyClassArea(r->SwitchOID, r);
        }
        if (type == ObjectType::ThrexThresholdEntry) {
            auto* r = static_cast<ThrexThresholdEntry*>(record);
            return getThrexMngr()->setThreshold(r->SwitchOID, r);
        }
        return kWrongType;
    } catch (...) {
        return kNoMemory;
    }
}

} // extern "C"
