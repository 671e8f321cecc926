// The fabric, switch and licensed product elements as a caller of the XML
// commands reads them (GetObjects, one identifier at a time), on fabrics
// whose file gives no switch information records: the simulator answers
// from each switch's firmware, address and place in the fabric.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/xmlcommand.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

constexpr char kFabric[] = "00091000006069110001";
constexpr char kCore[] = "00021000006069110001";     // v4.1.0, the proxy
constexpr char kEdge[] = "00021000006069110002";     // v2.4.1
constexpr char kOldEdge[] = "00021000006069110003";  // reports no version
constexpr char kProductFabric[] = "00091000006069120001";
constexpr char kProduct[] = "0027100000606912000100000003";

json document() {
    json doc = json::parse(R"({"fabrics": [
      {"name": "plain", "switches": [
        {"wwn": "10:00:00:60:69:11:00:01", "name": "core", "firmware": "v4.1.0", "address": "@0"},
        {"wwn": "10:00:00:60:69:11:00:02", "name": "edge", "firmware": "v2.4.1",
         "fcs": {"managementAddresses": ["127.0.0.42", "127.0.0.43"]}},
        {"wwn": "10:00:00:60:69:11:00:03",
         "fcs": {"domainId": 3, "managementId": 3, "logicalName": "old-edge",
                 "managementAddresses": ["127.0.0.44"]}}]},
      {"name": "products", "switches": [
        {"wwn": "10:00:00:60:69:12:00:01", "firmware": "v4.1.0", "address": "@1",
         "licensedProducts": [3],
         "products": [{"id": 3, "text": "Trunking", "names": ["key-t"]}]}]}]})");
    for (auto& fabric : doc["fabrics"]) {
        fabric["users"] = json::parse(R"([{"name": "admin", "password": "password"}])");
    }
    return doc;
}

// One object element of a reply: its name, attributes and the references
// inside it (element name and identifier), in reply order.
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<std::pair<std::string, std::string>> references;

    std::optional<std::string> attribute(const std::string& key) const {
        const auto it = attributes.find(key);
        return it == attributes.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::vector<std::string> referenced(const std::string& element) const {
        std::vector<std::string> oids;
        for (const auto& [name, oid] : references) {
            if (name == element) {
                oids.push_back(oid);
            }
        }
        return oids;
    }
};

