// Reading a stored object's relations by name: all of them, or the first.
#pragma once

#include <string>
#include <vector>

#include "api/StoredObject.h"

inline std::vector<std::string> relationsOf(const StoredObject* object, const char* name) {
    std::vector<std::string> oids;
    object->getRelations(name, oids);
    return oids;
}

// The first relation of `name`, or the empty text when there is none.
inline std::string firstRelation(const StoredObject* object, const char* name) {
    std::string oid;
    return object->getNextRelation(name, oid) ? oid : std::string();
}
