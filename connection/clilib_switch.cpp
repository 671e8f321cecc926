// Switch requests: information, settings, API version, fabric discovery,
// control processor, enclosure, products and licence keys.
#include <cstring>

#include "connection/clilib_request.h"
#include "connection/clilib_trace.h"

using namespace clilib;

namespace {

// Bit of the one field that a switch setting changes.
enum SwitchInfoMask : unsigned int {
    MaskText1 = 0x1,
    MaskText2 = 0x2,
    MaskNumber5 = 0x4,
    MaskNumber8 = 0x8,
    MaskNumber9 = 0x10,
    MaskAddress5 = 0x20,
    MaskTextPair = 0x40,
    MaskText3 = 0x80,
    MaskText4 = 0x100,
    MaskText5 = 0x200,
    MaskExtraText = 0x400,
    MaskExtraNumber4 = 0x800,
    MaskExtraNumber5 = 0x1000,
    MaskLongText = 0x2000,
    MaskNumberName = 0x4000,
    MaskTextPair2 = 0x8000,
};

// The fields that both switch records share: fills the one that `mask`
// names; false for a mask that names none of them (or no value given).
template <class Record>
bool setCommonField(Record& record, unsigned int mask, const SwitchInfoValue& value) {
    switch (mask) {
    case MaskText1:
        return copyWholeText(record.t1, value.text);
    case MaskText2:
        return copyWholeText(record.t2, value.text);
    case MaskText3:
        return copyWholeText(record.t3, value.text);
    case MaskText4:
        return copyWholeText(record.t4, value.text);
    case MaskText5:
        return copyWholeText(record.t5, value.text);
    case MaskNumber5:
        record.n5 = value.number;
        return true;
    case MaskNumber8:
        record.n8 = value.number;
        return true;
    case MaskNumber9:
        record.n9 = value.number;
        return true;
    case MaskAddress5:
        return copyWholeText(record.a5, value.text);
    case MaskTextPair:
        return copyWholeText(record.b1, value.text) && copyWholeText(record.b2, value.secondText);
    default:
        return false;
    }
}

bool setSecondGenerationField(SwitchInfo2Record& record, unsigned int mask,
                              const SwitchInfoValue& value) {
    switch (mask) {
    case MaskExtraText:
        copyText(record.e3, value.text);
        return value.text != nullptr;
    case MaskExtraNumber4:
        record.e4 = value.number;
        return true;
    case MaskExtraNumber5:
        record.e5 = value.number;
        return true;
    case MaskLongText:
        return copyWholeText(record.e6, value.text);
    case MaskNumberName:
        if (value.extra == nullptr) {
            return false;
        }
        record.q1 = value.extra->number;
        std::memcpy(record.q2, value.extra->name, sizeof(record.q2));
        return true;
    case MaskTextPair2:
        if (value.extra == nullptr) {
            return false;
        }
        std::memcpy(record.q3, value.extra->text1, sizeof(record.q3));
        std::memcpy(record.q4, value.extra->text2, sizeof(record.q4));
        return true;
    default:
        return setCommonField(record, mask, value);
    }
}

// Requests 1286 and 1288 change the one field of a switch's record that
// `mask` names; `setField` fills it.
template <class Record>
int changeSwitchField(SessionContext* ctx, int code, Record RequestArm::*arm,
                      bool (*setField)(Record&, unsigned int, const SwitchInfoValue&),
                      unsigned int mask, const unsigned char* switchName,
                      const SwitchInfoValue& value) {
    if (ctx == nullptr || switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(code);
    Record& record = args.MSRequestArgs_u.*arm;
    copyName(record.switchName, switchName);
    record.n1 = mask;
    if (!setField(record, mask, value)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, args);
}

// Request arm of the queries that name a switch: {name, "", no list}.
MSRequestArgs newQuery(int code, const unsigned char* switchName, char* emptyText) {
    MSRequestArgs args = newRequest(code);
    auto& query = args.MSRequestArgs_u.fcsQuery;
    copyName(query.switchName, switchName);
    query.text = emptyText;
    return args;
}

} // namespace

int switchGetInfo(SessionContext* ctx, const SwitchInfoRecord* request, SwitchInfoRecord** result) {
    ClilibTrace trace("switchGetInfo");
    if (ctx == nullptr || request == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1285);
    args.MSRequestArgs_u.switchInfo = *request;
    return exchange(ctx, args,
                    [&](const ReplyArm& arm) { return copyRecord(arm.switchInfo, result); });
}

int switchGetInfo2(SessionContext* ctx, const SwitchInfo2Record* request,
                   SwitchInfo2Record** result) {
    ClilibTrace trace("switchGetInfo2");
    if (ctx == nullptr || request == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1287);
    auto& record = args.MSRequestArgs_u.switchInfo2;
    record = *request;
    record.licenseKeys = {0, nullptr};
    record.licensedProducts = {0, nullptr};
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const SwitchInfo2Record& reply = arm.switchInfo2;
        SwitchInfo2Record* copy = nullptr;
        if (copyRecord(reply, &copy) != 0) {
            return REQ_ERR_NO_MEMORY;
        }
        copy->licenseKeys.licenseKeys_val = nullptr;
        copy->licensedProducts.licensedProducts_val = nullptr;
        copy->licenseKeys.licenseKeys_val =
            copyArray(reply.licenseKeys.licenseKeys_val, reply.licenseKeys.licenseKeys_len);
        copy->licensedProducts.licensedProducts_val =
            copyArray(reply.licensedProducts.licensedProducts_val,
                      reply.licensedProducts.licensedProducts_len);
        if (copy->licenseKeys.licenseKeys_val == nullptr ||
            copy->licensedProducts.licensedProducts_val == nullptr) {
            freeSwitchInfo2(copy);
            return REQ_ERR_NO_MEMORY;
        }
        *result = copy;
        return 0;
    });
}

