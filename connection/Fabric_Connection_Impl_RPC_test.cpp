// The RPC wrappers against a minimal in-process management program server
// on a loopback port: replies, failures, time-out, the RPC lock, SIGPIPE.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/InternalTiming.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ShortRpcTimeout.h"

namespace {

using namespace std::chrono_literals;

// One call as the server saw it.
struct ReceivedCall {
    u_int procedure = 0;
    std::vector<char> args; // the XDR bytes after the call header
};

// What the server does with a call.
struct Answer {
    enum class Kind { Reply, RawReply, ProcedureUnavailable, NoReply, Reset } kind = Kind::Reply;
    xdrproc_t filter = nullptr; // Reply: the result record and its filter
    void* record = nullptr;
    std::vector<char> raw; // RawReply: result bytes as they go out
};

// Serves one TCP connection at a time on 127.0.0.1 with an ephemeral port.
// The handler runs on the server thread and may block to hold a call.
class FakeSwitch {
public:
    using Handler = std::function<Answer(const ReceivedCall&)>;

    explicit FakeSwitch(Handler handler) : handler_(std::move(handler)) {
        thread_ = std::thread([this] { serve(); });
    }

    ~FakeSwitch() {
        stop_ = true;
        thread_.join();
    }

    // A client handle for the management program on this server.
    CLIENT* connect() {
        sockaddr_in address = listener_.inetAddress();
        int sock = RPC_ANYSOCK;
        return clnttcp_create(&address, REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, &sock, 0, 0);
    }

    int calls() const { return calls_; }

private:
    bool waitReadable(int fd) {
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            const int ready = poll(&p, 1, 20);
            if (ready > 0) {
                return true;
            }
        }
        return false;
    }

