// Handlers of the threshold identifier commands: the class and area
// identifier and the threshold entry identifier, encoded from names and
// decoded into names. Each returns its export's status, or -3 for a request
// that lacks what the export needs; the front end writes the fault.
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
