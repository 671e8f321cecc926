// Installs the classes of ports, port modules, nodes, devices and port
// counters as the makers of their kinds, and the steps by which the
// fabric walks descend from switches to modules, ports, attached ports,
// nodes and devices.
#pragma once

#include <string>
#include <vector>

void installPortObjects();

// The children that the walks fetch below a record of each type.
std::vector<std::string> switchChildren(const void* record);
std::vector<std::string> portModuleChildren(const void* record);
// A port owned by a node leads to the node; a switch port to its attached
// ports, when it is not of type 320 and its first attached port is stored
// with a type other than F_Port, FL_Port and E_Port.
std::vector<std::string> portChildren(const void* record);
std::vector<std::string> nodeChildren(const void* record);
