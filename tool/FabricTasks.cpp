#include "FabricTasks.h"

#include "Status.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;

} // namespace

int TasksNotBuilt::runInteractive(int task, const std::vector<FabricInfo>&) {
    return report(task);
}

int TasksNotBuilt::runBatch(int task, const std::vector<FabricInfo>&) { return report(task); }

int TasksNotBuilt::report(int task) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    console.print("\n\n  The task %s is not available in this version of zettle.\n",
                  taskName(task));
    parameters.eventLog.write(1, "ERROR: the task %s is not available in this version\n",
                              taskName(task));
    parameters.eventLog.flush();
    if (parameters.interactive()) {
        console.write("\n\n   Press Enter to continue > ");
        console.readLine(MaxLineLength);
    }
    return TaskNotAvailable;
}