// The first object element of a GetObjects reply.
std::optional<Element> firstObject(const std::string& reply) {
    static const std::regex open(R"(<Objects>\n<(\w+) ([^>]*) >\n)");
    static const std::regex attribute(R"re((\w+)="([^"]*)")re");
    static const std::regex reference(R"re(<(\w+) \w+="([^"]*)" />)re");
    std::smatch head;
    if (!std::regex_search(reply, head, open)) {
        return std::nullopt;
    }
    Element element{head[1].str(), {}, {}};
    const std::string attributes = head[2].str();
    for (std::sregex_iterator it(attributes.begin(), attributes.end(), attribute), end; it != end;
         ++it) {
        element.attributes[(*it)[1].str()] = (*it)[2].str();
    }
    const std::size_t from = static_cast<std::size_t>(head.position(0) + head.length(0));
    const std::size_t to = reply.find("</" + element.name + ">", from);
    const std::string body = reply.substr(from, to == std::string::npos ? 0 : to - from);
    for (std::sregex_iterator it(body.begin(), body.end(), reference), end; it != end; ++it) {
        element.references.emplace_back((*it)[1].str(), (*it)[2].str());
    }
    return element;
}

std::string getObjects(const std::string& oid) {
    std::string reply;
    EXPECT_TRUE(processCommand("<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n"
                               "<MsgType>GetObjects</MsgType>\n"
                               "<AttributeEncoding>en-us</AttributeEncoding>\n"
                               "<ObjectReference>" +
                                   oid + "</ObjectReference>\n</YarlRequest>\n",
                               reply))
        << reply;
    return reply;
}

class ObjectElements : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_TRUE(initializeCommand());
        // The fabric of the licensed product opens in its own test, so that
        // no walk of the other tests has read its switch before.
        openXmlFabricSessions({sim_->address(0), sim_->address(1)}, {kFabric});
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* ObjectElements::sim_ = nullptr;

// Each firmware level writes what its switch gives: the two information
// records carry firmware and management address, a switch that reports no
// version gives neither, and only the second record tells the certificate
// state; the principal switch is the one the fabric is named after.
TEST_F(ObjectElements, SwitchElementsCarryWhatTheirLevelReads) {
    const struct {
        const char* what;
        const char* oid;
        std::string firmware;
        std::string address;
        const char* role;
        bool certificateState;
    } cases[] = {
        {"second record", kCore, "v4.1.0", sim_->address(0), "0x236", true},
        {"first record", kEdge, "v2.4.1", "127.0.0.42", "0x237", false},
        {"single queries", kOldEdge, "", "", "0x237", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string reply = getObjects(c.oid);
        const std::optional<Element> sw = firstObject(reply);
        ASSERT_TRUE(sw.has_value()) << reply;
        EXPECT_EQ("Switch", sw->name);
        EXPECT_EQ(c.firmware, sw->attribute("FirmwareVersion").value_or("<none>"));
        EXPECT_EQ(c.address, sw->attribute("OutBandAddr").value_or("<none>"));
        EXPECT_EQ(c.role, sw->attribute("SwitchRole").value_or("<none>"));
        EXPECT_EQ(c.certificateState, sw->attribute("ValidCertificateInstalled").has_value())
            << reply;
    }
}

// The fabric names its active and defined zoning databases, which a tree
// of the fabric still holds once each, below the zoning capabilities.
TEST_F(ObjectElements, FabricElementNamesItsZoningDatabases) {
    const std::string reply = getObjects(kFabric);
    const std::optional<Element> fabric = firstObject(reply);
    ASSERT_TRUE(fabric.has_value()) << reply;
    EXPECT_EQ("Fabric", fabric->name);
    EXPECT_EQ(std::vector<std::string>{"00191000006069110001"}, fabric->referenced("ActiveZoneDB"));
    EXPECT_EQ(std::vector<std::string>{"00181000006069110001"}, fabric->referenced("FullZoneDB"));
    EXPECT_EQ(std::vector<std::string>{"00151000006069110001"},
              fabric->referenced("ZoningCapabilities"));

    std::string tree;
    EXPECT_TRUE(processCommand("<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n"
                   "<MsgType>GetAllObjects</MsgType>\n</YarlRequest>\n",
                   tree))
        << tree;
    for (const char* database : {"00181000006069110001", "00191000006069110001"}) {
        const std::string element = std::string("OID=\"") + database + "\" ObjType=";
        const std::size_t first = tree.find(element);
        EXPECT_NE(std::string::npos, first) << database;
        EXPECT_EQ(std::string::npos, tree.find(element, first + 1)) << database << " twice";
    }
}

// A licensed product that nothing has read yet: the fetch of its
// identifier reads its switch, which makes it, and then the product.
TEST_F(ObjectElements, LicensedProductIsFetchedByItself) {
    std::string opened;
    ASSERT_TRUE(processCommand(std::string("<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n"
                                           "<MsgType>EstablishFabricSession</MsgType>\n"
                                           "<ObjectReference>") +
                                   kProductFabric +
                                   "</ObjectReference><Login name=\"admin\" "
                                   "password=\"password\"/>\n</YarlRequest>\n",
                               opened))
        << opened;
    const std::string reply = getObjects(kProduct);
    const std::optional<Element> product = firstObject(reply);
    ASSERT_TRUE(product.has_value()) << reply;
    EXPECT_EQ("LicensedProduct", product->name);
    EXPECT_EQ("0x3", product->attribute("ProductID").value_or("<none>"));
    EXPECT_EQ("Trunking", product->attribute("ProductName").value_or("<none>"));
    EXPECT_EQ(std::vector<std::string>{"key-t"}, product->referenced("LicenseKey"));

    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(kProduct, &record));
    const auto* read = static_cast<const LicensedProductRecord*>(record);
    EXPECT_EQ(39, read->ObjType);
    EXPECT_EQ(3, read->ProductID);
    EXPECT_EQ(0, falFreeObject(record));
}

} // namespace
