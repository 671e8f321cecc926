// The versioned classes that the fabric and switch classes attach to the
// child objects they create (ports, port modules, statistics, nodes,
// devices, switch hardware, zoning capabilities, security objects), and the
// platform loader. The classes of each kind register a maker here as they
// come; a kind without a maker leaves its objects without a class, so that
// the queries answer -21 for them and never walk into them.
#pragma once

class SanElement;
class StoredObject;
struct SessionContext;

// Port type codes (the "PortType" attribute and the records' PortType).
inline constexpr unsigned short PORT_TYPE_OTHER = 320;
inline constexpr unsigned short PORT_TYPE_F = 321;
inline constexpr unsigned short PORT_TYPE_FL = 322;
inline constexpr unsigned short PORT_TYPE_E = 323;
inline constexpr unsigned short PORT_TYPE_N = 324;
inline constexpr unsigned short PORT_TYPE_NL = 325;
inline constexpr unsigned short PORT_TYPE_B = 326;
inline constexpr unsigned short PORT_TYPE_8 = 327; // the port reply's type code 8

// A class that carries the version level it was made for (switches, and
// the ports, nodes and devices below them), so that objects created below
// an object take its level.
class VersionedElement {
public:
    virtual ~VersionedElement() = default;
    virtual int versionLevel() const = 0;
};

enum class ChildClass {
    PortModule,
    Port,
    PortStats,
    PortErrors,
    Node,
    Device,
    LicensedProduct,
    PhysSwitchGroup,
    SwitchEnclosure,
    SecurityStats,
    SCapabilities,
    ActivePolicySet,
    DefinedPolicySet,
    Count
};

// Makes the class of `kind` at a version level (2200, 2300, 2600, with the
// secondary code 3020 or 0), or null when the kind has none at that level.
using ChildClassMaker = SanElement* (*)(int level, int secondary);

// Installs the maker of one kind (null: none) and returns the one before.
ChildClassMaker setChildClassMaker(ChildClass kind, ChildClassMaker maker);

// Attaches the class of `kind` to `object` when it has none; with `replace`
// the class it has is replaced. Nothing when the kind has no maker.
void attachChildClass(StoredObject* object, ChildClass kind, int level, int secondary = 0,
                      bool replace = false);

// The creator of a fabric's zoning capabilities object, which the fabric
// classes call at the start of each fetch: it creates or refreshes the
// object (type 21, the fabric's world wide name), links it both ways
// ("setParent", "setZoningCapabilities") and gives it its class of the
// fabric level. Until the zoning objects install theirs, the one in place
// creates and links the object and attaches no class.
using ZoningCapabilitiesCreator = int (*)(StoredObject* fabric, int fabricLevel);
ZoningCapabilitiesCreator setZoningCapabilitiesCreator(ZoningCapabilitiesCreator creator);
int createZoningCapabilities(StoredObject* fabric, int fabricLevel);

// The platform loader of a fabric: the number of platforms it stored in
// the fabric's "setPlatform". Until the platforms install theirs, the one
// in place loads none and gives 0.
using PlatformLoader = int (*)(SessionContext* ctx, StoredObject* fabric);
PlatformLoader setPlatformLoader(PlatformLoader loader);
int loadPlatforms(SessionContext* ctx, StoredObject* fabric);
