// The rows of the object queries' walk into a fabric's zoning tree: from
// the fabric to its zoning capabilities object, from there to the two
// zoning databases (the active one only while a zone set is active), from
// the defined database to its zone sets, aliases and zones, from the active
// database to its zones, and from zone sets, zones and aliases to their own
// member children. A zone set's zones, and a zone's aliases and switches,
// are reached elsewhere, so they are not walked twice.
#pragma once

void installZoningQueryWalk();
