#include "yarllite/ReplyDocument.h"

#include <array>
#include <cstdio>

#include <orvane/version.h>

#include "foundation/XmlEscape.h"
#include "platform/win32.h"

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* nameAt(const auto& names, unsigned index) {
    return index < names.size() ? names[index] : "";
}

} // namespace

std::string formatResponseDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[128];
    std::snprintf(text, sizeof text, "%s %s %d  %d:%d:%d %d", nameAt(kWeekdays, now.wDayOfWeek),
                  nameAt(kMonths, now.wMonth - 1u), now.wDay, now.wHour, now.wMinute, now.wSecond,
                  now.wYear);
    return text;
}

void writeResponseHeader(std::string& reply, std::string_view echo) {
    reply += "<?xml version='1.0' encoding='utf-8'?>\n";
    reply += "<YarlResponse>\n";
    reply += "<Date>";
    reply += formatResponseDate();
    reply += "</Date>\n";
    reply += "<EchoMsgType>";
    appendEscaped(reply, echo);
    reply += "</EchoMsgType>\n";
}

void writeResponseFooter(std::string& reply) {
    reply += "</YarlResponse>\n";
}

void writeVersionBlock(std::string& reply, VersionBlock lines, int attributeEncoding) {
    if (lines == VersionBlock::None) {
        return;
    }
    reply += "<APIVersion major=\"2\" minor=\"1\" vendor=\"Quillon\" />\n";
    reply += "<YarlVersion release=\"";
    appendEscaped(reply, getVersion());
    reply += "\" />\n";
    if (lines == VersionBlock::ThreeLines) {
        reply += "<AttributeEncoding>";
        reply += attributeEncoding == 1 ? "yarlattr" : "en-us";
        reply += "</AttributeEncoding>\n";
    }
}

void appendFault(std::string& reply, int code) {
    appendFaultForm(reply, FaultForm::B, code);
}

void appendFaultForm(std::string& reply, FaultForm form, int code) {
    if (code == 0) {
        return;
    }
    const std::string n = std::to_string(code);
    switch (form) {
    case FaultForm::A:
        reply += "<Fault>\n<YarlErrorCode>" + n + "</YarlErrorCode></Fault>\n";
        break;
    case FaultForm::B:
        reply += "<Fault>\n<YarlErrorCode>" + n + "</YarlErrorCode>\n</Fault>\n";
        break;
    case FaultForm::C:
        reply += "<Fault>\n<YarlErrorCode>\n" + n + "</YarlErrorCode></Fault>\n";
        break;
    case FaultForm::None:
    case FaultForm::Handler:
        break;
    }
}

void appendUnknownCommandFault(std::string& reply) {
    reply += "<Fault>\n<YarlErrorCode>-3</YarlErrorCode>\n</Fault>\n";
}

void appendDocumentFault(std::string& reply, std::string_view detail) {
    reply += "<Fault>\n<YarlErrorCode>-91</YarlErrorCode>\n<DetailString>";
    appendEscaped(reply, detail);
    reply += "</DetailString>\n</Fault>\n";
}
