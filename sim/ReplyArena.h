// Keeps the storage that a reply record points into (texts, arrays) alive
// until the reply has been encoded.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class ReplyArena {
public:
    // A NUL-terminated copy of `text` for a string field.
    char* text(const std::string& value) {
        texts_.push_back(value);
        return texts_.back().data();
    }

    // `count` zero-filled elements for a variable array field.
    template <typename T> T* array(std::size_t count) {
        auto block = std::make_shared<std::vector<T>>(count);
        T* data = block->data();
        blocks_.push_back(std::move(block));
        return data;
    }

private:
    std::deque<std::string> texts_;
    std::vector<std::shared_ptr<void>> blocks_;
};

// Copies `value` into a fixed char field of `N` bytes, cut to fit and
// NUL-terminated.
template <std::size_t N> void copyFixedText(char (&field)[N], const std::string& value) {
    const std::size_t length = value.size() < N - 1 ? value.size() : N - 1;
    std::memcpy(field, value.data(), length);
    std::memset(field + length, 0, N - length);
}

// Copies `value` into a fixed char field of `N` bytes as a switch fills it:
// up to N characters, without a NUL when the text fills the field.
template <std::size_t N> void copyWholeFixedText(char (&field)[N], const std::string& value) {
    const std::size_t length = value.size() < N ? value.size() : N;
    std::memcpy(field, value.data(), length);
    std::memset(field + length, 0, N - length);
}
