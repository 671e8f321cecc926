#include "yarllite/ThresholdRouteCommands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <orvane/objects.h>
#include <orvane/oid.h>
#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/ThrexNames.h"

namespace {

constexpr char kCodecSource[] = "yarldfwmisc";
constexpr char kRouteSource[] = "yarldcmd";
constexpr int kNoPortPair = 10;
constexpr int kMaxLegalEntries = 256;
constexpr int kMaxPort = 255;
constexpr std::size_t kShortOidLength = 20;
constexpr char kNoName[] = "INVALID CLASS NAME";

void appendObjectElement(std::string& reply, const OID_t oid) {
    reply += "<Object OID=\"";
    appendEscaped(reply, oidFieldText(oid));
    reply += "\" />\n";
}

// The switch, class and area elements of a decoded threshold identifier;
// a code without a name is written as the invalid class name, also for the
// area.
void appendClassArea(std::string& reply, const OID_t switchOid, int thrClass, int area) {
    reply += "<SwitchOID>";
    appendEscaped(reply, oidFieldText(switchOid));
    reply += "</SwitchOID>\n<ThrexClass>";
    std::string name;
    appendEscaped(reply, ThrexClassNaming(thrClass, name) == 0 ? name : std::string(kNoName));
    reply += "</ThrexClass>\n<ThrexArea>";
    name.clear();
    appendEscaped(reply, ThrexAreaNaming(area, name) == 0 ? name : std::string(kNoName));
    reply += "</ThrexArea>\n";
}

// A decimal int text, whole; false for anything else.
bool readDecimal(const std::string& text, int& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// The switch identifier (its first 20 characters) and the class and area
// codes of an encoder request; -3 when a text is missing or too short.
// Unknown names become -1, which the export refuses.
int readClassArea(const CommandContext& context, OID_t switchOid, int& thrClass, int& area) {
    const std::string sw = extractText(context.root, "SwitchOID");
    const std::string cls = extractText(context.root, "ThrexClass");
    const std::string ar = extractText(context.root, "ThrexArea");
    if (sw.size() < kShortOidLength || cls.empty() || ar.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField field(sw.substr(0, kShortOidLength));
    CopyName48(switchOid, field.oid);
    thrClass = CharToClass(cls.c_str());
    area = CharToArea(ar.c_str());
    return 0;
}

// A port number: decimal digits only, 0 to 255 (the switch names a port by
// its low 8 bits, so a larger number would name another port).
bool readPort(const std::string& text, int& port) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    return readDecimal(text, port) && port <= kMaxPort;
}

} // namespace

int YarlDecodeThrexClassAreaOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDecodeThrexClassAreaOID", kCodecSource);
    const std::string text = extractText(context.root, "ObjectReference");
    if (text.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField oid(text);
    OID_t switchOid{};
    int thrClass = 0;
    int area = 0;
    const int status = DecodeThrexClassAreaOID(oid.oid, switchOid, &thrClass, &area);
    if (status == 0) {
        appendClassArea(context.reply, switchOid, thrClass, area);
    }
    return status;
}

int YarlDecodeThrexThresholdEntryOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDecodeThrexThresholdEntryOID", kCodecSource);
    const std::string text = extractText(context.root, "ObjectReference");
    if (text.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField oid(text);
    OID_t switchOid{};
    int thrClass = 0;
    int area = 0;
    int index = 0;
    const int status = DecodeThrexThresholdEntryOID(oid.oid, switchOid, &thrClass, &area, &index);
    if (status == 0) {
        appendClassArea(context.reply, switchOid, thrClass, area);
        context.reply += "<Index>" + std::to_string(index) + "</Index>\n";
    }
    return status;
}

int YarlEncodeThrexClassAreaOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEncodeThrexClassAreaOID", kCodecSource);
    OID_t switchOid{};
    int thrClass = 0;
    int area = 0;
    if (const int read = readClassArea(context, switchOid, thrClass, area); read != 0) {
        return read;
    }
    OID_t oid{};
    const int status = EncodeThrexClassAreaOID(switchOid, thrClass, area, oid);
    if (status == 0) {
        appendObjectElement(context.reply, oid);
    }
    return status;
}

int YarlEncodeThrexThresholdEntryOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlEncodeThrexThresholdEntryOID", kCodecSource);
    OID_t switchOid{};
    int thrClass = 0;
    int area = 0;
    if (const int read = readClassArea(context, switchOid, thrClass, area); read != 0) {
        return read;
    }
    int index = 0;
    if (!readDecimal(extractText(context.root, "Index"), index)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    OID_t oid{};
    const int status = EncodeThrexThresholdEntryOID(switchOid, thrClass, area, index, oid);
    if (status == 0) {
        appendObjectElement(context.reply, oid);
    }
    return status;
}

int YarlGetLegalRouteTableEntries(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetLegalRouteTableEntries", kRouteSource);
    const std::string sourceText = extractText(context.root, "Switch");
    if (sourceText.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField source(sourceText);
    const OidField destination(extractText(context.root, "DestSwitch"));
    if (std::strcmp(source.oid, destination.oid) == 0) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    LegalRouteTable result{};
    const int status = GetLegalRouteTableEntries(source.oid, destination.oid, &result);
    const CallerBlock<unsigned char[8]> entries(result.Entries);
    // No entry is an answer, not a failure: the command succeeds whatever
    // the export said, so that the reply carries this one Fault only.
    if (result.Count <= 0 || result.Count > kMaxLegalEntries) {
        context.reply += "<Fault>No entry found</Fault>\n";
        return 0;
    }
    if (status != 0) {
        return status;
    }
    for (int i = 0; i < result.Count; ++i) {
        char* name = nullptr;
        const int named = WWNtoStr(entries.get()[i], &name);
        const CallerBlock<char> owned(name);
        if (named != 0 || owned == nullptr) {
            return named != 0 ? named : FABAPI_ERR_OUT_OF_MEMORY;
        }
        context.reply += "<ObjectReference>";
        appendEscaped(context.reply, owned.get());
        context.reply += "</ObjectReference>\n";
    }
    return 0;
}

int YarlPortPairToRouteOID(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlPortPairToRouteOID", kRouteSource);
    const xercesc::DOMNode* pair = fetchNodeByName(context.root, "PortPairReference");
    if (pair == nullptr) {
        return kNoPortPair;
    }
    const OidField source(fetchAttrValue(pair, "source"));
    const OidField destination(fetchAttrValue(pair, "dest"));
    OID_t route{};
    const int status = PortPairToRouteOID(source.oid, destination.oid, route);
    if (status == 0) {
        context.reply += "<ObjectReference>";
        appendEscaped(context.reply, oidFieldText(route));
        context.reply += "</ObjectReference>";
    }
    return status;
}

int YarlSetRouteTableEntry(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlSetRouteTableEntry", kCodecSource);
    const xercesc::DOMNode* from = fetchNodeByName(context.root, "Switch");
    const xercesc::DOMNode* to = fetchNodeByName(context.root, "DestSwitch");
    if (from == nullptr || to == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string sourceText = fetchAttrValue(from, "switchOID");
    const std::string destinationText = fetchAttrValue(to, "switchOID");
    int inPort = 0;
    int outPort = 0;
    if (sourceText.empty() || destinationText.empty() ||
        !readPort(fetchAttrValue(from, "inPort"), inPort) ||
        !readPort(fetchAttrValue(to, "outPort"), outPort)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField source(sourceText);
    const OidField destination(destinationText);
    return SetRouteTableEntry(source.oid, inPort, destination.oid, outPort);
}
