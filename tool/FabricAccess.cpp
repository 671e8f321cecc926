#include "FabricAccess.h"

#include <cstdio>
#include <memory>

#include "AddressList.h"
#include "CommandChannel.h"
#include "LibraryRequests.h"
#include "Screens.h"
#include "Status.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t MaxLineLength = 127;
constexpr std::size_t AddressLineLength = 128;
constexpr int MinAddressFileNameLength = 3;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

FabricAccess::FabricAccess(ToolContext& context, Screens& screens)
    : context_(context), screens_(screens) {}

void FabricAccess::waitForEnter(const char* prompt) {
    context_.console.write(prompt);
    context_.console.readLine(MaxLineLength);
}

int FabricAccess::getSwitchAddresses(std::string& addressList) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    EventLog& log = parameters.eventLog;
    addressList.clear();
    if (parameters.interactive()) {
        log.write(0, "Operations Mode is INTERACTIVE \n");
        const int method = screens_.chooseAddressMethod();
        if (method == ShowAgain)
            return ShowAgain;
        if (method == QuitConfirmed) { // the input ended
            console.clearScreen();
            screens_.showExitBanner();
            log.close();
            return QuitConfirmed;
        }
        if (method == ManualAddresses) {
            screens_.enterAddresses(addressList);
        } else {
            std::string name = parameters.FAB_ADDR_FILE_NAME;
            while (screens_.promptFileName(AddressFileKind, name) < MinAddressFileNameLength) {
                console.write("\n\n Sorry, a valid address file name is required to proceed\n"
                              "\n\n  Press 'Enter' to try again (or 'q' to quit)> ");
                const auto answer = console.readLine(MaxLineLength);
                if (!answer || (!answer->empty() && ((*answer)[0] == 'q' || (*answer)[0] == 'Q'))) {
                    console.clearScreen();
                    screens_.showExitBanner();
                    log.close();
                    return QuitConfirmed;
                }
            }
            parameters.FAB_ADDR_FILE_NAME = name;
            readAddressFile(addressList, name);
        }
    } else if (!parameters.FAB_ADDR_FILE_NAME.empty() && parameters.SWITCH_ADDRESS.empty()) {
        readAddressFile(addressList, parameters.FAB_ADDR_FILE_NAME);
    }
    if (!parameters.SWITCH_ADDRESS.empty()) {
        addressList.clear();
        appendAddress(addressList, parameters.SWITCH_ADDRESS);
        log.write(3, "Use the Switch Address: %s\n", parameters.SWITCH_ADDRESS.c_str());
    } else if (!parameters.FAB_ADDR_FILE_NAME.empty()) {
        log.write(3, "Get switch addresses/aliases from %s\n",
                  parameters.FAB_ADDR_FILE_NAME.c_str());
    } else if (addressList.empty()) {
        log.write(3, "Get switch addresses (or aliases) from FABRIC CONFIG file \n");
    }
    return 0;
}

int FabricAccess::readAddressFile(std::string& addressList, const std::string& path) {
    SystemParameters& parameters = context_.parameters;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        parameters.eventLog.write(1, "ERROR: can't open address file '%s'\n", path.c_str());
        if (parameters.interactive()) {
            Console& console = context_.console;
            console.clearScreen();
            console.print("\n\n\n\n       ERROR: can't open address file '%s'\n\n", path.c_str());
            waitForEnter("\n Press enter to continue > ");
        }
        return 0;
    }
    int count = 0;
    std::string line;
    const auto endLine = [&]() {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // An empty line would end the library's address list: it is passed
        // over, so no address after it is lost.
        if (!line.empty()) {
            appendAddress(addressList, line);
            ++count;
        }
        line.clear();
    };
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
        if (c == '\n') {
            endLine();
            if (count == MaxFileAddresses)
                return AddressFileFull;
            continue;
        }
        // An over-long line starts over: only what follows its last full
        // 128 characters counts.
        if (line.size() == AddressLineLength)
            line.clear();
        line.push_back(static_cast<char>(c));
    }
    endLine();
    return count == MaxFileAddresses ? AddressFileFull : count;
}

