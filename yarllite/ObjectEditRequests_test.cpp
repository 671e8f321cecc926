#include "yarllite/ObjectEditRequests.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "yarllite/DomAccess.h"
#include "yarllite/TestDocument.h"

using namespace object_edit;

namespace {

std::string doc(const std::string& body) {
    return "<?xml version='1.0'?><YarlRequest>" + body + "</YarlRequest>";
}

std::vector<std::string> texts(const EntryList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.count(); ++i) {
        out.emplace_back(list.text(i));
    }
    return out;
}

// The list's block ends with an empty entry right after the last one.
void expectTerminated(const EntryList& list) {
    const char* end = list.data() + list.count() * list.entrySize();
    for (std::size_t i = 0; i < list.entrySize(); ++i) {
        EXPECT_EQ('\0', end[i]) << i;
    }
}

const std::string k47(47, 'a');

constexpr unsigned kSwitchState = 0x40212;
constexpr unsigned kPortSpeed = 0x40111;
constexpr unsigned kSwitchTime = 0x50213;
constexpr unsigned kSwitchTimeZone = 0x50214;
constexpr unsigned kTransactionActive = 0xA0B23;
constexpr unsigned kPlatformName = 0x110E01;
constexpr unsigned kSwitchName = 0x11020B;

} // namespace

TEST(EntryList, EachFormBoundsItsEntries) {
    EntryList ids;
    EXPECT_TRUE(ids.add("0002abc"));
    EXPECT_TRUE(ids.add(k47 + "xyz")) << "an identifier is cut, not refused";
    EXPECT_EQ((std::vector<std::string>{"0002abc", k47}), texts(ids));
    EXPECT_EQ(48u, ids.entrySize());
    expectTerminated(ids);

    EntryList keys(EntryList::Form::LicenseKey);
    EXPECT_TRUE(keys.add(std::string(63, 'k')));
    EXPECT_FALSE(keys.add(std::string(64, 'k'))) << "a key must fit its field with its NUL";
    EXPECT_EQ(1u, keys.count());
    EXPECT_EQ(64u, keys.entrySize());
    expectTerminated(keys);

    EntryList addresses(EntryList::Form::Address);
    EXPECT_TRUE(addresses.add("127.0.0.5"));
    EXPECT_TRUE(addresses.add(std::string(255, '9')));
    EXPECT_FALSE(addresses.add(std::string(256, '9')));
    EXPECT_EQ(257u, addresses.entrySize());
    EXPECT_EQ(9, static_cast<unsigned char>(addresses.data()[256])) << "the length byte";
    EXPECT_EQ(255, static_cast<unsigned char>(addresses.data()[257 + 256]));
    EXPECT_EQ(std::string(255, '9'), texts(addresses)[1]);
    expectTerminated(addresses);
}

TEST(ObjectEditRequests, AttributeCodeByTagOrName) {
    struct Case {
        const char* attribute;
        bool emptyNameNamesRow;
        unsigned code;
    };
    const std::vector<Case> cases = {
        {"<YarlAttribute tag='262674' value='1'/>", false, kSwitchState},
        {"<YarlAttribute tag=' 262674' name='PortSpeed'/>", false, kSwitchState},
        // A tag in hexadecimal reads as 0 and falls back to the name.
        {"<YarlAttribute tag='0x40212' name='PortSpeed'/>", false, kPortSpeed},
        {"<YarlAttribute tag='0' name='PortSpeed'/>", false, kPortSpeed},
        {"<YarlAttribute tag='' name='PortSpeed'/>", false, kPortSpeed},
        // Codes with the high bit set are read whole.
        {"<YarlAttribute tag='2148207110'/>", false, 0x800b0a06},
        {"<YarlAttribute tag='99999999999' name='PortSpeed'/>", false, kPortSpeed},
        {"<YarlAttribute name='NoSuchAttribute'/>", false, 0},
        {"<YarlAttribute name=''/>", false, 0},
        {"<YarlAttribute/>", false, 0},
        // The set member edits let an empty name match the row without one.
        {"<YarlAttribute name=''/>", true, 0x40001},
        {"<YarlAttribute/>", true, 0x40001},
    };
    for (const Case& c : cases) {
        TestDocument document(doc(c.attribute));
        ASSERT_TRUE(document.parsed()) << c.attribute;
        const auto attributes = elementsNamed(document.root(), "YarlAttribute");
        EXPECT_EQ(c.code, attributeCodeOf(attributes.front(), c.emptyNameNamesRow)) << c.attribute;
    }
}