    bool readExactly(int fd, char* buffer, size_t size) {
        size_t done = 0;
        while (done < size) {
            if (!waitReadable(fd)) {
                return false;
            }
            const ssize_t n = read(fd, buffer + done, size - done);
            if (n <= 0) {
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // One record of the record-marking standard (all fragments).
    bool readRecord(int fd, std::vector<char>& record) {
        record.clear();
        for (;;) {
            uint32_t mark = 0;
            if (!readExactly(fd, reinterpret_cast<char*>(&mark), 4)) {
                return false;
            }
            mark = ntohl(mark);
            const size_t size = mark & 0x7fffffffu;
            const size_t start = record.size();
            record.resize(start + size);
            if (!readExactly(fd, record.data() + start, size)) {
                return false;
            }
            if ((mark & 0x80000000u) != 0) {
                return true;
            }
        }
    }

    static uint32_t unitAt(const std::vector<char>& bytes, size_t offset) {
        uint32_t unit = 0;
        std::memcpy(&unit, bytes.data() + offset, 4);
        return ntohl(unit);
    }

    // Call header: xid, direction, RPC version, program, version, procedure,
    // credential and verifier (flavour, length, padded body).
    static bool parseCall(const std::vector<char>& record, uint32_t& xid, ReceivedCall& call) {
        size_t offset = 24;
        if (record.size() < offset) {
            return false;
        }
        xid = unitAt(record, 0);
        call.procedure = unitAt(record, 20);
        for (int auth = 0; auth < 2; ++auth) {
            if (record.size() < offset + 8) {
                return false;
            }
            offset += 8 + ((unitAt(record, offset + 4) + 3) & ~3u);
        }
        if (record.size() < offset) {
            return false;
        }
        call.args.assign(record.begin() + static_cast<long>(offset), record.end());
        return true;
    }

    static void sendReply(int fd, uint32_t xid, const Answer& answer) {
        std::vector<char> buffer(64 * 1024);
        XDR xdrs;
        xdrmem_create(&xdrs, buffer.data() + 4, static_cast<u_int>(buffer.size() - 4), XDR_ENCODE);
        rpc_msg reply{};
        reply.rm_xid = xid;
        reply.rm_direction = REPLY;
        reply.rm_reply.rp_stat = MSG_ACCEPTED;
        reply.acpted_rply.ar_verf = _null_auth;
        reply.acpted_rply.ar_stat =
            answer.kind == Answer::Kind::ProcedureUnavailable ? PROC_UNAVAIL : SUCCESS;
        const bool typed = answer.kind == Answer::Kind::Reply;
        reply.acpted_rply.ar_results.where = typed ? static_cast<char*>(answer.record) : nullptr;
        reply.acpted_rply.ar_results.proc =
            typed ? answer.filter
                  : reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));
        if (!xdr_replymsg(&xdrs, &reply)) {
            ADD_FAILURE() << "cannot encode the reply";
            return;
        }
        u_int length = xdr_getpos(&xdrs);
        xdr_destroy(&xdrs);
        if (answer.kind == Answer::Kind::RawReply) {
            std::memcpy(buffer.data() + 4 + length, answer.raw.data(), answer.raw.size());
            length += static_cast<u_int>(answer.raw.size());
        }
        const uint32_t mark = htonl(0x80000000u | length);
        std::memcpy(buffer.data(), &mark, 4);
        (void)send(fd, buffer.data(), length + 4, MSG_NOSIGNAL);
    }

    void serve() {
        while (waitReadable(listener_.fd())) {
            const int fd = accept(listener_.fd(), nullptr, nullptr);
            if (fd < 0) {
                continue;
            }
            bool open = true;
            std::vector<char> record;
            while (open && readRecord(fd, record)) {
                uint32_t xid = 0;
                ReceivedCall call;
                if (!parseCall(record, xid, call)) {
                    break;
                }
                ++calls_;
                const Answer answer = handler_(call);
                switch (answer.kind) {
                case Answer::Kind::NoReply:
                    break;
                case Answer::Kind::Reset: {
                    const linger abort{1, 0}; // close with a reset
                    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
                    open = false;
                    break;
                }
                default:
                    sendReply(fd, xid, answer);
                }
            }
            close(fd);
        }
    }

    Handler handler_;
    LoopbackListener listener_{4};
    std::atomic<bool> stop_{false};
    std::atomic<int> calls_{0};
    std::thread thread_;
};

template <class Record> Answer replyWith(bool_t (*filter)(XDR*, Record*), Record* record) {
    Answer answer;
    answer.filter = asXdrFilter(filter);
    answer.record = record;
    return answer;
}

std::vector<char> unitBytes(std::initializer_list<uint32_t> values) {
    std::vector<char> bytes;
    for (uint32_t value : values) {
        const uint32_t unit = htonl(value);
        const char* p = reinterpret_cast<const char*>(&unit);
        bytes.insert(bytes.end(), p, p + 4);
    }
    return bytes;
}

TEST(RpcWrappers, EachReplyStaysWithItsCallerUntilFreed) {
    WWNBytes first = {0x10, 0, 0, 0x60, 0x69, 0x80, 0x7f, 0x01};
    WWNBytes second = {0x10, 0, 0, 0x60, 0x69, 0x80, 0x7f, 0x02};
    std::atomic<int> served{0};
    FakeSwitch fakeSwitch([&](const ReceivedCall& call) {
        EXPECT_EQ(3u, call.procedure);
        return replyWith(xdr_WWNBytes, served++ == 0 ? first : second);
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
    ASSERT_NE(nullptr, connection.getHandle());

    WWNBytes* one = connection.rpcGetSwitchName();
    WWNBytes* two = connection.rpcGetSwitchName();
    ASSERT_NE(nullptr, one);
    ASSERT_NE(nullptr, two);
    EXPECT_EQ(0, std::memcmp(*one, first, 8));
    EXPECT_EQ(0, std::memcmp(*two, second, 8));
    Fabric_Connection_Impl_RPC::freeReply(one);
    Fabric_Connection_Impl_RPC::freeReply(two);
}

TEST(RpcWrappers, ArgumentsGoOutAndUnionRepliesComeBack) {
    int products[] = {3, 5, 7};
    char message[] = "";
    MSReply reply{};
    reply.message = message;
    reply.body.command = 1831;
    reply.body.MSReplyBody_u.numbers = {3, products};
    FakeSwitch fakeSwitch([&](const ReceivedCall& call) {
        EXPECT_EQ(40u, call.procedure);
        MSRequestArgs args{};
        XDR xdrs;
        xdrmem_create(&xdrs, const_cast<char*>(call.args.data()),
                      static_cast<u_int>(call.args.size()), XDR_DECODE);
        EXPECT_TRUE(xdr_MSRequestArgs(&xdrs, &args));
        EXPECT_EQ(1831, args.command);
        EXPECT_EQ(9, args.MSRequestArgs_u.switchInt.value);
        xdr_free(asXdrFilter(xdr_MSRequestArgs), reinterpret_cast<char*>(&args));
        return replyWith(xdr_MSReply, &reply);
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());

    MSRequestArgs request{};
    request.command = 1831;
    request.MSRequestArgs_u.switchInt.value = 9;
    MSReply* got = connection.rpcMSSvrRequest(&request);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(1831, got->body.command);
    ASSERT_EQ(3u, got->body.MSReplyBody_u.numbers.numbers_len);
    EXPECT_EQ(7, got->body.MSReplyBody_u.numbers.numbers_val[2]);
    Fabric_Connection_Impl_RPC::freeReply(xdr_MSReply, got);
}

TEST(RpcWrappers, SwitchStatusReachesTheCaller) {
    char message[] = "Zone not found";
    ZoningStatusReply status{-5, message};
    FakeSwitch fakeSwitch([&](const ReceivedCall& call) {
        EXPECT_EQ(13u, call.procedure);
        return replyWith(xdr_ZoningStatusReply, &status);
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
    char name[] = "zone_a";
    char members[] = "";
    const ZoningObjectArgs args{10, name, members};
    ZoningStatusReply* got = connection.rpcZoningObjectDelete(&args);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(-5, got->status);
    EXPECT_STREQ("Zone not found", got->message);
    Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, got);
}

// Calls that do not complete give null; a reply that fails half-way is
// released (AddressSanitizer reports it otherwise).
TEST(RpcWrappers, CallsThatDoNotCompleteGiveNull) {
    ShortRpcTimeout timeout(300ms);
    struct FailureCase {
        const char* name;
        Answer answer;
    };
    Answer unavailable;
    unavailable.kind = Answer::Kind::ProcedureUnavailable;
    Answer halfDecoded; // names: "a", then a length over the bound
    halfDecoded.kind = Answer::Kind::RawReply;
    halfDecoded.raw = unitBytes({0, 0, 2, 1, 0x61000000, RM_NAME_MAX + 1});
    Answer truncated;
    truncated.kind = Answer::Kind::RawReply;
    truncated.raw = unitBytes({0, 0, 3, 1});
    Answer noReply;
    noReply.kind = Answer::Kind::NoReply;
    Answer reset;
    reset.kind = Answer::Kind::Reset;
    const FailureCase cases[] = {
        {"procedure unavailable", unavailable},
        {"reply over a bound", halfDecoded},
        {"truncated reply", truncated},
        {"no reply", noReply},
        {"connection reset", reset},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSwitch fakeSwitch([&](const ReceivedCall&) { return c.answer; });
        Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
        ASSERT_NE(nullptr, connection.getHandle());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(nullptr, connection.rpcZoningGetObjectNames(10));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        EXPECT_EQ(1, fakeSwitch.calls());
    }

    Fabric_Connection_Impl_RPC noHandle(nullptr);
    EXPECT_EQ(nullptr, noHandle.rpcTransactionStart());
}

TEST(RpcWrappers, ACallWithoutReplyEndsAfterTheTimeout) {
    ShortRpcTimeout timeout(400ms);
    FakeSwitch fakeSwitch([](const ReceivedCall&) {
        Answer answer;
        answer.kind = Answer::Kind::NoReply;
        return answer;
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, connection.rpcGetFabricWWN());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 400ms);
    EXPECT_LT(elapsed, 10s);
}

// A call that timed out leaves the connection usable for the next one.
TEST(RpcWrappers, TheConnectionServesAgainAfterATimeout) {
    ShortRpcTimeout timeout(300ms);
    WWNBytes name = {0x10, 0, 0, 0x60, 0x69, 0x80, 0x7f, 0x03};
    std::atomic<int> served{0};
    FakeSwitch fakeSwitch([&](const ReceivedCall&) {
        if (served++ == 0) {
            Answer answer;
            answer.kind = Answer::Kind::NoReply;
            return answer;
        }
        return replyWith(xdr_WWNBytes, name);
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
    EXPECT_EQ(nullptr, connection.rpcGetSwitchName());
    for (int i = 0; i < 2; ++i) {
        WWNBytes* reply = connection.rpcGetSwitchName();
        ASSERT_NE(nullptr, reply);
        EXPECT_EQ(0, std::memcmp(*reply, name, 8));
        Fabric_Connection_Impl_RPC::freeReply(reply);
    }
    EXPECT_EQ(3, fakeSwitch.calls());
}

// While one call is in flight, a call on another connection and a
// freeReply both wait for the RPC lock.
TEST(RpcWrappers, OneCallAtATimeInTheProcess) {
    ShortRpcTimeout timeout(10s);
    char message[] = "";
    ZoningStatusReply ok{0, message};
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> heldCallArrived;
    FakeSwitch slowSwitch([&](const ReceivedCall& call) {
        if (call.procedure == 24) {
            heldCallArrived.set_value();
            released.wait();
        }
        return replyWith(xdr_ZoningStatusReply, &ok);
    });
    FakeSwitch otherSwitch(
        [&](const ReceivedCall&) { return replyWith(xdr_ZoningStatusReply, &ok); });
    Fabric_Connection_Impl_RPC slow(slowSwitch.connect());
    Fabric_Connection_Impl_RPC other(otherSwitch.connect());
    ZoningStatusReply* earlier = slow.rpcTransactionStart();
    ASSERT_NE(nullptr, earlier);

    auto held = std::async(std::launch::async, [&] { return slow.rpcTransactionCommit(); });
    ASSERT_EQ(std::future_status::ready, heldCallArrived.get_future().wait_for(5s));
    std::atomic<bool> freed{false};
    auto waitingCall = std::async(std::launch::async, [&] { return other.rpcTransactionCommit(); });
    auto waitingFree = std::async(std::launch::async, [&] {
        Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, earlier);
        freed = true;
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(0, otherSwitch.calls());
    EXPECT_FALSE(freed);

    release.set_value();
    ZoningStatusReply* first = held.get();
    ZoningStatusReply* second = waitingCall.get();
    waitingFree.get();
    EXPECT_NE(nullptr, first);
    EXPECT_NE(nullptr, second);
    EXPECT_EQ(1, otherSwitch.calls());
    Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, first);
    Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, second);
}

// Writing on a connection that the switch has reset raises SIGPIPE, whose
// default action ends the process; the wrappers keep it away and leave the
// thread's signal mask as they found it.
TEST(RpcWrappers, ResetConnectionCannotKillTheProcess) {
    ShortRpcTimeout timeout(500ms);
    std::signal(SIGPIPE, SIG_DFL);
    FakeSwitch fakeSwitch([](const ReceivedCall&) {
        Answer answer;
        answer.kind = Answer::Kind::Reset;
        return answer;
    });
    Fabric_Connection_Impl_RPC connection(fakeSwitch.connect());
    // A large argument makes the later writes meet the reset socket.
    std::vector<char> text(60000, 'x');
    text.back() = '\0';
    char* object = text.data();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(nullptr, connection.rpcZoneSetActivate(object));
    }
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    EXPECT_EQ(0, sigismember(&mask, SIGPIPE));
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(0, sigismember(&pending, SIGPIPE));
}

} // namespace
