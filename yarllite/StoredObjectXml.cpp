#include "yarllite/StoredObjectXml.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "api/ObjectStore.h"
#include "api/StoredObject.h"
#include "api/StoredObjectXmlWriter.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/XmlEscape.h"
#include "objects/AttributeDictionary.h"
#include "objects/ObjectTypes.h"

namespace {

// Attributes that both writers keep to themselves.
constexpr std::array<std::string_view, 10> kInternalAttributes = {
    "fabVersion",      "HDL",    "APIVersion", "SessionEstablished", "SFVersion",
    "ProductLicensed", "Target", "ZMReady",    "ProxySwitchVersion", "FabricCounter"};

// Element names of the objects whose "WWN" the flat writer leaves out (the
// tree writer leaves it out of the enclosure object alone).
constexpr std::array<std::string_view, 6> kFlatWwnHidden = {
    "ZoningCapabilities",  "PortStats",      "PortErrors", "Device",
    "PhysicalSwitchGroup", "EnclosureObject"};

// Identifier type digits of the objects that the tree writer writes flat:
// ports, zoning objects and databases, security capabilities and policy sets.
constexpr std::array<std::string_view, 12> kFlatInTree = {
    "0001", "000a", "000A", "0014", "000b", "000B", "0016", "0018", "0019", "0020", "0021", "0030"};

// List entries that are attribute text of their own.
constexpr std::array<std::string_view, 3> kAttributeTextLists = {
    "SwitchBlower", "SwitchPowerSupply", "SwitchTempSensor"};

enum class Form { Flat, Tree };

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool leftOut(Form form, std::string_view element, std::string_view attribute) {
    if (contains(kInternalAttributes, attribute)) {
        return true;
    }
    if (attribute == "EnumMemberType") {
        return form == Form::Flat;
    }
    if (attribute == "WWN") {
        return form == Form::Flat ? contains(kFlatWwnHidden, element)
                                  : element == "EnclosureObject";
    }
    return false;
}

void appendHex(std::string& reply, std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%" PRIx32, value);
    reply += text;
}

void appendValue(std::string& reply, const AttributeValue& value) {
    switch (value.kind()) {
    case AttributeKind::Text:
        appendEscaped(reply, value.text());
        break;
    case AttributeKind::Int64:
        reply += value.wwnValue().toString();
        break;
    case AttributeKind::Short:
        appendHex(reply, value.shortValue());
        break;
    case AttributeKind::Int:
        appendHex(reply, static_cast<std::uint32_t>(value.intValue()));
        break;
    case AttributeKind::Bytes: {
        // The bytes as text: up to the first NUL.
        const std::vector<unsigned char>& bytes = value.bytes();
        const auto end = std::find(bytes.begin(), bytes.end(), 0);
        appendEscaped(reply, std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::size_t>(end - bytes.begin())));
        break;
    }
    case AttributeKind::Handle:
        break; // a handle means nothing outside the process
    }
}

// The element name of a relation set or list: its name without the first
// three characters.
std::string_view linkElement(const std::string& name) {
    return name.size() > 3 ? std::string_view(name).substr(3) : std::string_view();
}

std::string_view referenceAttribute(std::string_view element) {
    if (element == "ManagementAddrSet") {
        return "Addr";
    }
    if (element == "PortModuleTempSensorValueSet") {
        return "Value";
    }
    if (element == "LicenseKey") {
        return "Key";
    }
    if (element == "Proxy") {
        return "Switch";
    }
    return "OID";
}

void appendReference(std::string& reply, int encoding, std::string_view element,
                     std::string_view attribute, std::string_view value) {
    reply += '<';
    reply += element;
    reply += ' ';
    appendAttributeName(reply, encoding, attribute);
    reply += "=\"";
    appendEscaped(reply, value);
    reply += "\" />\n";
}

void appendLists(const StoredObject& object, std::string& reply, int encoding) {
    object.forEachList([&](const std::string& name, const StoredObject::StringList& list) {
        const std::string_view element = linkElement(name);
        for (const std::string& entry : list) {
            if (contains(kAttributeTextLists, element)) {
                reply += '<';
                reply += element;
                reply += ' ';
                reply += entry;
                reply += "/>\n";
            } else {
                appendReference(reply, encoding, element, "OID", entry);
            }
        }
    });
}

