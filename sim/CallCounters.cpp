#include "sim/CallCounters.h"

void CallCounters::count(const std::string& address, std::uint32_t procedure,
                         std::optional<std::int32_t> code) {
    std::scoped_lock lock(mutex_);
    ++calls_[Key{address, procedure, code}];
}

void CallCounters::reset() {
    std::scoped_lock lock(mutex_);
    calls_.clear();
}

nlohmann::json CallCounters::toJson() const {
    std::scoped_lock lock(mutex_);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [key, calls] : calls_) {
        const auto& [address, procedure, code] = key;
        nlohmann::json entry = {{"address", address}, {"procedure", procedure}, {"calls", calls}};
        if (code) {
            entry["code"] = *code;
        }
        list.push_back(std::move(entry));
    }
    return list;
}
