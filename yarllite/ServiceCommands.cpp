#include "yarllite/ServiceCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNode.hpp>

#include <orvane/events.h>
#include <orvane/objects.h>
#include <orvane/oid.h>
#include <orvane/status.h>
#include <orvane/transfers.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "services/EventManager.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"
#include "yarllite/RequestNumbers.h"
#include "yarllite/XercesText.h"

namespace {

constexpr char kConfigSource[] = "yarldfwconf";
constexpr char kMiscSource[] = "yarldfwmisc";
constexpr char kFirmwareSource[] = "yarldfwdnld";
constexpr char kEventSource[] = "yarldfwevnt";

// The shortest switch identifier a prefix list is asked for: more than the
// type and the 16 digits of the name.
constexpr std::size_t kMinPrefixOidLength = 20;
constexpr int kMaxPort = 65535;

// What a control character is for the configuration escape: the C locale's.
bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A control character that an XML 1.0 document may hold: tab, line feed,
// carriage return and delete.
bool isXmlControl(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == 0x7F;
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence of a character beyond ASCII
// at `at`, or 0 when the bytes there are not one.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
    };
    const unsigned char lead = byte(0);
    if (lead >= 0xC2 && lead <= 0xDF) {
        return isContinuation(byte(1)) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char second = byte(1);
        const bool inRange = (lead == 0xE0)   ? second >= 0xA0
                             : (lead == 0xED) ? second < 0xA0 // no surrogates
                                              : true;
        if (!isContinuation(second) || !inRange || !isContinuation(byte(2))) {
            return 0;
        }
        // U+FFFE and U+FFFF are no characters of a document.
        if (lead == 0xEF && second == 0xBF && byte(2) >= 0xBE) {
            return 0;
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char second = byte(1);
        const bool inRange = (lead == 0xF0)   ? second >= 0x90
                             : (lead == 0xF4) ? second < 0x90
                                              : true;
        return isContinuation(second) && inRange && isContinuation(byte(2)) &&
                       isContinuation(byte(3))
                   ? 4
                   : 0;
    }
    return 0;
}

void appendReference(std::string& out, unsigned char c) {
    char reference[8];
    std::snprintf(reference, sizeof reference, "&#x%02x;", c);
    out += reference;
}

// The switch identifier of a request: the first ObjectReference text, cut
// to 47 characters.
OidField switchIdentifier(const CommandContext& context) {
    return OidField(extractText(context.root, "ObjectReference"));
}

// The first child element of `element` named `name`, or null.
const xercesc::DOMElement* childElementNamed(const xercesc::DOMElement* element,
                                             const char* name) {
    const std::u16string wanted = toXercesText(name);
    for (const xercesc::DOMNode* child = element->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
            std::u16string_view(reinterpret_cast<const char16_t*>(child->getNodeName())) ==
                wanted) {
            return static_cast<const xercesc::DOMElement*>(child);
        }
    }
    return nullptr;
}

// What a firmware request names: the switch list (48-byte entries and the
// empty one) and the attributes of its Firmware description.
struct FirmwareRequest {
    std::string switchList;
    std::string path;
    std::string wait;
    std::string hostName;
    std::string hostLogin;
    std::string hostPassword;
};

// The switches of every ObjectReference with an OID, in document order, and
// the Firmware child of the first of them whose Firmware has a path. False
// when no such Firmware is found.
bool readFirmwareRequest(const CommandContext& context, FirmwareRequest& request) {
    const std::vector<xercesc::DOMElement*> references =
        elementsNamed(context.root, "ObjectReference");
    request.switchList.reserve((references.size() + 1) * OidFieldSize);
    bool found = false;
    for (const xercesc::DOMElement* reference : references) {
        const std::string oid = fetchAttrValue(reference, "OID");
        if (oid.empty()) {
            continue;
        }
        const OidField entry(oid);
        request.switchList.append(entry.oid, OidFieldSize);
        if (found) {
            continue;
        }
        const xercesc::DOMElement* firmware = childElementNamed(reference, "Firmware");
        if (firmware == nullptr) {
            continue;
        }
        std::string path = fetchAttrValue(firmware, "firmwarePath");
        if (path.empty()) {
            continue;
        }
        found = true;
        request.path = std::move(path);
        request.wait = fetchAttrValue(firmware, "wait");
        request.hostName = fetchAttrValue(firmware, "hostName");
        request.hostLogin = fetchAttrValue(firmware, "hostLogin");
        request.hostPassword = fetchAttrValue(firmware, "hostPassword");
    }
    request.switchList.append(OidFieldSize, '\0');
    return found;
}

