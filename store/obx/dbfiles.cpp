#include "errors.h"
#include "openstores.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

obx_err obx_remove_db_files(const char *directory)
{
    using obx::internal::setLastError;
    if (!directory || !*directory) {
        setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Store directory must not be empty");
        return OBX_ERROR_ILLEGAL_ARGUMENT;
    }
    const std::string dir(directory);
    const std::string canonical = obx::internal::OpenStores::canonical(dir);
    if (!canonical.empty() && obx::internal::OpenStores::isOpen(canonical)) {
        setLastError(OBX_ERROR_ILLEGAL_STATE, "The store in " + dir + " is open; close it before removing its files");
        return OBX_ERROR_ILLEGAL_STATE;
    }
    for (const char *name : {"data.mdb", "lock.mdb"}) {
        const std::string path = dir + "/" + name;
        if (unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
            setLastError(OBX_ERROR_STORAGE_GENERAL, "Could not delete " + path + ": " + std::strerror(errno));
            return OBX_ERROR_STORAGE_GENERAL;
        }
    }
    return OBX_SUCCESS;
}
