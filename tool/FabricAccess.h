// The steps that connect zettle to its fabrics: gather the switch
// addresses, start fabric access in the library and list the fabrics, log
// in to them and read their tables.
#pragma once

#include <string>
#include <vector>

#include "FabricTable.h"

class Screens;
struct ToolContext;

// Result of readAddressFile when a 49th address was stored.
inline constexpr int AddressFileFull = 1000;
inline constexpr int MaxFileAddresses = 49;

class FabricAccess {
public:
    FabricAccess(ToolContext& context, Screens& screens);

    // Fills `addressList` (emptied first) from the console, the address
    // file or -A: 0, QuitConfirmed (the user quit; the exit banner shown and
    // the log closed) or ShowAgain (back to the menu).
    int getSwitchAddresses(std::string& addressList);
    // Appends one line per non-empty line of the file at `path`: the number
    // of addresses read, or AddressFileFull once a 49th was stored (the rest
    // is not read). 0 when the file cannot be opened.
    int readAddressFile(std::string& addressList, const std::string& path);
    // Starts the XML command interface (once per process), sends the
    // addresses when `fabricCount` is 0 and lists the fabrics into
    // `identities`, `fabricCount` their number. 0, CommandInterfaceFailed,
    // InitializeFabricAccessFailed, NoFabricsFound or
    // GetFabricIdentitiesFailed.
    int initFabricAccess(const std::string& addressList, std::vector<std::string>& identities,
                         int& fabricCount);
    // Logs in to the fabrics (`identities` then keeps those logged into) and
    // reads their tables into `fabrics`: 0, NoSessionOpened or
    // NoFabricObjectRead.
    int openFabricSessions(std::vector<std::string>& identities, std::vector<FabricInfo>& fabrics);
    // Closes every session the library opened and shuts fabric access down.
    void closeFabricSessions();

private:
    void waitForEnter(const char* prompt);
    void showTables(const std::vector<FabricInfo>& fabrics);

    ToolContext& context_;
    Screens& screens_;
    bool commandInterfaceReady_ = false;
};
