#include "foundation/InternalTiming.h"

InternalTiming& internalTiming() {
    static InternalTiming timing;
    return timing;
}
