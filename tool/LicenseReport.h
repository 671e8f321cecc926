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

// Appends the switch's product lines to `products`. `count` receives the
// number of product searches made; `validCertificate` is set (never
// cleared) when the switch reports a valid certificate. 0, or -1 when the
// switch or one of its products cannot be read.
int getLicensedProducts(ToolContext& context, const SwitchInfo& entry, std::string& products,
                        int& count, bool& validCertificate);

// The report of every switch of `fabrics` into `document`: 0.
int buildLicenseReport(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                       std::string& document);

// Writes `document` to DATA_FILE_NAME: 0, or -1 when it cannot be written.
int writeLicenseReportFile(ToolContext& context, const std::string& document);
