#include "yarllite/CommandFrontEnd.h"

#include <gtest/gtest.h>

#include "yarllite/ObjectStoreEraser.h"

namespace {

int erasures = 0;

void countErasure() {
    ++erasures;
}

} // namespace

TEST(CommandFrontEnd, ExitEmptiesTheObjectStoreAndAnswersNothing) {
    setObjectStoreEraser(countErasure);
    erasures = 0;
    std::string reply = "kept";
    EXPECT_FALSE(runCommand("<?xml version='1.0'?><YarlRequest><MsgType>Exit</MsgType>"
                            "</YarlRequest>",
                            reply));
    EXPECT_EQ("kept", reply);
    EXPECT_EQ(1, erasures);

    // Only a parsed "Exit" erases.
    EXPECT_FALSE(runCommand("<YarlRequest><MsgType>Exit</MsgType></YarlRequest>", reply));
    EXPECT_FALSE(runCommand("<?xml version='1.0'?><YarlRequest><MsgType>Exit</MsgType>", reply));
    EXPECT_TRUE(runCommand("<?xml version='1.0'?><R><MsgType>exit</MsgType></R>", reply));
    EXPECT_EQ(1, erasures);
    setObjectStoreEraser(nullptr);
    EXPECT_FALSE(runCommand("<?xml version='1.0'?><R><MsgType>Exit</MsgType></R>", reply));
    EXPECT_EQ(1, erasures);
}
