// One inter-switch link as the link page lists it under a domain.
//
// A link tuple on the page is "v1,v2,v3,v4,v5,v6": v1 the other switch's
// domain, v2 the own port number, v3 the other switch's port number, v4
// the cost, v5 the count and v6 the type. Values that cannot be read stay -1.
#pragma once

class UDAL_ISL {
public:
    virtual ~UDAL_ISL() = default;

    int domain = -1;       // the domain the link was listed under
    int port = -1;         // v2
    int remoteDomain = -1; // v1
    int remotePort = -1;   // v3
    int cost = -1;         // v4
    int count = -1;        // v5
    int type = -1;         // v6
};
