// The replies of the object query commands against two simulated fabrics,
// through processCommand: their elements, attributes and order in both
// attribute encodings, with and without the dictionary.
#include <gtest/gtest.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "objects/AttributeDictionary.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/xmlcommand.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/LockHeldElsewhere.h"
#include "tests/support/SwitchSimulator.h"
#include "yarllite/ObjectQueryCommands.h"
#include "yarllite/StoredObjectXml.h"

namespace {

constexpr char kFabricA[] = "000910000060690a0001";
constexpr char kFabricB[] = "000910000060690b0001";

// Fabric A: a proxy of the newest generation with ports, port modules,
// name-server entries (nodes and devices) and a zoning database; fabric B:
// two 4.1 switches, one with a name that needs escaping, and its own zoning.
nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"({"fabrics": [
      {"name": "A",
       "switches": [
        {"wwn": "10:00:00:60:69:0a:00:01", "firmware": "v5.2.0", "address": "@0",
         "info": {"a4": "v5.2.0", "a5": "core-a", "m1": 1, "m4": 0},
         "portModuleRanges": [[0, 1]],
         "ports": [
           {"wwn": "20:00:00:60:69:0a:00:01",
            "info": {"u1": 0, "u3": 1, "u4": 1, "u5": 4, "u6": 2, "u7": 2, "u8": 5, "u9": 500}},
           {"wwn": "20:01:00:60:69:0a:00:01", "info": {"u1": 1, "u3": 1, "u6": 3}}],
         "portModules": [
           {"values": [0, 0, 0, 0, 1], "texts": ["PN-0", "SN-0", "x", "OEM-0", "R1", "y", "2026-01-02"],
            "ports": [31]}],
         "fcs": {"ports": [
           {"wwn": "20:00:00:60:69:0a:00:01", "type": 129,
            "attached": [{"wwn": "21:00:00:e0:8b:0a:00:01", "type": 1}]},
           {"wwn": "20:01:00:60:69:0a:00:01", "type": 130}]}},
        {"wwn": "10:00:00:60:69:0a:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}}],
       "nameServer": [
        {"portId": "010100", "portType": 1, "portName": "21:00:00:e0:8b:0a:00:01",
         "nodeName": "20:00:00:e0:8b:0a:00:01", "switchPort": "20:00:00:60:69:0a:00:01",
         "symbolicPortName": "hba-port", "symbolicNodeName": "host-a", "classOfService": 8}],
       "zoning": {"defined": [
         {"name": "cfg_a", "type": 1, "members": ["zone_a"]},
         {"name": "zone_a", "type": 2, "members": ["21:00:00:e0:8b:0a:00:01", "alias_a"]},
         {"name": "alias_a", "type": 3, "members": ["1,4"]}],
         "active": "cfg_a"}},
      {"name": "B",
       "switches": [
        {"wwn": "10:00:00:60:69:0b:00:01", "firmware": "v4.1.0", "address": "@1",
         "name": "edge<&\"'>"},
        {"wwn": "10:00:00:60:69:0b:00:02", "firmware": "v4.1.0", "name": "edge-b2"}],
       "zoning": {"defined": [
         {"name": "cfg_b", "type": 1, "members": ["zone_b"]},
         {"name": "zone_b", "type": 2, "members": ["2,7"]}],
         "active": "cfg_b"}}]})");
    for (auto& fabric : doc["fabrics"]) {
        fabric["users"] = nlohmann::json::parse(R"([{"name": "admin", "password": "password"}])");
    }
    return doc;
}

std::string request(const std::string& command, const std::string& body = "",
                    const std::string& head = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + head + body + "</YarlRequest>\n";
}

// One element of a reply as written: its name, its attributes in their
// order (values unescaped) and the elements inside it.
struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;

    const std::string* attribute(const std::string& wanted) const {
        for (const auto& [name, value] : attributes) {
            if (name == wanted) {
                return &value;
            }
        }
        return nullptr;
    }
    bool operator==(const Element&) const = default;
};

std::string unescape(const std::string& text) {
    static const std::vector<std::pair<std::string, char>> entities = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : entities) {
            if (text.compare(i, entity.size(), entity) == 0) {
                out += c;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[i++];
        }
    }
    return out;
}

// What a reply holds after its header: the version block's encoding, the
// fault code (when there is a fault block), the elements that follow it in
// order (the Objects element, the Dictionary block, objects, Error
// elements), and whether every line had the form the writers give.
struct Reply {
    std::string echo;
    std::string encoding;
    std::optional<int> fault;
    std::vector<Element> elements;
    std::vector<std::string> faults; // lines that did not parse
};

Reply readReply(const std::string& text) {
    static const std::regex open(R"(<(\w+)((?: [^ =]+="[^"]*")*)( >| />|>)\r?)");
    static const std::regex close(R"(</(\w+)>)");
    static const std::regex attribute(R"( ([^ =]+)="([^"]*)\")");
    static const std::regex code(R"(<YarlErrorCode>(-?\d+)</YarlErrorCode>)");
    static const std::regex echo(R"(<EchoMsgType>(.*)</EchoMsgType>)");
    static const std::regex encoding(R"(<AttributeEncoding>(.*)</AttributeEncoding>)");
    Reply reply;
    std::vector<Element*> open_;
    std::istringstream lines(text);
    std::string line;
    bool inHeader = true;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (inHeader) {
            if (std::regex_match(line, m, echo)) {
                reply.echo = m[1];
            } else if (std::regex_match(line, m, encoding)) {
                reply.encoding = m[1];
            }
            if (line.starts_with("<?xml") || line == "<YarlResponse>" ||
                line.starts_with("<Date>") || line.starts_with("<EchoMsgType>") ||
                line.starts_with("<APIVersion ") || line.starts_with("<YarlVersion ") ||
                line.starts_with("<AttributeEncoding>")) {
                continue;
            }
            inHeader = false;
        }
        if (line == "<Fault>" || line == "</Fault>") {
            continue;
        }
        if (std::regex_match(line, m, code)) {
            reply.fault = std::stoi(m[1]);
        } else if (line == "</YarlResponse>") {
            break;
        } else if (std::regex_match(line, m, close)) {
            if (open_.empty() || open_.back()->name != m[1]) {
                reply.faults.push_back(line);
            } else {
                open_.pop_back();
            }
        } else if (std::regex_match(line, m, open)) {
            Element element{m[1].str(), {}, {}};
            const std::string attributes = m[2];
            for (auto it = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
                 it != std::sregex_iterator(); ++it) {
                element.attributes.emplace_back((*it)[1], unescape((*it)[2]));
            }
            auto& siblings = open_.empty() ? reply.elements : open_.back()->children;
            siblings.push_back(std::move(element));
            if (m[3] != " />") {
                open_.push_back(&siblings.back());
            }
        } else {
            reply.faults.push_back(line);
        }
    }
    if (!open_.empty()) {
        reply.faults.push_back("unclosed <" + open_.back()->name + ">");
    }
    return reply;
}

// The object types of the two fabrics: element name, and whether a tree
// listing writes the object flat (ports, zoning objects and databases,
// security capabilities).
struct TypeRow {
    unsigned short type;
    const char* element;
    bool flatInTree;
};
const TypeRow kTypes[] = {
    {1, "Port", true},
    {2, "Switch", false},
    {4, "Node", false},
    {5, "Device", false},
    {9, "Fabric", false},
    {10, "Zone", true},
    {11, "ZoneConfig", true},
    {20, "ZoneAlias", true},
    {21, "ZoningCapabilities", false},
    {23, "PortModule", false},
    {24, "FullZoneDB", true},
    {25, "ActiveZoneDB", true},
    {32, "SecurityCapabilities", true},
    {50, "SecurityStats", false},
};

const TypeRow* typeRow(unsigned short type) {
    for (const TypeRow& row : kTypes) {
        if (row.type == type) {
            return &row;
        }
    }
    return nullptr;
}

