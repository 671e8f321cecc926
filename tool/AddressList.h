// The address list: one "<IPAddress value=... />" line per switch address,
// the body of the request that starts fabric access.
#pragma once

#include <string>
#include <string_view>

// Appends the line of one address, its XML special characters escaped.
void appendAddress(std::string& addressList, std::string_view address);
