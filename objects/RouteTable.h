// Routes through a fabric: route objects (type 17) computed from the
// switches' route tables at every read, the legal route table entries of
// a switch toward another, and the setting of one route table entry.
#pragma once

#include <string>
#include <vector>

#include <orvane/oid.h>

#include "foundation/WWNAddress.h"
#include "objects/SanElement.h"

// The class of route objects. It keeps nothing: the stored object holds
// the end ports ("sourceWWN", "destWWN") and the fabric's handle ("HDL").
class Route_2_3 : public LogSanElement {
public:
    // Computes the route: the ports of the fabric that frames pass from the
    // source's attached port to the destination's, as a RouteRecord. -18
    // for a route object without its end ports, or end ports without their
    // attached ports; -12 without "HDL"; -3 for a port object that cannot
    // be made; a refused request's translated status.
    int BuildObject(const OID_t oid, void** record) override;
};

// Stores the decimal digits of `value` one per byte, least significant
// first, into the eight zeroed bytes of `out`. False, with `out` zeroed,
// for a negative value or one of more than eight digits.
bool splitDecimalDigits(int value, unsigned char out[8]);

// The name of port `port` of the switch named `switchName`: its first byte
// 0x20 and its second the port's low 8 bits.
WWNAddress switchPortName(const WWNAddress& switchName, int port);

// The identifiers of the route objects whose parent is the fabric of
// `fabricRecord` (a FabricRecord), in identifier order. The caller holds
// the object-model lock.
std::vector<std::string> fabricRoutes(const void* fabricRecord);

// Lets the fabric walks of the object queries reach each fabric's routes.
void installRoutes();
