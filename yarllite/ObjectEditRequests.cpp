#include "yarllite/ObjectEditRequests.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <type_traits>

#include <xercesc/dom/DOMNode.hpp>

#include <orvane/status.h>

#include "objects/AttributeDictionary.h"
#include "objects/ObjectTypes.h"
#include "yarllite/DomAccess.h"
#include "yarllite/RequestNumbers.h"
#include "yarllite/XercesText.h"

namespace object_edit {

namespace {

constexpr int kBadRequest = FABAPI_ERR_BAD_ARGUMENT;
constexpr std::size_t kIdentifierSize = sizeof(OID_t);
constexpr std::size_t kLicenseKeySize = 64;
constexpr std::size_t kAddressSize = sizeof(RecordText);
constexpr std::size_t kAddressText = sizeof(RecordText::Text);

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void trimTrailingBlanks(std::string& text) {
    while (!text.empty() && isBlank(text.back())) {
        text.pop_back();
    }
}

bool digitsAndBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || isBlank(c); });
}

// The first run of decimal digits after leading blanks, as an unsigned
// number; nothing when it exceeds `maxValue`. No digits read as 0.
std::optional<unsigned long> leadingDigits(std::string_view text, unsigned long maxValue) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    unsigned long long value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        value = value * 10 + static_cast<unsigned>(text[pos] - '0');
        if (value > maxValue) {
            return std::nullopt;
        }
    }
    return static_cast<unsigned long>(value);
}

// A 16-bit field read as a decimal number; false when it does not fit.
bool readShortField(const std::string& text, unsigned short& out) {
    const int value = readDecimal(text);
    if (value < 0 || value > 0xFFFF) {
        return false;
    }
    out = static_cast<unsigned short>(value);
    return true;
}

bool named(const char* name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [name](const char* n) { return std::strcmp(name, n) == 0; });
}

// Attributes whose value is a 16-bit number passed as the argument itself.
bool isNumberAttribute(const char* name) {
    return named(name, {"PortState", "PortSpeed", "PortLinkDistance", "TxLinkRouteCost",
                        "TrunkDisable", "BraidexPortEnabled", "SwitchState", "ThrexEventsEnable",
                        "BraidexSwitchEnabled", "BraidexPartnerEnabled",
                        "EnableEventNotifications", "DefaultZoningBehavior", "ZMType",
                        "PlatformType", "PortModuleState"});
}

// Attributes whose value is a flag, 1 or 0.
bool isFlagAttribute(const char* name) {
    return named(name, {"ActivateZoneSet", "ActiveZoneSet", "DeactivateActiveZoneDb",
                        "ClearFullZoneDb", "ZoneTransactionActive", "ZoneTransactionCommit",
                        "ZoneTransactionValidate", "ZoningEnabled", "ZoneMemberTargetTyping",
                        "ZoningRefresh", "CommitZoneTransaction", "ValidateZoneTransaction",
                        "SecurityTransactionActive", "CommitSecurityTransaction",
                        "ActivatePolicySet"});
}

// A 16-bit number: decimal digits and blanks, or "0x" followed by digits
// and blanks, read as hexadecimal. Nothing for any other text or a value
// beyond 16 bits.
std::optional<unsigned> readShortNumber(std::string_view text) {
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        if (!digitsAndBlanks(digits)) {
            return std::nullopt;
        }
        return readHex(digits, 0xFFFF);
    }
    if (!digitsAndBlanks(text)) {
        return std::nullopt;
    }
    const auto value = leadingDigits(text, 0xFFFF);
    return value ? std::optional<unsigned>(static_cast<unsigned>(*value)) : std::nullopt;
}

bool hasName(const xercesc::DOMNode* node, const char* name) {
    return node->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
           toUtf8(node->getNodeName()) == name;
}

// The direct child elements of that name, in document order.
std::vector<const xercesc::DOMElement*> childElements(const xercesc::DOMNode* node,
                                                      const char* name) {
    std::vector<const xercesc::DOMElement*> children;
    for (const xercesc::DOMNode* child = node != nullptr ? node->getFirstChild() : nullptr;
         child != nullptr; child = child->getNextSibling()) {
        if (hasName(child, name)) {
            children.push_back(static_cast<const xercesc::DOMElement*>(child));
        }
    }
    return children;
}

// The member identifiers of one `Set`: the texts of its `SetMember`
// children, empty ones skipped.
void readSetMembers(const xercesc::DOMElement* set, EntryList& list) {
    for (const xercesc::DOMElement* member : childElements(set, "SetMember")) {
        const std::string text = extractText(member);
        if (!text.empty()) {
            list.add(text);
        }
    }
}

