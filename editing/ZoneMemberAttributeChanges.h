// Attribute changes of a zone member being prepared (one that no zone or
// alias holds yet): its type, its modifier and its target, with the member
// name and the ready flag rebuilt to match.
#pragma once

#include <string>

// The member name that a member of `oldType` named `name` gets as a member
// of `newType` with `modifier`: the target's part of the name is kept and
// decorated for the new type. A type outside 0 to 3 leaves it unchanged.
std::string rebuildMemberName(const std::string& name, unsigned oldType, unsigned newType,
                              const std::string& modifier);

// Registers their handlers (installSwitchAttributeChanges calls it).
void installZoneMemberAttributeChanges();
