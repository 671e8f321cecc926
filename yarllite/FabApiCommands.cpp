#include "yarllite/FabApiCommands.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <xercesc/util/XMLString.hpp>

#include <orvane/fabapi.h>
#include <orvane/objects.h>
#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/ReplyDocument.h"
#include "yarllite/SecretMask.h"
#include "yarllite/SessionEstablished.h"

namespace {

constexpr char kSource[] = "yarldopng";

// "<FabAPI_ProxyEntry pcHostName=... pcUser=... pcPassword=... />": the
// password never leaves the library, whatever the entry holds.
void appendProxyLine(std::string& reply, const FabAPI_ProxyEntry& entry) {
    reply += "<FabAPI_ProxyEntry pcHostName=\"";
    appendEscaped(reply, entry.pcHostName != nullptr ? entry.pcHostName : "");
    reply += "\" pcUser=\"";
    appendEscaped(reply, entry.pcUser != nullptr ? entry.pcUser : "");
    reply += "\" pcPassword=\"";
    reply += SecretMask::kMask;
    reply += "\" />\n";
}

void appendProxyLines(std::string& reply, const FabAPI_ProxyEntry* entries, int count) {
    for (int i = 0; entries != nullptr && i < count; ++i) {
        appendProxyLine(reply, entries[i]);
    }
}

// The signature block of GetFabricSignature and SyncSession; SyncSession
// closes it after a line break of its own.
void appendSignatureBlock(std::string& reply, const FabAPI_FabricSignature& signature,
                          bool breakBeforeEnd) {
    reply += "<FabAPI_FabricSignature structFabricOID=\"";
    appendEscaped(reply, oidFieldText(signature.structFabricOID));
    reply += "\" >\n";
    for (int i = 0; signature.structSwitchOIDs != nullptr && i < signature.count; ++i) {
        reply += "<structSwitchOID>";
        appendEscaped(reply, oidFieldText(signature.structSwitchOIDs[i]));
        reply += "</structSwitchOID>\n";
    }
    reply += breakBeforeEnd ? "\n</FabAPI_FabricSignature>\n" : "</FabAPI_FabricSignature>\n";
}

// A signature answer: a failure writes its fault alone; a warning (a
// positive status with a signature) its fault and then the block.
void appendSignatureAnswer(std::string& reply, int status, const FabAPI_FabricSignature* signature,
                           bool breakBeforeEnd) {
    appendFault(reply, status);
    if (status >= 0 && signature != nullptr) {
        appendSignatureBlock(reply, *signature, breakBeforeEnd);
    }
}

// "<tag attribute="value" >FAULT</tag>": the answer for one request
// element the export refused.
void appendRefusedElement(std::string& reply, const char* tag, const char* attribute,
                          const std::string& value, int status) {
    reply += '<';
    reply += tag;
    reply += ' ';
    reply += attribute;
    reply += "=\"";
    appendEscaped(reply, value);
    reply += "\" >";
    appendFault(reply, status);
    reply += "</";
    reply += tag;
    reply += '>';
}

using ProxyExport = int (*)(FabAPI_ProxyEntry*);

// Append or remove every FabAPI_ProxyEntry of the request in order.
int eachProxyEntry(CommandContext& context, ProxyExport call) {
    int status = 0;
    for (const xercesc::DOMElement* element : elementsNamed(context.root, "FabAPI_ProxyEntry")) {
        std::string host = fetchAttrValue(element, "pcHostName");
        std::string user = fetchAttrValue(element, "pcUser");
        std::string password = fetchAttrValue(element, "pcPassword");
        FabAPI_ProxyEntry entry{host.data(), user.data(), password.data()};
        const int refused = call(&entry);
        if (refused != 0) {
            appendRefusedElement(context.reply, "FabAPI_ProxyEntry", "pcHost", host, refused);
            status = refused;
        }
    }
    return status;
}

// The session of the first FabAPI_ClientSessionID element's text, or an
// empty text when there is none.
std::string sessionTextOfFirst(const CommandContext& context) {
    return extractText(fetchNodeByName(context.root, "FabAPI_ClientSessionID"));
}

// One fabric signature of a request: "structFabricOID" and the texts of
// the direct child elements named structSwitchOID; other child nodes (the
// white space between the elements) take no place in the switch list.
class RequestSignature {
public:
    explicit RequestSignature(const xercesc::DOMElement* element) {
        CopyName48(record_.structFabricOID, fetchAttrValue(element, "structFabricOID").c_str());
        std::vector<const xercesc::DOMNode*> children;
        for (const xercesc::DOMNode* child = element->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
                xercesc::XMLString::equals(child->getNodeName(), kSwitchTag)) {
                children.push_back(child);
            }
        }
        if (!children.empty()) {
            switches_ = std::make_unique<OID_t[]>(children.size());
            for (std::size_t i = 0; i < children.size(); ++i) {
                CopyName48(switches_[i], extractText(children[i]).c_str());
            }
        }
        record_.structSwitchOIDs = switches_.get();
        record_.count = static_cast<int>(children.size());
    }

