// The element class of zone member objects (type 22).
#pragma once

#include "objects/SanElement.h"

class ZoneMember : public LogSanElement {};
