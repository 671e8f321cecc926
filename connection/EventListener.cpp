#include "connection/EventListener.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <memory>
#include <mutex>
#include <vector>

#include "connection/EventLineBuffer.h"
#include "foundation/InternalStatus.h"
#include "foundation/Logging.h"
#include "platform/winsock.h"

namespace {

const char kSource[] = "EventListener.cpp";

// Process-wide listener state. Other threads only read or write these words.
std::atomic<bool> g_running{false};
std::atomic<bool> g_stop{false};
std::atomic<bool> g_serving{false}; // one runEventListener at a time
std::atomic<std::uint32_t> g_address{0};
std::atomic<std::uint16_t> g_port{0};

// The wake-up pipe: stopEventListener writes a byte, the listener's poll
// wakes. Made once and kept for the life of the process, so a stop racing
// with the end of a run never writes to a descriptor that was closed.
int g_wakeRead = -1;
int g_wakeWrite = -1;
std::once_flag g_wakeOnce;

void makeWakePipe() {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        g_wakeRead = fds[0];
        g_wakeWrite = fds[1];
    }
}

void drainWakePipe() {
    char bytes[64];
    while (g_wakeRead >= 0 && read(g_wakeRead, bytes, sizeof bytes) > 0) {
    }
}

// Bytes read from one connection per turn of the loop, so that a switch
// that writes without pause cannot hold the loop (and a stop) up.
constexpr std::size_t kReadChunk = 4096;

// One switch connection: its socket and the unfinished line.
struct ClientConnection {
    SOCKET socket = INVALID_SOCKET;
    EventLineBuffer lines;
};

struct LineContext {
    EventCallback callback;
    SwitchEvent* record;
};

// Parses one complete line and hands the record to the callback; the port
// list block is freed once the callback has returned.
void handleLine(const char* line, std::size_t /*length*/, void* context) {
    auto* lineContext = static_cast<LineContext*>(context);
    SwitchEvent* record = lineContext->record;
    if (parseEventText(line, record) != 0)
        return;
    if (lineContext->callback)
        lineContext->callback(record);
    std::free(record->portList.names);
    record->portList.names = nullptr;
}

// The listener never writes to a switch, so the kernel would delay each
// acknowledgement; a switch that coalesces small writes until they are
// acknowledged would then hold its event lines back for that delay.
// Acknowledging at once keeps lines flowing. The kernel clears the setting
// as it pleases, so it is set again after every read.
void acknowledgeAtOnce(SOCKET socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

// Reads what one connection has: false when the connection is to be closed
// (the switch closed it, or the read failed).
bool serveConnection(ClientConnection& connection, LineContext& context) {
    char bytes[kReadChunk];
    for (;;) {
        const ssize_t received = recv(connection.socket, bytes, sizeof bytes, 0);
        if (received > 0) {
            acknowledgeAtOnce(connection.socket);
            connection.lines.append(bytes, static_cast<std::size_t>(received), handleLine,
                                    &context);
            return true;
        }
        if (received == 0) {
            connection.lines.finish(handleLine, &context);
            return false;
        }
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// The table of switch connections.
class ClientTable {
public:
    ~ClientTable() { closeAll(); }

    // Takes an accepted socket into the first free entry: false when all
    // entries are in use.
    bool add(SOCKET socket) {
        for (auto& entry : entries_) {
            if (!entry) {
                entry = std::make_unique<ClientConnection>();
                entry->socket = socket;
                return true;
            }
        }
        return false;
    }
    void close(std::size_t index) {
        closesocket(entries_[index]->socket);
        entries_[index].reset();
    }
    void closeAll() {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i])
                close(i);
    }
    std::unique_ptr<ClientConnection>& operator[](std::size_t index) { return entries_[index]; }
    std::size_t size() const { return entries_.size(); }

private:
    std::array<std::unique_ptr<ClientConnection>, kEventListenerMaxClients> entries_;
};

// Accepts every pending connection; one beyond the table is refused alone.
void acceptConnections(SOCKET listener, ClientTable& clients) {
    for (;;) {
        const SOCKET socket = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (socket == INVALID_SOCKET) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        if (!clients.add(socket)) {
            closesocket(socket);
            TRACE_MESSAGE(Vosk_Eventing, "Event connection refused: all entries in use",
                          "runEventListener", kSource);
        }
    }
}

// Sets up the listening socket: the socket, or INVALID_SOCKET with `status`.
SOCKET openListeningSocket(int& status) {
    const SOCKET listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener == INVALID_SOCKET) {
        status = EVT_ERR_SOCKET;
        return INVALID_SOCKET;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = 0;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(listener);
        status = EVT_ERR_BIND;
        return INVALID_SOCKET;
    }
    socklen_t length = sizeof address;
    if (getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        status = EVT_ERR_LOCAL_ADDRESS;
        return INVALID_SOCKET;
    }
    g_port = ntohs(address.sin_port);
    // Room for every switch of a full table to connect at once.
    if (listen(listener, kEventListenerMaxClients) != 0) {
        closesocket(listener);
        status = EVT_ERR_LISTEN;
        return INVALID_SOCKET;
    }
    status = 0;
    return listener;
}

