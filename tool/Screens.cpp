#include "Screens.h"

#include "AddressList.h"
#include "DecimalPrefix.h"
#include "HelpScreens.h"
#include "Status.h"
#include "SystemParameters.h"
#include "console.h"

namespace {

constexpr std::size_t MaxChoiceLength = 127;
constexpr std::size_t MaxLineLength = 127;

constexpr char DataFileNote[] = "       ______________________________________________________\n"
                                "       | Note:                                              |\n"
                                "       |   * The named file will be created                 |\n"
                                "       |   * The file-name may include a directory path     |\n"
                                "       |     that must already exist.                       |\n"
                                "       |   * An extension of '.xml' will be appended to     |\n"
                                "       |     the file name if not already present.          |\n"
                                "       |   * If the file already exists, it will be         |\n"
                                "       |     overwritten.                                   |\n"
                                "        ---------------------------------------------------- \n";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isControl(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}
bool endsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}
std::string_view trimBlanksAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

Screens::Screens(Console& console, const std::string& version)
    : console_(console), version_(version) {}

int Screens::readChoice(std::string_view letters, int low, int high) {
    const auto line = console_.readLine(MaxChoiceLength);
    if (!line)
        return QuitConfirmed;
    if (!line->empty() && isDigit((*line)[0])) {
        const int number = decimalPrefix(*line);
        if (number >= low && number <= high)
            return number;
        return unknownChoice(std::to_string(number));
    }
    const char choice = line->empty() || isControl((*line)[0]) ? ' ' : (*line)[0];
    if (letters.find(choice) == std::string_view::npos)
        return unknownChoice(std::string(1, choice));
    if (choice != 'q' && choice != 'Q')
        return static_cast<unsigned char>(choice);
    console_.clearScreen();
    console_.write("\n\n\n\n     QUIT? (y/n) ");
    const auto answer = console_.readLine(MaxChoiceLength);
    if (!answer || (!answer->empty() && ((*answer)[0] == 'y' || (*answer)[0] == 'Y')))
        return QuitConfirmed;
    return ShowAgain;
}

int Screens::unknownChoice(const std::string& choice) {
    console_.clearScreen();
    console_.print("\n\n\n\n      Unknown choice [%s] \n\n", choice.c_str());
    console_.write("\n  Press Enter to Continue.\n");
    console_.readLine(MaxLineLength);
    return ShowAgain;
}

int Screens::mainMenu() {
    for (;;) {
        console_.clearScreen();
        console_.print("\n\n\n                  PKI CERTIFICATE INSTALLATION UTILITY %s\n\n",
                       version_.c_str());
        console_.write("                                 FUNCTIONS \n"
                       "\n"
                       "\n   1)   Retrieve CSRs from switches & write a CSR file \n"
                       "\n   2)   Install Certificates contained in a Certificate"
                       " file \n"
                       "\n   3)   Generate a Licensed-Product/Installed-"
                       "Certificates report \n"
                       "\n   4)   Help using Zettle to get & install certificates\n"
                       "\n   q)   Quit PKI Certificate installation utility \n"
                       "\n   Enter choice> ");
        const int choice = readChoice("qQ", 1, 4);
        if (choice == QuitConfirmed)
            return QuitConfirmed;
        if (choice >= 1 && choice <= 3)
            return NoTask + choice;
        if (choice == 4)
            showCertificateHelp(console_);
    }
}

int Screens::chooseAddressMethod() {
    for (;;) {
        console_.clearScreen();
        console_.print("\n\n               PKI CERTIFICATE INSTALLATION UTILITY %s\n\n\n",
                       version_.c_str());
        console_.write("            Choose a method for providing fabric addresses\n\n"
                       "\n    1)   Manually enter fabric address \n"
                       "\n    2)   Read addresses from a file (name to be given) \n"
                       "\n    r)   Return to Main menu \n"
                       "\n    Enter choice> ");
        switch (readChoice("rR", 1, 2)) {
        case 'r':
        case 'R':
            return ShowAgain;
        case 1:
            return ManualAddresses;
        case 2:
            return AddressFile;
        case QuitConfirmed: // only at end of input: "q" is no choice here
            return QuitConfirmed;
        default:
            break;
        }
    }
}

