#pragma once

// Writes and removes rows of one entity inside a write transaction, keeping the indexes and
// the id sequence in step.

#include "schema.h"
#include "storeimpl.h"
#include "txcontext.h"

namespace obx {
namespace internal {

class RowWriter
{
public:
    RowWriter(StoreImpl &store, TxContext &context, const EntityDef &entity)
        : store_(store), context_(context), entity_(entity) {}

    obx_id put(obx_id id, const void *data, size_t size, OBXPutMode mode);
    bool remove(obx_id id);
    uint64_t removeAll();

private:
    StoreImpl &store_;
    TxContext &context_;
    const EntityDef &entity_;
};

} // namespace internal
} // namespace obx
