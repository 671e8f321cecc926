// Translation of internal status codes into the public codes that the
// exports return.
#pragma once

#include "foundation/InternalStatus.h"

// Any code into its public code:
//  - 14 gives -67;
//  - codes above -10000 pass unchanged;
//  - codes listed in the translation table give the public code of their row;
//  - -10110 to -10112 pass unchanged;
//  - other codes below -20000 are classed by MapLowLevelError;
//  - anything else gives -1000.
int MapApiError(int code);

// A code of the switch, RPC, listener and download layers (below -20000)
// classed by its module number, the second-lowest byte of its distance
// below -20000. 0 gives 0; other codes from -20000 up give -1000.
int MapLowLevelError(int code);
