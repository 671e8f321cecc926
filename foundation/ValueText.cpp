#include "foundation/ValueText.h"

#include <cstdio>

QuillonString intToString(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    return QuillonString(text);
}

QuillonString boolToString(int flag) {
    return QuillonString((flag & 0xFF) == 1 ? "true" : "false");
}
