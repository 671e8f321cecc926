#include "editing/MemberListItems.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <orvane/objects.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabApiUtil.h"
#include "objects/ObjectTypes.h"

namespace {

constexpr std::size_t kEntrySize = sizeof(OID_t);

// Why an entry gave no name.
constexpr int kNotStored = -21;
constexpr int kNoType = -20;
constexpr int kNoWwn = -17;
constexpr int kNotAMember = -71;
constexpr int kNoMemory = -2;

// The name attribute of the zoning types; null for the others.
const char* nameAttributeOf(unsigned short type) {
    switch (type) {
    case ObjectType::Zone:
        return "ZoneName";
    case ObjectType::ZoneAlias:
        return "ZoneAliasName";
    case ObjectType::ZoneMember:
        return "MemberName";
    case ObjectType::UndefinedZoningObject:
        return "UndefinedObjName";
    default:
        return nullptr;
    }
}

// The name of one entry, or the code of why there is none.
int nameOfEntry(const char* entry, std::string& name) {
    const StoredObject* object = findObjectByOid(entry);
    if (object == nullptr) {
        return kNotStored;
    }
    unsigned short type = 0;
    if (!object->getShortAttr("ObjType", type)) {
        return kNoType;
    }
    name = " ";
    if (type == ObjectType::Port || type == ObjectType::Switch || type == ObjectType::Node) {
        const std::optional<WWNAddress> wwn = object->getWwnAttr("WWN");
        if (!wwn) {
            return kNoWwn;
        }
        char* text = nullptr;
        if (Int_WWNtoStr(wwn->bytes(), &text) == 0 && text != nullptr) {
            name = text;
        }
        if (text != nullptr) {
            falFreeObject(text);
        }
        return 0;
    }
    const char* attribute = nameAttributeOf(type);
    if (attribute == nullptr) {
        return kNotAMember;
    }
    std::string value;
    if (object->getStringAttr(attribute, value)) {
        name = value;
    }
    return 0;
}

char* copyText(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

} // namespace

int ConvertMemberNames(const char* members, int* count, char*** names) {
    if (members == nullptr || count == nullptr || names == nullptr) {
        return -3;
    }
    std::size_t entries = 0;
    while (members[entries * kEntrySize] != '\0') {
        ++entries;
    }
    // Room for at least one pointer, so an empty list still hands out an
    // array the caller frees the same way.
    auto** out = static_cast<char**>(std::calloc(entries == 0 ? 1 : entries, sizeof(char*)));
    if (out == nullptr) {
        return kNoMemory;
    }
    int filled = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        std::string name;
        const int status = nameOfEntry(members + i * kEntrySize, name);
        if (status != 0) {
            if (entries == 1) {
                std::free(out);
                return status;
            }
            continue;
        }
        char* copy = copyText(name);
        if (copy == nullptr) {
            FreeMemberNames(out, filled);
            return kNoMemory;
        }
        out[filled++] = copy;
    }
    *count = filled;
    *names = out;
    return 0;
}

void FreeMemberNames(char** names, int count) {
    if (names == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::free(names[i]);
    }
    std::free(names);
}
