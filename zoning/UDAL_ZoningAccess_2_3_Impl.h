// Zoning access for firmware 2.3 to 2.5 and 3.0 before 3.0.2 (version
// class 1): zoning transactions on the switch, validation of the defined
// database, and the active database read whole as one text.
#pragma once

#include "zoning/ActiveZoningText.h"
#include "zoning/UDAL_ZoningAccess_2_2_Impl.h"

class UDAL_ZoningAccess_2_3_Impl : public UDAL_ZoningAccess_2_2_Impl {
public:
    explicit UDAL_ZoningAccess_2_3_Impl(SessionContext* session);
    ~UDAL_ZoningAccess_2_3_Impl() override;

    // Procedure 17 with the raised time-out; the defined database is not
    // saved afterwards.
    void ZoneSetActivate(const char* zoneSetName) override;
    void TransactionStart() override;
    void TransactionRollback() override;
    // Procedure 24 with the raised time-out.
    void TransactionCommit() override;
    // `data` 1 with the zone set, zone and member names of the failure, or
    // 0 without texts when the database is valid; null when the record
    // cannot be allocated.
    ZoningTextRecord* DefinedDbValidate() override;

    std::vector<char*>* GetZoningObjectNames(int type, ZoningFlag active) override;
    std::vector<ZoningNameEntry*>* GetZoningObjectMembers(const char* name, int type,
                                                          ZoningFlag active,
                                                          ZoningFlag typing) override;
    std::vector<ZoningObjectEntry*>* GetZoningObjects(ZoningFlag active,
                                                      ZoningFlag typing) override;
    std::vector<ZoningObjectEntry*>* GetZoningObjects(int type, ZoningFlag active,
                                                      ZoningFlag typing) override;

private:
    // Procedure 21: the active zone set's name; code 11 when it is empty.
    std::string requireActiveZoneSetName(const char* operation);
    // Procedure 27, parsed (codes 8, the status map, 11, 14).
    ActiveZoningText readActiveDatabase(const char* operation);
};
