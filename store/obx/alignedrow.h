#pragma once

// LMDB keeps values only 2-byte aligned, while a FlatBuffers table expects the alignment its
// builder gave it (8 bytes). Rows handed to bindings are copied when they are not aligned.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace obx {
namespace internal {

inline const void *alignedRow(const void *data, size_t size, std::vector<uint64_t> &buffer)
{
    if ((reinterpret_cast<uintptr_t>(data) & 7) == 0)
        return data;
    buffer.resize((size + 7) / 8);
    std::memcpy(buffer.data(), data, size);
    return buffer.data();
}

} // namespace internal
} // namespace obx
