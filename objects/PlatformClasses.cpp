#include "objects/PlatformClasses.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_records.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ChildClasses.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"

namespace {

constexpr int kNoMemory = -2;
constexpr int kBadArgument = -3;
constexpr int kNotStored = -10;
constexpr int kNoName = -21;
constexpr int kBadCode = -34;
constexpr int kNotSupported = -36;
constexpr int kOneMemberOnly = -215;
constexpr int kUnknownPlatform = -1507;
constexpr int kSwitchUnknownPlatform = -20011;
constexpr unsigned short kLevel2200 = 2200;
constexpr std::size_t kTextSize = sizeof(RecordText::Text);

int requestFailure(int status) {
    return status == kSwitchUnknownPlatform ? kUnknownPlatform : MapApiError(status);
}

// The next made-up platform name: the counter's decimal digits, least
// significant first.
WWNAddress nextPlatformName() {
    unsigned number = objectCounters().platform.fetch_add(1);
    unsigned char bytes[8] = {};
    for (unsigned char& digit : bytes) {
        digit = static_cast<unsigned char>(number % 10);
        number /= 10;
    }
    return WWNAddress(bytes);
}

bool storedName(const StoredObject* platform, PlatformName& out) {
    std::vector<unsigned char> bytes;
    if (!platform->getBytesAttr("PlatformName", bytes)) {
        return false;
    }
    std::memset(&out, 0, sizeof out);
    const std::size_t length = bytes.size() < kTextSize ? bytes.size() : kTextSize - 1;
    std::memcpy(out.name, bytes.data(), length);
    out.length = static_cast<int>(length);
    return true;
}

// A new platform object below `fabric` with the name and its class.
StoredObject* newPlatform(StoredObject* fabric, const void* name, std::size_t length) {
    StoredObject* platform = getOrCreateObject(ObjectType::Platform, nextPlatformName());
    platform->addRelatedObject("setParent", fabric);
    platform->setBytesAttr("PlatformName", name, static_cast<int>(length));
    if (platform->getElement() == nullptr) {
        platform->setElement(new Platform_2_3());
    }
    return platform;
}

std::string oidOf(const StoredObject* object) {
    std::string oid;
    object->getStringAttr("OID", oid);
    return oid;
}

// The session of a platform through its fabric, or the code of the walk.
int platformSession(StoredObject* platform, SessionContext*& ctx) {
    void* handle = nullptr;
    const int found = GetFabricHandleOfObject(platform, handle);
    ctx = static_cast<SessionContext*>(handle);
    return found;
}

// The length word of a platform name from a reply, cut to what the text
// fields hold.
std::size_t replyNameLength(const PlatformName& name) {
    return name.length <= 0 ? 0 : std::min(static_cast<std::size_t>(name.length), kTextSize - 1);
}

// Text of an address entry: its length byte, cut to the text field.
std::size_t entryLength(const RecordText& entry) {
    return entry.Length < kTextSize ? entry.Length : kTextSize - 1;
}

void setPlatformText(PlatformName& to, const char* text, std::size_t length) {
    std::memset(&to, 0, sizeof to);
    std::memcpy(to.name, text, length);
    to.length = static_cast<int>(length);
}

int sendSetting(SessionContext* ctx, const PlatformSetArgs& args) {
    LockGuard device(getSwitchRequestMutex());
    const int status = platSetInfo(ctx, &args);
    return status == 0 ? 0 : requestFailure(status);
}

// The checks both member operations share: the session and the support.
int memberSession(StoredObject* platform, void* members, SessionContext*& ctx) {
    if (platform == nullptr || members == nullptr) {
        return kBadArgument;
    }
    if (const int found = platformSession(platform, ctx); found != 0) {
        return found;
    }
    return checkPlatformSupport(ctx);
}

// The single address entry of a member list; its length byte is written
// from its text. -3 an empty text or one that fills the whole field (more
// than 255 characters), -215 a second entry.
int singleAddress(void* members, const RecordText*& entry) {
    auto* first = static_cast<RecordText*>(members);
    const std::size_t length = strnlen(first->Text, kTextSize);
    if (length == 0 || length >= kTextSize) {
        return kBadArgument;
    }
    first->Length = static_cast<unsigned char>(length);
    if (first[1].Length != 0) {
        return kOneMemberOnly;
    }
    entry = first;
    return 0;
}

// The single node identifier of a member list: -3 empty, -215 a second.
int singleNode(void* members, std::string& oid) {
    const auto* list = static_cast<const OID_t*>(members);
    if (list[0][0] == '\0') {
        return kBadArgument;
    }
    if (list[1][0] != '\0') {
        return kOneMemberOnly;
    }
    oid.assign(list[0], strnlen(list[0], sizeof(OID_t)));
    return 0;
}

int memberChange(StoredObject* platform, unsigned code, void* members, bool add) {
    SessionContext* ctx = nullptr;
    if (const int checked = memberSession(platform, members, ctx); checked != 0) {
        return checked;
    }
    PlatformName name{};
    PlatformSetArgs args{};
    if (code == PLATFORM_ATTR_ADDRESS_SET) {
        const RecordText* entry = nullptr;
        if (const int checked = singleAddress(members, entry); checked != 0) {
            return checked;
        }
        if (!storedName(platform, name)) {
            return kNotStored;
        }
        args.code = add ? 659 : 914;
        args.PlatformSetArgs_u.platformPair.first = name;
        setPlatformText(args.PlatformSetArgs_u.platformPair.second, entry->Text, entry->Length);
        return sendSetting(ctx, args);
    }
    if (code == PLATFORM_ATTR_NODE_SET) {
        std::string oid;
        if (const int checked = singleNode(members, oid); checked != 0) {
            return checked;
        }
        unsigned char wwn[8] = {};
        if (add) {
            StoredObject* node = findObject(oid);
            const std::optional<WWNAddress> stored =
                node != nullptr ? node->getWwnAttr("WWN") : std::nullopt;
            if (!stored) {
                return kBadArgument;
            }
            stored->copyOut(wwn);
        } else {
            OID_t field = {};
            CopyName48(field, oid.c_str());
            parseOidWwn(field, wwn);
        }
        if (!storedName(platform, name)) {
            return kNotStored;
        }
        if (add) {
            args.code = 657;
            args.PlatformSetArgs_u.platformWwn.platform = name;
            std::memcpy(args.PlatformSetArgs_u.platformWwn.wwn, wwn, sizeof wwn);
        } else {
            args.code = 913;
            std::memcpy(args.PlatformSetArgs_u.wwn, wwn, sizeof wwn);
        }
        return sendSetting(ctx, args);
    }
    return kBadCode;
}

int loadFabricPlatforms(SessionContext*, StoredObject* fabric) {
    int count = 0;
    const int status = platformObjectsImpl(fabric, count);
    return status == 0 ? count : status;
}

} // namespace

