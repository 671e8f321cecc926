// Handlers of the identifier commands: world wide names to identifiers and
// back, and the encoders and decoders of the domain and port reference and
// of the switch port group. Each returns its export's status, or -3 for a
// request that lacks what the export needs; the front end writes the fault.
#pragma once

#include "yarllite/CommandContext.h"

// "WWNtoOID": the `wwn` (16 hex digits, or eight colon-separated pairs) and
// `type` (hex) attributes of WWNtoOIDArgs.
int YarlWWNtoOID(CommandContext& context);
// "OIDtoWWN": the world wide name and type of the `OID` attribute of
// OIDtoWWNArgs.
int YarlOIDtoWWN(CommandContext& context);

// "DecodeDomainPortRef", "DecodeSwitchPortGroupOID": the ObjectReference
// text's parts.
int YarlDecodeDomainPortRef(CommandContext& context);
int YarlDecodeSwitchPortGroupOID(CommandContext& context);
// "EncodeDomainPortRef": the Domain and Port texts (decimal).
int YarlEncodeDomainPortRef(CommandContext& context);
// "EncodeSwitchPortGroupOID": the switch of the ObjectReference text and
// the `startPort` and `endPort` attributes of PortGroup.
int YarlEncodeSwitchPortGroupOID(CommandContext& context);
