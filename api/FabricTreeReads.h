// What the fabric re-check reads from the object tree, which the objects
// floor above keeps: start-up installs the objects' reader. The default
// knows no stored fabric, so a re-check without it finds nothing stored.
//
// Each read runs under the object-model lock as readObjectTree does: a
// thread that holds the device-access lock without the object-model lock
// only tries it, and when another thread holds it the read finds nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

class WWNAddress;

class FabricTreeReads {
public:
    virtual ~FabricTreeReads() = default;

    // The identifiers of the "setSwitch" set of the stored fabric that
    // `oid` names or lies in, in their sorted order; nothing when no stored
    // fabric holds it.
    virtual std::optional<std::vector<std::string>> fabricSwitches(const std::string& oid);
    // The "fabVersion" stored for the fabric of that name; nothing when the
    // fabric or its level is not stored.
    virtual std::optional<unsigned short> storedFabricLevel(const WWNAddress& fabricWWN);
};

// The installed reader (the default, without stored fabrics, until then).
FabricTreeReads& fabricTreeReads();
// Installs `reads` (not owned); null restores the default. Returns the
// previous reader.
FabricTreeReads* installFabricTreeReads(FabricTreeReads* reads);
