#include "yarllite/ThresholdRouteCommands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <orvane/objects.h>
#include <orvane/oid.h>
#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "yarllite/DomAccess.h"
#include "yarllite/ThrexNames.h"
#include "yarllite/XmlEscape.h"

namespace {

constexpr char kCodecSource[] = "yarldfwmisc";
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
