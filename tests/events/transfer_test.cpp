// Firmware downloads and configuration uploads against the switch
// simulator, which keeps what arrived for the test to compare.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "connection/clilib.h"
#include "connection/clilib_transfer.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr unsigned char kEdge[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x02};
const char kEdgeText[] = "10:00:00:60:69:aa:00:02";

json fabricDocument() {
    return json::parse(R"({"fabrics": [{"name": "A", "wwn": "10:00:00:60:69:aa:00:00",
        "switches": [{"wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0", "address": "@0"},
                     {"wwn": "10:00:00:60:69:aa:00:02", "firmware": "v4.1.0"}]}]})");
}

std::uint64_t fnv1a(const std::vector<unsigned char>& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// A firmware file in a unique temporary place, removed with the object.
class FirmwareFile {
public:
    // `dataLength` bytes of data after the header; the header's checksum
    // word is right unless `breakChecksum`.
    FirmwareFile(std::size_t dataLength, bool breakChecksum = false) {
        char name[] = "/tmp/orvane-firmware-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        data_.resize(dataLength);
        for (std::size_t i = 0; i < dataLength; ++i)
            data_[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xFF);
        std::vector<unsigned char> header(kFirmwareHeaderSize, 0x5A);
        std::uint16_t word = imageChecksum16(data_.data(), data_.size());
        if (breakChecksum)
            ++word;
        header[8] = static_cast<unsigned char>(word & 0xFF);
        header[9] = static_cast<unsigned char>(word >> 8);
        EXPECT_EQ(write(fd, header.data(), header.size()), static_cast<ssize_t>(header.size()));
        EXPECT_EQ(write(fd, data_.data(), data_.size()), static_cast<ssize_t>(data_.size()));
        close(fd);
        // What the switch receives: the header area and the data.
        image_.assign(kFirmwareDataOffset, 0);
        std::memcpy(image_.data(), header.data(), header.size());
        image_.insert(image_.end(), data_.begin(), data_.end());
    }
    ~FirmwareFile() { unlink(path_.c_str()); }
    const char* path() const { return path_.c_str(); }
    const std::vector<unsigned char>& image() const { return image_; }

private:
    std::string path_;
    std::vector<unsigned char> data_;
    std::vector<unsigned char> image_;
};

class Transfers : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = 3000ms;
        internalTiming().firmwareCompletionPollPause = 1ms;
        ctx_ = session_.context();
        ASSERT_NE(ctx_, nullptr);
        sim_.resetCounters();
    }
    void TearDown() override { session_.close(); }
    json download() {
        const json downloads = sim_.request({{"op", "transfers"}})["downloads"];
        EXPECT_EQ(downloads.size(), 1u);
        return downloads.empty() ? json() : downloads[0];
    }
    std::uint64_t calls(int code) { return sim_.callCount(sim_.address(0), 40, code); }
    void failChunks(int code, int count) {
        sim_.injectFault({{"address", sim_.address(0)},
                          {"procedure", 40},
                          {"code", code},
                          {"kind", "status"},
                          {"status", -7},
                          {"count", count}});
    }
    void setUpload(const json& content) {
        json request = content;
        request["op"] = "setUpload";
        request["address"] = sim_.address(0);
        request["switch"] = kEdgeText;
        request["value"] = 3;
        sim_.request(request);
    }

    SwitchSimulator sim_{fabricDocument()};
    TestSession session_{sim_.address(0)};
    SessionContext* ctx_ = nullptr;
};

TEST_F(Transfers, FirmwareArrivesByteForByteInChunks) {
    FirmwareFile file(65536);
    ASSERT_EQ(firmwareDownloadFromFile(ctx_, kEdge, file.path(), false), 0);
    const json image = download();
    EXPECT_EQ(image["switch"], kEdgeText);
    EXPECT_EQ(image["kind"], 1);
    EXPECT_EQ(image["state"], "ended");
    EXPECT_EQ(image["total"], file.image().size());
    EXPECT_EQ(image["chunks"], json({32768, 32768, 32768, 64}));
    EXPECT_EQ(image["fnv1a"].get<std::uint64_t>(), fnv1a(file.image()));
    EXPECT_EQ(getDownloadPercent(), 100);
    EXPECT_EQ(calls(1832), 1u);
    EXPECT_EQ(calls(1835), 1u);
}

TEST_F(Transfers, SixFailedChunksAreSentAgainAndTheSeventhAborts) {
    FirmwareFile file(40000);
    failChunks(1833, 6);
    ASSERT_EQ(firmwareDownloadFromFile(ctx_, kEdge, file.path(), false), 0);
    EXPECT_EQ(download()["fnv1a"].get<std::uint64_t>(), fnv1a(file.image()));
    EXPECT_EQ(calls(1833), 3u + 6u);

    sim_.resetCounters();
    failChunks(1833, 7);
    // The ended download reports the switch's status, never success.
    EXPECT_EQ(firmwareDownloadFromFile(ctx_, kEdge, file.path(), false), -7);
    EXPECT_EQ(calls(1833), 7u);
    EXPECT_EQ(calls(1834), 1u);
    EXPECT_EQ(calls(1835), 0u);
    EXPECT_EQ(download()["state"], "aborted");
}

