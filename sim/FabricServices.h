// Management requests (procedure 40) of the fabric configuration server,
// certificates, security counters, threshold monitoring and routes.
//
// Fabric file data, per switch:
//   "fcs": { "domainId": 1, "managementId": 5, "logicalName": "core-1", "type": 1,
//            "managementAddresses": ["127.0.0.1"],
//            "elementInfo": { "text": "abc", "value": 1, "data": "bytes" },
//            "logicalNameLength": 200,          // optional: the length byte sent
//            "ports": [ { "wwn": "<wwn>", "type": 7, "physical": 3, "state": [1, 2],
//                         "attached": [ { "wwn": "<wwn>", "type": 1, "flags": 0 } ] } ] },
//            (an attached port's "type" is its FC-GS port type, sent in the
//            low byte of the entry's value; "flags" go in bits 8 to 15)
//   "csr": "-----BEGIN CERTIFICATE REQUEST-----\n...", or "signingKey" (sim/SwitchCertificates.h),
//   "securityStats": [12 numbers],
//   "threx": { "classAreas": [ { "defaultUnit": "frames", "default": [4 numbers],
//              "customUnit": "", "values": [17 numbers],
//              "thresholds": [ { "name": "..", "label": "..", "time": "..",
//                                "values": [7 numbers] } ] } ] }
// and, as the switch keeps it, "installedCertificate" (hexadecimal bytes of
// the certificate last installed) and "validCertificate". Class area "values": custom time base,
// low, high, buffer size, boundary level; five default and five custom
// alarms; alarm level. Threshold "values": status, current value, last
// event type, last event value, last event state, behaviour type, behaviour
// interval. A high boundary below the
// low one (or a low above the high) is refused with the switch status of
// module 205 (-20000 - 205 * 256), which the library reports as -109.
//
// Per fabric:
//   "routes": [ { "source": "<wwn>", "destination": "<wwn>",
//                 "pairs": [[1, 2], [3, 4]], "count": 5,     // count: sent as is
//                 "legal": [1, 2, 3], "legalCount": 9 } ]
// and "routeSettings", the three names of every route set (hexadecimal).
// A request naming an unknown switch, port or route answers status -1.
#pragma once

#include <cstdint>
#include <span>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

struct ServiceRequest {
    std::int32_t code;
    void (*handler)(CallContext&, const MSRequestArgs&, MSReply&);
};

// The handlers of these requests, by code.
std::span<const ServiceRequest> fabricServiceRequests();

// Answers `request` when one of these handlers takes its code (a fabric
// file value that does not parse refuses it); false for any other code.
bool answerFabricServiceRequest(CallContext& ctx, const MSRequestArgs& request, MSReply& reply);
