// The products licensed on each switch and whether it holds a valid
// certificate: the per-switch lookup that signing-request collection also
// uses, and the report document of task 403.
#pragma once

#include <string>
#include <vector>

#include "FabricTable.h"

struct ToolContext;

// The name of product `id`: "Unknown" for an identifier the table lacks.
const char* productName(long id);

// The XML declaration, document type and Switch_Data start of a document
// dated now; `withDoctype` names DTD_LOCATION.
std::string switchDataHead(const std::string& dtdLocation, bool withDoctype);
// "  <Switch ISN=... >\n", the values escaped.
std::string switchElementStart(const SwitchInfo& entry);

// The product line of a switch whose object does not tell its certificate
// state.
inline constexpr char UnknownCertificateProduct[] = "Certificate State Unknown";

// Appends the switch's product lines to `products`: "Valid Certificate" for
// a valid certificate, UnknownCertificateProduct where the object does not
// say, then the licensed products. `count` receives the number of product
// searches made; `certificate` the switch's certificate state (Unknown when
// its object cannot be read). 0, or -1 when the switch or one of its
// products cannot be read.
int getLicensedProducts(ToolContext& context, const SwitchInfo& entry, std::string& products,
                        int& count, CertificateState& certificate);

// The report of every switch of `fabrics` into `document`: 0. `failures`
// receives the number of switches whose products could not be read.
int buildLicenseReport(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                       std::string& document, int& failures);

// Writes `document` to DATA_FILE_NAME: 0, or -1 when it cannot be written.
int writeLicenseReportFile(ToolContext& context, const std::string& document);
