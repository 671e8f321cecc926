// The element class of zone set objects (type 11).
#pragma once

#include "objects/SanElement.h"

class ZoneSet : public LogSanElement {};
