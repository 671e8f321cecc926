// Texts of numbers and flags for trace and XML output.
#pragma once

#include "foundation/QuillonString.h"

// The value in decimal ("%i").
QuillonString intToString(int value);

// "true" when the low byte of `flag` is 1, else "false". The flag is taken
// as an int because callers pass 32-bit flag words, not only 0 and 1.
QuillonString boolToString(int flag);
