// The XML text of one event, as pushed to registered clients.
#include "services/EventManager.h"

#include <cstring>

#include "foundation/XmlEscape.h"

namespace {

void element(std::string& out, const char* name, std::string_view value) {
    out += '<';
    out += name;
    out += '>';
    out += escapeXml(value);
    out += "</";
    out += name;
    out += ">\n";
}

std::string_view oidText(const char* oid) {
    return std::string_view(oid, strnlen(oid, sizeof(OID_t)));
}

} // namespace

void EventManager::getXmlEventString(const EventRecord* record, std::string* out,
                                     const char* host, int port) {
    if (out == nullptr)
        return;
    out->clear();
    if (record == nullptr)
        return;
    std::string& s = *out;
    s += "<Event>\n";
    element(s, "Date", recordText(record->date));
    element(s, "Time", recordText(record->time));
    if (host != nullptr && port > 0) {
        element(s, "Host", host);
        element(s, "Port", std::to_string(port));
    }
    element(s, "Code", std::to_string(record->code));
    element(s, "ID", std::to_string(record->eventId));
    element(s, "FabricOID", oidText(record->fabricOid));
    element(s, "Details", recordText(record->details));
    if (record->code == 6 && record->threxObject != nullptr) {
        const ThrexEventObject& t = *record->threxObject;
        s += "<Object>\n";
        element(s, "ObjectReference", oidText(t.oid));
        element(s, "ObjectType", std::to_string(static_cast<unsigned>(t.objectType)));
        element(s, "SwitchOID", oidText(t.switchOid));
        element(s, "ThrexClass", std::to_string(t.threxClass));
        element(s, "ThrexArea", std::to_string(t.threxArea));
        element(s, "ThrexIndex", std::to_string(t.threxIndex));
        element(s, "ThreshEventType", std::to_string(t.threshEventType));
        element(s, "ThreshEventValue", std::to_string(t.threshEventValue));
        element(s, "ThreshEventState", std::to_string(t.threshEventState));
        element(s, "ThreshEventTime", recordText(t.threshEventTime));
        s += "</Object>\n";
    } else {
        s += "<AffectedObject>\n";
        for (const OID_t* entry = record->pcAffectedObjects; entry != nullptr && (*entry)[0] != '\0';
             ++entry)
            element(s, "ObjectReference", oidText(*entry));
        s += "</AffectedObject>\n";
    }
    s += "</Event>\n";
}
