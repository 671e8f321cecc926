#include "sim/SwitchEvents.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using nlohmann::json;

constexpr int kConnectTimeoutMs = 2000;

// A TCP connection from `from` (a loopback address) to address:port, or an
// empty Fd with `message` set.
Fd connectListener(const std::string& from, std::uint32_t address, std::uint16_t port,
                   std::string& message) {
    if ((address >> 24) != 127) {
        message = "listener address " + formatIPv4(address) + " is not on loopback";
        return {};
    }
    Fd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) {
        message = "no socket";
        return {};
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (inet_pton(AF_INET, from.c_str(), &local.sin_addr) == 1) {
        // The listener sees the switch connect from the switch's own address.
        bind(fd.get(), reinterpret_cast<sockaddr*>(&local), sizeof local);
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(address);
    remote.sin_port = htons(port);
    int result = connect(fd.get(), reinterpret_cast<sockaddr*>(&remote), sizeof remote);
    if (result != 0 && errno == EINPROGRESS) {
        pollfd wait{fd.get(), POLLOUT, 0};
        int error = ETIMEDOUT;
        socklen_t length = sizeof error;
        if (poll(&wait, 1, kConnectTimeoutMs) == 1)
            getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length);
        result = error == 0 ? 0 : -1;
    }
    if (result != 0) {
        message =
            "cannot connect to the listener " + formatIPv4(address) + ":" + std::to_string(port);
        return {};
    }
    // Writes block again, bounded, so a listener that reads nothing cannot
    // hold the simulator.
    fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    timeval bound{2, 0};
    setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    return fd;
}

std::string fromHex(const std::string& hex) {
    if (hex.size() % 2 != 0)
        throw std::runtime_error("hex text of odd length");
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

} // namespace

std::string formatIPv4(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

SwitchEvents& SwitchEvents::instance() {
    static SwitchEvents events;
    return events;
}

int SwitchEvents::registerListener(const std::string& proxyAddress, std::uint32_t address,
                                   std::uint16_t port, int flags, const Wwn& fabric,
                                   const Wwn& proxy, std::string& message) {
    Fd connection = connectListener(proxyAddress, address, port, message);
    if (!connection)
        return -1;
    std::scoped_lock lock(mutex_);
    if (!beater_.joinable())
        beater_ = std::thread([this] { beatLoop(); });
    const long long beatMs = flags > 0 ? 1000LL * flags : 0;
    const auto firstBeat = std::chrono::steady_clock::now() + std::chrono::milliseconds(beatMs);
    for (auto& listener : listeners_) {
        if (listener.proxy == proxyAddress && listener.address == address &&
            listener.port == port) {
            listener.flags = flags;
            listener.connection = std::move(connection);
            listener.fabricWwn = fabric;
            listener.proxyWwn = proxy;
            listener.beatMs = beatMs;
            listener.nextBeat = firstBeat;
            beatChanged_.notify_all();
            return 0;
        }
    }
    listeners_.push_back(
        {proxyAddress, address, port, flags, std::move(connection), fabric, proxy, beatMs, firstBeat});
    beatChanged_.notify_all();
    return 0;
}

SwitchEvents::~SwitchEvents() {
    {
        std::scoped_lock lock(mutex_);
        stopping_ = true;
        beatChanged_.notify_all();
    }
    if (beater_.joinable())
        beater_.join();
}

void SwitchEvents::beatLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        auto wake = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        const auto now = std::chrono::steady_clock::now();
        for (auto& listener : listeners_) {
            if (listener.beatMs <= 0 || !listener.connection)
                continue;
            if (listener.nextBeat <= now) {
                const std::string line =
                    eventLine({{"type", 129}}, listener.fabricWwn, listener.proxyWwn);
                if (!sendAll(listener.connection.get(), line))
                    listener.connection = Fd();
                listener.nextBeat = now + std::chrono::milliseconds(listener.beatMs);
            }
            wake = std::min(wake, listener.nextBeat);
        }
        beatChanged_.wait_until(lock, wake);
    }
}

int SwitchEvents::setHeartbeats(const nlohmann::json& request) {
    const std::string proxy = request.at("address").get<std::string>();
    const long long periodMs = request.at("periodMs").get<long long>();
    std::scoped_lock lock(mutex_);
    int served = 0;
    for (auto& listener : listeners_) {
        if (listener.proxy != proxy)
            continue;
        ++served;
        listener.beatMs = periodMs;
        listener.nextBeat = std::chrono::steady_clock::now() + std::chrono::milliseconds(periodMs);
    }
    if (served == 0)
        throw std::runtime_error("no listener of " + proxy);
    beatChanged_.notify_all();
    return served;
}

namespace {

void appendWwn(std::string& line, const Wwn& wwn) {
    for (std::uint8_t byte : wwn)
        line += ":" + std::to_string(byte);
}

Wwn wwnField(const nlohmann::json& event, const char* name, const Wwn& fallback) {
    return event.contains(name) ? parseWwn(event[name].get<std::string>()) : fallback;
}

} // namespace

