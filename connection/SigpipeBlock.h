// Keeps SIGPIPE from the calling thread for the life of the object.
//
// A write on a connection that the peer has reset raises SIGPIPE, whose
// default action ends the process. While the object lives the signal is
// blocked on this thread; on destruction a SIGPIPE that became pending
// meanwhile is discarded and the previous signal mask comes back.
#pragma once

#include <csignal>

class SigpipeBlock {
public:
    SigpipeBlock();
    ~SigpipeBlock();

    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;

private:
    sigset_t previousMask_;
    // A SIGPIPE pending before the block belongs to someone else: keep it.
    bool pendingBefore_ = false;
};
