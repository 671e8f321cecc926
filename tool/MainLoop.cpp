#include "MainLoop.h"

#include <cstdio>
#include <new>
#include <sys/stat.h>

#include "CertificateTasks.h"
#include "FabricTasks.h"
#include "LoginPrompt.h"
#include "StartUp.h"
#include "Status.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;
constexpr int MinDataFileNameLength = 2;
constexpr std::size_t FewFabrics = 9; // fewer fabrics than this are shown spaced out

// runInteractiveTask's result when the user went back to the menu: no task
// ran, nothing is logged.
constexpr int BackToMenu = ShowAgain;

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool fileReadable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

} // namespace

MainLoop::MainLoop(Console& console, CommandChannel& channel, FabricTasks* tasks)
    : console_(console), screens_(console, parameters_.version),
      context_{parameters_, console, channel}, access_(context_, screens_), tasks_(tasks) {}

MainLoop::MainLoop(Console& console, CommandChannel& channel, CertificateLibrary library)
    : MainLoop(console, channel, static_cast<FabricTasks*>(nullptr)) {
    ownTasks_ = std::make_unique<CertificateTasks>(context_, library);
    tasks_ = ownTasks_.get();
}

MainLoop::~MainLoop() = default;

int MainLoop::run(int argc, const char* const* argv) {
    try {
        const int status = startUp(argc, argv, parameters_, console_, screens_);
        if (status != 0) {
            if (status != QuitConfirmed) // a quit at a start-up prompt has shown it
                screens_.showExitBanner();
            return status;
        }
        const int result = loop();
        parameters_.eventLog.close();
        return result;
    } catch (const InterruptedByUser&) {
        parameters_.eventLog.close();
        return 0;
    }
}

int MainLoop::loop() {
    const bool interactive = parameters_.interactive();
    EventLog& log = parameters_.eventLog;
    for (;;) {
        if (interactive) {
            const int task = screens_.mainMenu();
            if (task == QuitConfirmed) {
                console_.clearScreen();
                screens_.showExitBanner();
                return 0;
            }
            parameters_.PKI_TASK = task;
            if (connected_) {
                const int keep = askKeepFabrics();
                if (keep == 0) // the input ended: the menu sees it and quits
                    continue;
                if (keep == 'n')
                    forgetFabrics();
            }
        }

        if (!connected_) {
            int status = access_.getSwitchAddresses(addressList_);
            if (status == QuitConfirmed)
                return QuitConfirmed;
            if (status != 0) {
                console_.write("No valid fabric addresses were provided\n\n");
                continue;
            }
            status = access_.initFabricAccess(addressList_, identities_, fabricCount_);
            if (status != 0) {
                if (status != NoFabricsFound) {
                    log.write(1, "No valid switch address given (%ld)\n",
                              static_cast<long>(status));
                    if (interactive)
                        console_.print("\n  No valid switch address given (%d). \n", status);
                }
                // Batch mode has nobody to try again: it ends with the status.
                if (!interactive) {
                    log.write(1, "ERROR: fabric connect failure; return status=%ld;  Exit Zettle\n",
                              static_cast<long>(status));
                    return status;
                }
                if (status == NoFabricsFound) {
                    addressList_.clear();
                    identities_.clear();
                }
                console_.write("\n\n   Press Enter to continue > ");
                console_.readLine(MaxLineLength);
                continue;
            }
            if (interactive)
                console_.write("\n  Connecting to Fabric(s) ...  ");
            status = access_.openFabricSessions(identities_, fabrics_);
            if (status != 0) {
                if (!interactive) {
                    log.write(1, "ERROR: fabric connect failure; return status=%ld;  Exit Zettle\n",
                              static_cast<long>(status));
                    return status;
                }
                continue;
            }
            connected_ = true;
        }

        int status = 0;
        if (interactive) {
            status = runInteractiveTask();
            if (status == BackToMenu)
                continue;
            if (status != 0)
                log.write(1, "ERROR: Zettle; return status=%ld\n", static_cast<long>(status));
        } else {
            status = runBatchTask();
            if (status != 0) {
                log.write(1, "ERROR Exit Zettle; return status=%ld\n", static_cast<long>(status));
                return status;
            }
        }
        afterTask(status);
        if (!interactive)
            return status;
        log.write(0, "\n");
    }
}