TEST(ObjectEditRequests, AttributeArgumentsByKind) {
    struct Case {
        unsigned code;
        std::string text;
        int status;
        std::optional<std::intptr_t> number; // the argument itself
    };
    const std::vector<Case> cases = {
        {kSwitchState, "12", 0, 12},
        {kSwitchState, "0x10", 0, 16},
        {kSwitchState, "0X10", 0, 16},
        {kSwitchState, "", 0, 0},
        {kSwitchState, " 7", 0, 7},
        {kSwitchState, "65535", 0, 65535},
        {kSwitchState, "0x1f", -3, {}}, // only decimal digits after "0x"
        {kSwitchState, "12a", -3, {}},
        {kSwitchState, "-1", -3, {}},
        {kSwitchState, "65536", -3, {}}, // beyond 16 bits: refused, not cut
        {kSwitchState, "0x10000", -3, {}},
        {kSwitchTime, "1700000000", 0, 1700000000},
        {kSwitchTime, "0x10", -3, {}},
        {kSwitchTime, "99999999999", -3, {}},
        {kSwitchTimeZone, "-5h", 0, -5},
        {kSwitchTimeZone, "x", 0, 0},
    };
    for (const Case& c : cases) {
        AttributeArgument value;
        EXPECT_EQ(c.status, value.read(c.code, c.text)) << c.code << " " << c.text;
        if (c.number) {
            EXPECT_EQ(*c.number, reinterpret_cast<std::intptr_t>(value.argument())) << c.text;
        }
    }
}

TEST(ObjectEditRequests, FlagPlatformNameAndTextValues) {
    for (const char* text : {"1", "0"}) {
        AttributeArgument value;
        ASSERT_EQ(0, value.read(kTransactionActive, text));
        // Read as the exports read it: a 16-bit value.
        EXPECT_EQ(text[0] - '0', *static_cast<const unsigned short*>(value.argument()));
    }
    for (const char* text : {"true", "", "01", "2"}) {
        AttributeArgument value;
        EXPECT_EQ(-3, value.read(kTransactionActive, text)) << text;
    }

    AttributeArgument platform;
    ASSERT_EQ(0, platform.read(kPlatformName, "host-a"));
    const auto* name = static_cast<const RecordText*>(platform.argument());
    EXPECT_STREQ("host-a", name->Text);
    EXPECT_EQ(6, name->Length);
    AttributeArgument longest;
    EXPECT_EQ(0, longest.read(kPlatformName, std::string(255, 'p')));
    AttributeArgument tooLong;
    EXPECT_EQ(-3, tooLong.read(kPlatformName, std::string(256, 'p')));

    AttributeArgument text;
    ASSERT_EQ(0, text.read(kSwitchName, "edge 1"));
    EXPECT_STREQ("edge 1", static_cast<const char*>(text.argument()));
    AttributeArgument unknownCode;
    ASSERT_EQ(0, unknownCode.read(0x12345678, "anything"));
    EXPECT_STREQ("anything", static_cast<const char*>(unknownCode.argument()));
}

TEST(ObjectEditRequests, ReferenceListSkipsEmptyReferences) {
    TestDocument document(doc("<ObjectReference>0002aa </ObjectReference>"
                              "<ObjectReference/>"
                              "<x><ObjectReference>first<!--c-->last</ObjectReference></x>"
                              "<ObjectReference>" + k47 + "tail</ObjectReference>"));
    ASSERT_TRUE(document.parsed());
    EXPECT_EQ((std::vector<std::string>{"0002aa", "last", k47}),
              texts(referenceList(document.root(), true)));
    EXPECT_EQ((std::vector<std::string>{"0002aa", "first", k47}),
              texts(referenceList(document.root(), false)));
    TestDocument none(doc(""));
    const EntryList empty = referenceList(none.root(), false);
    EXPECT_TRUE(empty.empty());
    expectTerminated(empty);
}

