// Port requests: information, settings, statistics and error counters,
// device texts and port modules.
#include <algorithm>
#include <cstring>

#include "connection/clilib_request.h"
#include "connection/clilib_trace.h"

using namespace clilib;

namespace {

// Sets the field of a port record that `mask` names; false for any other
// mask. The mask itself travels in the second integer. These fields both
// port records have.
template <class Record>
bool setCommonPortField(Record& record, unsigned int mask, unsigned int value) {
    switch (mask) {
    case 1:
        record.u3 = value;
        return true;
    case 2:
        record.u7 = value;
        return true;
    case 4:
        record.u9 = value;
        return true;
    default:
        return false;
    }
}

bool setPortField(PortInfoRecord& record, unsigned int mask, unsigned int value) {
    return setCommonPortField(record, mask, value);
}

bool setPortField(PortInfo2Record& record, unsigned int mask, unsigned int value) {
    switch (mask) {
    case 8:
        record.v3 = value;
        return true;
    case 16:
        record.v4 = value;
        return true;
    case 32:
        record.u8 = value;
        return true;
    default:
        return setCommonPortField(record, mask, value);
    }
}

// A request that names a port and carries an integer: {name, value}.
MSRequestArgs portNameRequest(int code, const unsigned char* portName, int value) {
    MSRequestArgs args = newRequest(code);
    copyName(args.MSRequestArgs_u.wwnInt.wwn, portName);
    args.MSRequestArgs_u.wwnInt.value = value;
    return args;
}

// Requests 1542 and 1554 change the one field of a port's record that
// `mask` names.
template <class Record>
int changePortField(SessionContext* ctx, int code, Record RequestArm::*arm, unsigned int mask,
                    const unsigned char* portName, unsigned int value) {
    if (ctx == nullptr || portName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(code);
    Record& record = args.MSRequestArgs_u.*arm;
    copyName(record.portName, portName);
    record.u2 = mask;
    if (!setPortField(record, mask, value)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, args);
}

// Requests 1544 and 1548 clear counters; 1 is the only value they take.
int clearCounters(SessionContext* ctx, int code, int value, const unsigned char* portName) {
    if (ctx == nullptr || portName == nullptr || value != 1) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return exchange(ctx, portNameRequest(code, portName, 1));
}

// Requests 1545 and 1546: `length(arm)` bytes of the reply text into a zeroed
// block of DeviceTextSize bytes.
template <class Length>
int getDeviceText(SessionContext* ctx, int code, unsigned int index, char** result, Length length) {
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(code);
    args.MSRequestArgs_u.number = index;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        auto* block = static_cast<char*>(allocApiBytes(DeviceTextSize));
        if (block == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        const char* text = code == 1545 ? arm.text36 : arm.text256;
        std::memcpy(block, text, length(arm));
        *result = block;
        return 0;
    });
}

} // namespace

int portGetInfo(SessionContext* ctx, const unsigned char portName[8], PortInfoRecord** result) {
    ClilibTrace trace("portGetInfo");
    if (ctx == nullptr || portName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1541);
    copyName(args.MSRequestArgs_u.portInfo.portName, portName);
    return exchange(ctx, args,
                    [&](const ReplyArm& arm) { return copyRecord(arm.portInfo, result); });
}

int portGetInfo2(SessionContext* ctx, const unsigned char portName[8], PortInfo2Record** result) {
    ClilibTrace trace("portGetInfo2");
    if (ctx == nullptr || portName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    char empty[] = "";
    MSRequestArgs args = newRequest(1553);
    copyName(args.MSRequestArgs_u.fcsQuery.switchName, portName);
    args.MSRequestArgs_u.fcsQuery.text = empty;
    return exchange(ctx, args,
                    [&](const ReplyArm& arm) { return copyRecord(arm.portInfo2, result); });
}

int flportGetInfo(SessionContext* ctx, unsigned int value, FLPortInfoRecord** result) {
    ClilibTrace trace("flportGetInfo");
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1550);
    args.MSRequestArgs_u.flPortInfo.value = value;
    return exchange(ctx, args,
                    [&](const ReplyArm& arm) { return copyRecord(arm.flPortInfo, result); });
}

