// The arguments of the object editing exports, read from a request: entry
// lists, attribute codes, attribute values and the definition records of
// new objects. Nothing here calls an export, so every rule can be checked
// on a parsed document alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

#include <orvane/records.h>

namespace object_edit {

// A list of fixed-size entries ended by an empty one, as the exports take
// identifier, licence key and address lists. It owns its block.
class EntryList {
public:
    enum class Form {
        Identifier, // 48 characters; a longer text is cut to 47
        LicenseKey, // 64 characters; a key must fit with its NUL
        Address,    // a 256-character text with its NUL, then its length byte
    };

    explicit EntryList(Form form = Form::Identifier);

    // Appends one entry; false (and nothing appended) when the text does not
    // fit its field. An identifier is cut instead and always appended.
    bool add(std::string_view text);

    const char* data() const { return block_.data(); }
    std::size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::size_t entrySize() const { return entrySize_; }
    // The text of entry `i` (for checks).
    std::string_view text(std::size_t i) const;

private:
    Form form_;
    std::size_t entrySize_;
    std::size_t count_ = 0;
    std::vector<char> block_; // always ends with an empty entry
};

// Dictionary codes the handlers tell apart.
namespace edit_code {
inline constexpr unsigned ManagementAddrSet = 0x80110e03;
inline constexpr unsigned LicenseKeySet = 0x0010021f;
} // namespace edit_code

// The attribute code a YarlAttribute element names: its `tag` read as an
// unsigned decimal number or, when that reads as 0, its `name` through the
// attribute dictionary. `emptyNameNamesRow`: whether an empty or missing
// name names the dictionary row whose name is empty. 0 when it names none.
unsigned attributeCodeOf(const xercesc::DOMElement* attribute, bool emptyNameNamesRow);

// The value argument of AddAttributes for one code, built from the request's
// value text. It holds what the argument points to, so it stays in place
// while the export runs.
class AttributeArgument {
public:
    AttributeArgument() = default;
    AttributeArgument(const AttributeArgument&) = delete;
    AttributeArgument& operator=(const AttributeArgument&) = delete;

    // 0, or -3 when the text is not a value of the code's kind.
    int read(unsigned code, const std::string& text);
    void* argument();

private:
    enum class Kind { Number, Flag, PlatformName, Text };
    Kind kind_ = Kind::Text;
    std::intptr_t number_ = 0;
    unsigned short flag_ = 0;
    RecordText platformName_{};
    std::string text_;
};

// The identifier list of the `ObjectReference` elements below `root`, in
// document order; an element without text adds no entry. `lastText`: an
// element's last text child counts (else its first).
EntryList referenceList(const xercesc::DOMElement* root, bool lastText);

// The member list of a set member edit: one entry from the `value` of each
// YarlAttribute element, in the form the code's set takes. An empty value
// adds no entry. 0, or -3 when a value does not fit its entry.
int memberList(const std::vector<xercesc::DOMElement*>& attributes, unsigned code,
               EntryList& list);

// The definition record of a CreateFabricObject request and every text and
// list it points to.
class ObjectDefinition {
public:
    ObjectDefinition() = default;
    ObjectDefinition(const ObjectDefinition&) = delete;
    ObjectDefinition& operator=(const ObjectDefinition&) = delete;

    // Reads the `Object` element's attributes and the `Sets` below `root`:
    // 0, or -3 for a request that describes no object the export creates.
    int read(const xercesc::DOMElement* root);

    unsigned short type() const { return type_; }
    const void* record() const;
    const EntryList& members() const { return members_; }
    const EntryList& nodes() const { return nodes_; }
    const EntryList& addresses() const { return addresses_; }

private:
    int readZone(const xercesc::DOMElement* object);
    int readZoneSet(const xercesc::DOMElement* object);
    int readPlatform(const xercesc::DOMElement* object, const xercesc::DOMElement* sets);
    int readAlias(const xercesc::DOMElement* object);
    int readMember(const xercesc::DOMElement* object);
    int readSwitchGroup(const xercesc::DOMElement* object);
    int readPolicy(const xercesc::DOMElement* object);

    unsigned short type_ = 0;
    std::string name_;
    std::string modifier_;
    EntryList members_;
    EntryList nodes_;
    EntryList addresses_{EntryList::Form::Address};
    std::variant<std::monostate, ZoneRecord, ZoneSetObjectRecord, PlatformRecord,
                 ZoneAliasRecord, ZoneMemberRecord, PhysSwitchGroupRecord, SecurityPolicyRecord>
        record_;
};

} // namespace object_edit
