// Attribute changes of switches and of the objects without a group of
// their own (fabric event notification, physical switch groups, threshold
// boundary and alarm changes, platforms), and the handlers of every other
// group registered with them: port, security and zone member attributes.
#pragma once

#include <cstdint>

#include "editing/AttributeChanges.h"

// True for "none" and for dotted IPv4 text of exactly four non-empty
// decimal parts, each 0 to 255, without leading zeros.
bool isValidIpAddressText(const char* text);

// The value argument of a "by value" code: the pointer-sized argument
// itself is the number.
inline unsigned attributeNumber(const AttributeEntry& entry) {
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(entry.value));
}

// Registers the switch, port, module, node, security, zone member and
// other attribute handlers with AddAttributes. Called once at start-up.
void installSwitchAttributeChanges();
