#include "CertificateInstall.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cerrno>

#include "CertificateFile.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;
constexpr std::size_t NameDigits = 16;
constexpr std::size_t MaxIdentifierLength = 48;
constexpr char SwitchTypePrefix[] = "0002";

void pressEnter(Console& console) {
    console.write("\n  Press Enter to Continue.\n");
    console.readLine(MaxLineLength);
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string trimmedCertificate(const std::string& text) {
    const char* const space = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(space);
    // A PEM text's last line keeps its line end, once.
    const bool lineEnd = text.find('\n', last) != std::string::npos;
    return text.substr(first, last - first + 1) + (lineEnd ? "\n" : "");
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

bool switchNameDigits(const std::string& name, std::string& digits) {
    digits.clear();
    for (const char c : name) {
        if (c == ':')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        digits.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return digits.size() == NameDigits;
}

long readSwitchDataFile(ToolContext& context, std::string& document) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    if (parameters.interactive() && parameters.logLevel >= 3)
        console.print("\n\n    Read Certificates from file: \"%s\"\n\n", name);
    document.clear();
    std::FILE* file = std::fopen(name, "r");
    if (file == nullptr) {
        parameters.eventLog.write(1, "ERROR: unable to open Certificates input file: \"%s\"\n",
                                  name);
        if (parameters.interactive()) {
            console.clearScreen();
            console.print("\n\n\n\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n\n"
                          " ERROR: unable to open Certificates input file: %s\n\n",
                          parameters.version.c_str(), name);
            pressEnter(console);
        }
        return 0;
    }
    // The whole file is read: a fixed buffer would cut the last entries.
    char block[8192];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        document.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || document.empty()) {
        parameters.eventLog.write(1, "ERROR: Failed to read switch data from file: <%s> \n", name);
        document.clear();
        return 0;
    }
    parameters.eventLog.write(2, "Success reading %d bytes of switch data from file: '%s' \n",
                              static_cast<int>(document.size()), name);
    return static_cast<long>(document.size());
}

int findSwitchByWwn(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                    std::string switchIdentifier, const SwitchInfo*& found) {
    switchIdentifier = lowered(switchIdentifier.substr(0, MaxIdentifierLength));
    for (const FabricInfo& fabric : fabrics) {
        for (const SwitchInfo& entry : fabric.switches) {
            if (!entry.switchOID.empty() && lowered(entry.switchOID) == switchIdentifier) {
                found = &entry;
                return 1;
            }
        }
    }
    // A switch whose ISN is not its world wide name (an embedded switch) is
    // still found by the name written into its signing-request entry.
    for (const FabricInfo& fabric : fabrics) {
        for (const SwitchInfo& entry : fabric.switches) {
            std::string digits;
            if (!entry.switchOID.empty() && switchNameDigits(entry.ISN, digits) &&
                SwitchTypePrefix + digits == switchIdentifier) {
                found = &entry;
                return 1;
            }
        }
    }
    context.parameters.eventLog.write(
        2, "WARNING> no switch with WWN=%s to load this certificate onto\n",
        switchIdentifier.c_str());
    return 0;
}

CertificateLoad loadCertificates(ToolContext& context, const CertificateLibrary& library,
                                 const std::vector<FabricInfo>& fabrics,
                                 const std::string& document) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    EventLog& log = parameters.eventLog;
    const bool interactive = parameters.interactive();
    if (interactive) {
        console.clearScreen();
        console.print("\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n",
                      parameters.version.c_str());
        console.print("\n  Load Certificates onto %d fabric(s)\n\n\n",
                      static_cast<int>(fabrics.size()));
    }
    if (fabrics.empty() || document.empty() || !log.isOpen() ||
        library.installCertificate == nullptr) {
        log.write(1, "ERROR: bad input argument \n");
        if (interactive) {
            console.write(" ERROR: bad input argument \n\n");
            pressEnter(console);
        }
        return {};
    }
    const CertificateDocument parsed = parseCertificateDocument(document);
    if (!parsed.parsed || !parsed.hasSwitchData) {
        if (!parsed.parsed)
            log.write(1, "ERROR: the certificate file is not well-formed XML: %s\n",
                      parsed.errorText.c_str());
        log.write(1, "ERROR: can't find any Switch Data with Certificates\n");
        log.flush();
        if (interactive) {
            console.write(" ERROR: can't find any Switch Data with Certificates\n");
            pressEnter(console);
        }
        return {};
    }

    CertificateLoad load;
    long& loaded = load.loaded;
    long& failed = load.failed;
    int index = -1;
    for (const CertificateEntry& entry : parsed.entries) {
        ++index;
        if (!entry.hasIsn) {
            log.write(1, "WARNING: Switch element #%d has no WWN\n", index);
            if (interactive)
                console.print(" WARNING: Switch element #%d has no WWN\n", index);
            ++load.unusable;
            continue;
        }
        std::string digits;
        if (!switchNameDigits(entry.ISN, digits)) {
            log.write(1, "WARNING: Switch element #%d has no valid WWN: '%s'\n", index,
                      entry.ISN.c_str());
            if (interactive)
                console.print(" WARNING: Switch element #%d has no valid WWN: '%s'\n", index,
                              entry.ISN.c_str());
            ++load.unusable;
            continue;
        }
        // A Status together with an Error marks an entry that the authority
        // could not sign: it carries no certificate to install, whatever the
        // log level. A blank Status or Error is no mark.
        if (!isBlank(entry.status) && !isBlank(entry.error)) {
            log.write(1, "WARNING: no certificate for switch %s \n because: %s\n",
                      entry.ISN.c_str(), entry.error.c_str());
            if (interactive)
                console.print(" WARNING: no certificate for switch %s \n because: %s\n",
                              entry.ISN.c_str(), entry.error.c_str());
            ++load.unusable;
            continue;
        }
        const std::string identifier = SwitchTypePrefix + digits;
        const std::string certificate = trimmedCertificate(entry.certificate);
        if (!entry.hasCertificate || certificate.empty()) {
            log.write(1, "WARNING: empty Certificate for switch wwn=%s\n", digits.c_str());
            if (interactive)
                console.print(" WARNING: empty Certificate for switch wwn=%s\n", digits.c_str());
            ++load.unusable;
            continue;
        }
        const SwitchInfo* target = nullptr;
        if (findSwitchByWwn(context, fabrics, identifier, target) == 0)
            continue;
        // A cut certificate would be refused or, worse, installed broken.
        if (certificate.size() > MaxCertificateLength) {
            ++failed;
            log.write(1,
                      "ERROR: Failed to load Certificate: Switch name=%s, WWN=%s, "
                      "certificate of %zu characters is longer than %zu\n",
                      target->name.c_str(), digits.c_str(), certificate.size(),
                      MaxCertificateLength);
            if (interactive)
                console.print("ERROR: Failed to load Certificate: Switch %s, WWN=%s: "
                              "certificate longer than %zu characters\n",
                              target->name.c_str(), digits.c_str(), MaxCertificateLength);
            continue;
        }
        const long status =
            library.installCertificate(target->switchOID.c_str(), certificate.c_str());
        // An accepted certificate is loaded only once the switch reports it
        // valid: another switch's certificate, or a broken one, is accepted
        // and then marked invalid.
        const CertificateState state =
            status == 0 ? readCertificateState(context, target->switchOID) : CertificateState::Unknown;
        if (status == 0 && state == CertificateState::NotValid) {
            ++failed;
            log.write(1, "ERROR: Certificate not valid on Switch name=%s, WWN=%s\n",
                      target->name.c_str(), entry.ISN.c_str());
            if (interactive)
                console.print("ERROR: Certificate not valid on Switch %s, WWN=%s\n",
                              target->name.c_str(), entry.ISN.c_str());
        } else if (status == 0 && state == CertificateState::Unknown) {
            ++load.unknown;
            log.write(1,
                      "WARNING: Certificate sent to Switch name=%s, WWN=%s; its certificate "
                      "state is unknown\n",
                      target->name.c_str(), entry.ISN.c_str());
            if (interactive)
                console.print(" WARNING: Certificate sent to Switch %s, WWN=%s; its certificate "
                              "state is unknown\n",
                              target->name.c_str(), entry.ISN.c_str());
        } else if (status == 0) {
            ++loaded;
            log.write(2, "Loaded Certificate onto Switch %s; WWN=%s\n", target->name.c_str(),
                      target->WWN.c_str());
            if (interactive)
                console.print("  %2d.  Loaded Certificate on Switch %s; WWN=%s\n",
                              static_cast<int>(loaded), target->name.c_str(),
                              target->WWN.c_str());
        } else {
            ++failed;
            log.write(1, "ERROR: Failed to load Certificate: Switch name=%s, WWN=%s, status=%ld\n",
                      target->name.c_str(), entry.ISN.c_str(), status);
            if (interactive)
                console.print("ERROR %ld: Failed to load Certificate: Switch %s, WWN=%s\n", status,
                              target->name.c_str(), entry.ISN.c_str());
        }
    }
    if (parameters.logLevel >= 2) {
        if (loaded == 1)
            log.write(2, "Load summary: 1 Certificate was loaded,");
        else
            log.write(2, "Load summary: %ld Certificates were loaded,", loaded);
        if (failed == 1)
            log.write(2, " 1 Certificate load failed \n");
        else
            log.write(2, " %ld Certificate loads failed\n", failed);
        if (load.unknown == 1)
            log.write(2, "Load summary: 1 Certificate state is unknown\n");
        else if (load.unknown > 1)
            log.write(2, "Load summary: %ld Certificate states are unknown\n", load.unknown);
    }
    log.flush();
    if (interactive) {
        console.write("\n\n");
        if (loaded == 1)
            console.write("   1 Certificate was loaded,\n");
        else
            console.print("   %ld Certificates were loaded,\n", loaded);
        if (failed == 1)
            console.write("   1 Certificate load failed \n");
        else
            console.print("   %ld Certificate loads failed\n", failed);
        if (load.unknown == 1)
            console.write("   1 Certificate state is unknown\n");
        else if (load.unknown > 1)
            console.print("   %ld Certificate states are unknown\n", load.unknown);
        console.write("\n\n  Press Enter to Continue.\n");
        console.readLine(MaxLineLength);
    }
    return load;
}
