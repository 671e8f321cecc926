// Counts the calls of the management program per proxy address,
// procedure and request code.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include <nlohmann/json.hpp>

class CallCounters {
public:
    void count(const std::string& address, std::uint32_t procedure,
               std::optional<std::int32_t> code);
    void reset();
    // [{"address": ..., "procedure": ..., "code": ... (when the procedure has
    // one), "calls": n}, ...]
    nlohmann::json toJson() const;

private:
    using Key = std::tuple<std::string, std::uint32_t, std::optional<std::int32_t>>;

    mutable std::mutex mutex_;
    std::map<Key, std::uint64_t> calls_;
};