// Every object of the two fabrics that the queries reach, with its type,
// its fabric and whether the tree of its fabric holds it (nodes, devices
// and device ports hang off ports, which a tree writes flat).
struct ObjectRow {
    const char* oid;
    unsigned short type;
    const char* fabric;
    bool inTree;
};
const ObjectRow kObjects[] = {
    {kFabricA, 9, kFabricA, true},
    {"000210000060690a0001", 2, kFabricA, true},
    {"000210000060690a0002", 2, kFabricA, true},
    {"001710000060690a000100000000", 23, kFabricA, true},
    {"000120000060690a0001", 1, kFabricA, true},
    {"000120010060690a0001", 1, kFabricA, true},
    {"0001210000e08b0a0001", 1, kFabricA, false},
    {"0004200000e08b0a0001", 4, kFabricA, false},
    {"0005200000e08b0a0001", 5, kFabricA, false},
    {"001510000060690a0001", 21, kFabricA, true},
    {"001810000060690a0001", 24, kFabricA, true},
    {"001910000060690a0001", 25, kFabricA, true},
    {"002010000060690a0001", 32, kFabricA, true},
    {"003210000060690a0001", 50, kFabricA, true},
    {"003210000060690a0002", 50, kFabricA, true},
    {kFabricB, 9, kFabricB, true},
    {"000210000060690b0001", 2, kFabricB, true},
    {"000210000060690b0002", 2, kFabricB, true},
    {"001510000060690b0001", 21, kFabricB, true},
    {"001810000060690b0001", 24, kFabricB, true},
    {"001910000060690b0001", 25, kFabricB, true},
    {"002010000060690b0001", 32, kFabricB, true},
    {"003210000060690b0001", 50, kFabricB, true},
    {"003210000060690b0002", 50, kFabricB, true},
};

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// Attributes the writers never write.
const std::set<std::string> kNeverWritten = {
    "fabVersion",      "HDL",    "APIVersion", "SessionEstablished", "SFVersion",
    "ProductLicensed", "Target", "ZMReady",    "ProxySwitchVersion", "FabricCounter"};
// Elements whose WWN the flat writer leaves out.
const std::set<std::string> kFlatWithoutWwn = {"ZoningCapabilities",  "PortStats",
                                               "PortErrors",          "Device",
                                               "PhysicalSwitchGroup", "EnclosureObject"};

enum class Form { Flat, Tree };

// The attribute names of a reply in the dictionary encoding, back to names
// through the reply's own Dictionary block; "_0" stays.
using Dictionary = std::map<std::string, std::string>;

Dictionary dictionaryOf(const Reply& reply) {
    Dictionary codes;
    for (const Element& element : reply.elements) {
        if (element.name != "Dictionary") {
            continue;
        }
        for (const Element& row : element.children) {
            const std::string* name = row.attribute("Name");
            const std::string* code = row.attribute("YARLATTR");
            if (name != nullptr && code != nullptr) {
                codes["_" + code->substr(2)] = *name;
            }
        }
    }
    return codes;
}

void decode(Element& element, const Dictionary& codes) {
    for (auto& [name, value] : element.attributes) {
        auto found = codes.find(name);
        if (found != codes.end()) {
            name = found->second;
        }
    }
    for (Element& child : element.children) {
        decode(child, codes);
    }
}

// Checks one object element and, in a tree, what is nested in it, against
// the writers' rules. `names` holds the dictionary's attribute names.
void checkObject(const Element& element, Form form, const std::set<std::string>& names) {
    SCOPED_TRACE(element.name + (element.attribute("OID") ? " " + *element.attribute("OID") : ""));
    const std::string* typeText = element.attribute("ObjType");
    ASSERT_NE(nullptr, typeText) << "an object element carries its type";
    const unsigned type = std::stoul(*typeText, nullptr, 16);
    const TypeRow* row = typeRow(static_cast<unsigned short>(type));
    ASSERT_NE(nullptr, row) << "type " << type;
    EXPECT_EQ(row->element, element.name);
    EXPECT_EQ(hex(type), *typeText);
    const std::string* oid = element.attribute("OID");
    ASSERT_NE(nullptr, oid);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04x", type);
    EXPECT_EQ(digits, oid->substr(0, 4));

    static const std::regex number("0x(0|[1-9a-f][0-9a-f]*)");
    static const std::regex wwn("([0-9a-f]{2}:){7}[0-9a-f]{2}");
    std::string previous;
    for (const auto& [name, value] : element.attributes) {
        if (name != "_0") {
            EXPECT_LT(previous, name) << "attributes in name order";
            previous = name;
        }
        EXPECT_FALSE(kNeverWritten.contains(name)) << name;
        if (value.starts_with("0x")) {
            EXPECT_TRUE(std::regex_match(value, number)) << name << "=" << value;
        }
    }
    if (form == Form::Flat) {
        EXPECT_EQ(nullptr, element.attribute("EnumMemberType"));
    }
    const std::string* wwnText = element.attribute("WWN");
    const bool wwnHidden = form == Form::Flat ? kFlatWithoutWwn.contains(element.name)
                                              : element.name == "EnclosureObject";
    if (wwnHidden) {
        EXPECT_EQ(nullptr, wwnText) << "WWN left out";
    }
    if (wwnText != nullptr) {
        EXPECT_TRUE(std::regex_match(*wwnText, wwn)) << *wwnText;
    }

    for (const Element& child : element.children) {
        if (child.attribute("ObjType") != nullptr) {
            ASSERT_EQ(Form::Tree, form) << child.name << " nested in a flat element";
            const TypeRow* childRow = typeRow(
                static_cast<unsigned short>(std::stoul(*child.attribute("ObjType"), nullptr, 16)));
            ASSERT_NE(nullptr, childRow);
            checkObject(child, childRow->flatInTree ? Form::Flat : Form::Tree, names);
            continue;
        }
        // A reference: one attribute, named by its element.
        ASSERT_EQ(1u, child.attributes.size()) << child.name;
        EXPECT_TRUE(child.children.empty()) << child.name;
        const std::string expected = child.name == "Proxy"                          ? "Switch"
                                     : child.name == "ManagementAddrSet"            ? "Addr"
                                     : child.name == "PortModuleTempSensorValueSet" ? "Value"
                                     : child.name == "LicenseKey"                   ? "Key"
                                                                                    : "OID";
        EXPECT_EQ(expected, child.attributes[0].first) << child.name;
        if (form == Form::Tree) {
            EXPECT_NE("Parent", child.name) << "a tree leaves out the parent";
        }
    }
}

// The identifiers of the objects of `elements`, nested ones included when
// `nested`.
void collectOids(const std::vector<Element>& elements, bool nested, std::vector<std::string>& out) {
    for (const Element& element : elements) {
        if (element.attribute("ObjType") != nullptr && element.attribute("OID") != nullptr) {
            out.push_back(*element.attribute("OID"));
            if (nested) {
                collectOids(element.children, true, out);
            }
        }
    }
}

// The element of `oid` anywhere in `elements`, or null.
const Element* findObject(const std::vector<Element>& elements, const std::string& oid) {
    for (const Element& element : elements) {
        if (element.attribute("ObjType") != nullptr && element.attribute("OID") != nullptr &&
            *element.attribute("OID") == oid) {
            return &element;
        }
        if (const Element* found = findObject(element.children, oid)) {
            return found;
        }
    }
    return nullptr;
}

