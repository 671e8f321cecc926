// The fabric object (type 9): the plain `Fabric` class, which carries the
// element defaults and receives the classification while a fabric's tree
// is first built, the steps of that classification, and the two loaders
// that create the fabric's switch objects with the switch class of each
// switch's level. The versioned fabric classes are in FabricClasses.h.
#pragma once

#include <cstddef>
#include <memory>

#include "objects/SanElement.h"

class StoredObject;
struct SessionContext;
struct FabricElementList;
struct NSPortListEntry;

// Fabric version levels.
inline constexpr int FABRIC_VERSION_2200 = 2200; // no usable version
inline constexpr int FABRIC_VERSION_2300 = 2300; // firmware 2.3 to 3.0
inline constexpr int FABRIC_VERSION_2600 = 2600; // all later firmware
// Secondary code of firmware 3.0.2.
inline constexpr int FABRIC_VERSION_3020 = 3020;

class Fabric : public PhySanElement {
public:
    // Classifies the proxy switch and the fabric, creates the fabric's
    // switch objects (linked both ways: "setParent" and "setSwitch") with
    // their classes and ports, attaches the fabric class of its level and
    // stores "ProxySwitchVersion" and "fabVersion". Returns 0, -3 without a
    // stored object, -4 when the switch list is missing, -86 when the proxy
    // switch stays busy, or the failure of a request.
    virtual int AttachFabricImplementation(SessionContext* ctx, StoredObject* fabric);
};

// The versioned class of a fabric level: Fabric_2_3 for 2300, Fabric_2_0
// for 2600, Fabric_2_2 for any other.
std::unique_ptr<SanElement> makeFabricClass(int fabricLevel);

// The version level of one switch, asked through the session's proxy
// switch and read by VersionLevelOfReply: 2200 ("v2.2") when the question
// fails, 2300 for 2.3 to 3.0 (3.0.2 with the secondary code 3020), 2600
// for later firmware. The version text goes to `text` (cut to `textSize` -
// 1 characters) when one is given. Returns 0, or -86 when the switch stayed
// busy through five attempts.
int GetProxyVersion(SessionContext* ctx, const unsigned char switchName[8], int& level,
                    int& secondary, char* text = nullptr, std::size_t textSize = 0);

// The switch loader of a proxy at level 2600: the switches of the fabric
// discovery (asked until it lists at least `elementCount` switches), each
// with the class of the level its API version word names, and their ports;
// then the ports, nodes and devices that the name server lists. Lowers
// `lowestLevel` to the lowest switch level. Returns 0, -4 for a missing
// result, or the failure of the discovery or of a switch's classification
// or port load.
int loadSwitchesFromDiscovery(SessionContext* ctx, StoredObject* fabric, int elementCount,
                              int& lowestLevel);
// The switch loader of the other proxy levels: every element of the list
// as a switch whose level is its firmware's, lowered to the proxy's, and
// its ports from its port list. `fabricLevel` becomes 2300, or 2200 when a
// switch is below 2300. Returns 0 or the first failure.
int loadSwitchesFromElementList(SessionContext* ctx, StoredObject* fabric,
                                const FabricElementList& elements, int proxyLevel,
                                int& fabricLevel);
// Creates the attached port, its node and its device of one name-server
// entry, below the switch port it names. 0, or -21 when that switch port is
// not stored.
int attachNameServerEntry(const NSPortListEntry& entry);

// The class name that the zoning object creation appends to its trace
// records: "Zone", "ZoneSet", "Platform", "ZoneAlias", "ZoneMember",
// "SwitchGroup", "DefinedPolicy"; empty for any other type.
const char* ObjectClassName(unsigned short type);

// Gives the fabric its "FabricCounter" (1 for the first fabric, and so on)
// unless it has one.
void assignFabricCounter(StoredObject* fabric);
// Lets the fabric's element create the security objects and then the
// zoning capabilities (slots 4 and 1); -13 when the fabric has no element,
// else 0.
int createFabricChildren(StoredObject* fabric);