int Screens::chooseFabric(const std::vector<FabricInfo>& fabrics) {
    const int count = static_cast<int>(fabrics.size());
    const char* p = count < 9 ? "\n" : "";
    int choice = ShowAgain;
    while (choice == ShowAgain) {
        console_.clearScreen();
        console_.print("\n%s           PKI CERTIFICATE INSTALLATION UTILITY %s  %s\n", p,
                       version_.c_str(), p);
        console_.print("\n%s      Choose a Fabric On Which to Operate %s\n\n", p, p);
        console_.write("   Fabric   World Wide Name         # Switches  Principal  \n"
                       "   ------  -----------------------  ----------  -----------\n");
        for (int i = 0; i < count; ++i) {
            const FabricInfo& fabric = fabrics[static_cast<std::size_t>(i)];
            console_.print("    %2d)    %16s      %2d      %-11s %s\n", i + 1, fabric.wwn.c_str(),
                           fabric.numSwitches, principalText(fabric).c_str(), p);
        }
        console_.print("%s     a)    All Fabrics %s\n", p, p);
        console_.print("     r)    Return to Functions menu %s\n", p);
        console_.write("\n     enter your choice> ");
        choice = readChoice("ra", 1, count);
    }
    // "q" is no choice here: a quit can only be the end of input.
    return choice == QuitConfirmed ? 'r' : choice;
}

void Screens::showFileNameScreen(int kind) {
    const char* version = version_.c_str();
    switch (kind) {
    case CollectTask:
        console_.print("\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n", version);
        console_.write("                 GET CERTIFICATE SIGNING REQUESTS \n\n"
                       "    You must enter the file-name of the CSR output file to create.\n");
        console_.write(DataFileNote);
        break;
    case InstallTask:
        console_.print("\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY %s\n\n\n", version);
        console_.write("                       LOAD CERTIFICATES \n\n\n\n"
                       "      Enter the file-name of the Certificates input file. \n\n");
        break;
    case ReportTask:
        console_.print("\n\n\n           PKI CERTIFICATE INSTALLATION UTILITY %s\n\n", version);
        console_.write("                CREATE REPORT ON LICENSED PRODUCTS \n\n\n\n"
                       "    You must enter the file-name of the Report file to write.\n");
        console_.write(DataFileNote);
        break;
    case EventLogFileKind:
        console_.print("\n\n\n            PKI CERTIFICATE INSTALLATION UTILITY %s\n\n\n", version);
        console_.write("   All events and errors will be recorded in an event/error log file.\n"
                       "   If the file already exists, new event/error information will be\n"
                       "   appended to it.\n\n"
                       "   Enter a log file name [or just press Enter to accept the default].\n\n");
        break;
    case AddressFileKind:
        console_.write("\n\n\n\n\n Enter the file-name of the Fabric Address file.\n");
        break;
    default:
        console_.write("\n\n\n\n\n Enter the file-name of the file.\n");
        break;
    }
}

int Screens::promptFileName(int kind, std::string& name) {
    for (;;) {
        console_.clearScreen();
        showFileNameScreen(kind);
        if (name.size() > 1)
            console_.print("\n   [%s] => ", name.c_str());
        else
            console_.write("\n   File Name ===> ");
        const auto line = console_.readLine(MaxLineLength);
        if (!line)
            return 0;
        if (line->empty())
            return static_cast<int>(name.size());
        // A data file may have a name of one or two characters: it becomes a
        // name like any other, never the default kept. For the log and the
        // address file the caller refuses such an answer and asks again.
        const bool taskFile = kind == CollectTask || kind == InstallTask || kind == ReportTask;
        if (!taskFile && line->size() <= 2)
            return static_cast<int>(line->size());

        std::string candidate = *line;
        const bool dataFile = kind == CollectTask || kind == ReportTask;
        if (dataFile ? !endsWith(candidate, ".xml") : candidate.find('.') == std::string::npos)
            candidate += ".xml";
        const bool acceptAtOnce =
            (kind == EventLogFileKind || kind == AddressFileKind) && candidate.size() >= 5;
        if (!acceptAtOnce) {
            console_.print("\n\n  Is the filename \"%s\" correct? (y/n):  ", candidate.c_str());
            const auto answer = console_.readLine(MaxLineLength);
            if (!answer)
                return 0;
            if (answer->empty() || (*answer)[0] != 'y')
                continue;
        }
        name = candidate;
        return static_cast<int>(name.size());
    }
}

int Screens::enterAddresses(std::string& addressList) {
    console_.clearScreen();
    console_.print("\n\n              PKI CERTIFICATE INSTALLATION UTILITY %s \n\n\n",
                   version_.c_str());
    console_.write("  Only one address per fabric is needed to get to all switches.\n\n"
                   "  Enter a list of one or more IP or DNS addresses (aliases) you\n"
                   "  wish to use (one per line). End the list with an empty item.\n\n");
    int count = 0;
    for (;;) {
        console_.print("  %d --> ", count + 1);
        const auto line = console_.readLine(MaxLineLength);
        if (!line)
            break;
        const std::string_view address = trimBlanksAndTabs(*line);
        if (address.empty())
            break;
        appendAddress(addressList, address);
        ++count;
    }
    console_.write("\n\n");
    return count;
}

void Screens::showExitBanner() {
    console_.print("\n\n\n\n\n               Exit PKI Certificate Installation Utility %s \n\n\n",
                   version_.c_str());
}