// The attribute's value, or when it is empty that of `fallback`.
std::string attributeOr(const xercesc::DOMElement* object, const char* name,
                        const char* fallback) {
    std::string value = fetchAttrValue(object, name);
    return !value.empty() ? value : fetchAttrValue(object, fallback);
}

} // namespace

// --- EntryList ----------------------------------------------------------------

EntryList::EntryList(Form form)
    : form_(form),
      entrySize_(form == Form::Identifier   ? kIdentifierSize
                 : form == Form::LicenseKey ? kLicenseKeySize
                                            : kAddressSize),
      block_(entrySize_, '\0') {}

bool EntryList::add(std::string_view text) {
    std::size_t length = text.size();
    switch (form_) {
    case Form::Identifier:
        length = std::min(length, kIdentifierSize - 1);
        break;
    case Form::LicenseKey:
        if (length >= kLicenseKeySize) {
            return false;
        }
        break;
    case Form::Address:
        if (length >= kAddressText) {
            return false;
        }
        break;
    }
    // The new entry takes the place of the terminator; a fresh one follows.
    char* entry = block_.data() + count_ * entrySize_;
    std::memcpy(entry, text.data(), length);
    if (form_ == Form::Address) {
        entry[kAddressText] = static_cast<char>(length);
    }
    block_.resize(block_.size() + entrySize_, '\0');
    ++count_;
    return true;
}

std::string_view EntryList::text(std::size_t i) const {
    if (i >= count_) {
        return {};
    }
    const char* entry = block_.data() + i * entrySize_;
    if (form_ == Form::Address) {
        return {entry, static_cast<unsigned char>(entry[kAddressText])};
    }
    return {entry, strnlen(entry, entrySize_)};
}

// --- Attribute codes and values -------------------------------------------------

unsigned attributeCodeOf(const xercesc::DOMElement* attribute, bool emptyNameNamesRow) {
    const std::string tag = fetchAttrValue(attribute, "tag");
    if (const auto code = leadingDigits(tag, 0xFFFFFFFFul); code && *code != 0) {
        return static_cast<unsigned>(*code);
    }
    const std::string name = fetchAttrValue(attribute, "name");
    if (name.empty() && !emptyNameNamesRow) {
        return 0;
    }
    return yarlAttrCodeOfName(name.c_str());
}

int AttributeArgument::read(unsigned code, const std::string& text) {
    const AttributeDictionaryEntry* row = attributeOfCode(code);
    const char* name = row != nullptr ? row->name : "";
    if (isNumberAttribute(name)) {
        const auto value = readShortNumber(text);
        if (!value) {
            return kBadRequest;
        }
        kind_ = Kind::Number;
        number_ = static_cast<std::intptr_t>(*value);
    } else if (std::strcmp(name, "SwitchTime") == 0) {
        const auto value = digitsAndBlanks(text) ? leadingDigits(text, 0xFFFFFFFFul)
                                                 : std::nullopt;
        if (!value) {
            return kBadRequest;
        }
        kind_ = Kind::Number;
        number_ = static_cast<std::intptr_t>(*value);
    } else if (std::strcmp(name, "SwitchTimeZone") == 0) {
        kind_ = Kind::Number;
        number_ = readDecimal(text);
    } else if (isFlagAttribute(name)) {
        if (text != "1" && text != "0") {
            return kBadRequest;
        }
        // The exports read the flag as a 16-bit value.
        kind_ = Kind::Flag;
        flag_ = text == "1" ? 1 : 0;
    } else if (std::strcmp(name, "PlatformName") == 0) {
        if (text.size() >= sizeof platformName_.Text) {
            return kBadRequest;
        }
        kind_ = Kind::PlatformName;
        platformName_ = RecordText{};
        std::memcpy(platformName_.Text, text.data(), text.size());
        platformName_.Length = static_cast<unsigned char>(text.size());
    } else {
        kind_ = Kind::Text;
        text_ = text;
    }
    return 0;
}

void* AttributeArgument::argument() {
    switch (kind_) {
    case Kind::Number:
        return reinterpret_cast<void*>(number_);
    case Kind::Flag:
        return &flag_;
    case Kind::PlatformName:
        return &platformName_;
    case Kind::Text:
        break;
    }
    return text_.data();
}

// --- Lists ------------------------------------------------------------------------