class ObjectReplies : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(initializeCommand());
        sim_ = new SwitchSimulator(document());
        openXmlFabricSessions({sim_->address(0), sim_->address(1)}, {kFabricA, kFabricB});
    }
    static void TearDownTestSuite() {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* ObjectReplies::sim_ = nullptr;

// The dictionary of a reply in the dictionary encoding, read once.
const Dictionary& dictionary() {
    static const Dictionary codes = [] {
        std::string reply;
        processCommand(request("GetAllObjects", "",
                               "<YarlFormat>Dictionary</YarlFormat>"
                               "<AttributeEncoding>yarlattr</AttributeEncoding>"),
                       reply);
        return dictionaryOf(readReply(reply));
    }();
    return codes;
}

std::set<std::string> dictionaryNames() {
    std::set<std::string> names;
    for (const auto& [code, name] : dictionary()) {
        names.insert(name);
    }
    return names;
}

std::vector<std::string> oidsOf(unsigned short type, const char* fabric = nullptr) {
    std::vector<std::string> oids;
    for (const ObjectRow& row : kObjects) {
        if (row.type == type && (fabric == nullptr || std::string(fabric) == row.fabric)) {
            oids.push_back(row.oid);
        }
    }
    std::sort(oids.begin(), oids.end());
    return oids;
}

enum class Listing { Tree, Flat, ByTypes };

struct QueryCase {
    std::string what;
    std::string command;
    std::string body;
    Listing listing;
    // The objects written at the top of the listing, in order (for the
    // dictionary listing: those of the types the table knows).
    std::vector<std::string> top;
};

std::vector<QueryCase> queryCases() {
    std::vector<QueryCase> cases = {
        {"all fabrics", "GetAllObjects", "", Listing::Tree, {kFabricA, kFabricB}},
        {"every marked fabric",
         "GetObjectsByType",
         "<ObjectType>-1</ObjectType>",
         Listing::Tree,
         {kFabricA, kFabricB}},
        {"one marked fabric",
         "GetObjectsByType",
         std::string("<ObjectType>-1</ObjectType><ObjectReference>") + kFabricB +
             "</ObjectReference>",
         Listing::Tree,
         {kFabricB}},
    };
    QueryCase every{"every object by identifier", "GetObjects", "", Listing::Flat, {}};
    for (const ObjectRow& row : kObjects) {
        every.body += std::string("<ObjectReference>") + row.oid + "</ObjectReference>";
        every.top.push_back(row.oid);
    }
    cases.push_back(every);
    for (const unsigned short type : {1, 2, 4, 5, 9, 23}) {
        cases.push_back({"type " + std::to_string(type), "GetObjectsByType",
                         "<ObjectType>" + std::to_string(type) + "</ObjectType>", Listing::Flat,
                         oidsOf(type)});
        for (const char* fabric : {kFabricA, kFabricB}) {
            std::vector<std::string> top = oidsOf(type, fabric);
            if (top.empty()) {
                continue; // the export answers -21 for a type with nothing
            }
            cases.push_back({"type " + std::to_string(type) + " of " + fabric, "GetObjectsByType",
                             "<ObjectType>" + std::to_string(type) +
                                 "</ObjectType><ObjectReference>" + fabric + "</ObjectReference>",
                             Listing::Flat, top});
        }
    }
    return cases;
}

// The types of the dictionary listing, in its order.
const std::vector<unsigned short> kByTypesOrder = {9, 2, 5, 4, 1, 11, 10, 20};

std::string encodingHead(int encoding, bool dictionaryFlag) {
    return std::string(dictionaryFlag ? "<YarlFormat>Dictionary</YarlFormat>" : "") +
           (encoding == 1 ? "<AttributeEncoding>yarlattr</AttributeEncoding>"
                          : "<AttributeEncoding>en-us</AttributeEncoding>");
}

// Runs `command` and reads its reply; fails the test when the command did
// not succeed or a line of the reply has no form of the writers.
Reply query(const std::string& command, const std::string& body, int encoding,
            bool dictionaryFlag) {
    std::string text;
    EXPECT_TRUE(
        processCommand(request(command, body, encodingHead(encoding, dictionaryFlag)), text))
        << text;
    Reply reply = readReply(text);
    EXPECT_TRUE(reply.faults.empty()) << reply.faults.front() << "\n" << text;
    EXPECT_EQ(command, reply.echo);
    EXPECT_EQ(encoding == 1 ? "yarlattr" : "en-us", reply.encoding);
    EXPECT_FALSE(reply.fault.has_value()) << text;
    return reply;
}

// Each query command on each object type, in both encodings, with and
// without the dictionary flag: the reply in the dictionary encoding read
// back through its dictionary is the reply by names, and that one follows
// the writers' rules element by element.
TEST_F(ObjectReplies, EveryQueryInBothEncodingsFollowsTheListingRules) {
    const std::set<std::string> names = dictionaryNames();
    ASSERT_LT(400u, names.size());
    for (const QueryCase& c : queryCases()) {
        for (const bool dictionaryFlag : {false, true}) {
            SCOPED_TRACE(c.what + (dictionaryFlag ? ", dictionary" : ""));
            Reply byName = query(c.command, c.body, 0, dictionaryFlag);
            Reply byCode = query(c.command, c.body, 1, dictionaryFlag);
            for (Element& element : byCode.elements) {
                decode(element, dictionary());
            }
            // Attribute names the dictionary lacks are written "_0".
            ASSERT_EQ(byName.elements.size(), byCode.elements.size());
            std::function<void(const Element&, const Element&)> same = [&](const Element& a,
                                                                           const Element& b) {
                ASSERT_EQ(a.name, b.name);
                ASSERT_EQ(a.attributes.size(), b.attributes.size()) << a.name;
                for (std::size_t i = 0; i < a.attributes.size(); ++i) {
                    const auto& [nameA, valueA] = a.attributes[i];
                    const auto& [nameB, valueB] = b.attributes[i];
                    EXPECT_TRUE(nameA == nameB || (nameB == "_0" && !names.contains(nameA)))
                        << a.name << ": " << nameA << " written as " << nameB;
                    EXPECT_EQ(valueA, valueB) << a.name << " " << nameA;
                }
                ASSERT_EQ(a.children.size(), b.children.size()) << a.name;
                for (std::size_t i = 0; i < a.children.size(); ++i) {
                    same(a.children[i], b.children[i]);
                }
            };
            for (std::size_t i = 0; i < byName.elements.size(); ++i) {
                if (byName.elements[i].name != "Dictionary") {
                    same(byName.elements[i], byCode.elements[i]);
                }
            }

            const bool byTypes =
                c.listing == Listing::Tree && c.command == "GetAllObjects" && dictionaryFlag;
            std::vector<Element> objects;
            if (byTypes) {
                // The dictionary, then the objects of each type; no Objects.
                ASSERT_FALSE(byName.elements.empty());
                EXPECT_EQ("Dictionary", byName.elements.front().name);
                EXPECT_EQ(424u, byName.elements.front().children.size());
                objects.assign(byName.elements.begin() + 1, byName.elements.end());
            } else {
                ASSERT_EQ(1u, byName.elements.size()) << "one Objects element";
                EXPECT_EQ("Objects", byName.elements.front().name);
                EXPECT_TRUE(byName.elements.front().attributes.empty());
                objects = byName.elements.front().children;
            }
            const Form form = c.listing == Listing::Tree && !byTypes ? Form::Tree : Form::Flat;
            std::vector<std::string> top;
            std::size_t rank = 0;
            for (const Element& element : objects) {
                checkObject(element, form, names);
                const std::string* oid = element.attribute("OID");
                const std::string* type = element.attribute("ObjType");
                ASSERT_TRUE(oid != nullptr && type != nullptr);
                const auto t = static_cast<unsigned short>(std::stoul(*type, nullptr, 16));
                if (byTypes) {
                    const auto at = std::find(kByTypesOrder.begin(), kByTypesOrder.end(), t);
                    ASSERT_NE(kByTypesOrder.end(), at) << *type;
                    EXPECT_LE(rank, static_cast<std::size_t>(at - kByTypesOrder.begin()))
                        << "types in the listing's order";
                    rank = static_cast<std::size_t>(at - kByTypesOrder.begin());
                    if (t == 10 || t == 11 || t == 20) {
                        continue;
                    }
                }
                top.push_back(*oid);
            }
            if (byTypes) {
                std::vector<std::string> expected;
                for (const unsigned short t : kByTypesOrder) {
                    for (const std::string& oid : oidsOf(t)) {
                        expected.push_back(oid);
                    }
                }
                EXPECT_EQ(expected, top);
            } else {
                EXPECT_EQ(c.top, top);
            }
            if (form == Form::Tree) {
                // Each fabric's tree holds its objects that a walk down
                // from the fabric reaches, and nothing of the other fabric.
                std::vector<std::string> nested;
                collectOids(objects, true, nested);
                std::vector<std::string> expected;
                for (const ObjectRow& row : kObjects) {
                    if (row.inTree &&
                        std::find(c.top.begin(), c.top.end(), row.fabric) != c.top.end()) {
                        expected.push_back(row.oid);
                    }
                }
                std::sort(nested.begin(), nested.end());
                std::sort(expected.begin(), expected.end());
                EXPECT_EQ(expected, nested);
            }
        }
    }
}

// The flat element of an object is the same whichever command wrote it:
// GetObjects, GetObjectsByType, the dictionary listing, and, for objects a
// tree writes flat, the tree.
TEST_F(ObjectReplies, AnObjectsFlatElementIsTheSameInEveryListing) {
    std::string body;
    for (const ObjectRow& row : kObjects) {
        body += std::string("<ObjectReference>") + row.oid + "</ObjectReference>";
    }
    const Reply byOid = query("GetObjects", body, 0, false);
    const Reply byTypes = query("GetAllObjects", "", 0, true);
    const Reply tree = query("GetAllObjects", "", 0, false);
    for (const ObjectRow& row : kObjects) {
        SCOPED_TRACE(row.oid);
        const Element* flat = findObject(byOid.elements, row.oid);
        ASSERT_NE(nullptr, flat);
        if (std::find(kByTypesOrder.begin(), kByTypesOrder.end(), row.type) !=
            kByTypesOrder.end()) {
            const Element* listed = findObject(byTypes.elements, row.oid);
            ASSERT_NE(nullptr, listed);
            EXPECT_EQ(*flat, *listed);
        }
        if (row.type == 1 || row.type == 2 || row.type == 4 || row.type == 5 || row.type == 9 ||
            row.type == 23) {
            const Reply ofType =
                query("GetObjectsByType",
                      "<ObjectType>" + std::to_string(row.type) + "</ObjectType>", 0, false);
            const Element* listed = findObject(ofType.elements, row.oid);
            ASSERT_NE(nullptr, listed);
            EXPECT_EQ(*flat, *listed);
        }
        const Element* inTree = findObject(tree.elements, row.oid);
        EXPECT_EQ(row.inTree, inTree != nullptr);
        if (inTree != nullptr && typeRow(row.type)->flatInTree) {
            EXPECT_EQ(*flat, *inTree);
        }
    }
}

// The exact text of two elements in both encodings: a node written flat,
// and the escaped name of a switch.
TEST_F(ObjectReplies, ElementsHaveTheirExactText) {
    const auto code = [](const char* name) {
        char text[16];
        std::snprintf(text, sizeof text, "_%x", yarlAttrCodeOfName(name));
        return std::string(text);
    };
    for (const int encoding : {0, 1}) {
        const auto n = [&](const char* name) {
            return encoding == 0 ? std::string(name) : code(name);
        };
        std::string reply;
        ASSERT_TRUE(processCommand(
            request("GetObjects", "<ObjectReference>0004200000e08b0a0001</ObjectReference>",
                    encodingHead(encoding, false)),
            reply));
        const std::string node = "<Objects>\n<Node " + n("Attached") + "=\"0x1\" " + n("OID") +
                                 "=\"0004200000e08b0a0001\" " + n("ObjType") + "=\"0x4\" " +
                                 n("SymbolicName") + "=\"host-a\" " + n("WWN") +
                                 "=\"20:00:00:e0:8b:0a:00:01\" >\n<Device " + n("OID") +
                                 "=\"0005200000e08b0a0001\" />\n<Ports " + n("OID") +
                                 "=\"0001210000e08b0a0001\" />\n</Node>\n</Objects>\n"
                                 "</YarlResponse>\n";
        EXPECT_TRUE(reply.ends_with(node)) << reply;

        reply.clear();
        ASSERT_TRUE(processCommand(
            request("GetObjects", "<ObjectReference>000210000060690b0001</ObjectReference>",
                    encodingHead(encoding, false)),
            reply));
        EXPECT_NE(std::string::npos,
                  reply.find(" " + n("SwitchName") + "=\"edge&lt;&amp;&quot;&apos;&gt;\" "))
            << reply;
    }
}

// One "<Member OID=... />" line per entry of a 48-byte identifier list.
std::string memberLines(const char* list) {
    std::string lines;
    for (const char* entry = list; entry != nullptr && *entry != '\0'; entry += sizeof(OID_t)) {
        lines += "<Member OID=\"" + std::string(entry, strnlen(entry, sizeof(OID_t))) + "\" />\n";
    }
    return lines;
}

// Zones, zone sets and aliases are written from their records: the
// opening line, the parent line and one Member line per member, a zone
// set's with the literal name OID.
TEST_F(ObjectReplies, ZoningObjectsAreWrittenFromTheirRecords) {
    std::string walked; // the walk makes the zoning objects below the databases
    ASSERT_TRUE(processCommand(request("GetAllObjects"), walked)) << walked;
    const std::string parent = "<Parent OID=\"001810000060690a0001\" />\n";
    struct Case {
        const char* oid;
        std::string (*expected)(const void* record, const std::string& parent);
    };
    const Case cases[] = {
        {"000a0100000000000000",
         [](const void* r, const std::string& parentLine) {
             const auto& z = *static_cast<const ZoneRecord*>(r);
             return "<Zone OID=\"000a0100000000000000\" ObjType=\"0xa\" ZoneName=\"" +
                    std::string(z.pcZoneName) + "\" ZoneType=\"" + hex(z.zoneType) +
                    "\" ZoneSubType=\"" + hex(static_cast<unsigned>(z.zoneSubType)) + "\" >\n" +
                    parentLine + memberLines(z.pcMemberOids) + "</Zone>\n";
         }},
        {"000b0100000000000000",
         [](const void* r, const std::string& parentLine) {
             const auto& z = *static_cast<const ZoneSetObjectRecord*>(r);
             return "<ZoneConfig ActivateZoneSet=\"" +
                    std::string(z.activateZoneSet == 1 ? "0x1" : "0x0") +
                    "\" OID=\"000b0100000000000000\" ObjType=\"0xb\" ZoneSetName=\"" +
                    std::string(z.pcZoneSetName) + "\" >\n" + parentLine +
                    memberLines(z.pcMemberOids[0]) + "</ZoneConfig>\n";
         }},
        {"00140100000000000000",
         [](const void* r, const std::string& parentLine) {
             const auto& a = *static_cast<const ZoneAliasRecord*>(r);
             return "<ZoneAlias OID=\"00140100000000000000\" ObjType=\"0x14\" "
                    "ZoneAliasName=\"" +
                    std::string(a.pcZoneAliasName) + "\" >\n" + parentLine +
                    memberLines(a.pcMemberOids) + "</ZoneAlias>\n";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oid);
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(c.oid, &record));
        const std::string expected = c.expected(record, parent);
        falFreeObject(record);
        EXPECT_NE(std::string::npos, expected.find("<Member ")) << "the case lists members";
        std::string reply;
        ASSERT_TRUE(processCommand(
            request("GetObjects", std::string("<ObjectReference>") + c.oid + "</ObjectReference>",
                    encodingHead(0, false)),
            reply));
        EXPECT_TRUE(reply.ends_with("<Objects>\n" + expected + "</Objects>\n</YarlResponse>\n"))
            << reply;
    }
    // With encoding 1 a zone set's Member lines keep the literal name.
    std::string reply;
    ASSERT_TRUE(processCommand(request("GetObjects",
                                       "<ObjectReference>000b0100000000000000</ObjectReference>",
                                       encodingHead(1, false)),
                               reply));
    EXPECT_NE(std::string::npos, reply.find("<Member OID=\"")) << reply;
    EXPECT_EQ(std::string::npos, reply.find("<Parent OID=")) << "the parent line is encoded";
}

// Failures of the query commands: the fault block where the handler writes
// one, what stands before and after it, and the result.
TEST_F(ObjectReplies, FailuresAnswerTheirFaultAndWhatWasRead) {
    const std::string known = "000210000060690a0001";
    const std::string unknown = "000210000060690a00ff";
    struct Case {
        std::string what;
        std::string request;
        int fault;
        std::vector<std::string> inOrder; // texts that stand in the reply in this order
        std::vector<std::string> absent;
    };
    const std::vector<Case> cases = {
        {"some identifiers unknown",
         request("GetObjects", "<ObjectReference>   " + known +
                                   "</ObjectReference><ObjectReference>" + unknown +
                                   "</ObjectReference>"),
         -221,
         {"<OriginalRequest>\n<DataRequest>\nGetObjects:" + known + " " + unknown +
              " \n</DataRequest>\n</OriginalRequest>\n<Fault>\n<YarlErrorCode>-221</"
              "YarlErrorCode>\n"
              "</Fault>\n<Objects>\n<Switch ",
          "OID=\"" + known + "\"", "</Switch>\n<Error OID=\"ff00",
          "\" OriginalObjectOID=\"" + unknown + "\" ErrorCode=\"-21\" />\n</Objects>\n"},
         {}},
        {"an identifier cut to 47 characters",
         request("GetObjects",
                 "<ObjectReference>" + known + std::string(40, '0') + "</ObjectReference>"),
         -221,
         {"GetObjects:" + known + std::string(27, '0') + " \n",
          "OriginalObjectOID=\"" + known + std::string(27, '0') + "\""},
         {std::string(28, '0') + "\""}},
        {"a hexadecimal type text reads as type 0",
         request("GetObjectsByType", "<ObjectType>0x2</ObjectType>"),
         -3,
         {"<Fault>\n<YarlErrorCode>-3</YarlErrorCode>\n</Fault>\n</YarlResponse>\n"},
         {"<Objects>"}},
        {"a type with nothing in the fabric",
         request("GetObjectsByType", std::string("<ObjectType>23</ObjectType><ObjectReference>") +
                                         kFabricB + "</ObjectReference>"),
         -21,
         {"<Fault>\n<YarlErrorCode>-21</YarlErrorCode>\n</Fault>\n</YarlResponse>\n"},
         {"<Objects>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string reply;
        EXPECT_FALSE(processCommand(c.request, reply));
        EXPECT_EQ(1u, [&] {
            std::size_t count = 0;
            for (std::size_t at = reply.find("<Fault>"); at != std::string::npos;
                 at = reply.find("<Fault>", at + 1)) {
                ++count;
            }
            return count;
        }()) << reply;
        EXPECT_NE(std::string::npos,
                  reply.find("<YarlErrorCode>" + std::to_string(c.fault) + "</YarlErrorCode>"))
            << reply;
        std::size_t at = 0;
        for (const std::string& text : c.inOrder) {
            const std::size_t found = reply.find(text, at);
            ASSERT_NE(std::string::npos, found) << text << "\n" << reply;
            at = found + text.size();
        }
        for (const std::string& text : c.absent) {
            EXPECT_EQ(std::string::npos, reply.find(text)) << text << "\n" << reply;
        }
    }
}
// "GetAllObjectsResponse" lists what the store holds as GetAllObjects
// does, without asking the switches; it has no version block.
TEST_F(ObjectReplies, GetAllObjectsResponseListsTheStoreAsGetAllObjectsDoes) {
    const auto listing = [](const std::string& reply) {
        const std::size_t from = reply.find("<Objects>") != std::string::npos &&
                                         reply.find("<Dictionary>") == std::string::npos
                                     ? reply.find("<Objects>")
                                     : reply.find("<Dictionary>");
        return from == std::string::npos ? "?" + reply : reply.substr(from);
    };
    for (const int encoding : {0, 1}) {
        for (const bool dictionaryFlag : {false, true}) {
            SCOPED_TRACE(std::to_string(encoding) + (dictionaryFlag ? ", dictionary" : ""));
            std::string all;
            ASSERT_TRUE(processCommand(
                request("GetAllObjects", "", encodingHead(encoding, dictionaryFlag)), all));
            std::string stored;
            ASSERT_TRUE(processCommand(
                request("GetAllObjectsResponse", "", encodingHead(encoding, dictionaryFlag)),
                stored));
            EXPECT_EQ(std::string::npos, stored.find("<APIVersion")) << stored;
            EXPECT_EQ(listing(all), listing(stored));
        }
    }
}

// --- Round trip: a reply read back with the XML parser, against the
// records of the query export.

// One object element as the parser reads it: its element name, its
// attributes, and the identifiers of its reference elements by name.
struct ParsedObject {
    std::string element;
    std::map<std::string, std::string> attributes;
    std::map<std::string, std::vector<std::string>> references;
};

std::string transcoded(const XMLCh* text) {
    char* local = xercesc::XMLString::transcode(text);
    std::string out = local != nullptr ? local : "";
    xercesc::XMLString::release(&local);
    return out;
}

void readObjects(const xercesc::DOMElement* element, std::map<std::string, ParsedObject>& out) {
    for (const xercesc::DOMElement* child = element->getFirstElementChild(); child != nullptr;
         child = child->getNextElementSibling()) {
        const xercesc::DOMNamedNodeMap* attributes = child->getAttributes();
        ParsedObject object{transcoded(child->getTagName()), {}, {}};
        for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
            const xercesc::DOMNode* attribute = attributes->item(i);
            object.attributes[transcoded(attribute->getNodeName())] =
                transcoded(attribute->getNodeValue());
        }
        if (object.attributes.contains("ObjType")) {
            for (const xercesc::DOMElement* ref = child->getFirstElementChild(); ref != nullptr;
                 ref = ref->getNextElementSibling()) {
                const xercesc::DOMNamedNodeMap* refAttributes = ref->getAttributes();
                if (refAttributes->getLength() == 1 && ref->getFirstElementChild() == nullptr) {
                    object.references[transcoded(ref->getTagName())].push_back(
                        transcoded(refAttributes->item(0)->getNodeValue()));
                }
            }
            const std::string oid = object.attributes["OID"];
            EXPECT_TRUE(out.emplace(oid, std::move(object)).second) << oid << " written twice";
        }
        readObjects(child, out);
    }
}

// Every object element of a reply document, by identifier; fails the test
// when the parser rejects the document.
std::map<std::string, ParsedObject> parseObjects(const std::string& reply) {
    xercesc::XercesDOMParser parser;
    parser.setDoNamespaces(false);
    parser.setLoadExternalDTD(false);
    xercesc::HandlerBase errors;
    parser.setErrorHandler(&errors);
    xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(reply.data()), reply.size(),
                                      "reply");
    std::map<std::string, ParsedObject> objects;
    try {
        parser.parse(source);
    } catch (const xercesc::SAXParseException& e) {
        ADD_FAILURE() << "line " << e.getLineNumber() << ": " << transcoded(e.getMessage());
        return objects;
    }
    EXPECT_EQ(0u, parser.getErrorCount());
    if (parser.getDocument() != nullptr) {
        readObjects(parser.getDocument()->getDocumentElement(), objects);
    }
    return objects;
}

std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}
std::string wwnText(const unsigned char* wwn) {
    char text[24];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", wwn[0], wwn[1],
                  wwn[2], wwn[3], wwn[4], wwn[5], wwn[6], wwn[7]);
    return text;
}
std::vector<std::string> oidList(const OID_t* list) {
    std::vector<std::string> oids;
    for (; list != nullptr && list[0][0] != '\0'; ++list) {
        oids.push_back(oidText(*list));
    }
    std::sort(oids.begin(), oids.end());
    return oids;
}

