#pragma once

// The LMDB transaction a thread holds on a store, shared by every Transaction object that
// joined it, and the thread-local registry that finds it.

#include "obx.h"

#include <lmdb.h>

#include <cstdint>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace obx {
namespace internal {

class StoreImpl;

struct TxContext : std::enable_shared_from_this<TxContext>
{
    StoreImpl *store = nullptr;
    MDB_txn *txn = nullptr;
    bool write = false;
    bool failed = false; // a joined write ended without success, or an operation failed
    bool ended = false;
    int depth = 0;
    std::thread::id thread;
    // Highest id put per entity; the sequences are raised to them at commit.
    std::vector<std::pair<obx_schema_id, obx_id>> putIds;
    // Indexes that met a hash collision; recorded in meta at commit.
    std::vector<obx_schema_id> collisions;

    void notePut(obx_schema_id entity, obx_id id)
    {
        for (auto &entry : putIds)
            if (entry.first == entity) {
                if (id > entry.second)
                    entry.second = id;
                return;
            }
        putIds.emplace_back(entity, id);
    }
};

// The calling thread's transaction on the store, or null.
TxContext *currentTx(const StoreImpl &store);
void registerTx(std::shared_ptr<TxContext> context);
void unregisterTx(TxContext *context);
// The calling thread's transaction, usable: raises when there is none or it has failed.
TxContext &activeTx(const StoreImpl &store);

} // namespace internal
} // namespace obx
