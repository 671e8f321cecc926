// The name server of a fabric (procedure 60).
//
// Its entries come from the fabric's "nameServer" list in the fabric file:
//   { "portId": "010200",              // or the 24-bit number
//     "portType": 1, "portName": "<wwn>", "nodeName": "<wwn>",
//     "symbolicPortName": "host port", "symbolicNodeName": "host",
//     "classOfService": 8, "fc4Types": [8, 32],   // type numbers
//     "switchPort": "<wwn>",           // the fabric port it is attached to
//     "hardAddress": "010200",
//     "initialProcessAssociator": "<8 bytes hex>",
//     "nodeIp": "<16 bytes hex>", "portIp": "<16 bytes hex>" }
// With the fabric's "unmarkedPortIdLists": true, the port identifier lists
// (GID_NN, GID_FT, GID_PT) mark no entry as the last, as a faulty switch
// would. GA_NXT walks the entries in port identifier order and wraps to the
// lowest; a query that matches nothing answers status -1. Registrations
// (RSPN_ID, RSNN_NN) change the entries.
#pragma once

#include <span>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

ProcedureResult nameServerRequest(CallContext& ctx, std::span<const char> args);