class ObjectWriter {
public:
    ObjectWriter(std::string& reply, int encoding) : reply_(reply), encoding_(encoding) {}

    void write(const StoredObject& object, Form form) {
        unsigned short type = 0;
        const bool hasType = object.getShortAttr("ObjType", type);
        const std::string_view element = hasType ? objectTypeName(type) : "";
        if (hasType) {
            reply_ += '<';
            reply_ += element;
            object.forEachAttribute([&](const std::string& name, const AttributeValue& value) {
                if (leftOut(form, element, name)) {
                    return;
                }
                reply_ += ' ';
                appendAttributeName(reply_, encoding_, name);
                reply_ += "=\"";
                appendValue(reply_, value);
                reply_ += '"';
            });
            reply_ += " >\n";
        }
        if (form == Form::Flat) {
            writeReferences(object);
        } else {
            writeNested(object, type);
        }
        appendLists(object, reply_, encoding_);
        if (hasType) {
            reply_ += "</";
            reply_ += element;
            reply_ += ">\n";
        }
    }

private:
    void writeReferences(const StoredObject& object) {
        object.forEachRelationSet(
            [&](const std::string& name, const StoredObject::RelationSet& set) {
                const std::string_view element = linkElement(name);
                const std::string_view attribute = referenceAttribute(element);
                for (const std::string& oid : set) {
                    appendReference(reply_, encoding_, element, attribute, oid);
                }
            });
    }

    void writeNested(const StoredObject& object, unsigned short type) {
        path_.push_back(&object);
        object.forEachRelationSet(
            [&](const std::string& name, const StoredObject::RelationSet& set) {
                const std::string_view element = linkElement(name);
                if (element == "Parent" ||
                    (type == ObjectType::Node && element.starts_with("Device"))) {
                    return;
                }
                for (const std::string& oid : set) {
                    if (element == "Proxy") {
                        appendReference(reply_, encoding_, element, "Switch", oid);
                    } else {
                        writeRelated(oid);
                    }
                }
            });
        path_.pop_back();
    }

    void writeRelated(const std::string& oid) {
        StoredObject* related = findObjectUnlocked(oid);
        if (related == nullptr || std::find(path_.begin(), path_.end(), related) != path_.end()) {
            return; // not stored, or a cycle back to an object being written
        }
        if (related->takeFetchFailed()) {
            return;
        }
        const bool flat =
            oid.size() >= 4 && contains(kFlatInTree, std::string_view(oid).substr(0, 4));
        write(*related, flat ? Form::Flat : Form::Tree);
    }

    std::string& reply_;
    int encoding_;
    // The objects whose elements are open, outermost first.
    std::vector<const StoredObject*> path_;
};

class ListingWriter : public StoredObjectXmlWriter {
public:
    void write(const StoredObject& object, std::string& out, int encoding) override {
        writeStoredObjectXml(object, out, encoding);
    }
    void writeTree(const StoredObject& object, std::string& out, int encoding) override {
        writeStoredObjectXmlTree(object, out, encoding);
    }
};

} // namespace

void appendAttributeName(std::string& reply, int encoding, std::string_view name) {
    if (encoding == 0) {
        appendEscaped(reply, name);
    } else if (encoding == 1) {
        char code[16];
        std::snprintf(code, sizeof code, "_%" PRIx32,
                      yarlAttrCodeOfName(std::string(name).c_str()));
        reply += code;
    }
}

void writeStoredObjectXml(const StoredObject& object, std::string& reply, int encoding) {
    ObjectWriter(reply, encoding).write(object, Form::Flat);
}

void writeStoredObjectXmlTree(const StoredObject& object, std::string& reply, int encoding) {
    LockGuard storeGuard(getObjectStoreMutex());
    ObjectWriter(reply, encoding).write(object, Form::Tree);
}

void installStoredObjectXmlWriter() {
    static ListingWriter writer;
    setStoredObjectXmlWriter(&writer);
}
