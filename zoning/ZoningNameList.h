// The unique-name list: the names of one name-list reply, each once, in the
// order of their first appearance, as array-new copies the list owns.
#pragma once

#include <list>
#include <memory>

#include "remote_api.h"

using ZoningNameList = std::list<char*>;

// The reply's names made unique. Throws code 7 for a null reply, 9 when the
// reply names nothing, 13 when memory runs out.
ZoningNameList* processResponse(const ZoningNamesReply* reply);
// Frees every name and the list, and sets `*list` to null; a null pointer
// or a null list is accepted.
void releaseNameList(ZoningNameList** list);
// True when a name of the list equals `text` (exact byte comparison); false
// for a null text or list.
bool nameListContains(const char* text, const ZoningNameList* list);

// Owns a unique-name list (releaseNameList when it goes).
struct ZoningNameListRelease {
    void operator()(ZoningNameList* list) const { releaseNameList(&list); }
};
using OwnedNameList = std::unique_ptr<ZoningNameList, ZoningNameListRelease>;
