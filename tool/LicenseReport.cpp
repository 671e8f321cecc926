#include "LicenseReport.h"

#include <cstdio>
#include <ctime>

#include "DataFile.h"
#include "ReplyText.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;
constexpr std::size_t ShortTextLength = 48;
constexpr std::size_t IdentifierLength = 48;
constexpr std::size_t NumberLength = 12;
constexpr int MaxProductSearches = 48;
// Identifiers shorter than this name no product.
constexpr std::size_t MinProductIdLength = 11;
// Where the product number begins in a licensed product's identifier.
constexpr std::size_t ProductNumberOffset = 26;

constexpr const char* ProductTable[] = {
    "Valid Certificate", "Zoning",      "Trunking",    "Long Distance", "Performance Monitor",
    "Threshold Monitor", "Loop Attach", "Full Fabric", "WAN Extension", "Port Expansion",
    "Fabric Services",   "Unknown",     "Unknown",     "Security",      "Unknown",
};
constexpr long ProductCount = sizeof ProductTable / sizeof ProductTable[0];

// The value of `startTag` after `from`, before `endTag`, entities decoded;
// empty when there is none.
std::string valueAt(std::string_view reply, std::size_t from, std::string_view startTag,
                    std::string_view endTag, std::size_t maxLen) {
    std::string value;
    std::size_t cursor = from;
    if (extractXmlValue(value, reply, cursor, startTag, endTag, maxLen, "", "", KeepCursor) < 0)
        return {};
    return decodeXmlText(value);
}

void appendProductLine(std::string& products, long id, const std::string& name) {
    char number[24];
    std::snprintf(number, sizeof number, "%02ld", id);
    products += "      <Product Id=\"";
    products += number;
    products += "\">";
    appendXmlEscaped(products, name);
    products += "</Product>\n";
}

std::string localTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d.%H:%M:%S", &local);
    return text;
}

void pressEnter(Console& console) {
    console.write("\n  Press Enter to Continue.\n");
    console.readLine(MaxLineLength);
}

} // namespace

const char* productName(long id) {
    return id >= 0 && id < ProductCount ? ProductTable[id] : "Unknown";
}

std::string switchDataHead(const std::string& dtdLocation, bool withDoctype) {
    std::string head = "<?xml version='1.0' encoding='utf-8' ?>\n";
    if (withDoctype) {
        head += "<!DOCTYPE Switch_Data \n  SYSTEM \"";
        appendXmlEscaped(head, dtdLocation);
        head += "\" > \n";
    }
    head += "<Switch_Data Type=\"VOSK_IN\" DateTime=\"" + localTimeText() + "\" >\n";
    return head;
}

std::string switchElementStart(const SwitchInfo& entry) {
    std::string text = "  <Switch ISN=\"";
    appendXmlEscaped(text, entry.ISN);
    text += "\" WWN=\"";
    appendXmlEscaped(text, entry.assignedWWN);
    text += "\" \n        Name=\"";
    appendXmlEscaped(text, entry.name);
    text += "\" >\n";
    return text;
}

int getLicensedProducts(ToolContext& context, const SwitchInfo& entry, std::string& products,
                        int& count, CertificateState& certificate) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    std::string reply;
    count = 0;
    certificate = CertificateState::Unknown;
    if (entry.switchOID.empty() || getObject(context, entry.switchOID, reply) != 0) {
        const long status = -1;
        parameters.eventLog.write(1,
                                  "Failed to get Switch object: Name=%s, ISN='%s' (status=%ld) \n",
                                  entry.name.c_str(), entry.ISN.c_str(), status);
        if (parameters.interactive()) {
            console.print("\n\n\n Failed to get Switch object: Name=%s, ISN='%s' (status=%ld)\n\n",
                          entry.name.c_str(), entry.ISN.c_str(), status);
            pressEnter(console);
        }
        return -1;
    }
    const std::size_t at = findAnchored(reply, "<Switch");
    const std::size_t from = at == std::string::npos ? 0 : at;
    certificate = certificateStateOf(reply);
    if (certificate == CertificateState::Valid)
        products += "      <Product >Valid Certificate</Product>\n";
    else if (certificate == CertificateState::Unknown)
        products += std::string("      <Product >") + UnknownCertificateProduct + "</Product>\n";

    // The library writes a switch's products as "<LicensedProduct OID=...>"
    // rows; with licence keys present the product number is taken from the
    // identifier, else from each product object.
    const bool fromKeys =
        !valueAt(reply, from, "<LicenseKey Key=", "</Switch>", ShortTextLength).empty();
    std::size_t cursor = from;
    int searches = 0;
    while (searches < MaxProductSearches) {
        ++searches;
        std::string product;
        if (extractXmlValue(product, reply, cursor, "<LicensedProduct OID=", "</Switch>",
                            IdentifierLength, "", "", MoveCursor) < 0)
            break;
        product = decodeXmlText(product);
        if (fromKeys) {
            if (product.size() < MinProductIdLength)
                break;
            long id = -1;
            if (product.size() <= ProductNumberOffset ||
                hexStrToLong(console, "0x" + product.substr(ProductNumberOffset), id) != 0)
                id = -1;
            appendProductLine(products, id, productName(id));
            continue;
        }
        std::string productReply;
        if (getObject(context, product, productReply) != 0) {
            const long status = -1;
            // Reported whatever the log level: the report lacks this product.
            parameters.eventLog.write(
                0, "Failed to get licenced products data from Switch: %s; ISN='%s' (status=%ld) \n",
                entry.name.c_str(), entry.ISN.c_str(), status);
            count = searches;
            return -1;
        }
        const std::size_t productAt = findAnchored(productReply, "<LicensedProduct");
        const std::size_t productFrom = productAt == std::string::npos ? 0 : productAt;
        long id = -1;
        const std::string idText =
            valueAt(productReply, productFrom, "ProductID=", "</LicensedProduct>", NumberLength);
        if (idText.empty() || hexStrToLong(console, idText, id) != 0)
            id = -1;
        std::string name = valueAt(productReply, productFrom, "ProductName=", "</LicensedProduct>",
                                   ShortTextLength);
        if (name.empty())
            name = productName(id);
        appendProductLine(products, id, name);
    }
    count = searches;
    return 0;
}

