// One fabric object in the object store: what the library last learned about
// it, as named typed attributes; its links to other objects, as named sets of
// identifier texts (each once, in byte order); named lists of texts in
// insertion order; and the element that knows how to fetch it from the
// switches, which the object owns.
//
// Locks: the relation lock guards the relation sets, the lists and the
// element; the attribute lock guards the attributes. Each operation holds
// the one lock it needs for its own duration only, and every getter hands
// out a copy, so no reference into the object outlives the call. An object
// is destroyed only under the object-model lock: code that keeps a pointer
// to a stored object across calls holds that lock for as long as it uses it.
// Lock order: the object-model lock, then the relation lock, then the
// attribute lock.
//
// Once destroyContents() has begun, every setter and every add, append or
// remove does nothing; the getters still answer (from emptied maps).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "api/AttributeValue.h"
#include "api/FlatNameMap.h"
#include "api/StoredElement.h"
#include "foundation/Mutex.h"
#include "foundation/WWNAddress.h"

class StoredObject {
public:
    using RelationSet = std::set<std::string>;
    using StringList = std::vector<std::string>;
    // A place in a string list, for beginList() and nextListValue().
    using ListPosition = std::size_t;

    StoredObject();
    ~StoredObject(); // destroyContents()
    StoredObject(const StoredObject&) = delete;
    StoredObject& operator=(const StoredObject&) = delete;

    // --- Attributes. A name may change kind with a later setter.
    // The text is cleaned first: a tab becomes a blank, every other control
    // character and every character with the top bit set is dropped, and
    // leading and trailing blanks are cut.
    void setStringAttr(const std::string& name, const std::string& value);
    // The text as setStringAttr() keeps it.
    static std::string cleanText(const std::string& text);
    void setInt64Attr(const std::string& name, std::uint32_t low, std::uint32_t high);
    // A 64-bit value holding the name's eight bytes in their own order.
    void setWwnAttr(const std::string& name, const WWNAddress& wwn);
    void setShortAttr(const std::string& name, unsigned short value);
    void setIntAttr(const std::string& name, int value);
    void setHandleAttr(const std::string& name, void* handle);
    // Stores a copy of `length` bytes. False, with the attribute unchanged,
    // for a length above AttributeValue::MaxBytes or below 0.
    bool setBytesAttr(const std::string& name, const void* bytes, int length);

    // Each getter copies the value in its own width, whatever kind it was
    // stored as, and returns true; false, with `value` unchanged, when the
    // object has no attribute of that name.
    bool getStringAttr(const std::string& name, std::string& value) const;
    bool getShortAttr(const std::string& name, unsigned short& value) const;
    bool getBoolAttr(const std::string& name, unsigned short& value) const;
    bool getIntAttr(const std::string& name, int& value) const;
    bool getHandleAttr(const std::string& name, void*& handle) const;
    bool getBytesAttr(const std::string& name, std::vector<unsigned char>& bytes) const;
    // The eight bytes of a 64-bit value, or nothing when absent.
    std::optional<WWNAddress> getWwnAttr(const std::string& name) const;

    // --- Relation sets, each made on its first add.
    void addRelation(const std::string& name, const std::string& oid);
    // Adds the other object's "OID"; nothing when it has none.
    void addRelatedObject(const std::string& name, const StoredObject* other);
    void removeRelation(const std::string& name, const std::string& oid);
    void removeRelatedObject(const std::string& name, const StoredObject* other);
    void clearSet(const std::string& name);
    // 0 when there is no such set.
    std::size_t getRelationCount(const std::string& name) const;
    bool hasRelationSet(const std::string& name) const;
    bool hasRelation(const std::string& name, const std::string& oid) const;
    // Replaces `oid` by the smallest identifier of the set that sorts after
    // it (byte order); an empty text gives the first. False, with `oid`
    // unchanged, when the set is absent or holds nothing after it. Passing
    // each result back in walks the whole set.
    bool getNextRelation(const std::string& name, std::string& oid) const;
    // The same walk, under the name the zoning and XML code use for it.
    bool getFirstRelation(const std::string& name, std::string& oid) const {
        return getNextRelation(name, oid);
    }
    // A copy of the set in its order; false when absent.
    bool getRelations(const std::string& name, std::vector<std::string>& oids) const;

