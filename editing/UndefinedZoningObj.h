// The element class of undefined zoning objects (type -5).
#pragma once

#include "objects/SanElement.h"

class UndefinedZoningObj : public LogSanElement {};