    FabAPI_FabricSignature* record() { return &record_; }

private:
    static constexpr XMLCh kSwitchTag[] = {'s', 't', 'r', 'u', 'c', 't', 'S', 'w',
                                           'i', 't', 'c', 'h', 'O', 'I', 'D', 0};
    std::unique_ptr<OID_t[]> switches_;
    FabAPI_FabricSignature record_{};
};

} // namespace

int YarlInitializeFabricAPI(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlInitializeFabricAPI", kSource);
    // The export does not read the list; it is handed over as it came.
    std::vector<std::string> texts;
    const auto elements = elementsNamed(context.root, "FabAP_ConfigEntry");
    texts.reserve(2 * elements.size());
    for (const xercesc::DOMElement* element : elements) {
        texts.push_back(fetchAttrValue(element, "pcName"));
        texts.push_back(fetchAttrValue(element, "pcValue"));
    }
    std::vector<FabAPI_ConfigEntry> entries;
    entries.reserve(elements.size());
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
        entries.push_back(FabAPI_ConfigEntry{texts[i].data(), texts[i + 1].data()});
    }
    const int status = FabAPI_InitializeFabricAPI(entries.empty() ? nullptr : entries.data());
    appendFault(context.reply, status);
    return status;
}

int YarlShutdownFabricAPI(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlShutdownFabricAPI", kSource);
    const int status = FabAPI_ShutdownFabricAPI();
    appendFault(context.reply, status);
    return status;
}

int YarlAppendProxyEntry(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlAppendProxyEntry", kSource);
    return eachProxyEntry(context, FabAPI_AppendProxyEntry);
}

int YarlRemoveProxyEntry(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlRemoveProxyEntry", kSource);
    return eachProxyEntry(context, FabAPI_RemoveProxyEntry);
}

int YarlEnumerateProxyEntries(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEnumerateProxyEntries", kSource);
    FabAPI_ProxyEntryList* out = nullptr;
    const int status = FabAPI_ListProxyEntries(&out);
    const CallerBlock<FabAPI_ProxyEntryList> list(out);
    if (status != 0) {
        appendFault(context.reply, status);
        return status;
    }
    if (list != nullptr) {
        appendProxyLines(context.reply, list->entries, list->count);
    }
    return 0;
}

