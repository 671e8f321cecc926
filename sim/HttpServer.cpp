#include "sim/HttpServer.h"

#include "sim/HttpPages.h"
#include "sim/Socket.h"

#include <poll.h>
#include <sys/socket.h>

#include <chrono>

namespace {

constexpr std::size_t kMaxRequestHead = 8192;
constexpr int kPollStepMs = 100;
constexpr auto kRequestWait = std::chrono::seconds(10);
constexpr std::size_t kOverLongLine = 300000;

bool send(int fd, const std::string& text) {
    return sendAll(fd, std::span<const char>(text.data(), text.size()));
}

std::string malformedPage() {
    return "HTTP/1.0 \x01\x7f garbage\r\n\r\n<BODY>\r\nswWwn\r\nswFWVersion\r\n"
           "--BEGIN SWITCH\r\ndomainid=99999999999\r\nworldname=zz:\r\nswitchname=\r\n"
           "DomainID=-7\r\nlinkinfo=a,b;;70000,70000,70000;\r\n\x01\x02\x03";
}

std::string overLongPage() {
    return "HTTP/1.0 200 OK\r\n\r\n<HTML><BODY>\r\n--BEGIN SWITCH\r\nswitchname=" +
           std::string(kOverLongLine, 'x') + "\r\n--END SWITCH\r\n</BODY></HTML>\r\n";
}

} // namespace

void HttpServer::serve(int fd, const std::string& address) {
    const std::optional<std::string> request = readRequest(fd);
    if (!request) {
        return;
    }
    // "GET /<page> HTTP/1.0"
    const std::size_t pathStart = request->find(' ');
    const std::size_t pathEnd =
        pathStart == std::string::npos ? std::string::npos : request->find(' ', pathStart + 1);
    const std::string path = pathEnd == std::string::npos
                                 ? std::string()
                                 : request->substr(pathStart + 1, pathEnd - pathStart - 1);
    const std::optional<std::int32_t> number = httpPageNumber(path);
    state_.counters.count(address, HTTP_PAGE_PROCEDURE, number.value_or(0));

    if (proxyAway(state_, address)) {
        return; // a switch away from its fabric serves no pages
    }
    const std::optional<Fault> fault = state_.faults.take(address, HTTP_PAGE_PROCEDURE, number);
    if (fault && fault->delay.count() > 0 && state_.stop.waitFor(fault->delay)) {
        return;
    }
    if (!fault) {
        send(fd, number ? httpAnswer(200, page(*number, address))
                        : httpAnswer(404, "<HTML><BODY>\r\nNot Found\r\n</BODY></HTML>\r\n"));
        return;
    }
    switch (fault->kind) {
    case FaultKind::Status:
        send(fd, httpAnswer(fault->status, "<HTML><BODY>\r\nError\r\n</BODY></HTML>\r\n"));
        return;
    case FaultKind::NoReply:
        holdOpen(fd);
        return;
    case FaultKind::Close:
        return;
    case FaultKind::LeaveJoin:
        leaveForAWhile(state_, *fault, address);
        return;
    case FaultKind::Delay:
        if (send(fd, httpAnswer(200, number ? page(*number, address) : std::string()))) {
            holdOpen(fd);
        }
        return;
    case FaultKind::Malformed:
        send(fd, fault->status == 1 ? overLongPage() : malformedPage());
        return;
    case FaultKind::Bytes:
        send(fd, std::string(fault->replyBytes.begin(), fault->replyBytes.end()));
        return;
    }
}

std::optional<std::string> HttpServer::readRequest(int fd) {
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + kRequestWait;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.find("\n\n") == std::string::npos) {
        if (state_.stop.raised() || std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        }
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, kPollStepMs) <= 0) {
            continue;
        }
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return std::nullopt;
        }
        head.append(buffer, static_cast<std::size_t>(got));
        if (head.size() > kMaxRequestHead) {
            return std::nullopt;
        }
    }
    return head;
}

void HttpServer::holdOpen(int fd) {
    char buffer[256];
    while (!state_.stop.raised()) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, kPollStepMs) <= 0) {
            continue;
        }
        if (recv(fd, buffer, sizeof buffer, 0) <= 0) {
            return;
        }
    }
}

std::string HttpServer::page(std::int32_t number, const std::string& address) {
    std::scoped_lock lock(state_.modelMutex);
    const std::optional<ProxyLocation> location = state_.model.proxyAt(address);
    if (!location) {
        return std::string();
    }
    const FabricEntry& fabric = state_.model.fabrics()[location->fabric];
    return renderHttpPage(number, fabric, fabric.switches[location->switchIndex]);
}
