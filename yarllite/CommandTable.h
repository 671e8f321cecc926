// The commands of the XML interface: for each command name its echo text,
// version block, fault form and handler.
#pragma once

#include <span>
#include <string_view>

#include "yarllite/CommandContext.h"
#include "yarllite/ReplyDocument.h"

// What the front end does around a command's handler.
enum class CommandKind {
    Handler,       // version block, handler, fault in the row's form
    CreateObject,  // handler; on success "<ObjectReference>identifier</ObjectReference>"
    AllInfo,       // handler writes every object; never a fault
    FaultResponse, // header and footer only
    Exit,          // no reply at all; the object store is emptied
    ResponseName,  // a reply's name sent back: header and footer only
};

struct CommandRow {
    const char* name;
    const char* echo; // the echo text: the name itself unless the row says otherwise
    VersionBlock version;
    FaultForm fault;
    CommandKind kind;
    // Null while the command's handler is not built: the command is then
    // answered as one that is not recognised.
    CommandHandler handler;

    // Whether the front end can run the command.
    bool isAvailable() const;
};

// Every command name the interface recognises.
std::span<const CommandRow> commandTable();
// The row of exactly that name (case-sensitive), or null.
const CommandRow* findCommand(std::string_view name);
