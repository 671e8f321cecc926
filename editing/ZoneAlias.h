// The element class of zone alias objects (type 20).
#pragma once

#include "objects/SanElement.h"

class ZoneAlias : public LogSanElement {};
