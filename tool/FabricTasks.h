// The certificate work of a task, once the fabric tables are read: collect
// signing requests into the data file, install certificates from it, or
// write the licensed-product report.
#pragma once

#include <vector>

#include "FabricTable.h"

struct ToolContext;

class FabricTasks {
public:
    virtual ~FabricTasks() = default;
    // Task `task` (CollectTask, InstallTask, ReportTask) on the fabrics the
    // user chose, the data file in DATA_FILE_NAME: its status (0 success).
    // `fabricNumber` is the number of the first chosen fabric on the
    // fabric chooser (from 1), for the messages.
    virtual int runInteractive(int task, const std::vector<FabricInfo>& fabrics,
                               int fabricNumber) = 0;
    // The task of the command line over all fabrics: the status that ends
    // the process.
    virtual int runBatch(int task, const std::vector<FabricInfo>& fabrics) = 0;
};
