// The element class of zone objects (type 10).
#pragma once

#include "objects/SanElement.h"

class Zone : public LogSanElement {};
