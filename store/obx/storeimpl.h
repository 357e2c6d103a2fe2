#pragma once

// One open LMDB environment with the store's model: opening and the model check, the count of
// running operations that close() waits for, the pool of idle read transactions, and the
// per-entity id sequences.

#include "collisionflags.h"
#include "schema.h"
#include "storeoptions.h"

#include <lmdb.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace obx {
namespace internal {

class StoreImpl
{
public:
    // Opens the store; takes the options over (also when it raises).
    explicit StoreImpl(OBX_store_options *options);
    ~StoreImpl();
    StoreImpl(const StoreImpl &) = delete;
    StoreImpl &operator=(const StoreImpl &) = delete;

    void close();
    bool isClosed() const;
    void checkOpen() const; // raises "Store is closed"
    const std::string &directory() const { return directory_; }
    const Schema &schema() const { return *schema_; }
    const EntityDef &entity(obx_schema_id entityId) const; // raises for an unknown entity
    uint32_t debugFlags() const { return debugFlags_; }
    MDB_env *env() const { return env_; }
    MDB_dbi seqDbi() const { return seqDbi_; }
    MDB_dbi metaDbi() const { return metaDbi_; }
    CollisionFlags &collisions() { return collisions_; }

    // Every transaction counts as one running operation from begin to end.
    void beginOperation();
    void endOperation();
    MDB_txn *beginReadTxn();
    void endReadTxn(MDB_txn *txn);

    obx_id nextId(const EntityDef &entity);
    obx_id sequence(const EntityDef &entity) const;
    void raiseSequence(const EntityDef &entity, obx_id id);

private:
    void open(OBX_store_options &options);
    void loadSequences(MDB_txn *txn);
    void closeEnvironment();

    std::string directory_;
    std::string canonical_; // the claim in OpenStores
    std::unique_ptr<Schema> schema_;
    uint32_t debugFlags_ = 0;
    MDB_env *env_ = nullptr;
    MDB_dbi seqDbi_ = 0;
    MDB_dbi metaDbi_ = 0;
    CollisionFlags collisions_;
    std::unique_ptr<std::atomic<uint64_t>[]> sequences_; // by entity id
    size_t sequenceCount_ = 0;

    enum class State { Open, Closing, Closed };
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Closed;
    int running_ = 0;

    std::mutex poolMutex_;
    std::vector<MDB_txn *> idleReaders_;
};

} // namespace internal
} // namespace obx
