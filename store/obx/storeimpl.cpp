// The LMDB environment of a store (a directory holding data.mdb and lock.mdb) holds these
// named databases:
//
//   "meta"          "schema"                  -> schema text, one line per item:
//                                                  E <entity id> <uid> <name>
//                                                  P <entity id> <property id> <uid> <type> <name>
//                                                  I <index id> <uid>
//                   "seq" be32(entity id)     -> be64(last object id handed out)
//   "o<entity id>"  be64(object id)           -> the object's FlatBuffers table
//   "i<index id>"   be64(index value)         -> be64(object id)   (MDB_DUPSORT | MDB_DUPFIXED)
//
// Big-endian ids make LMDB's key order the id order, so scans and index hits come in id order.
// Index values are described in indexkey.h.

#include "store/obx/storeimpl.h"

#include "store/obx/indexkey.h"
#include "store/obx/lasterror.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unordered_map>

namespace obx::internal {

namespace {

using Registry = std::unordered_map<const StoreImpl *, std::unique_ptr<TxState>>;

Registry &registry()
{
    thread_local Registry transactions;
    return transactions;
}

// The stores whose observers the thread is calling: none of them takes a write from it meanwhile.
std::vector<const StoreImpl *> &notifying()
{
    thread_local std::vector<const StoreImpl *> stores;
    return stores;
}

obx_err codeFor(int rc)
{
    switch (rc) {
    case MDB_MAP_FULL:
    case ENOSPC:
        return OBX_ERROR_DB_FULL;
    case MDB_READERS_FULL:
        return OBX_ERROR_MAX_READERS_EXCEEDED;
    case MDB_CORRUPTED:
    case MDB_PAGE_NOTFOUND:
    case MDB_INVALID:
    case MDB_VERSION_MISMATCH:
        return OBX_ERROR_FILE_CORRUPT;
    default:
        return OBX_ERROR_STORAGE_GENERAL;
    }
}

void makeDirectories(const std::string &path)
{
    std::string partial;
    std::stringstream parts(path);
    std::string piece;
    if (!path.empty() && path[0] == '/')
        partial = "/";
    while (std::getline(parts, piece, '/')) {
        if (piece.empty())
            continue;
        partial += piece + "/";
        // The system's error goes with it; no room for a folder is a full disk, as for a commit.
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            failLmdb(errno, "Could not create the store directory " + partial);
    }
}

// LMDB sizes its lock file for the reader table (one cache line per reader after a header of
// two lines) and maps it; pages of a sparse file that the disk cannot give are a SIGBUS on first
// touch. The file is reserved up front, with room to spare, so that a full disk is an error.
const off_t kLockFileSize = 64 * 1024;
const off_t kReaderSlotSize = 64;
// Below this much of it on disk a lock file cannot even take LMDB's header safely.
const off_t kLockFileLeast = 4096;
// Read transactions wait this long for a reader slot whose page is on disk.
const std::chrono::seconds kReaderWait(30);
// A write cut short on a disk with less room than this left was cut short by the full disk.
const unsigned long long kNearlyFull = 1024 * 1024;

// How many bytes from the start of the file are allocated on disk: holes and the tail past the
// allocated blocks are not, however large the file says it is. Blocks reserved but never written
// count as holes to SEEK_HOLE on some file systems, so a file with all its blocks is taken whole.
off_t allocatedPrefix(int fd)
{
    struct stat st{};
    if (fstat(fd, &st) != 0)
        return 0;
    const off_t blocks = off_t(st.st_blocks) * 512;
    if (blocks >= st.st_size)
        return st.st_size;
    off_t hole = lseek(fd, 0, SEEK_HOLE);
    if (hole < 0)
        hole = st.st_size;
    return std::min<off_t>(hole, blocks);
}

// Returns the allocated part of the lock file. A store made before the reservation has a smaller,
// sparse lock file: on a full disk it still opens with the file it has, as far as its pages are
// really there (the readers are then held to those pages).
off_t reserveLockFile(const std::string &directory)
{
    const std::string path = directory + "/lock.mdb";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        failLmdb(errno, "Could not create the lock file " + path);
    struct stat st{};
    int rc = fstat(fd, &st) == 0 ? 0 : errno;
    // posix_fallocate answers the error itself rather than through errno.
    if (rc == 0 && st.st_size < kLockFileSize)
        rc = posix_fallocate(fd, 0, kLockFileSize);
    // A reserved file is whole; only a file the disk had no room to reserve is looked at block by
    // block (a compressing file system would count too few blocks for a healthy one).
    const off_t allocated = rc == 0 ? std::max<off_t>(st.st_size, kLockFileSize) : allocatedPrefix(fd);
    ::close(fd);
    if (rc != 0 && rc != ENOSPC && rc != EDQUOT)
        failLmdb(rc, "Could not reserve the lock file " + path);
    if (allocated < kLockFileLeast)
        failLmdb(rc != 0 ? rc : ENOSPC, "Could not reserve the lock file " + path);
    return allocated;
}

struct StoredItem
{
    obx_uid uid;
    int type;
    std::string name;
};

std::string schemaText(const Schema &schema)
{
    std::ostringstream out;
    for (const EntityInfo &e : schema.entities) {
        out << "E " << e.id << ' ' << e.uid << ' ' << e.name << '\n';
        for (const PropertyInfo &p : e.properties) {
            out << "P " << e.id << ' ' << p.id << ' ' << p.uid << ' ' << int(p.type) << ' ' << p.name << '\n';
            if (p.indexId)
                out << "I " << p.indexId << ' ' << p.indexUid << '\n';
        }
    }
    return out.str();
}

void mismatch(const std::string &what)
{
    fail(OBX_ERROR_SCHEMA, "The model does not match the store: " + what);
}

} // namespace

void failLmdb(int rc, const std::string &what)
{
    if (rc == ENOSPC || rc == EDQUOT)
        fail(OBX_ERROR_DB_FULL, what + ": the disk is full (" + mdb_strerror(rc) + ")");
    fail(codeFor(rc), what + ": " + mdb_strerror(rc));
}

StoreImpl::StoreImpl(OBX_store_options &options) : directory_(options.directory)
{
    if (!options.model)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "The store options have no model");
    schema_ = options.model->schema;
    makeDirectories(directory_);