int portGetPstats(SessionContext* ctx, const unsigned char portName[8], PortStatsRecord** result) {
    ClilibTrace trace("portGetPstats");
    if (ctx == nullptr || portName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    return exchange(ctx, portNameRequest(1543, portName, 0),
                    [&](const ReplyArm& arm) { return copyRecord(arm.portStats, result); });
}

int portGetPerrs(SessionContext* ctx, const unsigned char portName[8], PortErrorsRecord** result) {
    ClilibTrace trace("portGetPerrs");
    if (ctx == nullptr || portName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    return exchange(ctx, portNameRequest(1547, portName, 0),
                    [&](const ReplyArm& arm) { return copyRecord(arm.portErrors, result); });
}

int portSetInfo(SessionContext* ctx, unsigned int mask, const unsigned char portName[8],
                unsigned int value) {
    ClilibTrace trace("portSetInfo");
    return changePortField(ctx, 1542, &RequestArm::portInfo, mask, portName, value);
}

int portSetInfo2(SessionContext* ctx, unsigned int mask, const unsigned char portName[8],
                 unsigned int value) {
    ClilibTrace trace("portSetInfo2");
    return changePortField(ctx, 1554, &RequestArm::portInfo2, mask, portName, value);
}

int portSetPstats(SessionContext* ctx, int value, const unsigned char portName[8]) {
    ClilibTrace trace("portSetPstats");
    return clearCounters(ctx, 1544, value, portName);
}

int portSetPerrs(SessionContext* ctx, int value, const unsigned char portName[8]) {
    ClilibTrace trace("portSetPerrs");
    return clearCounters(ctx, 1548, value, portName);
}

int deviceGet(SessionContext* ctx, unsigned int index, char** result) {
    ClilibTrace trace("deviceGet");
    return getDeviceText(ctx, 1545, index, result,
                         [](const ReplyArm& arm) { return sizeof(arm.text36); });
}

// The reply's fifth byte is the length of the text behind the four-byte
// head; the copy is clamped to the block, never wrapped around.
int deviceGet2(SessionContext* ctx, unsigned int index, char** result) {
    ClilibTrace trace("deviceGet2");
    return getDeviceText(ctx, 1546, index, result, [](const ReplyArm& arm) {
        const std::size_t length = static_cast<unsigned char>(arm.text256[4]) + std::size_t{4};
        return std::min(length, DeviceTextSize);
    });
}

int getPortModuleInfo(SessionContext* ctx, const unsigned char switchName[8],
                      PortModuleInfo** result) {
    ClilibTrace trace("getPortModuleInfo");
    if (ctx == nullptr || switchName == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    char empty[] = "";
    MSRequestArgs args = newRequest(1551);
    copyName(args.MSRequestArgs_u.fcsQuery.switchName, switchName);
    args.MSRequestArgs_u.fcsQuery.text = empty;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const PortModuleList& reply = arm.portModules;
        auto* info = static_cast<PortModuleInfo*>(allocApiBytes(sizeof(PortModuleInfo)));
        if (info == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        std::memcpy(info->switchName, reply.switchName, sizeof(info->switchName));
        const unsigned int count = reply.modules.modules_len;
        info->entries = copyArray(reply.modules.modules_val, count);
        if (info->entries == nullptr) {
            freePortModuleInfo(info);
            return REQ_ERR_NO_MEMORY;
        }
        for (unsigned int i = 0; i < count; ++i) {
            info->entries[i].ports = {0, nullptr};
        }
        info->count = count;
        for (unsigned int i = 0; i < count; ++i) {
            const auto& ports = reply.modules.modules_val[i].ports;
            info->entries[i].ports.ports_val = copyArray(ports.ports_val, ports.ports_len);
            if (info->entries[i].ports.ports_val == nullptr) {
                freePortModuleInfo(info);
                return REQ_ERR_NO_MEMORY;
            }
            info->entries[i].ports.ports_len = ports.ports_len;
        }
        *result = info;
        return 0;
    });
}

void freePortModuleInfo(PortModuleInfo* info) {
    if (info == nullptr) {
        return;
    }
    if (info->entries != nullptr) {
        for (unsigned int i = 0; i < info->count; ++i) {
            freeIfAny(info->entries[i].ports.ports_val);
        }
        freeApiRecord(info->entries);
    }
    freeApiRecord(info);
}

int setPortModuleState(SessionContext* ctx, const PortModuleStateArgs* request,
                       PortModuleStateArgs** result) {
    ClilibTrace trace("setPortModuleState");
    if (ctx == nullptr || request == nullptr || result == nullptr ||
        (request->states.states_len > 0 && request->states.states_val == nullptr)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(1552);
    args.MSRequestArgs_u.portModuleState = *request;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const PortModuleStateArgs& reply = arm.portModuleState;
        auto* copy = static_cast<PortModuleStateArgs*>(allocApiBytes(sizeof(PortModuleStateArgs)));
        if (copy == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        std::memcpy(copy->name, reply.name, sizeof(copy->name));
        copy->states.states_val = copyArray(reply.states.states_val, reply.states.states_len);
        if (copy->states.states_val == nullptr) {
            freeApiRecord(copy);
            return REQ_ERR_NO_MEMORY;
        }
        copy->states.states_len = reply.states.states_len;
        *result = copy;
        return 0;
    });
}

void freePortModuleState(PortModuleStateArgs* record) {
    if (record == nullptr) {
        return;
    }
    freeIfAny(record->states.states_val);
    freeApiRecord(record);
}
