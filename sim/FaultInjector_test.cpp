#include <gtest/gtest.h>

#include "sim/FaultInjector.h"

namespace {

using nlohmann::json;

Fault fault(const json& description) {
    return Fault::fromJson(description);
}

TEST(FaultInjector, TheMostSpecificFaultWinsWhateverTheOrder) {
    FaultInjector faults;
    faults.add(fault({{"kind", "delay"}}));
    faults.add(fault({{"procedure", 40}, {"code", 1285}, {"kind", "status"}}));
    faults.add(fault({{"address", "127.1.1.1"}, {"kind", "close"}}));
    faults.add(fault({{"procedure", 40}, {"kind", "noReply"}}));

    EXPECT_EQ(faults.take("127.1.1.1", 40, 1285)->kind, FaultKind::Close);
    EXPECT_EQ(faults.take("127.2.2.2", 40, 1285)->kind, FaultKind::Status);
    EXPECT_EQ(faults.take("127.2.2.2", 40, 257)->kind, FaultKind::NoReply);
    EXPECT_EQ(faults.take("127.2.2.2", 40, std::nullopt)->kind, FaultKind::NoReply);
    EXPECT_EQ(faults.take("127.2.2.2", 2, std::nullopt)->kind, FaultKind::Delay);
}

TEST(FaultInjector, CountedFaultsAreUsedUp) {
    FaultInjector faults;
    faults.add(fault({{"procedure", 2}, {"kind", "close"}, {"count", 2}}));
    EXPECT_TRUE(faults.take("127.1.1.1", 2, std::nullopt));
    EXPECT_FALSE(faults.take("127.1.1.1", 3, std::nullopt));
    EXPECT_TRUE(faults.take("127.1.1.2", 2, std::nullopt));
    EXPECT_FALSE(faults.take("127.1.1.1", 2, std::nullopt));
    EXPECT_TRUE(faults.toJson().empty());
}

TEST(FaultInjector, ReadsEveryFieldAndRefusesBadOnes) {
    const Fault f = fault({{"address", "127.1.1.1"},
                           {"procedure", 40},
                           {"code", 1285},
                           {"kind", "status"},
                           {"status", -86},
                           {"delayMs", 20},
                           {"count", 3}});
    EXPECT_EQ(f.toJson(), json::parse(R"({"address": "127.1.1.1", "procedure": 40,
        "code": 1285, "kind": "status", "status": -86, "delayMs": 20, "count": 3})"));
    for (const json& bad :
         {json::array(), json({{"kind", "boom"}}), json({{"procedure", 2}}),
          json({{"kind", "delay"}, {"delayMs", -5}}), json({{"kind", "close"}, {"count", 0}}),
          json({{"kind", "close"}, {"procedure", "two"}}),
          json({{"kind", "close"}, {"address", 7}})}) {
        EXPECT_THROW(fault(bad), std::invalid_argument) << bad.dump();
    }
}

TEST(FaultInjector, ReadsALeavingSwitch) {
    const Fault f =
        fault({{"kind", "leaveJoin"}, {"switch", "1000006069aa0002"}, {"absentMs", 250}});
    EXPECT_EQ(f.kind, FaultKind::LeaveJoin);
    EXPECT_EQ(f.toJson(), json::parse(R"({"kind": "leaveJoin", "status": -1, "delayMs": 0,
        "switch": "10:00:00:60:69:aa:00:02", "absentMs": 250})"));
    EXPECT_EQ(fault({{"kind", "leaveJoin"}}).absence, std::chrono::milliseconds(1000));
    for (const json& bad : {json({{"kind", "leaveJoin"}, {"switch", "nonsense"}}),
                            json({{"kind", "leaveJoin"}, {"switch", 5}}),
                            json({{"kind", "leaveJoin"}, {"absentMs", -1}})}) {
        EXPECT_THROW(fault(bad), std::invalid_argument) << bad.dump();
    }
}

TEST(FaultInjector, ReadsTheBytesOfAPlayedReply) {
    const Fault played = fault({{"kind", "bytes"}, {"replyHex", "00000000 0000ff\n80"}});
    EXPECT_EQ(played.kind, FaultKind::Bytes);
    EXPECT_EQ(played.replyBytes, (std::vector<char>{0, 0, 0, 0, 0, 0, static_cast<char>(0xff),
                                                    static_cast<char>(0x80)}));
    for (const json& bad : {json{{"kind", "bytes"}}, json{{"kind", "bytes"}, {"replyHex", "abc"}},
                            json{{"kind", "bytes"}, {"replyHex", "zz"}}}) {
        EXPECT_THROW(fault(bad), std::invalid_argument) << bad.dump();
    }
}

} // namespace
