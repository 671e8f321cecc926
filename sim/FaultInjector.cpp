#include "sim/FaultInjector.h"

#include <cctype>
#include <stdexcept>

#include "sim/FabricModel.h"

namespace {

struct KindName {
    FaultKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {FaultKind::Status, "status"},       {FaultKind::Delay, "delay"},
    {FaultKind::NoReply, "noReply"},     {FaultKind::Close, "close"},
    {FaultKind::Malformed, "malformed"}, {FaultKind::LeaveJoin, "leaveJoin"},
    {FaultKind::Bytes, "bytes"},
};

// The bytes of a hexadecimal text; blanks between digits are ignored.
std::vector<char> hexBytes(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            throw std::invalid_argument("fault: \"replyHex\" holds a character that is no digit");
        }
        digits += c;
    }
    if (digits.size() % 2 != 0) {
        throw std::invalid_argument("fault: \"replyHex\" holds an odd number of digits");
    }
    std::vector<char> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

template <typename T>
std::optional<T> optionalInteger(const nlohmann::json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return std::nullopt;
    }
    if (!it->is_number_integer()) {
        throw std::invalid_argument(std::string("fault: \"") + key + "\" must be an integer");
    }
    return it->get<T>();
}

} // namespace

Fault Fault::fromJson(const nlohmann::json& description) {
    if (!description.is_object()) {
        throw std::invalid_argument("fault: must be an object");
    }
    Fault fault;
    if (auto it = description.find("address"); it != description.end() && !it->is_null()) {
        if (!it->is_string()) {
            throw std::invalid_argument("fault: \"address\" must be a text");
        }
        fault.address = it->get<std::string>();
    }
    fault.procedure = optionalInteger<std::uint32_t>(description, "procedure");
    fault.code = optionalInteger<std::int32_t>(description, "code");
    const std::string kind = description.value("kind", "");
    bool known = false;
    for (const auto& entry : kKindNames) {
        if (kind == entry.name) {
            fault.kind = entry.kind;
            known = true;
        }
    }
    if (!known) {
        throw std::invalid_argument("fault: unknown kind \"" + kind + "\"");
    }
    fault.status = optionalInteger<std::int32_t>(description, "status").value_or(-1);
    const auto delay = optionalInteger<std::int64_t>(description, "delayMs").value_or(0);
    if (delay < 0 || delay > 3'600'000) {
        throw std::invalid_argument("fault: \"delayMs\" out of range");
    }
    fault.delay = std::chrono::milliseconds(delay);
    const auto count = optionalInteger<int>(description, "count");
    if (count && *count < 1) {
        throw std::invalid_argument("fault: \"count\" must be at least 1");
    }
    fault.remaining = count.value_or(-1);
    if (auto it = description.find("switch"); it != description.end() && !it->is_null()) {
        if (!it->is_string()) {
            throw std::invalid_argument("fault: \"switch\" must be a text");
        }
        fault.leavingSwitch = formatWwn(parseWwn(it->get<std::string>()));
    }
    const auto absence = optionalInteger<std::int64_t>(description, "absentMs").value_or(1000);
    if (absence < 0 || absence > 3'600'000) {
        throw std::invalid_argument("fault: \"absentMs\" out of range");
    }
    fault.absence = std::chrono::milliseconds(absence);
    if (fault.kind == FaultKind::Bytes) {
        const auto it = description.find("replyHex");
        if (it == description.end() || !it->is_string()) {
            throw std::invalid_argument("fault: \"bytes\" needs a \"replyHex\" text");
        }
        fault.replyBytes = hexBytes(it->get<std::string>());
    }
    return fault;
}

nlohmann::json Fault::toJson() const {
    nlohmann::json out = {{"status", status}, {"delayMs", delay.count()}};
    for (const auto& entry : kKindNames) {
        if (entry.kind == kind) {
            out["kind"] = entry.name;
        }
    }
    if (!address.empty()) {
        out["address"] = address;
    }
    if (procedure) {
        out["procedure"] = *procedure;
    }
    if (code) {
        out["code"] = *code;
    }
    if (remaining >= 0) {
        out["count"] = remaining;
    }
    if (kind == FaultKind::LeaveJoin) {
        out["absentMs"] = absence.count();
        if (!leavingSwitch.empty()) {
            out["switch"] = leavingSwitch;
        }
    }
    return out;
}

void FaultInjector::add(Fault fault) {
    std::scoped_lock lock(mutex_);
    faults_.push_back(std::move(fault));
}

void FaultInjector::clear() {
    std::scoped_lock lock(mutex_);
    faults_.clear();
}

std::optional<Fault> FaultInjector::take(const std::string& address, std::uint32_t procedure,
                                         std::optional<std::int32_t> code) {
    std::scoped_lock lock(mutex_);
    auto best = faults_.end();
    int bestScore = -1;
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        const bool matches = (it->address.empty() || it->address == address) &&
                             (!it->procedure || *it->procedure == procedure) &&
                             (!it->code || it->code == code);
        if (!matches) {
            continue;
        }
        const int score =
            (it->address.empty() ? 0 : 4) + (it->procedure ? 2 : 0) + (it->code ? 1 : 0);
        if (score > bestScore) {
            best = it;
            bestScore = score;
        }
    }
    if (best == faults_.end()) {
        return std::nullopt;
    }
    Fault fired = *best;
    if (best->remaining > 0 && --best->remaining == 0) {
        faults_.erase(best);
    }
    return fired;
}

nlohmann::json FaultInjector::toJson() const {
    std::scoped_lock lock(mutex_);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& fault : faults_) {
        list.push_back(fault.toJson());
    }
    return list;
}
