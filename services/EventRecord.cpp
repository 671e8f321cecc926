#include "services/EventRecord.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "objects/FabApiUtil.h"
#include "objects/ThrexMngr.h"
#include "objects/gorlib.h"

namespace {

constexpr std::size_t kEntry = sizeof(OID_t);

struct FreeBlock {
    void operator()(EventRecord* record) const { std::free(record); }
};

std::size_t listEntries(const EventRecord& record) {
    std::size_t count = 0;
    if (record.pcAffectedObjects != nullptr) {
        while (record.pcAffectedObjects[count][0] != '\0')
            ++count;
    }
    return count;
}

std::size_t recordSize(std::size_t entries, bool withThrex) {
    return sizeof(EventRecord) + (entries + 1) * kEntry +
           (withThrex ? sizeof(ThrexEventObject) : 0);
}

OID_t* listOf(EventRecord* record) {
    return reinterpret_cast<OID_t*>(reinterpret_cast<char*>(record) + sizeof(EventRecord));
}

ThrexEventObject* threxOf(EventRecord* record, std::size_t entries) {
    return reinterpret_cast<ThrexEventObject*>(reinterpret_cast<char*>(listOf(record)) +
                                               (entries + 1) * kEntry);
}

// Copies `record` into the block `copy` of the same layout, pointers set
// into the copy.
void copyInto(EventRecord* copy, const EventRecord& record, std::size_t entries) {
    std::memcpy(copy, &record, sizeof(EventRecord));
    copy->pcAffectedObjects = listOf(copy);
    if (entries > 0)
        std::memcpy(copy->pcAffectedObjects, record.pcAffectedObjects, entries * kEntry);
    std::memset(copy->pcAffectedObjects[entries], 0, kEntry);
    copy->threxObject = nullptr;
    if (record.threxObject != nullptr) {
        copy->threxObject = threxOf(copy, entries);
        std::memcpy(copy->threxObject, record.threxObject, sizeof(ThrexEventObject));
    }
}

// Formats into `buffer`, cut to its size; the text written.
std::string_view formatInto(char (&buffer)[300], const char* format, ...)
    __attribute__((format(printf, 2, 3)));
std::string_view formatInto(char (&buffer)[300], const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return {};
    return std::string_view(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

const char* upgradeStateText(int status) {
    switch (status) {
    case 1:
        return "stand-by CP start to fwdl...";
    case 2:
        return "stand-by CP start to reboot...";
    case 3:
        return "stand-by CP OS is ok...";
    case 4:
        return "stand-by CP Merrowix is ok...";
    case 5:
        return "active CP start to failover...";
    case 6:
        return "new stand-by CP start to fwdl...";
    case 7:
        return "stand-by CP start Commit...";
    case 8:
        return "start Commit the new image to flash...";
    default:
        return "Unknown SoftwareUpgradeStart State";
    }
}

int apiClass(std::uint32_t switchClass) {
    static const int classes[] = {1, 6, 2, 0, 3, 5, 4};
    return switchClass < 7 ? classes[switchClass] : -1;
}

int apiArea(std::uint32_t switchClass, std::uint32_t area) {
    switch (switchClass) {
    case 0:
        return area <= 2 ? static_cast<int>(area) : -1;
    case 1: {
        static const int areas[] = {0, 3, 4, 5};
        return area < 4 ? areas[area] : -1;
    }
    case 2:
    case 4:
    case 5:
    case 6:
        return area <= 8 ? static_cast<int>(area) + 6 : -1;
    case 3:
        return area <= 7 ? static_cast<int>(area) + 15 : -1;
    default:
        return -1;
    }
}

bool oidOf(const std::uint8_t wwn[8], unsigned short type, char* out) {
    return Int_WWNtoOID(wwn, type, out) == 0;
}

// The switch identifier of `wwn`. Most events name the switch that sent
// them, whose identifier `own` is made already: it is copied rather than
// formatted again.
bool switchOidOf(const std::uint8_t wwn[8], const SwitchEvent& event, const char* own,
                 char* out) {
    if (std::memcmp(wwn, event.wwn, sizeof event.wwn) == 0) {
        std::strncpy(out, own, sizeof(OID_t) - 1);
        out[sizeof(OID_t) - 1] = '\0';
        return true;
    }
    return oidOf(wwn, 2, out);
}

} // namespace

EventRecordPtr allocEventRecord(std::size_t entries, bool withThrex) {
    auto* block = static_cast<EventRecord*>(std::calloc(1, recordSize(entries, withThrex)));
    if (block == nullptr)
        return nullptr;
    block->pcAffectedObjects = listOf(block);
    return EventRecordPtr(block, FreeBlock());
}

EventRecord* copyEventRecordForCaller(const EventRecord& record) {
    const std::size_t entries = listEntries(record);
    auto* copy = static_cast<EventRecord*>(
        falAllocObject(recordSize(entries, record.threxObject != nullptr)));
    if (copy != nullptr)
        copyInto(copy, record, entries);
    return copy;
}

EventRecordPtr copyLibraryEventRecord(const EventRecord* record) {
    if (record == nullptr)
        return nullptr;
    const std::size_t entries = listEntries(*record);
    EventRecordPtr copy = allocEventRecord(entries, false);
    if (!copy)
        return nullptr;
    copyInto(copy.get(), *record, entries);
    copy->threxObject = nullptr;
    copy->fabricOid[sizeof(OID_t) - 1] = '\0';
    return copy;
}

void setRecordText(char (&field)[256], unsigned char& length, std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), sizeof field);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), n);
    length = static_cast<unsigned char>(n); // 256 reads 0 and ends the text
}