void freeSwitchInfo2(SwitchInfo2Record* record) {
    if (record == nullptr) {
        return;
    }
    freeIfAny(record->licenseKeys.licenseKeys_val);
    freeIfAny(record->licensedProducts.licensedProducts_val);
    freeApiRecord(record);
}

int switchSetInfo(SessionContext* ctx, unsigned int mask, const unsigned char switchName[8],
                  const SwitchInfoValue& value) {
    ClilibTrace trace("switchSetInfo");
    return changeSwitchField(ctx, 1286, &RequestArm::switchInfo, setCommonField<SwitchInfoRecord>,
                             mask, switchName, value);
}

int switchSetInfo2(SessionContext* ctx, unsigned int mask, const unsigned char switchName[8],
                   const SwitchInfoValue& value) {
    ClilibTrace trace("switchSetInfo2");
    return changeSwitchField(ctx, 1288, &RequestArm::switchInfo2, setSecondGenerationField, mask,
                             switchName, value);
}

int getAPIversion(SessionContext* ctx, const unsigned char switchName[8], int* version) {
    ClilibTrace trace("getAPIversion");
    if (ctx == nullptr || switchName == nullptr || version == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *version = 0;
    MSRequestArgs args = newRequest(1289);
    copyName(args.MSRequestArgs_u.wwn, switchName);
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        *version = arm.value;
        return 0;
    });
}

