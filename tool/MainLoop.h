// zettle's road: start-up, then in batch mode the task of the command line,
// in interactive mode the main menu until the user quits.
#pragma once

#include "Screens.h"
#include "SystemParameters.h"

class Console;
class FabricTasks;

class MainLoop {
public:
    // Without `tasks` (no fabric access) a task is reported as not available.
    MainLoop(Console& console, FabricTasks* tasks);

    // Runs zettle with its command line: the status it ends with.
    int run(int argc, const char* const* argv);

private:
    int runInteractive();
    int runBatch();
    void afterTask(int status);
    int reportTaskNotAvailable(int task);

    Console& console_;
    FabricTasks* tasks_;
    SystemParameters parameters_;
    Screens screens_;
};
