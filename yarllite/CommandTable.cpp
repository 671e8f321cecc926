#include "yarllite/CommandTable.h"

#include <array>

#include "yarllite/AllInfoCommand.h"
#include "yarllite/FabApiCommands.h"
#include "yarllite/IdentifierCommands.h"
#include "yarllite/ObjectEditCommands.h"
#include "yarllite/ObjectQueryCommands.h"
#include "yarllite/ServiceCommands.h"
#include "yarllite/SessionCommands.h"
#include "yarllite/ThresholdRouteCommands.h"
#include "yarllite/ThrexTemplateCommands.h"

namespace {

using enum CommandKind;
constexpr auto kNoVersion = VersionBlock::None;
constexpr auto kTwoLines = VersionBlock::TwoLines;
constexpr auto kThreeLines = VersionBlock::ThreeLines;
constexpr auto kFaultA = FaultForm::A;
constexpr auto kFaultB = FaultForm::B;
constexpr auto kFaultC = FaultForm::C;
constexpr auto kNoFault = FaultForm::None;
constexpr auto kOwnFault = FaultForm::Handler;

constexpr CommandRow row(const char* name, VersionBlock version, FaultForm fault,
                         CommandHandler handler = nullptr, CommandKind kind = Handler) {
    return CommandRow{name, name, version, fault, kind, handler};
}

constexpr CommandRow echoing(const char* name, const char* echo, VersionBlock version,
                             FaultForm fault, CommandHandler handler = nullptr,
                             CommandKind kind = Handler) {
    return CommandRow{name, echo, version, fault, kind, handler};
}

constexpr auto kCommands = std::to_array<CommandRow>({
    // Events, firmware, configuration.
    row("RegisterForEvents", kNoVersion, kFaultA, YarlRegisterForEvents),
    row("UnRegisterForEvents", kNoVersion, kFaultA, YarlUnRegisterForEvents),
    row("FirmwareDownloadDirect", kNoVersion, kFaultA, YarlFirmwareDownloadDirect),
    row("FirmwareDownloadSelf", kNoVersion, kFaultB, YarlFirmwareDownloadSelf),
    row("GetFirmwareDownloadStatus", kNoVersion, kNoFault, YarlGetFirmwareDownloadStatus),
    row("ConfigurationDownload", kNoVersion, kFaultB, YarlConfigDownload),
    row("ConfigurationUpload", kNoVersion, kFaultB, YarlConfigUpload),
    row("ConfigurationPrefix", kNoVersion, kFaultB, YarlConfigurationPrefix),
    row("GetEvents", kNoVersion, kFaultB, YarlGetEvents),
    // Identifier codecs.
    row("DecodeDomainPortRef", kNoVersion, kFaultA, YarlDecodeDomainPortRef),
    row("DecodeSwitchPortGroupOID", kNoVersion, kFaultA, YarlDecodeSwitchPortGroupOID),
    row("DecodeThrexClassAreaOID", kNoVersion, kFaultA, YarlDecodeThrexClassAreaOID),
    row("DecodeThrexThresholdEntryOID", kNoVersion, kFaultA, YarlDecodeThrexThresholdEntryOID),
    row("EncodeDomainPortRef", kNoVersion, kFaultA, YarlEncodeDomainPortRef),
    row("EncodeSwitchPortGroupOID", kNoVersion, kFaultA, YarlEncodeSwitchPortGroupOID),
    row("EncodeThrexClassAreaOID", kNoVersion, kFaultA, YarlEncodeThrexClassAreaOID),
    row("EncodeThrexThresholdEntryOID", kNoVersion, kFaultA, YarlEncodeThrexThresholdEntryOID),
    echoing("EncodeThrexThresholdOID", "EncodeThrexThresholdEntryOID", kNoVersion, kFaultA,
            YarlEncodeThrexThresholdEntryOID),
    // Thresholds, routes, zoning names.
    row("GetObjectTemplate", kNoVersion, kFaultA, YarlGetObjectTemplate),
    row("ModifyObject", kNoVersion, kFaultA, YarlModifyObject),
    row("SetRouteTableEntry", kNoVersion, kFaultA, YarlSetRouteTableEntry),
    // A failed check answers its fault: the handler writes the answer itself.
    row("ZoningObjectNameExists", kNoVersion, kFaultA, YarlZoningObjectNameExists),
    // Object editing.
    row("AddAttributes", kNoVersion, kFaultA, YarlAddAttributes),
    row("AddSetMember", kNoVersion, kFaultA, YarlAddSetMember),
    row("RemoveSetMember", kNoVersion, kFaultA, YarlRemoveSetMember),
    row("DeleteObjects", kNoVersion, kFaultA, YarlDeleteObjects),
    row("CreateFabricObject", kNoVersion, kFaultA, YarlCreateFabricObject, CreateObject),
    // Sessions and discovery.
    row("EstablishFabricSession", kNoVersion, kFaultB, YarlEstablishFabricSession),
    row("InitializeFabricAccess", kNoVersion, kFaultA, YarlInitializeFabricAccess),
    row("CloseFabricSession", kTwoLines, kFaultA, YarlCloseFabricSession),
    row("CloseFabricSessions", kTwoLines, kFaultA, YarlCloseFabricSessions),
    row("GetFabricIdentities", kNoVersion, kFaultC, YarlGetFabricIdentities),
    // Object queries.
    row("GetAllObjects", kThreeLines, kOwnFault, YarlGetAllObjects),
    row("GetAllObjectsResponse", kNoVersion, kOwnFault, YarlGetAllObjectsResponseCommand),
    row("GetObjectsByType", kThreeLines, kOwnFault, YarlGetObjectsByType),
    row("GetObjects", kThreeLines, kOwnFault, YarlGetObjects),
    // Identifiers and routes.
    row("GetLegalRouteTableEntries", kNoVersion, kFaultA, YarlGetLegalRouteTableEntries),
    row("PortPairToRouteOID", kNoVersion, kFaultA, YarlPortPairToRouteOID),
    row("WWNtoOID", kNoVersion, kFaultA, YarlWWNtoOID),
    row("OIDtoWWN", kNoVersion, kFaultA, YarlOIDtoWWN),
    // Sessions and proxies of the newer interface.
    row("FabAPI_AppendProxyEntry", kNoVersion, kOwnFault, YarlAppendProxyEntry),
    row("FabAPI_RemoveProxyEntry", kNoVersion, kOwnFault, YarlRemoveProxyEntry),
    row("FabAPI_CloseSession", kNoVersion, kOwnFault, YarlCloseSession),
    row("FabAPI_CloseSessions", kNoVersion, kOwnFault, YarlCloseSessions),
    row("FabAPI_DiscoverFabrics", kNoVersion, kOwnFault, YarlDiscoverReachableFabrics),
    row("FabAPI_ListProxyEntries", kNoVersion, kOwnFault, YarlEnumerateProxyEntries),
    row("FabAPI_ListSessions", kNoVersion, kOwnFault, YarlEnumerateSessions),
    row("FabAPI_EstablishSession", kNoVersion, kOwnFault, YarlEstablishSession),
    row("FabAPI_GetFabricSignature", kNoVersion, kOwnFault, YarlGetFabricSignature),
    row("FabAPI_InitializeFabricAPI", kNoVersion, kOwnFault, YarlInitializeFabricAPI),
    row("FabAPI_StartTracing", kNoVersion, kOwnFault, YarlStartTracing),
    row("FabAPI_StopTracing", kNoVersion, kOwnFault, YarlStopTracing),
    row("FabAPI_ShutdownFabricAPI", kNoVersion, kOwnFault, YarlShutdownFabricAPI),
    row("FabAPI_CompareFabricSignatures", kNoVersion, kOwnFault, YarlCompareFabricSignatures),
    row("FabAPI_GetFabricOidFromSession", kNoVersion, kOwnFault, YarlGetFabricOidFromSession),
    row("FabAPI_Trace", kNoVersion, kOwnFault, YarlTrace),
    echoing("FabAPI_SyncSession", "FabApi_SyncSession", kNoVersion, kOwnFault, YarlSyncSession),
    // Answered by the front end itself.
    echoing("GetAllInfo", "GetAllObjects", kNoVersion, kNoFault, YarlGetAllInfo, AllInfo),
    row("FaultResponse", kNoVersion, kNoFault, nullptr, FaultResponse),
    row("Exit", kNoVersion, kNoFault, nullptr, Exit),
    row("GetObjectsByTypeResponse", kNoVersion, kNoFault, nullptr, ResponseName),
    row("CloseFabricSessionResponse", kNoVersion, kNoFault, nullptr, ResponseName),
    row("CloseFabricSessionsResponse", kNoVersion, kNoFault, nullptr, ResponseName),
    row("GetObjectsResponse", kNoVersion, kNoFault, nullptr, ResponseName),
});

} // namespace

bool CommandRow::isAvailable() const {
    switch (kind) {
    case CommandKind::FaultResponse:
    case CommandKind::Exit:
    case CommandKind::ResponseName:
        return true;
    case CommandKind::Handler:
    case CommandKind::CreateObject:
    case CommandKind::AllInfo:
        return handler != nullptr;
    }
    return false;
}

std::span<const CommandRow> commandTable() {
    return kCommands;
}

const CommandRow* findCommand(std::string_view name) {
    for (const CommandRow& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}
