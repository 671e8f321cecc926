// The zoning items of a fabric's switches, for the zoning capabilities and
// the zoning transaction: each switch of the interconnect element list
// handed to the zoning access of the proxy switch's version class.
#pragma once

struct SessionContext;

// Asks the zoning access about every switch of the fabric and ANDs the
// answers into `allPass` (left as it is when there is no switch). Returns 0; the
// translated failure of the element list; -2 when the version class has no
// zoning access; or the mapped code of a zoning failure.
int CheckZoningItems(SessionContext* ctx, int proxyVersionClass, bool& allPass);
// Hands every switch of the fabric and `value` to the zoning access.
// Returns as CheckZoningItems does.
int AddZoningAttributes(SessionContext* ctx, int proxyVersionClass, int value);
