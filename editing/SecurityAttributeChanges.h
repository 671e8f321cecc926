// Attribute changes of the fabric's security: the security transaction,
// policy set activation, the security counters and the administrator
// passwords.
#pragma once

#include <cstddef>

// The longest password a switch account takes.
inline constexpr std::size_t MaxPasswordLength = 32;

// Registers their handlers (installSwitchAttributeChanges calls it).
void installSecurityAttributeChanges();
