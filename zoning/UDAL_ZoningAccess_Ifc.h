// Zoning access: the zoning operations of one proxy switch, one
// implementation per firmware level (getZoningAccess chooses it).
//
// An access object is made for one piece of work on one fabric: it holds
// the session's RPC connection from construction to destruction, so a
// second one on the same session waits in its constructor. Every operation
// fails only by throwing UDAL_ZoningException; the caller turns its code
// into a public status with MapZoningError. Every vector an operation
// returns belongs to the caller, who gives it back through the matching
// vector release operation of an access object.
//
// Flag arguments are the one byte they travel in: an operation that checks
// one refuses any value but 0 and 1 with code 7.
#pragma once

#include <cstdint>
#include <vector>

#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningRecords.h"

using ZoningFlag = std::uint8_t;

class UDAL_ZoningAccess_Ifc {
public:
    virtual ~UDAL_ZoningAccess_Ifc() {}

    virtual void ZoningObjectCreate(const char* name, int type,
                                    const std::vector<ZoningNameEntry*>* members) = 0;
    virtual void ZoningObjectDelete(const char* name, int type) = 0;
    virtual void ZoningObjectAddMembers(const char* name, int type,
                                        const std::vector<ZoningNameEntry*>* members) = 0;
    virtual void ZoningObjectRemoveMembers(const char* name, int type,
                                           const std::vector<ZoningNameEntry*>* members) = 0;
    virtual bool ZoningObjectExists(const char* name) = 0;
    virtual int ZoningObjectGetType(const char* name, ZoningFlag active) = 0;
    virtual int ZoningMemberObjectGetType(const char* member, ZoningFlag typing,
                                          ZoningFlag active) = 0;
    virtual void ZoneSetActivate(const char* zoneSetName) = 0;
    virtual void ZoneSetDeactivate() = 0;
    virtual void TransactionStart() = 0;
    virtual void TransactionRollback() = 0;
    virtual void TransactionCommit() = 0;
    virtual int TransactionGetStatus() = 0;
    // A new record the caller deletes.
    virtual ZoningTextRecord* DefinedDbValidate() = 0;
    virtual void DefinedDbClear() = 0;
    virtual void DefinedDbSave() = 0;
    virtual std::vector<char*>* GetZoningObjectNames(int type, ZoningFlag active) = 0;
    virtual std::vector<ZoningNameEntry*>*
    GetZoningObjectMembers(const char* name, int type, ZoningFlag active, ZoningFlag typing) = 0;
    virtual std::vector<ZoningObjectEntry*>* GetZoningObjects(ZoningFlag active,
                                                              ZoningFlag typing) = 0;
    virtual std::vector<ZoningObjectEntry*>* GetZoningObjects(int type, ZoningFlag active,
                                                              ZoningFlag typing) = 0;
    virtual int checkZoningItem(void* item) = 0;
    virtual void applyZoningItem(void* item, int value) = 0;
    virtual int reservedOperation() = 0;
    virtual void ZoningObjectVectorDelete(std::vector<ZoningObjectEntry*>** vector) = 0;
    virtual void ZoningMemberObjectVectorDelete(std::vector<ZoningNameEntry*>** vector) = 0;
    virtual void ZoningObjectNameVectorDelete(std::vector<char*>** vector) = 0;
};