EntryList referenceList(const xercesc::DOMElement* root, bool lastText) {
    EntryList list;
    for (const xercesc::DOMElement* reference : elementsNamed(root, "ObjectReference")) {
        std::string text;
        bool found = false;
        for (const xercesc::DOMNode* child = reference->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            if (child->getNodeType() == xercesc::DOMNode::TEXT_NODE) {
                text = toUtf8(child->getNodeValue());
                found = true;
                if (!lastText) {
                    break;
                }
            }
        }
        trimTrailingBlanks(text);
        // An empty entry would end the list and drop the identifiers after it.
        if (found && !text.empty()) {
            list.add(text);
        }
    }
    return list;
}

int memberList(const std::vector<xercesc::DOMElement*>& attributes, unsigned code,
               EntryList& list) {
    list = EntryList(code == edit_code::ManagementAddrSet ? EntryList::Form::Address
                     : code == edit_code::LicenseKeySet   ? EntryList::Form::LicenseKey
                                                          : EntryList::Form::Identifier);
    for (const xercesc::DOMElement* attribute : attributes) {
        const std::string value = fetchAttrValue(attribute, "value");
        if (value.empty()) {
            continue; // an empty entry would end the list early
        }
        if (!list.add(value)) {
            return kBadRequest;
        }
    }
    return 0;
}

// --- ObjectDefinition ---------------------------------------------------------------

int ObjectDefinition::read(const xercesc::DOMElement* root) {
    const xercesc::DOMNode* definition = fetchNodeByName(root, "ObjectDefinition");
    const auto* object = static_cast<const xercesc::DOMElement*>(fetchNodeByName(root, "Object"));
    if (definition == nullptr || object == nullptr) {
        return kBadRequest;
    }
    const std::string typeText = attributeOr(object, "ObjType", "ObjectType");
    if (typeText.empty()) {
        return kBadRequest;
    }
    const int type = readDecimal(typeText);
    if (type <= 0 || type > 0xFFFF) {
        return kBadRequest;
    }
    type_ = static_cast<unsigned short>(type);

    const xercesc::DOMNode* sets = nullptr;
    std::vector<const xercesc::DOMElement*> setList;
    if (type_ != ObjectType::ZoneMember) {
        sets = fetchNodeByName(root, "Sets");
        if ((sets == nullptr || !sets->hasChildNodes()) && type_ != ObjectType::DefinedPolicy) {
            return kBadRequest;
        }
        setList = childElements(sets, "Set");
        // Zones, zone sets, aliases and policies take the last set, a switch
        // group the first; a platform tells its sets by name.
        if (!setList.empty()) {
            if (type_ == ObjectType::PhysicalSwitchGroup) {
                readSetMembers(setList.front(), members_);
            } else if (type_ != ObjectType::Platform) {
                readSetMembers(setList.back(), members_);
            }
        }
    }

    switch (type_) {
    case ObjectType::Zone:
        return readZone(object);
    case ObjectType::ZoneConfig:
        return readZoneSet(object);
    case ObjectType::Platform:
        return readPlatform(object, static_cast<const xercesc::DOMElement*>(sets));
    case ObjectType::ZoneAlias:
        return readAlias(object);
    case ObjectType::ZoneMember:
        return readMember(object);
    case ObjectType::PhysicalSwitchGroup:
        return readSwitchGroup(object);
    case ObjectType::DefinedPolicy:
        return readPolicy(object);
    default:
        return kBadRequest;
    }
}

const void* ObjectDefinition::record() const {
    return std::visit(
        [](const auto& record) -> const void* {
            if constexpr (std::is_same_v<std::decay_t<decltype(record)>, std::monostate>) {
                return nullptr;
            } else {
                return &record;
            }
        },
        record_);
}

int ObjectDefinition::readZone(const xercesc::DOMElement* object) {
    name_ = attributeOr(object, "ZoneName", "ObjectName");
    if (name_.empty() || members_.empty()) {
        return kBadRequest;
    }
    ZoneRecord record{};
    record.ObjType = type_;
    if (!readShortField(fetchAttrValue(object, "ZoneType"), record.zoneType)) {
        return kBadRequest;
    }
    record.zoneSubType = readDecimal(fetchAttrValue(object, "ZoneSubType"));
    record.pcZoneName = name_.data();
    record.pcMemberOids = const_cast<char*>(members_.data());
    record_ = record;
    return 0;
}

