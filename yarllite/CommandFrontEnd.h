// The front end of the XML command interface: one command from request
// text to reply text, under the XML command lock.
#pragma once

#include <string>

// Parses the request, runs the command its MsgType names and appends the
// reply document to `reply`. True when the command succeeded (see
// orvane/xmlcommand.h). Never throws: should the command fail inside, the
// result is false and `reply` is left as it was.
bool runCommand(const std::string& request, std::string& reply) noexcept;
