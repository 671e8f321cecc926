#include "yarllite/ThrexNames.h"

#include <array>
#include <cstring>

#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"

namespace {

constexpr char kSource[] = "yarldfwmisc";

// Names of codes -1 upwards.
constexpr std::array<const char*, 8> kClassNames = {
    "THREX_CLASS_DEFAULT", "THREX_CLASS_FABRIC",    "THREX_CLASS_ENV",       "THREX_CLASS_PORT",
    "THREX_CLASS_E_PORT",  "THREX_CLASS_F_PORT_OP", "THREX_CLASS_F_PORT_CU", "THREX_CLASS_GBIC",
};

constexpr std::array<const char*, 25> kAreaNames = {
    "THREX_AREA_DEFAULT",       "THREX_AREA_TEMP",
    "THREX_AREA_FAN",           "THREX_AREA_POWER",
    "THREX_AREA_RX_POWER",      "THREX_AREA_TX_POWER",
    "THREX_AREA_CURRENT",       "THREX_AREA_LINK",
    "THREX_AREA_SYNC",          "THREX_AREA_SIGNAL",
    "THREX_AREA_PROTOCOL_ERR",  "THREX_AREA_WORDS",
    "THREX_AREA_CRC",           "THREX_AREA_RX_PERF",
    "THREX_AREA_TX_PERF",       "THREX_AREA_STATE",
    "THREX_AREA_EPORT_DOWN",    "THREX_AREA_RECONFIG",
    "THREX_AREA_DOMAIN_ID",     "THREX_AREA_SEGMENTATION",
    "THREX_AREA_ZONING_CHANGE", "THREX_AREA_FABRIC_BRAIDEX",
    "THREX_AREA_FABRIC_LOGIN",  "THREX_AREA_GBIC_CHANGE",
    "THREX_AREA_VOLTAGE",
};

template <std::size_t N>
int codeOf(const std::array<const char*, N>& names, const char* name, const char* min,
           const char* max) {
    if (name == nullptr) {
        return -1;
    }
    if (std::strcmp(name, min) == 0) {
        return 0;
    }
    if (std::strcmp(name, max) == 0) {
        return static_cast<int>(N) - 2;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (std::strcmp(name, names[i]) == 0) {
            return static_cast<int>(i) - 1;
        }
    }
    return -1;
}

template <std::size_t N>
int appendName(const std::array<const char*, N>& names, int code, std::string& out) {
    if (code < -1 || code > static_cast<int>(N) - 2) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    out += names[static_cast<std::size_t>(code + 1)];
    return 0;
}

} // namespace

int CharToClass(const char* name) {
    traceRecord(Vosk_API_XML, "Entering ", "CharToClass", "", kSource, __LINE__);
    return codeOf(kClassNames, name, "THREX_CLASS_MIN", "THREX_CLASS_MAX");
}

int CharToArea(const char* name) {
    traceRecord(Vosk_API_XML, "Entering ", "CharToArea", "", kSource, __LINE__);
    return codeOf(kAreaNames, name, "THREX_AREA_MIN", "THREX_AREA_MAX");
}

int ThrexClassNaming(int code, std::string& out) {
    MethodTrace trace(Vosk_API_XML, "ThrexClassNaming", kSource);
    return appendName(kClassNames, code, out);
}

int ThrexAreaNaming(int code, std::string& out) {
    MethodTrace trace(Vosk_API_XML, "ThrexAreaNaming", kSource);
    return appendName(kAreaNames, code, out);
}
