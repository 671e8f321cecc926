// Record fields by name: fills fixed records of the management protocol
// from the fabric file and writes changed fields back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "remote_api.h"
#include "sim/FabricModel.h"
#include "sim/ManagementProgram.h"

struct RecordField {
    const char* name;
    std::size_t offset;
    std::size_t size;
    bool text;          // a char[N] text; otherwise a 32-bit number
    bool bytes = false; // a char[N] of bytes (a name, a bitmap), written as
                        // colon-separated hexadecimal ("10:00:00:60:...")
};

#define RECORD_NUMBER(Record, field)                                                               \
    RecordField {                                                                                  \
#field, offsetof(Record, field), 4, false                                                  \
    }
#define RECORD_TEXT(Record, field)                                                                 \
    RecordField {                                                                                  \
#field, offsetof(Record, field), sizeof(Record::field), true                               \
    }

#define RECORD_BYTES(Record, field)                                                                \
    RecordField {                                                                                  \
#field, offsetof(Record, field), sizeof(Record::field), false, true                        \
    }

// Sets every field of `fields` that `values` names.
void fillRecord(void* record, std::span<const RecordField> fields, const nlohmann::json& values);
// Writes the field `name` of `record` into `values`.
void storeField(const void* record, std::span<const RecordField> fields, const std::string& name,
                nlohmann::json& values);

// The switch of the fabric with this name, or null.
SwitchModel* findSwitchModel(FabricEntry& fabric, const unsigned char* wwn);
// The port with this name on any switch of the fabric, or null.
nlohmann::json* findPort(FabricEntry& fabric, const unsigned char* wwn);

// World wide name text of 8 bytes, and the bytes of a text ("" gives 0s).
std::string wwnText(const unsigned char* wwn);
void wwnBytes(const nlohmann::json& text, unsigned char* out);

// A failed request: status -1 with a message.
void failRequest(CallContext& ctx, MSReply& reply, const char* message);
