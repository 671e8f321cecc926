#include "api/StoredObject.h"

#include <algorithm>
#include <utility>

#include "api/StoredObjectXmlWriter.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"

namespace {

constexpr char kOidAttribute[] = "OID";
// Characters 5 to 20 of an identifier: the world wide name part.
constexpr std::size_t kWwnPartStart = 4;
constexpr std::size_t kWwnPartLength = 16;

} // namespace

// A tab becomes a blank, other characters below a blank and those with the
// top bit set are dropped, and leading and trailing blanks are cut.
std::string StoredObject::cleanText(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t') {
            clean += ' ';
        } else if (byte >= ' ' && byte < 0x80) {
            clean += c;
        }
    }
    const std::size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = clean.find_last_not_of(' ');
    return clean.substr(first, last - first + 1);
}


StoredObject::StoredObject() = default;

StoredObject::~StoredObject() {
    destroyContents();
}

// ---------------------------------------------------------------------------
// Attributes

template <class Assign> void StoredObject::assignAttr(const std::string& name, Assign&& assign) {
    LockGuard guard(&attributeLock_);
    if (isBeingDestroyed()) {
        return;
    }
    assign(attributes_[name]);
}

template <class Read> bool StoredObject::readAttr(const std::string& name, Read&& read) const {
    LockGuard guard(&attributeLock_);
    const auto found = attributes_.find(name);
    if (found == attributes_.end()) {
        return false;
    }
    read(found->second);
    return true;
}

void StoredObject::setStringAttr(const std::string& name, const std::string& value) {
    std::string clean = cleanText(value);
    assignAttr(name, [&clean](AttributeValue& v) { v.setText(std::move(clean)); });
}

void StoredObject::setInt64Attr(const std::string& name, std::uint32_t low, std::uint32_t high) {
    assignAttr(name, [=](AttributeValue& v) { v.setInt64(low, high); });
}

void StoredObject::setWwnAttr(const std::string& name, const WWNAddress& wwn) {
    assignAttr(name, [&wwn](AttributeValue& v) { v.setWwn(wwn); });
}

void StoredObject::setShortAttr(const std::string& name, unsigned short value) {
    assignAttr(name, [=](AttributeValue& v) { v.setShort(value); });
}

void StoredObject::setIntAttr(const std::string& name, int value) {
    assignAttr(name, [=](AttributeValue& v) { v.setInt(value); });
}

void StoredObject::setHandleAttr(const std::string& name, void* handle) {
    assignAttr(name, [=](AttributeValue& v) { v.setHandle(handle); });
}

bool StoredObject::setBytesAttr(const std::string& name, const void* bytes, int length) {
    // Checked before the attribute is made, so a refused value leaves no
    // trace.
    AttributeValue checked;
    if (!checked.setBytes(bytes, length)) {
        return false;
    }
    assignAttr(name, [&checked](AttributeValue& v) { v = std::move(checked); });
    return true;
}

bool StoredObject::getStringAttr(const std::string& name, std::string& value) const {
    return readAttr(name, [&value](const AttributeValue& v) { value = v.text(); });
}

bool StoredObject::getShortAttr(const std::string& name, unsigned short& value) const {
    return readAttr(name, [&value](const AttributeValue& v) { value = v.shortValue(); });
}

bool StoredObject::getBoolAttr(const std::string& name, unsigned short& value) const {
    return getShortAttr(name, value);
}

bool StoredObject::getIntAttr(const std::string& name, int& value) const {
    return readAttr(name, [&value](const AttributeValue& v) { value = v.intValue(); });
}

bool StoredObject::getHandleAttr(const std::string& name, void*& handle) const {
    return readAttr(name, [&handle](const AttributeValue& v) { handle = v.handleValue(); });
}

bool StoredObject::getBytesAttr(const std::string& name, std::vector<unsigned char>& bytes) const {
    return readAttr(name, [&bytes](const AttributeValue& v) { bytes = v.bytes(); });
}

std::optional<WWNAddress> StoredObject::getWwnAttr(const std::string& name) const {
    std::optional<WWNAddress> wwn;
    readAttr(name, [&wwn](const AttributeValue& v) { wwn = v.wwnValue(); });
    return wwn;
}

// ---------------------------------------------------------------------------
// Relation sets and string lists

std::string StoredObject::oidOf(const StoredObject* other) {
    std::string oid;
    if (other != nullptr) {
        other->getStringAttr(kOidAttribute, oid);
    }
    return oid;
}

template <class Map, class Edit>
void StoredObject::editLinks(Map& map, const std::string& name, Edit&& edit) {
    LockGuard guard(&relationLock_);
    if (isBeingDestroyed()) {
        return;
    }
    const auto found = map.find(name);
    if (found != map.end()) {
        edit(found->second);
    }
}

template <class Map, class Read>
bool StoredObject::readLinks(const Map& map, const std::string& name, Read&& read) const {
    LockGuard guard(&relationLock_);
    const auto found = map.find(name);
    return found != map.end() && read(found->second);
}

void StoredObject::addRelation(const std::string& name, const std::string& oid) {
    LockGuard guard(&relationLock_);
    if (!isBeingDestroyed()) {
        relationSets_[name].insert(oid);
    }
}

void StoredObject::addRelatedObject(const std::string& name, const StoredObject* other) {
    const std::string oid = oidOf(other);
    if (!oid.empty()) {
        addRelation(name, oid);
    }
}

void StoredObject::removeRelation(const std::string& name, const std::string& oid) {
    editLinks(relationSets_, name, [&oid](RelationSet& set) { set.erase(oid); });
}

void StoredObject::removeRelatedObject(const std::string& name, const StoredObject* other) {
    const std::string oid = oidOf(other);
    if (!oid.empty()) {
        removeRelation(name, oid);
    }
}

