#include "yarllite/IdentifierCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <orvane/objects.h>
#include <orvane/oid.h>
#include <orvane/status.h>

#include "foundation/HexDigits.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "objects/ObjectIdentifiers.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/RequestNumbers.h"

namespace {

constexpr char kNameSource[] = "yarldcmd";
constexpr char kCodecSource[] = "yarldfwmisc";

constexpr std::size_t kWwnDigits = 16;
constexpr std::size_t kWwnColonText = 23; // "xx:xx:xx:xx:xx:xx:xx:xx"
constexpr std::size_t kShortOidLength = 20;
constexpr unsigned kMaxObjectType = 0xFFFF;

// The leading hex digits (none, one or two) of the pair at `text`.
unsigned char pairValue(const char* text) {
    unsigned value = 0;
    for (int i = 0; i < 2 && hexDigitValue(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<unsigned>(hexDigitValue(text[i]));
    }
    return static_cast<unsigned char>(value);
}

// True when the first 23 characters are eight pairs of hex digits joined
// by colons.
bool isColonWwn(std::string_view text) {
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = 3 * i;
        if (hexDigitValue(text[at]) < 0 || hexDigitValue(text[at + 1]) < 0 ||
            (i < 7 && text[at + 2] != ':')) {
            return false;
        }
    }
    return true;
}

void appendObjectElement(std::string& reply, const OID_t oid) {
    reply += "<Object OID=\"";
    appendEscaped(reply, oidFieldText(oid));
    reply += "\" />\n";
}

} // namespace

int YarlWWNtoOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlWWNtoOID", kNameSource);
    const xercesc::DOMNode* args = fetchNodeByName(context.root, "WWNtoOIDArgs");
    if (args == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string wwn = fetchAttrValue(args, "wwn");
    if (wwn.size() < kWwnDigits) {
        context.reply += "<ErrorMsg>Input string is too short:";
        appendEscaped(context.reply, wwn);
        context.reply += "</ErrorMsg>\n";
        return 0;
    }
    unsigned char name[8] = {};
    if (wwn.size() < kWwnColonText) {
        for (std::size_t i = 0; i < 8; ++i) {
            name[i] = pairValue(wwn.c_str() + 2 * i);
        }
    } else if (!isColonWwn(wwn) || !parseWwnText(wwn.c_str(), name)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    // A type that does not fit its 16 bits names no object type.
    const auto type = readHex(fetchAttrValue(args, "type"), kMaxObjectType);
    if (!type) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OID_t oid{};
    const int status = WWNtoOID(name, static_cast<unsigned short>(*type), oid);
    if (status == 0) {
        context.reply += "<ObjectReference>";
        appendEscaped(context.reply, oidFieldText(oid));
        context.reply += "</ObjectReference>\n";
    }
    return status;
}

int YarlOIDtoWWN(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlOIDtoWWN", kNameSource);
    const xercesc::DOMNode* args = fetchNodeByName(context.root, "OIDtoWWNArgs");
    if (args == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string text = fetchAttrValue(args, "OID");
    if (text.size() < kShortOidLength) {
        context.reply += "<Fault>\n<ErrorMsg>Input string is too short:";
        appendEscaped(context.reply, text);
        context.reply += "</ErrorMsg>\n</Fault>\n";
        return 0;
    }
    const OidField oid(text);
    unsigned char name[8] = {};
    const int type = parseOidWwn(oid.oid, name);
    if (type == 0) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    char* nameText = nullptr;
    const int status = WWNtoStr(name, &nameText);
    const CallerBlock<char> owned(nameText);
    if (status != 0 || owned == nullptr) {
        return status != 0 ? status : FABAPI_ERR_OUT_OF_MEMORY;
    }
    char typeText[16];
    std::snprintf(typeText, sizeof typeText, "%x", static_cast<unsigned>(type));
    context.reply += "<ObjectReference>\n<WWN>";
    appendEscaped(context.reply, owned.get());
    context.reply += "</WWN>\n<ObjType>";
    context.reply += typeText;
    context.reply += "</ObjType>\n</ObjectReference>\n";
    return 0;
}

int YarlDecodeDomainPortRef(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDecodeDomainPortRef", kCodecSource);
    const std::string text = extractText(context.root, "ObjectReference");
    if (text.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField ref(text);
    int domain = 0;
    int port = 0;
    const int status = DecodeDomainPortRef(ref.oid, &domain, &port);
    if (status == 0) {
        context.reply += "<Domain>" + std::to_string(domain) + "</Domain>\n<Port>" +
                         std::to_string(port) + "</Port>\n";
    }
    return status;
}

int YarlDecodeSwitchPortGroupOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDecodeSwitchPortGroupOID", kCodecSource);
    const std::string text = extractText(context.root, "ObjectReference");
    if (text.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField group(text);
    OID_t switchOid{};
    int firstPort = 0;
    int lastPort = 0;
    const int status = DecodeSwitchPortGroupOID(group.oid, switchOid, &firstPort, &lastPort);
    if (status == 0) {
        context.reply += "<SwitchOID>";
        appendEscaped(context.reply, oidFieldText(switchOid));
        context.reply += "</SwitchOID>\n<StartPort>" + std::to_string(firstPort) +
                         "</StartPort>\n<EndPort>" + std::to_string(lastPort) + "</EndPort>\n";
    }
    return status;
}

int YarlEncodeDomainPortRef(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEncodeDomainPortRef", kCodecSource);
    const std::string domain = extractText(context.root, "Domain");
    const std::string port = extractText(context.root, "Port");
    if (domain.empty() || port.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OID_t ref{};
    const int status = EncodeDomainPortRef(readDecimal(domain), readDecimal(port), ref);
    if (status == 0) {
        appendObjectElement(context.reply, ref);
    }
    return status;
}

int YarlEncodeSwitchPortGroupOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEncodeSwitchPortGroupOID", kCodecSource);
    // Only the type and the world wide name of the switch count.
    const std::string text = extractText(context.root, "ObjectReference");
    const OidField switchOid(text.substr(0, kShortOidLength));
    const xercesc::DOMNode* group = fetchNodeByName(context.root, "PortGroup");
    if (group == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string first = fetchAttrValue(group, "startPort");
    const std::string last = fetchAttrValue(group, "endPort");
    if (first.empty() || last.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OID_t groupOid{};
    const int status =
        EncodeSwitchPortGroupOID(switchOid.oid, readDecimal(first), readDecimal(last), groupOid);
    if (status == 0) {
        appendObjectElement(context.reply, groupOid);
    }
    return status;
}