std::string recordText(const char (&field)[256]) {
    return std::string(field, strnlen(field, sizeof field));
}

void getEventCodeAndDescription(const SwitchEvent& event, EventRecord& record) {
    const std::uint32_t type = event.type;
    const int port = static_cast<int>(event.sw.u1);
    int code = static_cast<int>(type);
    // Formatted descriptions go into `formatted`; the others are constants.
    char formatted[300];
    std::string_view details = "Unknown event";
    switch (type) {
    case 0:
        code = 6, details = "Threx: threshold started";
        break;
    case 1:
        code = 6, details = "Threx: threshold value has changed";
        break;
    case 2:
        code = 6, details = "Threx: threshold exceeded boundary";
        break;
    case 3:
        code = 6, details = "Threx: threshold is below low boundary";
        break;
    case 4:
        code = 6, details = "Threx: threshold is above high boundary";
        break;
    case 5:
        code = 6, details = "Threx: threshold is between high & low boundaries";
        break;
    case 65:
        code = 5, details = "RSCN: fabric";
        break;
    case 66:
        code = 5, details = "RSCN: domain";
        break;
    case 67:
        code = 5,
        details = formatInto(formatted, "RSCN->port: connected area state unknown, the port is %d", port);
        break;
    case 68:
        code = 4, details = formatInto(formatted, "RSCN->port: connected area online, the port is %d", port);
        break;
    case 69:
        code = 3, details = formatInto(formatted, "RSCN->port: connected area offline, the port is %d", port);
        break;
    case 70:
        code = 5,
        details = formatInto(formatted, "RSCN->device: connected device state unknown, the port is %d", port);
        break;
    case 71:
        code = 4,
        details = formatInto(formatted, "RSCN->device: connected device online, the port is %d", port);
        break;
    case 72:
        code = 3,
        details = formatInto(formatted, "RSCN->device: connected device offline, the port is %d", port);
        break;
    case 97:
        code = 2, details = "RSCN: area port online";
        break;
    case 98:
        code = 2, details = "RSCN: device port online";
        break;
    case 130:
        code = 9, details = "API: firmware download completed";
        break;
    case 131:
        code = 12, details = "PC: platform has been changed";
        break;
    case 132:
        code = 8, details = formatInto(formatted, "API: firmware download progress: %s (%d)",
                                       upgradeStateText(event.firmware.f1), event.firmware.f1);
        break;
    default:
        if (type >= 32 && type <= 63) {
            if (type <= 42)
                code = 11;
            details =
                std::string_view(event.text.text, strnlen(event.text.text, sizeof event.text.text));
        }
        break;
    }
    record.code = code;
    setRecordText(record.details, record.detailsLength, details);
}

bool getTime(std::time_t value, std::tm& out, bool utc) {
    return (utc ? gmtime_r(&value, &out) : localtime_r(&value, &out)) != nullptr;
}

namespace {

bool brokenDown(std::time_t value, bool utc, std::tm& out) {
    if (getTime(value, out, utc))
        return true;
    return getTime(std::time(nullptr), out, false);
}

std::string dateText(const std::tm& t) {
    return std::to_string(t.tm_mon + 1) + "/" + std::to_string(t.tm_mday) + "/" +
           std::to_string(t.tm_year + 1900);
}

std::string timeText(const std::tm& t) {
    return std::to_string(t.tm_hour) + ":" + std::to_string(t.tm_min) + ":" +
           std::to_string(t.tm_sec);
}

} // namespace

void getTimeInfo(std::time_t value, std::string& date, std::string& time, bool utc) {
    std::tm t{};
    if (!brokenDown(value, utc, t)) {
        date.clear();
        time.clear();
        return;
    }
    date = dateText(t);
    time = timeText(t);
}

void getTimeInfo(std::time_t value, std::string& text, bool utc) {
    std::tm t{};
    text = brokenDown(value, utc, t) ? timeText(t) + " " + dateText(t) : std::string();
}