// What a record of each type says, as attribute values and reference
// lists of its element. A type the queries gain needs one more row.
struct Expected {
    std::map<std::string, std::string> attributes;
    std::map<std::string, std::vector<std::string>> references;
};

template <class Record> const Record& as(const void* record) {
    return *static_cast<const Record*>(record);
}

using Reader = Expected (*)(const void* record);
const std::map<unsigned short, Reader> kRecordReaders = {
    {9,
     [](const void* r) {
         const auto& f = as<FabricRecord>(r);
         return Expected{{{"WWN", wwnText(f.WWN)},
                          {"VersionMark", hex(f.VersionMark)},
                          {"FabricType", hex(f.FabricType)},
                          {"EnableEventNotifications", hex(f.EnableEventNotifications)}},
                         {{"Switch", oidList(f.SwitchOIDs)}}};
     }},
    {2,
     [](const void* r) {
         const auto& s = as<SwitchRecord>(r);
         return Expected{{{"WWN", wwnText(s.WWN)},
                          {"DomainId", hex(s.DomainId)},
                          {"SwitchRole", hex(s.SwitchRole)},
                          {"SwitchState", hex(s.SwitchState)},
                          {"SwitchStatus", hex(s.SwitchStatus)},
                          {"IsManageable", hex(s.IsManageable)},
                          {"SwitchName", s.SwitchName.Text},
                          {"FirmwareVersion", s.FirmwareVersion.Text},
                          {"MaxNumberOfModules", hex(s.MaxNumberOfModules)},
                          {"OwnerOID", oidText(s.OwnerOID)},
                          {"VersionMark", hex(s.VersionMark)},
                          {"HWZoningCapabilities", hex(s.HWZoningCapabilities)},
                          {"SWZoningCapabilities", hex(s.SWZoningCapabilities)}},
                         {}};
     }},
    {23,
     [](const void* r) {
         const auto& m = as<PortModuleRecord>(r);
         return Expected{{{"OwnerOID", oidText(m.OwnerOID)},
                          {"ModuleSlotNumber", hex(m.ModuleSlotNumber)},
                          {"ModulePortCount", hex(m.ModulePortCount)},
                          {"StartSwitchPortIndex", hex(m.StartSwitchPortIndex)},
                          {"PortModuleState", hex(m.PortModuleState)},
                          {"PortModuleStatus", hex(m.PortModuleStatus)},
                          {"VersionMark", hex(m.VersionMark)},
                          {"PortModuleSN", m.PortModuleSN.Text},
                          {"PortModulePartNumber", m.PortModulePartNumber.Text},
                          {"PortModuleNumTempSensors", hex(m.PortModuleNumTempSensors)}},
                         {{"Port", oidList(m.PortOIDs)}}};
     }},
    {1,
     [](const void* r) {
         const auto& p = as<PortRecord>(r);
         return Expected{{{"WWN", wwnText(p.WWN)},
                          {"OwnerOID", oidText(p.OwnerOID)},
                          {"PortState", hex(p.PortState)},
                          {"PortStatus", hex(p.PortStatus)},
                          {"PortPhysicalState", hex(p.PortPhysicalState)},
                          {"PortId", hex(p.PortId)},
                          {"PortNumber", hex(p.PortNumber)},
                          {"PortType", hex(p.PortType)},
                          {"PortSpeed", hex(p.PortSpeed)},
                          {"PortLinkDistance", hex(p.PortLinkDistance)},
                          {"TxLinkRouteCost", hex(p.TxLinkRouteCost)},
                          {"GBICType", hex(p.GBICType)},
                          {"ClassOfService", hex(p.ClassOfService)},
                          {"PortStatsOID", oidText(p.PortStatsOID)},
                          {"PortErrorsOID", oidText(p.PortErrorsOID)},
                          {"VersionMark", hex(p.VersionMark)},
                          {"PortDeviceType", hex(p.PortDeviceType)}},
                         {{"AttchPort", oidList(p.AttachedPortOIDs)}}};
     }},
    {4,
     [](const void* r) {
         const auto& n = as<NodeRecord>(r);
         return Expected{
             {{"WWN", wwnText(n.WWN)},
              {"Attached", hex(n.Attached)},
              {"SymbolicName", std::string(n.SymbolicName.Text, n.SymbolicName.Length)}},
             {{"Ports", oidList(n.PortOIDs)}}};
     }},
    {5,
     [](const void* r) {
         const auto& d = as<DeviceRecord>(r);
         return Expected{{{"DeviceType", hex(d.DeviceType)}},
                         {{"Node", {std::string(d.NodeOID, strnlen(d.NodeOID, 49))}}}};
     }},
    {21,
     [](const void* r) {
         const auto& z = as<ZoningCapabilitiesRecord>(r);
         return Expected{{{"VersionMark", hex(static_cast<unsigned>(z.VersionMark))},
                          {"ZoningEnabled", hex(static_cast<unsigned>(z.ZoningEnabled))},
                          {"ZoneTransactionActive", hex(z.ZoneTransactionActive)},
                          {"ZoneMaxNameLen", hex(z.ZoneMaxNameLen)},
                          {"ValidationZoneSetName", z.ValidationZoneSetName}},
                         {}};
     }},
    {24,
     [](const void* r) {
         const auto& db = as<FullZoneDBRecord>(r);
         return Expected{{},
                         {{"ZoneSet", oidList(db.pcZoneSetOids)},
                          {"ZoneAlias", oidList(db.pcZoneAliasOids)},
                          {"Zone", oidList(db.pcZoneOids)}}};
     }},
    {25,
     [](const void* r) {
         const auto& db = as<ActiveZoneDBRecord>(r);
         return Expected{
             {{"ZoneSetName", db.pcActiveZoneSetName != nullptr ? db.pcActiveZoneSetName : ""}},
             {{"Member", oidList(db.pcMemberOids)}}};
     }},
    {32,
     [](const void* r) {
         const auto& c = as<SecurityCapabilitiesRecord>(r);
         return Expected{{{"SecureModeEnabled", hex(c.SecureModeEnabled)}}, {}};
     }},
    {50, [](const void*) { return Expected{}; }},
    {10,
     [](const void* r) {
         const auto& z = as<ZoneRecord>(r);
         return Expected{{{"ZoneName", z.pcZoneName != nullptr ? z.pcZoneName : ""}}, {}};
     }},
    {11,
     [](const void* r) {
         const auto& z = as<ZoneSetObjectRecord>(r);
         return Expected{{{"ZoneSetName", z.pcZoneSetName != nullptr ? z.pcZoneSetName : ""},
                          {"ActivateZoneSet", hex(z.activateZoneSet)}},
                         {}};
     }},
    {20,
     [](const void* r) {
         const auto& a = as<ZoneAliasRecord>(r);
         return Expected{{{"ZoneAliasName", a.pcZoneAliasName != nullptr ? a.pcZoneAliasName : ""}},
                         {}};
     }},
    {22,
     [](const void* r) {
         const auto& m = as<ZoneMemberRecord>(r);
         return Expected{{{"ZMType", hex(m.zmType)}}, {}};
     }},
};

