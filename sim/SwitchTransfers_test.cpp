#include "sim/SwitchTransfers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const Wwn kSwitch = {0x10, 0, 0, 0x60, 0x69, 0, 0, 2};

DownloadDataArgs chunk(int handle, int offset, std::vector<char>& data, int checksum) {
    DownloadDataArgs args{};
    std::memcpy(args.wwn, kSwitch.data(), 8);
    args.handle = handle;
    args.offset = offset;
    args.checksum = checksum;
    args.data.data_len = static_cast<u_int>(data.size());
    args.data.data_val = data.data();
    return args;
}

TEST(SwitchTransfers, ADownloadTakesOnlyInOrderChunksWithTheirSum) {
    SwitchTransfers& transfers = SwitchTransfers::instance();
    DownloadStartArgs start{};
    std::memcpy(start.wwn, kSwitch.data(), 8);
    start.value1 = 1;
    start.value2 = 6;
    IntPair pair{};
    transfers.downloadStart("127.1.2.3", start, pair);
    ASSERT_EQ(pair.first, 0);
    const int handle = pair.second;

    std::vector<char> first = {1, 2, 3};
    std::vector<char> second = {4, 5, 6};
    std::vector<char> extra = {7};
    struct Case {
        DownloadDataArgs args;
        int expected;
    };
    const Case cases[] = {
        {chunk(handle + 1, 0, first, 6), -1}, // unknown handle
        {chunk(handle, 3, first, 6), -2},     // not the next offset
        {chunk(handle, 0, first, 7), -3},     // wrong sum
        {chunk(handle, 0, first, 6), 0},
        {chunk(handle, 0, first, 6), -2}, // the same chunk again
        {chunk(handle, 3, second, 15), 0},
        {chunk(handle, 6, extra, 7), -4}, // beyond the announced length
    };
    for (const Case& c : cases) {
        transfers.downloadData("127.1.2.3", c.args, pair);
        EXPECT_EQ(pair.first, c.expected) << c.args.offset << " " << c.args.checksum;
    }
    WWNIntArgs end{};
    std::memcpy(end.wwn, kSwitch.data(), 8);
    end.value = handle;
    transfers.downloadAbortOrEnd("127.1.2.3", end, true, pair);
    EXPECT_EQ(pair.first, 0);

    nlohmann::json reply;
    ASSERT_TRUE(transfers.answer("transfers", {}, reply));
    EXPECT_EQ(reply["downloads"][0]["state"], "ended");
    EXPECT_EQ(reply["downloads"][0]["sum"], 21);
}

TEST(SwitchTransfers, AnIncompleteDownloadDoesNotEnd) {
    SwitchTransfers& transfers = SwitchTransfers::instance();
    DownloadStartArgs start{};
    std::memcpy(start.wwn, kSwitch.data(), 8);
    start.value2 = 10;
    IntPair pair{};
    transfers.downloadStart("127.1.2.4", start, pair);
    WWNIntArgs end{};
    std::memcpy(end.wwn, kSwitch.data(), 8);
    end.value = pair.second;
    transfers.downloadAbortOrEnd("127.1.2.4", end, true, pair);
    EXPECT_EQ(pair.first, -5);
}

} // namespace
