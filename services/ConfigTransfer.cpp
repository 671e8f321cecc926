// The configuration exports and their implementations.
#include "services/ConfigTransfer.h"

#include <string>

#include <orvane/status.h>
#include <orvane/transfers.h>

#include "api/ExportFrame.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "services/ConfigManager.h"

namespace {

constexpr char kSourceFile[] = "ConfigMgr";

// Runs `work` with the manager on an initialised library inside the
// shutdown gate; a call turned away by a shutdown leaves its trace text.
template <class Work> int gatedConfigCall(const char* exportName, Work&& work) {
    const int status = gatedCall(InitCheck::Required, [&]() -> int {
        ConfigManager* manager = ConfigManager::instance();
        return manager == nullptr ? FABAPI_ERR_NOT_INITIALIZED : work(*manager);
    });
    if (status == FABAPI_ERR_SHUTTING_DOWN) {
        const std::string text =
            std::string("Unable to perform ") + exportName + ". API shutting down.";
        traceRecord(Vosk_Ext_API, text.c_str(), exportName, "", kSourceFile, __LINE__);
    }
    return status;
}

} // namespace

int Int_ConfigurationUpload(const char* switchOid, char** configText) {
    return gatedConfigCall("ConfigurationUpload", [&](ConfigManager& manager) {
        return manager.upload(switchOid, configText);
    });
}

int Int_ConfigurationDownload(const char* switchOid, char allowReboot, const char* configText) {
    return gatedConfigCall("ConfigurationDownload", [&](ConfigManager& manager) {
        return manager.download(switchOid, allowReboot, configText);
    });
}

int Int_ConfigurationPrefix(const char* switchOid, unsigned short section, char** prefixes) {
    return gatedConfigCall("ConfigurationPrefix", [&](ConfigManager& manager) {
        return manager.getPrefixes(switchOid, section, prefixes);
    });
}

// ---------------------------------------------------------------------------
// Exports

int ConfigurationUpload(const OID_t switchOid, char** configText) {
    return runExport(
        "ConfigurationUpload", [&] { return Int_ConfigurationUpload(switchOid, configText); },
        kSourceFile);
}

int ConfigurationDownload(const OID_t switchOid, char allowReboot, const char* configText) {
    return runExport(
        "ConfigurationDownload",
        [&] { return Int_ConfigurationDownload(switchOid, allowReboot, configText); },
        kSourceFile);
}

int ConfigurationPrefix(const OID_t switchOid, unsigned short section, char** prefixes) {
    return runExport(
        "ConfigurationPrefix", [&] { return Int_ConfigurationPrefix(switchOid, section, prefixes); },
        kSourceFile);
}
