#pragma once

// Reconciles the model with the one recorded in the store when it opens: refuses uids that
// differ, records new entities, properties and indexes, fills new indexes from the rows
// already stored and drops indexes the model no longer has.

#include "collisionflags.h"
#include "schema.h"

#include <lmdb.h>

namespace obx {
namespace internal {

class SchemaSync
{
public:
    // Runs inside the opening write transaction; sets the database handles of the schema.
    static void apply(MDB_txn *txn, MDB_dbi meta, Schema &schema, CollisionFlags &collisions);
};

} // namespace internal
} // namespace obx
