// The fabric road of a task: gather the switch addresses, start fabric
// access in the library, log in to the fabrics, read their tables, then
// collect signing requests, install certificates or write the report.
#pragma once

class FabricTasks {
public:
    virtual ~FabricTasks() = default;
    // One task chosen at the main menu; the fabric sessions stay open for
    // the next. Its status (0 success).
    virtual int runInteractive(int task) = 0;
    // The task of the command line, over all fabrics: the status that ends
    // the process.
    virtual int runBatch(int task) = 0;
};
