// What the steps of the fabric road share: the configuration record, the
// console and the way to the library.
#pragma once

class CommandChannel;
class Console;
struct SystemParameters;

struct ToolContext {
    SystemParameters& parameters;
    Console& console;
    CommandChannel& channel;
};
