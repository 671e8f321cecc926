#include "sim/handlers/RecordFields.h"

#include <cstdio>

#include "sim/ManagementProgram.h"

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Bytes written as "hh:hh:...": as many as the text gives, up to `size`;
// the rest of the field zero.
void parseBytes(const std::string& text, char* out, std::size_t size) {
    std::memset(out, 0, size);
    std::size_t at = 0;
    for (std::size_t i = 0; i < size && at < text.size(); ++i) {
        int value = 0;
        int digits = 0;
        for (; digits < 2 && at < text.size() && hexDigit(text[at]) >= 0; ++digits, ++at) {
            value = value * 16 + hexDigit(text[at]);
        }
        if (digits == 0) {
            return;
        }
        out[i] = static_cast<char>(value);
        if (at < text.size() && text[at] == ':') {
            ++at;
        }
    }
}

std::string formatBytes(const char* bytes, std::size_t size) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ":%02x",
                      static_cast<unsigned char>(bytes[i]));
        text += digits;
    }
    return text;
}

} // namespace

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
        if (field.bytes) {
            parseBytes(found->get<std::string>(), bytes + field.offset, field.size);
        } else if (field.text) {
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
        if (field.bytes) {
            values[name] = formatBytes(bytes + field.offset, field.size);
        } else if (field.text) {
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
    Wwn name;
    std::memcpy(name.data(), wwn, name.size());
    return fabric.findPortSource(name, false);
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
