#include "openstores.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <set>

namespace obx {
namespace internal {

namespace {

std::mutex &registryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::set<std::string> &registry()
{
    static std::set<std::string> directories;
    return directories;
}

} // namespace

std::string OpenStores::canonical(const std::string &directory)
{
    char resolved[PATH_MAX];
    if (!realpath(directory.c_str(), resolved))
        return std::string();
    return resolved;
}

bool OpenStores::claim(const std::string &canonicalDirectory)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    return registry().insert(canonicalDirectory).second;
}

void OpenStores::release(const std::string &canonicalDirectory)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().erase(canonicalDirectory);
}

bool OpenStores::isOpen(const std::string &canonicalDirectory)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    return registry().count(canonicalDirectory) != 0;
}

} // namespace internal
} // namespace obx
