// The object tree's side of the fabric re-check (api/FabricTreeReads.h):
// a fabric's stored switches and stored level, read under the object-model
// lock in the lock order's terms (objects/ObjectTreeRead.h).
#pragma once

#include "api/FabricTreeReads.h"

class FabricTreeReader : public FabricTreeReads {
public:
    std::optional<std::vector<std::string>> fabricSwitches(const std::string& oid) override;
    std::optional<unsigned short> storedFabricLevel(const WWNAddress& fabricWWN) override;
};

// Installs the process-wide FabricTreeReader (idempotent).
void installFabricTreeReader();
