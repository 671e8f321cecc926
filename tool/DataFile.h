// Writing a task's data file whole, replacing any file of that name.
#pragma once

#include <cstdio>
#include <string>

// True when every byte of `text` reached the file `name` and it closed.
inline bool writeDataFile(const char* name, const std::string& text) {
    std::FILE* file = std::fopen(name, "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