TEST(ObjectEditRequests, MemberListsTakeTheFormOfTheirSet) {
    const std::string attributes = "<YarlAttribute name='ZoneMemberSet' value='m1'/>"
                                   "<YarlAttribute value=''/>"
                                   "<YarlAttribute value='m2 '/>";
    TestDocument document(doc(attributes));
    ASSERT_TRUE(document.parsed());
    const auto elements = elementsNamed(document.root(), "YarlAttribute");
    EntryList list;
    ASSERT_EQ(0, memberList(elements, 0x800b0a06, list));
    EXPECT_EQ((std::vector<std::string>{"m1", "m2"}), texts(list));
    EXPECT_EQ(48u, list.entrySize());
    ASSERT_EQ(0, memberList(elements, edit_code::ManagementAddrSet, list));
    EXPECT_EQ(257u, list.entrySize());
    EXPECT_EQ((std::vector<std::string>{"m1", "m2"}), texts(list));
    ASSERT_EQ(0, memberList(elements, edit_code::LicenseKeySet, list));
    EXPECT_EQ(64u, list.entrySize());

    TestDocument longKey(doc("<YarlAttribute value='" + std::string(64, 'k') + "'/>"));
    EXPECT_EQ(-3, memberList(elementsNamed(longKey.root(), "YarlAttribute"),
                             edit_code::LicenseKeySet, list));
    TestDocument longAddress(doc("<YarlAttribute value='" + std::string(256, '1') + "'/>"));
    EXPECT_EQ(-3, memberList(elementsNamed(longAddress.root(), "YarlAttribute"),
                             edit_code::ManagementAddrSet, list));
}

namespace {

std::string createRequest(const std::string& object, const std::string& sets,
                          bool definition = true) {
    return doc("<ObjectReference>000910000060697000001</ObjectReference>" +
               std::string(definition ? "<ObjectDefinition>" : "") + object + sets +
               (definition ? "</ObjectDefinition>" : ""));
}

std::string set(const std::vector<std::string>& members, const std::string& name = "") {
    std::string text = name.empty() ? "<Set>" : "<Set name='" + name + "'>";
    for (const std::string& m : members) {
        text += "<SetMember>" + m + "</SetMember>";
    }
    return text + "</Set>";
}

std::string sets(const std::string& inside) {
    return "<Sets>" + inside + "</Sets>";
}

std::vector<std::string> oids(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.emplace_back(*list, strnlen(*list, 48));
    }
    return out;
}

} // namespace