int buildLicenseReport(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                       std::string& document, int& failures) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    EventLog& log = parameters.eventLog;
    const bool interactive = parameters.interactive();
    document = switchDataHead(parameters.DTD_LOCATION, true);
    log.write(2, "\n\n Reporting on Licensed Products of these Fabrics:\n\n");
    if (interactive) {
        console.clearScreen();
        console.print("\n\n           PKI CERTIFICATE INSTALLATION UTILITY %s  \n",
                      parameters.version.c_str());
        console.write("\n   Reporting on Licensed Products of these Fabrics:\n\n"
                      "   Fabric   World Wide Name         # Switches  Principal  \n"
                      "   ------  -----------------------  ----------  -----------\n");
    }
    failures = 0;
    int number = 0;
    for (const FabricInfo& fabric : fabrics) {
        ++number;
        const std::string principal = principalText(fabric);
        log.write(2, "    %2d)    %16s      %2ld      %-11s \n", number, fabric.wwn.c_str(),
                  static_cast<long>(fabric.numSwitches), principal.c_str());
        if (interactive)
            console.print("    %2d)    %16s      %2ld      %-11s \n", number, fabric.wwn.c_str(),
                          static_cast<long>(fabric.numSwitches), principal.c_str());
    }
    for (const FabricInfo& fabric : fabrics) {
        for (const SwitchInfo& entry : fabric.switches) {
            document += switchElementStart(entry);
            document += "    <Licensed_Products> \n";
            int count = 0;
            CertificateState certificate = CertificateState::Unknown;
            if (getLicensedProducts(context, entry, document, count, certificate) != 0) {
                ++failures;
                log.write(1, "ERROR: can't get Licensed Products for switch %s; ISN=%s\n",
                          entry.name.c_str(), entry.ISN.c_str());
                if (interactive)
                    console.print("\n ERROR: failed to get Licensed Products for switch %s; "
                                  "ISN=%s\n",
                                  entry.name.c_str(), entry.ISN.c_str());
            } else {
                log.write(2, "Found %d licensed products on Switch %s; ISN=%s\n", count,
                          entry.name.c_str(), entry.ISN.c_str());
                if (certificate == CertificateState::Unknown)
                    log.write(2, "Certificate state of Switch %s is unknown; ISN=%s\n",
                              entry.name.c_str(), entry.ISN.c_str());
            }
            document += "    </Licensed_Products> \n";
            document += "  </Switch> \n";
        }
    }
    document += "</Switch_Data> \n";
    return 0;
}

int writeLicenseReportFile(ToolContext& context, const std::string& document) {
    SystemParameters& parameters = context.parameters;
    Console& console = context.console;
    const char* name = parameters.DATA_FILE_NAME.c_str();
    if (!writeDataFile(name, document)) {
        parameters.eventLog.write(1, "ERROR: unable to open Lic-Prod report file: '%s'\n", name);
        if (parameters.interactive()) {
            console.clearScreen();
            console.print("\n\n\n\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n\n"
                          "  ERROR: unable to open Lic Prod report file: %s\n\n",
                          parameters.version.c_str(), name);
            pressEnter(console);
        }
        return -1;
    }
    parameters.eventLog.write(2, "  Wrote %d bytes of Lic Prod info to file: \"%s\"\n",
                              static_cast<int>(document.size()), name);
    if (parameters.interactive())
        console.print("\n\n  Wrote %d bytes of Lic Prod info to file: \"%s\"\n",
                      static_cast<int>(document.size()), name);
    return 0;
}
