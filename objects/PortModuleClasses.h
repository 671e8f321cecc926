// The versioned classes of the port module object (type 23): PortModule_2_2
// and PortModule_2_3 link every port of the switch's port list to the
// module; PortModule_2_0 links the module's range of that list and reports
// the module's manufacturing data and temperatures. Each hands out a
// PortModuleRecord (orvane/records.h).
#pragma once

#include <cstddef>

#include "objects/SanElement.h"

class StoredObject;
class WWNAddress;
struct SessionContext;

class PortModule_2_2 : public PhySanElement {
public:
    // 0 with the record; -22 the module is not stored; -2 no memory; or the
    // failure of the handle or of the port list request.
    int BuildObject(const OID_t oid, void** record) override;

protected:
    // The port class level given to the module's ports met without one.
    virtual int portLevel() const { return 2200; }
};

class PortModule_2_3 : public PortModule_2_2 {
protected:
    int portLevel() const override { return 2300; }
};

class PortModule_2_0 : public PortModule_2_3 {
public:
    // As above; -21 the switch has no module information, or none for
    // this module's index.
    int BuildObject(const OID_t oid, void** record) override;
};

// The module class of a level: PortModule_2_0 for 2600, PortModule_2_3 for
// 2300, PortModule_2_2 for any other.
SanElement* makePortModuleClass(int level, int secondary);

// The record of the older generations.
int buildPortModuleRecord(const OID_t oid, void** record);
// Links every port of the switch's port list to the module; `count` gets
// the ports linked. 0 or the translated failure.
int loadModulePorts(SessionContext* ctx, StoredObject* module, const WWNAddress& wwn,
                    std::size_t& count);
// Links the entries `first` to `last` of the switch's port list to the
// module, each with a new Port_2_0 class. A range whose first index is
// above its last, whose last index is 0 or lies beyond the list links
// nothing. 0 or the request's status.
int loadModulePortRange(SessionContext* ctx, StoredObject* module, const WWNAddress& wwn, int first,
                        int last);
// The number of ports of a module range: last - first + 1, or 0 when last
// is 0 or first is above last.
std::size_t modulePortCount(int first, int last);
