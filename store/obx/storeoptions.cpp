#include "storeoptions.h"

#include "errors.h"
#include "modelcalls.h"
#include "testhooks.h"

#include <atomic>
#include <new>

using obx::internal::setLastError;

namespace {

constexpr uint64_t kDefaultFloor = uint64_t(1) << 30;
std::atomic<uint64_t> floorOverride{0};

obx_err nullOptions()
{
    setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Store options are null");
    return OBX_ERROR_ILLEGAL_ARGUMENT;
}

} // namespace

namespace obx {
namespace internal {

uint64_t mapSizeFloor()
{
    const uint64_t value = floorOverride.load();
    return value ? value : kDefaultFloor;
}

void setMapSizeFloorForTesting(uint64_t bytes)
{
    floorOverride.store(bytes);
}

} // namespace internal
} // namespace obx

OBX_store_options *obx_opt()
{
    OBX_store_options *options = new (std::nothrow) OBX_store_options;
    if (!options)
        setLastError(OBX_ERROR_STORAGE_GENERAL, "Out of memory");
    return options;
}

obx_err obx_opt_directory(OBX_store_options *opt, const char *directory)
{
    if (!opt)
        return nullOptions();
    if (!directory || !*directory) {
        setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Store directory must not be empty");
        return OBX_ERROR_ILLEGAL_ARGUMENT;
    }
    opt->directory = directory;
    return OBX_SUCCESS;
}

obx_err obx_opt_model(OBX_store_options *opt, OBX_model *model)
{
    std::unique_ptr<OBX_model> owned(model);
    if (!opt)
        return nullOptions();
    if (!model) {
        setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Model is null");
        return OBX_ERROR_ILLEGAL_ARGUMENT;
    }
    if (model->errorCode != OBX_SUCCESS) {
        setLastError(model->errorCode, model->errorMessage);
        return model->errorCode;
    }
    const std::string error = model->schema.finish();
    if (!error.empty()) {
        setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, error);
        return OBX_ERROR_ILLEGAL_ARGUMENT;
    }
    opt->schema.reset(new obx::internal::Schema(std::move(model->schema)));
    return OBX_SUCCESS;
}

obx_err obx_opt_max_db_size_in_kb(OBX_store_options *opt, uint64_t size_in_kb)
{
    if (!opt)
        return nullOptions();
    opt->mapSize = size_in_kb > (UINT64_MAX >> 10) ? UINT64_MAX : size_in_kb << 10;
    return OBX_SUCCESS;
}

obx_err obx_opt_debug_flags(OBX_store_options *opt, uint32_t flags)
{
    if (!opt)
        return nullOptions();
    opt->debugFlags = flags;
    return OBX_SUCCESS;
}

obx_err obx_opt_free(OBX_store_options *opt)
{
    delete opt;
    return OBX_SUCCESS;
}
