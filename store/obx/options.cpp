#include "store/obx/options.h"

#include "store/obx/lasterror.h"

#include <algorithm>

using obx::internal::setLastError;

OBX_store_options *obx_opt()
{
    return new OBX_store_options();
}

obx_err obx_opt_directory(OBX_store_options *opt, const char *directory)
{
    if (!opt || !directory || !*directory)
        return setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Store directory must not be empty");
    opt->directory = directory;
    return OBX_SUCCESS;
}

obx_err obx_opt_model(OBX_store_options *opt, OBX_model *model)
{
    std::unique_ptr<OBX_model> owned(model);
    if (!opt)
        return setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Options are null");
    if (!owned)
        return setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Model is null");
    if (owned->errorCode != OBX_SUCCESS)
        return setLastError(owned->errorCode, owned->errorMessage);
    std::string message;
    if (!owned->schema.finish(message))
        return setLastError(OBX_ERROR_SCHEMA, message);
    opt->model = std::move(owned);
    return OBX_SUCCESS;
}

obx_err obx_opt_max_db_size_in_kb(OBX_store_options *opt, uint64_t size_in_kb)
{
    if (!opt)
        return setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Options are null");
    opt->mapSize = std::max<uint64_t>(size_in_kb * 1024, uint64_t(1) << 30);
    return OBX_SUCCESS;
}

obx_err obx_opt_debug_flags(OBX_store_options *opt, uint32_t flags)
{
    if (!opt)
        return setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Options are null");
    opt->debugFlags = flags;
    return OBX_SUCCESS;
}

obx_err obx_opt_free(OBX_store_options *opt)
{
    delete opt;
    return OBX_SUCCESS;
}

void obx::internal::setMapSizeForTesting(OBX_store_options *options, uint64_t bytes)
{
    options->mapSize = bytes;
}
