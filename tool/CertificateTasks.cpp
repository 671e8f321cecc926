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

// The log line of a collection in which some switch gave no request.
void logCollectFailures(EventLog& log, int failures) {
    log.write(1, "Error: %d switch(es) gave no CSR (status=%ld)\n", failures,
              static_cast<long>(CollectIncomplete));
}

// The log line of an installation that left some switch without a valid
// certificate.
void logInstallFailures(EventLog& log, const CertificateLoad& load) {
    log.write(1,
              "Error: not every Certificate was loaded: %ld failed, %ld with unknown state, "
              "%ld entries without a certificate (status=%ld)\n",
              load.failed, load.unknown, load.unusable, static_cast<long>(InstallIncomplete));
}

void logReportFailures(EventLog& log, int failures) {
    log.write(1, "Error: Licensed products of %d switch(es) could not be read (status=%ld)\n",
              failures, static_cast<long>(ReportIncomplete));
}

} // namespace

int CertificateTasks::runInteractive(int task, const std::vector<FabricInfo>& fabrics,
                                     int fabricNumber) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    EventLog& log = parameters.eventLog;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    // The fabric the task ran on: the first chosen one.
    const FabricInfo* first = fabrics.empty() ? nullptr : &fabrics.front();
    std::string document;
    if (task == CollectTask) {
        int failures = 0;
        const int status = getCsrs(context_, library_, fabrics, document, failures);
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
            if (failures > 0) {
                logCollectFailures(log, failures);
                return CollectIncomplete;
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
                      fabricNumber, principal.c_str(), wwn.c_str(), switches);
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
        const CertificateLoad load = loadCertificates(context_, library_, fabrics, document);
        if (load.loaded < 1) {
            log.write(1, "Error: Failure loading Certificates on fabric # %d (status=%ld) \n",
                      fabricNumber, load.loaded);
            return -1;
        }
        if (load.incomplete()) {
            logInstallFailures(log, load);
            return InstallIncomplete;
        }
        return 0;
    }
    if (task == ReportTask) {
        int failures = 0;
        const int built = buildLicenseReport(context_, fabrics, document, failures);
        const int status = built != 0 ? built : failures > 0 ? ReportIncomplete : 0;
        if (status != 0)
            log.write(1, "Error: Failed to get Licensed product datafrom fabric # %d (status=%ld) \n",
                      fabricNumber, static_cast<long>(status));
        if (writeLicenseReportFile(context_, document) != 0)
            return ReportNoMemory;
        console.write("\n   Success compiling and writing license report  \n\n\n"
                      "   Press Enter to continue.");
        console.readLine(MaxLineLength);
        return status;
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
        int failures = 0;
        const int status = getCsrs(context_, library_, fabrics, document, failures);
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
        if (failures > 0) {
            logCollectFailures(log, failures);
            return CollectIncomplete;
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
        const CertificateLoad load = loadCertificates(context_, library_, fabrics, document);
        if (load.loaded < 1) {
            log.write(1, "Error: Failure loading Certifiates on fabric/switch wwn=%s  (status=%ld)\n",
                      wwn.c_str(), load.loaded);
            return BatchInstallFailed;
        }
        if (load.incomplete()) {
            logInstallFailures(log, load);
            return InstallIncomplete;
        }
        return 0;
    }
    if (task == ReportTask) {
        int failures = 0;
        const int built = buildLicenseReport(context_, fabrics, document, failures);
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
        if (failures > 0) {
            logReportFailures(log, failures);
            return ReportIncomplete;
        }
        return 0;
    }
    return UsageError; // no task of this kind
}