void appendCompletionStatus(std::string& reply, const char* text) {
    reply += "<CompletionStatus>";
    appendEscaped(reply, text);
    reply += "</CompletionStatus>\n";
}

// A decimal request value; `empty` when the value is empty.
unsigned readEventNumber(const xercesc::DOMNode* target, const char* name, int empty) {
    const std::string text = fetchAttrValue(target, name);
    return static_cast<unsigned>(text.empty() ? empty : readDecimal(text));
}

// True when `text` is a port number: decimal digits only, 1 to 65535.
bool isPortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const int port = readDecimal(text);
    return port >= 1 && port <= kMaxPort;
}

} // namespace

void XMLstrecpy(std::string& out, std::string_view source, std::string_view kept) {
    for (std::size_t at = 0; at < source.size(); ++at) {
        const auto c = static_cast<unsigned char>(source[at]);
        if (c == '\0') {
            break;
        }
        switch (c) {
        case '"':
        case '%':
        case '&':
        case '<':
        case '>':
        case '^':
            appendReference(out, c);
            continue;
        default:
            break;
        }
        if (c >= 0x80) {
            if (const std::size_t length = utf8Length(source, at); length != 0) {
                out.append(source.substr(at, length));
                at += length - 1;
            } else {
                appendReference(out, c);
            }
        } else if (!isControl(c)) {
            out.push_back(static_cast<char>(c));
        } else if (!isXmlControl(c)) {
            // No XML 1.0 document may hold it, not even as a reference:
            // written as '?', as every other escaped value of a reply.
            out.push_back('?');
        } else if (kept.find(static_cast<char>(c)) != std::string_view::npos) {
            out.push_back(static_cast<char>(c));
        } else {
            appendReference(out, c);
        }
    }
}