    // --- String lists, each made on its first append; a text may stand in
    // a list more than once.
    void appendListValue(const std::string& name, const std::string& text);
    // Appends the other object's "OID"; nothing when it has none.
    void appendListObject(const std::string& name, const StoredObject* other);
    // Removes the first equal text and keeps the order of the rest.
    void removeListValue(const std::string& name, const std::string& text);
    void removeListObject(const std::string& name, const StoredObject* other);
    void clearList(const std::string& name);
    // False for an empty text.
    bool listContains(const std::string& name, const std::string& text) const;
    // A copy of the list in its order; false when absent.
    bool getList(const std::string& name, StringList& texts) const;
    // Starts a walk of the list; false when the list is absent.
    bool beginList(const std::string& name, ListPosition& position) const;
    // The text at `position`, moving it on; false at the end of the list.
    // Edits between the calls of a walk never make it read out of bounds.
    bool nextListValue(const std::string& name, ListPosition& position, std::string& text) const;

    // Whether the "OID" has a world wide name part (its characters 5 to 20)
    // that is not all zero.
    bool hasWwn() const;

    // --- The element. The object owns it and deletes it with its contents.
    // The attached element as `Element`, or null when none is attached or
    // it is of another class.
    template <class Element = StoredElement> Element* getElement() const {
        return dynamic_cast<Element*>(element_.load(std::memory_order_acquire));
    }
    // Attaches `element` and deletes the one attached before (which must
    // not be running). On an object being destroyed, deletes `element`.
    void setElement(StoredElement* element);

    // Frees every attribute, relation set, list and the element, and marks
    // the object as being destroyed. Takes the object-model lock.
    void destroyContents();
    bool isBeingDestroyed() const { return beingDestroyed_.load(); }

    // --- XML. Appends the object's XML element to `out` through the writer
    // that the XML command interface installs (none: nothing is written).
    // When the fetch-failed flag is set it writes nothing, once, and clears
    // the flag.
    void writeXml(std::string& out, int encoding);
    // The same, with the objects it relates to nested inside its element.
    void writeXmlTree(std::string& out, int encoding);
    // Set when the last fetch of the object returned an error record.
    void setFetchFailed() { fetchFailed_.store(true); }
    // Reads and clears the flag in one step.
    bool takeFetchFailed() { return fetchFailed_.exchange(false); }

    // --- Visits for writers. Each runs `visit` for every entry in name
    // order while holding the lock that guards what it visits; `visit` must
    // not edit this object.
    void forEachAttribute(
        const std::function<void(const std::string&, const AttributeValue&)>& visit) const;
    void forEachRelationSet(
        const std::function<void(const std::string&, const RelationSet&)>& visit) const;
    void forEachList(const std::function<void(const std::string&, const StringList&)>& visit) const;

private:
    // Sets the named attribute under the attribute lock, unless the object
    // is being destroyed.
    template <class Assign> void assignAttr(const std::string& name, Assign&& assign);
    // Copies the named attribute out under the attribute lock.
    template <class Read> bool readAttr(const std::string& name, Read&& read) const;
    // Runs `edit` on the named set or list of `map` under the relation
    // lock; nothing when there is none or the object is being destroyed.
    template <class Map, class Edit> void editLinks(Map& map, const std::string& name, Edit&& edit);
    // Runs `read` on the named set or list under the relation lock: false
    // when there is none, else what `read` returns.
    template <class Map, class Read>
    bool readLinks(const Map& map, const std::string& name, Read&& read) const;
    // The "OID" of `other`, or empty.
    static std::string oidOf(const StoredObject* other);

    FlatNameMap<AttributeValue> attributes_;
    FlatNameMap<RelationSet> relationSets_;
    FlatNameMap<StringList> lists_;
    std::atomic<StoredElement*> element_{nullptr};
    mutable Mutex relationLock_{"stored object relation lock"};
    mutable Mutex attributeLock_{"stored object attribute lock"};
    std::atomic<bool> beingDestroyed_{false};
    std::atomic<bool> fetchFailed_{false};
};
