/* The XML command interface: a <YarlRequest> document in, a <YarlResponse>
 * document out.
 *
 * Call initializeCommand once before the first command. One command runs at
 * a time in the process; processCommand may be called from any thread.
 * Every form returns true when the command succeeded: its reply then holds
 * no Fault, except for a command name that is not recognised, which answers
 * a Fault with -3 and returns true, "GetAllObjects" with nothing to list
 * (no fabric has a session), which answers a Fault with 0 and no Objects,
 * and "GetLegalRouteTableEntries" with no entry found (also when the export
 * failed), which answers "<Fault>No entry found</Fault>" alone. A failure of
 * "ZoningObjectNameExists" reads as "<ObjectExists>No</ObjectExists>": that
 * command always succeeds. "Exit" closes every open session, empties the
 * object store, answers an empty reply and returns false. Every reply is a
 * well-formed XML 1.0 document: a control character that XML cannot hold,
 * even as a reference, is written as '?'. */
#ifndef ORVANE_XMLCOMMAND_H
#define ORVANE_XMLCOMMAND_H

#include "orvane/orvane_export.h"

#ifndef __cplusplus
#include <stdbool.h>
#endif

ORVANE_BEGIN_DECLS

/* Readies the XML parser; false, with a message on standard error, when it
 * cannot start. */
ORVANE_EXPORT bool initializeCommand(void);

/* Runs the command in the NUL-terminated request (a null request is read
 * as an empty one) and stores in *reply a block holding the reply text and
 * its NUL, which the caller frees with falFreeObject (orvane/objects.h). A
 * block is handed out after every command, an empty text for "Exit". When
 * that block cannot be allocated, *reply is null and the result false; with
 * a null reply pointer nothing runs and the result is false. */
ORVANE_EXPORT bool processCommand(const char* request, void** reply);

ORVANE_END_DECLS

#ifdef __cplusplus
#include <string>

/* Runs the command in the request and appends the reply document to
 * `reply`. */
ORVANE_EXPORT bool processCommand(const std::string& request, std::string& reply);
/* As the C form, with the request as a standard string and the block as a
 * character pointer. */
ORVANE_EXPORT bool processCommand(const std::string& request, char** reply);
#endif

#endif
