// Firmware downloads through the exports against the simulated switches:
// waiting and in download threads, direct and self, with the library events
// they raise and the session close refused while a download runs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "connection/clilib.h"
#include "connection/clilib_transfer.h"
#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/transfers.h"
#include "services/FirmwareDownload.h"
#include "tests/transfers/TransferFabrics.h"

namespace {

using namespace transfers;
using namespace std::chrono_literals;
using nlohmann::json;

// What the event manager would receive.
struct Recorder {
    static std::mutex mutex;
    static std::vector<FirmwareEvent> events;
    static void sink(const FirmwareEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
    }
    static std::vector<FirmwareEvent> taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    static std::vector<FirmwareEvent> ofCode(int code) {
        std::vector<FirmwareEvent> found;
        for (const FirmwareEvent& event : taken())
            if (event.code == code)
                found.push_back(event);
        return found;
    }
};
std::mutex Recorder::mutex;
std::vector<FirmwareEvent> Recorder::events;

// A firmware image file with a right header checksum, removed with the object.
class FirmwareFile {
public:
    explicit FirmwareFile(std::size_t dataLength) {
        char name[] = "/tmp/orvane-fw-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        std::vector<unsigned char> data(dataLength);
        for (std::size_t i = 0; i < dataLength; ++i)
            data[i] = static_cast<unsigned char>((i * 13 + i / 509) & 0xFF);
        std::vector<unsigned char> header(kFirmwareHeaderSize, 0x21);
        const std::uint16_t word = imageChecksum16(data.data(), data.size());
        header[8] = static_cast<unsigned char>(word & 0xFF);
        header[9] = static_cast<unsigned char>(word >> 8);
        EXPECT_EQ(static_cast<ssize_t>(header.size()), write(fd, header.data(), header.size()));
        EXPECT_EQ(static_cast<ssize_t>(data.size()), write(fd, data.data(), data.size()));
        close(fd);
    }
    ~FirmwareFile() { unlink(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A switch list: 48-byte entries and the empty one.
std::string listOf(const std::vector<std::string>& oids) {
    std::string list;
    for (const std::string& oid : oids) {
        std::string entry = oid;
        entry.resize(48, '\0');
        list += entry;
    }
    list.append(48, '\0');
    return list;
}

template <class Condition> bool eventually(Condition condition) {
    for (int i = 0; i < 4000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

const std::string kMissing = "000210000060690000ff";

class FirmwareTest : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().firmwareCompletionPollPause = 20ms;
        internalTiming().threadStartRetryPause = 10ms;
        FabAPI_ShutdownFabricAPI();
        {
            std::lock_guard<std::mutex> lock(Recorder::mutex);
            Recorder::events.clear();
        }
        openFabricSessions(sim_, {0}, {kFabricA});
        // In place of the event manager's sink, which start-up installs.
        setFirmwareEventSink(&Recorder::sink);
    }
    void TearDown() override {
        EXPECT_TRUE(eventually([] { return firmwareDownloadInProgress.load() == 0; }));
        FabAPI_ShutdownFabricAPI();
        setFirmwareEventSink(nullptr);
    }

    // The downloads of kind 1 that ended, by switch name.
    std::vector<std::string> endedImages() {
        std::vector<std::string> switches;
        const json downloads = sim_.request({{"op", "transfers"}})["downloads"];
        for (const json& d : downloads)
            if (d["kind"] == 1 && d["state"] == "ended")
                switches.push_back(d["switch"]);
        return switches;
    }
    json serverDownloads() { return sim_.request({{"op", "transfers"}})["serverDownloads"]; }
    // Slows every image chunk down, so that a download lasts long enough to
    // be watched.
    void slowChunks(int ms) {
        sim_.injectFault({{"address", sim_.address(0)},
                          {"procedure", 40},
                          {"code", 1833},
                          {"kind", "delay"},
                          {"delayMs", ms}});
    }
    std::string takeResult(char* result) {
        EXPECT_NE(nullptr, result);
        if (result == nullptr)
            return {};
        std::string text = result;
        EXPECT_EQ(0, falFreeObject(result));
        return text;
    }

    SwitchSimulator sim_{twoFabrics()};
    FirmwareFile image_{2000000};
};

TEST_F(FirmwareTest, WaitingDirectDownloadReportsEachSwitchAndTheFirstFailure) {
    const std::string list = listOf({kSwitchA1, kMissing, kFabricA, kSwitchA2});
    char* result = nullptr;
    EXPECT_EQ(-3, FirmwareDownloadDirect(list.c_str(), image_.path(), true, &result));
    EXPECT_EQ(std::string(kSwitchA1) + ":0;" + kMissing + ":-3;" + kFabricA + ":-6;" + kSwitchA2 +
                  ":0;",
              takeResult(result));
    EXPECT_EQ((std::vector<std::string>{kWwnA1, kWwnA2}), endedImages());
    EXPECT_TRUE(Recorder::taken().empty());
    // The waiting road keeps no download thread.
    EXPECT_EQ(0, firmwareDownloadInProgress.load());
}

TEST_F(FirmwareTest, WaitingDirectDownloadStopsWhenTheSwitchReportsAFailure) {
    sim_.request({{"op", "setCompletion"},
                  {"address", sim_.address(0)},
                  {"switch", kWwnA1},
                  {"polls", 2},
                  {"result", "failed"}});
    const std::string list = listOf({kSwitchA1, kSwitchA2});
    char* result = nullptr;
    EXPECT_EQ(-43, FirmwareDownloadDirect(list.c_str(), image_.path(), true, &result));
    EXPECT_EQ(std::string(kSwitchA1) + ":-43;", takeResult(result));
    const auto failures = Recorder::ofCode(kFirmwareFailedEvent);
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ("Download Failed. Internal Error Code: -60604", failures[0].description);
    EXPECT_EQ(kSwitchA1, failures[0].switchOid);
    EXPECT_EQ(kFabricA, failures[0].fabricOid);
    EXPECT_EQ(1u, sim_.callCount(sim_.address(0), 40, 1832)) << "A2 is not tried";
}

TEST_F(FirmwareTest, DirectDownloadInAThreadReportsProgressAndRefusesSessionClose) {
    slowChunks(10);
    const std::string list = listOf({kSwitchA1, kSwitchA2});
    char* result = nullptr;
    EXPECT_EQ(0, FirmwareDownloadDirect(list.c_str(), image_.path(), false, &result));
    EXPECT_EQ("", takeResult(result));

    ASSERT_TRUE(eventually([] { return !Recorder::ofCode(kFirmwareProgressEvent).empty(); }));
    EXPECT_EQ(1, firmwareDownloadInProgress.load());
    EXPECT_EQ(-43, FabAPI_CloseSessions());
    EXPECT_EQ(-43, CloseFabricSessions());
    EXPECT_EQ(-43, FabAPI_ShutdownFabricAPI());

    ASSERT_TRUE(eventually([] { return firmwareDownloadInProgress.load() == 0; }));
    EXPECT_EQ((std::vector<std::string>{kWwnA1, kWwnA2}), endedImages());
    EXPECT_TRUE(Recorder::ofCode(kFirmwareFailedEvent).empty());
    int last = 0;
    std::string lastSwitch;
    for (const FirmwareEvent& event : Recorder::ofCode(kFirmwareProgressEvent)) {
        int percent = 0;
        ASSERT_EQ(1, std::sscanf(event.description.c_str(), "completion status: %d", &percent))
            << event.description;
        EXPECT_TRUE(event.switchOid == kSwitchA1 || event.switchOid == kSwitchA2);
        EXPECT_EQ(kFabricA, event.fabricOid);
        // Each switch's percentages climb; the second switch starts again.
        if (event.switchOid == lastSwitch) {
            EXPECT_GE(percent, last);
        }
        EXPECT_GT(percent, 0);
        EXPECT_LE(percent, 100);
        last = percent;
        lastSwitch = event.switchOid;
    }
    EXPECT_EQ(kSwitchA2, lastSwitch);

    // Once the job has finished, closing works again.
    EXPECT_EQ(0, FabAPI_CloseSessions());
}

TEST_F(FirmwareTest, ThreadDownloadFailingPartWayRaisesAFailureAndGoesOn) {
    slowChunks(10);
    const std::string list = listOf({kSwitchA1, kMissing, kSwitchA2});
    char* result = nullptr;
    ASSERT_EQ(0, FirmwareDownloadDirect(list.c_str(), image_.path(), false, &result));
    EXPECT_EQ("", takeResult(result));
    ASSERT_TRUE(eventually([] { return !Recorder::ofCode(kFirmwareProgressEvent).empty(); }));
    // Every further chunk of A1 is refused: the transfer gives up part-way.
    sim_.request({{"op", "clearFaults"}});
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1833},
                      {"kind", "status"},
                      {"status", -7},
                      {"count", 7}});
    ASSERT_TRUE(eventually([] { return firmwareDownloadInProgress.load() == 0; }));

