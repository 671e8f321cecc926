#include "CommandLine.h"

#include <cstring>
#include <string_view>

#include "DecimalPrefix.h"
#include "Status.h"
#include "console.h"

namespace {

constexpr char UsageText[] =
    "\nUsage:\n  zettle [-gil] [-a addressFile | -A 1-address] [-d dataFile]\n"
    "\t [-e logFile] [-L #(log info level)] [-u userName -p password]\n\n";

// Values of file, address, user and request options may not begin with one
// of these.
constexpr std::string_view RefusedFirstCharacters = "-!@#$%^&*()-=+{[}[:;',<.>?";
constexpr std::string_view LogLevelDigits = "01234";
constexpr std::size_t MinPasswordLength = 6;

bool refusedValue(const char* value) {
    return value[0] != '\0' && RefusedFirstCharacters.find(value[0]) != std::string_view::npos;
}

} // namespace

std::int16_t parseCommandLine(int argc, const char* const* argv, SystemParameters& parameters,
                              Console& console) {
    bool addressGiven = false;
    bool usageError = false;
    for (int i = 1; i < argc && !usageError; ++i) {
        const char* argument = argv[i];
        if (argument[0] != '-' || argument[1] < 'A' || argument[1] > 'u') {
            usageError = true;
            break;
        }
        const char option = argument[1];
        switch (option) {
        case 'g':
            parameters.PKI_TASK = CollectTask;
            continue;
        case 'G':
            parameters.PKI_TASK = CollectTask;
            parameters.CSR_GET_ALWAYS = 1;
            continue;
        case 'i':
            parameters.PKI_TASK = InstallTask;
            continue;
        case 'l':
            parameters.PKI_TASK = ReportTask;
            continue;
        case 'h':
        case 'H':
            parameters.PKI_TASK = HelpTask;
            return 0;
        case 'a':
        case 'A':
        case 'd':
        case 'e':
        case 'L':
        case 'u':
        case 'p':
        case 'r':
            break;
        default:
            usageError = true;
            continue;
        }
        // An option with a value.
        if (i + 1 >= argc) {
            usageError = true;
            break;
        }
        const char* value = argv[++i];
        switch (option) {
        case 'a':
        case 'A':
            // One address source only: a second -a or -A is refused.
            if (addressGiven || refusedValue(value)) {
                usageError = true;
                break;
            }
            addressGiven = true;
            (option == 'a' ? parameters.FAB_ADDR_FILE_NAME : parameters.SWITCH_ADDRESS) = value;
            break;
        case 'L':
            if (value[0] == '\0' || LogLevelDigits.find(value[0]) == std::string_view::npos) {
                usageError = true;
                break;
            }
            parameters.logLevel = decimalPrefix16(value);
            break;
        case 'p':
            if (std::strlen(value) < MinPasswordLength) {
                usageError = true;
                break;
            }
            parameters.PASSWORD = value;
            break;
        default:
            if (refusedValue(value)) {
                usageError = true;
                break;
            }
            std::string& field = option == 'd'   ? parameters.DATA_FILE_NAME
                                 : option == 'e' ? parameters.LOG_FILE_NAME
                                 : option == 'u' ? parameters.USER_LOGIN
                                                 : parameters.MFG_REQUEST_ID;
            field = value;
            break;
        }
    }
    if (usageError) {
        console.write(UsageText);
        return UsageError;
    }
    return parameters.PKI_TASK > NoTask ? BatchMode : InteractiveMode;
}
