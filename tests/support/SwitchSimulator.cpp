#include "tests/support/SwitchSimulator.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr auto kReadyBound = std::chrono::seconds(20);
constexpr auto kRequestBound = std::chrono::seconds(10);
constexpr auto kStopBound = std::chrono::milliseconds(10000);
constexpr int kStartAttempts = 4;
// switchsim's exit status when an address could not be bound.
constexpr int kBindFailed = 3;

// The index n of a placeholder text "@n".
std::optional<std::size_t> placeholderIndex(const std::string& text) {
    if (text.size() < 2 || text[0] != '@' || text.size() > 6) {
        return std::nullopt;
    }
    std::size_t index = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        index = index * 10 + static_cast<std::size_t>(text[i] - '0');
    }
    return index;
}

std::size_t placeholderCount(const json& value) {
    std::size_t count = 0;
    if (value.is_string()) {
        if (auto index = placeholderIndex(value.get<std::string>())) {
            count = *index + 1;
        }
    } else if (value.is_structured()) {
        for (const auto& child : value) {
            count = std::max(count, placeholderCount(child));
        }
    }
    return count;
}

void substitute(json& value, const std::vector<std::string>& addresses) {
    if (value.is_string()) {
        if (auto index = placeholderIndex(value.get<std::string>())) {
            value = addresses.at(*index);
        }
    } else if (value.is_structured()) {
        for (auto& child : value) {
            substitute(child, addresses);
        }
    }
}

bool canBind(const std::string& address, std::uint16_t port, int type) {
    const int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    close(fd);
    return ok;
}

// Distinct 127.x.y.z addresses, x from 64 to 250, free on ports 80 and 111.
std::vector<std::string> pickAddresses(std::size_t count) {
    static std::mutex mutex;
    static std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    std::scoped_lock lock(mutex);
    std::vector<std::string> picked;
    for (int tries = 0; picked.size() < count; ++tries) {
        if (tries > 1000) {
            throw std::runtime_error("no unused loopback address found");
        }
        const std::string address = "127." + std::to_string(64 + random() % 187) + "." +
                                    std::to_string(random() % 256) + "." +
                                    std::to_string(1 + random() % 254);
        if (std::find(picked.begin(), picked.end(), address) == picked.end() &&
            canBind(address, 111, SOCK_STREAM) && canBind(address, 111, SOCK_DGRAM) &&
            canBind(address, 80, SOCK_STREAM)) {
            picked.push_back(address);
        }
    }
    return picked;
}

std::string writeFabricFile(const json& document) {
    char path[] = "/tmp/switchsim-fabric-XXXXXX.json";
    const int fd = mkstemps(path, 5);
    if (fd < 0) {
        throw std::runtime_error("cannot create a fabric file");
    }
    const std::string text = document.dump(2);
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!ok) {
        unlink(path);
        throw std::runtime_error("cannot write the fabric file");
    }
    return path;
}

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads one line from `fd` into `pending`; throws at the deadline or end.
std::string readLineFrom(int fd, std::string& pending, Clock::time_point deadline,
                         const char* what) {
    for (;;) {
        if (auto end = pending.find('\n'); end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        pollfd watched{fd, POLLIN, 0};
        const int ready = poll(&watched, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            throw std::runtime_error(std::string("switchsim: no answer in time from ") + what);
        }
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            throw std::runtime_error(std::string("switchsim: ") + what + " closed");
        }
        pending.append(buffer, static_cast<std::size_t>(got));
    }
}

void closeFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

} // namespace

SwitchSimulator::SwitchSimulator(json fabric) {
    std::string failure;
    try {
        for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
            if (start(fabric, failure)) {
                return;
            }
        }
        failure =
            "no free addresses after " + std::to_string(kStartAttempts) + " attempts: " + failure;
    } catch (const std::exception& e) {
        failure = e.what();
    }
    // The destructor does not run for a constructor that throws.
    stop();
    if (!fabricFile_.empty()) {
        unlink(fabricFile_.c_str());
    }
    throw std::runtime_error("switchsim did not start: " + failure);
}

SwitchSimulator::~SwitchSimulator() {
    stop();
    if (!fabricFile_.empty()) {
        unlink(fabricFile_.c_str());
    }
}

json SwitchSimulator::generatedFabrics(int fabrics, int switchesPerFabric,
                                       const std::string& firmware) {
    json addresses = json::array();
    for (int f = 0; f < fabrics; ++f) {
        addresses.push_back(std::string("@").append(std::to_string(f)));
    }
    return {{"generate",
             {{"fabrics", fabrics},
              {"switchesPerFabric", switchesPerFabric},
              {"firmware", firmware},
              {"addresses", addresses},
              {"users", json::array({{{"name", "admin"}, {"password", "password"}}})}}}};
}

