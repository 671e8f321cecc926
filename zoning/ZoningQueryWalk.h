// The rows of the object queries' walk into a fabric's zoning tree: from
// the fabric to its zoning capabilities object and from there to the two
// zoning databases (the active one only while a zone set is active).
#pragma once

void installZoningQueryWalk();