    int rc = mdb_env_create(&env_);
    if (rc != 0)
        failLmdb(rc, "Could not create the store environment");
    const std::string dataPath = directory_ + "/data.mdb";
    struct stat st{};
    const bool creating = ::stat(dataPath.c_str(), &st) != 0 && errno == ENOENT;
    try {
        open(options.mapSize);
    } catch (...) {
        mdb_env_close(env_);
        env_ = nullptr;
        // LMDB writes the header pages of a new file in one write, which a full disk can cut
        // short; such a file is no store, and every later open would call it one that is not
        // LMDB's. A longer one has its header and is taken up again by the next open.
        if (creating && ::stat(dataPath.c_str(), &st) == 0 && st.st_size < 2 * sysconf(_SC_PAGESIZE))
            ::unlink(dataPath.c_str());
        throw;
    }
}

void StoreImpl::open(uint64_t mapSize)
{
    int rc = mdb_env_set_mapsize(env_, mapSize);
    if (rc != 0)
        failLmdb(rc, "Could not set the map size");
    size_t indexCount = 0;
    for (const EntityInfo &e : schema_.entities)
        indexCount += e.indexed().size();
    if ((rc = mdb_env_set_maxdbs(env_, MDB_dbi(schema_.entities.size() + indexCount + 8))) != 0)
        failLmdb(rc, "Could not set the number of databases");
    const off_t allocated = reserveLockFile(directory_);
    // The fewest readers, so that LMDB never grows the lock file: it then sizes the reader table
    // by the file as it is.
    if ((rc = mdb_env_set_maxreaders(env_, 1)) != 0)
        failLmdb(rc, "Could not set the number of readers");
    // MDB_NOTLS: read transactions belong to our Transaction objects, not to OS threads.
    if ((rc = mdb_env_open(env_, directory_.c_str(), MDB_NOTLS, 0644)) != 0)
        failLmdb(rc, "Could not open the store in " + directory_);
    unsigned int slots = 0;
    struct stat st{};
    if (mdb_env_get_maxreaders(env_, &slots) == 0 && ::stat((directory_ + "/lock.mdb").c_str(), &st) == 0) {
        const off_t header = st.st_size - off_t(slots) * kReaderSlotSize;
        const off_t onDisk = (allocated - header) / kReaderSlotSize;
        if (onDisk < off_t(slots))
            readerCap_ = unsigned(std::max<off_t>(onDisk, 0));
        if (onDisk < 1)
            failLmdb(ENOSPC, "Could not reserve the lock file of " + directory_);
    }
    // Reader slots left by a process that was killed would otherwise hold old pages for good.
    int stale = 0;
    mdb_reader_check(env_, &stale);
    // A store that already holds this model opens without a write, so that it can still be read
    // on a full disk.
    if (!openUnchanged())
        openDatabases();
}

