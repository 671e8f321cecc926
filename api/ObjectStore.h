// The object store: one process-wide ordered map from object identifier
// text to the StoredObject of that identifier, which the map owns, with a
// hash index beside it so that a look-up by identifier reads a handful of
// memory lines, however many objects the store holds.
//
// Every access to the map goes under the object-model lock
// (getObjectStoreMutex()). The functions below take it themselves; code that
// walks or edits objectMap() directly, or keeps a StoredObject pointer across
// calls, holds it for as long as it does. Erasing an entry destroys its
// object.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "api/StoredObject.h"
#include "foundation/WWNAddress.h"

// The identifier map: walked in identifier byte order, searched through
// the index. Every insertion and erasure goes through it, so the index and
// the map always name the same entries.
class ObjectMap {
public:
    using Entries = std::map<std::string, std::unique_ptr<StoredObject>>;
    using iterator = Entries::iterator;
    using const_iterator = Entries::const_iterator;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    iterator find(std::string_view oid);
    const_iterator find(std::string_view oid) const;
    // The first entry whose identifier does not sort before `oid`.
    const_iterator lower_bound(const std::string& oid) const { return entries_.lower_bound(oid); }

    // Inserts `object` under `oid` unless the identifier is stored already;
    // the entry of `oid` and whether it was inserted.
    std::pair<iterator, bool> emplace(const std::string& oid, std::unique_ptr<StoredObject> object);
    // Inserts `object` under `oid`, which the caller found absent.
    iterator insertAbsent(const std::string& oid, std::unique_ptr<StoredObject> object);
    // The slot of `oid`, made empty when there is none.
    std::unique_ptr<StoredObject>& operator[](const std::string& oid);
    // Erases the entry, destroying its object; the entry after it.
    iterator erase(iterator entry);
    void clear();

private:
    Entries entries_;
    // Each identifier, viewed in its map node (which never moves), to its
    // entry.
    std::unordered_map<std::string_view, iterator> index_;
};

// The map, in identifier byte order. Made on first use and kept until the
// process ends.
ObjectMap& objectMap();

// The object stored under exactly that identifier, or null.
StoredObject* findObject(const std::string& oid);
// The same, for a caller that holds the object-model lock.
StoredObject* findObjectUnlocked(const std::string& oid);
// The same for an identifier field: at most its 48 characters are read, and
// a field without a NUL names no object. Null for a null pointer.
StoredObject* findObjectByOid(const char* oid);

// The identifier of the indexed form: type (4 digits), world wide name (16)
// and index (8).
std::string indexedObjectOid(unsigned short type, const WWNAddress& wwn, unsigned index);
// The identifier of the pair form: type (4 digits), two world wide names
// (16 each) and two 16-bit numbers (4 each).
std::string pairObjectOid(unsigned short type, const WWNAddress& first, const WWNAddress& second,
                          unsigned short firstNumber, unsigned short secondNumber);

// Get or create: the object stored under the identifier of the form, or a new
// one when there is none. Look-up, insertion and the first attributes ("OID",
// then the world wide name attribute the type carries, then "ObjType") are one
// step under the object-model lock, so one identifier never gets two objects
// and no reader meets a half-made one. An object found is returned unchanged.
// Running out of memory throws std::bad_alloc.
//
// Plain form (20 digits): "WWN" for every type but the zoning, platform,
// route and security policy types, whose name is their owner's.
StoredObject* getOrCreateObject(unsigned short type, const WWNAddress& wwn);
// Create only: a new object of the plain form, made as above, or null when
// the identifier is stored already.
StoredObject* createObject(unsigned short type, const WWNAddress& wwn);
// Indexed form: "SwitchWWN" for licensed products, no name attribute for
// CPs, WWN cards and blades, "WWN" for the other types.
StoredObject* getOrCreateIndexedObject(unsigned short type, const WWNAddress& wwn, unsigned index);
// Pair form: no name attribute.
StoredObject* getOrCreatePairObject(unsigned short type, const WWNAddress& first,
                                    const WWNAddress& second, unsigned short firstNumber,
                                    unsigned short secondNumber);

// Destroys the object stored under the identifier and erases its entry;
// false when there is none.
bool eraseObject(const std::string& oid);
// Destroys every stored object and empties the store.
void eraseMap();

// Finds the fabric stored object of an object from the object's identifier,
// or null. The object model provides it; it runs under the object-model lock.
using FabricLocator = StoredObject* (*)(const char* oid);

// Appends the XML element (StoredObject::writeXml) of every stored object of
// `type`, in identifier order, that belongs to the fabric named by
// `fabricOid`, or to any fabric when that text is empty; a text that names no
// stored object selects nothing. Ports, nodes and devices whose identifier has
// an all-zero name part are left out. A device's fabric is that of the first
// node of its "setNode" set.
void writeObjectsOfType(const std::string& fabricOid, unsigned short type, std::string& out,
                        int encoding, FabricLocator fabricOf);

// Sets "VendorName" of `object` to the company that the world wide name's
// company identifier (its bytes 2 to 4) names, or "Unknown".
void vendorNameOfWwn(StoredObject* object, const WWNAddress& wwn);
