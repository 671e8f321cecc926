// The thread that runs a walk of the object queries, from its beginning to
// its end. What a subsystem keeps for one walk serves that thread alone:
// the walk holds the object-model lock throughout, so no other thread's
// reads overlap it.
#pragma once

#include <optional>
#include <thread>

class WalkingThread {
public:
    void begin() { walker_ = std::this_thread::get_id(); }
    // True when the calling thread was the walker, whose walk now ends.
    bool end() {
        if (!here()) {
            return false;
        }
        walker_.reset();
        return true;
    }
    bool here() const { return walker_ == std::this_thread::get_id(); }

private:
    std::optional<std::thread::id> walker_;
};
