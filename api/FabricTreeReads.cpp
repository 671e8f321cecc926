#include "api/FabricTreeReads.h"

#include <atomic>

namespace {

FabricTreeReads& defaultReads() {
    static FabricTreeReads reads;
    return reads;
}

std::atomic<FabricTreeReads*> installed{nullptr};

} // namespace

std::optional<std::vector<std::string>> FabricTreeReads::fabricSwitches(const std::string&) {
    return std::nullopt;
}

std::optional<unsigned short> FabricTreeReads::storedFabricLevel(const WWNAddress&) {
    return std::nullopt;
}

FabricTreeReads& fabricTreeReads() {
    FabricTreeReads* reads = installed.load();
    return reads != nullptr ? *reads : defaultReads();
}

FabricTreeReads* installFabricTreeReads(FabricTreeReads* reads) {
    return installed.exchange(reads);
}
