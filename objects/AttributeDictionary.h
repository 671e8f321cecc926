// The attribute dictionary: every attribute a fabric object can carry, with
// its code (value type in the high 16 bits, index in the low 16), its
// traits, its constant's name and the name under which stored objects keep
// it and XML replies write it.
#pragma once

#include <cstdint>
#include <span>

struct AttributeDictionaryEntry {
    std::uint32_t code;
    std::uint32_t traits;
    const char* symbol;
    const char* name;
};

// Traits bit of the attributes a caller may change.
inline constexpr std::uint32_t AttributeWritable = 0x1;

// Every row, in table order. A few names and codes stand twice; look-ups
// take the first row.
std::span<const AttributeDictionaryEntry> attributeDictionary();

// The code of the first row whose name equals `name` byte for byte; 0 (the
// code of the first row) when none does or `name` is null.
std::uint32_t yarlAttrCodeOfName(const char* name);

// The first row with that code, or null.
const AttributeDictionaryEntry* attributeOfCode(std::uint32_t code);