// The replies of GetAllObjects, read back by the parser, hold exactly the
// objects that the query export hands out, with the values of their
// records: the tree for what it nests, the dictionary listing for nodes
// and devices.
TEST_F(ObjectReplies, RepliesParseBackIntoTheObjectsTheQueryExportReturns) {
    std::string tree;
    ASSERT_TRUE(processCommand(request("GetAllObjects"), tree)) << tree;
    std::string byTypes;
    ASSERT_TRUE(processCommand(request("GetAllObjects", "", "<YarlFormat>Dictionary</YarlFormat>"),
                               byTypes))
        << byTypes;
    std::map<std::string, ParsedObject> parsed = parseObjects(tree);
    const std::size_t inTree = parsed.size();
    for (auto& [oid, object] : parseObjects(byTypes)) {
        if (!parsed.contains(oid)) {
            parsed.emplace(oid, std::move(object));
        }
    }
    ASSERT_LT(inTree, parsed.size()) << "the listing by types adds nodes and devices";

    std::set<std::string> referenced;
    for (const auto& [oid, object] : parsed) {
        for (const auto& [name, oids] : object.references) {
            referenced.insert(oids.begin(), oids.end());
        }
    }

    void** records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    ASSERT_NE(nullptr, records);
    std::set<std::string> returned;
    for (void** entry = records; *entry != nullptr; ++entry) {
        unsigned short type = 0;
        std::memcpy(&type, *entry, sizeof type);
        const std::string oid =
            oidText(static_cast<const char*>(*entry) + offsetof(ErrorRecord, OID));
        SCOPED_TRACE(oid);
        returned.insert(oid);
        if (type == 22) { // zone member
            // Zone members have no element of their own in these listings:
            // their zones and the databases name them as Member references.
            EXPECT_TRUE(referenced.contains(oid)) << "no Member reference";
            continue;
        }
        auto found = parsed.find(oid);
        ASSERT_NE(parsed.end(), found) << "not in the replies";
        const ParsedObject& object = found->second;
        ASSERT_NE(nullptr, typeRow(type)) << type;
        EXPECT_EQ(typeRow(type)->element, object.element);
        EXPECT_EQ(hex(type), object.attributes.at("ObjType"));
        const auto reader = kRecordReaders.find(type);
        ASSERT_NE(kRecordReaders.end(), reader) << "no reader for type " << type;
        const Expected expected = reader->second(*entry);
        for (const auto& [name, value] : expected.attributes) {
            auto attribute = object.attributes.find(name);
            if (name == "WWN" && kFlatWithoutWwn.contains(object.element)) {
                continue;
            }
            ASSERT_NE(object.attributes.end(), attribute) << name;
            EXPECT_EQ(value, attribute->second) << name;
        }
        for (const auto& [name, oids] : expected.references) {
            auto references = object.references.find(name);
            std::vector<std::string> written;
            if (references != object.references.end()) {
                written = references->second;
            }
            std::sort(written.begin(), written.end());
            // A tree nests the related objects in place of references.
            if (!written.empty() || object.element == "Node" || object.element == "Device" ||
                typeRow(type)->flatInTree) {
                EXPECT_EQ(oids, written) << name;
            }
        }
        falFreeObject(*entry);
    }
    falFreeObject(records);
    // Zoning objects come from the zoning database, and a switch's security
    // statistics are read by identifier only: the walk returns neither, but
    // the store holds them and the listings write them.
    for (const auto& [oid, object] : parsed) {
        if (object.element != "Zone" && object.element != "ZoneConfig" &&
            object.element != "ZoneAlias" && object.element != "SecurityStats") {
            EXPECT_TRUE(returned.contains(oid)) << oid << " written but not returned";
        }
    }
}

