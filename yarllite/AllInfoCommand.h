// "GetAllInfo": the attribute dictionary and every stored object of the
// fabric object kinds, straight from the object store.
#pragma once

#include "yarllite/CommandContext.h"

// Appends the <Dictionary> block, then the flat element of every stored
// fabric, switch, device, node, port, zone set, zone and zone alias, kind by
// kind in that order, named as the request's encoding asks. Always 0.
int YarlGetAllInfo(CommandContext& context);