StoredObject* findPlatformByName(const unsigned char* name, std::size_t length) {
    LockGuard model(getObjectStoreMutex());
    for (auto& [oid, object] : objectMap()) {
        unsigned short type = 0;
        std::vector<unsigned char> bytes;
        if (object && object->getShortAttr("ObjType", type) && type == ObjectType::Platform &&
            object->getBytesAttr("PlatformName", bytes) && bytes.size() == length &&
            (length == 0 || std::memcmp(bytes.data(), name, length) == 0)) {
            return object.get();
        }
    }
    return nullptr;
}

int checkPlatformSupport(SessionContext* ctx) {
    LockGuard device(getSwitchRequestMutex());
    int value = 0;
    return platGetInfo(ctx, 1, &value) == 0 ? 0 : kNotSupported;
}

int platformObjectsImpl(StoredObject* fabric, int& count) {
    void* handle = nullptr;
    if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle) || handle == nullptr) {
        return kBadArgument;
    }
    count = 0;
    fabric->clearSet("setPlatform");
    // The name look-ups take the object-model lock, so it comes first.
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    PlatformNameList* names = nullptr;
    const int status = platGetNameList(static_cast<SessionContext*>(handle), &names);
    if (status != 0) {
        return requestFailure(status);
    }
    if (names == nullptr) {
        return 0;
    }
    count = names->count;
    for (int i = 0; i < names->count; ++i) {
        const PlatformName& name = names->entries[i];
        const std::size_t length = replyNameLength(name);
        const auto* bytes = reinterpret_cast<const unsigned char*>(name.name);
        StoredObject* platform = findPlatformByName(bytes, length);
        if (platform == nullptr) {
            platform = newPlatform(fabric, bytes, length);
        }
        fabric->addRelatedObject("setPlatform", platform);
    }
    freeApiRecord(names);
    return 0;
}

