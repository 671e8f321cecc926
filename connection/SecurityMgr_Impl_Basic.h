// The basic security manager: Base64, without state.
#pragma once

#include "connection/SecurityMgr_Ifc.h"

class SecurityMgr_Impl_Basic : public SecurityMgr_Ifc {
public:
    int initialize() override;
    int encode(const char* in, char* out, int n, unsigned* outCount) override;
    int decode(const char* in, char* out, int n, int* outCount) override;
    std::uint32_t encodedSize(std::uint32_t n) override;
    std::uint32_t decodedSize(std::uint32_t n) override;
    int finalize(int mode) override;
};

// Kind of the basic security manager.
constexpr int SECURITY_MANAGER_BASIC = 1;

// Kind 1 makes a SecurityMgr_Impl_Basic the process-wide security manager and
// returns it (an existing manager is kept and returned); any other kind makes
// none and returns null. Null also when allocation fails.
SecurityMgr_Ifc* createSecurityManager(int kind);

// The process-wide security manager, or null.
SecurityMgr_Ifc* getSecurityManager();

// Deletes the process-wide security manager (shutdown); no-op without one.
void deleteSecurityManager();
