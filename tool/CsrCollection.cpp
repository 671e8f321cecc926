#include "CsrCollection.h"

#include <cstdio>
#include <cstring>

#include "DataFile.h"
#include "LicenseReport.h"
#include "ReplyText.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;
constexpr std::size_t WwnTextLength = 48;

std::string colonForm(const std::string& isn) {
    std::string out;
    if (isn.find(':') != std::string::npos)
        return isn;
    formatWwn(isn, out, WwnTextLength);
    return out;
}

void printRecords(Console& console, int fabricNumber, const FabricInfo& fabric, int switchNumber,
                  const SwitchInfo& entry) {
    if (switchNumber == 1)
        console.print("Fabric=%d\n    fabricId=%s\n    wwn=%s\n    actvZoneDb=%s\n"
                      "    fullZoneDb=%s\n    numSwitches=%ld\n",
                      fabricNumber, fabric.fabricId.c_str(), fabric.wwn.c_str(),
                      fabric.actvZoneDb.c_str(), fabric.fullZoneDb.c_str(),
                      static_cast<long>(fabric.numSwitches));
    console.print("\n    Switch=%d\n        name=%s\n        swRole=%ld\n        domain=%ld\n"
                  "        numPorts=%ld\n        ISN=%s\n        assignedWWN=%s\n"
                  "        switchOID =%s\n        WWN=%s\n",
                  switchNumber, entry.name.c_str(), static_cast<long>(entry.swRole),
                  static_cast<long>(entry.domain), static_cast<long>(entry.numPorts),
                  entry.ISN.c_str(), entry.assignedWWN.c_str(), entry.switchOID.c_str(),
                  entry.WWN.c_str());
}

} // namespace

int getCsrs(ToolContext& context, const CertificateLibrary& library,
            const std::vector<FabricInfo>& fabrics, std::string& document, int& failures) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    EventLog& log = parameters.eventLog;
    const bool interactive = parameters.interactive();
    log.write(3, "\nRetrieving CSR's from %d fabric(s)\n", static_cast<int>(fabrics.size()));
    log.flush();
    if (interactive) {
        console.clearScreen();
        console.print("\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n",
                      parameters.version.c_str());
        console.print("\n   Retrieving CSR's from %d fabric(s)\n\n",
                      static_cast<int>(fabrics.size()));
    }
    document = switchDataHead(parameters.DTD_LOCATION, false);
    // The failures are listed whole: nothing is cut at a fixed size.
    std::string failureText;
    failures = 0;
    int collected = 0;
    int fabricNumber = 0;
    for (const FabricInfo& fabric : fabrics) {
        ++fabricNumber;
        int switchNumber = 0;
        for (const SwitchInfo& entry : fabric.switches) {
            ++switchNumber;
            if (interactive && parameters.logLevel >= 3)
                printRecords(console, fabricNumber, fabric, switchNumber, entry);
            std::string products;
            int count = 0;
            CertificateState certificate = CertificateState::Unknown;
            if (getLicensedProducts(context, entry, products, count, certificate) != 0 ||
                count < 1)
                log.write(3, "ERROR: Couldn't get license info for sw=%s\n", entry.ISN.c_str());
            if (certificate == CertificateState::Valid && parameters.CSR_GET_ALWAYS == 0) {
                log.write(2, "Note: Switch: %s (WWN=%s) has a Certificate\n", entry.name.c_str(),
                          entry.ISN.c_str());
                continue;
            }
            // Such a switch may hold a certificate or none: it is asked, and
            // not reported as one without.
            if (certificate == CertificateState::Unknown && !entry.switchOID.empty())
                log.write(2, "Note: Switch: %s (WWN=%s) certificate state unknown\n",
                          entry.name.c_str(), entry.ISN.c_str());
            if (parameters.CSR_LIC_RPT_ON == 0)
                products.clear();
            char* request = nullptr;
            const long status = entry.switchOID.empty() || library.getSigningRequest == nullptr
                                    ? -13
                                    : library.getSigningRequest(entry.switchOID.c_str(), &request);
            if (status == 0 && request != nullptr) {
                document += switchElementStart(entry);
                document += "    <CSR>";
                appendXmlEscaped(document, request);
                document += "</CSR>\n";
                if (products.size() > 1) {
                    document += "    <Licensed_Products> \n";
                    document += products;
                    document += "    </Licensed_Products> \n";
                }
                document += "  </Switch> \n";
                ++collected;
                if (interactive)
                    console.print("  %2d. Got a CSR for Switch: Name=\"%s\", IP=\"%s\"\n",
                                  collected, entry.name.c_str(), entry.ipAddress.c_str());
                log.write(2, "Got %d byte CSR; Switch=%s; IP=%s, WWN=%s\n",
                          static_cast<int>(std::strlen(request)), entry.name.c_str(),
                          entry.ipAddress.c_str(), colonForm(entry.ISN).c_str());
                log.flush();
            } else {
                if (interactive && parameters.logLevel >= 1)
                    console.print("  * NO CSR: \"%s\", Addr=%s, Merrowix=%s\n", entry.name.c_str(),
                                  entry.ipAddress.c_str(), entry.firmwareVersion.c_str());
                char line[512];
                std::snprintf(line, sizeof line, "Get CSR FAILED (%ld) Switch %s; WWN=%s; [%s]\n",
                              status == 0 ? -2L : status, entry.name.c_str(),
                              colonForm(entry.ISN).c_str(), entry.firmwareVersion.c_str());
                failureText += line;
                ++failures;
            }
        }
    }
    if (!failureText.empty()) {
        log.write(2, " ----- GET CSR FAILURES ----- \n%s\n\n", failureText.c_str());
        log.flush();
    }
    document += "</Switch_Data> \n";
    return collected > 0 ? 0 : -1;
}

int writeCsrFile(ToolContext& context, const std::string& document) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    if (!writeDataFile(name, document)) {
        parameters.eventLog.write(1, "ERROR: unable to open CSR output file: '%s'\n", name);
        if (parameters.interactive()) {
            console.print("\n\n\n ERROR: unable to open CSR output file: %s\n\n", name);
            console.write("\n  Press Enter to Continue.\n");
            console.readLine(MaxLineLength);
        }
        return -1;
    }
    parameters.eventLog.write(2, "  Wrote %d bytes of switch data to file: \"%s\" \n",
                              static_cast<int>(document.size()), name);
    if (parameters.interactive())
        console.print("\n\n  Wrote %d bytes of switch data to file: \"%s\" \n",
                      static_cast<int>(document.size()), name);
    return 0;
}
