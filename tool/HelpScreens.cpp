#include "HelpScreens.h"

#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;

constexpr char CertificateSteps[] =
    "\n\n            HELP USING ZETTLE TO GET & INSTALL CERTIFICATES\n\n"
    "   Zettle works only with switches whose Merrowix version supports the\n"
    "   switch security feature (versions such as 2.6, 3.1, 4.1 and later).\n\n"
    "   1)  Use Zettle to get the certificate signing requests (CSRs) of the\n"
    "       switches. They are written to an XML data file, one request per\n"
    "       switch, each identified by the switch's WWN.\n\n"
    "   2)  Upload that data file to the certificate web service. It mails\n"
    "       back a data file, in XML, that holds one certificate per switch.\n\n"
    "   3)  Use Zettle to install the certificates: give it the name of the\n"
    "       data file that holds them.\n";

constexpr const char* CommandLinePages[] = {
    "\n            HELP WITH COMMAND LINE USEAGE OF PKI CERTIFICATE"
    " UTILITY\n\n"
    "\n zettle [-gGil] [-e log-file] [-d data-file] [-a addr-file]"
    " [-A switch-addr]\n       [-L log-level] [-u user-login"
    " -p password]\n\n"
    " Task Options:\n"
    "           -g   Get CSRs & generate a CSR data file\n"
    "           -G   Get CSRs (even from switches with certificates)\n"
    "           -i   Install Certificates from a data file\n"
    "           -l   Licensed Product report compile & generate\n\n"
    " If none of the above \"task\" options is given, Zettle will"
    " operate in\n \"Interactive\" rather than \"Batch\" mode.\n"
    "\n Other Options:\n\n"
    " Log-file: -e (events/errors log)\n"
    "    Path/file-name of log file"
    " created and written to (or if it already\n"
    "    exists, appended to) with event/error data\n",

    "\n Data-file: -d \n"
    "    Path/file-name of input or output file\n"
    "    *  If the task is \"Get-CSRs\" or \"License Rpt\","
    " the file is an\n       output file created"
    " and written to with CSR or License report data.\n"
    "    *  If the task is \"Install"
    " Certificates\", data is read from it.\n"
    "\n Address-file: -a \n"
    "    Path/file-name of optional input file"
    " containing IP addresses \n"
    "    or aliases of fabrics to which"
    " sessions should be established.\n"
    "    If this argument is not provided,"
    " this data is read from\n"
    "    the file indicated by environment"
    " variable 'FABRIC_CONFIG_FILE'.\n"
    "\n Address-Switch-IP: -A \n"
    "   IP address of switch/fabric with which to"
    " connect for the given task.\n"
    "\n Log-Level: -L \n"
    "   Level of information to write to the event log file: \n"
    "   0 = Silent, 1 = Errors, 2 = Events + Errors, 3 = Debug-"
    "info + Events + ...\n",

    "\n User Login: -u \n"
    "   User name or account login for switch given with -A option"
    " or for use\n   as default for all switches given.\n"
    "\n Password: -p \n"
    "   Password must accompany \"-u UserLogin\" if provided.  It"
    " must be more\n   than 5 characters.\n"
    "\n              -----  END Of HELP With Batch Usage  -----\n\n",
};

} // namespace

void showCertificateHelp(Console& console) {
    console.clearScreen();
    console.write(CertificateSteps);
    console.write("\n   Some options may be given on the command line such as \"Log"
                  "-Level.\" \n"
                  "\n   Read help for Batch/Command-line mode usage (y/n)? >");
    const auto answer = console.readLine(MaxLineLength);
    if (answer && !answer->empty() && (*answer)[0] == 'y')
        showCommandLineHelp(console);
    console.clearScreen();
}

void showCommandLineHelp(Console& console) {
    for (const char* page : CommandLinePages) {
        console.clearScreen();
        console.write(page);
        console.write("\n     <Press Enter to Continue> ");
        console.readLine(MaxLineLength);
    }
    console.clearScreen();
}
