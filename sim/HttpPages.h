// The web pages a proxy switch serves over HTTP/1.0: its own page
// "switch.html", the fabric's switches "FabricInfo.html" and the fabric's
// inter-switch links "FabricInfo2.html", made from the fabric model.
//
// Fields read from the fabric file beyond the model's own:
//   switch: "domain" (default: its position in the fabric + 1),
//           "type" (default 2), "ethernetIP" (default its address, else
//           "0.0.0.0"), "ethernetMask" (default "255.0.0.0"),
//           "fcs": "Primary" | "Secondary" (default: none stated)
//   fabric: "isls": [ { "from": "<wwn>", "fromPort": 1, "to": "<wwn>",
//                       "toPort": 2, "cost": 500, "count": 1, "type": 1 } ]
//           each link is listed under both of its domains. The control
//           request "setIsls" (fabric index, links) replaces the list.
#pragma once

#include "sim/FabricModel.h"

#include <optional>
#include <string>

// Page numbers: the request code under which calls are counted and faults
// are matched (procedure HTTP_PAGE_PROCEDURE).
inline constexpr std::uint32_t HTTP_PAGE_PROCEDURE = 80;
inline constexpr std::int32_t HTTP_PAGE_SWITCH = 1;
inline constexpr std::int32_t HTTP_PAGE_FABRIC_INFO = 2;
inline constexpr std::int32_t HTTP_PAGE_FABRIC_INFO2 = 3;

// The page number of a request path ("/switch.html"), or nothing.
std::optional<std::int32_t> httpPageNumber(const std::string& path);

// The page's HTML text for the proxy switch `proxy` of `fabric`.
std::string renderHttpPage(std::int32_t page, const FabricEntry& fabric, const SwitchModel& proxy);

// A whole HTTP/1.0 answer: status line, a content type and the page.
std::string httpAnswer(int status, const std::string& html);
