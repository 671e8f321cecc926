#include "sim/ControlChannel.h"

#include <cerrno>
#include <sys/socket.h>

#include "sim/Socket.h"
#include "sim/SwitchEvents.h"
#include "sim/SwitchTransfers.h"

namespace {

// Longest request line accepted; a longer one ends the connection.
constexpr std::size_t kMaxLine = 1 << 20;

using nlohmann::json;

json failure(const std::string& error) {
    return {{"ok", false}, {"error", error}};
}

// The fabric file object of a fabric ("fabric": index) or of one of its
// switches ("switch": world wide name), with what the switch changed in it.
json sourceOf(const FabricModel& model, const json& request) {
    const auto& fabric = model.fabrics().at(request.at("fabric").get<std::size_t>());
    if (!request.contains("switch")) {
        return fabric.source;
    }
    const SwitchModel* sw = fabric.findSwitch(parseWwn(request.at("switch").get<std::string>()));
    if (sw == nullptr) {
        throw std::invalid_argument("no such switch");
    }
    return sw->source;
}

// Merges the fields into a switch's fabric file object; "firmware" also
// becomes the version it reports.
void setSwitchFields(FabricModel& model, const json& request) {
    SwitchModel* sw = model.anySwitch(parseWwn(request.at("switch").get<std::string>()));
    const json& fields = request.at("fields");
    if (sw == nullptr || !fields.is_object()) {
        throw std::invalid_argument(sw == nullptr ? "no such switch" : "fields must be an object");
    }
    for (const auto& [name, value] : fields.items()) {
        if (name == "firmware") {
            sw->firmware = value.is_null() ? std::nullopt
                                           : std::optional<std::string>(value.get<std::string>());
        }
        sw->source[name] = value;
    }
    model.forgetPortIndexes();
}

} // namespace

std::string ControlChannel::answer(const std::string& line) {
    const json request = json::parse(line, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        return failure("request is not a JSON object").dump();
    }
    const std::string op = request.value("op", "");
    json reply = {{"ok", true}};
    try {
        if (op == "ping") {
        } else if (op == "inject") {
            state_.faults.add(Fault::fromJson(request.value("fault", json())));
        } else if (op == "clearFaults") {
            state_.faults.clear();
            std::scoped_lock lock(state_.modelMutex);
            state_.model.rejoinDue(std::chrono::steady_clock::now(), true);
        } else if (op == "faults") {
            reply["faults"] = state_.faults.toJson();
        } else if (op == "counters") {
            reply["counters"] = state_.counters.toJson();
        } else if (op == "resetCounters") {
            state_.counters.reset();
        } else if (op == "state") {
            std::scoped_lock lock(state_.modelMutex);
            state_.model.rejoinDue(std::chrono::steady_clock::now());
            reply["state"] = state_.model.toJson();
        } else if (op == "zoning") {
            std::scoped_lock lock(state_.modelMutex);
            reply["zoning"] =
                state_.model.fabrics().at(request.at("fabric").get<std::size_t>()).zoning.toJson();
        } else if (op == "source") {
            std::scoped_lock lock(state_.modelMutex);
            reply["source"] = sourceOf(state_.model, request);
        } else if (op == "moveSwitch") {
            std::scoped_lock lock(state_.modelMutex);
            const auto to = request.contains("to")
                                ? std::optional<std::size_t>(request["to"].get<std::size_t>())
                                : std::nullopt;
            state_.model.moveSwitch(parseWwn(request.at("switch").get<std::string>()), to);
        } else if (op == "setSwitchFields") {
            std::scoped_lock lock(state_.modelMutex);
            setSwitchFields(state_.model, request);
        } else if (op == "setIsls") {
            // Replaces a fabric's inter-switch links: its topology pages
            // list the new ones from the next page read on.
            std::scoped_lock lock(state_.modelMutex);
            const json& isls = request.at("isls");
            if (!isls.is_array()) {
                throw std::invalid_argument("isls must be an array");
            }
            state_.model.fabrics().at(request.at("fabric").get<std::size_t>()).source["isls"] =
                isls;
        } else if (op == "editZoning") {
            std::scoped_lock lock(state_.modelMutex);
            reply["status"] = state_.model.fabrics()
                                  .at(request.at("fabric").get<std::size_t>())
                                  .zoning.controlEdit(request.at("edit"));
        } else if (SwitchEvents::instance().answer(op, request, reply)) {
        } else if (SwitchTransfers::instance().answer(op, request, reply)) {
        } else {
            reply = failure("unknown op \"" + op + "\"");
        }
    } catch (const std::exception& e) {
        reply = failure(e.what());
    }
    return reply.dump();
}

void ControlChannel::serve(int fd) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string reply = answer(pending.substr(0, end)) + "\n";
            pending.erase(0, end + 1);
            if (!sendAll(fd, reply)) {
                return;
            }
        }
        if (pending.size() > kMaxLine) {
            sendAll(fd, failure("request line too long").dump() + "\n");
            return;
        }
    }
}