int Platform_2_3::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* platform = findObjectByOid(oid);
    if (platform == nullptr) {
        return kNotStored;
    }
    SessionContext* ctx = nullptr;
    if (const int found = platformSession(platform, ctx); found != 0) {
        return found;
    }
    platform->clearSet("setManagementAddrSet");
    platform->clearSet("setPlatformNodeSet");
    PlatformName name{};
    if (!storedName(platform, name)) {
        return kNoName;
    }
    LockGuard device(getSwitchRequestMutex());
    PlatformAttributes* reply = nullptr;
    const int status = platGetAttrib(ctx, &name, &reply);
    if (status != 0) {
        return requestFailure(status);
    }
    if (reply == nullptr) {
        return kNoName;
    }
    const std::size_t nodes = reply->wwns.wwns_len;
    const std::size_t addresses = reply->members.members_len;
    auto* out = static_cast<PlatformRecord*>(falAllocObject(sizeof(PlatformRecord) +
                                                            sizeof(OID_t) * (nodes + 1) +
                                                            sizeof(RecordText) * (addresses + 1)));
    if (out == nullptr) {
        freeApiRecord(reply);
        return kNoMemory;
    }
    out->ObjType = ObjectType::Platform;
    CopyName48(out->OID, oid);
    out->PlatformType = static_cast<unsigned short>(reply->value1);
    platform->setShortAttr("PlatformType", out->PlatformType);
    std::memcpy(out->PlatformName, name.name, static_cast<std::size_t>(name.length));
    out->PlatformNameLength = static_cast<unsigned char>(name.length);
    out->PlatformNodeOIDs = reinterpret_cast<OID_t*>(out + 1);
    for (std::size_t i = 0; i < nodes; ++i) {
        formatOidBuffer(WWNAddress(reply->wwns.wwns_val[i]), out->PlatformNodeOIDs[i],
                        ObjectType::Node);
        platform->addRelation("setPlatformNodeSet", out->PlatformNodeOIDs[i]);
    }
    out->ManagementAddrs = reinterpret_cast<RecordText*>(out->PlatformNodeOIDs + nodes + 1);
    for (std::size_t i = 0; i < addresses; ++i) {
        const PlatformName& address = reply->members.members_val[i];
        const std::size_t length = replyNameLength(address);
        std::memcpy(out->ManagementAddrs[i].Text, address.name, length);
        out->ManagementAddrs[i].Length = static_cast<unsigned char>(length);
        platform->addRelation("setManagementAddrSet", std::string(address.name, length));
    }
    freeApiRecord(reply);
    *record = out;
    return 0;
}

