#pragma once

// The directories of the stores open in this process. LMDB must not open one environment
// twice in a process (closing either would drop the other's locks), and deleting the files of
// an open store would corrupt it.

#include <string>

namespace obx {
namespace internal {

class OpenStores
{
public:
    // The absolute, symlink-free form of an existing directory; empty when it does not exist.
    static std::string canonical(const std::string &directory);
    static bool claim(const std::string &canonicalDirectory);
    static void release(const std::string &canonicalDirectory);
    static bool isOpen(const std::string &canonicalDirectory);
};

} // namespace internal
} // namespace obx