TEST(ObjectDefinition, RecordsOfEachKind) {
    {
        // A zone takes its members from the last set; empty members skip.
        TestDocument document(createRequest(
            "<Object ObjType='' ObjectType='10' ObjectName='zA' ZoneType='1' ZoneSubType='0'/>",
            sets(set({"m0"}) + set({"m1", "", "m2"}))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* zone = static_cast<const ZoneRecord*>(definition.record());
        EXPECT_EQ(10, zone->ObjType);
        EXPECT_STREQ("zA", zone->pcZoneName);
        EXPECT_EQ(1, zone->zoneType);
        EXPECT_EQ((std::vector<std::string>{"m1", "m2"}),
                  oids(reinterpret_cast<const OID_t*>(zone->pcMemberOids)));
    }
    {
        TestDocument document(createRequest(
            "<Object ObjType='11' ZoneSetName='cfgA' ActivateZoneSet='1'/>", sets(set({"z1"}))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* zoneSet = static_cast<const ZoneSetObjectRecord*>(definition.record());
        EXPECT_STREQ("cfgA", zoneSet->pcZoneSetName);
        EXPECT_EQ(1, zoneSet->activateZoneSet);
        EXPECT_EQ((std::vector<std::string>{"z1"}), oids(zoneSet->pcMemberOids));
    }
    {
        TestDocument document(
            createRequest("<Object ObjType='20' ZoneAliasName='aA'/>", sets(set({"p1", "p2"}))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* alias = static_cast<const ZoneAliasRecord*>(definition.record());
        EXPECT_STREQ("aA", alias->pcZoneAliasName);
        EXPECT_EQ(2u, definition.members().count());
    }
    {
        // A zone member needs no sets; an empty modifier is absent.
        TestDocument document(createRequest(
            "<Object ObjType='22' ZoneMemberTarget='" + k47 + "zz' ZMType='2'/>", ""));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* member = static_cast<const ZoneMemberRecord*>(definition.record());
        EXPECT_EQ(k47, std::string(member->targetOid));
        EXPECT_EQ(2, member->zmType);
        EXPECT_EQ(nullptr, member->pcZoneMemberModifier);
    }
    {
        // A switch group takes the first set, a name of 32 characters.
        TestDocument document(createRequest("<Object ObjType='35' PhysGroupName='" +
                                                std::string(32, 'g') + "' PhysGroupType='3'/>",
                                            sets(set({"s1"}) + set({"s2", "s3"}))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* group = static_cast<const PhysSwitchGroupRecord*>(definition.record());
        EXPECT_EQ(std::string(32, 'g'), std::string(group->PhysGroupName));
        EXPECT_EQ(3, group->PhysGroupType);
        EXPECT_EQ((std::vector<std::string>{"s1"}), oids(group->setPhysGroupSwitch));
    }
    {
        // A defined policy may come without sets: an empty list.
        TestDocument document(createRequest("<Object ObjType='49' PolicyName='SCC_POLICY'/>", ""));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* policy = static_cast<const SecurityPolicyRecord*>(definition.record());
        EXPECT_STREQ("SCC_POLICY", policy->PolicyName);
        ASSERT_NE(nullptr, policy->MemberOIDs);
        EXPECT_EQ('\0', policy->MemberOIDs[0][0]);
    }
    {
        TestDocument document(createRequest(
            "<Object ObjType='15' PlatformName='host' PlatformType='4'/>",
            sets(set({"n1", "n2"}, "PlatformNodeSet") + set({"127.0.0.5"}, "ManagementAddrSet"))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* platform = static_cast<const PlatformRecord*>(definition.record());
        EXPECT_EQ(4, platform->PlatformType);
        EXPECT_EQ("host", std::string(reinterpret_cast<const char*>(platform->PlatformName)));
        EXPECT_EQ(4, platform->PlatformNameLength);
        EXPECT_EQ((std::vector<std::string>{"n1", "n2"}), oids(platform->PlatformNodeOIDs));
        ASSERT_NE(nullptr, platform->ManagementAddrs);
        EXPECT_STREQ("127.0.0.5", platform->ManagementAddrs[0].Text);
        EXPECT_EQ(9, platform->ManagementAddrs[0].Length);
        EXPECT_EQ(0, platform->ManagementAddrs[1].Length);
    }
    {
        // Lists a platform request leaves empty are absent.
        TestDocument document(createRequest("<Object ObjType='15' PlatformName='host'/>",
                                            sets(set({}, "PlatformNodeSet"))));
        ObjectDefinition definition;
        ASSERT_EQ(0, definition.read(document.root()));
        const auto* platform = static_cast<const PlatformRecord*>(definition.record());
        EXPECT_EQ(nullptr, platform->PlatformNodeOIDs);
        EXPECT_EQ(nullptr, platform->ManagementAddrs);
    }
}

TEST(ObjectDefinition, RequestsThatDescribeNoObject) {
    const std::string members = sets(set({"m1"}));
    struct Case {
        std::string request;
        const char* why;
    };
    const std::vector<Case> cases = {
        {createRequest("<Object ObjType='10' ZoneName='z'/>", members, false), "no definition"},
        {createRequest("", members), "no Object"},
        {createRequest("<Object ZoneName='z'/>", members), "no type"},
        {createRequest("<Object ObjType='abc' ZoneName='z'/>", members), "type 0"},
        {createRequest("<Object ObjType='9' ObjectName='f'/>", members), "not creatable"},
        {createRequest("<Object ObjType='10' ZoneName='z'/>", ""), "no sets"},
        {createRequest("<Object ObjType='10' ZoneName='z'/>", "<Sets/>"), "empty sets"},
        {createRequest("<Object ObjType='10'/>", members), "no zone name"},
        {createRequest("<Object ObjType='10' ZoneName='z'/>", sets(set({""}))), "no member"},
        {createRequest("<Object ObjType='10' ZoneName='z' ZoneType='70000'/>", members),
         "zone type beyond 16 bits"},
        {createRequest("<Object ObjType='11' ZoneSetName='c' ActivateZoneSet='yes'/>", members),
         "activation neither 1 nor 0"},
        {createRequest("<Object ObjType='20' ObjectName='a'/>", sets("<Other/>")), "no alias member"},
        {createRequest("<Object ObjType='35' PhysGroupName='" + std::string(33, 'g') + "'/>",
                       members),
         "group name beyond its field"},
        {createRequest("<Object ObjType='35'/>", members), "no group name"},
        {createRequest("<Object ObjType='49'/>", ""), "no policy name"},
        {createRequest("<Object ObjType='15' PlatformName='" + std::string(256, 'p') + "'/>",
                       members),
         "platform name beyond its field"},
        {createRequest("<Object ObjType='15' PlatformName='h'/>",
                       sets(set({std::string(256, '1')}, "ManagementAddrSet"))),
         "address beyond its field"},
        {createRequest("<Object ObjType='15' PlatformName='h'/>", ""), "platform without sets"},
    };
    for (const Case& c : cases) {
        TestDocument document(c.request);
        ASSERT_TRUE(document.parsed()) << c.why;
        ObjectDefinition definition;
        EXPECT_EQ(-3, definition.read(document.root())) << c.why;
    }
}