// A port module whose fetch fails: GetAllObjects answers -221 before the
// listing, leaves the module out of that listing once and names it in an
// Error element after it; the next listing writes it again.
TEST_F(ObjectReplies, AFailedFetchIsAnErrorAfterTheListingAndSkipsTheObjectOnce) {
    const std::string module = "001710000060690a000100000000";
    sim_->injectFault({{"code", 1551}, {"kind", "status"}, {"status", -5}});
    std::string failed;
    EXPECT_FALSE(processCommand(request("GetAllObjects"), failed));
    sim_->clearFaults();
    std::string again;
    EXPECT_TRUE(processCommand(request("GetAllObjects"), again)) << again;

    const std::size_t fault =
        failed.find("<Fault>\n<YarlErrorCode>-221</YarlErrorCode>\n</Fault>\n");
    const std::size_t objects = failed.find("<Objects>\n");
    const std::size_t end = failed.find("</Objects>\n");
    const std::size_t error = failed.find("\" OriginalObjectOID=\"" + module + "\" ErrorCode=\"");
    ASSERT_NE(std::string::npos, fault) << failed;
    EXPECT_LT(fault, objects);
    EXPECT_LT(end, error) << failed;
    EXPECT_EQ(std::string::npos, failed.find(" OID=\"" + module + "\" ObjType=\"0x17\"")) << failed;
    EXPECT_NE(std::string::npos, again.find(" OID=\"" + module + "\" ObjType=\"0x17\"")) << again;
    EXPECT_EQ(std::string::npos, again.find("<Error ")) << again;
    EXPECT_FALSE(parseObjects(failed).empty());
}

