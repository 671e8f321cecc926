// A result vector under construction: a listing fills it and hands it to
// its caller; when the listing fails first, the vector and everything in
// it are given back through the access object's release operation.
#pragma once

#include <memory>
#include <vector>

#include "zoning/UDAL_ZoningAccess_Ifc.h"

// Appends an item held by a unique owner; the owner keeps (and frees) it
// when appending fails.
template <class Item, class Owner> void appendOwned(std::vector<Item>& vector, Owner item) {
    vector.push_back(item.get());
    item.release();
}

template <class Item> struct ZoningVectorRelease;
template <> struct ZoningVectorRelease<ZoningObjectEntry*> {
    static void release(UDAL_ZoningAccess_Ifc& access, std::vector<ZoningObjectEntry*>** vector) {
        access.ZoningObjectVectorDelete(vector);
    }
};
template <> struct ZoningVectorRelease<ZoningNameEntry*> {
    static void release(UDAL_ZoningAccess_Ifc& access, std::vector<ZoningNameEntry*>** vector) {
        access.ZoningMemberObjectVectorDelete(vector);
    }
};
template <> struct ZoningVectorRelease<char*> {
    static void release(UDAL_ZoningAccess_Ifc& access, std::vector<char*>** vector) {
        access.ZoningObjectNameVectorDelete(vector);
    }
};

template <class Item> class ZoningResultVector {
public:
    using Vector = std::vector<Item>;

    // A new empty vector (std::bad_alloc when there is no memory).
    explicit ZoningResultVector(UDAL_ZoningAccess_Ifc& access)
        : access_(access), vector_(new Vector()) {}
    // Takes a vector that an operation returned (null gives an empty one).
    ZoningResultVector(UDAL_ZoningAccess_Ifc& access, Vector* adopted)
        : access_(access), vector_(adopted != nullptr ? adopted : new Vector()) {}
    ~ZoningResultVector() {
        if (vector_ != nullptr) {
            ZoningVectorRelease<Item>::release(access_, &vector_);
        }
    }
    ZoningResultVector(const ZoningResultVector&) = delete;
    ZoningResultVector& operator=(const ZoningResultVector&) = delete;

    // Takes ownership of `item` (also when appending it fails).
    template <class Owner> void add(Owner item) { appendOwned(*vector_, std::move(item)); }
    // Moves every item of `other` to the end of this vector.
    void append(ZoningResultVector& other) {
        vector_->reserve(vector_->size() + other->size());
        vector_->insert(vector_->end(), other->begin(), other->end());
        other->clear();
    }
    Vector& operator*() const { return *vector_; }
    Vector* operator->() const { return vector_; }
    bool empty() const { return vector_->empty(); }

    // Hands the vector to the caller.
    Vector* release() {
        Vector* vector = vector_;
        vector_ = nullptr;
        return vector;
    }

private:
    UDAL_ZoningAccess_Ifc& access_;
    Vector* vector_;
};