// Serves until a stop; the caller owns the listening socket.
void serve(SOCKET listener, EventCallback callback, const std::function<bool()>& alsoStop) {
    ClientTable clients;
    SwitchEvent record{};
    LineContext context{callback, &record};
    std::vector<pollfd> waits;
    std::vector<std::size_t> owners; // table index of each client entry in `waits`
    waits.reserve(kEventListenerMaxClients + 2);
    owners.reserve(kEventListenerMaxClients);

    for (;;) {
        if (g_stop || (alsoStop && alsoStop()))
            return;
        waits.clear();
        owners.clear();
        waits.push_back({g_wakeRead, POLLIN, 0});
        waits.push_back({listener, POLLIN, 0});
        for (std::size_t i = 0; i < clients.size(); ++i) {
            if (clients[i]) {
                waits.push_back({clients[i]->socket, POLLIN, 0});
                owners.push_back(i);
            }
        }
        const int ready = poll(waits.data(), waits.size(), 1000);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            TRACE_MESSAGE(Vosk_Eventing, "Event listener wait failed", "runEventListener", kSource);
            return;
        }
        if (ready == 0)
            continue;
        if (waits[0].revents)
            drainWakePipe();
        if (waits[1].revents)
            acceptConnections(listener, clients);
        for (std::size_t w = 2; w < waits.size(); ++w) {
            if (g_stop)
                return;
            if (!waits[w].revents)
                continue;
            const std::size_t index = owners[w - 2];
            if (!serveConnection(*clients[index], context))
                clients.close(index);
        }
    }
}

} // namespace

int runEventListener(EventCallback callback, std::function<bool()> alsoStop) {
    if (g_serving.exchange(true))
        return EVT_ERR_LISTEN; // another run serves already; it is left alone
    std::call_once(g_wakeOnce, makeWakePipe);

    g_address = 0;
    int status = 0;
    const SOCKET listener = g_wakeRead >= 0 ? openListeningSocket(status) : INVALID_SOCKET;
    if (g_wakeRead < 0)
        status = EVT_ERR_SOCKET;
    if (listener == INVALID_SOCKET) {
        g_serving = false;
        return status;
    }

    drainWakePipe();
    g_stop = false;
    g_running = true;
    serve(listener, callback, alsoStop);
    closesocket(listener);
    g_running = false;
    g_serving = false;
    return 0;
}

void stopEventListener() {
    g_stop = true;
    std::call_once(g_wakeOnce, makeWakePipe);
    if (g_wakeWrite >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up; nothing is lost.
        [[maybe_unused]] const ssize_t written = write(g_wakeWrite, &byte, 1);
    }
}

bool isEventListenerRunning() {
    return g_running;
}

int getEventListenerAddress(EventListenerAddress* out) {
    if (!g_running)
        return SVC_ERR_LISTENER_NOT_RUNNING;
    if (out) {
        out->address = g_address;
        out->port = g_port;
    }
    return 0;
}

void setEventListenerAddress(std::uint32_t address) {
    g_address = address;
}

// ---- Event lines ----

namespace {

// Reads the decimal fields of an event line the way "%u" and "%d" do:
// blanks, an optional sign, at least one digit. Values that overflow are
// kept to their low 32 bits.
class FieldReader {
public:
    explicit FieldReader(const char* text) : p_(text) {}

    bool readUnsigned(std::uint32_t& value) {
        std::uint64_t magnitude = 0;
        bool negative = false;
        if (!readNumber(magnitude, negative))
            return false;
        value = static_cast<std::uint32_t>(negative ? (0 - magnitude) : magnitude);
        return true;
    }
    bool readInt(int& value) {
        std::uint32_t bits = 0;
        if (!readUnsigned(bits))
            return false;
        value = static_cast<int>(bits);
        return true;
    }
    // Reads `count` unsigned values separated by ':'.
    bool readUnsignedList(std::uint32_t* values, int count) {
        for (int i = 0; i < count; ++i) {
            if (i > 0 && !colon())
                return false;
            if (!readUnsigned(values[i]))
                return false;
        }
        return true;
    }
    bool colon() {
        if (*p_ != ':')
            return false;
        ++p_;
        return true;
    }

private:
    bool readNumber(std::uint64_t& magnitude, bool& negative) {
        while (*p_ == ' ' || (*p_ >= '\t' && *p_ <= '\r'))
            ++p_;
        if (*p_ == '+' || *p_ == '-')
            negative = *p_++ == '-';
        if (*p_ < '0' || *p_ > '9')
            return false;
        constexpr std::uint64_t kCap = 0xFFFFFFFFFFull;
        while (*p_ >= '0' && *p_ <= '9') {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p_++ - '0');
            if (magnitude > kCap)
                magnitude = kCap; // saturate; only the low bits are kept
        }
        return true;
    }