// One start attempt; false (with the reason) when the addresses picked
// could not be bound, so that the caller tries others.
bool SwitchSimulator::start(const json& fabric, std::string& failure) {
    stop();
    if (!fabricFile_.empty()) {
        unlink(fabricFile_.c_str());
        fabricFile_.clear();
    }
    addresses_ = pickAddresses(placeholderCount(fabric));
    json document = fabric;
    substitute(document, addresses_);
    fabricFile_ = writeFabricFile(document);

    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        throw std::runtime_error("switchsim: pipe failed");
    }
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        throw std::runtime_error("switchsim: pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::string program = SWITCHSIM_PATH;
    char* argv[] = {program.data(), fabricFile_.data(), nullptr};
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    stdinFd_ = toChild[1];
    stdoutFd_ = fromChild[0];
    if (spawned != 0) {
        pid_ = -1;
        closeFd(stdinFd_);
        closeFd(stdoutFd_);
        throw std::runtime_error("cannot run " + program + ": " + std::strerror(spawned));
    }
    exitStatus_.reset();
    stdoutPending_.clear();

    try {
        readAnnouncements();
        return true;
    } catch (const std::runtime_error& e) {
        failure = e.what();
    }
    const auto status = waitForExit(std::chrono::milliseconds(2000));
    if (status && WIFEXITED(*status) && WEXITSTATUS(*status) == kBindFailed) {
        return false;
    }
    stop();
    throw std::runtime_error(failure);
}

void SwitchSimulator::readAnnouncements() {
    const auto deadline = Clock::now() + kReadyBound;
    managementPorts_.clear();
    for (;;) {
        const std::string line = readLineFrom(stdoutFd_, stdoutPending_, deadline, "start-up");
        if (line == "ready") {
            return;
        }
        char address[64] = {};
        unsigned port = 0;
        if (std::sscanf(line.c_str(), "serving %63s management %u", address, &port) == 2) {
            managementPorts_[address] = static_cast<std::uint16_t>(port);
        } else if (std::sscanf(line.c_str(), "control %63s %u", address, &port) == 2) {
            connectControl(static_cast<std::uint16_t>(port));
        }
    }
}

void SwitchSimulator::connectControl(std::uint16_t port) {
    closeFd(controlFd_);
    controlPending_.clear();
    controlFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (controlFd_ < 0 || connect(controlFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        closeFd(controlFd_);
        throw std::runtime_error("switchsim: cannot reach the control port");
    }
}

const std::string& SwitchSimulator::address(std::size_t index) const {
    if (index >= addresses_.size()) {
        throw std::out_of_range("switchsim: no address @" + std::to_string(index));
    }
    return addresses_[index];
}

std::uint16_t SwitchSimulator::managementPort(const std::string& address) const {
    auto it = managementPorts_.find(address);
    if (it == managementPorts_.end()) {
        throw std::out_of_range("switchsim: " + address + " is not served");
    }
    return it->second;
}

json SwitchSimulator::request(const json& request) {
    std::scoped_lock lock(controlMutex_);
    if (controlFd_ < 0) {
        throw std::runtime_error("switchsim: not running");
    }
    const std::string line = request.dump() + "\n";
    if (send(controlFd_, line.data(), line.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(line.size())) {
        throw std::runtime_error("switchsim: control request not sent");
    }
    const json reply = json::parse(
        readLineFrom(controlFd_, controlPending_, Clock::now() + kRequestBound, "control"), nullptr,
        false);
    if (reply.is_discarded() || !reply.value("ok", false)) {
        throw std::runtime_error("switchsim: control request " + request.dump() +
                                 " failed: " + reply.dump());
    }
    return reply;
}

void SwitchSimulator::injectFault(const json& fault) {
    request({{"op", "inject"}, {"fault", fault}});
}

void SwitchSimulator::clearFaults() {
    request({{"op", "clearFaults"}});
}

json SwitchSimulator::counters() {
    return request({{"op", "counters"}})["counters"];
}

void SwitchSimulator::resetCounters() {
    request({{"op", "resetCounters"}});
}

json SwitchSimulator::state() {
    return request({{"op", "state"}})["state"];
}

std::uint64_t SwitchSimulator::callCount(const std::string& address, std::uint32_t procedure,
                                         std::optional<std::int32_t> code) {
    std::uint64_t calls = 0;
    for (const auto& entry : counters()) {
        if (entry["address"] == address && entry["procedure"] == procedure &&
            (!code || (entry.contains("code") && entry["code"] == *code))) {
            calls += entry["calls"].get<std::uint64_t>();
        }
    }
    return calls;
}

void SwitchSimulator::closeStdin() {
    closeFd(stdinFd_);
}

std::optional<int> SwitchSimulator::waitForExit(std::chrono::milliseconds bound) {
    if (exitStatus_ || pid_ < 0) {
        return exitStatus_;
    }
    const auto deadline = Clock::now() + bound;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitStatus_ = status;
            return exitStatus_;
        }
        if (done < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int SwitchSimulator::stop() {
    int result = 0;
    if (pid_ > 0) {
        if (!waitForExit(std::chrono::milliseconds(0))) {
            kill(pid_, SIGTERM);
        }
        if (!waitForExit(kStopBound)) {
            kill(pid_, SIGKILL);
            int status = 0;
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            exitStatus_ = status;
        }
        result = exitStatus_.value_or(0);
        pid_ = -1;
    }
    {
        std::scoped_lock lock(controlMutex_);
        closeFd(controlFd_);
    }
    closeFd(stdinFd_);
    closeFd(stdoutFd_);
    return result;
}
