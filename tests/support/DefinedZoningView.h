// A defined zoning database as a comparable value: object name -> (zoning
// type, member names in order), read from the simulator's listing.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

using DefinedView = std::map<std::string, std::pair<int, std::vector<std::string>>>;

// The view of a "defined" (or transaction copy) listing of the simulator.
inline DefinedView switchView(const nlohmann::json& defined) {
    DefinedView view;
    for (const auto& object : defined) {
        view[object["name"]] = {object["type"].get<int>(),
                                object["members"].get<std::vector<std::string>>()};
    }
    return view;
}
