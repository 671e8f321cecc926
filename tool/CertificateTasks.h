// The certificate tasks of zettle: collect signing requests (401), install
// certificates (402), write the licensed-product report (403), each on the
// chosen fabrics and the data file DATA_FILE_NAME.
#pragma once

#include "CertificateLibrary.h"
#include "FabricTasks.h"

class CertificateTasks : public FabricTasks {
public:
    CertificateTasks(ToolContext& context, CertificateLibrary library)
        : context_(context), library_(library) {}
    int runInteractive(int task, const std::vector<FabricInfo>& fabrics,
                       int fabricNumber) override;
    int runBatch(int task, const std::vector<FabricInfo>& fabrics) override;

private:
    ToolContext& context_;
    CertificateLibrary library_;
};
