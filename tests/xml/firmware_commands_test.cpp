// The firmware download commands of the XML interface against the simulated
// switches: waiting downloads with their completion lines, downloads in
// threads followed through the status command and the polled events, and
// the requests and switches that refuse.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "connection/clilib.h"
#include "connection/clilib_transfer.h"
#include "foundation/InternalTiming.h"
#include "orvane/xmlcommand.h"
#include "tests/xml/XmlCommandReply.h"
#include "services/EventManager.h"
#include "services/FirmwareDownload.h"
#include "tests/transfers/TransferFabrics.h"

namespace {

using namespace transfers;
using namespace std::chrono_literals;
using nlohmann::json;

using xmlreply::body;
using xmlreply::faultA;
using xmlreply::faultB;
using xmlreply::Outcome;
using xmlreply::request;
using xmlreply::run;
std::string completion(const std::string& lines) {
    return "<CompletionStatus>" + lines + "</CompletionStatus>\n";
}

// ObjectReference elements, the first with the Firmware description.
std::string references(const std::vector<std::string>& oids, const std::string& firmware) {
    std::string out;
    for (std::size_t i = 0; i < oids.size(); ++i) {
        out += "<ObjectReference OID=\"" + oids[i] + "\">";
        if (i == 0)
            out += firmware;
        out += "</ObjectReference>\n";
    }
    return out;
}

// A firmware image with a right header checksum, removed with the object.
class ImageFile {
public:
    explicit ImageFile(std::size_t dataLength) {
        char name[] = "/tmp/orvane-xmlfw-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        std::vector<unsigned char> data(dataLength);
        for (std::size_t i = 0; i < dataLength; ++i)
            data[i] = static_cast<unsigned char>((i * 7 + i / 311) & 0xFF);
        std::vector<unsigned char> header(kFirmwareHeaderSize, 0x21);
        const std::uint16_t word = imageChecksum16(data.data(), data.size());
        header[8] = static_cast<unsigned char>(word & 0xFF);
        header[9] = static_cast<unsigned char>(word >> 8);
        EXPECT_EQ(static_cast<ssize_t>(header.size()), write(fd, header.data(), header.size()));
        EXPECT_EQ(static_cast<ssize_t>(data.size()), write(fd, data.data(), data.size()));
        close(fd);
    }
    ~ImageFile() { unlink(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// One event of a GetEvents reply.
struct PolledEvent {
    int code = 0;
    std::string details;
    std::string object;
};

std::string between(const std::string& text, const std::string& open, const std::string& close,
                    std::size_t from = 0) {
    const std::size_t start = text.find(open, from);
    if (start == std::string::npos)
        return {};
    const std::size_t end = text.find(close, start + open.size());
    return end == std::string::npos ? std::string()
                                    : text.substr(start + open.size(), end - start - open.size());
}

std::vector<PolledEvent> eventsOf(const std::string& list) {
    std::vector<PolledEvent> events;
    for (std::size_t at = list.find("<Event>"); at != std::string::npos;
         at = list.find("<Event>", at + 1)) {
        const std::string event = between(list, "<Event>", "</Event>", at);
        events.push_back({std::atoi(between(event, "<Code>", "</Code>").c_str()),
                          between(event, "<Details>", "</Details>"),
                          between(event, "<ObjectReference>", "</ObjectReference>")});
    }
    return events;
}

class FirmwareCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
    void SetUp() override {
        saved_ = internalTiming();
        internalTiming().firmwareCompletionPollPause = 20ms;
        internalTiming().threadStartRetryPause = 10ms;
        internalTiming().eventListenerAddressRetryPause = 20ms;
        FabAPI_ShutdownFabricAPI();
        openFabricSessions(sim_, {0}, {kFabricA});
        // Events are queued for GetEvents once a fabric's event server runs.
        ASSERT_EQ(0, EventManager::instance()->enableEventNotification(kFabricA, 1));
    }
    void TearDown() override {
        EXPECT_TRUE(downloadsEnded());
        FabAPI_ShutdownFabricAPI();
        internalTiming() = saved_;
    }
    static bool downloadsEnded() {
        for (int i = 0; i < 2000 && firmwareDownloadInProgress.load() != 0; ++i)
            std::this_thread::sleep_for(5ms);
        return firmwareDownloadInProgress.load() == 0;
    }
    std::string direct(const std::string& wait) const {
        return "<Firmware firmwarePath=\"" + image_.path() + "\" wait=\"" + wait + "\"/>";
    }
    // The images of kind 1 that the switches took to the end, by name.
    std::vector<std::string> endedImages() {
        std::vector<std::string> switches;
        const json transfers = sim_.request({{"op", "transfers"}});
        for (const json& d : transfers["downloads"])
            if (d["kind"] == 1 && d["state"] == "ended")
                switches.push_back(d["switch"]);
        return switches;
    }

    SwitchSimulator sim_{twoFabrics()};
    ImageFile image_{1000000};
    InternalTiming saved_;
};

TEST_F(FirmwareCommandTest, WaitingDirectDownloadAnswersOneEscapedLinePerSwitch) {
    // An identifier that names no stored switch comes back in the reply
    // written as XML text.
    const Outcome outcome = run(request(
        "FirmwareDownloadDirect",
        references({kSwitchA1, "&lt;x&amp;y&gt;", kSwitchA2}, direct("1"))));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(completion(std::string(kSwitchA1) + ":0;&lt;x&amp;y&gt;:-3;" + kSwitchA2 + ":0;") +
                  faultA(-3),
              body(outcome.reply));
    EXPECT_EQ((std::vector<std::string>{kWwnA1, kWwnA2}), endedImages());

    const Outcome one =
        run(request("FirmwareDownloadDirect", references({kSwitchA2}, direct("1"))));
    EXPECT_TRUE(one.result) << one.reply;
    EXPECT_EQ(completion(std::string(kSwitchA2) + ":0;"), body(one.reply));
}

TEST_F(FirmwareCommandTest, DirectDownloadInThreadsIsFollowedUntilItEnds) {
    // Each image chunk waits, so the download lasts long enough to be watched.
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1833},
                      {"kind", "delay"},
                      {"delayMs", 15}});
    const Outcome started =
        run(request("FirmwareDownloadDirect", references({kSwitchA1, kSwitchA2}, direct("0"))));
    ASSERT_TRUE(started.result) << started.reply;
    EXPECT_EQ("", body(started.reply)) << "no completion lines without waiting";

