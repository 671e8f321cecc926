#include "ExitCode.h"

#include "Status.h"

namespace {

struct ExitCodeEntry {
    int status;
    int exitCode;
};

// Tens by step: 1x start-up, 3x fabric access, 4x sessions and tables,
// 5x interactive tasks, 6x and 7x batch tasks (67, 68 and 74: some switch
// of a task failed). The README lists them.
constexpr ExitCodeEntry FailureExitCodes[] = {
    {UsageError, 1},
    {EventLogOpenFailed, 12},
    {NoDataFileName, 13},
    {InitializeFabricAccessFailed, 31},
    {NoFabricsFound, 32},
    {CommandInterfaceFailed, 33},
    {GetFabricIdentitiesFailed, 34},
    {NoSessionOpened, 41},
    {NoFabricObjectRead, 43},
    {CollectNoMemory, 51},
    {InstallNoMemory, 52},
    {ReportNoMemory, 53},
    {BatchCollectNoMemory, 61},
    {BatchCollectWriteFailed, 62},
    {BatchCollectFailed, 63},
    {BatchInstallNoMemory, 64},
    {BatchInstallReadFailed, 65},
    {BatchInstallFailed, 66},
    {BatchReportNoMemory, 71},
    {BatchReportWriteFailed, 72},
    {BatchReportFailed, 73},
    {CollectIncomplete, 67},
    {InstallIncomplete, 68},
    {ReportIncomplete, 74},
};

// Any other failure, and a positive status whose low 8 bits are 0.
constexpr int OtherFailureExitCode = 125;

} // namespace

int exitCodeFor(int status) {
    if (status == 0)
        return 0;
    if (status > 0) {
        const int low = status & 0xFF;
        return low != 0 ? low : OtherFailureExitCode;
    }
    for (const ExitCodeEntry& entry : FailureExitCodes) {
        if (entry.status == status)
            return entry.exitCode;
    }
    return OtherFailureExitCode;
}
