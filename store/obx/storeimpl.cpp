#include "storeimpl.h"

#include "errors.h"
#include "keys.h"
#include "openstores.h"
#include "schemasync.h"
#include "txcontext.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace obx {
namespace internal {

namespace {

constexpr unsigned kMaxReaders = 1022;
constexpr size_t kIdleReaderLimit = 64;

void makeDirectories(const std::string &directory)
{
    std::string path;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = directory.find('/', pos + 1);
        path = directory.substr(0, pos);
        if (path.empty() || path == "/")
            continue;
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            raise(OBX_ERROR_STORAGE_GENERAL, "Could not create the store directory " + path + ": " + std::strerror(errno));
    }
    struct stat info;
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        raise(OBX_ERROR_STORAGE_GENERAL, "The store directory " + directory + " is not a directory");
}

} // namespace

StoreImpl::StoreImpl(OBX_store_options *options)
{
    std::unique_ptr<OBX_store_options> owned(options);
    if (!options)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Store options are null");
    open(*options);
}

StoreImpl::~StoreImpl()
{
    try {
        close();
    } catch (...) {
        // Closing under a live transaction of this thread would free it from under its owner;
        // leaving the environment open is the lesser harm.
    }
}

void StoreImpl::open(OBX_store_options &options)
{
    if (!options.schema)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Store options have no model");
    schema_ = std::move(options.schema);
    directory_ = options.directory;
    debugFlags_ = options.debugFlags;
    makeDirectories(directory_);
    canonical_ = OpenStores::canonical(directory_);
    if (canonical_.empty())
        raise(OBX_ERROR_STORAGE_GENERAL, "The store directory " + directory_ + " cannot be resolved");
    if (!OpenStores::claim(canonical_)) {
        canonical_.clear();
        raise(OBX_ERROR_ILLEGAL_STATE, "A store is already open in " + directory_);
    }
    try {
        int rc = mdb_env_create(&env_);
        if (rc)
            raiseLmdb(rc, "Could not create the store environment");
        size_t indexCount = 0;
        for (const EntityDef &e : schema_->entities)
            indexCount += e.indexes.size();
        // Room for the model's databases and for indexes an earlier model left behind.
        rc = mdb_env_set_maxdbs(env_, MDB_dbi(2 + schema_->entities.size() + indexCount + 64));
        if (!rc)
            rc = mdb_env_set_mapsize(env_, size_t(std::max(options.mapSize, mapSizeFloor())));
        if (!rc)
            rc = mdb_env_set_maxreaders(env_, kMaxReaders);
        if (rc)
            raiseLmdb(rc, "Could not configure the store environment");
        // NOTLS: a read transaction belongs to its object, not its thread, so pool threads can share.
        rc = mdb_env_open(env_, directory_.c_str(), MDB_NOTLS, 0644);
        if (rc)
            raiseLmdb(rc, "Could not open the store in " + directory_);
        int dead = 0;
        mdb_reader_check(env_, &dead); // slots of killed processes

        MDB_txn *txn = nullptr;
        rc = mdb_txn_begin(env_, nullptr, 0, &txn);
        if (rc)
            raiseLmdb(rc, "Could not begin the opening transaction");
        try {
            rc = mdb_dbi_open(txn, "meta", MDB_CREATE, &metaDbi_);
            if (!rc)
                rc = mdb_dbi_open(txn, "seq", MDB_CREATE, &seqDbi_);
            if (rc)
                raiseLmdb(rc, "Could not open the store's databases");
            SchemaSync::apply(txn, metaDbi_, *schema_, collisions_);
            loadSequences(txn);
        } catch (...) {
            mdb_txn_abort(txn);
            throw;
        }
        rc = mdb_txn_commit(txn);
        if (rc)
            raiseLmdb(rc, "Could not commit the opening transaction");
    } catch (...) {
        closeEnvironment();
        throw;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = State::Open;
}

void StoreImpl::loadSequences(MDB_txn *txn)
{
    sequenceCount_ = size_t(schema_->maxEntityId()) + 1;
    sequences_.reset(new std::atomic<uint64_t>[sequenceCount_]);
    for (size_t i = 0; i < sequenceCount_; ++i)
        sequences_[i].store(0);
    for (const EntityDef &e : schema_->entities) {
        uint64_t last = 0;
        uint8_t keyBytes[4];
        putBe32(keyBytes, e.id);
        MDB_val key{4, keyBytes};
        MDB_val value;
        int rc = mdb_get(txn, seqDbi_, &key, &value);
        if (rc == 0 && value.mv_size == 8)
            last = getLe64(value.mv_data);
        else if (rc != MDB_NOTFOUND && rc != 0)
            raiseLmdb(rc, "Could not read the id sequence of " + e.name);
        MDB_cursor *cursor = nullptr;
        rc = mdb_cursor_open(txn, e.dbi, &cursor);
        if (rc)
            raiseLmdb(rc, "Could not read " + e.name);
        rc = mdb_cursor_get(cursor, &key, &value, MDB_LAST);
        if (rc == 0 && key.mv_size == 8)
            last = std::max(last, getBe64(key.mv_data));
        mdb_cursor_close(cursor);
        if (rc != 0 && rc != MDB_NOTFOUND)
            raiseLmdb(rc, "Could not read " + e.name);
        sequences_[e.id].store(last);
    }
}

void StoreImpl::closeEnvironment()
{
    {
        std::lock_guard<std::mutex> lock(poolMutex_);
        for (MDB_txn *txn : idleReaders_)
            mdb_txn_abort(txn);
        idleReaders_.clear();
    }
    if (env_) {
        mdb_env_close(env_);
        env_ = nullptr;
    }
    if (!canonical_.empty()) {
        OpenStores::release(canonical_);
        canonical_.clear();
    }
}

void StoreImpl::close()
{
    if (currentTx(*this))
        raise(OBX_ERROR_ILLEGAL_STATE, "The store cannot close while this thread holds one of its transactions");
    std::unique_lock<std::mutex> lock(mutex_);
    if (state_ == State::Closed && !env_)
        return;
    if (state_ == State::Closing) {
        changed_.wait(lock, [this] { return state_ == State::Closed; });
        return;
    }
    state_ = State::Closing;
    changed_.wait(lock, [this] { return running_ == 0; });
    closeEnvironment();
    state_ = State::Closed;
    changed_.notify_all();
}

bool StoreImpl::isClosed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_ != State::Open;
}

