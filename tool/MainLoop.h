// zettle's road: start-up; then gather the switch addresses, start fabric
// access, log in to the fabrics and read their tables, and run a task: in
// batch mode the task of the command line once, in interactive mode the
// tasks of the main menu until the user quits, the fabric sessions kept
// open between tasks.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CertificateLibrary.h"
#include "FabricAccess.h"
#include "FabricTable.h"
#include "Screens.h"
#include "SystemParameters.h"
#include "ToolContext.h"

class CommandChannel;
class Console;
class FabricTasks;

class MainLoop {
public:
    // The certificate tasks run with `library`'s certificate commands.
    MainLoop(Console& console, CommandChannel& channel, CertificateLibrary library);
    // The tasks are `tasks`' (for tests).
    MainLoop(Console& console, CommandChannel& channel, FabricTasks* tasks);
    ~MainLoop();

    // Runs zettle with its command line: the status it ends with.
    int run(int argc, const char* const* argv);

    // The configuration record (for tests).
    SystemParameters& parameters() { return parameters_; }

private:
    int loop();
    // The connected-fabrics screen: true to keep the fabrics; nothing when
    // the input ended.
    int askKeepFabrics();
    void forgetFabrics();
    // The interactive task of PKI_TASK: its status, or BackToMenu.
    int runInteractiveTask();
    // Asks for the data file until one is accepted: false to go back to the
    // menu.
    bool chooseDataFile(int task);
    // A y/n question asked again on an unknown answer: 'y', 'n', or 0 when
    // the input ended.
    int askYesNo(const char* question);
    int runBatchTask();
    void afterTask(int status);

    Console& console_;
    SystemParameters parameters_;
    Screens screens_;
    ToolContext context_;
    FabricAccess access_;
    FabricTasks* tasks_;
    std::unique_ptr<FabricTasks> ownTasks_;

    bool connected_ = false;
    std::string addressList_;
    std::vector<std::string> identities_;
    int fabricCount_ = 0;
    std::vector<FabricInfo> fabrics_;
};
