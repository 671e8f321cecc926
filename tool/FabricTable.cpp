#include "FabricTable.h"

#include "CommandChannel.h"
#include "ReplyText.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console.h"

namespace {

constexpr std::size_t IdentifierLength = 48;
constexpr std::size_t WwnTextLength = 128;
constexpr std::size_t ShortTextLength = 48;
constexpr std::size_t NumberLength = 12;
constexpr std::size_t ObjectTypeLength = 4;
constexpr std::size_t MaxLineLength = 127;

// One value (mode KeepCursor) from `from`, its entities decoded; empty when
// there is none.
std::string valueAt(std::string_view reply, std::size_t from, std::string_view startTag,
                    std::string_view endTag, std::size_t maxLen) {
    std::string value;
    std::size_t cursor = from;
    if (extractXmlValue(value, reply, cursor, startTag, endTag, maxLen, "", "", KeepCursor) < 0)
        return {};
    return decodeXmlText(value);
}

// Every value of `startTag` before `endTag` from `from`: a fabric of any
// size is read whole, none of its switches left out.
std::vector<std::string> valuesAt(std::string_view reply, std::size_t from,
                                  std::string_view startTag, std::string_view endTag) {
    std::vector<std::string> values;
    std::size_t cursor = from;
    std::string value;
    while (extractXmlValue(value, reply, cursor, startTag, endTag, IdentifierLength, "", "",
                           MoveCursor) >= 0)
        values.push_back(decodeXmlText(value));
    return values;
}

std::int32_t hexValue(Console& console, const std::string& text) {
    long value = 0;
    if (text.empty() || hexStrToLong(console, text, value) != 0)
        return 0;
    return static_cast<std::int32_t>(value);
}

// Counts the ports of the switch's port modules; one that cannot be read
// adds nothing.
std::int32_t countPorts(ToolContext& context, std::string_view switchReply, std::size_t from) {
    std::int32_t ports = 0;
    for (const std::string& module : valuesAt(switchReply, from, "<PortModules OID=", "</Switch>")) {
        std::string reply;
        if (getObject(context, module, reply) != 0) {
            if (context.parameters.logLevel >= 3)
                context.console.print("\nIn getAllFabrics: getObject failed to get "
                                      " PortModule OID=%s",
                                      module.c_str());
            continue;
        }
        std::size_t cursor = 0;
        std::string value;
        while (extractXmlValue(value, reply, cursor, "<Port OID=", "</PortModule>", 0, "", "",
                               MoveCursor) >= 0)
            ++ports;
    }
    return ports;
}

void fillSwitch(ToolContext& context, SwitchInfo& entry, const std::string& identifier,
                std::string_view reply) {
    entry.switchOID = identifier;
    const std::size_t at = findAnchored(reply, "<Switch");
    const std::size_t from = at == std::string_view::npos ? 0 : at;
    entry.domain = hexValue(context.console,
                            valueAt(reply, from, "DomainId=", "</Switch>", NumberLength));
    entry.swRole = hexValue(context.console,
                            valueAt(reply, from, "SwitchRole=", "</Switch>", NumberLength));
    entry.WWN = valueAt(reply, from, "WWN=", " >", ShortTextLength);
    if (!entry.WWN.empty())
        formatWwn(entry.WWN, entry.assignedWWN, ShortTextLength);
    else if (identifier.size() > ObjectTypeLength)
        entry.assignedWWN = identifier.substr(ObjectTypeLength, ShortTextLength - 1);

    const std::string embeddedType =
        valueAt(reply, from, " EmbeddedSwitchType=", " >", ShortTextLength);
    // The library writes the embedded switch's invariant name as
    // EmbSwInvariantName.
    const std::string invariantName =
        valueAt(reply, from, " EmbSwInvariantName=", " >", ShortTextLength);
    // An all-zero name names no switch.
    const bool named = invariantName.find_first_not_of("0:") != std::string::npos;
    if (!embeddedType.empty() && embeddedType.back() != '0' && invariantName.size() > 1 && named)
        formatWwn(invariantName, entry.ISN, ShortTextLength);
    if (entry.ISN.size() < 2)
        entry.ISN = entry.assignedWWN;

    entry.name = valueAt(reply, from, " SwitchName=", " >", ShortTextLength);
    entry.firmwareVersion = valueAt(reply, from, " FirmwareVersion=", " >", ShortTextLength);
    entry.ipAddress = valueAt(reply, from, " OutBandAddr=", " >", ShortTextLength);
    entry.numPorts = countPorts(context, reply, from);
}

} // namespace

CertificateState certificateStateOf(std::string_view switchReply) {
    const std::size_t at = findAnchored(switchReply, "<Switch");
    if (at == std::string_view::npos)
        return CertificateState::Unknown;
    const std::string value =
        valueAt(switchReply, at, "ValidCertificateInstalled=", " >", NumberLength);
    if (value.empty())
        return CertificateState::Unknown;
    return value.back() == '1' ? CertificateState::Valid : CertificateState::NotValid;
}

CertificateState readCertificateState(ToolContext& context, const std::string& switchOID) {
    std::string reply;
    if (switchOID.empty() || getObject(context, switchOID, reply) != 0)
        return CertificateState::Unknown;
    return certificateStateOf(reply);
}

std::string principalText(const FabricInfo& fabric) {
    for (const SwitchInfo& entry : fabric.switches) {
        if (entry.swRole == PrincipalSwitchRole)
            return entry.name;
    }
    return "Unknown";
}