StoreImpl::~StoreImpl()
{
    try {
        close();
    } catch (...) {
    }
}

void StoreImpl::openDatabases()
{
    MDB_txn *txn = nullptr;
    int rc = mdb_txn_begin(env_, nullptr, 0, &txn);
    if (rc != 0)
        failLmdb(rc, "Could not begin the opening transaction");
    try {
        if ((rc = mdb_dbi_open(txn, "meta", MDB_CREATE, &meta_)) != 0)
            failLmdb(rc, "Could not open the meta database");
        const std::set<obx_schema_id> storedIndexes = checkSchema(txn);
        for (const EntityInfo &e : schema_.entities) {
            MDB_dbi dbi;
            const std::string name = "o" + std::to_string(e.id);
            if ((rc = mdb_dbi_open(txn, name.c_str(), MDB_CREATE, &dbi)) != 0)
                failLmdb(rc, "Could not open the objects of " + e.name);
            objects_[e.id] = dbi;
            indexed_[e.id] = e.indexed();
            for (const PropertyInfo *p : e.indexed()) {
                const std::string indexName = "i" + std::to_string(p->indexId);
                if ((rc = mdb_dbi_open(txn, indexName.c_str(), MDB_CREATE | MDB_DUPSORT | MDB_DUPFIXED, &dbi)) != 0)
                    failLmdb(rc, "Could not open the index of " + e.name + "." + p->name);
                indexes_[p->indexId] = dbi;
                // An index new to this store (or dropped and taken up again) must cover the rows
                // stored without it.
                if (!storedIndexes.count(p->indexId))
                    rebuildIndex(txn, e, *p, objects_[e.id], dbi);
            }
        }
        if ((rc = mdb_txn_commit(txn)) != 0) {
            txn = nullptr;
            failLmdb(cutShortByFullDisk(rc), "Could not commit the opening transaction");
        }
    } catch (...) {
        if (txn)
            mdb_txn_abort(txn);
        throw;
    }
}

bool StoreImpl::openUnchanged()
{
    MDB_txn *txn = nullptr;
    if (mdb_txn_begin(env_, nullptr, MDB_RDONLY, &txn) != 0)
        return false;
    const auto giveUp = [&] {
        mdb_txn_abort(txn); // handles opened in it are closed with it
        objects_.clear();
        indexes_.clear();
        indexed_.clear();
        return false;
    };
    if (mdb_dbi_open(txn, "meta", 0, &meta_) != 0)
        return giveUp();
    MDB_val key{6, const_cast<char *>("schema")};
    MDB_val value;
    if (mdb_get(txn, meta_, &key, &value) != 0)
        return giveUp();
    if (std::string(static_cast<const char *>(value.mv_data), value.mv_size) != schemaText(schema_))
        return giveUp();
    for (const EntityInfo &e : schema_.entities) {
        MDB_dbi dbi;
        if (mdb_dbi_open(txn, ("o" + std::to_string(e.id)).c_str(), 0, &dbi) != 0)
            return giveUp();
        objects_[e.id] = dbi;
        indexed_[e.id] = e.indexed();
        for (const PropertyInfo *p : e.indexed()) {
            if (mdb_dbi_open(txn, ("i" + std::to_string(p->indexId)).c_str(), MDB_DUPSORT | MDB_DUPFIXED, &dbi) != 0)
                return giveUp();
            indexes_[p->indexId] = dbi;
        }
    }
    // Committing a read keeps its database handles open for the environment.
    if (mdb_txn_commit(txn) != 0) {
        objects_.clear();
        indexes_.clear();
        indexed_.clear();
        return false;
    }
    return true;
}

