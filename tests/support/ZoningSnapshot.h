// A picture of a fabric's zoning state, to compare before and after an
// edit, a rollback or a load: every table of the fabric's zoning cache with
// its entries (member maps and journal rows included), every stored zoning
// object (zoning capabilities, both databases, zone sets, zones, aliases,
// members and undefined objects) with its attributes, relation sets and
// lists (an empty set or list counts as none, as every reader sees it), and
// the set of their identifiers. Take it while no other thread edits the
// store.
//
//   const ZoningSnapshot before = ZoningSnapshot::take(fabricKey);
//   ... edit, replay ...
//   EXPECT_EQ(ZoningSnapshot::take(fabricKey), before);
#pragma once

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "zoning/ZoningCache.h"

class ZoningSnapshot {
public:
    static ZoningSnapshot take(const std::string& fabricKey) {
        LockGuard model(getObjectStoreMutex());
        ZoningSnapshot snapshot;
        snapshot.takeTables(fabricKey);
        for (const auto& [oid, object] : objectMap()) {
            unsigned short type = 0;
            object->getShortAttr("ObjType", type);
            if (isZoningType(type)) {
                snapshot.identifiers.insert(oid);
                snapshot.takeObject(oid, *object);
            }
        }
        return snapshot;
    }

    // Whether a stored object of `type` is part of the picture.
    static bool isZoningType(unsigned short type) {
        for (unsigned short zoning : {10, 11, 20, 21, 22, 24, 25, 0xFFFB}) {
            if (type == zoning) {
                return true;
            }
        }
        return false;
    }

    bool operator==(const ZoningSnapshot&) const = default;

    // The lines of `other` that this picture lacks ("+") and those it has
    // that `other` lacks ("-").
    std::vector<std::string> differencesFrom(const ZoningSnapshot& other) const {
        std::vector<std::string> missing, extra, out;
        std::set_difference(other.lines.begin(), other.lines.end(), lines.begin(), lines.end(),
                            std::back_inserter(missing));
        std::set_difference(lines.begin(), lines.end(), other.lines.begin(), other.lines.end(),
                            std::back_inserter(extra));
        for (const auto& line : missing) {
            out.push_back("- " + line);
        }
        for (const auto& line : extra) {
            out.push_back("+ " + line);
        }
        return out;
    }

    // The picture as sorted lines: "table <name> ...", "object <oid> ...".
    std::set<std::string> lines;
    std::set<std::string> identifiers;

private:
    void takeTables(const std::string& fabricKey) {
        ZoningCache* cache = findZoningCache(fabricKey);
        if (cache == nullptr) {
            lines.insert("no cache");
            return;
        }
        using namespace zoning_table;
        for (const char* name : {FullNames, ActiveNames}) {
            if (const auto* table = cache->table<ZoningNameTable>(name)) {
                lines.insert(std::string("table ") + name);
                for (const auto& [key, oid] : *table) {
                    lines.insert(std::string("table ") + name + " " + key + " -> " + oid);
                }
            }
        }
        for (const char* name : {FullZones, FullAliases, FullZoneSets, ActiveZones}) {
            if (const auto* table = cache->table<ZoningMemberTable>(name)) {
                lines.insert(std::string("table ") + name);
                for (const auto& [key, members] : *table) {
                    const std::string entry = std::string("table ") + name + " " + key;
                    lines.insert(entry + (members == nullptr ? " (no map)" : " (map)"));
                    for (const auto& [member, oid] :
                         members != nullptr ? *members : ZoningMemberMap()) {
                        lines.insert(entry + " : " + member + " -> " + oid);
                    }
                }
            }
        }
        if (const auto* journal = cache->table<ZoningJournal>(Journal)) {
            int row = 0;
            lines.insert("table DBTRTABLE");
            for (const auto& entry : *journal) {
                lines.insert("table DBTRTABLE " + std::to_string(row++) + " " + entry.verb + " " +
                             entry.first + " " + entry.second + " " + entry.third +
                             (entry.savedMembers != nullptr
                                  ? " map of " + std::to_string(entry.savedMembers->size())
                                  : ""));
            }
        }
        if (const auto* removed = cache->table<ZoningRemovedSet>(RemovedObjects)) {
            lines.insert("table OIDSET");
            for (const auto& oid : *removed) {
                lines.insert("table OIDSET " + oid);
            }
        }
        if (const auto* listing = cache->table<ZoningActiveListing>(ActiveListing)) {
            lines.insert("table AZDBCACHE of " + std::to_string(listing->size()));
            for (const auto& entry : *listing) {
                lines.insert(
                    "table AZDBCACHE " + std::string(entry->name) + " type " +
                    std::to_string(entry->type) + " members " +
                    std::to_string(entry->members != nullptr ? entry->members->size() : 0));
            }
        }
    }

    void takeObject(const std::string& oid, const StoredObject& object) {
        const std::string prefix = "object " + oid + " ";
        lines.insert("object " + oid);
        object.forEachAttribute([&](const std::string& name, const AttributeValue& value) {
            lines.insert(prefix + "attr " + name + " = " + valueText(value));
        });
        object.forEachRelationSet([&](const std::string& name, const auto& set) {
            insertJoined(prefix + "set " + name + " = {", set, " }");
        });
        object.forEachList([&](const std::string& name, const auto& list) {
            insertJoined(prefix + "list " + name + " = [", list, " ]");
        });
        lines.insert(prefix + "element " + (object.getElement() != nullptr ? "yes" : "no"));
    }

    // One line of the texts between `open` and `close`; none when there
    // are none.
    template <class Texts>
    void insertJoined(std::string open, const Texts& texts, const char* close) {
        if (texts.empty()) {
            return;
        }
        for (const auto& text : texts) {
            open += " " + text;
        }
        lines.insert(open + close);
    }

    static std::string valueText(const AttributeValue& value) {
        switch (value.kind()) {
        case AttributeKind::Text:
            return "text:" + value.text();
        case AttributeKind::Short:
            return "short:" + std::to_string(value.shortValue());
        case AttributeKind::Int:
            return "int:" + std::to_string(value.intValue());
        case AttributeKind::Int64:
            return "wwn:" + value.wwnValue().toString();
        case AttributeKind::Handle: {
            char text[32];
            std::snprintf(text, sizeof text, "handle:%p", value.handleValue());
            return text;
        }
        case AttributeKind::Bytes:
            return "bytes:" + std::to_string(value.bytes().size());
        }
        return "?";
    }
};

inline void PrintTo(const ZoningSnapshot& snapshot, std::ostream* out) {
    *out << snapshot.lines.size() << " lines";
    for (const auto& line : snapshot.lines) {
        *out << "\n  " << line;
    }
}
