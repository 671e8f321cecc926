// The behaviour object that a stored object owns. The object model derives
// its versioned object classes from it; the store needs no more of them than
// a way to delete one with the object that owns it.
#pragma once

class StoredElement {
public:
    StoredElement() = default;
    virtual ~StoredElement() = default;
    StoredElement(const StoredElement&) = delete;
    StoredElement& operator=(const StoredElement&) = delete;
};