void StoredObject::clearSet(const std::string& name) {
    editLinks(relationSets_, name, [](RelationSet& set) { set.clear(); });
}

std::size_t StoredObject::getRelationCount(const std::string& name) const {
    std::size_t count = 0;
    readLinks(relationSets_, name, [&count](const RelationSet& set) {
        count = set.size();
        return true;
    });
    return count;
}

bool StoredObject::hasRelationSet(const std::string& name) const {
    return readLinks(relationSets_, name, [](const RelationSet&) { return true; });
}

bool StoredObject::hasRelation(const std::string& name, const std::string& oid) const {
    return readLinks(relationSets_, name,
                     [&oid](const RelationSet& set) { return set.count(oid) != 0; });
}

bool StoredObject::getNextRelation(const std::string& name, std::string& oid) const {
    return readLinks(relationSets_, name, [&oid](const RelationSet& set) {
        // The empty text sorts before every identifier, so it gives the first.
        const auto next = set.upper_bound(oid);
        if (next == set.end()) {
            return false;
        }
        oid = *next;
        return true;
    });
}

bool StoredObject::getRelations(const std::string& name, std::vector<std::string>& oids) const {
    return readLinks(relationSets_, name, [&oids](const RelationSet& set) {
        oids.assign(set.begin(), set.end());
        return true;
    });
}

void StoredObject::appendListValue(const std::string& name, const std::string& text) {
    LockGuard guard(&relationLock_);
    if (!isBeingDestroyed()) {
        lists_[name].push_back(text);
    }
}

void StoredObject::appendListObject(const std::string& name, const StoredObject* other) {
    const std::string oid = oidOf(other);
    if (!oid.empty()) {
        appendListValue(name, oid);
    }
}

void StoredObject::removeListValue(const std::string& name, const std::string& text) {
    editLinks(lists_, name, [&text](StringList& list) {
        const auto found = std::find(list.begin(), list.end(), text);
        if (found != list.end()) {
            list.erase(found);
        }
    });
}

void StoredObject::removeListObject(const std::string& name, const StoredObject* other) {
    const std::string oid = oidOf(other);
    if (!oid.empty()) {
        removeListValue(name, oid);
    }
}

void StoredObject::clearList(const std::string& name) {
    editLinks(lists_, name, [](StringList& list) { list.clear(); });
}

bool StoredObject::listContains(const std::string& name, const std::string& text) const {
    return !text.empty() && readLinks(lists_, name, [&text](const StringList& list) {
        return std::find(list.begin(), list.end(), text) != list.end();
    });
}

bool StoredObject::getList(const std::string& name, StringList& texts) const {
    return readLinks(lists_, name, [&texts](const StringList& list) {
        texts = list;
        return true;
    });
}

bool StoredObject::beginList(const std::string& name, ListPosition& position) const {
    return readLinks(lists_, name, [&position](const StringList&) {
        position = 0;
        return true;
    });
}

bool StoredObject::nextListValue(const std::string& name, ListPosition& position,
                                 std::string& text) const {
    return readLinks(lists_, name, [&](const StringList& list) {
        if (position >= list.size()) {
            return false;
        }
        text = list[position++];
        return true;
    });
}

// ---------------------------------------------------------------------------
// Identity, element and life

bool StoredObject::hasWwn() const {
    std::string oid;
    if (!getStringAttr(kOidAttribute, oid) || oid.size() < kWwnPartStart + kWwnPartLength) {
        return false;
    }
    return oid.compare(kWwnPartStart, kWwnPartLength, std::string(kWwnPartLength, '0')) != 0;
}

void StoredObject::setElement(StoredElement* element) {
    StoredElement* discarded = nullptr;
    {
        LockGuard guard(&relationLock_);
        if (isBeingDestroyed()) {
            discarded = element;
        } else {
            StoredElement* previous = element_.exchange(element, std::memory_order_acq_rel);
            if (previous != element) {
                discarded = previous;
            }
        }
    }
    delete discarded;
}

void StoredObject::destroyContents() {
    LockGuard storeGuard(getObjectStoreMutex());
    LockGuard relationGuard(&relationLock_);
    LockGuard attributeGuard(&attributeLock_);
    beingDestroyed_.store(true);
    attributes_.clear();
    relationSets_.clear();
    lists_.clear();
    delete element_.exchange(nullptr, std::memory_order_acq_rel);
}

void StoredObject::writeXml(std::string& out, int encoding) {
    if (takeFetchFailed()) {
        return;
    }
    if (StoredObjectXmlWriter* writer = getStoredObjectXmlWriter()) {
        writer->write(*this, out, encoding);
    }
}

void StoredObject::writeXmlTree(std::string& out, int encoding) {
    if (takeFetchFailed()) {
        return;
    }
    if (StoredObjectXmlWriter* writer = getStoredObjectXmlWriter()) {
        writer->writeTree(*this, out, encoding);
    }
}

// ---------------------------------------------------------------------------
// Visits

void StoredObject::forEachAttribute(
    const std::function<void(const std::string&, const AttributeValue&)>& visit) const {
    LockGuard guard(&attributeLock_);
    for (const auto& [name, value] : attributes_) {
        visit(name, value);
    }
}

void StoredObject::forEachRelationSet(
    const std::function<void(const std::string&, const RelationSet&)>& visit) const {
    LockGuard guard(&relationLock_);
    for (const auto& [name, set] : relationSets_) {
        visit(name, set);
    }
}

void StoredObject::forEachList(
    const std::function<void(const std::string&, const StringList&)>& visit) const {
    LockGuard guard(&relationLock_);
    for (const auto& [name, list] : lists_) {
        visit(name, list);
    }
}
