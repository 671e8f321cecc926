// Handlers of the threshold configuration commands: a template record of a
// class and area or of a threshold entry, and changes of its fields by name.
#pragma once

#include "yarllite/CommandContext.h"

// "GetObjectTemplate": the Switch text, a threshold identifier (type 0x24 or
// 0x25, else -3); the export's status, no reply elements.
int YarlGetObjectTemplate(CommandContext& context);
// "ModifyObject": the ObjectReference text, a threshold identifier (else
// -20), and YarlAttribute elements naming template fields with new values.
// A name the object's kind lacks, or a number field whose value is not
// decimal digits, writes an OriginalRequest block and gives -3 before
// anything reaches the switch.
int YarlModifyObject(CommandContext& context);
