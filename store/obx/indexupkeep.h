#pragma once

// Keeps the secondary indexes of one entity in step with its rows, and enforces UNIQUE.

#include "collisionflags.h"
#include "rowview.h"
#include "schema.h"

#include <lmdb.h>

#include <string_view>
#include <vector>

namespace obx {
namespace internal {

class IndexUpkeep
{
public:
    IndexUpkeep(MDB_txn *txn, const EntityDef &entity, CollisionFlags &flags, std::vector<obx_schema_id> &newCollisions)
        : txn_(txn), entity_(entity), flags_(flags), newCollisions_(newCollisions) {}

    // The row's key in the property's index; false when the row has no entry there.
    static bool keyOf(const RowView &row, const PropertyDef &property, uint64_t &key, std::string_view &text);
    // The key an equality condition looks up.
    static uint64_t keyOfText(std::string_view text);

    // Raises `code` when another row holds the same value; the empty text is no value.
    void checkUnique(const PropertyDef &property, obx_id self, uint64_t key, std::string_view text, int code);
    void add(const PropertyDef &property, obx_id id, uint64_t key, std::string_view text);
    void drop(const PropertyDef &property, obx_id id, uint64_t key);

private:
    std::string_view textOf(const PropertyDef &property, obx_id id, RowView &row);
    void noteCollision(const PropertyDef &property);

    MDB_txn *txn_;
    const EntityDef &entity_;
    CollisionFlags &flags_;
    std::vector<obx_schema_id> &newCollisions_;
};

} // namespace internal
} // namespace obx
