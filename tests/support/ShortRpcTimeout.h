// Shortens the RPC call time-out for the life of one test.
#pragma once

#include <chrono>

#include "foundation/InternalTiming.h"

class ShortRpcTimeout {
public:
    explicit ShortRpcTimeout(std::chrono::milliseconds timeout)
        : saved_(internalTiming().rpcCallTimeout) {
        internalTiming().rpcCallTimeout = timeout;
    }
    ~ShortRpcTimeout() { internalTiming().rpcCallTimeout = saved_; }

    ShortRpcTimeout(const ShortRpcTimeout&) = delete;
    ShortRpcTimeout& operator=(const ShortRpcTimeout&) = delete;

private:
    std::chrono::milliseconds saved_;
};
