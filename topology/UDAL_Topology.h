// Reads the make-up of a fabric from two pages of the proxy switch's web
// server: "FabricInfo.html" (one block per switch) and "FabricInfo2.html"
// (the inter-switch links, domain by domain).
#pragma once

#include "topology/UDAL_ISL.h"
#include "topology/UDAL_Switch.h"

#include <list>
#include <memory>
#include <string>

class HTTPConnection;

class UDAL_Topology {
public:
    UDAL_Topology() = default;
    virtual ~UDAL_Topology() = default;

    // The connection (an HTTP connection, not owned) the pages are read
    // through: 0, or -2101 for none.
    int setConnection(HTTPConnection* connection);

    // Appends one record per switch block of "FabricInfo.html":
    // 0, -2101 without a connection, -2009 for a missing or non-empty list,
    // or the page fetch's error. The records belong to the caller.
    int GetALLSwitchesHTTP(std::list<UDAL_Switch*>* switches);
    // Appends one record per link of "FabricInfo2.html"; codes as above.
    int GetAllISLsHTTP(std::list<UDAL_ISL*>* links);

    // One line of the switch page: 1 opens a block, -1 ends it, 0 for any
    // other line, whose value (if any) is set on `open` when one is open.
    static int ParseFabricInfo(const std::string& line, UDAL_Switch* open);
    // One line of the link page: -1 and -2 for the domain block markers, the
    // domain number for a usable domain line, 0 for any other line; link
    // lists are appended to `links` under `domain`.
    static int ParseFabricInfo2(const std::string& line, int domain, std::list<UDAL_ISL*>& links);
    // Appends the links of a ";"-separated list of link tuples.
    static void ParseISLs(const std::string& text, int domain, std::list<UDAL_ISL*>& links);

    // The page readers over lines already fetched.
    static void readSwitches(const std::list<std::string>& lines,
                             std::list<UDAL_Switch*>& switches);
    static void readLinks(const std::list<std::string>& lines, std::list<UDAL_ISL*>& links);

private:
    HTTPConnection* connection_ = nullptr;
};
