#include "sim/PkiFolder.h"

#include <filesystem>
#include <system_error>

std::string pkiFolderFor(const std::string& executable) {
    namespace fs = std::filesystem;
    const fs::path installed =
        (fs::path(executable).parent_path() / SWITCHSIM_INSTALLED_PKI_DIR).lexically_normal();
    std::error_code error;
    if (fs::is_directory(installed, error)) {
        return installed.string();
    }
    return SWITCHSIM_PKI_DIR;
}

const std::string& pkiFolder() {
    static const std::string folder = [] {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::string(SWITCHSIM_PKI_DIR) : pkiFolderFor(executable.string());
    }();
    return folder;
}