    const auto failures = Recorder::ofCode(kFirmwareFailedEvent);
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ(kSwitchA1, failures[0].switchOid);
    EXPECT_EQ(0u, failures[0].description.find("Download Failed: -"));
    EXPECT_EQ((std::vector<std::string>{kWwnA2}), endedImages());
}

TEST_F(FirmwareTest, WaitingSelfDownloadStopsAtAnEntryThatIsNoStoredSwitch) {
    const std::string list = listOf({kSwitchA1, kMissing, kSwitchA2});
    char* result = nullptr;
    EXPECT_EQ(-3, FirmwareDownloadSelf(list.c_str(), "/images/v5.bin", true, "127.0.0.9", "ftp",
                                       "secret", &result));
    EXPECT_EQ(std::string(kSwitchA1) + ":0;" + kMissing + ":-3;", takeResult(result));
    const json servers = serverDownloads();
    ASSERT_EQ(1u, servers.size());
    EXPECT_EQ(kWwnA1, servers[0]["switch"]);
    EXPECT_EQ(1, servers[0]["value"]);
    EXPECT_EQ((json{"/images/v5.bin", "127.0.0.9", "ftp", "secret"}), servers[0]["texts"]);

    // A refusal by the switch is -43 on the line and in the event.
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1842},
                      {"kind", "status"},
                      {"status", -7}});
    const std::string one = listOf({kSwitchA2});
    EXPECT_EQ(-43, FirmwareDownloadSelf(one.c_str(), "/images/v5.bin", true, "127.0.0.9", "ftp",
                                        "secret", &result));
    EXPECT_EQ(std::string(kSwitchA2) + ":-43;", takeResult(result));
    const auto failures = Recorder::ofCode(kFirmwareFailedEvent);
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ("Download Failed: -43", failures[0].description);
    EXPECT_EQ(kSwitchA2, failures[0].switchOid);
}