int FabricAccess::initFabricAccess(const std::string& addressList,
                                   std::vector<std::string>& identities, int& fabricCount) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    EventLog& log = parameters.eventLog;
    const bool interactive = parameters.interactive();
    const char* version = parameters.version.c_str();
    if (!commandInterfaceReady_) {
        if (!context_.channel.initialize()) {
            log.write(1, "ERROR: initializing XML command interpreter (%ld)\n", 0L);
            log.flush();
            if (interactive) {
                console.clearScreen();
                console.write("\n\n Error initializing XML command interpreter (0). \n");
            }
            return CommandInterfaceFailed;
        }
        commandInterfaceReady_ = true;
    }
    if (fabricCount == 0) {
        const int status = sendInitializeFabricAccess(context_.channel, console, addressList);
        if (status != 0) {
            log.write(1, "ERROR: calling Initialize Fabric Access (%ld)\n",
                      static_cast<long>(status));
            if (interactive) {
                console.clearScreen();
                console.print("\n\n  Error calling Initialize Fabric Access (%d). \n", status);
            }
            return InitializeFabricAccessFailed;
        }
    }
    if (interactive)
        console.clearScreen();
    fabricCount = sendGetFabricIdentities(context_.channel, parameters, console, identities);
    if (fabricCount == 0) {
        log.write(1, " No Fabrics could be found \n");
        if (interactive) {
            console.clearScreen();
            console.print("\n\n\n                PKI Certificate Installation Utility %s \n\n\n",
                          version);
            console.write("\n\n  No Fabrics were found \n\n");
        }
        return NoFabricsFound;
    }
    if (fabricCount < 0) {
        log.write(1, "ERROR:  Get-Fabric-Identities failed) (%ld)\n",
                  static_cast<long>(fabricCount));
        if (interactive) {
            console.print("\n\n\n                PKI Certificate Installation Utility %s \n\n\n",
                          version);
            console.print("  Failure getting fabric identities \n%s\n",
                          identityListText(identities, false).c_str());
        }
        fabricCount = 0;
        return GetFabricIdentitiesFailed;
    }
    const std::string list = identityListText(identities, false);
    log.write(3, "GOT %ld FABRIC IDs: \n", static_cast<long>(fabricCount));
    log.write(3, "    %s\n", list.c_str());
    if (interactive && parameters.logLevel >= 3) {
        console.print("GOT %ld FABRIC IDs: \n", static_cast<long>(fabricCount));
        console.print("    %s\n", list.c_str());
    }
    return 0;
}

int FabricAccess::openFabricSessions(std::vector<std::string>& identities,
                                     std::vector<FabricInfo>& fabrics) {
    SystemParameters& parameters = context_.parameters;
    Console& console = context_.console;
    EventLog& log = parameters.eventLog;
    const bool interactive = parameters.interactive();
    fabrics.clear();
    ChannelSessions sessions(context_.channel);
    if (loginToFabrics(parameters, console, sessions, identities) < 1) {
        log.write(1, "ERROR: No Fabric sessions could be opened.\n");
        if (interactive) {
            console.clearScreen();
            console.write("\n\n\n                 PKI CERTIFICATE INSTALLATION UTILITY \n\n\n"
                          "\n\n\n   No Fabric sessions could be opened. \n");
            waitForEnter("\n\nPress enter to continue.\n");
        }
        return NoSessionOpened;
    }
    auto table = getAllFabrics(context_, identities);
    if (!table) {
        log.write(1, "ERROR: Failed to get Fabric data\n");
        if (interactive) {
            console.clearScreen();
            console.write("\n\n\n\n\n  ERROR: Failed to get any Fabric objects\n");
            waitForEnter("\n\nPress enter to continue.\n");
        }
        return NoFabricObjectRead;
    }
    fabrics = std::move(*table);
    if (interactive && parameters.logLevel >= 3)
        showTables(fabrics);
    return 0;
}

void FabricAccess::showTables(const std::vector<FabricInfo>& fabrics) {
    Console& console = context_.console;
    int number = 0;
    for (const FabricInfo& fabric : fabrics) {
        console.print("Fabric-%d\n    fabricId=%s\n    wwn=%s\n    actvZoneDb=%s\n"
                      "    fullZoneDb=%s\n    numSwitches=%d\n",
                      ++number, fabric.fabricId.c_str(), fabric.wwn.c_str(),
                      fabric.actvZoneDb.c_str(), fabric.fullZoneDb.c_str(), fabric.numSwitches);
        int switchNumber = 0;
        for (const SwitchInfo& entry : fabric.switches)
            console.print("\n    Switch-%d\n        name=%s\n        swRole=%d\n"
                          "        domain=%d\n        numPorts=%d\n        ISN=%s\n"
                          "        assignedWWN=%s\n        switchOID =%s\n        WWN=%s\n",
                          ++switchNumber, entry.name.c_str(), entry.swRole, entry.domain,
                          entry.numPorts, entry.ISN.c_str(), entry.assignedWWN.c_str(),
                          entry.switchOID.c_str(), entry.WWN.c_str());
    }
    console.write(std::string(18, '\n'));
}

void FabricAccess::closeFabricSessions() {
    std::string reply;
    // Its result is not examined: the sessions are forgotten either way.
    context_.channel.process(requestHead("CloseFabricSessions") + RequestEnd, reply);
}