int MainLoop::askKeepFabrics() {
    const char* version = parameters_.version.c_str();
    const char* p = fabrics_.size() < FewFabrics ? "\n" : "";
    for (;;) {
        console_.clearScreen();
        console_.print("\n%s           PKI CERTIFICATE INSTALLATION UTILITY %s  %s\n", p, version, p);
        console_.print("\n%s           Currently Connected Fabrics %s\n\n", p, p);
        console_.write("   Fabric   World Wide Name         # Switches  Principal  \n"
                       "   ------  -----------------------  ----------  -----------\n");
        for (const FabricInfo& fabric : fabrics_)
            console_.print("     *    %16s      %2ld      %-11s \n", fabric.wwn.c_str(),
                           static_cast<long>(fabric.numSwitches), principalText(fabric).c_str());
        console_.write("   --------------------------------------------------------\n");
        console_.print("%s          Use Currently Connected Fabrics? \n\n", p);
        console_.write("     y)   Yes, continue with current fabric(s) \n");
        console_.print("     n)   No, input different fabric address(es) %s\n", p);
        console_.write("\n     enter your choice> ");
        const int choice = screens_.readChoice("yn", 0, 0);
        if (choice == 'y' || choice == 'n')
            return choice;
        if (choice == QuitConfirmed)
            return 0;
    }
}

void MainLoop::forgetFabrics() {
    access_.closeFabricSessions();
    connected_ = false;
    identities_.clear();
    fabrics_.clear();
    fabricCount_ = 0;
    parameters_.USER_LOGIN.clear();
    parameters_.PASSWORD.clear();
}

bool MainLoop::chooseDataFile(int task) {
    for (;;) {
        std::string name = parameters_.DATA_FILE_NAME;
        if (screens_.promptFileName(task, name) < MinDataFileNameLength) {
            console_.write("\n   Sorry, a valid data file name is required to proceed\n\n"
                           "   Press Enter to continue (or 'r' to return to main menu)> ");
            const auto answer = console_.readLine(MaxLineLength);
            if (!answer || (!answer->empty() && ((*answer)[0] == 'r' || (*answer)[0] == 'R')))
                return false;
            continue;
        }
        if (task == InstallTask) {
            if (!fileReadable(name)) {
                console_.print("\n  **** ERROR, file, \"%s\", was not found ****\n\n", name.c_str());
                console_.write("  Press Enter to continue > ");
                if (!console_.readLine(MaxLineLength))
                    return false;
                continue;
            }
        } else if (fileExists(name)) {
            console_.print("\n  **** WARNING, file, \"%s\", already exists!! ****\n\n",
                           name.c_str());
            const int overwrite = askYesNo("  Do you want to overwrite it (y/n)? > ");
            if (overwrite == 0)
                return false;
            if (overwrite == 'n')
                continue;
        }
        parameters_.DATA_FILE_NAME = name;
        return true;
    }
}

int MainLoop::askYesNo(const char* question) {
    for (;;) {
        console_.write(question);
        const int choice = screens_.readChoice("yYnN", 0, 0);
        if (choice == 'y' || choice == 'Y')
            return 'y';
        if (choice == 'n' || choice == 'N')
            return 'n';
        if (choice == QuitConfirmed)
            return 0;
    }
}

int MainLoop::runInteractiveTask() {
    const int task = parameters_.PKI_TASK;
    if (!chooseDataFile(task))
        return BackToMenu;
    if (task == CollectTask) {
        const int licensed = askYesNo("\n   Include (optional) licensed product data (y/n)? > ");
        if (licensed == 0)
            return BackToMenu;
        parameters_.CSR_LIC_RPT_ON = licensed == 'y' ? 1 : 0;
        const int always =
            askYesNo("\n   Get CSRs even from switches with certificates (y/n)? > ");
        if (always == 0)
            return BackToMenu;
        parameters_.CSR_GET_ALWAYS = always == 'y' ? 1 : 0;
    }
    const int choice = screens_.chooseFabric(fabrics_);
    if (choice == 'r')
        return BackToMenu;
    std::vector<FabricInfo> chosen;
    int fabricNumber = 1; // all fabrics start from the first
    if (choice == 'a') {
        chosen = fabrics_;
    } else {
        chosen.push_back(fabrics_.at(static_cast<std::size_t>(choice - 1)));
        fabricNumber = choice;
    }
    try {
        return tasks_->runInteractive(task, chosen, fabricNumber);
    } catch (const std::bad_alloc&) {
        parameters_.eventLog.write(1, "ERROR: can't allocate sufficient memory\n");
        return task == CollectTask ? CollectNoMemory
               : task == InstallTask ? InstallNoMemory
                                     : ReportNoMemory;
    }
}

int MainLoop::runBatchTask() {
    const int task = parameters_.PKI_TASK;
    try {
        return tasks_->runBatch(task, fabrics_);
    } catch (const std::bad_alloc&) {
        parameters_.eventLog.write(1, "ERROR: can't allocate sufficient memory\n");
        return task == CollectTask ? BatchCollectNoMemory
               : task == InstallTask ? BatchInstallNoMemory
                                     : BatchReportNoMemory;
    }
}

void MainLoop::afterTask(int status) {
    if (parameters_.logLevel >= 2)
        console_.print("\n\n\n\n\n               Exit PKI Certificate Installation Utility "
                       "%s\n\n  return status=%ld \n\n\n",
                       parameters_.version.c_str(), static_cast<long>(status));
    if (status == 0)
        parameters_.eventLog.write(0, "SUCCESS:  \n");
    parameters_.eventLog.flush();
}
