// Object type codes: one 16-bit number per kind of fabric object, with the
// name that the XML interface gives the kind's elements and traces print.
#pragma once

namespace ObjectType {

inline constexpr unsigned short Unknown = 0;
inline constexpr unsigned short Port = 1;
inline constexpr unsigned short Switch = 2;
inline constexpr unsigned short Hub = 3;
inline constexpr unsigned short Node = 4;
inline constexpr unsigned short Device = 5;
inline constexpr unsigned short AddrUnit = 6;
inline constexpr unsigned short HBA = 7;
inline constexpr unsigned short Host = 8;
inline constexpr unsigned short Fabric = 9;
inline constexpr unsigned short Zone = 10;
inline constexpr unsigned short ZoneConfig = 11; // a zone set
inline constexpr unsigned short OSHandle = 12;
inline constexpr unsigned short Security = 13;
inline constexpr unsigned short Enclosure = 14;
inline constexpr unsigned short Platform = 15;
inline constexpr unsigned short Bridge = 16;
inline constexpr unsigned short Route = 17;
inline constexpr unsigned short PortStats = 18;
inline constexpr unsigned short PortErrors = 19;
inline constexpr unsigned short ZoneAlias = 20;
inline constexpr unsigned short ZoningCapabilities = 21;
inline constexpr unsigned short ZoneMember = 22;
inline constexpr unsigned short PortModule = 23;
inline constexpr unsigned short FullZoneDB = 24;
inline constexpr unsigned short ActiveZoneDB = 25;
inline constexpr unsigned short SecurityCapabilities = 32;
inline constexpr unsigned short ActivePolicySet = 33;
inline constexpr unsigned short ActivePolicy = 34;
inline constexpr unsigned short PhysicalSwitchGroup = 35;
inline constexpr unsigned short ThrexClassArea = 36;
inline constexpr unsigned short ThrexThresholdEntry = 37;
inline constexpr unsigned short EnclosureObject = 38;
inline constexpr unsigned short LicensedProduct = 39;
inline constexpr unsigned short DefinedPolicySet = 48;
inline constexpr unsigned short DefinedPolicy = 49;
inline constexpr unsigned short SecurityStats = 50;
inline constexpr unsigned short CP = 51;
inline constexpr unsigned short WWNCard = 52;
inline constexpr unsigned short Blade = 53;
inline constexpr unsigned short FAN = 61;
inline constexpr unsigned short TempSensor = 62;
inline constexpr unsigned short PowerSupply = 63;
inline constexpr unsigned short ISL = 64;
inline constexpr unsigned short Any = 0xFFFF;                   // -1
inline constexpr unsigned short Root = 0xFFFE;                  // -2
inline constexpr unsigned short UserDefined = 0xFFFD;           // -3
inline constexpr unsigned short Namespace = 0xFFFC;             // -4
inline constexpr unsigned short UndefinedZoningObject = 0xFFFB; // -5

// Pseudo types, which name no stored object.
inline constexpr unsigned short DomainPortRef = 0xF000;
inline constexpr unsigned short SwitchPortGroup = 0xFFFA;
inline constexpr unsigned short ErrorRecord = 0xFF00;

} // namespace ObjectType

// The name of a type code; "Invalid" for a code that names no kind (the
// pseudo types among them).
const char* objectTypeName(unsigned short type);
