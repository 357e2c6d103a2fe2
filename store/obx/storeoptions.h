#pragma once

// What a store is opened with; the store takes the options over.

#include "schema.h"

#include <cstdint>
#include <memory>
#include <string>

struct OBX_store_options
{
    std::string directory = "objectbox";
    std::unique_ptr<obx::internal::Schema> schema; // set by obx_opt_model once the model is sound
    uint64_t mapSize = 0;                           // bytes; raised to the floor when the store opens
    uint32_t debugFlags = 0;
};

namespace obx {
namespace internal {
// The smallest map size a store opens with: 1 GiB unless a test lowered it.
uint64_t mapSizeFloor();
} // namespace internal
} // namespace obx
