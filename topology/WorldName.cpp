#include "topology/WorldName.h"

#include "adapters/http/ScanText.h"

#include <cstring>

WorldName::WorldName(std::string_view text) {
    scanWorldWideName(text, bytes_);
}

WorldName::WorldName(const std::uint8_t (&bytes)[8]) {
    std::memcpy(bytes_, bytes, sizeof bytes_);
}

void WorldName::copyTo(std::uint8_t (&bytes)[8]) const {
    std::memcpy(bytes, bytes_, sizeof bytes_);
}
