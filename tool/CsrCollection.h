// Collecting certificate signing requests: each switch of the chosen
// fabrics is asked for its request, and the requests are written as one
// Switch_Data document into the data file.
#pragma once

#include <string>
#include <vector>

#include "CertificateLibrary.h"
#include "FabricTable.h"

struct ToolContext;

// The signing-request document of `fabrics` into `document`: 0 when at
// least one switch gave a request, else -1. `failures` receives the number
// of switches asked that gave none.
int getCsrs(ToolContext& context, const CertificateLibrary& library,
            const std::vector<FabricInfo>& fabrics, std::string& document, int& failures);

// Writes `document` to DATA_FILE_NAME, replacing it: 0, or -1.
int writeCsrFile(ToolContext& context, const std::string& document);