// Identifiers from the request are escaped wherever the reply repeats them.
TEST_F(ObjectReplies, RequestedIdentifiersAreEscapedInTheReply) {
    std::string reply;
    EXPECT_FALSE(processCommand(
        request("GetObjects", "<ObjectReference>0002&lt;a&amp;b&quot;</ObjectReference>"), reply));
    EXPECT_NE(std::string::npos, reply.find("GetObjects:0002&lt;a&amp;b&quot; \n")) << reply;
    EXPECT_EQ(std::string::npos, reply.find("<a&")) << reply;
    xercesc::XercesDOMParser parser;
    xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(reply.data()), reply.size(),
                                      "reply");
    parser.parse(source);
    EXPECT_EQ(0u, parser.getErrorCount()) << reply;
}

// A fabric in secure mode: its configuration server policies are written
// with each member switch read afresh; other policies by the object writer.
class PolicyReplies : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(initializeCommand());
        sim_ = new SwitchSimulator(nlohmann::json::parse(R"json({"fabrics": [
          {"name": "secure", "users": [{"name": "admin", "password": "password"}],
           "switches": [
             {"wwn": "10:00:00:60:69:0c:00:01", "firmware": "v5.2.0", "address": "@0",
              "info": {"a4": "v5.2.0", "a5": "fcs<1>"}},
             {"wwn": "10:00:00:60:69:0c:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}}],
           "security": {"secureMode": 1,
             "defined": [["FCS_POLICY",
                          "10:00:00:60:69:0c:00:01;10:00:00:60:69:0c:00:09;10:00:00:60:69:0c:00:02"],
                         ["DCC_POLICY_A", "10:00:00:60:69:0c:00:01(1,2)"]],
             "active": [["FCS_POLICY", "10:00:00:60:69:0c:00:02;10:00:00:60:69:0c:00:01"]]}}]})json"));
        std::string reply;
        ASSERT_TRUE(processCommand(
            request("InitializeFabricAccess", "<IPAddress value=\"" + sim_->address(0) + "\"/>"),
            reply))
            << reply;
        ASSERT_TRUE(processCommand(request("GetFabricIdentities"), reply)) << reply;
        reply.clear();
        ASSERT_TRUE(processCommand(request("EstablishFabricSession",
                                           "<ObjectReference>000910000060690c0001</ObjectReference>"
                                           "<Login name=\"admin\" password=\"password\"/>"),
                                   reply))
            << reply;
    }
    static void TearDownTestSuite() {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }

    // The identifiers of the policies of a policy set, by name.
    static std::map<std::string, std::string> policies(const char* set) {
        std::map<std::string, std::string> byName;
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(set, &record));
        const auto* policySet = static_cast<const PolicySetRecord*>(record);
        for (const OID_t* oid = policySet != nullptr ? policySet->PolicyOIDs : nullptr;
             oid != nullptr && (*oid)[0] != '\0'; ++oid) {
            void* policy = nullptr;
            EXPECT_EQ(0, GetSingleObject(*oid, &policy));
            if (policy != nullptr) {
                byName[static_cast<const SecurityPolicyRecord*>(policy)->PolicyName] =
                    oidText(*oid);
            }
            falFreeObject(policy);
        }
        falFreeObject(record);
        return byName;
    }
    static std::string domainOf(const char* oid) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid, &record));
        const std::string domain =
            record != nullptr ? std::to_string(static_cast<SwitchRecord*>(record)->DomainId) : "?";
        falFreeObject(record);
        return domain;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* PolicyReplies::sim_ = nullptr;

