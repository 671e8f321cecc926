// The versioned classes of the switch object (type 2), one per firmware
// generation: Switch_2_2 (switches that report no version, level 2200),
// Switch_2_3 (2.3 to 3.0, level 2300, with the secondary code 3020 for
// 3.0.2) and Switch_2_0 (all later firmware, level 2600). Each fetches the
// switch into a SwitchRecord (orvane/records.h) and loads the switch's port
// modules and ports into the object store.
#pragma once

#include <memory>

#include "objects/ChildClasses.h"
#include "objects/SanElement.h"

struct DiscoveredSwitch;
struct FabricElement;
struct SessionContext;
struct SwitchInfoRecord;
struct SwitchInfo2Record;
struct SwitchRecord;
class WWNAddress;

class Switch : public PhySanElement, public VersionedElement {
public:
    Switch(int level, int secondary) : level_(level), secondary_(secondary) {}
    int versionLevel() const override { return level_; }
    int secondaryCode() const { return secondary_; }

    // Slot 5: the port modules and ports that a fabric discovery entry
    // names, with their port type. -3 for a null entry or switch object.
    virtual int LoadPorts(SessionContext* ctx, StoredObject* sw, const DiscoveredSwitch* entry);
    // Slot 6: the port module and the ports of the switch's port list. -3
    // for a null entry or switch object; -4 a list query without a list;
    // -86 the switch stayed busy; 0 for a switch that does not answer.
    virtual int LoadPortsWithoutType(SessionContext* ctx, StoredObject* sw,
                                     const FabricElement* entry);

private:
    int level_;
    int secondary_;
};

class Switch_2_2 : public Switch {
public:
    Switch_2_2() : Switch(2200, 0) {}
    // From single fabric configuration server queries. 0 with the record;
    // -6 the switch is not stored or has no fabric; -2 no memory; or the
    // failure of the domain or management identifier query.
    int BuildObject(const OID_t oid, void** record) override;
    int LoadPorts(SessionContext* ctx, StoredObject* sw, const DiscoveredSwitch* entry) override;
    int LoadPortsWithoutType(SessionContext* ctx, StoredObject* sw,
                             const FabricElement* entry) override;

protected:
    Switch_2_2(int level, int secondary) : Switch(level, secondary) {}
    // Whether the ports get statistics and error counter children.
    virtual bool portsHaveCounters() const { return false; }
    // What a failed port list query gives.
    virtual int portListFailure(SessionContext* ctx, const unsigned char name[8], int status);
    int loadSingleModule(SessionContext* ctx, StoredObject* sw, const DiscoveredSwitch* entry);
    int portsFromPortList(SessionContext* ctx, StoredObject* sw, bool untranslated);
    // The port object of `name` below `module`, with its class (and its
    // counter children when the class has them).
    StoredObject* addPort(StoredObject* module, const WWNAddress& name, int level);
};

class Switch_2_3 : public Switch_2_2 {
public:
    explicit Switch_2_3(int secondary = 0) : Switch_2_2(2300, secondary) {}
    // From switchGetInfo (request 1285).
    int BuildObject(const OID_t oid, void** record) override;

protected:
    Switch_2_3(int level, int secondary) : Switch_2_2(level, secondary) {}
    bool portsHaveCounters() const override { return true; }
    int portListFailure(SessionContext* ctx, const unsigned char name[8], int status) override;
};

class Switch_2_0 : public Switch_2_3 {
public:
    Switch_2_0() : Switch_2_3(2600, 0) {}
    // From switchGetInfo2 (request 1287), with the switch's port modules,
    // licensed products, security statistics, physical switch group and
    // enclosure children.
    int BuildObject(const OID_t oid, void** record) override;
    // The port modules of the entry's ranges and their ports.
    int LoadPorts(SessionContext* ctx, StoredObject* sw, const DiscoveredSwitch* entry) override;
};

// The switch class of a level: Switch_2_0 for 2600, Switch_2_3 for 2300
// (with the secondary code), Switch_2_2 for any other.
std::unique_ptr<Switch> makeSwitchClass(int level, int secondary);
// "2.2", "2.3" or "2.6": the "SFVersion" of a switch of that level.
const char* switchVersionText(int level);

// The state code of a switch state index: 0 to 4 give 0, 560, 561, 562,
// 563; any other index 0.
unsigned short switchStateCode(unsigned int index);
// Whether the text, after one optional leading 'v' or 'V', begins "4.0".
bool isFirmware40(const char* text);
inline bool isNotFirmware40(const char* text) {
    return !isFirmware40(text);
}

// The record fields that come from a switch information reply.
int fillSwitchRecord(SwitchRecord* record, const SwitchInfoRecord& info);
int fillSwitchRecord2(SwitchRecord* record, const SwitchInfo2Record& info);

// Fabric configuration server refreshes of the switch's stored object:
// "DomainId", "InBandAddr", "SwitchName" (a name of at most 255
// characters). 0 or the translated failure.
int refreshDomainId(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]);
int refreshInBandAddr(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]);
int refreshSwitchName(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]);
// With `byDomain`: the domain identifier query fails. Without: the switch
// information says the switch is in state 562.
bool switchNotResponding(SessionContext* ctx, const unsigned char name[8], bool byDomain);
