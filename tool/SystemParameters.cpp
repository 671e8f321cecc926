#include "SystemParameters.h"

const char* taskName(int task) {
    switch (task) {
    case CollectTask:
        return "Get-CSRs";
    case InstallTask:
        return "Load-Certs";
    case ReportTask:
        return "D0-Lic-Rpt";
    default:
        return " ";
    }
}