TEST_F(PolicyReplies, ConfigurationServerPoliciesNameTheirPrimaryAndUnknownMembers) {
    const std::string first = "000210000060690c0001";
    const std::string second = "000210000060690c0002";
    const std::string stranger = "000210000060690c0009";
    const std::map<std::string, std::string> defined = policies("003010000060690c0001");
    const std::map<std::string, std::string> active = policies("002110000060690c0001");
    ASSERT_TRUE(defined.contains("FCS_POLICY") && defined.contains("DCC_POLICY_A") &&
                active.contains("FCS_POLICY"));
    const auto member = [&](const std::string& oid, const char* primary) {
        return "<PolicyMemberSet OID=\"" + oid + "\" IsPrimary=\"" + primary + "\" DomainId=\"" +
               domainOf(oid.c_str()) + "\" SwitchName=\"" +
               (oid == first ? "fcs&lt;1&gt;" : "10:00:00:60:69:0c:00:02") + "\" />\n";
    };
    std::string reply;
    ASSERT_TRUE(
        processCommand(request("GetObjects", "<ObjectReference>" + defined.at("FCS_POLICY") +
                                                 "</ObjectReference><ObjectReference>" +
                                                 active.at("FCS_POLICY") + "</ObjectReference>"),
                       reply))
        << reply;
    EXPECT_TRUE(reply.ends_with("<Objects>\n<DefinedPolicy OID=\"" + defined.at("FCS_POLICY") +
                                "\" ObjType=\"0x31\" PolicyName=\"FCS_POLICY\" >\n"
                                "<Parent OID=\"003010000060690c0001\" />\n" +
                                member(first, "Yes") + "<PolicyMemberSet OID=\"" + stranger +
                                "\" IsPrimary=\"No\" DomainId=\"-\" SwitchName=\"Unknown\" />\n" +
                                member(second, "No") + "</DefinedPolicy>\n<ActivePolicy OID=\"" +
                                active.at("FCS_POLICY") +
                                "\" ObjType=\"0x22\" PolicyName=\"FCS_POLICY\" >\n"
                                "<Parent OID=\"002110000060690c0001\" />\n" +
                                member(second, "Yes") + member(first, "No") +
                                "</ActivePolicy>\n</Objects>\n</YarlResponse>\n"))
        << reply;

    // Encoded names, and another policy through the object writer.
    reply.clear();
    ASSERT_TRUE(processCommand(request("GetObjects",
                                       "<ObjectReference>" + defined.at("DCC_POLICY_A") +
                                           "</ObjectReference><ObjectReference>" +
                                           active.at("FCS_POLICY") + "</ObjectReference>",
                                       "<AttributeEncoding>yarlattr</AttributeEncoding>"),
                               reply))
        << reply;
    char code[16];
    std::snprintf(code, sizeof code, "_%x", yarlAttrCodeOfName("IsPrimary"));
    EXPECT_NE(std::string::npos, reply.find(std::string(" ") + code + "=\"Yes\" ")) << reply;
    std::snprintf(code, sizeof code, "_%x", yarlAttrCodeOfName("PolicyName"));
    EXPECT_NE(std::string::npos, reply.find(std::string(" ") + code + "=\"DCC_POLICY_A\""))
        << reply;
    std::size_t members = 0;
    for (std::size_t at = reply.find("<PolicyMemberSet "); at != std::string::npos;
         at = reply.find("<PolicyMemberSet ", at + 1)) {
        ++members;
    }
    // The other policy's member stands as a reference.
    EXPECT_EQ(3u, members) << reply;
    EXPECT_NE(std::string::npos,
              reply.find("<PolicyMemberSet _b0002=\"fffa10000060690c00010102\" />\n"))
        << reply;
}

// The library runs, but no fabric has a session: GetAllObjects answers
// the fault block with 0 and no listing at all, and succeeds.
TEST(EmptyObjectReplies, GetAllObjectsWithNothingToListAnswersFaultZero) {
    ASSERT_TRUE(initializeCommand());
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    for (const bool dictionaryFlag : {false, true}) {
        std::string reply;
        EXPECT_TRUE(
            processCommand(request("GetAllObjects", "", encodingHead(0, dictionaryFlag)), reply));
        EXPECT_TRUE(reply.ends_with("<AttributeEncoding>en-us</AttributeEncoding>\n"
                                    "<Fault>\n<YarlErrorCode>0</YarlErrorCode>\n</Fault>\n"
                                    "</YarlResponse>\n"))
            << reply;
    }
    FabAPI_ShutdownFabricAPI();
    // Without the library the export's status is the fault.
    std::string reply;
    EXPECT_FALSE(processCommand(request("GetAllObjects"), reply));
    EXPECT_TRUE(reply.ends_with("</AttributeEncoding>\n<Fault>\n<YarlErrorCode>-98"
                                "</YarlErrorCode>\n</Fault>\n</YarlResponse>\n"))
        << reply;
}

// The store-walking writers, on objects put into the store by hand.
class ObjectWriters : public ::testing::Test {
protected:
    void SetUp() override {
        eraseMap();
        installStoredObjectXmlWriter();
        fabric_ = stored(kFabricA, 9);
        fabric_->setShortAttr("SessionEstablished", 1);
        sw_ = stored("000210000060690a0001", 2);
        fabric_->addRelation("setSwitch", "000210000060690a0001");
        sw_->addRelation("setParent", kFabricA);
    }
    void TearDown() override { eraseMap(); }

    static StoredObject* stored(const std::string& oid, unsigned short type) {
        auto& slot = objectMap()[oid];
        slot = std::make_unique<StoredObject>();
        slot->setStringAttr("OID", oid);
        slot->setShortAttr("ObjType", type);
        return slot.get();
    }
    StoredObject* fabric_ = nullptr;
    StoredObject* sw_ = nullptr;
};

// Each writer waits for the object-model lock and walks under it: while
// another thread holds the lock, none of them gets on.
TEST_F(ObjectWriters, EveryStoreWalkingWriterTakesTheStoreLock) {
    SwitchRecord record{};
    record.ObjType = 2;
    std::strcpy(record.OID, "000210000060690a0001");
    void* records[] = {&record, nullptr};
    const std::vector<std::pair<std::string, std::function<std::string()>>> writers = {
        {"GetObjects",
         [&] {
             std::string out;
             YarlGetObjectsResponse(out, records, 0);
             return out;
         }},
        {"GetAllObjects",
         [] {
             std::string out;
             YarlGetAllObjectsResponse(out, 0, false);
             return out;
         }},
        {"GetAllObjects by types",
         [] {
             std::string out;
             YarlGetAllObjectsResponse(out, 0, true);
             return out;
         }},
        {"GetObjectsByType any",
         [] {
             std::string out;
             YarlGetObjectsByTypeResponse("", -1, out, 0);
             return out;
         }},
        {"GetObjectsByType switch",
         [] {
             std::string out;
             YarlGetObjectsByTypeResponse("", 2, out, 0);
             return out;
         }},
        {"tree",
         [this] {
             std::string out;
             writeStoredObjectXmlTree(*fabric_, out, 0);
             return out;
         }},
    };
    for (const auto& [what, write] : writers) {
        SCOPED_TRACE(what);
        std::future<std::string> written;
        {
            LockHeldElsewhere held(getObjectStoreMutex());
            written = std::async(std::launch::async, write);
            EXPECT_EQ(std::future_status::timeout,
                      written.wait_for(std::chrono::milliseconds(100)));
        }
        EXPECT_NE(std::string::npos, written.get().find("OID=\"000210000060690a0001\""));
    }
}

// A cycle of relations in the store ends the walk where it comes back to
// an object being written; the listing goes on with the next fabric.
TEST_F(ObjectWriters, RelationCyclesEndTheWalkAndTheListingGoesOn) {
    sw_->addRelation("setFabric", kFabricA);
    sw_->addRelation("setPeer", "000210000060690a0001");
    StoredObject* other = stored(kFabricB, 9);
    other->setShortAttr("SessionEstablished", 1);
    ASSERT_TRUE(initializeCommand());
    std::string reply;
    ASSERT_TRUE(processCommand(request("GetAllObjectsResponse"), reply)) << reply;
    EXPECT_TRUE(reply.ends_with("<Objects>\n"
                                "<Fabric OID=\"000910000060690a0001\" ObjType=\"0x9\" >\n"
                                "<Switch OID=\"000210000060690a0001\" ObjType=\"0x2\" >\n"
                                "</Switch>\n"
                                "</Fabric>\n"
                                "<Fabric OID=\"000910000060690b0001\" ObjType=\"0x9\" >\n"
                                "</Fabric>\n"
                                "</Objects>\n</YarlResponse>\n"))
        << reply;
}

} // namespace