    const char* p_;
};

// The text after the `n`th ':' of `text`, or null when it has fewer.
const char* afterColons(const char* text, int n) {
    for (int i = 0; i < n; ++i) {
        text = std::strchr(text, ':');
        if (!text)
            return nullptr;
        ++text;
    }
    return text;
}

void storeWwn(std::uint8_t* wwn, const std::uint32_t* values) {
    for (int i = 0; i < 8; ++i)
        wwn[i] = static_cast<std::uint8_t>(values[i]);
}

int parseThreshold(const char* rest, SwitchEvent::Threshold& part) {
    FieldReader reader(rest);
    std::uint32_t values[14];
    int signedValues[3];
    if (!reader.readUnsignedList(values, 14))
        return EVT_ERR_PARSE;
    for (int& value : signedValues)
        if (!reader.colon() || !reader.readInt(value))
            return EVT_ERR_PARSE;
    part.t1 = values[0];
    part.t2 = values[1];
    part.t3 = values[2];
    part.t4 = values[3];
    part.t5 = values[4];
    storeWwn(part.wwn, values + 5);
    part.s1 = static_cast<int>(values[13]);
    part.s2 = signedValues[0];
    part.s3 = signedValues[1];
    part.s4 = signedValues[2];
    return 0;
}

int parseText(const char* rest, SwitchEvent::Text& part) {
    FieldReader reader(rest);
    std::uint32_t values[8];
    if (!reader.readUnsignedList(values, 8))
        return EVT_ERR_PARSE;
    storeWwn(part.wwn, values);
    const char* text = afterColons(rest, 8);
    part.text[0] = '\0';
    if (text) {
        const std::size_t length = strnlen(text, kEventTextMax);
        std::memcpy(part.text, text, length);
        part.text[length] = '\0';
    }
    return 0;
}

int parseSwitch(const char* rest, SwitchEvent::Switch& part) {
    FieldReader reader(rest);
    std::uint32_t values[10];
    if (!reader.readUnsignedList(values, 10))
        return EVT_ERR_PARSE;
    part.u1 = values[0];
    part.u2 = values[1];
    storeWwn(part.wwn, values + 2);
    return 0;
}

int parsePortList(const char* rest, SwitchEvent::PortList& part) {
    FieldReader reader(rest);
    std::uint32_t count = 0;
    if (!reader.readUnsigned(count))
        return EVT_ERR_PARSE;
    if (count == 0)
        return 0;
    // Every name takes at least 16 characters of the line (eight values and
    // their separators): a count the line cannot hold is refused before
    // anything is allocated.
    if (count > std::strlen(rest) / 16)
        return EVT_ERR_PARSE;
    const char* names = afterColons(rest, 1);
    if (!names)
        return EVT_ERR_PARSE;
    auto* block = static_cast<std::uint8_t(*)[8]>(std::malloc(std::size_t{count} * 8));
    if (!block)
        return EVT_ERR_PARSE;
    for (std::uint32_t i = 0; i < count; ++i) {
        FieldReader nameReader(names);
        std::uint32_t values[8];
        if (!names || !nameReader.readUnsignedList(values, 8)) {
            std::free(block);
            return EVT_ERR_PARSE;
        }
        storeWwn(block[i], values);
        names = afterColons(names, 8); // null past the last name
    }
    part.count = count;
    part.names = block;
    return 0;
}

int parseFirmware(const char* rest, SwitchEvent::Firmware& part) {
    FieldReader reader(rest);
    std::uint32_t values[8];
    if (!reader.readUnsignedList(values, 8) || !reader.colon() || !reader.readInt(part.f1))
        return EVT_ERR_PARSE;
    storeWwn(part.wwn, values);
    return 0;
}

} // namespace

int parseEventText(const char* text, SwitchEvent* record) {
    if (g_stop || !text || !record)
        return EVT_ERR_PARSE;
    std::memset(record, 0, sizeof *record);

    FieldReader reader(text);
    std::uint32_t common[11];
    if (!reader.readUnsignedList(common, 11))
        return EVT_ERR_PARSE;
    const char* rest = afterColons(text, 11);
    if (!rest)
        return EVT_ERR_PARSE;

    const std::uint32_t type = common[0];
    record->type = type;
    record->eventTime = static_cast<int>(common[2] - common[1]);
    storeWwn(record->wwn, common + 3);

    if (type <= 31)
        return parseThreshold(rest, record->threshold);
    if (type <= 63)
        return parseText(rest, record->text);
    if (type <= 95)
        return parseSwitch(rest, record->sw);
    if (type <= 127)
        return parsePortList(rest, record->portList);
    if (type <= 191)
        return parseFirmware(rest, record->firmware);
    return 0;
}
