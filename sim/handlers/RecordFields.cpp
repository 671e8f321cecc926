#include "sim/handlers/RecordFields.h"

#include "sim/ManagementProgram.h"

void fillRecord(void* record, std::span<const RecordField> fields, const nlohmann::json& values) {
    if (!values.is_object()) {
        return;
    }
    auto* bytes = static_cast<char*>(record);
    for (const RecordField& field : fields) {
        const auto found = values.find(field.name);
        if (found == values.end()) {
            continue;
        }
        if (field.text) {
            const std::string text = found->get<std::string>();
            // A fixed text field is filled whole; it has no NUL when full.
            const std::size_t length = std::min(text.size(), field.size);
            std::memset(bytes + field.offset, 0, field.size);
            std::memcpy(bytes + field.offset, text.data(), length);
        } else {
            const auto number = static_cast<std::uint32_t>(found->get<std::int64_t>());
            std::memcpy(bytes + field.offset, &number, sizeof(number));
        }
    }
}

void storeField(const void* record, std::span<const RecordField> fields, const std::string& name,
                nlohmann::json& values) {
    const auto* bytes = static_cast<const char*>(record);
    for (const RecordField& field : fields) {
        if (name != field.name) {
            continue;
        }
        if (field.text) {
            values[name] =
                std::string(bytes + field.offset, strnlen(bytes + field.offset, field.size));
        } else {
            std::uint32_t number = 0;
            std::memcpy(&number, bytes + field.offset, sizeof(number));
            values[name] = number;
        }
    }
}

SwitchModel* findSwitchModel(FabricEntry& fabric, const unsigned char* wwn) {
    for (SwitchModel& sw : fabric.switches) {
        if (std::memcmp(sw.wwn.data(), wwn, sw.wwn.size()) == 0) {
            return &sw;
        }
    }
    return nullptr;
}

nlohmann::json* findPort(FabricEntry& fabric, const unsigned char* wwn) {
    const std::string name = wwnText(wwn);
    for (SwitchModel& sw : fabric.switches) {
        auto ports = sw.source.find("ports");
        if (ports == sw.source.end() || !ports->is_array()) {
            continue;
        }
        for (auto& port : *ports) {
            if (port.contains("wwn") &&
                formatWwn(parseWwn(port["wwn"].get<std::string>())) == name) {
                return &port;
            }
        }
    }
    return nullptr;
}

std::string wwnText(const unsigned char* wwn) {
    Wwn name;
    std::memcpy(name.data(), wwn, name.size());
    return formatWwn(name);
}

void wwnBytes(const nlohmann::json& text, unsigned char* out) {
    const Wwn name = parseWwn(text.get<std::string>());
    std::memcpy(out, name.data(), name.size());
}

void failRequest(CallContext& ctx, MSReply& reply, const char* message) {
    reply.status = -1;
    reply.message = ctx.arena.text(message);
}
