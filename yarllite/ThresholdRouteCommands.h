// Handlers of the threshold identifier commands (the class and area
// identifier and the threshold entry identifier, encoded from names and
// decoded into names) and of the route commands. Each returns its export's
// status, or -3 for a request that lacks what the export needs; the front
// end writes the fault.
#pragma once

#include "yarllite/CommandContext.h"

// "DecodeThrexClassAreaOID", "DecodeThrexThresholdEntryOID": the parts of
// the ObjectReference text, class and area by name.
int YarlDecodeThrexClassAreaOID(CommandContext& context);
int YarlDecodeThrexThresholdEntryOID(CommandContext& context);
// "EncodeThrexClassAreaOID": the SwitchOID, ThrexClass and ThrexArea texts.
int YarlEncodeThrexClassAreaOID(CommandContext& context);
// "EncodeThrexThresholdEntryOID" (also "EncodeThrexThresholdOID"): the same
// and the decimal Index text.
int YarlEncodeThrexThresholdEntryOID(CommandContext& context);

// "GetLegalRouteTableEntries": the Switch and DestSwitch texts; one
// ObjectReference line per legal entry's world wide name, or, with no entry
// (also when the export failed), "<Fault>No entry found</Fault>" and 0.
int YarlGetLegalRouteTableEntries(CommandContext& context);
// "PortPairToRouteOID": the `source` and `dest` attributes of
// PortPairReference (10 without it); the route's ObjectReference.
int YarlPortPairToRouteOID(CommandContext& context);
// "SetRouteTableEntry": `switchOID` and `inPort` of Switch, `switchOID` and
// `outPort` of DestSwitch; ports are decimal 0 to 255.
int YarlSetRouteTableEntry(CommandContext& context);
