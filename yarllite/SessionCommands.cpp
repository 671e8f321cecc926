#include "yarllite/SessionCommands.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/fabapi.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/XmlEscape.h"

namespace {

constexpr char kSource[] = "yarldcmd";

} // namespace

int YarlInitializeFabricAccess(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlInitializeFabricAccess", kSource);
    const auto elements = elementsNamed(context.root, "IPAddress");
    if (elements.empty()) {
        return InitializeFabricAccess(nullptr);
    }
    // An element without `value` gives an empty address, which ends the
    // list for the export.
    std::vector<std::string> addresses;
    addresses.reserve(elements.size() + 1);
    for (const xercesc::DOMElement* element : elements) {
        addresses.push_back(fetchAttrValue(element, "value"));
    }
    addresses.emplace_back();
    std::vector<char*> list;
    list.reserve(addresses.size());
    for (std::string& address : addresses) {
        list.push_back(address.data());
    }
    return InitializeFabricAccess(list.data());
}

int YarlGetFabricIdentities(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetFabricIdentities", kSource);
    FabricIdentitiesType* table = nullptr;
    const int status = GetFabricIdentities(&table);
    const CallerBlock<FabricIdentitiesType> rows(table); // freed also after a failure
    if (status != 0) {
        return status;
    }
    for (const FabricIdentitiesType* row = rows.get(); row != nullptr && row->fabricOID[0] != '\0';
         ++row) {
        // A row without a list gives an empty address.
        const char* firstAddress =
            row->proxyAddresses != nullptr && row->proxyAddresses[0] != nullptr
                ? row->proxyAddresses[0]
                : "";
        context.reply += "\n<FabricReference OID=\"";
        appendEscaped(context.reply,
                      std::string_view(row->fabricOID, strnlen(row->fabricOID, sizeof(OID_t))));
        context.reply += "\" IPAddress=\"";
        appendEscaped(context.reply, firstAddress);
        context.reply += "\" />\n";
    }
    return 0;
}
