// The records that zoning access operations exchange with their callers.
// Every text is a NUL-terminated copy (array new) that the record owns.
#pragma once

#include <vector>

// One name with an int: an item of the member lists handed to the editing
// operations (only `name` is read there) and of the member lists returned
// by the listings (`type` is then the member type).
struct ZoningNameEntry {
    ZoningNameEntry(const char* name, int type);
    ZoningNameEntry(const ZoningNameEntry& other);
    ZoningNameEntry& operator=(const ZoningNameEntry&) = delete;
    ~ZoningNameEntry();

    char* name;
    int type;
};

// One zoning object of a listing: its name, zoning type, members (owned,
// null until filled; released through ZoningMemberObjectVectorDelete
// before the entry goes) and whether it was read from the active database.
struct ZoningObjectEntry {
    ZoningObjectEntry(const char* name, int type, std::vector<ZoningNameEntry*>* members,
                      int active);
    // Copies name, type, active and a deep copy of the members.
    ZoningObjectEntry(const ZoningObjectEntry& other);
    ZoningObjectEntry& operator=(const ZoningObjectEntry&) = delete;
    // Frees the name only.
    ~ZoningObjectEntry();

    char* name;
    int type;
    std::vector<ZoningNameEntry*>* members;
    int active;
};

// The result of a validation: `data` is stored as given (a flag, not
// owned) and up to three texts, each null when not given.
struct ZoningTextRecord {
    ZoningTextRecord();
    ZoningTextRecord(void* data, const char* text1, const char* text2, const char* text3);
    ZoningTextRecord(const ZoningTextRecord&) = delete;
    ZoningTextRecord& operator=(const ZoningTextRecord&) = delete;
    ~ZoningTextRecord();

    void* data;
    char* text1;
    char* text2;
    char* text3;
};

// A NUL-terminated copy of `text` made with array new (null for null).
char* copyZoningText(const char* text);
