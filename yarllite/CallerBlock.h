// Ownership of a block that an exported function handed out: the handlers
// free every such block with falFreeObject, also when they fail halfway.
#pragma once

#include <memory>

#include <orvane/objects.h>

struct CallerBlockFree {
    void operator()(const void* block) const { falFreeObject(block); }
};

template <class Block> using CallerBlock = std::unique_ptr<Block, CallerBlockFree>;
