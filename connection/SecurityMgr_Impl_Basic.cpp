#include "connection/SecurityMgr_Impl_Basic.h"

#include "foundation/Base64.h"

#include <atomic>
#include <new>

namespace {

std::atomic<SecurityMgr_Ifc*> securityManager{nullptr};

} // namespace

int SecurityMgr_Impl_Basic::initialize() {
    return 0;
}

int SecurityMgr_Impl_Basic::encode(const char* in, char* out, int n, unsigned* outCount) {
    return Base64Encode(in, out, n, outCount);
}

int SecurityMgr_Impl_Basic::decode(const char* in, char* out, int n, int* outCount) {
    return Base64Decode(in, out, n, outCount);
}

std::uint32_t SecurityMgr_Impl_Basic::encodedSize(std::uint32_t n) {
    return Base64EncodedSize(n);
}

std::uint32_t SecurityMgr_Impl_Basic::decodedSize(std::uint32_t n) {
    return Base64DecodedSize(n);
}

int SecurityMgr_Impl_Basic::finalize(int /*mode*/) {
    return 0;
}

SecurityMgr_Ifc* createSecurityManager(int kind) {
    if (kind != SECURITY_MANAGER_BASIC) {
        return nullptr;
    }
    SecurityMgr_Ifc* existing = securityManager.load();
    if (existing != nullptr) {
        return existing;
    }
    SecurityMgr_Ifc* made = new (std::nothrow) SecurityMgr_Impl_Basic();
    if (made == nullptr) {
        return nullptr;
    }
    if (!securityManager.compare_exchange_strong(existing, made)) {
        delete made; // another thread made it first
        return existing;
    }
    return made;
}

SecurityMgr_Ifc* getSecurityManager() {
    return securityManager.load();
}

void deleteSecurityManager() {
    delete securityManager.exchange(nullptr);
}
