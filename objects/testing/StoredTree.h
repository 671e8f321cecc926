// Names and links of the stored objects that the object model's tests build.
#pragma once

#include <string>

#include "api/StoredObject.h"
#include "foundation/WWNAddress.h"

namespace stored_tree {

// 10:00:00:60:69:00:00:<last>.
inline WWNAddress name(unsigned char last) {
    const unsigned char bytes[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, last};
    return WWNAddress(bytes);
}

inline std::string oidOf(const StoredObject* object) {
    std::string oid;
    object->getStringAttr("OID", oid);
    return oid;
}

// `parent` becomes the first of the child's "setParent".
inline void link(StoredObject* child, const StoredObject* parent) {
    child->addRelation("setParent", oidOf(parent));
}

} // namespace stored_tree