int discoverFabric(SessionContext* ctx, int kind, DiscoverFabricRecord** result) {
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1281);
    args.MSRequestArgs_u.discoverFabric.kind = kind;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const DiscoverFabricRecord& reply = arm.discoverFabric;
        auto* head =
            static_cast<DiscoverFabricRecord*>(allocApiBytes(sizeof(DiscoverFabricRecord)));
        if (head == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        head->kind = reply.kind; // the four integers stay 0
        const unsigned int count = reply.switches.switches_len;
        head->switches.switches_val = copyArray(reply.switches.switches_val, count);
        if (head->switches.switches_val == nullptr) {
            freeDiscoverFabricResult(head);
            return REQ_ERR_NO_MEMORY;
        }
        // Until its lists are copied an entry points at nothing of ours.
        for (unsigned int i = 0; i < count; ++i) {
            head->switches.switches_val[i].pairs = {0, nullptr};
            head->switches.switches_val[i].wwns = {0, nullptr};
        }
        head->switches.switches_len = count;
        for (unsigned int i = 0; i < count; ++i) {
            const DiscoveredSwitch& from = reply.switches.switches_val[i];
            DiscoveredSwitch& to = head->switches.switches_val[i];
            to.pairs.pairs_val = copyArray(from.pairs.pairs_val, from.pairs.pairs_len);
            to.wwns.wwns_val = copyArray(from.wwns.wwns_val, from.wwns.wwns_len);
            if (to.pairs.pairs_val == nullptr || to.wwns.wwns_val == nullptr) {
                freeDiscoverFabricResult(head);
                return REQ_ERR_NO_MEMORY;
            }
            to.pairs.pairs_len = from.pairs.pairs_len;
            to.wwns.wwns_len = from.wwns.wwns_len;
        }
        *result = head;
        return 0;
    });
}

void freeDiscoverFabricResult(DiscoverFabricRecord* record) {
    if (record == nullptr) {
        return;
    }
    DiscoveredSwitch* entries = record->switches.switches_val;
    if (entries != nullptr) {
        for (unsigned int i = 0; i < record->switches.switches_len; ++i) {
            freeIfAny(entries[i].pairs.pairs_val);
            freeIfAny(entries[i].wwns.wwns_val);
        }
        freeApiRecord(entries);
    }
    freeApiRecord(record);
}

int cpGetInfo(SessionContext* ctx, const unsigned char switchName[8], unsigned int index,
              CPInfoRecord** result) {
    ClilibTrace trace("cpGetInfo");
    if (ctx == nullptr || switchName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1557);
    copyName(args.MSRequestArgs_u.switchInfo.switchName, switchName);
    args.MSRequestArgs_u.switchInfo.n1 = index;
    return exchange(ctx, args, [&](const ReplyArm& arm) { return copyRecord(arm.cpInfo, result); });
}

int switchGetEnclosure2(SessionContext* ctx, const unsigned char switchName[8],
                        EnclosureRecord** result) {
    ClilibTrace trace("switchGetEnclosure2");
    if (ctx == nullptr || switchName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    char empty[] = "";
    const MSRequestArgs args = newQuery(1559, switchName, empty);
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const EnclosureRecord& reply = arm.enclosure;
        EnclosureRecord* copy = nullptr;
        if (copyRecord(reply, &copy) != 0) {
            return REQ_ERR_NO_MEMORY;
        }
        copy->wwns.wwns_val = nullptr;
        copy->slots.slots_val = nullptr;
        copy->fives.fives_val = nullptr;
        copy->units.units_val = nullptr;
        copy->frus.frus_val = nullptr;
        copy->blades.blades_val = nullptr;
        copy->wwns.wwns_val = copyArray(reply.wwns.wwns_val, reply.wwns.wwns_len);
        copy->slots.slots_val = copyArray(reply.slots.slots_val, reply.slots.slots_len);
        copy->fives.fives_val = copyArray(reply.fives.fives_val, reply.fives.fives_len);
        copy->units.units_val = copyArray(reply.units.units_val, reply.units.units_len);
        copy->frus.frus_val = copyArray(reply.frus.frus_val, reply.frus.frus_len);
        copy->blades.blades_val = copyArray(reply.blades.blades_val, reply.blades.blades_len);
        if (copy->wwns.wwns_val == nullptr || copy->slots.slots_val == nullptr ||
            copy->fives.fives_val == nullptr || copy->units.units_val == nullptr ||
            copy->frus.frus_val == nullptr || copy->blades.blades_val == nullptr) {
            freeSwitchEnclosure2(copy);
            return REQ_ERR_NO_MEMORY;
        }
        *result = copy;
        return 0;
    });
}

void freeSwitchEnclosure2(EnclosureRecord* record) {
    if (record == nullptr) {
        return;
    }
    freeIfAny(record->wwns.wwns_val);
    freeIfAny(record->slots.slots_val);
    freeIfAny(record->fives.fives_val);
    freeIfAny(record->units.units_val);
    freeIfAny(record->frus.frus_val);
    freeIfAny(record->blades.blades_val);
    freeApiRecord(record);
}

