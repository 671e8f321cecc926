// Base64 decoding (RFC 4648, with padding) of the login texts clients send.
#pragma once

#include <optional>
#include <string>

// Nothing when `text` is not valid padded Base64.
std::optional<std::string> decodeBase64(const std::string& text);
