#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "sim/PkiFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(PkiFolderTest, AnInstalledSwitchsimReadsItsInstalledData) {
    char pattern[] = "/tmp/pki-folder-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path prefix = pattern;
    fs::create_directories(prefix / "bin");
    const std::string executable = (prefix / "bin" / "switchsim").string();

    // Nothing installed beside it: the source tree's PKI.
    EXPECT_EQ(pkiFolderFor(executable), SWITCHSIM_PKI_DIR);

    const fs::path installed = (prefix / "bin" / SWITCHSIM_INSTALLED_PKI_DIR).lexically_normal();
    fs::create_directories(installed);
    EXPECT_EQ(pkiFolderFor(executable), installed.string());

    fs::remove_all(prefix);
}

} // namespace
