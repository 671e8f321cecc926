// SystemParameters: zettle's one configuration record, filled by start-up
// from its defaults, the command line and the configuration file, and read
// by every later step. A text field that is empty is unset.
#pragma once

#include <cstdint>
#include <string>

#include "EventLog.h"

// PKI_TASK codes.
inline constexpr int NoTask = 400;
inline constexpr int CollectTask = 401; // collect signing requests
inline constexpr int InstallTask = 402; // install certificates
inline constexpr int ReportTask = 403;  // licensed-product report
inline constexpr int HelpTask = 405;

// Operations modes.
inline constexpr std::int16_t InteractiveMode = 301;
inline constexpr std::int16_t BatchMode = 302;

// The name the log echo prints for a task code: a blank for none.
const char* taskName(int task);

struct SystemParameters {
    std::string version = "pki_v1.0.5";
    std::string CA_SERVER_NAME;
    std::string LOG_FILE_NAME;
    std::string USER_LOGIN;
    std::string PASSWORD;
    std::string DATA_FILE_NAME;
    std::string FAB_ADDR_FILE_NAME;
    std::string SWITCH_ADDRESS;
    std::string MFG_REQUEST_ID;
    std::string REQUESTOR;
    std::string DTD_LOCATION;
    std::int32_t MAX_N_SWITCHES = 10;
    std::int32_t PKI_TASK = NoTask;
    std::int32_t CA_PORT = 0;
    std::int32_t CONN_TIMEOUT = 4;
    std::int32_t CSR_LIC_RPT_ON = 1;
    std::int32_t CSR_GET_ALWAYS = 0;
    std::int32_t NUM_RETRY = 3;
    std::int32_t RECV_TIMEOUT = 8;
    std::int32_t RETRY_WAIT = 2;
    std::int16_t operationsMode = 0;
    std::int16_t logLevel = 2;
    EventLog eventLog;

    bool interactive() const { return operationsMode == InteractiveMode; }
    bool batch() const { return operationsMode == BatchMode; }
};