int productGet(SessionContext* ctx, const unsigned char switchName[8], int selector,
               ProductRecord** result) {
    ClilibTrace trace("productGet");
    if (ctx == nullptr || switchName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1830);
    copyName(args.MSRequestArgs_u.switchInt.switchName, switchName);
    args.MSRequestArgs_u.switchInt.value = selector;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const ProductRecord& reply = arm.product;
        const unsigned int count = reply.names.names_len;
        std::size_t size = 0;
        if (__builtin_mul_overflow(static_cast<std::size_t>(count), sizeof(Name64), &size) ||
            __builtin_add_overflow(size, sizeof(ProductRecord), &size)) {
            return REQ_ERR_NO_MEMORY;
        }
        auto* block = static_cast<ProductRecord*>(allocApiBytes(size));
        if (block == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        std::memcpy(block->text, reply.text, sizeof(block->text));
        terminate(block->text);
        block->value = reply.value;
        block->names.names_len = count;
        if (count > 0) {
            block->names.names_val = reinterpret_cast<Name64*>(block + 1);
            std::memcpy(block->names.names_val, reply.names.names_val, count * sizeof(Name64));
            for (unsigned int i = 0; i < count; ++i) {
                terminate(block->names.names_val[i]);
            }
        }
        *result = block;
        return 0;
    });
}

namespace {

int sendLicenseKey(SessionContext* ctx, int code, const unsigned char* switchName,
                   const char* key) {
    if (ctx == nullptr || switchName == nullptr || key == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(code);
    copyName(args.MSRequestArgs_u.switchText.switchName, switchName);
    if (!copyWholeText(args.MSRequestArgs_u.switchText.text, key)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, args);
}

} // namespace

int switchAddLicenseKey(SessionContext* ctx, const unsigned char switchName[8], const char* key) {
    return sendLicenseKey(ctx, 1824, switchName, key);
}

int switchRemoveLicenseKey(SessionContext* ctx, const unsigned char switchName[8],
                           const char* key) {
    return sendLicenseKey(ctx, 1825, switchName, key);
}

// --- Switch groups ---

int switchGetSGroup(SessionContext* ctx, const unsigned char switchName[8], SGroupRecord** result) {
    ClilibTrace trace("switchGetSGroup");
    if (ctx == nullptr || switchName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(2049);
    copyName(args.MSRequestArgs_u.groupSwitch, switchName);
    return exchange(ctx, args, [&](const ReplyArm& arm) { return copyRecord(arm.sgroup, result); });
}

int switchSetSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* groupName,
                    int value1, int value2, const WWNBytes members[128]) {
    ClilibTrace trace("switchSetSGroup");
    if (ctx == nullptr || switchName == nullptr || groupName == nullptr || members == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(2050);
    auto& group = args.MSRequestArgs_u.sgroup;
    copyName(group.wwn, switchName);
    if (!copyWholeText(group.groupName, groupName)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    group.value1 = value1;
    group.value2 = value2;
    std::memcpy(group.members, members, sizeof(group.members));
    return exchange(ctx, args);
}

int switchDelSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* groupName) {
    ClilibTrace trace("switchDelSGroup");
    if (ctx == nullptr || switchName == nullptr || groupName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(2051);
    copyName(args.MSRequestArgs_u.sgroupName.wwn, switchName);
    if (!copyWholeText(args.MSRequestArgs_u.sgroupName.groupName, groupName)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, args);
}

int switchRenameSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* oldName,
                       const char* newName) {
    ClilibTrace trace("switchRenameSGroup");
    if (ctx == nullptr || switchName == nullptr || oldName == nullptr || newName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(2052);
    copyName(args.MSRequestArgs_u.sgroupRename.wwn, switchName);
    if (!copyWholeText(args.MSRequestArgs_u.sgroupRename.oldName, oldName) ||
        !copyWholeText(args.MSRequestArgs_u.sgroupRename.newName, newName)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, args);
}
