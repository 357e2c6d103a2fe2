#pragma once

#include "store/obx/schema.h"

#include <memory>
#include <string>

struct OBX_store_options
{
    std::unique_ptr<OBX_model> model;
    std::string directory = "objectbox";
    uint64_t mapSize = uint64_t(1) << 30;
    uint32_t debugFlags = 0;
};

namespace obx::internal {
// The map size floor of 1 GiB keeps a real store from running out of room early; the tests
// that fill a map on purpose set a small one here.
void setMapSizeForTesting(OBX_store_options *options, uint64_t bytes);
} // namespace obx::internal
