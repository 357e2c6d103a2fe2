#pragma once

#include "store/obx/options.h"
#include "store/obx/schema.h"

#include <lmdb.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

namespace obx::internal {

class StoreImpl;

// One thread's transaction on one store; nested Transaction objects share it.
struct TxState
{
    StoreImpl *store = nullptr;
    MDB_txn *txn = nullptr;
    bool write = false;
    int depth = 0;
    bool failed = false;
    bool slotted = false; // holds one of the counted reader slots
    std::shared_lock<std::shared_mutex> life;
    std::map<obx_schema_id, uint64_t> sequences; // last ids handed out, written at commit
    std::map<obx_schema_id, bool> dirtySequences;
};

class StoreImpl
{
public:
    explicit StoreImpl(OBX_store_options &options);
    ~StoreImpl();

    void close();
    bool isClosed() const { return closed_; }
    const std::string &directory() const { return directory_; }
    const Schema &schema() const { return schema_; }
    const EntityInfo &entity(obx_schema_id id) const;

    // The calling thread's transaction on this store, or nullptr.
    TxState *current() const;
    // Joins the thread's transaction or begins one; raises when the store is closed or a write
    // is asked inside a read.
    TxState *begin(bool write);
    // Ends one level; the outermost commits when commit is set and nothing failed, else aborts.
    // A joined write that ends without commit fails the outer transaction; a joined read does not.
    void end(TxState *state, bool commit, bool write);
    // The thread's transaction, which must exist (and be a write when write is set).
    TxState &require(bool write) const;

    MDB_dbi objects(obx_schema_id entityId) const;
    MDB_dbi index(obx_schema_id indexId) const;
    // The entity's indexed properties, kept from the opening on so that no put builds the list.
    const std::vector<const PropertyInfo *> &indexed(obx_schema_id entityId) const;

    uint64_t nextId(TxState &tx, const EntityInfo &entity);
    void moveSequencePast(TxState &tx, const EntityInfo &entity, uint64_t id);
    uint64_t lastId(TxState &tx, const EntityInfo &entity);

private:
    void open(uint64_t mapSize);
    // EIO from a write that a full disk cut short becomes ENOSPC.
    int cutShortByFullDisk(int rc) const;
    void takeReaderSlot();
    void releaseReaderSlot();
    // Opens the databases in a read transaction when the stored model is this one; false when a
    // write is needed (a new store, another model, a database missing).
    bool openUnchanged();
    void openDatabases();
    // Returns the ids of the indexes the stored model already had.
    std::set<obx_schema_id> checkSchema(MDB_txn *txn);
    void rebuildIndex(MDB_txn *txn, const EntityInfo &entity, const PropertyInfo &p, MDB_dbi objects, MDB_dbi index);
    void writeSequences(TxState &tx);

    std::string directory_;
    Schema schema_;
    MDB_env *env_ = nullptr;
    MDB_dbi meta_ = 0;
    std::map<obx_schema_id, MDB_dbi> objects_;
    std::map<obx_schema_id, MDB_dbi> indexes_;
    std::map<obx_schema_id, std::vector<const PropertyInfo *>> indexed_;
    mutable std::shared_mutex lifetime_;
    std::atomic<bool> closed_{false};
    std::atomic<bool> closing_{false}; // set when close() begins to wait
    std::mutex closeMutex_;
    // Read transactions at once, when the lock file has fewer reader slots on disk than LMDB
    // counts (0: no limit).
    unsigned readerCap_ = 0;
    unsigned readers_ = 0;
    std::mutex readersMutex_;
    std::condition_variable readersFree_;
};

// Raises DbException for an LMDB failure, with LMDB's own text.
[[noreturn]] void failLmdb(int rc, const std::string &what);

inline void putBigEndian64(uint8_t *out, uint64_t v)
{
    for (int i = 7; i >= 0; --i) {
        out[i] = uint8_t(v & 0xff);
        v >>= 8;
    }
}

inline uint64_t readBigEndian64(const void *in)
{
    const uint8_t *p = static_cast<const uint8_t *>(in);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace obx::internal
