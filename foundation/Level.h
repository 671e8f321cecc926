// A logging level: a name and a value. A record passes a threshold when its
// level value is at most the threshold's value.
#pragma once

#include "foundation/QuillonString.h"

class Level {
public:
    Level(const QuillonString& name, int value);
    virtual ~Level() = default;
    Level(const Level&) = default;
    Level& operator=(const Level&) = default;

    const QuillonString& getName() const { return name_; }
    int getValue() const { return value_; }

    // The eight process-wide levels, made on first use.
    static const Level& all();     // "ALL" 0xFFFF
    static const Level& severe();  // "SEVERE" 64
    static const Level& warning(); // "WARNING" 32
    static const Level& info();    // "INFO" 16
    static const Level& config();  // "CONFIG" 8
    static const Level& fine();    // "FINE" 4
    static const Level& finer();   // "FINER" 2
    static const Level& finest();  // "FINEST" 1

private:
    QuillonString name_;
    int value_;
};
