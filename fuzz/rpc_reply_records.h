// The reply records of the management protocol, by index: what the reply
// fuzzer decodes and what the seed corpus generator encodes.
#pragma once

#include <array>
#include <cstddef>

#include "connection/XdrFilter.h"
#include "remote_api.h"

struct ReplyRecordType {
    const char* name;
    xdrproc_t filter;
    size_t size;
};

inline const std::array<ReplyRecordType, 11>& replyRecordTypes() {
    static const std::array<ReplyRecordType, 11> types{{
        {"AuthReply", asXdrFilter(xdr_AuthReply), sizeof(AuthReply)},
        {"WWNBytes", asXdrFilter(xdr_WWNBytes), sizeof(WWNBytes)},
        {"FirmwareVersionReply", asXdrFilter(xdr_FirmwareVersionReply),
         sizeof(FirmwareVersionReply)},
        {"ZoningStatusReply", asXdrFilter(xdr_ZoningStatusReply), sizeof(ZoningStatusReply)},
        {"ZoningNamesReply", asXdrFilter(xdr_ZoningNamesReply), sizeof(ZoningNamesReply)},
        {"ZoningTypeReply", asXdrFilter(xdr_ZoningTypeReply), sizeof(ZoningTypeReply)},
        {"ZoningTextReply", asXdrFilter(xdr_ZoningTextReply), sizeof(ZoningTextReply)},
        {"ZoningValidateReply", asXdrFilter(xdr_ZoningValidateReply), sizeof(ZoningValidateReply)},
        {"MSReply", asXdrFilter(xdr_MSReply), sizeof(MSReply)},
        {"NSReply", asXdrFilter(xdr_NSReply), sizeof(NSReply)},
        {"MPSReply", asXdrFilter(xdr_MPSReply), sizeof(MPSReply)},
    }};
    return types;
}
