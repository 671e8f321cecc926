#include "MainLoop.h"

#include "FabricTasks.h"
#include "LoginPrompt.h"
#include "StartUp.h"
#include "Status.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;

} // namespace

MainLoop::MainLoop(Console& console, FabricTasks* tasks)
    : console_(console), tasks_(tasks), screens_(console, parameters_.version) {}

int MainLoop::run(int argc, const char* const* argv) {
    try {
        const int status = startUp(argc, argv, parameters_, console_, screens_);
        if (status != 0) {
            if (status != QuitConfirmed) // a quit at a start-up prompt has shown it
                screens_.showExitBanner();
            return status;
        }
        const int result = parameters_.batch() ? runBatch() : runInteractive();
        parameters_.eventLog.close();
        return result;
    } catch (const InterruptedByUser&) {
        parameters_.eventLog.close();
        return 0;
    }
}

int MainLoop::runInteractive() {
    for (;;) {
        const int task = screens_.mainMenu();
        if (task == QuitConfirmed) {
            console_.clearScreen();
            screens_.showExitBanner();
            return 0;
        }
        parameters_.PKI_TASK = task;
        if (tasks_ == nullptr) {
            reportTaskNotAvailable(task);
            continue;
        }
        const int status = tasks_->runInteractive(task);
        if (status != 0)
            parameters_.eventLog.write(1, "ERROR: Zettle; return status=%ld\n",
                                       static_cast<long>(status));
        afterTask(status);
        parameters_.eventLog.write(0, "\n");
    }
}

int MainLoop::runBatch() {
    const int task = parameters_.PKI_TASK;
    if (tasks_ == nullptr) {
        const int status = reportTaskNotAvailable(task);
        screens_.showExitBanner();
        return status;
    }
    const int status = tasks_->runBatch(task);
    if (status != 0) {
        parameters_.eventLog.write(1, "ERROR Exit Zettle; return status=%ld\n",
                                   static_cast<long>(status));
        return status;
    }
    afterTask(status);
    return status;
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

int MainLoop::reportTaskNotAvailable(int task) {
    console_.print("\n\n  The task %s is not available in this version of zettle.\n",
                   taskName(task));
    parameters_.eventLog.write(1, "ERROR: the task %s is not available in this version\n",
                               taskName(task));
    parameters_.eventLog.flush();
    if (parameters_.interactive()) {
        console_.write("\n\n   Press Enter to continue > ");
        console_.readLine(MaxLineLength);
    }
    return TaskNotAvailable;
}
