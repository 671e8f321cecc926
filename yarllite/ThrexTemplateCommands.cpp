#include "yarllite/ThrexTemplateCommands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <orvane/objects.h>
#include <orvane/records.h>
#include <orvane/status.h>

#include "foundation/HexDigits.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "objects/ObjectTypes.h"
#include "yarllite/CallerBlock.h"
#include "yarllite/DomAccess.h"

namespace {

constexpr char kSource[] = "yarldfwmisc";
constexpr std::size_t kShortOidLength = 20;
constexpr int kNotAThreshold = -20;

// The object type in the identifier's first four hex digits; false when
// any of them is missing.
bool readType(const OID_t oid, unsigned& type) {
    type = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int digit = hexDigitValue(oid[i]);
        if (digit < 0) {
            return false;
        }
        type = type * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

bool isThresholdType(unsigned type) {
    return type == ObjectType::ThrexClassArea || type == ObjectType::ThrexThresholdEntry;
}

// A non-empty text of decimal digits only that fits an int.
bool readDigits(const std::string& text, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    const long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

struct IntField {
    const char* name;
    int ThrexClassArea::*field;
};

constexpr IntField kClassAreaFields[] = {
    {"CustomTimeBase", &ThrexClassArea::CustomTimeBase},
    {"CustomLowBoundary", &ThrexClassArea::CustomLowBoundary},
    {"CustomHighBoundary", &ThrexClassArea::CustomHighBoundary},
    {"CustomBufferSize", &ThrexClassArea::CustomBufferSize},
    {"BoundaryLevelSelect", &ThrexClassArea::BoundaryLevelSelect},
    {"CustomChangedAlarm", &ThrexClassArea::CustomChangedAlarm},
    {"CustomExceededAlarm", &ThrexClassArea::CustomExceededAlarm},
    {"CustomBelowAlarm", &ThrexClassArea::CustomBelowAlarm},
    {"CustomAboveAlarm", &ThrexClassArea::CustomAboveAlarm},
    {"CustomInBetweenAlarm", &ThrexClassArea::CustomInbetweenAlarm},
    {"CustomInbetweenAlarm", &ThrexClassArea::CustomInbetweenAlarm},
    {"AlarmLevelSelect", &ThrexClassArea::AlarmLevelSelect},
};

struct EntryField {
    const char* name;
    int ThrexThresholdEntry::*field;
};

constexpr EntryField kEntryFields[] = {
    {"ThreshStatus", &ThrexThresholdEntry::ThreshStatus},
    {"ThreshBehaviorType", &ThrexThresholdEntry::ThreshBehaviorType},
    {"ThreshBehaviorInterval", &ThrexThresholdEntry::ThreshBehaviorInterval},
};

// Stores one named value into the class and area template; false for a
// name the kind lacks or a value the field cannot hold.
bool setClassAreaField(ThrexClassArea& record, const std::string& name,
                       const std::string& value) {
    if (name == "CustomUnitString") {
        // The text must fit its field with the NUL; the export decides how
        // much of it the switch takes.
        if (value.size() >= sizeof record.CustomUnitString.Text) {
            return false;
        }
        std::memset(record.CustomUnitString.Text, 0, sizeof record.CustomUnitString.Text);
        std::memcpy(record.CustomUnitString.Text, value.data(), value.size());
        record.CustomUnitString.Length = static_cast<unsigned char>(value.size());
        return true;
    }
    for (const IntField& f : kClassAreaFields) {
        if (name == f.name) {
            return readDigits(value, record.*f.field);
        }
    }
    return false;
}

bool setEntryField(ThrexThresholdEntry& record, const std::string& name,
                   const std::string& value) {
    for (const EntryField& f : kEntryFields) {
        if (name == f.name) {
            return readDigits(value, record.*f.field);
        }
    }
    return false;
}

void appendRefused(std::string& reply, const std::string& name, const std::string& value) {
    reply += "<OriginalRequest><DataRequest>\nname:";
    appendEscaped(reply, name);
    reply += "\nvalue:";
    appendEscaped(reply, value);
    reply += "\n</DataRequest></OriginalRequest>\n";
}

} // namespace

int YarlGetObjectTemplate(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetObjectTemplate", kSource);
    const std::string text = extractText(context.root, "Switch");
    if (text.size() < kShortOidLength) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField oid(text);
    unsigned type = 0;
    if (!readType(oid.oid, type) || !isThresholdType(type)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    void* record = nullptr;
    const int status = GetObjectTemplate(oid.oid, &record);
    const CallerBlock<void> owned(record);
    return status;
}

int YarlModifyObject(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlModifyObject", kSource);
    const std::string text = extractText(context.root, "ObjectReference");
    if (text.size() < kShortOidLength) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const OidField oid(text);
    const auto attributes = elementsNamed(context.root, "YarlAttribute");
    unsigned type = 0;
    if (!readType(oid.oid, type) || !isThresholdType(type)) {
        return kNotAThreshold;
    }
    void* record = nullptr;
    const int status = GetObjectTemplate(oid.oid, &record);
    const CallerBlock<void> owned(record);
    if (status != 0) {
        return status;
    }
    if (owned == nullptr) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
    for (const xercesc::DOMElement* attribute : attributes) {
        const std::string name = fetchAttrValue(attribute, "name");
        const std::string value = fetchAttrValue(attribute, "value");
        const bool stored =
            type == ObjectType::ThrexClassArea
                ? setClassAreaField(*static_cast<ThrexClassArea*>(owned.get()), name, value)
                : setEntryField(*static_cast<ThrexThresholdEntry*>(owned.get()), name, value);
        if (!stored) {
            appendRefused(context.reply, name, value);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
    }
    return ModifyObject(owned.get());
}