void fillThrexObjectAttributes(const char* switchOid, ThrexEventObject& object,
                               const SwitchEvent& event) {
    const SwitchEvent::Threshold& t = event.threshold;
    object.objectType = 41;
    object.threxIndex = static_cast<int>(t.t3);
    object.threshEventValue = t.s2;
    object.threxClass = apiClass(t.t1);
    object.threxArea = apiArea(t.t1, t.t2);
    switch (event.type) {
    case 1:
    case 2:
    case 3:
    case 4:
        object.threshEventType = static_cast<int>(event.type);
        break;
    case 5:
    case 31:
        object.threshEventType = 5;
        break;
    default:
        object.threshEventType = 0;
        break;
    }
    object.threshEventState = (t.s1 >= 0 && t.s1 <= 2) ? t.s1 : -1;
    std::string when;
    getTimeInfo(static_cast<std::time_t>(event.eventTime), when, true);
    setRecordText(object.threshEventTime, object.threshEventTimeLength, when);
    std::memset(object.oid, 0, sizeof object.oid);
    if (EncodeThrexOid(object.oid, switchOid, 41, object.threxClass, object.threxArea,
                       object.threxIndex) != 0)
        std::memset(object.oid, 0, sizeof object.oid);
}

EventRecordPtr buildSwitchEventRecord(const SwitchEvent& event,
                                      const std::function<int()>& nextId) {
    OID_t fabricOid{}, switchOid{};
    if (!oidOf(event.wwn, 9, fabricOid) || !oidOf(event.wwn, 2, switchOid))
        return nullptr;
    return buildSwitchEventRecord(event, fabricOid, switchOid, nextId);
}

EventRecordPtr buildSwitchEventRecord(const SwitchEvent& event, const char* fabricOid,
                                      const char* switchOid, const std::function<int()>& nextId) {
    if (fabricOid == nullptr || switchOid == nullptr)
        return nullptr;
    const std::uint32_t type = event.type;
    const bool portList = type >= 96 && type <= 127;
    const std::size_t entries =
        portList ? (event.portList.names != nullptr ? event.portList.count : 0) : 1;
    const bool threshold = type <= 31;
    EventRecordPtr record = allocEventRecord(entries, threshold);
    if (!record)
        return nullptr;
    EventRecord& r = *record;
    std::strncpy(r.fabricOid, fabricOid, sizeof r.fabricOid - 1);
    r.eventId = nextId();
    std::string date, time;
    getTimeInfo(static_cast<std::time_t>(event.eventTime), date, time, true);
    setRecordText(r.date, r.dateLength, date);
    setRecordText(r.time, r.timeLength, time);
    getEventCodeAndDescription(event, r);
    OID_t* list = r.pcAffectedObjects;

    if (threshold) {
        if (!switchOidOf(event.threshold.wwn, event, switchOid, list[0]))
            return nullptr;
        r.threxObject = threxOf(&r, entries);
        std::memcpy(r.threxObject->switchOid, list[0], sizeof(OID_t));
        fillThrexObjectAttributes(list[0], *r.threxObject, event);
    } else if (type <= 63) {
        if (!switchOidOf(event.text.wwn, event, switchOid, list[0]))
            return nullptr;
        setRecordText(
            r.details, r.detailsLength,
            std::string_view(event.text.text, strnlen(event.text.text, sizeof event.text.text)));
    } else if (type <= 95) {
        static const std::uint8_t zero[8] = {};
        if (std::memcmp(event.sw.wwn, zero, 8) != 0 &&
            !switchOidOf(event.sw.wwn, event, switchOid, list[0]))
            return nullptr;
    } else if (portList) {
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* n = event.portList.names[i];
            std::snprintf(list[i], sizeof(OID_t), "%04x%02x%02x%02x%02x%02x%02x%02x%02x", 1u, n[0],
                          n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
        }
    } else if (type <= 191) {
        if (!switchOidOf(event.firmware.wwn, event, switchOid, list[0]))
            return nullptr;
        if (type == 130 && event.firmware.f1 != 0) {
            r.code = 10;
            setRecordText(r.details, r.detailsLength, "API: firmware download failed");
        }
    } else {
        return nullptr; // the event ID is used up
    }
    return record;
}

EventRecordPtr makeLibraryEventRecord(const std::string& fabricOid, int code,
                                      const std::string& details,
                                      const std::vector<std::string>& affected) {
    EventRecordPtr record = allocEventRecord(affected.size(), false);
    if (!record)
        return nullptr;
    EventRecord& r = *record;
    std::strncpy(r.fabricOid, fabricOid.c_str(), sizeof r.fabricOid - 1);
    r.code = code;
    std::string date, time;
    getTimeInfo(std::time(nullptr), date, time, false);
    setRecordText(r.date, r.dateLength, date);
    setRecordText(r.time, r.timeLength, time);
    setRecordText(r.details, r.detailsLength, details);
    for (std::size_t i = 0; i < affected.size(); ++i)
        std::strncpy(r.pcAffectedObjects[i], affected[i].c_str(), sizeof(OID_t) - 1);
    return record;
}
