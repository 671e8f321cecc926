// The shape of a real SAN laid over a fabric of the fabric file from a few
// numbers: every switch gets ports in port modules, attached hosts and
// storage with their nodes, inter-switch links of a core-edge topology, a
// management address, licensed products and a signing key, and the fabric a
// name server and a defined and active zoning database over its devices.
//
// A fabric asks for it with a "shape" object (generated fabrics always
// carry one, from the keys of "generate"):
//   "shape": { "portsPerSwitch": 32,    // ports of an edge switch (2 to 240);
//                                       // a core has room for every link too
//              "portModules": 2,        // port-module ranges per switch (1 to 8);
//                                       // switch n's first module is n % 3
//              "devicesPerSwitch": 4,   // attached devices, hosts and storage
//                                       // in turn (0 to 64)
//              "cores": 2,              // core switches; each edge switch is
//                                       // linked to every core
//              "zoning": true,          // zones of one host and its storage,
//                                       // an alias per host, one zone set
//              "managementNet": "127.200" } // first two octets of the
//                                       // management addresses of switches
//                                       // that serve none
// Everything is made from the switches' world wide names and their order,
// so the same file always gives the same fabric. What a switch or fabric of
// the file already states is kept.
#pragma once

#include <nlohmann/json.hpp>

// Lays the shape over `fabric` (a fabric object of the fabric file) in
// place. `fabricNumber` (from 1) tells the fabrics' management addresses
// apart. Throws std::invalid_argument naming a bad key.
void shapeFabric(nlohmann::json& fabric, const nlohmann::json& shape, int fabricNumber);
