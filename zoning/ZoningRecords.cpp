#include "zoning/ZoningRecords.h"

#include <cstring>
#include <memory>

char* copyZoningText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

ZoningNameEntry::ZoningNameEntry(const char* name, int type)
    : name(copyZoningText(name != nullptr ? name : "")), type(type) {}

ZoningNameEntry::ZoningNameEntry(const ZoningNameEntry& other)
    : name(copyZoningText(other.name)), type(other.type) {}

ZoningNameEntry::~ZoningNameEntry() {
    delete[] name;
}

ZoningObjectEntry::ZoningObjectEntry(const char* name, int type,
                                     std::vector<ZoningNameEntry*>* members, int active)
    : name(copyZoningText(name != nullptr ? name : "")), type(type), members(members),
      active(active) {}

ZoningObjectEntry::ZoningObjectEntry(const ZoningObjectEntry& other)
    : name(nullptr), type(other.type), members(nullptr), active(other.active) {
    std::unique_ptr<char[]> nameCopy(copyZoningText(other.name));
    if (other.members != nullptr) {
        auto copies = std::make_unique<std::vector<ZoningNameEntry*>>();
        copies->reserve(other.members->size());
        try {
            for (const ZoningNameEntry* member : *other.members) {
                copies->push_back(new ZoningNameEntry(*member));
            }
        } catch (...) {
            for (ZoningNameEntry* copy : *copies) {
                delete copy;
            }
            throw;
        }
        members = copies.release();
    }
    name = nameCopy.release();
}

ZoningObjectEntry::~ZoningObjectEntry() {
    delete[] name;
}

ZoningTextRecord::ZoningTextRecord()
    : data(nullptr), text1(nullptr), text2(nullptr), text3(nullptr) {}

ZoningTextRecord::ZoningTextRecord(void* data, const char* text1, const char* text2,
                                   const char* text3)
    : data(data), text1(nullptr), text2(nullptr), text3(nullptr) {
    std::unique_ptr<char[]> first(copyZoningText(text1));
    std::unique_ptr<char[]> second(copyZoningText(text2));
    this->text3 = copyZoningText(text3);
    this->text1 = first.release();
    this->text2 = second.release();
}

ZoningTextRecord::~ZoningTextRecord() {
    delete[] text1;
    delete[] text2;
    delete[] text3;
}