void StoreImpl::rebuildIndex(MDB_txn *txn, const EntityInfo &entity, const PropertyInfo &p, MDB_dbi objects,
                             MDB_dbi index)
{
    int rc = mdb_drop(txn, index, 0);
    if (rc != 0)
        failLmdb(rc, "Could not clear the index of " + entity.name + "." + p.name);
    MDB_cursor *cursor = nullptr;
    if ((rc = mdb_cursor_open(txn, objects, &cursor)) != 0)
        failLmdb(rc, "Could not open a cursor");
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> guard(cursor, mdb_cursor_close);
    MDB_val k, v;
    for (rc = mdb_cursor_get(cursor, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cursor, &k, &v, MDB_NEXT)) {
        if (!Row::verify(entity, v.mv_data, v.mv_size))
            continue; // a damaged row reports itself when read
        uint64_t value;
        if (!indexValue(p, Row(entity, v.mv_data, v.mv_size), value))
            continue;
        uint8_t keyBytes[8];
        putBigEndian64(keyBytes, value);
        MDB_val ik{8, keyBytes}, id{8, k.mv_data};
        if ((rc = mdb_put(txn, index, &ik, &id, 0)) != 0)
            failLmdb(rc, "Could not build the index of " + entity.name + "." + p.name);
    }
    if (rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects of " + entity.name);
}

std::set<obx_schema_id> StoreImpl::checkSchema(MDB_txn *txn)
{
    std::set<obx_schema_id> storedIndexes;
    MDB_val key{6, const_cast<char *>("schema")};
    MDB_val value;
    int rc = mdb_get(txn, meta_, &key, &value);
    if (rc != 0 && rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the stored model");
    if (rc == 0) {
        std::map<obx_schema_id, StoredItem> entities;
        std::map<std::pair<obx_schema_id, obx_schema_id>, StoredItem> properties;
        std::map<obx_schema_id, obx_uid> indexes;
        std::istringstream in(std::string(static_cast<const char *>(value.mv_data), value.mv_size));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            char kind = 0;
            fields >> kind;
            if (kind == 'E') {
                obx_schema_id id;
                StoredItem item{};
                fields >> id >> item.uid >> item.name;
                entities[id] = item;
            } else if (kind == 'P') {
                obx_schema_id entity, id;
                StoredItem item{};
                fields >> entity >> id >> item.uid >> item.type >> item.name;
                properties[{entity, id}] = item;
            } else if (kind == 'I') {
                obx_schema_id id;
                obx_uid uid;
                fields >> id >> uid;
                indexes[id] = uid;
                storedIndexes.insert(id);
            }
        }
        for (const EntityInfo &e : schema_.entities) {
            for (const auto &[id, item] : entities) {
                if (id == e.id && item.uid != e.uid)
                    mismatch("entity " + e.name + " (id " + std::to_string(e.id) + ") has uid " + std::to_string(e.uid)
                             + ", the store has " + std::to_string(item.uid));
                if (id != e.id && item.uid == e.uid)
                    mismatch("entity " + e.name + " has id " + std::to_string(e.id) + ", the store has "
                             + std::to_string(id));
            }
            for (const PropertyInfo &p : e.properties) {
                for (const auto &[key, item] : properties) {
                    if (key.first != e.id)
                        continue;
                    if (key.second == p.id && item.uid != p.uid)
                        mismatch("property " + e.name + "." + p.name + " has uid " + std::to_string(p.uid)
                                 + ", the store has " + std::to_string(item.uid));
                    if (key.second != p.id && item.uid == p.uid)
                        mismatch("property " + e.name + "." + p.name + " has id " + std::to_string(p.id)
                                 + ", the store has " + std::to_string(key.second));
                    if (key.second == p.id && item.type != int(p.type))
                        mismatch("property " + e.name + "." + p.name + " changed its type");
                }
                if (p.indexId) {
                    const auto it = indexes.find(p.indexId);
                    if (it != indexes.end() && it->second != p.indexUid)
                        mismatch("index " + std::to_string(p.indexId) + " has uid " + std::to_string(p.indexUid)
                                 + ", the store has " + std::to_string(it->second));
                }
            }
        }
    }
    std::string text = schemaText(schema_);
    MDB_val stored{text.size(), text.data()};
    if ((rc = mdb_put(txn, meta_, &key, &stored, 0)) != 0)
        failLmdb(rc, "Could not store the model");
    return storedIndexes;
}

void StoreImpl::close()
{
    std::lock_guard<std::mutex> closing(closeMutex_);
    if (closed_)
        return;
    if (current())
        fail(OBX_ERROR_ILLEGAL_STATE, "The store cannot be closed inside one of its own transactions");
    // New transactions are refused from here on, so that a busy pool cannot keep the store open:
    // the lock prefers readers and would let them in ahead of this wait.
    closing_ = true;
    // Waits until every running transaction, on any thread, has ended.
    std::unique_lock<std::shared_mutex> lock(lifetime_);
    closed_ = true;
    if (env_) {
        mdb_env_close(env_);
        env_ = nullptr;
    }
}

const EntityInfo &StoreImpl::entity(obx_schema_id id) const
{
    const EntityInfo *e = schema_.entity(id);
    if (!e)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity " + std::to_string(id) + " is not in the model");
    return *e;
}

TxState *StoreImpl::current() const
{
    Registry &reg = registry();
    const auto it = reg.find(this);
    return it == reg.end() ? nullptr : it->second.get();
}

TxState *StoreImpl::begin(bool write)
{
    // Its commit would call the observers again from inside one of their calls.
    if (write && std::find(notifying().begin(), notifying().end(), this) != notifying().end())
        fail(OBX_ERROR_ILLEGAL_STATE, "A commit observer must not write to the store");
    if (TxState *state = current()) {
        if (write && !state->write)
            fail(OBX_ERROR_ILLEGAL_STATE, "A write transaction cannot be started inside a read transaction");
        ++state->depth;
        return state;
    }
    if (closing_)
        fail(OBX_ERROR_ILLEGAL_STATE, "Store is closed");
    std::shared_lock<std::shared_mutex> life(lifetime_);
    if (closing_)
        fail(OBX_ERROR_ILLEGAL_STATE, "Store is closed");
    // Only the reader slots whose pages are on disk may be touched (see open()).
    const bool slotted = !write && readerCap_ != 0;
    if (slotted)
        takeReaderSlot();
    MDB_txn *txn = nullptr;
    const int rc = mdb_txn_begin(env_, nullptr, write ? 0 : MDB_RDONLY, &txn);
    if (rc != 0) {
        if (slotted)
            releaseReaderSlot();
        failLmdb(rc, write ? "Could not begin a write transaction" : "Could not begin a read transaction");
    }
    auto state = std::make_unique<TxState>();
    state->slotted = slotted;
    state->store = this;
    state->txn = txn;
    state->write = write;
    state->depth = 1;
    state->life = std::move(life);
    TxState *raw = state.get();
    registry()[this] = std::move(state);
    return raw;
}

void StoreImpl::end(TxState *state, bool commit, bool write)
{
    if (--state->depth > 0) {
        if (!commit && write)
            state->failed = true;
        return;
    }
    Registry &reg = registry();
    std::unique_ptr<TxState> owned = std::move(reg[this]);
    reg.erase(this);
    // The slot is LMDB's again once the transaction is over, however it ends.
    struct SlotRelease
    {
        StoreImpl *store;
        bool slotted;
        ~SlotRelease()
        {
            if (slotted)
                store->releaseReaderSlot();
        }
    } release{this, owned->slotted};
    if (!commit || (state->failed && !state->write)) {
        mdb_txn_abort(owned->txn);
        return;
    }
    if (state->failed) {
        mdb_txn_abort(owned->txn);
        fail(OBX_ERROR_ILLEGAL_STATE, "Transaction was not committed: an operation inside it failed");
    }
    try {
        if (owned->write)
            writeSequences(*owned);
    } catch (...) {
        mdb_txn_abort(owned->txn);
        throw;
    }
    const int rc = mdb_txn_commit(owned->txn);
    if (rc != 0)
        failLmdb(cutShortByFullDisk(rc), "Could not commit the transaction");
    // The thread holds no transaction any more: an observer may open one.
    if (!owned->changed.empty())
        notifyObservers(owned->changed);
}

uint64_t StoreImpl::observe(std::function<void(const std::vector<obx_schema_id> &)> observer)
{
    std::lock_guard<std::recursive_mutex> lock(observersMutex_);
    const uint64_t handle = nextObserver_++;
    observers_.emplace(handle, std::make_shared<const std::function<void(const std::vector<obx_schema_id> &)>>(
                                   std::move(observer)));
    return handle;
}

void StoreImpl::unobserve(uint64_t handle)
{
    std::lock_guard<std::recursive_mutex> lock(observersMutex_);
    observers_.erase(handle);
}

void StoreImpl::notifyObservers(const std::vector<obx_schema_id> &changed)
{
    std::lock_guard<std::recursive_mutex> lock(observersMutex_);
    notifying().push_back(this);
    struct Done
    {
        ~Done() { notifying().pop_back(); }
    } done;
    // The observers as they are at each step: one removed by an earlier call is not called, and
    // one added during the round waits for the next commit.
    const uint64_t last = nextObserver_ - 1;
    for (auto it = observers_.begin(); it != observers_.end() && it->first <= last;) {
        const uint64_t handle = it->first;
        const auto observer = it->second;
        // The write is committed whatever an observer does: its failure is no failure of the commit.
        try {
            (*observer)(changed);
        } catch (...) {
        }
        it = observers_.upper_bound(handle);
    }
}

int StoreImpl::cutShortByFullDisk(int rc) const
{
    // LMDB reports a write that the disk cut short as EIO, where a write that got nothing out says
    // ENOSPC; a disk left (nearly) without room tells the two apart.
    struct statvfs fs{};
    if (rc == EIO && statvfs(directory_.c_str(), &fs) == 0
        && static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize < kNearlyFull)
        return ENOSPC;
    return rc;
}

void StoreImpl::takeReaderSlot()
{
    std::unique_lock<std::mutex> lock(readersMutex_);
    if (!readersFree_.wait_for(lock, kReaderWait, [this] { return readers_ < readerCap_; }))
        fail(OBX_ERROR_MAX_READERS_EXCEEDED, "No reader slot of the store came free: the disk is full");
    ++readers_;
}

void StoreImpl::releaseReaderSlot()
{
    {
        std::lock_guard<std::mutex> lock(readersMutex_);
        --readers_;
    }
    readersFree_.notify_one();
}

TxState &StoreImpl::require(bool write) const
{
    TxState *state = current();
    if (!state)
        fail(OBX_ERROR_ILLEGAL_STATE, "No transaction is open on this thread");
    if (write && !state->write)
        fail(OBX_ERROR_ILLEGAL_STATE, "A write needs a write transaction");
    return *state;
}

MDB_dbi StoreImpl::objects(obx_schema_id entityId) const
{
    const auto it = objects_.find(entityId);
    if (it == objects_.end())
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity " + std::to_string(entityId) + " is not in the model");
    return it->second;
}

MDB_dbi StoreImpl::index(obx_schema_id indexId) const
{
    return indexes_.at(indexId);
}

const std::vector<const PropertyInfo *> &StoreImpl::indexed(obx_schema_id entityId) const
{
    const auto it = indexed_.find(entityId);
    if (it == indexed_.end())
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity " + std::to_string(entityId) + " is not in the model");
    return it->second;
}

uint64_t StoreImpl::lastId(TxState &tx, const EntityInfo &entity)
{
    const auto it = tx.sequences.find(entity.id);
    if (it != tx.sequences.end())
        return it->second;
    uint8_t keyBytes[7] = {'s', 'e', 'q', 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        keyBytes[3 + i] = uint8_t(entity.id >> (8 * (3 - i)));
    MDB_val key{sizeof keyBytes, keyBytes};
    MDB_val value;
    uint64_t last = 0;
    const int rc = mdb_get(tx.txn, meta_, &key, &value);
    if (rc == 0 && value.mv_size == 8)
        last = readBigEndian64(value.mv_data);
    else if (rc != 0 && rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the id sequence of " + entity.name);
    tx.sequences[entity.id] = last;
    return last;
}

uint64_t StoreImpl::nextId(TxState &tx, const EntityInfo &entity)
{
    const uint64_t id = lastId(tx, entity) + 1;
    tx.sequences[entity.id] = id;
    tx.dirtySequences[entity.id] = true;
    return id;
}

void StoreImpl::moveSequencePast(TxState &tx, const EntityInfo &entity, uint64_t id)
{
    if (id > lastId(tx, entity)) {
        tx.sequences[entity.id] = id;
        tx.dirtySequences[entity.id] = true;
    }
}

namespace {

[[noreturn]] void corrupt(const EntityInfo &entity, obx_id id)
{
    fail(OBX_ERROR_FILE_CORRUPT, "Stored object " + entity.name + " " + std::to_string(id) + " is corrupt");
}

// Checks what `row` does not yet cover; fieldMask 0 with fields set means fields beyond the mask.
void checkCached(CachedRow &row, const EntityInfo &entity, obx_id id,
                 const std::vector<const PropertyInfo *> *fields, uint64_t fieldMask)
{
    if (row.whole)
        return;
    if (!fields) {
        if (!Row::verify(entity, row.data, row.size))
            corrupt(entity, id);
        row.whole = true;
        return;
    }
    if (fieldMask != 0 && (row.fields & fieldMask) == fieldMask)
        return;
    if (!Row::verifyFields(row.data, row.size, *fields))
        corrupt(entity, id);
    row.fields |= fieldMask;
}

} // namespace

// A transaction that looks up a good part of an entity's rows one by one (as the counts of every
// board do) reads them all in one pass over the tree instead: a look-up is a walk down the tree
// to a page that is seldom in the processor's cache, a pass reads the pages in the order they
// lie in. Rows are kept as they lie, still to be checked when read.
const uint64_t kWarmShare = 16;     // once a 1/16 of the rows have been looked up
const uint64_t kWarmMinimum = 1024; // and at least this many
const uint64_t kWarmMost = 1 << 18; // entities of more rows are not held whole

void warm(TxState &tx, MDB_dbi dbi, RowCache::Entity &reads)
{
    MDB_cursor *cursor = nullptr;
    int rc = mdb_cursor_open(tx.txn, dbi, &cursor);
    if (rc != 0)
        failLmdb(rc, "Could not open a cursor");
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> guard(cursor, mdb_cursor_close);
    MDB_val k, v;
    if ((rc = mdb_cursor_get(cursor, &k, &v, MDB_LAST)) != 0 && rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects");
    const uint64_t last = rc == 0 ? readBigEndian64(k.mv_data) : 0;
    if ((rc = mdb_cursor_get(cursor, &k, &v, MDB_FIRST)) != 0 && rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects");
    if (rc == 0 && last - readBigEndian64(k.mv_data) < 2 * reads.rows + 64)
        tx.rows.keepInOrder(reads, readBigEndian64(k.mv_data), last);
    for (; rc == 0; rc = mdb_cursor_get(cursor, &k, &v, MDB_NEXT))
        tx.rows.insert(dbi, readBigEndian64(k.mv_data), v);
    if (rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects");
    reads.complete = true;
}

bool StoreImpl::readRow(TxState &tx, const EntityInfo &entity, MDB_dbi dbi, obx_id id, MDB_val &value,
                        const std::vector<const PropertyInfo *> *fields, uint64_t fieldMask)
{
    if (CachedRow *cached = tx.rows.find(dbi, id)) {
        checkCached(*cached, entity, id, fields, fieldMask);
        value = MDB_val{cached->size, const_cast<void *>(cached->data)};
        return true;
    }
    // Only a transaction that a caller holds around several calls can read the row again.
    const bool keep = tx.depth > 1;
    if (keep) {
        RowCache::Entity &reads = tx.rows.entity(dbi);
        if (reads.complete)
            return false;
        if (++reads.lookups >= kWarmMinimum && reads.lookups % kWarmMinimum == 0) {
            if (reads.rows == 0) {
                MDB_stat stat;
                if (mdb_stat(tx.txn, dbi, &stat) == 0)
                    reads.rows = stat.ms_entries;
            }
            if (reads.rows <= kWarmMost && reads.lookups * kWarmShare >= reads.rows) {
                warm(tx, dbi, reads);
                return readRow(tx, entity, dbi, id, value, fields, fieldMask);
            }
        }
    }
    uint8_t key[8];
    putBigEndian64(key, id);
    MDB_val k{8, key};
    const int rc = mdb_get(tx.txn, dbi, &k, &value);
    if (rc == MDB_NOTFOUND)
        return false;
    if (rc != 0)
        failLmdb(rc, "Could not read object " + std::to_string(id));
    CachedRow fresh{value.mv_data, value.mv_size, 0, false};
    checkCached(fresh, entity, id, fields, fieldMask);
    if (keep)
        tx.rows.insert(dbi, id, value) = fresh;
    return true;
}

void StoreImpl::checkRow(TxState &tx, const EntityInfo &entity, MDB_dbi dbi, obx_id id, const MDB_val &value,
                         const std::vector<const PropertyInfo *> *fields, uint64_t fieldMask)
{
    if (!tx.rows.empty()) {
        if (CachedRow *cached = tx.rows.find(dbi, id); cached && cached->data == value.mv_data) {
            checkCached(*cached, entity, id, fields, fieldMask);
            return;
        }
    }
    CachedRow row{value.mv_data, value.mv_size, 0, false};
    checkCached(row, entity, id, fields, fieldMask);
}

bool StoreImpl::aboveEveryRow(TxState &tx, MDB_dbi objects, obx_id id)
{
    auto known = tx.rowCeilings.find(objects);
    if (known == tx.rowCeilings.end()) {
        MDB_cursor *cursor = nullptr;
        int rc = mdb_cursor_open(tx.txn, objects, &cursor);
        if (rc != 0)
            failLmdb(rc, "Could not open a cursor");
        MDB_val k, v;
        rc = mdb_cursor_get(cursor, &k, &v, MDB_LAST);
        const uint64_t last = rc == 0 ? readBigEndian64(k.mv_data) : 0;
        mdb_cursor_close(cursor);
        if (rc != 0 && rc != MDB_NOTFOUND)
            failLmdb(rc, "Could not read the objects");
        known = tx.rowCeilings.emplace(objects, last).first;
    }
    return id > known->second;
}

void StoreImpl::rowPut(TxState &tx, MDB_dbi objects, obx_id id)
{
    const auto known = tx.rowCeilings.find(objects);
    if (known != tx.rowCeilings.end() && id > known->second)
        known->second = id;
}

void StoreImpl::writeSequences(TxState &tx)
{
    for (const auto &[entityId, dirty] : tx.dirtySequences) {
        if (!dirty)
            continue;
        uint8_t keyBytes[7] = {'s', 'e', 'q', 0, 0, 0, 0};
        for (int i = 0; i < 4; ++i)
            keyBytes[3 + i] = uint8_t(entityId >> (8 * (3 - i)));
        uint8_t valueBytes[8];
        putBigEndian64(valueBytes, tx.sequences[entityId]);
        MDB_val key{sizeof keyBytes, keyBytes};
        MDB_val value{8, valueBytes};
        const int rc = mdb_put(tx.txn, meta_, &key, &value, 0);
        if (rc != 0)
            failLmdb(rc, "Could not store an id sequence");
    }
}

} // namespace obx::internal

obx_err obx_remove_db_files(const char *directory)
{
    if (!directory || !*directory)
        return obx::internal::setLastError(OBX_ERROR_ILLEGAL_ARGUMENT, "Store directory must not be empty");
    for (const char *file : {"/data.mdb", "/lock.mdb"}) {
        const std::string path = std::string(directory) + file;
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return obx::internal::setLastError(OBX_ERROR_STORAGE_GENERAL,
                                               "Could not delete " + path + ": " + std::strerror(errno));
    }
    obx::internal::clearLastError();
    return OBX_SUCCESS;
}