int createPlatformObject(StoredObject* fabric, const PlatformRecord* record, char* oid) {
    if (fabric == nullptr || record == nullptr || oid == nullptr ||
        record->PlatformNameLength == 0) {
        return kBadArgument;
    }
    unsigned short level = 0;
    void* handle = nullptr;
    if (!fabric->getShortAttr("fabVersion", level) || !fabric->getHandleAttr("HDL", handle) ||
        handle == nullptr) {
        return kBadArgument;
    }
    if (level == kLevel2200) {
        return kNotSupported;
    }
    PlatformAttributes attributes{};
    const std::size_t nameLength =
        record->PlatformNameLength < kTextSize ? record->PlatformNameLength : kTextSize - 1;
    setPlatformText(attributes.platform, reinterpret_cast<const char*>(record->PlatformName),
                    nameLength);
    attributes.value1 = record->PlatformType;
    std::vector<PlatformName> addresses;
    for (const RecordText* entry = record->ManagementAddrs; entry != nullptr && entry->Length != 0;
         ++entry) {
        PlatformName address{};
        setPlatformText(address, entry->Text, strnlen(entry->Text, entryLength(*entry)));
        addresses.push_back(address);
    }
    std::vector<std::array<unsigned char, 8>> nodes;
    for (const OID_t* entry = record->PlatformNodeOIDs; entry != nullptr && (*entry)[0] != '\0';
         ++entry) {
        StoredObject* node = findObjectByOid(*entry);
        const std::optional<WWNAddress> wwn =
            node != nullptr ? node->getWwnAttr("WWN") : std::nullopt;
        if (wwn) {
            nodes.emplace_back();
            wwn->copyOut(nodes.back().data());
        }
    }
    attributes.value2 = static_cast<int>(addresses.size());
    attributes.members.members_len = static_cast<u_int>(addresses.size());
    attributes.members.members_val = addresses.data();
    attributes.value3 = static_cast<int>(nodes.size());
    attributes.wwns.wwns_len = static_cast<u_int>(nodes.size());
    attributes.wwns.wwns_val = reinterpret_cast<WWNBytes*>(nodes.data());
    {
        LockGuard device(getSwitchRequestMutex());
        const int status = platRegister(static_cast<SessionContext*>(handle), &attributes);
        if (status != 0) {
            return requestFailure(status);
        }
    }
    StoredObject* platform = newPlatform(fabric, record->PlatformName, nameLength);
    CopyName48(oid, oidOf(platform).c_str());
    return 0;
}

int deletePlatformObject(StoredObject* platform) {
    if (platform == nullptr) {
        return kBadArgument;
    }
    const std::string oid = oidOf(platform);
    if (oid.empty()) {
        return kBadArgument;
    }
    SessionContext* ctx = nullptr;
    if (const int found = platformSession(platform, ctx); found != 0) {
        return found;
    }
    PlatformName name{};
    if (!storedName(platform, name)) {
        return kNoName;
    }
    {
        LockGuard device(getSwitchRequestMutex());
        const int status = platDeregister(ctx, &name);
        if (status != 0) {
            return requestFailure(status);
        }
    }
    LockGuard model(getObjectStoreMutex());
    std::string fabricOid;
    if (platform->getNextRelation("setParent", fabricOid)) {
        if (StoredObject* fabric = findObjectUnlocked(fabricOid)) {
            fabric->removeRelation("setPlatform", oid);
        }
    }
    eraseObject(oid);
    return 0;
}

int setPlatformType(StoredObject* platform, unsigned code, const unsigned short* value) {
    if (platform == nullptr) {
        return kBadArgument;
    }
    SessionContext* ctx = nullptr;
    if (const int found = platformSession(platform, ctx); found != 0) {
        return found;
    }
    if (const int supported = checkPlatformSupport(ctx); supported != 0) {
        return supported;
    }
    if (code != PLATFORM_ATTR_TYPE) {
        return kBadCode;
    }
    if (value == nullptr) {
        return kBadArgument;
    }
    PlatformSetArgs args{};
    args.code = 658;
    if (!storedName(platform, args.PlatformSetArgs_u.platformInt.platform)) {
        return kNoName;
    }
    args.PlatformSetArgs_u.platformInt.value = *value;
    return sendSetting(ctx, args);
}

int addPlatformMember(StoredObject* platform, unsigned code, void* members) {
    return memberChange(platform, code, members, true);
}

int removePlatformMember(StoredObject* platform, unsigned code, void* members) {
    return memberChange(platform, code, members, false);
}

void installPlatformClasses() {
    setPlatformLoader(loadFabricPlatforms);
}