std::string SwitchEvents::eventLine(const nlohmann::json& event, const Wwn& fabric,
                                    const Wwn& proxy) {
    const unsigned type = event.at("type").get<unsigned>();
    const Wwn sw = wwnField(event, "switch", proxy);
    // The time as the listener reads it: the third field minus the second.
    std::string line = std::to_string(type) + ":0:" + std::to_string(event.value("time", 0LL));
    appendWwn(line, fabric);
    auto number = [&](const char* name) { return ":" + std::to_string(event.value(name, 0LL)); };
    if (type <= 31) {
        line += number("class") + number("area") + number("index") + ":0:0";
        appendWwn(line, sw);
        line += number("state") + number("value") + ":0:0";
    } else if (type <= 63) {
        appendWwn(line, sw);
        line += ":" + event.value("text", std::string());
    } else if (type <= 95) {
        line += number("port") + ":0";
        appendWwn(line, wwnField(event, "wwn", sw));
    } else if (type <= 127) {
        const nlohmann::json names = event.value("names", nlohmann::json::array());
        line += ":" + std::to_string(names.size());
        for (const auto& name : names)
            appendWwn(line, parseWwn(name.get<std::string>()));
    } else if (type <= 191) {
        appendWwn(line, sw);
        line += number("status");
    } else {
        line += ":0"; // types without fields of their own still end the common part
    }
    return line + "\n";
}

int SwitchEvents::deregisterListener(const std::string& proxyAddress, std::uint32_t address,
                                     std::uint16_t port) {
    std::scoped_lock lock(mutex_);
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if (it->proxy == proxyAddress && it->address == address && it->port == port) {
            listeners_.erase(it);
            return 0;
        }
    }
    return -1;
}

int SwitchEvents::registerThrex(const std::string& proxyAddress, const Wwn& sw,
                                std::uint32_t address, std::uint16_t port) {
    std::scoped_lock lock(mutex_);
    for (auto& entry : threx_) {
        if (entry.proxy == proxyAddress && entry.sw == sw) {
            entry.address = address;
            entry.port = port;
            return 0;
        }
    }
    threx_.push_back({proxyAddress, sw, address, port});
    return 0;
}

int SwitchEvents::deregisterThrex(const std::string& proxyAddress, const Wwn& sw) {
    std::scoped_lock lock(mutex_);
    for (auto it = threx_.begin(); it != threx_.end(); ++it) {
        if (it->proxy == proxyAddress && it->sw == sw) {
            threx_.erase(it);
            return 0;
        }
    }
    return -1;
}

nlohmann::json SwitchEvents::toJson() {
    std::scoped_lock lock(mutex_);
    json listeners = json::array();
    for (const auto& listener : listeners_) {
        listeners.push_back({{"address", listener.proxy},
                             {"listener", formatIPv4(listener.address)},
                             {"port", listener.port},
                             {"flags", listener.flags},
                             {"connected", static_cast<bool>(listener.connection)}});
    }
    json threx = json::array();
    for (const auto& entry : threx_) {
        threx.push_back({{"address", entry.proxy},
                         {"switch", formatWwn(entry.sw)},
                         {"listener", formatIPv4(entry.address)},
                         {"port", entry.port}});
    }
    return {{"listeners", listeners}, {"threx", threx}};
}

int SwitchEvents::send(const nlohmann::json& request, std::vector<long long>* sentNs) {
    const std::string proxy = request.at("address").get<std::string>();
    const int port = request.value("port", -1);
    std::string bytes;
    if (request.contains("text"))
        bytes = request["text"].get<std::string>();
    else if (request.contains("hex"))
        bytes = fromHex(request["hex"].get<std::string>());
    else if (request.contains("overlong"))
        bytes = std::string(request["overlong"].get<std::size_t>(), '9') + "\n";
    const bool close = request.value("close", false);
    const bool built = request.contains("event");
    const std::size_t count = request.value("count", std::size_t{1});
    const bool timed = built && sentNs != nullptr && request.value("sendTimes", false);

    std::scoped_lock lock(mutex_);
    int served = 0;
    for (auto& listener : listeners_) {
        if (listener.proxy != proxy || !listener.connection || (port >= 0 && listener.port != port))
            continue;
        ++served;
        if (built && !timed) {
            const std::string line =
                eventLine(request["event"], listener.fabricWwn, listener.proxyWwn);
            bytes.clear();
            bytes.reserve(line.size() * count);
            for (std::size_t i = 0; i < count; ++i)
                bytes += line;
        }
        if (timed) {
            // One write per line, each stamped just before it is written.
            const std::string line =
                eventLine(request["event"], listener.fabricWwn, listener.proxyWwn);
            const bool first = served == 1;
            if (first)
                sentNs->reserve(count);
            for (std::size_t i = 0; i < count; ++i) {
                if (first)
                    sentNs->push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
                if (!sendAll(listener.connection.get(), line)) {
                    listener.connection = Fd();
                    break;
                }
            }
            continue;
        }
        if (close) {
            listener.connection = Fd();
        } else if (!sendAll(listener.connection.get(), bytes)) {
            listener.connection = Fd(); // the listener went away
        }
    }
    if (served == 0)
        throw std::runtime_error("no event connection of " + proxy);
    return served;
}

bool SwitchEvents::answer(const std::string& op, const nlohmann::json& request,
                          nlohmann::json& reply) {
    if (op == "eventRegistrations") {
        const json state = toJson();
        reply["listeners"] = state["listeners"];
        reply["threx"] = state["threx"];
        return true;
    }
    if (op == "sendEvent") {
        std::vector<long long> sentNs;
        reply["connections"] = send(request, &sentNs);
        if (request.value("sendTimes", false))
            reply["sentNs"] = sentNs;
        return true;
    }
    if (op == "heartbeats") {
        reply["connections"] = setHeartbeats(request);
        return true;
    }
    return false;
}
