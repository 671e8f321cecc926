// The versioned classes of a switch's hardware and inventory: licensed
// products (type 39), the physical switch group (35), the chassis enclosure
// (38) and the control processors (51), world wide name cards (52) and
// blades (53) of the chassis. Each read fetches the current data from the
// switch and hands out its record of orvane/records.h.
//
// The switch class creates the products, the group and the enclosure; the
// enclosure's read creates the processors, cards and blades below it.
#pragma once

#include <string>
#include <vector>

#include "objects/SanElement.h"

class LicensedProduct_2_0 : public PhySanElement {
public:
    // 0 with the record; -45 the object or its "ProductID" is not stored;
    // -21 the switch reports no licence key; -2 no memory; or the failure
    // of the handle or of the request.
    int BuildObject(const OID_t oid, void** record) override;
};

class PhysSwitchGroup_2_0 : public PhySanElement {
public:
    // 0 with the record; -47 the object is not stored; -2 no memory; or the
    // failure of the handle or of the request.
    int BuildObject(const OID_t oid, void** record) override;
};

class SwitchEnclosure_2_0 : public LogSanElement {
public:
    // 0 with the record, after creating or refreshing the chassis's control
    // processor, card and blade objects; -6 the object is not stored; -21
    // the switch answered without an enclosure; -2 no memory; or the
    // failure of the handle or of the request.
    int BuildObject(const OID_t oid, void** record) override;
};

class ControlProcessor_2_0 : public LogSanElement {
public:
    // 0 with the record; -51 no parent enclosure; -3 no "Index"; -21 the
    // switch answered without a record; -2 no memory; or the failure of the
    // handle or of the request.
    int BuildObject(const OID_t oid, void** record) override;
};

class WWNCard_2_0 : public LogSanElement {
public:
    // As a control processor; -21 also when the enclosure no longer lists
    // the card.
    int BuildObject(const OID_t oid, void** record) override;
};

class Blade_2_0 : public LogSanElement {
public:
    // As a control processor; -3 an identifier without a slot number; -21
    // also when the enclosure no longer lists a blade in the slot.
    int BuildObject(const OID_t oid, void** record) override;
};

// The index of an indexed identifier (four hex digits of type, sixteen of
// world wide name, eight of index). False when the text is not one.
bool indexOfIndexedOid(const char* oid, unsigned& index);

// The hardware objects a switch record lists: its licensed products, its
// switch group and its enclosure, in this order.
std::vector<std::string> switchInventoryChildren(const void* switchRecord);

// Installs the classes of the products, the group and the enclosure with
// the switch classes, and the walk from an enclosure to its processors,
// cards and blades.
void installInventoryObjects();
