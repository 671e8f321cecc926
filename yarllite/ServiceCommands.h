// Handlers of the fabric service commands: event subscription and polling,
// firmware download, and configuration upload, download and key prefixes.
// Each reads its request elements, calls one export and returns its status
// (-3 for a request that lacks what the export needs); the front end writes
// the fault.
#pragma once

#include <string>
#include <string_view>

#include "yarllite/CommandContext.h"

// "RegisterForEvents": the `ipAddr` and `port` of EventDestination.
int YarlRegisterForEvents(CommandContext& context);
// "UnRegisterForEvents": no request elements.
int YarlUnRegisterForEvents(CommandContext& context);
// "GetEvents": `startEventId`, `endEventId` and `maxEvents` of EventTarget;
// 2 when EventTarget is missing.
int YarlGetEvents(CommandContext& context);

// "FirmwareDownloadDirect", "FirmwareDownloadSelf": the `OID` of every
// ObjectReference and the Firmware description below the first that has
// one with a path.
int YarlFirmwareDownloadDirect(CommandContext& context);
int YarlFirmwareDownloadSelf(CommandContext& context);
// "GetFirmwareDownloadStatus": always 1.
int YarlGetFirmwareDownloadStatus(CommandContext& context);

// "ConfigurationUpload": the switch's configuration text, escaped.
int YarlConfigUpload(CommandContext& context);
// "ConfigurationDownload": the `value` and `allowReboot` of ConfigData.
int YarlConfigDownload(CommandContext& context);
// "ConfigurationPrefix": the `type` of Parameters.
int YarlConfigurationPrefix(CommandContext& context);

// Appends `source` to `out` with " % & < > ^ and every control character
// not in `kept` written as "&#x%02x;", but for the control characters that
// no XML 1.0 document may hold (all below 0x20 but tab, line feed and
// carriage return), which are written as '?' whether kept or not. Bytes of
// valid UTF-8 sequences are copied; any other byte from 0x80 up is written
// as a reference too, so the reply stays UTF-8.
void XMLstrecpy(std::string& out, std::string_view source, std::string_view kept);
