// Handlers of the object query commands and the writers of their Objects
// elements. The handlers write their own fault block; each frees every
// record and record list the query export handed out.
#pragma once

#include <string>

#include "yarllite/CommandContext.h"

// "GetObjects": the objects named by the ObjectReference texts.
int YarlGetObjects(CommandContext& context);
// "GetAllObjects": every object of the fabrics with a session.
int YarlGetAllObjects(CommandContext& context);
// "GetObjectsByType": the objects of the ObjectType code, limited to the
// fabric of the first ObjectReference when there is one.
int YarlGetObjectsByType(CommandContext& context);
// "GetAllObjectsResponse": what the object store holds, without asking the
// switches.
int YarlGetAllObjectsResponseCommand(CommandContext& context);

// The Objects element of a GetObjects result list.
int YarlGetObjectsResponse(std::string& reply, void** records, int encoding);
// The fabrics of the object store marked as having a session, each as a
// tree; with the dictionary flag the dictionary and the objects by type.
int YarlGetAllObjectsResponse(std::string& reply, int encoding, bool dictionary);
// The stored objects of one type; -1 writes the marked fabrics as trees.
int YarlGetObjectsByTypeResponse(const std::string& fabric, int type, std::string& reply,
                                 int encoding);
