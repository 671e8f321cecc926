#include "editing/ObjectEditTable.h"

#include <map>

namespace {

// Filled at start-up, before any export runs; read only afterwards.
std::map<unsigned short, ObjectCreator>& creators() {
    static std::map<unsigned short, ObjectCreator> table;
    return table;
}

std::map<unsigned short, ObjectDeleter>& deleters() {
    static std::map<unsigned short, ObjectDeleter> table;
    return table;
}

} // namespace

void registerObjectCreator(unsigned short type, ObjectCreator creator) {
    creators()[type] = creator;
}

ObjectCreator objectCreatorFor(unsigned short type) {
    auto found = creators().find(type);
    return found == creators().end() ? nullptr : found->second;
}

void registerObjectDeleter(unsigned short type, const ObjectDeleter& deleter) {
    deleters()[type] = deleter;
}

const ObjectDeleter* objectDeleterFor(unsigned short type) {
    auto found = deleters().find(type);
    return found == deleters().end() ? nullptr : &found->second;
}
