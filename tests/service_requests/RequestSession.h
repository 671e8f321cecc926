// A session context on a simulated proxy switch for tests of the request
// layer: the context's session lends one RPC connection to the simulator.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/SessionHooks.h"
#include "connection/clilib.h"
#include "tests/support/SwitchSimulator.h"

class RequestSession : public ::testing::Test, private SessionHooks {
protected:
    // Starts the simulator with `fabric` (the proxy at "@0") and opens the
    // context.
    void open(const nlohmann::json& fabric) {
        sim_ = std::make_unique<SwitchSimulator>(fabric);
        CLIENT* client =
            clnt_create(sim_->address(0).c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp");
        ASSERT_NE(nullptr, client);
        connection_ = std::make_unique<Fabric_Connection_Impl_RPC>(client);
        previous_ = installSessionHooks(this);
        blocksBefore_ = liveApiRecords();
        ctx_ = createSessionContext(reinterpret_cast<ClientSession*>(&sessionTag_));
        sim_->resetCounters();
    }

    void TearDown() override {
        if (ctx_ != nullptr) {
            destroySessionContext(ctx_);
            // Every block a request handed out has been given back.
            EXPECT_EQ(blocksBefore_, liveApiRecords());
        }
        installSessionHooks(previous_);
    }

    SwitchSimulator& sim() { return *sim_; }
    SessionContext* ctx() { return ctx_; }
    // Calls of `procedure` (with `code`) that reached the switch.
    std::uint64_t calls(std::uint32_t procedure, std::optional<std::int32_t> code = {}) {
        return sim_->callCount(sim_->address(0), procedure, code);
    }
    void injectMalformed(std::uint32_t procedure, std::int32_t code) {
        sim_->injectFault({{"address", sim_->address(0)},
                           {"procedure", procedure},
                           {"code", code},
                           {"kind", "malformed"},
                           {"count", 1}});
    }
    nlohmann::json fabricSource() {
        return sim_->request({{"op", "source"}, {"fabric", 0}}).at("source");
    }
    nlohmann::json switchSource(const std::string& wwn) {
        return sim_->request({{"op", "source"}, {"fabric", 0}, {"switch", wwn}}).at("source");
    }

private:
    Fabric_Connection_Impl_RPC* acquireConnection(ClientSession*) override {
        return connection_.get();
    }
    void releaseConnection(ClientSession*, Fabric_Connection_Impl_RPC*) override {}
    const char* loginSignature(Fabric_Connection_Impl_RPC*) override { return nullptr; }
    void deleteSession(ClientSession*) override {}

    std::unique_ptr<SwitchSimulator> sim_;
    std::unique_ptr<Fabric_Connection_Impl_RPC> connection_;
    SessionHooks* previous_ = nullptr;
    SessionContext* ctx_ = nullptr;
    std::size_t blocksBefore_ = 0;
    int sessionTag_ = 0;
};
