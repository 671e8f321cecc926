// The choice of the zoning access level: the proxy switch's firmware
// version text gives a version class, the class gives the implementation.
//
//   class 0: 2.2 (also no version)     UDAL_ZoningAccess_2_2_Impl
//   class 1: 2.3 to 2.5, 3.0 but 3.0.2 UDAL_ZoningAccess_2_3_Impl
//   class 2: 2.6, 3.1, anything else   UDAL_ZoningAccess_2_6_Impl
//   class 3: 3.0.2                     UDAL_ZoningAccess_2_6_Impl
//   class 4: 4.0                       UDAL_ZoningAccess_4_0_Impl
//   class 5: 4.1                       UDAL_ZoningAccess_4_1_Impl
#pragma once

#include <string>

#include "connection/clilib_session.h"
#include "zoning/UDAL_ZoningAccess_Ifc.h"

// A new access object for the class, owned by the caller; null for a class
// outside 0 to 5 or when memory runs out. The constructor's
// ConnectionException (-202 for a closed session) passes on.
UDAL_ZoningAccess_Ifc* getZoningAccess(int versionClass, SessionContext* session);

// The version class of a firmware version text: the first of "v2.2"; "v2.3",
// "v2.4", "v2.5"; "v2.6"; "v3.0" (3 with "v3.0.2", else 1); "v4.0"; "v3.1";
// "v4.1" found anywhere in the text decides; an empty text gives 0, a text
// holding none of them 2.
int proxySwitchVersionClass(const std::string& versionText);

// The version class of the fabric that the object identifier belongs to,
// from the fabric's "ProxySwitchVersion"; 0 when the identifier is empty or
// the fabric or its version is unknown.
int GetProxySwitchVersionClass(std::string oid);