void StoreImpl::checkOpen() const
{
    if (isClosed())
        raise(OBX_ERROR_ILLEGAL_STATE, "Store is closed");
}

const EntityDef &StoreImpl::entity(obx_schema_id entityId) const
{
    const EntityDef *entity = schema_->entity(entityId);
    if (!entity)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Entity id " + std::to_string(entityId) + " is not in the store's model");
    return *entity;
}

void StoreImpl::beginOperation()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::Open)
        raise(OBX_ERROR_ILLEGAL_STATE, "Store is closed");
    ++running_;
}

void StoreImpl::endOperation()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (--running_ == 0)
        changed_.notify_all();
}

MDB_txn *StoreImpl::beginReadTxn()
{
    MDB_txn *txn = nullptr;
    {
        std::lock_guard<std::mutex> lock(poolMutex_);
        if (!idleReaders_.empty()) {
            txn = idleReaders_.back();
            idleReaders_.pop_back();
        }
    }
    if (txn) {
        if (mdb_txn_renew(txn) == 0)
            return txn;
        mdb_txn_abort(txn);
        txn = nullptr;
    }
    const int rc = mdb_txn_begin(env_, nullptr, MDB_RDONLY, &txn);
    if (rc)
        raiseLmdb(rc, "Could not begin a read transaction");
    return txn;
}

void StoreImpl::endReadTxn(MDB_txn *txn)
{
    mdb_txn_reset(txn);
    std::lock_guard<std::mutex> lock(poolMutex_);
    if (idleReaders_.size() < kIdleReaderLimit)
        idleReaders_.push_back(txn);
    else
        mdb_txn_abort(txn);
}

obx_id StoreImpl::nextId(const EntityDef &entity)
{
    return sequences_[entity.id].fetch_add(1) + 1;
}

obx_id StoreImpl::sequence(const EntityDef &entity) const
{
    return sequences_[entity.id].load();
}

void StoreImpl::raiseSequence(const EntityDef &entity, obx_id id)
{
    std::atomic<uint64_t> &sequence = sequences_[entity.id];
    uint64_t current = sequence.load();
    while (current < id && !sequence.compare_exchange_weak(current, id)) {
    }
}

} // namespace internal
} // namespace obx
