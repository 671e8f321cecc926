// Handlers of the switch, port, platform and inventory requests, kept out
// of ManagementProgram.cpp: the management program looks a request code up
// here when its own table has no handler.
//
// What they read and change lives in the fabric file, beside the fields
// that the model names:
//   switch:  "info" {field: value} (fields of the switch information
//            records by name: "t1", "n5", "a5", "e6", "q2", ...; without
//            them "a5" is the switch's "name", "a4" its "firmware", "t2" its
//            "address" or first "fcs" "managementAddresses" entry, and "n3"
//            1 for the switch the fabric is named after),
//            "apiVersion" (default: the word of the firmware generation,
//            0x02000000 after 3.0, 0x01000000 for 3.0.2, else 0),
//            "firstPortModule" (index of the discovery entry's first port
//            module), "portCount" (its port count; default the number of
//            "ports"), "portModuleRanges" [[first, last]] (its port-module
//            ranges over the switch's "ports"; default one range of every
//            port),
//            "licenses" [key], "licensedProducts" [int],
//            "product" {"text", "value", "names": [text]},
//            "products" [{"id", "text", "value", "names": [text]}] (the
//            product a request's number selects; else "product"),
//            "controlProcessors" [{field: value, "fru": {field: value}}],
//            "enclosure" {"chassisWwn", "value1", "value2", "wwns": [wwn],
//                         "frus": [{field: value}],
//                         "blowers" [{"value1", "value2", "fru"}],
//                         "sensors" [{"value1" .. "value5"}],
//                         "powerSupplies" [{"value", "fru"}],
//                         "blades" [{"value1" .. "value6", "fru"}]},
//            "switchGroups" [{"name", "value1" (its type), "members": [wwn]}]
//            (the member count sent is the number of "members"),
//            "ports" [{"wwn", "info" {field: value}, "stats" [24 numbers],
//                      "statsValue", "errors" [22 numbers]}],
//            "portModules" [{"values" [5], "texts" [7], "ports" [int]}]
//            (module index, state, status, first and last port index; the
//            seven texts; "ports" holds the temperature values),
//            "portModuleStates" [[first, second]],
//            "flPorts" [{"portId", "text1", "text2" or "loopMap" (16 hex bytes)}],
//            "devices" [{"portId", "text": text} or {"portId", "bytes": [byte]}]
//            (both found by "portId" in the proxy's lists, then in those of
//            every switch of the fabric, when their entries carry one; else
//            by number in the proxy's lists),
//            "replyArms" {"<code>": arm} (answers that code under another
//            request's arm, as a faulty switch would)
//   fabric:  "platforms" [{"name", "value1" (its type),
//                          "members": [{"name"}] (addresses), "wwns": [wwn]}]
//            (a name goes out with its length; the counts are the lists'),
//            "platformInfo" {"<selector>": value}
// Counters are written as numbers (the 64-bit ones as high * 2^32 + low).
// A request that names a switch, port, group or platform the fabric does
// not have is answered with status -1.
#pragma once

#include <cstdint>
#include <span>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

using ExtraRequestHandler = void (*)(CallContext&, const MSRequestArgs&, MSReply&);

struct ExtraRequestEntry {
    std::int32_t code;
    ExtraRequestHandler handler;
};

// The request codes answered by the handlers of this folder.
std::span<const ExtraRequestEntry> switchRequestHandlers();
std::span<const ExtraRequestEntry> portRequestHandlers();
std::span<const ExtraRequestEntry> platformRequestHandlers();

// The handler for `code` among them, or null.
ExtraRequestHandler findExtraRequestHandler(std::int32_t code);

// Procedure 127: platform settings.
ProcedureResult platformSettings(CallContext& ctx, std::span<const char> args);
