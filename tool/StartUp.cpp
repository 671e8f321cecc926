#include "StartUp.h"

#include <cstdlib>
#include <ctime>

#include "CommandLine.h"
#include "ConfigFile.h"
#include "HelpScreens.h"
#include "Screens.h"
#include "Status.h"
#include "console.h"

namespace {

constexpr char DefaultConfigFile[] = "zettle.config";
constexpr char DefaultEventLog[] = "pki_events.log";
constexpr char DefaultDtdLocation[] = "./switch_data.dtd";
constexpr char MaskedPassword[] = "********";
constexpr std::size_t MinLogFileNameLength = 3;
constexpr std::size_t MaxLineLength = 127;

std::string localTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d.%H:%M:%S", &local);
    return text;
}

// Asks for the log file's name until one of at least 3 characters is
// given: 0, or QuitConfirmed.
int askEventLogName(SystemParameters& parameters, Console& console, Screens& screens) {
    parameters.LOG_FILE_NAME = DefaultEventLog;
    while (screens.promptFileName(EventLogFileKind, parameters.LOG_FILE_NAME) <
           static_cast<int>(MinLogFileNameLength)) {
        console.write("\n\n  Sorry, a valid event log file name is required to"
                      " proceed.\n\n  Press 'Enter' to try again (or 'q' to quit)> ");
        const auto answer = console.readLine(MaxLineLength);
        if (!answer || (!answer->empty() && ((*answer)[0] == 'q' || (*answer)[0] == 'Q'))) {
            console.clearScreen();
            screens.showExitBanner();
            return QuitConfirmed;
        }
    }
    return 0;
}

void writeParameterEcho(SystemParameters& p) {
    EventLog& log = p.eventLog;
    const auto whenSet = [&log](const char* format, const std::string& value) {
        if (!value.empty())
            log.write(3, format, value.c_str());
    };
    log.write(3, "\n\n Configuration Parameters:\n");
    log.write(3, "  PKI_TASK           =  %s (%d)\n", taskName(p.PKI_TASK), p.PKI_TASK);
    whenSet("  USER_LOGIN      =  %s\n", p.USER_LOGIN);
    if (!p.PASSWORD.empty())
        log.write(3, "  PASSWORD      =  %s\n", MaskedPassword);
    whenSet("  LOG_FILE_NAME      =  %s\n", p.LOG_FILE_NAME);
    whenSet("  DATA_FILE_NAME     =  %s\n", p.DATA_FILE_NAME);
    whenSet("  SWITCH_ADDRESS     =  %s\n", p.SWITCH_ADDRESS);
    whenSet("  FAB_ADDR_FILE_NAME =  %s\n", p.FAB_ADDR_FILE_NAME);
    if (p.batch()) {
        whenSet("  CA_SERVER_NAME     =  %s\n", p.CA_SERVER_NAME);
        log.write(3, "  CA_PORT            =  %d\n", p.CA_PORT);
    }
    whenSet("  MFG_REQUEST_ID     =  %s\n", p.MFG_REQUEST_ID);
    whenSet("  REQUESTOR          =  %s\n", p.REQUESTOR);
    whenSet("  DTD_LOCATION       =  %s\n", p.DTD_LOCATION);
    log.write(3, "  CSR_LIC_RPT_ON     =  %d\n", p.CSR_LIC_RPT_ON);
    log.write(3, "  CSR_GET_ALWAYS     =  %d\n\n", p.CSR_GET_ALWAYS);
    log.write(3, "  RETRY_WAIT     =  %d\n\n", p.RETRY_WAIT);
    log.write(3, "  NUM_RETRY     =  %d\n\n", p.NUM_RETRY);
    log.write(3, "  CONN_TIMEOUT     =  %d\n\n", p.CONN_TIMEOUT);
    log.write(3, "  RECV_TIMEOUT     =  %d\n\n", p.RECV_TIMEOUT);
    log.write(3, "  LogLevel     =  %d\n\n", p.logLevel);
    log.flush();
}

} // namespace

std::string configFilePath() {
    const char* named = std::getenv("ZETTLE_CONFIG_FILE");
    return named != nullptr && named[0] != '\0' ? named : DefaultConfigFile;
}

int openEventLog(SystemParameters& parameters, Console& console, Screens& screens) {
    if (parameters.batch()) {
        if (parameters.LOG_FILE_NAME.empty())
            parameters.LOG_FILE_NAME = DefaultEventLog;
    } else if (parameters.LOG_FILE_NAME.size() < MinLogFileNameLength) {
        if (askEventLogName(parameters, console, screens) != 0)
            return QuitConfirmed;
    }
    EventLog& log = parameters.eventLog;
    if (!log.open(parameters.LOG_FILE_NAME, parameters.logLevel))
        return EventLogOpenFailed;
    log.write(0, "\n==== PKI Certificate Utility [%s] ==== %s ====\n", parameters.version.c_str(),
              localTimeText().c_str());
    log.flush();
    log.write(1, "Log-Level set to %d (0 = Silent, 1 = Errors, 2 = Events, 3 = Debug)\n",
              parameters.logLevel);
    writeParameterEcho(parameters);
    return 0;
}

int startUp(int argc, const char* const* argv, SystemParameters& parameters, Console& console,
            Screens& screens) {
    parameters.operationsMode = parseCommandLine(argc, argv, parameters, console);
    if (parameters.operationsMode < 0)
        return parameters.operationsMode;

    // The result is not checked: a missing file, or one with an error,
    // leaves the keys read so far applied.
    const std::string configFile = configFilePath();
    parseConfigFile(configFile, parameters, console);

    if (parameters.PKI_TASK == HelpTask) {
        showCommandLineHelp(console);
        return HelpShown;
    }
    if (parameters.DTD_LOCATION.empty())
        parameters.DTD_LOCATION = DefaultDtdLocation;

    const int logStatus = openEventLog(parameters, console, screens);
    if (logStatus != 0) {
        if (logStatus == EventLogOpenFailed && parameters.interactive())
            console.print("Error opening log file: name=%s\n", parameters.LOG_FILE_NAME.c_str());
        return logStatus;
    }
    EventLog& log = parameters.eventLog;
    if (parameters.batch()) {
        log.write(0, "Operations Mode is BATCH \n");
        switch (parameters.PKI_TASK) {
        case CollectTask:
            log.write(0, "The task is to GET CSRS\n");
            break;
        case InstallTask:
            log.write(0, "The task is to LOAD CERTIFICATES\n");
            break;
        case ReportTask:
            log.write(0, "The task is to DO LICENSE REPORT\n");
            break;
        default:
            break;
        }
        log.flush();
        if (parameters.DATA_FILE_NAME.empty()) {
            log.write(1, "ERROR: No switch Data file name was provided\n");
            log.flush();
            return NoDataFileName;
        }
    }
    log.write(3, "Config file name: \"%s\" \n", configFile.c_str());
    log.flush();
    return 0;
}
