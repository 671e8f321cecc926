#include "FabricLogin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SystemParameters.h"
#include "console_testing.h"

namespace {

const std::string FabricId = "00091000006069000001";

// Accepts one login from the given attempt on (0: never), and records every
// login it was sent.
class RecordingSessions : public SessionOpener {
public:
    explicit RecordingSessions(int acceptFrom) : acceptFrom_(acceptFrom) {}
    bool establishSession(const std::string& fabricId, const Credentials& login) override {
        EXPECT_EQ(fabricId, FabricId);
        sent.push_back(login.user + "/" + login.password);
        return acceptFrom_ != 0 && static_cast<int>(sent.size()) >= acceptFrom_;
    }
    std::vector<std::string> sent;

private:
    int acceptFrom_;
};

SystemParameters inMode(std::int16_t mode) {
    SystemParameters parameters;
    parameters.operationsMode = mode;
    return parameters;
}

TEST(FabricLogin, BatchModeSendsTheDefaultLoginSixTimesAtMost) {
    const SystemParameters batch = inMode(BatchMode);
    ScriptedConsole console("");
    RecordingSessions refused(0);
    FabricLogin login(batch, console.console(), refused);
    EXPECT_FALSE(login.loginToFabric(1, FabricId));
    EXPECT_EQ(refused.sent, std::vector<std::string>(6, "admin/quorbelt"));
    EXPECT_EQ(console.output(),
              "\n  Login Failed: fabric 1. principal switch WWN = 10:00:00:60:69:00:00:01 \n");

    SystemParameters given = inMode(BatchMode);
    given.USER_LOGIN = "joe";
    given.PASSWORD = "sixsix";
    RecordingSessions third(3);
    FabricLogin again(given, console.console(), third);
    EXPECT_TRUE(again.loginToFabric(2, FabricId));
    EXPECT_EQ(third.sent, std::vector<std::string>(3, "joe/sixsix"));
}

TEST(FabricLogin, InteractiveModeAsksAgainAfterEachRefusal) {
    const SystemParameters interactive = inMode(InteractiveMode);
    ScriptedConsole console("joe\npw1\n\npw2\njoe\npw3\n");
    RecordingSessions sessions(3);
    FabricLogin login(interactive, console.console(), sessions);
    EXPECT_TRUE(login.loginToFabric(1, FabricId));
    EXPECT_EQ(sessions.sent, (std::vector<std::string>{"joe/pw1", "admin/pw2", "joe/pw3"}));
    const std::string shown = console.output();
    EXPECT_NE(shown.find("\n  Login to fabric 1. principal switch WWN = 10:00:00:60:69:00:00:01\n"
                         "\n  Username: "),
              std::string::npos);
    EXPECT_NE(shown.find("\n\n  Fabric 1 login refused, principal switch WWN = "
                         "10:00:00:60:69:00:00:01;\n\n"
                         "  Please enter login information within  5 tries:\n\n  Username [joe]: "),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\n  Again ... ( 4 tries left): \n\n  Username [admin]: "),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\n  Logged into fabric 1. principal switch WWN = "
                         "10:00:00:60:69:00:00:01 \n"),
              std::string::npos);
    for (const char* password : {"pw1", "pw2", "pw3"})
        EXPECT_EQ(shown.find(password), std::string::npos);
}

TEST(FabricLogin, InteractiveModeGivesUpOnAnEmptyPasswordOrAfterSixAttempts) {
    const SystemParameters interactive = inMode(InteractiveMode);
    {
        ScriptedConsole console("joe\npw1\njoe\n\n");
        RecordingSessions refused(0);
        FabricLogin login(interactive, console.console(), refused);
        EXPECT_FALSE(login.loginToFabric(1, FabricId));
        EXPECT_EQ(refused.sent.size(), 1u);
        EXPECT_NE(console.output().find("\n  Login Failed: fabric 1."), std::string::npos);
    }
    {
        std::string input;
        for (int i = 1; i <= 6; ++i)
            input += "joe\npw" + std::to_string(i) + "\n";
        input += "more\nlines\n";
        ScriptedConsole console(input);
        RecordingSessions refused(0);
        FabricLogin login(interactive, console.console(), refused);
        EXPECT_FALSE(login.loginToFabric(1, FabricId));
        EXPECT_EQ(refused.sent.size(), 6u);
        EXPECT_NE(console.output().find("( 1 tries left)"), std::string::npos);
        EXPECT_EQ(console.console().readLine(10), "more"); // no seventh prompt
    }
    {
        ScriptedConsole console("joe\npw1\n");
        RecordingSessions refused(0);
        FabricLogin login(interactive, console.console(), refused);
        EXPECT_FALSE(login.loginToFabric(1, FabricId)); // the input ends at the second prompt
        EXPECT_EQ(refused.sent.size(), 1u);
    }
    {
        ScriptedConsole console("");
        RecordingSessions sessions(1);
        FabricLogin login(interactive, console.console(), sessions);
        EXPECT_FALSE(login.loginToFabric(1, FabricId)); // nothing sent for a closed input
        EXPECT_TRUE(sessions.sent.empty());
    }
}

TEST(FabricLogin, TheLoginTypedForOneFabricIsTheNextOnesDefault) {
    SystemParameters interactive = inMode(InteractiveMode);
    ScriptedConsole console("joe\npw1\n\npw2\n");
    RecordingSessions sessions(1);
    FabricLogin login(interactive, console.console(), sessions);
    EXPECT_TRUE(login.loginToFabric(1, FabricId));
    EXPECT_TRUE(login.loginToFabric(2, FabricId));
    EXPECT_NE(console.output().find("\n  Login to fabric 2. principal switch WWN = "
                                    "10:00:00:60:69:00:00:01\n\n  Username [joe]: "),
              std::string::npos);
    EXPECT_EQ(sessions.sent.back(), "admin/pw2"); // Enter alone at the name gives "admin"
}

} // namespace