TEST_F(FirmwareTest, SelfDownloadInThreadsReachesEverySwitch) {
    const std::string list = listOf({kSwitchA1, kSwitchA2});
    char* result = nullptr;
    EXPECT_EQ(0, FirmwareDownloadSelf(list.c_str(), "/images/v5.bin", false, "127.0.0.9", "ftp",
                                      "secret", &result));
    EXPECT_EQ("", takeResult(result));
    ASSERT_TRUE(eventually([] { return firmwareDownloadInProgress.load() == 0; }));
    const json servers = serverDownloads();
    ASSERT_EQ(2u, servers.size());
    EXPECT_NE(servers[0]["switch"], servers[1]["switch"]);
    EXPECT_TRUE(Recorder::taken().empty());

    // Without waiting, an entry that is no stored switch still gets its line.
    const std::string bad = listOf({kMissing, kSwitchA1});
    EXPECT_EQ(-3, FirmwareDownloadSelf(bad.c_str(), "/images/v5.bin", false, "127.0.0.9", "ftp",
                                       "secret", &result));
    EXPECT_EQ(kMissing + ":-3;", takeResult(result));
}

TEST_F(FirmwareTest, BadArguments) {
    const std::string list = listOf({kSwitchA1});
    const std::string empty = listOf({});
    char* result = nullptr;
    struct Case {
        const char* list;
        const char* path;
        const char* host;
        bool directRefuses; // the direct download takes an empty path and has no host
    };
    const Case cases[] = {{nullptr, "/fw", "h", true},
                          {list.c_str(), nullptr, "h", true},
                          {empty.c_str(), "/fw", "h", true},
                          {list.c_str(), "", "h", false},
                          {list.c_str(), "/fw", nullptr, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(-3, FirmwareDownloadSelf(c.list, c.path, true, c.host, "u", "p", &result));
        if (c.directRefuses) {
            EXPECT_EQ(-3, FirmwareDownloadDirect(c.list, c.path, true, &result));
        }
    }
    EXPECT_EQ(-3, FirmwareDownloadDirect(list.c_str(), image_.path(), true, nullptr));
    EXPECT_EQ(nullptr, result);

    // An image file that cannot be read fails the switch's download.
    EXPECT_EQ(-43, FirmwareDownloadDirect(list.c_str(), "/nonexistent/fw.bin", true, &result));
    EXPECT_EQ(std::string(kSwitchA1) + ":-43;", takeResult(result));
    const auto failures = Recorder::ofCode(kFirmwareFailedEvent);
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ("Download Failed. Internal Error Code: -60600", failures[0].description);

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, FirmwareDownloadDirect(list.c_str(), image_.path(), false, &result));
    EXPECT_EQ(-98, FirmwareDownloadSelf(list.c_str(), "/fw", false, "h", "u", "p", &result));
}

} // namespace