int ObjectDefinition::readZoneSet(const xercesc::DOMElement* object) {
    name_ = attributeOr(object, "ZoneSetName", "ObjectName");
    if (name_.empty() || members_.empty()) {
        return kBadRequest;
    }
    const std::string activate = fetchAttrValue(object, "ActivateZoneSet");
    if (activate != "1" && activate != "0" && !activate.empty()) {
        return kBadRequest;
    }
    ZoneSetObjectRecord record{};
    record.ObjType = type_;
    record.pcZoneSetName = name_.data();
    record.activateZoneSet = activate == "1" ? 1 : 0;
    record.pcMemberOids = reinterpret_cast<OID_t*>(const_cast<char*>(members_.data()));
    record_ = record;
    return 0;
}

int ObjectDefinition::readPlatform(const xercesc::DOMElement* object,
                                   const xercesc::DOMElement* sets) {
    name_ = fetchAttrValue(object, "PlatformName");
    PlatformRecord record{};
    if (name_.empty() || name_.size() >= sizeof record.PlatformName) {
        return kBadRequest;
    }
    record.ObjType = type_;
    if (!readShortField(fetchAttrValue(object, "PlatformType"), record.PlatformType)) {
        return kBadRequest;
    }
    std::memcpy(record.PlatformName, name_.data(), name_.size());
    record.PlatformNameLength = static_cast<unsigned char>(name_.size());
    for (const xercesc::DOMElement* set : childElements(sets, "Set")) {
        const std::string setName = fetchAttrValue(set, "name");
        if (setName == "PlatformNodeSet" && nodes_.empty()) {
            readSetMembers(set, nodes_);
        } else if (setName == "ManagementAddrSet" && addresses_.empty()) {
            for (const xercesc::DOMElement* member : childElements(set, "SetMember")) {
                const std::string text = extractText(member);
                if (!text.empty() && !addresses_.add(text)) {
                    return kBadRequest;
                }
            }
        }
    }
    // A list the request leaves empty is absent.
    record.PlatformNodeOIDs =
        nodes_.empty() ? nullptr : reinterpret_cast<OID_t*>(const_cast<char*>(nodes_.data()));
    record.ManagementAddrs =
        addresses_.empty()
            ? nullptr
            : reinterpret_cast<RecordText*>(const_cast<char*>(addresses_.data()));
    record_ = record;
    return 0;
}

int ObjectDefinition::readAlias(const xercesc::DOMElement* object) {
    name_ = attributeOr(object, "ZoneAliasName", "ObjectName");
    if (name_.empty() || members_.empty()) {
        return kBadRequest;
    }
    ZoneAliasRecord record{};
    record.ObjType = type_;
    record.pcZoneAliasName = name_.data();
    record.pcMemberOids = const_cast<char*>(members_.data());
    record_ = record;
    return 0;
}

int ObjectDefinition::readMember(const xercesc::DOMElement* object) {
    ZoneMemberRecord record{};
    record.ObjType = type_;
    const std::string target = fetchAttrValue(object, "ZoneMemberTarget");
    std::memcpy(record.targetOid, target.data(), std::min(target.size(), sizeof(OID_t) - 1));
    if (!readShortField(fetchAttrValue(object, "ZMType"), record.zmType)) {
        return kBadRequest;
    }
    modifier_ = fetchAttrValue(object, "ZoneMemberModifier");
    record.pcZoneMemberModifier = modifier_.empty() ? nullptr : modifier_.data();
    record_ = record;
    return 0;
}

int ObjectDefinition::readSwitchGroup(const xercesc::DOMElement* object) {
    name_ = fetchAttrValue(object, "PhysGroupName");
    PhysSwitchGroupRecord record{};
    // The name must fit its field with its NUL.
    if (name_.empty() || name_.size() >= sizeof record.PhysGroupName || members_.empty()) {
        return kBadRequest;
    }
    record.ObjType = type_;
    std::memcpy(record.PhysGroupName, name_.data(), name_.size());
    record.PhysGroupType = readDecimal(fetchAttrValue(object, "PhysGroupType"));
    record.setPhysGroupSwitch = reinterpret_cast<OID_t*>(const_cast<char*>(members_.data()));
    record_ = record;
    return 0;
}

int ObjectDefinition::readPolicy(const xercesc::DOMElement* object) {
    name_ = attributeOr(object, "PolicyName", "ObjectName");
    if (name_.empty()) {
        return kBadRequest;
    }
    SecurityPolicyRecord record{};
    record.ObjType = type_;
    record.PolicyName = name_.data();
    record.MemberOIDs = reinterpret_cast<OID_t*>(const_cast<char*>(members_.data()));
    record_ = record;
    return 0;
}

} // namespace object_edit