int YarlDiscoverReachableFabrics(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDiscoverReachableFabrics", kSource);
    FabAPI_FabricDiscoveryInfo* out = nullptr;
    const int status = FabAPI_DiscoverFabrics(&out);
    const CallerBlock<FabAPI_FabricDiscoveryInfo> info(out);
    if (status != 0 || info == nullptr) {
        appendFault(context.reply, status);
        return status;
    }
    std::string& reply = context.reply;
    reply += "<structFabIdentities>\n";
    for (int i = 0; info->structFabIdentities != nullptr && i < info->identityCount; ++i) {
        const FabAPI_FabricIdentity& identity = info->structFabIdentities[i];
        const FabAPI_FabricSignature& signature = identity.structFabSig;
        reply += "<FabAPI_FabricIdentity>\n<structFabSig structFabricOID=\"";
        appendEscaped(reply, oidFieldText(signature.structFabricOID));
        reply += "\" >\n";
        for (int s = 0; signature.structSwitchOIDs != nullptr && s < signature.count; ++s) {
            reply += "<structSwitchOIDs>";
            appendEscaped(reply, oidFieldText(signature.structSwitchOIDs[s]));
            reply += "</structSwitchOIDs>\n";
        }
        reply += "</structFabSig>\n";
        appendProxyLines(reply, identity.entries, identity.count);
        reply += "</FabAPI_FabricIdentity>\n";
    }
    reply += "</structFabIdentities>\n<structUnreachableEntries>\n";
    appendProxyLines(reply, info->structUnreachableEntries, info->unreachableCount);
    reply += "</structUnreachableEntries>\n<structUnstableEntries>\n";
    appendProxyLines(reply, info->structUnstableEntries, info->unstableCount);
    reply += "</structUnstableEntries>\n";
    return 0;
}

int YarlEstablishSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEstablishSession", kSource);
    const xercesc::DOMNode* element = fetchNodeByName(context.root, "FabAPI_FabricIdentity");
    if (element == nullptr) {
        appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    FabAPI_FabricIdentity identity{};
    CopyName48(identity.structFabSig.structFabricOID, fetchAttrValue(element, "fabricOID").c_str());
    FabAPI_ClientSessionID* out = nullptr;
    const int status = FabAPI_EstablishSession(&identity, &out);
    const CallerBlock<FabAPI_ClientSessionID> session(out);
    appendFault(context.reply, status); // nothing for 0; the warning 500 comes first
    const bool opened = status == FABAPI_OK || status == FABAPI_WARN_NO_LINKS;
    if (opened && session != nullptr) {
        const std::string id(oidFieldText(session->structSessionID));
        context.reply += "<FabAPI_ClientSessionID structSessionID=\"";
        appendEscaped(context.reply, id);
        context.reply += "\" />\n";
        markSessionEstablished(id, true);
    }
    return status;
}

int YarlGetFabricSignature(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetFabricSignature", kSource);
    int status = 0;
    for (const xercesc::DOMElement* element :
         elementsNamed(context.root, "FabAPI_ClientSessionID")) {
        const std::string wanted = fetchAttrValue(element, "OID");
        // The request's text names a session only when it is one of the
        // open sessions, byte for byte; otherwise the export gets none.
        FabAPI_ClientSessionIDList* listed = nullptr;
        FabAPI_ClientSessionID* match = nullptr;
        if (FabAPI_ListSessions(&listed) == 0 && listed != nullptr) {
            for (int i = 0; listed->ids != nullptr && i < listed->count; ++i) {
                FabAPI_ClientSessionID* candidate = listed->ids[i];
                if (candidate != nullptr && oidFieldText(candidate->structSessionID) == wanted) {
                    match = candidate;
                    break;
                }
            }
        }
        const CallerBlock<FabAPI_ClientSessionIDList> sessions(listed);
        FabAPI_FabricSignature* out = nullptr;
        status = FabAPI_GetFabricSignature(match, &out);
        const CallerBlock<FabAPI_FabricSignature> signature(out);
        appendSignatureAnswer(context.reply, status, signature.get(), false);
    }
    return status;
}

int YarlSyncSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlSyncSession", kSource);
    int status = 0;
    for (const xercesc::DOMElement* element :
         elementsNamed(context.root, "FabAPI_ClientSessionID")) {
        OidField id(fetchAttrValue(element, "OID"));
        FabAPI_ClientSessionID session{id.oid};
        FabAPI_FabricSignature* out = nullptr;
        status = FabAPI_SyncSession(&session, &out);
        const CallerBlock<FabAPI_FabricSignature> signature(out);
        appendSignatureAnswer(context.reply, status, signature.get(), true);
    }
    return status;
}

