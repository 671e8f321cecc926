// Blocks for the object records handed to callers.
#pragma once

#include <cstddef>

#include "orvane/objects.h"

// A zero-filled block of `size` bytes from the caller-block registry, which
// the caller releases with falFreeObject; null when the memory cannot be had.
void* falAllocObject(size_t size);
