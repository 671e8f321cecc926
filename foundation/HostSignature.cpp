#include "foundation/HostSignature.h"

#include "foundation/APIException.h"
#include "foundation/WWNAddress.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxHostNameLength = 65;

} // namespace

void formatHostSignature(const unsigned char name[8], long number, char* out, std::size_t outSize) {
    char host[kMaxHostNameLength + 1] = {};
    if (gethostname(host, kMaxHostNameLength) != 0) {
        throw SecurityUtilException("Unable to get local host address.", REQ_ERR_RPC_NO_REPLY);
    }
    host[kMaxHostNameLength] = '\0';

    if (out == nullptr || outSize == 0) {
        throw SecurityUtilException("Host signature buffer missing.", REQ_ERR_BAD_ARGUMENT);
    }
    const std::string wwn = WWNAddress(name).toString();
    const int length = std::snprintf(out, outSize, "%s;%s;%ld", host, wwn.c_str(), number);
    if (length < 0 || static_cast<std::size_t>(length) >= outSize) {
        out[0] = '\0';
        throw SecurityUtilException("Host signature buffer too small.", REQ_ERR_BAD_ARGUMENT);
    }
}
