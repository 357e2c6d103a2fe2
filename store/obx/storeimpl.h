#pragma once

#include "store/obx/options.h"
#include "store/obx/schema.h"

#include <lmdb.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

namespace obx::internal {

class StoreImpl;

// The rows one transaction has read, by entity database and id, with how far their bytes have
// been checked: every field, or the fields of a mask of property ids (below 64). Inside a read
// snapshot a row never moves or changes, so a row read again is found here rather than searched
// for in the tree and checked again; every write of the transaction forgets them all (its pages
// may be copied, moved or reused). Open addressing: forgetting everything is one increment.
struct CachedRow
{
    const void *data = nullptr;
    size_t size = 0;
    uint64_t fields = 0;
    bool whole = false;
};

class RowCache
{
public:
    // How one entity's rows have been read in the transaction: rows looked up by id, the
    // entity's row count (0 until asked), and whether every row is in the cache, then kept in
    // id order from `base` on where the ids lie close enough together.
    struct Entity
    {
        MDB_dbi dbi = 0;
        uint64_t lookups = 0;
        uint64_t rows = 0;
        bool complete = false;
        uint64_t base = 0;
        std::vector<CachedRow> dense;
    };

    bool empty() const { return used_ == 0 && entities_.empty(); }
    CachedRow *find(MDB_dbi dbi, uint64_t id)
    {
        for (Entity &e : entities_) {
            if (e.dbi == dbi && !e.dense.empty()) {
                const uint64_t i = id - e.base;
                return i < e.dense.size() && e.dense[i].data ? &e.dense[i] : nullptr;
            }
        }
        if (used_ == 0)
            return nullptr;
        for (size_t i = slot(dbi, id);; i = (i + 1) & (slots_.size() - 1)) {
            Slot &s = slots_[i];
            if (s.generation != generation_)
                return nullptr;
            if (s.id == id && s.dbi == dbi)
                return &s.row;
        }
    }
    // The row's entry, made for `value` when there is none yet.
    CachedRow &insert(MDB_dbi dbi, uint64_t id, const MDB_val &value)
    {
        for (Entity &e : entities_) {
            if (e.dbi == dbi && !e.dense.empty() && id - e.base < e.dense.size()) {
                CachedRow &row = e.dense[id - e.base];
                if (!row.data)
                    row = CachedRow{value.mv_data, value.mv_size, 0, false};
                return row;
            }
        }
        if ((used_ + 1) * 2 > slots_.size())
            grow();
        size_t i = slot(dbi, id);
        for (; slots_[i].generation == generation_; i = (i + 1) & (slots_.size() - 1))
            if (slots_[i].id == id && slots_[i].dbi == dbi)
                return slots_[i].row;
        Slot &s = slots_[i];
        s.id = id;
        s.dbi = dbi;
        s.generation = generation_;
        s.row = CachedRow{value.mv_data, value.mv_size, 0, false};
        ++used_;
        return s.row;
    }
    // Makes room to keep the rows of ids first to last of an entity in id order; the rows kept
    // so far move there.
    void keepInOrder(Entity &e, uint64_t first, uint64_t last)
    {
        e.base = first;
        e.dense.assign(size_t(last - first + 1), CachedRow());
        for (Slot &s : slots_)
            if (s.generation == generation_ && s.dbi == e.dbi && s.id - first < e.dense.size())
                e.dense[s.id - first] = s.row;
    }
    void clear()
    {
        entities_.clear();
        if (used_ == 0)
            return;
        ++generation_;
        used_ = 0;
    }
    Entity &entity(MDB_dbi dbi)
    {
        for (Entity &e : entities_)
            if (e.dbi == dbi)
                return e;
        entities_.push_back(Entity{dbi});
        return entities_.back();
    }

private:
    struct Slot
    {
        uint64_t id = 0;
        MDB_dbi dbi = 0;
        uint32_t generation = 0;
        CachedRow row;
    };
    size_t slot(MDB_dbi dbi, uint64_t id) const
    {
        const uint64_t h = (id ^ (uint64_t(dbi) << 56)) * 0x9E3779B97F4A7C15ULL;
        return size_t(h ^ (h >> 31)) & (slots_.size() - 1);
    }
    void grow()
    {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.assign(old.empty() ? 64 : old.size() * 2, Slot());
        const uint32_t live = generation_;
        generation_ = 1;
        used_ = 0;
        for (const Slot &s : old)
            if (s.generation == live)
                insert(s.dbi, s.id, MDB_val{s.row.size, const_cast<void *>(s.row.data)}) = s.row;
    }

