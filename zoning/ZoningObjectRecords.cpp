#include "zoning/ZoningObjectRecords.h"

#include <cstring>

#include "foundation/OidText.h"

OID_t* writeZoningOidList(char*& tail, const std::vector<std::string>& oids) {
    auto* list = reinterpret_cast<OID_t*>(tail);
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(list[i], oids[i].c_str());
    }
    list[oids.size()][0] = '\0';
    tail += oidListRoom(oids.size());
    return list;
}

char* writeZoningText(char*& tail, const std::string& text) {
    char* copy = tail;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    tail += text.size() + 1;
    return copy;
}
