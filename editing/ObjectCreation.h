// CreateFabricObject: the creation of zones, zone sets, aliases, zone
// members, platforms, switch groups and defined policies under a fabric,
// dispatched by the record's object type to the creator registered for it
// (editing/ObjectEditTable.h).
#pragma once

// Registers the platform creator and the deleters of editing/ObjectDeletion.h;
// called once at start-up.
void installObjectCreationAndDeletion();
