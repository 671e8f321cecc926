// The fabric object (type 9): the plain `Fabric` class, which carries the
// element defaults and receives the classification while a fabric's tree
// is first built, and the steps of that classification.
//
// The versioned fabric classes of each firmware level (2200, 2300, 2600)
// and the switch classes attach to the stored objects here; until they
// exist, attaching stores the fabric's switch objects, their levels and the
// fabric's level, and attaches no class (see makeFabricClass).
#pragma once

#include <cstddef>
#include <memory>

#include "objects/SanElement.h"

class StoredObject;
struct SessionContext;

// Fabric version levels.
inline constexpr int FABRIC_VERSION_2200 = 2200; // no usable version
inline constexpr int FABRIC_VERSION_2300 = 2300; // firmware 2.3 to 3.0
inline constexpr int FABRIC_VERSION_2600 = 2600; // all later firmware
// Secondary code of firmware 3.0.2.
inline constexpr int FABRIC_VERSION_3020 = 3020;

class Fabric : public PhySanElement {
public:
    // Classifies the proxy switch and the fabric, creates the fabric's
    // switch objects (linked both ways: "setParent" and "setSwitch"),
    // attaches the fabric class of its level and stores
    // "ProxySwitchVersion" and "fabVersion". Returns 0, -3 without a stored
    // object, -4 when the switch list is missing, -86 when the proxy switch
    // stays busy, or the translated failure of a request.
    virtual int AttachFabricImplementation(SessionContext* ctx, StoredObject* fabric);
};

// The versioned class of a fabric level, made for a fabric's stored
// object; null while the fabric classes do not exist yet.
std::unique_ptr<SanElement> makeFabricClass(int fabricLevel);

// The version level of one switch, asked through the session's proxy
// switch: level 2200 ("v2.2") when the switch names no version, 2300 for
// 2.3 to 3.0 (3.0.2 with the secondary code 3020), 2600 for later
// firmware. The version text goes to `text` (cut to `textSize` - 1
// characters) when one is given. Returns 0, or -86 when the switch stayed
// busy through five attempts.
int GetProxyVersion(SessionContext* ctx, const unsigned char switchName[8], int& level,
                    int& secondary, char* text = nullptr, std::size_t textSize = 0);

// Gives the fabric its "FabricCounter" (1 for the first fabric, and so on)
// unless it has one.
void assignFabricCounter(StoredObject* fabric);
// Lets the fabric's element create the security objects and then the
// zoning capabilities (slots 4 and 1); -13 when the fabric has no element,
// else 0.
int createFabricChildren(StoredObject* fabric);
