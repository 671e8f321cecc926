#include "foundation/Level.h"

Level::Level(const QuillonString& name, int value) : name_(name), value_(value) {}

// Never destroyed, so records made during process exit still find them.
#define ORVANE_DEFINE_LEVEL(accessor, name, value)                                                 \
    const Level& Level::accessor() {                                                               \
        static const Level* const level = new Level(QuillonString(name), value);                   \
        return *level;                                                                             \
    }

ORVANE_DEFINE_LEVEL(all, "ALL", 0xFFFF)
ORVANE_DEFINE_LEVEL(severe, "SEVERE", 64)
ORVANE_DEFINE_LEVEL(warning, "WARNING", 32)
ORVANE_DEFINE_LEVEL(info, "INFO", 16)
ORVANE_DEFINE_LEVEL(config, "CONFIG", 8)
ORVANE_DEFINE_LEVEL(fine, "FINE", 4)
ORVANE_DEFINE_LEVEL(finer, "FINER", 2)
ORVANE_DEFINE_LEVEL(finest, "FINEST", 1)

#undef ORVANE_DEFINE_LEVEL
