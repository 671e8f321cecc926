// Handlers of the object editing commands: attribute changes, set member
// edits, creation and deletion of fabric objects, and the zoning name check.
// Each reads its request, calls one export and returns its status; -3 for a
// request it cannot use before any export is called.
#pragma once

#include "yarllite/CommandContext.h"

// "AddAttributes": the ObjectReference elements (the objects) and the first
// YarlAttribute (the attribute by tag or name, and its value).
int YarlAddAttributes(CommandContext& context);
// "AddSetMember", "RemoveSetMember": the first ObjectReference with text
// (the object); YarlAttribute elements, the first naming the set, each one's
// value one member. Removal answers 10 for an empty object identifier.
int YarlAddSetMember(CommandContext& context);
int YarlRemoveSetMember(CommandContext& context);
// "CreateFabricObject": the first ObjectReference with text (the fabric),
// ObjectDefinition, Object (type and attributes) and Sets; the new
// identifier goes to the context.
int YarlCreateFabricObject(CommandContext& context);
// "DeleteObjects": the ObjectReference elements.
int YarlDeleteObjects(CommandContext& context);
// "ZoningObjectNameExists": the ObjectReference text (a defined zoning
// database) and the ObjName of ObjectSpecs. Writes the object found and
// "<ObjectExists>Yes|No</ObjectExists>"; a check that cannot be made reads
// as "No", so that the command always succeeds (0).
int YarlZoningObjectNameExists(CommandContext& context);