int YarlEnumerateSessions(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEnumerateSessions", kSource);
    FabAPI_ClientSessionIDList* out = nullptr;
    const int status = FabAPI_ListSessions(&out);
    const CallerBlock<FabAPI_ClientSessionIDList> list(out);
    if (status != 0) {
        appendFault(context.reply, status);
        return status;
    }
    for (int i = 0; list != nullptr && list->ids != nullptr && i < list->count; ++i) {
        if (list->ids[i] == nullptr) {
            continue;
        }
        context.reply += "<FabAPI_ClientSessionID>";
        appendEscaped(context.reply, oidFieldText(list->ids[i]->structSessionID));
        context.reply += "</FabAPI_ClientSessionID>\n";
    }
    return 0;
}

int YarlCloseSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlCloseSession", kSource);
    const std::string text = sessionTextOfFirst(context);
    if (text.empty()) {
        appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OidField id(text);
    FabAPI_ClientSessionID session{id.oid};
    const int status = FabAPI_CloseSession(&session);
    appendFault(context.reply, status);
    return status;
}

int YarlCloseSessions(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlCloseSessions", kSource);
    const int status = FabAPI_CloseSessions();
    appendFault(context.reply, status);
    return status;
}

int YarlCompareFabricSignatures(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlCompareFabricSignatures", kSource);
    const auto elements = elementsNamed(context.root, "FabAPI_FabricSignatures");
    if (elements.size() < 2) {
        appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    RequestSignature first(elements[0]);
    RequestSignature second(elements[1]);
    int result = 0;
    const int status = FabAPI_CompareFabricSignatures(first.record(), second.record(), &result);
    if (status != 0) {
        appendFault(context.reply, status);
        return status;
    }
    context.reply += "<CompareFabricSignatures result=\"" + std::to_string(result) + "\" />\n";
    return 0;
}

int YarlGetFabricOidFromSession(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetFabricOidFromSession", kSource);
    const std::string text = sessionTextOfFirst(context);
    if (text.empty()) {
        appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OidField id(text);
    FabAPI_ClientSessionID session{id.oid};
    OID_t fabric{};
    const int status = FabAPI_GetFabricOidFromSession(&session, fabric);
    if (status != 0) {
        appendFault(context.reply, status);
        return status;
    }
    context.reply += "<Fabric OID=\"";
    appendEscaped(context.reply, oidFieldText(fabric));
    context.reply += "\" />\n";
    return 0;
}

int YarlStartTracing(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlStartTracing", kSource);
    int status = 0;
    for (const xercesc::DOMElement* element : elementsNamed(context.root, "FabAPI_TraceID")) {
        std::string id = fetchAttrValue(element, "pcTraceID");
        const std::string file = fetchAttrValue(element, "pcFile");
        if (id.empty() || file.empty()) {
            // Elements already handled keep their effect.
            appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        FabAPI_TraceID traceId{id.data()};
        const int refused = FabAPI_StartTracing(&traceId, file.c_str());
        if (refused != 0) {
            appendRefusedElement(context.reply, "FabAPI_TraceID", "pcTraceID", id, refused);
            context.reply += '\n';
            status = refused;
        }
    }
    return status;
}

int YarlStopTracing(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlStopTracing", kSource);
    int status = 0;
    for (const xercesc::DOMElement* element : elementsNamed(context.root, "FabAPI_TraceID")) {
        std::string id = fetchAttrValue(element, "pcTraceID");
        if (id.empty()) {
            appendFault(context.reply, FABAPI_ERR_BAD_ARGUMENT);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        FabAPI_TraceID traceId{id.data()};
        const int refused = FabAPI_StopTracing(&traceId);
        if (refused != 0) {
            appendRefusedElement(context.reply, "FabAPI_TraceID", "pcTraceID", id, refused);
            context.reply += '\n';
            status = refused;
        }
    }
    return status;
}

int YarlTrace(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlTrace", kSource);
    int status = 0;
    for (const xercesc::DOMElement* element : elementsNamed(context.root, "FabAPI_Trace")) {
        std::string id = fetchAttrValue(element, "pcTraceID");
        const std::string message = fetchAttrValue(element, "pcTraceMsg");
        FabAPI_TraceID traceId{id.data()};
        status = FabAPI_Trace(&traceId, message.c_str());
        appendFault(context.reply, status);
    }
    return status;
}