    const std::string poll =
        request("GetEvents", "<EventTarget startEventId=\"1\" endEventId=\"100000\" "
                             "maxEvents=\"1000\"/>");
    std::vector<PolledEvent> seen;
    bool closeRefused = false;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    bool running = true;
    while (running && std::chrono::steady_clock::now() < deadline) {
        running = firmwareDownloadInProgress.load() != 0;
        const Outcome status = run(request("GetFirmwareDownloadStatus"));
        EXPECT_TRUE(status.result);
        EXPECT_EQ("<FirmwareDownloadStatus>1</FirmwareDownloadStatus>\n", body(status.reply));
        const Outcome polled = run(poll);
        ASSERT_TRUE(polled.result) << polled.reply;
        for (const PolledEvent& event : eventsOf(body(polled.reply)))
            seen.push_back(event);
        if (running && !closeRefused && !seen.empty()) {
            // Sessions stay open while the download runs.
            const Outcome close = run(request("FabAPI_CloseSessions"));
            EXPECT_FALSE(close.result);
            EXPECT_EQ(faultB(-43), body(close.reply));
            closeRefused = true;
        }
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_FALSE(running) << "the download did not end";
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ((std::vector<std::string>{kWwnA1, kWwnA2}), endedImages());

    std::map<std::string, std::vector<int>> progress;
    for (const PolledEvent& event : seen) {
        EXPECT_NE(10, event.code) << "no failure: " << event.details;
        if (event.code != 8)
            continue;
        int percent = 0;
        ASSERT_EQ(1, std::sscanf(event.details.c_str(), "completion status: %d", &percent))
            << event.details;
        progress[event.object].push_back(percent);
    }
    ASSERT_EQ(2u, progress.size()) << "progress of each switch";
    for (const auto& [oid, values] : progress) {
        EXPECT_TRUE(oid == kSwitchA1 || oid == kSwitchA2) << oid;
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_GT(values[i], 0);
            EXPECT_LE(values[i], 100);
            if (i > 0) {
                EXPECT_GE(values[i], values[i - 1]) << oid;
            }
        }
    }
    EXPECT_TRUE(run(request("FabAPI_CloseSessions")).result) << "closing works once it ended";
}

