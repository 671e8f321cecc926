#include "objects/FabApiUtil.h"

#include <gtest/gtest.h>

#include <string>

#include "composition/InitializationMgr.h"
#include "foundation/Logging.h"
#include "foundation/ShutdownLock.h"
#include "objects/gorlib.h"
#include "tests/support/TraceCapture.h"

namespace {

const unsigned char kName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};
const OID_t kSwitch = "00021000006069123456";
const OID_t kGroup = "fffa1000006069123456040f";
const OID_t kRef = "f0000503000000000000";

// The four exports that need an initialised library, each given valid input.
struct GatedExport {
    const char* name;
    int (*call)();
};

int encodeGroup() {
    OID_t group = {};
    return EncodeSwitchPortGroupOID(kSwitch, 4, 15, group);
}
int decodeGroup() {
    OID_t sw = {};
    int first = 0;
    int last = 0;
    return DecodeSwitchPortGroupOID(kGroup, sw, &first, &last);
}
int encodeRef() {
    OID_t ref = {};
    return EncodeDomainPortRef(5, 3, ref);
}
int decodeRef() {
    int domain = 0;
    int port = 0;
    return DecodeDomainPortRef(kRef, &domain, &port);
}

const GatedExport kGatedExports[] = {
    {"EncodeSwitchPortGroupOID", encodeGroup},
    {"DecodeSwitchPortGroupOID", decodeGroup},
    {"EncodeDomainPortRef", encodeRef},
    {"DecodeDomainPortRef", decodeRef},
};

class FabApiUtilTest : public ::testing::Test {
protected:
    void TearDown() override { InitializationMgr::shutdownAPI(true); }
};

TEST_F(FabApiUtilTest, NameConversionsNeedNoInitialisedLibrary) {
    ASSERT_FALSE(InitializationMgr::isAPIInitialized());
    OID_t oid = "untouched";
    EXPECT_EQ(WWNtoOID(kName, 0, oid), -3);
    EXPECT_STREQ(oid, "untouched");
    EXPECT_EQ(WWNtoOID(nullptr, 2, oid), -3);
    EXPECT_EQ(WWNtoOID(kName, 2, nullptr), -3);
    ASSERT_EQ(WWNtoOID(kName, 2, oid), 0);
    EXPECT_STREQ(oid, "00021000006069123456");

    char* text = nullptr;
    ASSERT_EQ(WWNtoStr(kName, &text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "10:00:00:60:69:12:34:56");
    EXPECT_EQ(falFreeObject(text), 0) << "a caller block";
    EXPECT_EQ(WWNtoStr(nullptr, &text), -3);
    EXPECT_EQ(WWNtoStr(kName, nullptr), -3);
}

TEST_F(FabApiUtilTest, IdentifierCodecsNeedAnInitialisedLibraryAndAnOpenGate) {
    for (const GatedExport& e : kGatedExports) {
        EXPECT_EQ(e.call(), -98) << e.name;
    }
    InitializationMgr::initializeAPI(true);
    for (const GatedExport& e : kGatedExports) {
        EXPECT_EQ(e.call(), 0) << e.name;
    }

    TraceCapture trace(Vosk_Ext_API);
    ASSERT_TRUE(trace.started());
    BeginShutdown();
    for (const GatedExport& e : kGatedExports) {
        EXPECT_EQ(e.call(), -216) << e.name;
    }
    EndShutdown();
    const std::string written = trace.finish();
    for (const GatedExport& e : kGatedExports) {
        const std::string refusal =
            std::string("Unable to perform ") + e.name + ". API shutting down.";
        EXPECT_NE(written.find(refusal), std::string::npos) << refusal;
    }
    EXPECT_NE(written.find("Source File Name: FabApiUtil"), std::string::npos) << written;
    EXPECT_NE(written.find("Entering "), std::string::npos);
    EXPECT_NE(written.find("Exiting "), std::string::npos);
}

} // namespace
