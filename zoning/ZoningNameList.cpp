#include "zoning/ZoningNameList.h"

#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_set>

#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningRecords.h"

namespace {

constexpr char kOperation[] = "processResponse";

} // namespace

ZoningNameList* processResponse(const ZoningNamesReply* reply) {
    if (reply == nullptr) {
        throw UDAL_ZoningException(ZONING_ERR_BAD_ARGUMENT, kOperation);
    }
    if (reply->names.names_len == 0 || reply->names.names_val == nullptr) {
        throw UDAL_ZoningException(ZONING_ERR_NOTHING_FOUND, kOperation);
    }
    ZoningNameList* list = nullptr;
    try {
        list = new ZoningNameList();
        std::unordered_set<std::string_view> seen;
        for (u_int i = 0; i < reply->names.names_len; ++i) {
            const char* name = reply->names.names_val[i];
            if (name == nullptr || !seen.insert(name).second) {
                continue;
            }
            std::unique_ptr<char[]> copy(copyZoningText(name));
            list->push_back(copy.get());
            copy.release();
        }
    } catch (const std::bad_alloc&) {
        releaseNameList(&list);
        throw UDAL_ZoningException(ZONING_ERR_NO_MEMORY, kOperation);
    }
    return list;
}

void releaseNameList(ZoningNameList** list) {
    if (list == nullptr || *list == nullptr) {
        return;
    }
    for (char* name : **list) {
        delete[] name;
    }
    delete *list;
    *list = nullptr;
}

bool nameListContains(const char* text, const ZoningNameList* list) {
    if (text == nullptr || list == nullptr) {
        return false;
    }
    for (const char* name : *list) {
        if (std::strcmp(name, text) == 0) {
            return true;
        }
    }
    return false;
}
