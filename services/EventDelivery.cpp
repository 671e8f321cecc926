#include "services/EventDelivery.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "foundation/InternalTiming.h"
#include "foundation/Logging.h"
#include "services/EventManager.h"

namespace {

const char kSource[] = "eventMngr";

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

LeaseTimeHandler::LeaseTimeHandler(const std::string& address, int port)
    : host_(address), port_(port) {
    if (gethostname(hostName_, sizeof hostName_ - 1) != 0)
        hostName_[0] = '\0';
}

LeaseTimeHandler::~LeaseTimeHandler() {
    closeSocket();
}

void LeaseTimeHandler::closeSocket() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool LeaseTimeHandler::connect() {
    std::lock_guard<std::mutex> guard(socketMutex_);
    closeSocket();
    active_ = false;
    if (port_ <= 0 || port_ > 65535)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host_.c_str(), std::to_string(port_).c_str(), &hints, &found) != 0 ||
        found == nullptr)
        return false;
    sockaddr_in peer{};
    std::memcpy(&peer, found->ai_addr, sizeof peer);
    freeaddrinfo(found);

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const auto deadline = Clock::now() + internalTiming().eventClientTimeout;
    int result = ::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    if (result != 0 && errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = ETIMEDOUT;
        socklen_t length = sizeof error;
        if (poll(&wait, 1, remainingMs(deadline)) == 1)
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        result = error == 0 ? 0 : -1;
    }
    if (result != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    active_ = true;
    return true;
}

bool LeaseTimeHandler::sendAll(const std::string& text) {
    const auto deadline = Clock::now() + internalTiming().eventClientTimeout;
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd_, POLLOUT, 0};
            const int ms = remainingMs(deadline);
            if (ms > 0 && poll(&wait, 1, ms) == 1 && (wait.revents & POLLOUT))
                continue;
        }
        return false;
    }
    return true;
}

void LeaseTimeHandler::eventCallback(const EventRecord* record) {
    if (!active_.load() || record == nullptr)
        return;
    std::string text;
    EventManager::getXmlEventString(record, &text, hostName_, port_);
    if (text.empty())
        return;
    std::lock_guard<std::mutex> guard(socketMutex_);
    if (!active_.load() || fd_ < 0)
        return;
    if (!sendAll(text)) {
        active_ = false;
        closeSocket();
        TRACE_MESSAGE(Vosk_Eventing,
                      ("event client " + host_ + ":" + std::to_string(port_) +
                       " stopped receiving: the send failed")
                          .c_str(),
                      "EventManager::LeaseTimeHandler::eventCallback", kSource);
    }
}

EventDeliverThread::EventDeliverThread(EventSubscriberSource& source)
    : CVoskThread("EventDeliverThread"), source_(source) {
    started_.reset();
}

EventDeliverThread::~EventDeliverThread() {
    stop();
}

void EventDeliverThread::deliverEvent(EventRecordPtr record) {
    if (!record)
        return;
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> guard(pendingMutex_);
        wasEmpty = pending_.empty();
        pending_.push_back(std::move(record));
    }
    // The thread sleeps only on an empty list: while records are pending it
    // takes them without being woken, and the producer saves the wake-up.
    if (wasEmpty)
        wake_.notify_one();
}

void EventDeliverThread::wake() {
    std::lock_guard<std::mutex> guard(pendingMutex_);
    wake_.notify_all();
}

void EventDeliverThread::run() {
    started_.signal();
    std::vector<EventRecordPtr> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(pendingMutex_);
            wake_.wait(guard, [&] { return !pending_.empty() || stopRequested(); });
            if (stopRequested())
                break;
            batch.swap(pending_);
        }
        for (const EventRecordPtr& record : batch) {
            if (stopRequested())
                break;
            deliver(record);
        }
        batch.clear();
    }
    snapshot_.reset();
}

void EventDeliverThread::refresh() {
    if (!snapshot_ || source_.subscriberVersion() != snapshot_->version)
        snapshot_ = source_.subscribers();
}

void EventDeliverThread::deliver(const EventRecordPtr& record) {
    refresh();
    if (!snapshot_)
        return;
    // Held for the whole record: a callback may change the subscribers.
    const EventSubscribersPtr current = snapshot_;
    for (EventCallbackFunction callback : current->callbacks) {
        // A callback removed meanwhile (by another callback too) is skipped.
        refresh();
        if (snapshot_ != current &&
            std::find(snapshot_->callbacks.begin(), snapshot_->callbacks.end(), callback) ==
                snapshot_->callbacks.end())
            continue;
        callback(record.get());
    }
    refresh();
    for (const auto& client : snapshot_->clients)
        client->eventCallback(record.get());
}
