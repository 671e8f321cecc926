#include "objects/ObjectTypes.h"

namespace {

struct TypeName {
    unsigned short type;
    const char* name;
};

using namespace ObjectType;

constexpr TypeName kTypeNames[] = {
    {Unknown, "Unknown"},
    {Port, "Port"},
    {Switch, "Switch"},
    {Hub, "Hub"},
    {Node, "Node"},
    {Device, "Device"},
    {AddrUnit, "AddrUnit"},
    {HBA, "HBA"},
    {Host, "Host"},
    {Fabric, "Fabric"},
    {Zone, "Zone"},
    {ZoneConfig, "ZoneConfig"},
    {OSHandle, "OSHandle"},
    {Security, "Security"},
    {Enclosure, "Enclosure"},
    {Platform, "Platform"},
    {Bridge, "Bridge"},
    {Route, "Route"},
    {PortStats, "PortStats"},
    {PortErrors, "PortErrors"},
    {ZoneAlias, "ZoneAlias"},
    {ZoningCapabilities, "ZoningCapabilities"},
    {ZoneMember, "ZoneMember"},
    {PortModule, "PortModule"},
    {FullZoneDB, "FullZoneDB"},
    {ActiveZoneDB, "ActiveZoneDB"},
    {SecurityCapabilities, "SecurityCapabilities"},
    {ActivePolicySet, "ActivePolicySet"},
    {ActivePolicy, "ActivePolicy"},
    {PhysicalSwitchGroup, "PhysicalSwitchGroup"},
    {ThrexClassArea, "ThrexClassArea"},
    {ThrexThresholdEntry, "ThrexThresholdEntry"},
    {EnclosureObject, "EnclosureObject"},
    {LicensedProduct, "LicensedProduct"},
    {DefinedPolicySet, "DefinedPolicySet"},
    {DefinedPolicy, "DefinedPolicy"},
    {SecurityStats, "SecurityStats"},
    {CP, "CP"},
    {WWNCard, "WWNCard"},
    {Blade, "Blade"},
    {FAN, "FAN"},
    {TempSensor, "TempSensor"},
    {PowerSupply, "PowerSupply"},
    {ISL, "ISL"},
    {Any, "Any"},
    {Root, "Root"},
    {UserDefined, "UserDefined"},
    {Namespace, "Namespace"},
    {UndefinedZoningObject, "UndefinedZoningObject"},
};

} // namespace

const char* objectTypeName(unsigned short type) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type) {
            return entry.name;
        }
    }
    return "Invalid";
}
