// The exit code of a zettle status. Statuses are negative for failures and
// do not fit the 8 bits of an exit code: each failure has its own non-zero
// code (none wraps to 0 or onto another), a positive status keeps its low
// 8 bits.
#pragma once

int exitCodeFor(int status);