TEST_F(FirmwareCommandTest, SelfDownloadPassesTheHostAndWritesLinesOnlyOnSuccess) {
    const std::string self = "<Firmware firmwarePath=\"/images/v5.bin\" wait=\"1\" "
                             "hostName=\"127.0.0.9\" hostLogin=\"ftp\" hostPassword=\"s&amp;t\"/>";
    const Outcome outcome = run(request("FirmwareDownloadSelf", references({kSwitchA1}, self)));
    EXPECT_TRUE(outcome.result) << outcome.reply;
    EXPECT_EQ(completion(std::string(kSwitchA1) + ":0;"), body(outcome.reply));
    const json servers = sim_.request({{"op", "transfers"}})["serverDownloads"];
    ASSERT_EQ(1u, servers.size());
    EXPECT_EQ(kWwnA1, servers[0]["switch"]);
    EXPECT_EQ((json{"/images/v5.bin", "127.0.0.9", "ftp", "s&t"}), servers[0]["texts"]);

    // Without waiting (any wait text but one beginning with 1), threads.
    const Outcome threads = run(request(
        "FirmwareDownloadSelf",
        references({kSwitchA1, kSwitchA2}, "<Firmware firmwarePath=\"/images/v6.bin\"/>")));
    EXPECT_TRUE(threads.result) << threads.reply;
    EXPECT_EQ("", body(threads.reply));
    ASSERT_TRUE(downloadsEnded());
    const json all = sim_.request({{"op", "transfers"}})["serverDownloads"];
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ((json{"/images/v6.bin", "", "", ""}), all[2]["texts"]) << "empty host parts pass";
}

TEST_F(FirmwareCommandTest, RefusedRequestsAndSwitches) {
    struct Case {
        const char* what;
        std::function<void(SwitchSimulator&)> arrange;
        std::string command;
        std::string body;
        std::string expected;
    };
    const std::string self = "<Firmware firmwarePath=\"/images/v5.bin\" wait=\"1\" "
                             "hostName=\"127.0.0.9\" hostLogin=\"ftp\" hostPassword=\"x\"/>";
    const auto none = [](SwitchSimulator&) {};
    const std::string proxy = sim_.address(0);
    const std::vector<Case> cases = {
        {"no Firmware element", none, "FirmwareDownloadDirect", references({kSwitchA1}, ""),
         faultA(-3)},
        {"Firmware without a path", none, "FirmwareDownloadDirect",
         references({kSwitchA1}, "<Firmware firmwarePath=\"\" wait=\"1\"/>"), faultA(-3)},
        {"a wait that is neither 0 nor 1", none, "FirmwareDownloadDirect",
         references({kSwitchA1}, direct("yes")), faultA(-3)},
        {"no reference with an OID", none, "FirmwareDownloadDirect",
         "<ObjectReference>" + direct("1") + "</ObjectReference>", faultA(-3)},
        {"self: no Firmware element", none, "FirmwareDownloadSelf", references({kSwitchA1}, ""),
         faultB(-3)},
        {"an image that cannot be read", none, "FirmwareDownloadDirect",
         references({kSwitchA1},
                    "<Firmware firmwarePath=\"/nonexistent/fw.bin\" wait=\"1\"/>"),
         completion(std::string(kSwitchA1) + ":-43;") + faultA(-43)},
        {"a fabric instead of a switch", none, "FirmwareDownloadDirect",
         references({kFabricA}, direct("1")), completion(std::string(kFabricA) + ":-6;") + faultA(-6)},
        {"the switch reports the download failed; the next is not tried",
         [](SwitchSimulator& sim) {
             sim.request({{"op", "setCompletion"},
                          {"address", sim.address(0)},
                          {"switch", kWwnA1},
                          {"polls", 1},
                          {"result", "failed"}});
         },
         "FirmwareDownloadDirect", references({kSwitchA1, kSwitchA2}, direct("1")),
         completion(std::string(kSwitchA1) + ":-43;") + faultA(-43)},
        {"self: the switch refuses the request",
         [proxy](SwitchSimulator& sim) {
             sim.injectFault({{"address", proxy},
                              {"procedure", 40},
                              {"code", 1842},
                              {"kind", "status"},
                              {"status", -7},
                              {"count", 1}});
         },
         "FirmwareDownloadSelf", references({kSwitchA1}, self), faultB(-43)},
        {"self: an identifier that names no stored switch", none, "FirmwareDownloadSelf",
         references({"000210000060690000ff"}, self), faultB(-3)},
    };
    for (const Case& c : cases) {
        c.arrange(sim_);
        const Outcome outcome = run(request(c.command, c.body));
        EXPECT_FALSE(outcome.result) << c.what;
        EXPECT_EQ(c.expected, body(outcome.reply)) << c.what;
    }
    // Only the switch that then reported the failure took its image.
    EXPECT_EQ((std::vector<std::string>{kWwnA1}), endedImages());
}

} // namespace
