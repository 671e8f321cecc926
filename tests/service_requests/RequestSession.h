// A session context on a simulated proxy switch for tests of the request
// layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "connection/clilib.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"

class RequestSession : public ::testing::Test {
protected:
    // Starts the simulator with `fabric` (the proxy at "@0") and opens the
    // session.
    void open(const nlohmann::json& fabric) {
        sim_ = std::make_unique<SwitchSimulator>(fabric);
        session_ = std::make_unique<TestSession>(sim_->address(0));
        blocksBefore_ = liveApiRecords();
        sim_->resetCounters();
    }

    void TearDown() override {
        if (session_ != nullptr) {
            EXPECT_FALSE(session_->connectionInUse()) << "a request kept the connection";
            session_.reset();
            // Every block a request handed out has been given back, the
            // context included.
            EXPECT_EQ(blocksBefore_, liveApiRecords() + 1);
        }
    }

    SwitchSimulator& sim() { return *sim_; }
    SessionContext* ctx() { return session_ != nullptr ? session_->context() : nullptr; }
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
    std::unique_ptr<SwitchSimulator> sim_;
    std::unique_ptr<TestSession> session_;
    std::size_t blocksBefore_ = 0;
};
