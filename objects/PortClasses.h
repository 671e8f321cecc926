// The versioned classes of the port object (type 1), one per firmware
// generation: Port_2_2, Port_2_3 and Port_2_0. A switch port is read from
// the switch (its state, its attached ports, its port information); a
// device port from the name server. Both hand out a PortRecord
// (orvane/records.h).
#pragma once

#include <cstddef>

#include "objects/ChildClasses.h"
#include "objects/SanElement.h"

class StoredObject;
class WWNAddress;
struct NameServerEntry;
struct PortInfoRecord;
struct PortInfo2Record;
struct PortRecord;
struct SessionContext;

class Port_2_2 : public PhySanElement, public VersionedElement {
public:
    int versionLevel() const override { return 2200; }
    // 0 with the record (or with none for a port type that has no record);
    // -7 the port is not stored or has no "PortType"; -17 a device port of
    // the newest generation that gave no record; -2 no memory; or the
    // translated failure of a request.
    int BuildObject(const OID_t oid, void** record) override;
    // The record of a device port, from its name-server entry.
    virtual int LoadRelations(const OID_t oid, void** record);
    // The record of a switch port, from the switch.
    virtual int LoadAttachedPort(const OID_t oid, void** record);

protected:
    // Whether ports of the reply's type code 8 count as switch ports.
    virtual bool acceptsType8() const { return false; }
    // The class given to an attached port met without one.
    virtual SanElement* attachedPortClass(unsigned short portType) const;
    // The switch-port record of this generation: allocated, filled and
    // handed to `out`, holding `attached` attached ports. 0 or a status.
    virtual int fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                               std::size_t attached, PortRecord** out);
};

class Port_2_3 : public Port_2_2 {
public:
    int versionLevel() const override { return 2300; }

protected:
    bool acceptsType8() const override { return true; }
    SanElement* attachedPortClass(unsigned short portType) const override;
    int fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                       std::size_t attached, PortRecord** out) override;
};

class Port_2_0 : public Port_2_3 {
public:
    int versionLevel() const override { return 2600; }
    int BuildObject(const OID_t oid, void** record) override;

protected:
    SanElement* attachedPortClass(unsigned short portType) const override;
    int fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                       std::size_t attached, PortRecord** out) override;
};

// The port class of a level: Port_2_0 for 2600, Port_2_3 for 2300,
// Port_2_2 for any other.
SanElement* makePortClass(int level, int secondary);

bool isSwitchPortType(unsigned short type, bool withType8);
bool isDevicePortType(unsigned short type);

// Code tables of the port information reply; values beyond a table give
// 0 (state, transceiver) or 320 (type).
unsigned short portStateCode(unsigned int value);
unsigned short portTypeCode(unsigned int value);
unsigned short transceiverCode(unsigned int value);
// The name server's port type: 1 N_Port, 2 NL_Port, anything else 320.
unsigned short nameServerPortType(unsigned int value);
// A fabric configuration server port type (FC-GS code) as a port type code.
unsigned short fcgsPortType(unsigned int code);

// Rebuilds the switch port's "setAttchPort" from its attached-port list and
// sets its "Segmented"; `count` gets the entries of the list (all-zero
// names included). 0 or the translated failure.
int loadAttachedPorts(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                      std::size_t& count);
// Refreshes "PortState" from the port state query. 0 or the translated
// failure.
int loadPortState(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn);
// Copies a port information reply into `record` (its GBIC pointers placed
// by the caller) and links the port's statistics and error counter
// objects. 0.
int fillPortRecord(StoredObject* port, PortRecord* record, const PortInfoRecord& reply);
int fillPortRecord2(StoredObject* port, PortRecord* record, const PortInfo2Record& reply);
// Copies a name-server entry into a device port record. 0.
int fillDevicePortRecord(PortRecord* record, const NameServerEntry& entry);
// Whether loop index `index` (1 to 127) is marked in a 16-byte loop map:
// bit (index % 8), counted from the least significant, of byte index / 8.
bool loopMapMarks(const unsigned char map[16], int index);
