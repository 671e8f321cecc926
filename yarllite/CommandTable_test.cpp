#include "yarllite/CommandTable.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

TEST(CommandTable, EveryNameIsRecognisedOnceAndExactly) {
    const std::set<std::string> expected = {"RegisterForEvents",
                                            "UnRegisterForEvents",
                                            "FirmwareDownloadDirect",
                                            "FirmwareDownloadSelf",
                                            "GetFirmwareDownloadStatus",
                                            "ConfigurationDownload",
                                            "ConfigurationUpload",
                                            "ConfigurationPrefix",
                                            "GetEvents",
                                            "DecodeDomainPortRef",
                                            "DecodeSwitchPortGroupOID",
                                            "DecodeThrexClassAreaOID",
                                            "DecodeThrexThresholdEntryOID",
                                            "EncodeDomainPortRef",
                                            "EncodeSwitchPortGroupOID",
                                            "EncodeThrexClassAreaOID",
                                            "EncodeThrexThresholdEntryOID",
                                            "EncodeThrexThresholdOID",
                                            "GetObjectTemplate",
                                            "ModifyObject",
                                            "SetRouteTableEntry",
                                            "ZoningObjectNameExists",
                                            "AddAttributes",
                                            "AddSetMember",
                                            "RemoveSetMember",
                                            "DeleteObjects",
                                            "CreateFabricObject",
                                            "EstablishFabricSession",
                                            "InitializeFabricAccess",
                                            "CloseFabricSession",
                                            "CloseFabricSessions",
                                            "GetFabricIdentities",
                                            "GetAllObjects",
                                            "GetAllObjectsResponse",
                                            "GetObjectsByType",
                                            "GetObjects",
                                            "GetLegalRouteTableEntries",
                                            "PortPairToRouteOID",
                                            "WWNtoOID",
                                            "OIDtoWWN",
                                            "FabAPI_AppendProxyEntry",
                                            "FabAPI_RemoveProxyEntry",
                                            "FabAPI_CloseSession",
                                            "FabAPI_CloseSessions",
                                            "FabAPI_DiscoverFabrics",
                                            "FabAPI_ListProxyEntries",
                                            "FabAPI_ListSessions",
                                            "FabAPI_EstablishSession",
                                            "FabAPI_GetFabricSignature",
                                            "FabAPI_InitializeFabricAPI",
                                            "FabAPI_StartTracing",
                                            "FabAPI_StopTracing",
                                            "FabAPI_ShutdownFabricAPI",
                                            "FabAPI_CompareFabricSignatures",
                                            "FabAPI_GetFabricOidFromSession",
                                            "FabAPI_Trace",
                                            "FabAPI_SyncSession",
                                            "GetAllInfo",
                                            "FaultResponse",
                                            "Exit",
                                            "GetObjectsByTypeResponse",
                                            "CloseFabricSessionResponse",
                                            "CloseFabricSessionsResponse",
                                            "GetObjectsResponse"};
    std::set<std::string> names;
    for (const CommandRow& row : commandTable()) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name << " twice";
        EXPECT_EQ(&row, findCommand(row.name));
    }
    EXPECT_EQ(expected, names);
    EXPECT_EQ(nullptr, findCommand("getobjects")) << "case counts";
    EXPECT_EQ(nullptr, findCommand("GetObjects "));
    EXPECT_EQ(nullptr, findCommand(""));
}

TEST(CommandTable, RowsThatEchoAnotherName) {
    const struct {
        const char* name;
        const char* echo;
    } cases[] = {
        {"EncodeThrexThresholdOID", "EncodeThrexThresholdEntryOID"},
        {"FabAPI_SyncSession", "FabApi_SyncSession"},
        {"GetAllInfo", "GetAllObjects"},
        {"GetObjects", "GetObjects"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(nullptr, findCommand(c.name));
        EXPECT_STREQ(c.echo, findCommand(c.name)->echo);
    }
}

TEST(CommandTable, VersionBlocksAndFaultFormsOfTheSessionRows) {
    const struct {
        const char* name;
        VersionBlock version;
        FaultForm fault;
    } cases[] = {
        {"EstablishFabricSession", VersionBlock::None, FaultForm::B},
        {"InitializeFabricAccess", VersionBlock::None, FaultForm::A},
        {"CloseFabricSession", VersionBlock::TwoLines, FaultForm::A},
        {"CloseFabricSessions", VersionBlock::TwoLines, FaultForm::A},
        {"GetFabricIdentities", VersionBlock::None, FaultForm::C},
        {"GetObjects", VersionBlock::ThreeLines, FaultForm::Handler},
        {"GetFirmwareDownloadStatus", VersionBlock::None, FaultForm::None},
    };
    for (const auto& c : cases) {
        const CommandRow* row = findCommand(c.name);
        ASSERT_NE(nullptr, row) << c.name;
        EXPECT_EQ(c.version, row->version) << c.name;
        EXPECT_EQ(c.fault, row->fault) << c.name;
    }
}
