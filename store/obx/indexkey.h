#pragma once

// The 8-byte value an index keeps for a row, written big-endian as the index key:
//   integer properties: the value's 64 bits, with the sign bit flipped for signed ones, so that
//                       byte order is numeric order;
//   string properties:  FNV-1a 64 of the UTF-8 bytes (equality only; rows are compared to rule
//                       out collisions).

#include "store/obx/row.h"

#include <cstdint>
#include <string_view>

namespace obx::internal {

inline uint64_t hashText(std::string_view text)
{
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

inline uint64_t integerIndexValue(const PropertyInfo &p, int64_t value)
{
    const bool isUnsigned = p.isUnsigned() || p.type == OBXPropertyType_Relation;
    return isUnsigned ? uint64_t(value) : uint64_t(value) ^ (uint64_t(1) << 63);
}

// False when the row is left out of the index (a zero relation with INDEX_PARTIAL_SKIP_ZERO).
inline bool indexValue(const PropertyInfo &p, const Row &row, uint64_t &out)
{
    if (p.type == OBXPropertyType_String) {
        out = hashText(row.text(p));
        return true;
    }
    const int64_t value = row.integer(p);
    if (value == 0 && p.skipsZero())
        return false;
    out = integerIndexValue(p, value);
    return true;
}

} // namespace obx::internal
