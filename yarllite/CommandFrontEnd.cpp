#include "yarllite/CommandFrontEnd.h"

#include <cstring>
#include <string_view>

#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/XmlEscape.h"
#include "yarllite/CommandTable.h"
#include "yarllite/ExitCommand.h"
#include "yarllite/ReplyDocument.h"
#include "yarllite/RequestHead.h"
#include "yarllite/RequestParser.h"
#include "yarllite/SecretMask.h"
#include "yarllite/StoredObjectXml.h"
#include "yarllite/XmlPlatform.h"

namespace {

constexpr char kMethod[] = "processCommand";
constexpr char kSource[] = "yarldxml";

void writeDocumentError(std::string& reply, std::string_view detail) {
    writeResponseHeader(reply, "DocumentError");
    appendDocumentFault(reply, detail);
    writeResponseFooter(reply);
}

void writeUnknownCommand(std::string& reply, std::string_view echo) {
    writeResponseHeader(reply, echo);
    appendUnknownCommandFault(reply);
    writeResponseFooter(reply);
}

// Runs the row's handler between header and footer; the command result.
int runRow(const CommandRow& row, CommandContext& context) {
    std::string& reply = context.reply;
    writeResponseHeader(reply, row.echo);
    int result = 0;
    switch (row.kind) {
    case CommandKind::Handler:
        writeVersionBlock(reply, row.version, context.attributeEncoding);
        result = row.handler(context);
        appendFaultForm(reply, row.fault, result);
        break;
    case CommandKind::CreateObject:
        writeVersionBlock(reply, row.version, context.attributeEncoding);
        result = row.handler(context);
        if (result == 0) {
            reply += "<ObjectReference>";
            appendEscaped(reply, std::string_view(context.newObject,
                                                  strnlen(context.newObject, sizeof(OID_t))));
            reply += "</ObjectReference>";
        } else {
            appendFaultForm(reply, row.fault, result);
        }
        break;
    case CommandKind::AllInfo:
        row.handler(context); // lists what it can; never a fault
        break;
    case CommandKind::FaultResponse:
    case CommandKind::ResponseName:
    case CommandKind::Exit:
        break;
    }
    writeResponseFooter(reply);
    return result;
}

// Everything of a command after the lock is taken; the reply goes to `reply`.
bool runLocked(const std::string& request, std::string& reply) {
    const std::size_t start = request.find("<?xml");
    if (start == std::string::npos) {
        writeUnknownCommand(reply, "DocumentError(missing XML header)");
        return false;
    }
    std::string failure;
    if (!readyXmlPlatform(failure)) {
        writeDocumentError(reply, failure + "\n");
        return false;
    }
    installStoredObjectXmlWriter(); // object listings write through it
    RequestParser parser;
    const bool validate = request.find("<!DOCTYPE") != std::string::npos;
    if (!parser.parse(std::string_view(request).substr(start), validate)) {
        // The parser's message may quote the request: no secret goes out.
        writeDocumentError(reply, SecretMask(request).redact(parser.errorText()));
        return false;
    }
    const RequestHead head = RequestHead::read(parser.root());
    const CommandRow* row = findCommand(head.command);
    if (row != nullptr && row->kind == CommandKind::Exit) {
        exitCommand();
        return false;
    }
    int result = 0;
    if (row == nullptr || !row->isAvailable()) {
        writeUnknownCommand(reply, "Incorrect XML Command");
    } else {
        CommandContext context{parser.root(), reply, head.attributeEncoding, head.dictionary};
        result = runRow(*row, context);
    }
    traceRecord(Vosk_API_XML, "Exiting ", kMethod, "", kSource, __LINE__);
    return result == 0;
}

} // namespace

bool runCommand(const std::string& request, std::string& reply) noexcept {
    try {
        traceRecord(Vosk_API_XML, "Entering ", kMethod, "", kSource, __LINE__);
        if (isCategoryEnabled(Vosk_API_XML)) {
            traceRecord(Vosk_API_XML, "input string :", kMethod,
                        SecretMask(request).masked().c_str(), kSource, __LINE__);
        }
        LockGuard commandLock(getCommandMutex());
        std::string answer;
        const bool succeeded = runLocked(request, answer);
        reply += answer;
        return succeeded;
    } catch (...) {
        return false;
    }
}
