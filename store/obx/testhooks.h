#pragma once

// Hooks for the library's own tests; the application never calls them.

#include <cstdint>

namespace obx {
namespace internal {
// Lowers (or, with 0, restores) the 1 GiB floor of the map size, so that a test can fill a
// store without writing a gigabyte.
void setMapSizeFloorForTesting(uint64_t bytes);
} // namespace internal
} // namespace obx
