#include "yarllite/CommandFrontEnd.h"

#include <gtest/gtest.h>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"

namespace {

std::size_t storedObjects() {
    LockGuard guard(getObjectStoreMutex());
    return objectMap().size();
}

void storeTwoObjects() {
    const unsigned char name[WWNAddress::Size] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 0x01};
    getOrCreateObject(9, WWNAddress(name));
    getOrCreateObject(2, WWNAddress(name));
    ASSERT_EQ(2u, storedObjects());
}

} // namespace

TEST(CommandFrontEnd, ExitEmptiesTheObjectStoreAndAnswersNothing) {
    storeTwoObjects();
    std::string reply = "kept";
    EXPECT_FALSE(runCommand("<?xml version='1.0'?><YarlRequest><MsgType>Exit</MsgType>"
                            "</YarlRequest>",
                            reply));
    EXPECT_EQ("kept", reply);
    EXPECT_EQ(0u, storedObjects());

    // Only a parsed "Exit" erases.
    storeTwoObjects();
    EXPECT_FALSE(runCommand("<YarlRequest><MsgType>Exit</MsgType></YarlRequest>", reply));
    EXPECT_FALSE(runCommand("<?xml version='1.0'?><YarlRequest><MsgType>Exit</MsgType>", reply));
    EXPECT_TRUE(runCommand("<?xml version='1.0'?><R><MsgType>exit</MsgType></R>", reply));
    EXPECT_EQ(2u, storedObjects());
    eraseMap();
}