int getObject(ToolContext& context, const std::string& identifier, std::string& reply) {
    std::string request = "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n"
                          "<MsgType>GetObjects</MsgType>\n"
                          "<Version major=\"1\" minor=\"0\" vendor=\"Quillon\"/>\n"
                          "<AttributeEncoding>en-us</AttributeEncoding>\n<ObjectReference>";
    appendXmlEscaped(request, identifier);
    request += "</ObjectReference>\n</YarlRequest>\n";
    const int status = context.channel.process(request, reply) ? 0 : -1;

    SystemParameters& parameters = context.parameters;
    if (parameters.logLevel >= 3) {
        parameters.eventLog.write(3, "\nInput string:\n%s \n\n Return Status=%d\n",
                                  request.c_str(), status);
        parameters.eventLog.write(3, "\nOutput string:\n%s \n", reply.c_str());
        if (parameters.interactive()) {
            Console& console = context.console;
            if (status == 0)
                console.write("Succeeded.\n");
            else
                console.print("Failed - status=%d", status);
            console.print("Input string = %s", request.c_str());
            console.print("Output string = %s", reply.c_str());
            console.write("\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n");
        }
    }
    return status;
}

std::vector<SwitchInfo> getSwitches(ToolContext& context, const std::vector<std::string>& switchIds,
                                    int& count) {
    SystemParameters& parameters = context.parameters;
    std::vector<SwitchInfo> switches(switchIds.size());
    count = 0;
    for (std::size_t i = 0; i < switchIds.size(); ++i) {
        const std::string& identifier = switchIds[i];
        std::string reply;
        const int status = getObject(context, identifier, reply);
        if (status != 0) {
            parameters.eventLog.write(1, "ERROR: can't get switch obj-Id=%s (err#%ld)\n",
                                      identifier.c_str(), static_cast<long>(status));
            if (parameters.interactive())
                context.console.print("getAllFabs: getObj failed to get Switch OID=%s %d",
                                      identifier.c_str(), status);
            continue;
        }
        parameters.eventLog.write(3, "Switch %ld: %s\n\n", static_cast<long>(i), reply.c_str());
        fillSwitch(context, switches[i], identifier, reply);
        ++count;
    }
    return switches;
}

std::optional<std::vector<FabricInfo>> getAllFabrics(ToolContext& context,
                                                     const std::vector<std::string>& identities) {
    SystemParameters& parameters = context.parameters;
    EventLog& log = parameters.eventLog;
    Console& console = context.console;
    const bool interactive = parameters.interactive();
    std::vector<FabricInfo> fabrics;
    long number = 0;
    for (const std::string& identifier : identities) {
        std::string reply;
        if (getObject(context, identifier, reply) != 0) {
            log.write(1, "Error: in getAllFabrics-Failed to get object of fabric # %ld (OID=%s)\n\n",
                      number, identifier.c_str());
            if (interactive)
                console.print("\n\n In getAllFabrics: Error, Failed to get object of fabric # %ld",
                              number);
            return std::nullopt;
        }
        FabricInfo& fabric = fabrics.emplace_back();
        fabric.fabricId = identifier;
        const std::size_t at = findAnchored(reply, "<Fabric");
        std::vector<std::string> switchIds;
        if (at != std::string::npos) {
            fabric.wwn = valueAt(reply, at, "WWN=", ">", WwnTextLength);
            fabric.actvZoneDb = valueAt(reply, at, "<ActiveZoneDB OID=", "</Fabric>",
                                        IdentifierLength);
            fabric.fullZoneDb = valueAt(reply, at, "<FullZoneDB OID=", "</Fabric>",
                                        IdentifierLength);
            switchIds = valuesAt(reply, at, "<Switch OID=", "</Fabric>");
        }
        fabric.numSwitches = static_cast<std::int32_t>(switchIds.size());
        if (switchIds.empty()) {
            log.write(1, "IN: getAllFabrics, Error> no switches found in fabric #%ld, OID=%s\n",
                      number, identifier.c_str());
            if (parameters.logLevel >= 1)
                console.print("IN: getAllFabrics, Error> no switches found in fabric #%ld, OID=%s",
                              number, identifier.c_str());
            return std::nullopt;
        }
        if (fabric.numSwitches >= parameters.MAX_N_SWITCHES - 1)
            parameters.MAX_N_SWITCHES = fabric.numSwitches + 2;

        int read = 0;
        fabric.switches = getSwitches(context, switchIds, read);
        if (read == 0) {
            log.write(1, "ERROR:<getAllFabs> couldn't get any switches for fabric # %ld, OID=%s\n",
                      number, identifier.c_str());
            if (interactive)
                console.print("ERROR:<getAllFabs> couldn't get switches for fabric #%ld %s",
                              number, identifier.c_str());
            return std::nullopt;
        }
        if (read < fabric.numSwitches) {
            log.write(1, "WARNING: only %ld switches were found of %ld switch OIDs listed\n",
                      static_cast<long>(read), static_cast<long>(fabric.numSwitches));
            if (interactive) {
                console.print("\n\n\nWARNING: only %ld switches were found of %ld switch OIDs "
                              "listed\n",
                              static_cast<long>(read), static_cast<long>(fabric.numSwitches));
                console.write("\n\n\n  Press Enter to continue > ");
                console.readLine(MaxLineLength);
            }
        }
        ++number;
    }
    log.write(3, "Number of switches (MAX_N_SWITCHES) is %d\n", parameters.MAX_N_SWITCHES);
    return fabrics;
}
