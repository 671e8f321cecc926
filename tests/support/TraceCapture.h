// Traces one logging category into a fresh temporary file for part of a
// test and hands back what was written; the file is removed either way.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "foundation/Logging.h"

class TraceCapture {
public:
    explicit TraceCapture(const char* category) : category_(category) {
        char path[] = "/tmp/orvane-trace-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0) {
            return;
        }
        close(fd);
        path_ = path;
        started_ = enableCategory(category_, path);
    }
    ~TraceCapture() {
        if (started_) {
            disableCategory(category_);
        }
        if (!path_.empty()) {
            std::remove(path_.c_str());
        }
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Whether the category is being traced into the file.
    bool started() const { return started_; }

    // Stops tracing and returns the whole trace.
    std::string finish() {
        if (started_) {
            disableCategory(category_);
            started_ = false;
        }
        std::ifstream file(path_);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

private:
    const char* category_;
    std::string path_;
    bool started_ = false;
};
