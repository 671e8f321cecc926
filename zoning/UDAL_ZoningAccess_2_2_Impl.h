// Zoning access for proxy switches of firmware 2.2 (version class 0), and
// the base of every later level.
//
// The switch has no zoning transactions at this level: start, rollback and
// validation are refused with code 12, and a commit saves the defined
// database. The active view is built from the active zone set's name
// (procedure 21) and the members of the objects (procedure 16).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_session.h"
#include "zoning/UDAL_ZoningAccess_Ifc.h"
#include "zoning/ZoningNameList.h"

class UDAL_ZoningAccess_2_2_Impl : public UDAL_ZoningAccess_Ifc {
public:
    // Takes the session's RPC connection, waiting while another user holds
    // it; ConnectionException ("Error session closed.", -202) when the
    // context has no session.
    explicit UDAL_ZoningAccess_2_2_Impl(SessionContext* session);
    // Gives the connection back to the session.
    ~UDAL_ZoningAccess_2_2_Impl() override;
    UDAL_ZoningAccess_2_2_Impl(const UDAL_ZoningAccess_2_2_Impl&) = delete;
    UDAL_ZoningAccess_2_2_Impl& operator=(const UDAL_ZoningAccess_2_2_Impl&) = delete;

    void ZoningObjectCreate(const char* name, int type,
                            const std::vector<ZoningNameEntry*>* members) override;
    void ZoningObjectDelete(const char* name, int type) override;
    void ZoningObjectAddMembers(const char* name, int type,
                                const std::vector<ZoningNameEntry*>* members) override;
    void ZoningObjectRemoveMembers(const char* name, int type,
                                   const std::vector<ZoningNameEntry*>* members) override;
    bool ZoningObjectExists(const char* name) override;
    int ZoningObjectGetType(const char* name, ZoningFlag active) override;
    int ZoningMemberObjectGetType(const char* member, ZoningFlag typing,
                                  ZoningFlag active) override;
    void ZoneSetActivate(const char* zoneSetName) override;
    void ZoneSetDeactivate() override;
    void TransactionStart() override;
    void TransactionRollback() override;
    void TransactionCommit() override;
    int TransactionGetStatus() override;
    ZoningTextRecord* DefinedDbValidate() override;
    void DefinedDbClear() override;
    void DefinedDbSave() override;
    std::vector<char*>* GetZoningObjectNames(int type, ZoningFlag active) override;
    std::vector<ZoningNameEntry*>* GetZoningObjectMembers(const char* name, int type,
                                                          ZoningFlag active,
                                                          ZoningFlag typing) override;
    std::vector<ZoningObjectEntry*>* GetZoningObjects(ZoningFlag active,
                                                      ZoningFlag typing) override;
    std::vector<ZoningObjectEntry*>* GetZoningObjects(int type, ZoningFlag active,
                                                      ZoningFlag typing) override;
    int checkZoningItem(void* item) override;
    void applyZoningItem(void* item, int value) override;
    int reservedOperation() override;
    void ZoningObjectVectorDelete(std::vector<ZoningObjectEntry*>** vector) override;
    void ZoningMemberObjectVectorDelete(std::vector<ZoningNameEntry*>** vector) override;
    void ZoningObjectNameVectorDelete(std::vector<char*>** vector) override;

    // The member type bits of a zone member text (shared by every level):
    // its form, a domain and port pair, or a world wide name, which the
    // fabric's name server types when `typing` is 1.
    int memberObjectGetType(const char* member, ZoningFlag typing, ZoningFlag active);

protected:
    // The session's RPC connection; code 8 when there is none.
    Fabric_Connection_Impl_RPC& rpc(const char* operation) const;

    // A procedure that takes an object with a member list (create, add).
    template <class Args>
    using MemberListCall = ZoningStatusReply* (Fabric_Connection_Impl_RPC::*)(const Args*);
    // Slots 1 and 3 of every level: the checks (7, 18, 26), the members
    // joined with ";" and refused beyond `textMax` characters (17), and
    // one call of `procedure`, traced as `method` of `sourceFile`.
    template <class Args>
    void sendMemberList(MemberListCall<Args> procedure, std::size_t textMax, const char* name,
                        int type, const std::vector<ZoningNameEntry*>* members,
                        const char* operation, const char* method, const char* sourceFile);
    // Procedure 17 with the raised time-out; code 27 for any refusal.
    void sendActivation(const char* zoneSetName, const char* operation);
    // Slot 6 of every level: procedure 20, or 29 for the active database
    // when `askActiveDatabase`; traced as `method` of `sourceFile`.
    int askObjectType(const char* name, ZoningFlag active, bool askActiveDatabase,
                      const char* method, const char* sourceFile);
    // The type that a type reply carries (8 without one, the status map).
    static int typeFromReply(ZoningTypeReply* reply, const char* operation);
    // The active zone set's name (procedure 21).
    std::string activeZoneSetName(const char* operation);
    // The members of an object (procedure 16), made unique.
    ZoningNameList* objectMembers(int type, const char* name, const char* operation);
    // The same for a zone set, where a reply of no names is an empty list:
    // a zone set whose zones were all deleted stays on the switch.
    ZoningNameList* zoneSetMembers(const char* name, const char* operation);
    // Procedure 15 for one type, made unique; null when the call fails or
    // names nothing (reference lists are optional).
    ZoningNameList* optionalNameList(int type, const char* operation);
    // Copies of the names of one type in reply order (procedure 15); null
    // when there are none.
    std::vector<char*>* namesOfType(int type, const char* operation);
    // Appends the names of each type in turn; a type whose call fails is
    // skipped.
    void appendNamesOfTypes(std::vector<char*>& names, std::initializer_list<int> types,
                            const char* operation);
    // One entry (name, type, no members, active 0) per unique name of the
    // type in the defined database.
    void appendDefinedEntries(std::vector<ZoningObjectEntry*>& entries, int type,
                              const char* operation);
    // Slot 19 in the defined database: every object of every type with its
    // members; an object without members keeps a null member vector.
    std::vector<ZoningObjectEntry*>* definedObjectsWithMembers(ZoningFlag typing);

    SessionContext* session_;
    Fabric_Connection_Impl_RPC* connection_;

private:
    // Whether the fabric's name server answers `query` (port identifier by
    // port name, or symbolic name by node name) for the name.
    bool nameServerKnows(int query, const unsigned char wwn[8], const char* operation);
    // The member texts of the active view's alias `alias`, typed.
    void appendAliasMembers(std::vector<ZoningNameEntry*>& result, const char* alias,
                            ZoningFlag typing, ZoningFlag active, const char* operation);
    std::vector<char*>* activeObjectNames(int type, const char* operation);
};
