#include "yarllite/SessionCommands.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/fabapi.h>
#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/SessionEstablished.h"

namespace {

constexpr char kSource[] = "yarldcmd";

// A fabric identifier field holding at most the first 47 characters of
// `text`.
struct FabricField {
    explicit FabricField(const std::string& text) { CopyName48(oid, text.c_str()); }
    std::string text() const { return std::string(oid, strnlen(oid, sizeof oid)); }

    OID_t oid{};
};

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

int YarlEstablishFabricSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEstablishFabricSession", kSource);
    // Taken as it stands, white space included.
    const std::string reference = extractText(context.root, "ObjectReference");
    if (reference.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const FabricField fabric(reference);
    const xercesc::DOMNode* login = fetchNodeByName(context.root, "Login");
    if (login == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    // A missing attribute gives an empty text.
    const std::string name = fetchAttrValue(login, "name");
    const std::string password = fetchAttrValue(login, "password");
    const int status = EstablishFabricSession(&fabric.oid, name.c_str(), password.c_str());
    // A failure clears the mark, also on a fabric an earlier login opened.
    markSessionEstablished(fabric.text(), status == FABAPI_OK);
    return status;
}

int YarlCloseFabricSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlCloseFabricSession", kSource);
    // Without an ObjectReference the export still runs, with an empty
    // identifier. Closing removes the fabric's stored objects, its mark
    // with them.
    const FabricField fabric(extractText(fetchNodeByName(context.root, "ObjectReference")));
    return CloseFabricSession(&fabric.oid);
}

int YarlCloseFabricSessions(CommandContext&) {
    MethodTrace trace(Vosk_API_XML, "YarlCloseFabricSessions", kSource);
    return CloseFabricSessions();
}
