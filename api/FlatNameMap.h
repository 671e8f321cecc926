// A small map from names to values, kept as one vector sorted by name: a
// stored object's handful of attributes, sets or lists sit in one block, are
// found by a binary search over adjacent entries and are walked in name
// order, with no tree node to allocate or chase per name.
//
// An insertion moves the entries after it, so a reference or iterator into
// the map lasts only until the next insertion or clear().
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

template <class Value> class FlatNameMap {
public:
    using Entry = std::pair<std::string, Value>;
    using iterator = typename std::vector<Entry>::iterator;
    using const_iterator = typename std::vector<Entry>::const_iterator;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    iterator find(std::string_view name) {
        const auto at = lowerBound(entries_, name);
        return at != entries_.end() && at->first == name ? at : entries_.end();
    }
    const_iterator find(std::string_view name) const {
        const auto at = lowerBound(entries_, name);
        return at != entries_.end() && at->first == name ? at : entries_.end();
    }
    // The value of `name`, made default when there is none.
    Value& operator[](std::string_view name) {
        const auto at = lowerBound(entries_, name);
        if (at != entries_.end() && at->first == name) {
            return at->second;
        }
        return entries_.emplace(at, std::string(name), Value())->second;
    }
    void clear() { entries_.clear(); }

private:
    template <class Entries> static auto lowerBound(Entries& entries, std::string_view name) {
        return std::lower_bound(entries.begin(), entries.end(), name,
                                [](const Entry& entry, std::string_view wanted) {
                                    return std::string_view(entry.first) < wanted;
                                });
    }

    std::vector<Entry> entries_;
};