int YarlRegisterForEvents(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlRegisterForEvents", kEventSource);
    const xercesc::DOMNode* destination = fetchNodeByName(context.root, "EventDestination");
    if (destination == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string address = fetchAttrValue(destination, "ipAddr");
    const std::string port = fetchAttrValue(destination, "port");
    // A port that is no port would register a client that never receives
    // anything, and the export would still answer 0.
    if (address.empty() || !isPortNumber(port)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    return RegisterForEvents(address.c_str(), readDecimal(port));
}

int YarlUnRegisterForEvents(CommandContext&) {
    MethodTrace trace(Vosk_API_XML, "YarlUnRegisterForEvents", kEventSource);
    return UnRegisterForEvents();
}

int YarlGetEvents(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetEvents", kEventSource);
    const xercesc::DOMNode* target = fetchNodeByName(context.root, "EventTarget");
    if (target == nullptr) {
        return 2;
    }
    const unsigned first = readEventNumber(target, "startEventId", 1);
    const unsigned last = readEventNumber(target, "endEventId", 1);
    const int max = static_cast<int>(readEventNumber(target, "maxEvents", 0));
    EventRecord** events = nullptr;
    const int status = GetEvents(first, last, max, &events);
    const CallerBlock<EventRecord*> array(events);
    // Each record is a block of its own, freed whatever the status.
    std::vector<CallerBlock<EventRecord>> records;
    for (EventRecord** entry = events; entry != nullptr && *entry != nullptr; ++entry) {
        records.emplace_back(*entry);
    }
    if (status != 0) {
        return status;
    }
    context.reply += "<EventList>\n";
    std::string text;
    for (const CallerBlock<EventRecord>& record : records) {
        EventManager::getXmlEventString(record.get(), &text, nullptr, -1);
        context.reply += text;
    }
    context.reply += "</EventList>\n";
    return 0;
}

int YarlFirmwareDownloadDirect(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlFirmwareDownloadDirect", kFirmwareSource);
    FirmwareRequest request;
    if (!readFirmwareRequest(context, request)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    bool wait = false;
    if (request.wait.starts_with('1')) {
        wait = true;
    } else if (!request.wait.starts_with('0')) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    char* completion = nullptr;
    const int status = FirmwareDownloadDirect(request.switchList.data(), request.path.c_str(),
                                              wait, &completion);
    const CallerBlock<char> owned(completion);
    if (wait && owned != nullptr) {
        appendCompletionStatus(context.reply, owned.get());
    }
    return status;
}

int YarlFirmwareDownloadSelf(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlFirmwareDownloadSelf", kFirmwareSource);
    FirmwareRequest request;
    if (!readFirmwareRequest(context, request)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const bool wait = request.wait.starts_with('1');
    char* completion = nullptr;
    const int status = FirmwareDownloadSelf(
        request.switchList.data(), request.path.c_str(), wait, request.hostName.c_str(),
        request.hostLogin.c_str(), request.hostPassword.c_str(), &completion);
    const CallerBlock<char> owned(completion);
    if (status == 0 && wait && owned != nullptr) {
        appendCompletionStatus(context.reply, owned.get());
    }
    return status;
}

int YarlGetFirmwareDownloadStatus(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetFirmwareDownloadStatus", kFirmwareSource);
    context.reply += "<FirmwareDownloadStatus>1</FirmwareDownloadStatus>\n";
    return 0;
}

int YarlConfigUpload(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlConfigUpload", kConfigSource);
    const OidField switchOid = switchIdentifier(context);
    char* text = nullptr;
    const int status = ConfigurationUpload(switchOid.oid, &text);
    const CallerBlock<char> owned(text);
    if (status == 0) {
        // Escaped here once; the text is appended as it stands.
        context.reply += "<ConfigData>";
        XMLstrecpy(context.reply, owned != nullptr ? owned.get() : "", "\n\t\r");
        context.reply += "</ConfigData>\n";
    }
    return status;
}

int YarlConfigDownload(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlConfigDownload", kConfigSource);
    const OidField switchOid = switchIdentifier(context);
    const xercesc::DOMNode* data = fetchNodeByName(context.root, "ConfigData");
    if (data == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    // The lines as written: a text of one line keeps its line break, without
    // which the download would refuse it as a bare fragment.
    const std::string value = fetchAttrText(data, "value");
    if (value.empty()) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const char allowReboot = fetchAttrValue(data, "allowReboot") == "1" ? 1 : 0;
    const int status = ConfigurationDownload(switchOid.oid, allowReboot, value.c_str());
    // Sent to be applied with a reboot: done as asked.
    if (status == 0 || status == 100) {
        return 0;
    }
    context.reply += "<OriginalRequest>\n<DataRequest>\n";
    appendEscaped(context.reply, oidFieldText(switchOid.oid));
    context.reply += "\n";
    appendEscaped(context.reply, value);
    context.reply += "\n</DataRequest>\n</OriginalRequest>\n";
    return status;
}

int YarlConfigurationPrefix(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlConfigurationPrefix", kMiscSource);
    const OidField switchOid = switchIdentifier(context);
    if (oidFieldText(switchOid.oid).size() < kMinPrefixOidLength) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const xercesc::DOMNode* parameters = fetchNodeByName(context.root, "Parameters");
    if (parameters == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const std::string type = fetchAttrValue(parameters, "type");
    const unsigned short section = type.empty() || type.starts_with("ONLINE") ? 1 : 2;
    char* list = nullptr;
    const int status = ConfigurationPrefix(switchOid.oid, section, &list);
    const CallerBlock<char> owned(list);
    if (status == 0) {
        context.reply += "<ParameterType>";
        context.reply += section == 1 ? "CFG_ONLINE_DOWNLOADABLE" : "CFG_NON_DOWNLOADABLE";
        context.reply += "</ParameterType>\n<ParameterList>";
        appendEscaped(context.reply, owned != nullptr ? owned.get() : "");
        context.reply += "</ParameterList>\n";
    }
    return status;
}
