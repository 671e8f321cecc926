// Platforms (type 15): named groups of nodes with a type and management
// addresses, registered in the fabric's switches and mirrored as stored
// objects under their fabric. Platform identifiers carry a made-up world
// wide name: the next number of the process-wide platform counter, its
// decimal digits least significant first, one per byte.
#pragma once

#include <cstddef>

#include "objects/SanElement.h"

struct PlatformRecord;
struct SessionContext;

// Attribute codes of the platform operations.
inline constexpr unsigned PLATFORM_ATTR_TYPE = 0x40E04;
inline constexpr unsigned PLATFORM_ATTR_NODE_SET = 0x800B0E02;
inline constexpr unsigned PLATFORM_ATTR_ADDRESS_SET = 0x80110E03;

class Platform_2_3 : public LogSanElement {
public:
    // Reads the platform's attributes from the switch and hands out a
    // PlatformRecord (orvane/records.h), refreshing "PlatformType",
    // "setPlatformNodeSet" and "setManagementAddrSet": 0; -10 not stored;
    // -21 no "PlatformName" or no attributes in the reply; -1507 the switch
    // does not know the platform; -2 no memory; or the translated failure.
    int BuildObject(const OID_t oid, void** record) override;
};

// Loads the fabric's platforms into its "setPlatform", creating the
// objects of names not stored yet: 0 with `count`; -3 no fabric or no
// "HDL"; -1507 the switch refused the list; or the translated failure.
int platformObjectsImpl(StoredObject* fabric, int& count);
// The first stored platform whose "PlatformName" has these bytes, or null.
StoredObject* findPlatformByName(const unsigned char* name, std::size_t length);
// 0 when the switch answers the platform information request, else -36.
int checkPlatformSupport(SessionContext* ctx);

// Registers the platform of `record` on the switch and stores its object;
// its identifier goes to `oid` (48 characters).
int createPlatformObject(StoredObject* fabric, const PlatformRecord* record, char* oid);
// Deregisters the platform and removes its stored object.
int deletePlatformObject(StoredObject* platform);
int setPlatformType(StoredObject* platform, unsigned code, const unsigned short* value);
// One member at a time: a 48-character node identifier list for the node
// set, a list of 257-byte address entries for the address set.
int addPlatformMember(StoredObject* platform, unsigned code, void* members);
int removePlatformMember(StoredObject* platform, unsigned code, void* members);

// Installs the platform loader of the fabric classes.
void installPlatformClasses();
