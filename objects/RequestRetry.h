// What the object classes share when they ask the switches: the retry of a
// request that a switch answers busy, and bounded copies of reply texts
// into record fields.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "foundation/WWNAddress.h"

inline constexpr int kSwitchBusy = -86;
inline constexpr int kBusyAttempts = 5;

// Runs `request` under the device-access lock until it is not busy, at
// most five times with the busy pause between; its last status (-86 when
// every attempt was busy).
template <class Request> int askUntilNotBusy(Request&& request) {
    int status = kSwitchBusy;
    for (int attempt = 0; attempt < kBusyAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        {
            LockGuard device(getSwitchRequestMutex());
            status = request();
        }
        if (MapApiError(status) != kSwitchBusy) {
            return status;
        }
    }
    return kSwitchBusy;
}

// Copies at most `size` - 1 characters of `text` (read up to its NUL but
// never past `textSize`) into `to`, which stays NUL-terminated; the number
// copied.
inline std::size_t copyBoundedText(char* to, std::size_t size, const char* text,
                                   std::size_t textSize) {
    if (to == nullptr || size == 0) {
        return 0;
    }
    std::memset(to, 0, size);
    if (text == nullptr) {
        return 0;
    }
    const std::size_t length = strnlen(text, textSize < size ? textSize : size - 1);
    std::memcpy(to, text, length);
    return length;
}

inline std::size_t copyBoundedText(char* to, std::size_t size, const std::string& text) {
    return copyBoundedText(to, size, text.c_str(), text.size());
}

inline std::string oidOfName(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return oid;
}
