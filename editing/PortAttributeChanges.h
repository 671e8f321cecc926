// Attribute changes of ports, port counters, port modules and the symbolic
// names of ports and nodes.
#pragma once

// Registers their handlers (installSwitchAttributeChanges calls it).
void installPortAttributeChanges();
