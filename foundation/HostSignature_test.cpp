#include "foundation/APIException.h"
#include "foundation/HostSignature.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const unsigned char kSwitchName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};

} // namespace

TEST(HostSignatureTest, HostNameNameAndNumber) {
    char host[128] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);

    char out[HostSignatureSize];
    formatHostSignature(kSwitchName, 4242, out, sizeof out);
    EXPECT_EQ(std::string(out), std::string(host) + ";10:00:00:60:69:12:34:56;4242");

    formatHostSignature(kSwitchName, LONG_MIN, out, sizeof out);
    EXPECT_EQ(std::string(out),
              std::string(host) + ";10:00:00:60:69:12:34:56;" + std::to_string(LONG_MIN));
}

TEST(HostSignatureTest, RefusesBufferThatIsTooSmall) {
    char out[16];
    std::memset(out, 'x', sizeof out);
    try {
        formatHostSignature(kSwitchName, 1, out, sizeof out);
        FAIL() << "expected SecurityUtilException";
    } catch (const SecurityUtilException& e) {
        EXPECT_EQ(e.getCode(), -10021);
    }
    EXPECT_EQ(out[0], '\0');
    EXPECT_THROW(formatHostSignature(kSwitchName, 1, nullptr, 0), SecurityUtilException);
}
