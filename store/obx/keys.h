#pragma once

// Layout of a store's LMDB environment (one named database per line):
//
//   meta          'V'                              -> format:u32le                        (= 1)
//                 'E' entity:u32be                 -> uid:u64le
//                 'P' entity:u32be property:u32be  -> uid:u64le type:u32le flags:u32le
//                 'I' index:u32be                  -> uid:u64le entity:u32le property:u32le
//                 'C' index:u32be                  -> ""        a 64-bit string hash collided once
//   seq           entity:u32be                     -> last id:u64le   never lowered
//   obj.<entity>  id:u64be                         -> row: the object's FlatBuffers table
//   idx.<index>   value:u64be                      => id:u64be        sorted duplicates (DUPSORT|DUPFIXED)
//
//   value := integer's 64-bit pattern   (Bool, Short, Int, Long, Relation; signed widths
//                                        sign-extended, UNSIGNED ones zero-extended)
//          | fnv1a64(string's bytes)    (String; equal hashes are checked against the text)
//
// Big-endian ids make LMDB's byte order the id order; entity and index numbers are decimal in
// the database names. Rows whose relation is 0 have no entry in a SKIP_ZERO index.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace obx {
namespace internal {

constexpr uint32_t kFormatVersion = 1;

inline void putBe64(uint8_t *out, uint64_t v)
{
    for (int i = 7; i >= 0; --i) {
        out[i] = uint8_t(v);
        v >>= 8;
    }
}

inline uint64_t getBe64(const void *in)
{
    const uint8_t *p = static_cast<const uint8_t *>(in);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | p[i];
    return v;
}

inline void putBe32(uint8_t *out, uint32_t v)
{
    for (int i = 3; i >= 0; --i) {
        out[i] = uint8_t(v);
        v >>= 8;
    }
}

inline uint32_t getBe32(const void *in)
{
    const uint8_t *p = static_cast<const uint8_t *>(in);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void putLe64(uint8_t *out, uint64_t v)
{
    std::memcpy(out, &v, 8); // the library runs on little-endian machines only
}

inline uint64_t getLe64(const void *in)
{
    uint64_t v;
    std::memcpy(&v, in, 8);
    return v;
}

inline void putLe32(uint8_t *out, uint32_t v)
{
    std::memcpy(out, &v, 4);
}

inline uint32_t getLe32(const void *in)
{
    uint32_t v;
    std::memcpy(&v, in, 4);
    return v;
}

// Stable across versions: stored index keys depend on it.
inline uint64_t fnv1a64(std::string_view text)
{
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

inline std::string objectDbName(uint32_t entityId)
{
    return "obj." + std::to_string(entityId);
}

inline std::string indexDbName(uint32_t indexId)
{
    return "idx." + std::to_string(indexId);
}

} // namespace internal
} // namespace obx

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the stored form assumes a little-endian machine");