    std::vector<Slot> slots_;
    uint32_t generation_ = 1;
    size_t used_ = 0;
    std::vector<Entity> entities_;
};

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
    RowCache rows;
    // What index look-ups of the transaction left: the ids and which of the look-ups (in the
    // order of the key) answered their condition exactly. Forgotten with the rows.
    struct Plan
    {
        std::vector<uint64_t> ids;
        std::vector<size_t> answered;
    };
    std::map<std::string, Plan> plans;
    // For each entity written in the transaction, an id no row lies above (looked up at the first
    // write, raised by every put above it; a removal leaves it as it is, still above every row).
    std::map<MDB_dbi, uint64_t> rowCeilings;
    // The entities whose rows the transaction put or removed, for the observers after the commit.
    std::vector<obx_schema_id> changed;
    void touched(obx_schema_id entityId)
    {
        if (std::find(changed.begin(), changed.end(), entityId) == changed.end())
            changed.push_back(entityId);
    }
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

    uint64_t observe(std::function<void(const std::vector<obx_schema_id> &)> observer);
    void unobserve(uint64_t handle);

    MDB_dbi objects(obx_schema_id entityId) const;
    MDB_dbi index(obx_schema_id indexId) const;
    // The entity's indexed properties, kept from the opening on so that no put builds the list.
    const std::vector<const PropertyInfo *> &indexed(obx_schema_id entityId) const;

    // Whether no row of the entity can have this id, without searching the tree where the id
    // lies above every row; rowPut tells the transaction of each row put.
    static bool aboveEveryRow(TxState &tx, MDB_dbi objects, obx_id id);
    static void rowPut(TxState &tx, MDB_dbi objects, obx_id id);

    uint64_t nextId(TxState &tx, const EntityInfo &entity);
    void moveSequencePast(TxState &tx, const EntityInfo &entity, uint64_t id);
    uint64_t lastId(TxState &tx, const EntityInfo &entity);

    // Reads row id of the entity, through the transaction's cache, and checks its bytes before
    // they are read: every field, or only `fields` (whose ids make up fieldMask) when not null.
    // False when there is no such row; OBX_ERROR_FILE_CORRUPT for bytes that are no sound table.
    static bool readRow(TxState &tx, const EntityInfo &entity, MDB_dbi objects, obx_id id, MDB_val &value,
                 const std::vector<const PropertyInfo *> *fields = nullptr, uint64_t fieldMask = 0);
    // Asks the processor to fetch the first bytes of a row the transaction has already found.
    static void prefetchRow(TxState &tx, MDB_dbi objects, obx_id id)
    {
        if (const CachedRow *row = tx.rows.find(objects, id)) {
            const char *bytes = static_cast<const char *>(row->data);
            for (size_t at = 0; at < row->size && at < 256; at += 64)
                __builtin_prefetch(bytes + at);
        }
    }
    // The same check for a row that a cursor has found; the row is not kept in the cache.
    static void checkRow(TxState &tx, const EntityInfo &entity, MDB_dbi objects, obx_id id, const MDB_val &value,
                  const std::vector<const PropertyInfo *> *fields = nullptr, uint64_t fieldMask = 0);

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
    void notifyObservers(const std::vector<obx_schema_id> &changed);

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
    // Held while observers are called, so that unobserve() never returns during a call.
    std::recursive_mutex observersMutex_;
    // Shared with a call under way, so that an observer removing itself is freed after it returns.
    std::map<uint64_t, std::shared_ptr<const std::function<void(const std::vector<obx_schema_id> &)>>> observers_;
    uint64_t nextObserver_ = 1;
};

// Raises DbException for an LMDB failure, with LMDB's own text.
[[noreturn]] void failLmdb(int rc, const std::string &what);

inline void putBigEndian64(uint8_t *out, uint64_t v)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    std::memcpy(out, &v, 8);
}

inline uint64_t readBigEndian64(const void *in)
{
    uint64_t v;
    std::memcpy(&v, in, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

} // namespace obx::internal