TEST_F(Transfers, FirmwareFilesThatAreRefusedBeforeAnythingIsSent) {
    FirmwareFile wrongChecksum(1000, true);
    EXPECT_EQ(firmwareDownloadFromFile(ctx_, kEdge, wrongChecksum.path(), false),
              SVC_ERR_FIRMWARE_CHECKSUM);
    EXPECT_EQ(firmwareDownloadFromFile(ctx_, kEdge, "/nonexistent/firmware.bin", false),
              SVC_ERR_FIRMWARE_FILE_UNREADABLE);
    // More data than an image carries is refused, not cut short.
    FirmwareFile tooLarge(kFirmwareDataMax + 1);
    EXPECT_EQ(firmwareDownloadFromFile(ctx_, kEdge, tooLarge.path(), false),
              SVC_ERR_FIRMWARE_FILE_UNREADABLE);
    EXPECT_EQ(calls(1832), 0u);

    const unsigned char data[4] = {1, 2, 3, 4};
    EXPECT_EQ(downloadToSwitch(ctx_, kEdge, 1, 0, data), REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(downloadToSwitch(ctx_, kEdge, 1, 4, nullptr), REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(downloadToSwitch(ctx_, nullptr, 1, 4, data), REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(downloadToSwitch(nullptr, kEdge, 1, 4, data), REQ_ERR_BAD_ARGUMENT);
}

TEST_F(Transfers, CompletionIsPolledUntilTheSwitchIsDone) {
    FirmwareFile file(100);
    struct Case {
        int polls;
        const char* result;
        int expected;
        std::uint64_t asked;
    };
    for (const Case& c :
         {Case{2, "done", 0, 3}, Case{1, "failed", SVC_ERR_SWITCH_DOWNLOAD_FAILED, 2},
          Case{20, "done", SVC_ERR_SWITCH_DOWNLOAD_RUNNING, 15}}) {
        sim_.resetCounters();
        sim_.request({{"op", "setCompletion"},
                      {"address", sim_.address(0)},
                      {"switch", kEdgeText},
                      {"polls", c.polls},
                      {"result", c.result}});
        EXPECT_EQ(firmwareDownloadFromFile(ctx_, kEdge, file.path(), true), c.expected) << c.polls;
        EXPECT_EQ(calls(1844), c.asked) << c.polls;
    }
}

TEST_F(Transfers, ServerDownloadCarriesItsTextsInOrder) {
    ASSERT_EQ(firmwareDownloadFromServer(ctx_, kEdge, 5, "host", "user", "file", ""), 0);
    const json servers = sim_.request({{"op", "transfers"}})["serverDownloads"];
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0]["value"], 5);
    EXPECT_EQ(servers[0]["texts"], json({"host", "user", "file", ""}));
    const std::string tooLong(RM_PATH_TEXT_MAX, 'p');
    EXPECT_EQ(firmwareDownloadFromServer(ctx_, kEdge, 5, "host", "user", tooLong.c_str(), ""),
              REQ_ERR_BAD_ARGUMENT);
}

TEST_F(Transfers, ConfigurationTextsUpToTheBufferAreUploaded) {
    constexpr std::size_t kLimit = 512 * 1024;
    // The buffer holds the largest text and its NUL; a guard follows it.
    std::vector<char> buffer(kLimit + 1 + 64, '#');
    for (std::size_t size : {std::size_t{0}, kLimit}) {
        setUpload({{"size", size}});
        sim_.resetCounters();
        int length = -1;
        ASSERT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 1, &length, buffer.data(), kLimit + 1), 0);
        ASSERT_EQ(length, static_cast<int>(size));
        EXPECT_EQ(std::strlen(buffer.data()), size);
        for (std::size_t i = 0; i < size; ++i)
            ASSERT_EQ(buffer[i], static_cast<char>('a' + i % 26)) << i;
        EXPECT_EQ(calls(1837), (size + kTransferChunk - 1) / kTransferChunk);
        EXPECT_EQ(calls(1839), 1u);
    }

    setUpload({{"size", kLimit + 1}});
    sim_.resetCounters();
    std::fill(buffer.begin(), buffer.end(), '#');
    int length = -1;
    EXPECT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 1, &length, buffer.data(), kLimit + 1),
              REQ_ERR_UPLOAD_TOO_LARGE);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(calls(1837), 0u);
    EXPECT_EQ(calls(1838), 1u);
    for (std::size_t i = kLimit + 1; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], '#');
}

TEST_F(Transfers, UploadedNulBytesBecomeBlanksAndFailedChunksAreAskedAgain) {
    setUpload({{"hex", "6100620063"}});
    failChunks(1837, 6);
    char buffer[16];
    int length = 0;
    ASSERT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 1, &length, buffer, sizeof buffer), 0);
    EXPECT_EQ(length, 5);
    EXPECT_STREQ(buffer, "a b c");
    EXPECT_EQ(calls(1837), 7u);

    sim_.resetCounters();
    failChunks(1837, 7);
    EXPECT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 1, &length, buffer, sizeof buffer), -7);
    EXPECT_EQ(calls(1838), 1u);

    EXPECT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 0, &length, buffer, sizeof buffer),
              REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(uploadFromSwitch(ctx_, kEdge, 3, 1, &length, nullptr, 0), REQ_ERR_BAD_ARGUMENT);
    // A switch without that text refuses the start.
    EXPECT_EQ(uploadFromSwitch(ctx_, kEdge, 4, 1, &length, buffer, sizeof buffer), -1);
}

} // namespace
