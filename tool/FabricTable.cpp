#include "FabricTable.h"

std::string principalText(const FabricInfo& fabric) {
    for (const SwitchInfo& entry : fabric.switches) {
        if (entry.swRole == PrincipalSwitchRole)
            return entry.name;
    }
    return "Unknown";
}
