#include "CertificateTasks.h"

#include <string>

#include "CertificateInstall.h"
#include "CsrCollection.h"
#include "LicenseReport.h"
#include "Status.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;

} // namespace

int CertificateTasks::runInteractive(int task, const std::vector<FabricInfo>& fabrics) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    EventLog& log = parameters.eventLog;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    // The fabric the task ran on: the first chosen one.
    const FabricInfo* first = fabrics.empty() ? nullptr : &fabrics.front();
    std::string document;
    if (task == CollectTask) {
        const int status = getCsrs(context_, library_, fabrics, document);
        if (status == 0) {
            const int written = writeCsrFile(context_, document);
            if (written != 0) {
                log.write(1, "Error: Failure writing CSRs data to file '%s' (status=%ld)\n", name,
                          static_cast<long>(written));
                return written;
            }
            if (parameters.logLevel >= 1) {
                console.write("\n  Success getting CSRs  & writing them to a CSR file   \n\n\n"
                              "\n\n  Press Enter to continue > ");
                console.readLine(MaxLineLength);
            }
            return 0;
        }
        const std::string principal = first != nullptr ? principalText(*first) : "Unknown";
        const std::string wwn = first != nullptr ? first->wwn : "";
        const long switches = first != nullptr ? first->numSwitches : 0;
        log.write(1,
                  "No CSRs were retrieved from fabric \n:Principal switch %s  WWN=%s (%ld "
                  "switches)\n",
                  principal.c_str(), wwn.c_str(), switches);
        console.print("  No CSRs were retrieved from fabric %d:\n  Principal switch %s  WWN=%s "
                      "(%ld switches)\n",
                      1, principal.c_str(), wwn.c_str(), switches);
        console.write("\n\n\n  Press Enter to continue > ");
        console.readLine(MaxLineLength);
        return status;
    }
    if (task == InstallTask) {
        const long read = readSwitchDataFile(context_, document);
        if (read < 1) {
            log.write(1, "Error: Failure reading Certificates from file '%s' (status=%ld) \n", name,
                      read);
            return -1;
        }
        const long loaded = loadCertificates(context_, library_, fabrics, document);
        if (loaded < 1) {
            log.write(1, "Error: Failure loading Certificates on fabric # %d (status=%ld) \n", 1,
                      loaded);
            return -1;
        }
        return 0;
    }
    if (task == ReportTask) {
        const int built = buildLicenseReport(context_, fabrics, document);
        if (built != 0)
            log.write(1, "Error: Failed to get Licensed product datafrom fabric # %d (status=%ld) \n",
                      1, static_cast<long>(built));
        if (writeLicenseReportFile(context_, document) != 0)
            return ReportNoMemory;
        console.write("\n   Success compiling and writing license report  \n\n\n"
                      "   Press Enter to continue.");
        console.readLine(MaxLineLength);
        return built;
    }
    return UsageError; // no task of this kind
}

int CertificateTasks::runBatch(int task, const std::vector<FabricInfo>& fabrics) {
    SystemParameters& parameters = context_.parameters;
    EventLog& log = parameters.eventLog;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    const std::string wwn = fabrics.empty() ? std::string() : fabrics.front().wwn;
    std::string document;
    if (task == CollectTask) {
        const int status = getCsrs(context_, library_, fabrics, document);
        if (status != 0) {
            log.write(1, "Error: Failure retrieving CSRs from fabric/switch wwn=%s (status=%ld)\n",
                      wwn.c_str(), static_cast<long>(status));
            return BatchCollectFailed;
        }
        const int written = writeCsrFile(context_, document);
        if (written != 0) {
            log.write(1, "Error: Failure writing CSRs data to file \"%s\" (status=%ld) \n", name,
                      static_cast<long>(written));
            return BatchCollectWriteFailed;
        }
        return 0;
    }
    if (task == InstallTask) {
        const long read = readSwitchDataFile(context_, document);
        if (read < 1) {
            log.write(1, "Error: Failure reading Certificates from file '%s' (status=%ld) \n", name,
                      read);
            return BatchInstallReadFailed;
        }
        const long loaded = loadCertificates(context_, library_, fabrics, document);
        if (loaded < 1) {
            log.write(1, "Error: Failure loading Certifiates on fabric/switch wwn=%s  (status=%ld)\n",
                      wwn.c_str(), loaded);
            return BatchInstallFailed;
        }
        return 0;
    }
    if (task == ReportTask) {
        const int built = buildLicenseReport(context_, fabrics, document);
        if (built != 0) {
            log.write(1, "Error: Failed to get Licensed product data (status=%ld) \n",
                      static_cast<long>(built));
            return BatchReportFailed;
        }
        const int written = writeLicenseReportFile(context_, document);
        if (written != 0) {
            log.write(1, "Error: Failure writing CSRs data to file '%s' (status=%ld)\n", name,
                      static_cast<long>(written));
            return BatchReportWriteFailed;
        }
        return 0;
    }
    return UsageError; // no task of this kind
}
