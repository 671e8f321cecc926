// Copying a fresh object record into the stored object of its identifier,
// so that the object listings write the values just read.
#pragma once

// Sets the attributes, relation sets and lists of the stored object whose
// identifier is the record's from the record's fields, by the record's
// object type; a type without fields to copy changes nothing. An error
// record marks the object that failed to be fetched, so that the next
// listing leaves it out once. Nothing happens for a null record or one
// whose identifier names no stored object. Holds the object-model lock.
void storeObjectRecord(const void* record);
