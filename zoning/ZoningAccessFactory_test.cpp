#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <memory>
#include <mutex>

#include "connection/SessionHooks.h"
#include "foundation/APIException.h"
#include "zoning/UDAL_ZoningAccess_2_2_Impl.h"
#include "zoning/UDAL_ZoningAccess_2_3_Impl.h"
#include "zoning/UDAL_ZoningAccess_2_6_Impl.h"
#include "zoning/UDAL_ZoningAccess_4_0_Impl.h"
#include "zoning/UDAL_ZoningAccess_4_1_Impl.h"
#include "zoning/ZoningAccessFactory.h"
#include "objects/ZoningFabricHooks.h"

namespace {

using namespace std::chrono_literals;

TEST(ProxySwitchVersionClass, ClassifiesFirmwareTexts) {
    const struct {
        const char* text;
        int versionClass;
    } cases[] = {
        {"", 0},        {"v2.2.1", 0},    {"v2.3.0", 1},        {"v2.4.1c", 1},
        {"v2.5.0", 1},  {"v2.6.0", 2},    {"v3.0.1", 1},        {"v3.0.2", 3},
        {"v3.0.2a", 3}, {"v3.1.0", 2},    {"v4.0.0", 4},        {"v4.1.0", 5},
        {"v5.0", 2},    {"Fabric OS", 2}, {"v2.2 and v4.1", 0}, {"v4.1 v3.0.2", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(proxySwitchVersionClass(c.text), c.versionClass) << c.text;
    }
}

class StoredVersions : public ZoningFabricHooks {
public:
    std::optional<std::string> proxySwitchVersion(const std::string& oid) override {
        auto it = versions.find(oid);
        return it == versions.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::map<std::string, std::string> versions;
};

TEST(GetProxySwitchVersionClass, ReadsTheStoredFabricsVersion) {
    StoredVersions stored;
    stored.versions = {{"0009100000606900aa00", "v4.0.1"}, {"0002100000606900aa01", "v3.0.2"}};
    ZoningFabricHooks* previous = installZoningFabricHooks(&stored);
    EXPECT_EQ(GetProxySwitchVersionClass("0009100000606900aa00"), 4);
    EXPECT_EQ(GetProxySwitchVersionClass("0002100000606900aa01"), 3);
    EXPECT_EQ(GetProxySwitchVersionClass("0009100000606900bb00"), 0); // fabric not stored
    EXPECT_EQ(GetProxySwitchVersionClass(""), 0);
    installZoningFabricHooks(previous);
    EXPECT_EQ(GetProxySwitchVersionClass("0009100000606900aa00"), 0);
}

// A session whose connection one user holds at a time, as a session does:
// a second borrower waits until it is given back.
class ExclusiveSession : public SessionHooks {
public:
    Fabric_Connection_Impl_RPC* acquireConnection(ClientSession*) override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !inUse_; });
        --waiting_;
        inUse_ = true;
        return &connection_;
    }
    void releaseConnection(ClientSession*, Fabric_Connection_Ifc*) override {
        std::scoped_lock lock(mutex_);
        inUse_ = false;
        changed_.notify_all();
    }
    // Waits (bounded) until `count` borrowers wait.
    bool awaitWaiting(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return waiting_ >= count; });
    }
    bool inUse() {
        std::scoped_lock lock(mutex_);
        return inUse_;
    }

private:
    Fabric_Connection_Impl_RPC connection_{nullptr};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool inUse_ = false;
    int waiting_ = 0;
};

class ZoningAccessFactory : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = installSessionHooks(&session_);
        context_.session = reinterpret_cast<ClientSession*>(&owner_);
    }
    void TearDown() override { installSessionHooks(previous_); }

    ExclusiveSession session_;
    SessionHooks* previous_ = nullptr;
    int owner_ = 0;
    SessionContext context_{};
};

template <class Level> bool isExactly(UDAL_ZoningAccess_Ifc* access) {
    return access != nullptr && typeid(*access) == typeid(Level);
}

TEST_F(ZoningAccessFactory, GivesEachClassItsLevel) {
    const auto check = [&](int versionClass, auto matches) {
        std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(versionClass, &context_));
        EXPECT_TRUE(matches(access.get())) << versionClass;
        EXPECT_TRUE(session_.inUse());
    };
    check(0, isExactly<UDAL_ZoningAccess_2_2_Impl>);
    check(1, isExactly<UDAL_ZoningAccess_2_3_Impl>);
    check(2, isExactly<UDAL_ZoningAccess_2_6_Impl>);
    check(3, isExactly<UDAL_ZoningAccess_2_6_Impl>);
    check(4, isExactly<UDAL_ZoningAccess_4_0_Impl>);
    check(5, isExactly<UDAL_ZoningAccess_4_1_Impl>);
    EXPECT_FALSE(session_.inUse()); // every one gave the connection back
    EXPECT_EQ(getZoningAccess(-1, &context_), nullptr);
    EXPECT_EQ(getZoningAccess(6, &context_), nullptr);
    EXPECT_FALSE(session_.inUse());
}

TEST_F(ZoningAccessFactory, LaterLevelsAddTheirReservedSlots) {
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(5, &context_));
    auto* level = dynamic_cast<UDAL_ZoningAccess_4_1_Impl*>(access.get());
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->reservedOperation(), 0);
    EXPECT_EQ(level->reservedOperationA(), 0);
    EXPECT_EQ(level->reservedOperationB(1, 2, 3), 0);
    EXPECT_EQ(level->reservedOperationC(1, 2), 0);
    EXPECT_EQ(level->checkZoningItem(&owner_), 0);
    level->applyZoningItem(&owner_, 1);
}

TEST_F(ZoningAccessFactory, ASecondAccessObjectWaitsForTheFirst) {
    std::unique_ptr<UDAL_ZoningAccess_Ifc> first(getZoningAccess(5, &context_));
    ASSERT_NE(first, nullptr);
    auto second = std::async(std::launch::async, [&] {
        return std::unique_ptr<UDAL_ZoningAccess_Ifc>(getZoningAccess(2, &context_));
    });
    ASSERT_TRUE(session_.awaitWaiting(1));
    EXPECT_EQ(second.wait_for(0s), std::future_status::timeout);
    first.reset();
    ASSERT_EQ(second.wait_for(10s), std::future_status::ready);
    EXPECT_NE(second.get(), nullptr);
}

TEST_F(ZoningAccessFactory, AClosedSessionGivesTheSessionClosedException) {
    SessionContext closed{};
    for (int versionClass = 0; versionClass <= 5; ++versionClass) {
        try {
            delete getZoningAccess(versionClass, &closed);
            ADD_FAILURE() << versionClass;
        } catch (const ConnectionException& e) {
            EXPECT_EQ(e.getCode(), -202);
            EXPECT_EQ(e.getMessage(), "Error session closed.");
        }
    }
    installSessionHooks(nullptr); // no session behind the context either
    EXPECT_THROW(delete getZoningAccess(0, &context_), ConnectionException);
}

} // namespace
