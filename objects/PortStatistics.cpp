#include "objects/PortStatistics.h"

#include <cstdint>
#include <string>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_records.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kNoParent = -7;
constexpr int kStatsNotStored = -8;
constexpr int kErrorsNotStored = -9;

RecordCounter counter(const CounterPair& pair) {
    return RecordCounter{pair.high, pair.low};
}

// A counter of 4-byte words as bytes: times 4 over all 64 bits.
RecordCounter wordsAsBytes(const CounterPair& pair) {
    return RecordCounter{(pair.high << 2) | (pair.low >> 30), pair.low << 2};
}

template <class Reply, class Fill>
int readCounters(const OID_t oid, void** record, int notStored,
                 int (*request)(SessionContext*, const unsigned char*, Reply**), Fill fill) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* object = findObjectByOid(oid);
    if (object == nullptr) {
        return notStored;
    }
    // Without a parent port there is no way to the fabric either: that
    // reads as the missing parent, not as the handle's failure.
    std::string parent;
    if (!object->getNextRelation("setParent", parent)) {
        return kNoParent;
    }
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(object, handle); found != 0) {
        return found;
    }
    // A parent that left the store reads as a missing parent.
    StoredObject* port = findObject(parent);
    const std::optional<WWNAddress> wwn = port != nullptr ? port->getWwnAttr("WWN") : std::nullopt;
    if (!wwn) {
        return kNoParent;
    }
    Reply* reply = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = request(static_cast<SessionContext*>(handle), wwn->bytes(), &reply);
    }
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return status != 0 ? MapApiError(status) : -21;
    }
    status = fill(record, *reply);
    freeApiRecord(reply);
    if (status != 0) {
        return status;
    }
    // Both records carry the identifier right after the type.
    CopyName48(static_cast<PortStatsObjectRecord*>(*record)->OID, oid);
    return 0;
}

int statsRequest(SessionContext* ctx, const unsigned char* name, PortStatsRecord** reply) {
    return portGetPstats(ctx, name, reply);
}

int errorsRequest(SessionContext* ctx, const unsigned char* name, PortErrorsRecord** reply) {
    return portGetPerrs(ctx, name, reply);
}

} // namespace

SanElement* makePortStatsClass(int, int) {
    return new PortStats_2_3();
}

SanElement* makePortErrorsClass(int, int) {
    return new PortErrors_2_3();
}

int fillPortStatsRecord(void** record, const PortStatsRecord& reply) {
    auto* out = static_cast<PortStatsObjectRecord*>(falAllocObject(sizeof(PortStatsObjectRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    const CounterPair* c = reply.counters; // counter k is c[k - 1]
    out->ObjType = ObjectType::PortStats;
    out->RateSamplePeriod = static_cast<unsigned short>(reply.value);
    out->RateTxFrame = counter(c[0]);
    out->RateRxFrame = counter(c[1]);
    out->RateTxPeakFrame = counter(c[2]);
    out->RateRxPeakFrame = counter(c[3]);
    out->RateTxByte = wordsAsBytes(c[4]);
    out->RateRxByte = wordsAsBytes(c[5]);
    out->RateTxPeakByte = wordsAsBytes(c[6]);
    out->RateRxPeakByte = wordsAsBytes(c[7]);
    out->CntTxByte = wordsAsBytes(c[8]);
    out->CntRxByte = wordsAsBytes(c[9]);
    out->CntTxFrame = counter(c[10]);
    out->CntRxFrame = counter(c[11]);
    out->CntBBCreditZero = counter(c[12]);
    out->CntInputBuffersFull = counter(c[13]);
    out->CntFBSYFrames = counter(c[14]);
    out->CntPBSYFrames = counter(c[15]);
    out->CntFRJTFrames = counter(c[16]);
    out->CntPRJTFrames = counter(c[17]);
    out->CntRxClass1Frames = counter(c[18]);
    out->CntRxClass2Frames = counter(c[19]);
    out->CntRxClass3Frames = counter(c[20]);
    out->CntRxClass3Discards = counter(c[21]);
    out->CntRxMcastFrames = counter(c[22]);
    out->CntTxMcastFrames = counter(c[23]);
    *record = out;
    return 0;
}

int fillPortErrorsRecord(void** record, const PortErrorsRecord& reply) {
    auto* out =
        static_cast<PortErrorsObjectRecord*>(falAllocObject(sizeof(PortErrorsObjectRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    const CounterPair* c = reply.counters; // counter k is c[k - 1]
    out->ObjType = ObjectType::PortErrors;
    out->CntTxLinkResets = counter(c[1]);
    out->CntRxLinkResets = counter(c[0]);
    out->CntTxOfflineSequences = counter(c[3]);
    out->CntRxOfflineSequences = counter(c[2]);
    out->CntLinkFailures = counter(c[4]);
    out->CntInvalidCRCErrors = counter(c[5]);
    out->CntInvalidTxWords = counter(c[6]);
    out->CntPrimeSeqProtoErrors = counter(c[7]);
    out->CntSignalLosses = counter(c[8]);
    out->CntSyncLosses = counter(c[9]);
    out->CntInvalidOrderedSets = counter(c[10]);
    out->CntRxFramesTooLong = counter(c[11]);
    out->CntRxTruncFrames = counter(c[12]);
    out->CntAddressIdErrors = counter(c[13]);
    out->CntDelimiterErrors = counter(c[14]);
    out->CntRxEncodingDisparityErr = counter(c[15]);
    out->CntTooManyRdys = counter(c[16]);
    out->CntRxEncOutFrames = counter(c[19]);
    out->CntMcastTimedOuts = counter(c[20]);
    out->CntRxLCs = counter(c[21]);
    *record = out;
    return 0;
}

int PortStats_2_3::BuildObject(const OID_t oid, void** record) {
    return readCounters<PortStatsRecord>(oid, record, kStatsNotStored, statsRequest,
                                         fillPortStatsRecord);
}

int PortErrors_2_3::BuildObject(const OID_t oid, void** record) {
    return readCounters<PortErrorsRecord>(oid, record, kErrorsNotStored, errorsRequest,
                                          fillPortErrorsRecord);
}
