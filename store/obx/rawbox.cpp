#include "store/obx/indexkey.h"
#include "store/obx/lasterror.h"
#include "store/obx/storeimpl.h"

#include <cstring>

namespace obx::internal {

namespace {

struct IdKey
{
    explicit IdKey(obx_id id) { putBigEndian64(bytes, id); }
    MDB_val val() { return MDB_val{8, bytes}; }
    uint8_t bytes[8];
};

bool readRow(TxState &tx, MDB_dbi dbi, obx_id id, MDB_val &value)
{
    IdKey key(id);
    MDB_val k = key.val();
    const int rc = mdb_get(tx.txn, dbi, &k, &value);
    if (rc == MDB_NOTFOUND)
        return false;
    if (rc != 0)
        failLmdb(rc, "Could not read object " + std::to_string(id));
    return true;
}

// Rows checked earlier in the transaction may lie on pages that a write copies, moves or
// reuses: whatever way a write ends, they are checked again when next read.
struct ForgetVerified
{
    ForgetVerified(StoreImpl &store, TxState &tx) : store(store), tx(tx) { forget(); }
    // An outermost write has ended, and its state with it, by the time this runs.
    ~ForgetVerified()
    {
        if (store.current() == &tx)
            forget();
    }
    void forget()
    {
        tx.rows.clear();
        tx.plans.clear();
    }
    StoreImpl &store;
    TxState &tx;
};

void checkRow(const EntityInfo &entity, const MDB_val &value, obx_id id)
{
    if (!Row::verify(entity, value.mv_data, value.mv_size))
        fail(OBX_ERROR_FILE_CORRUPT, "Stored object " + entity.name + " " + std::to_string(id) + " is corrupt");
}

// putFlags is MDB_APPENDDUP only when id is known to be above every id in the index: LMDB fails
// the whole transaction when an appended duplicate is out of order.
void indexPut(StoreImpl &store, TxState &tx, const PropertyInfo &p, const Row &row, obx_id id, bool add,
              unsigned putFlags = 0)
{
    uint64_t value;
    if (!indexValue(p, row, value))
        return;
    IdKey key(value);
    IdKey data(id);
    MDB_val k = key.val();
    MDB_val d = data.val();
    const int rc = add ? mdb_put(tx.txn, store.index(p.indexId), &k, &d, putFlags)
                       : mdb_del(tx.txn, store.index(p.indexId), &k, &d);
    if (rc != 0 && !(rc == MDB_NOTFOUND && !add))
        failLmdb(rc, "Could not update the index of " + p.name);
}

std::string quoted(std::string_view text)
{
    return "'" + std::string(text.substr(0, 60)) + "'";
}

// A second row with the same value of a unique property fails the put; the empty text counts
// as no value.
void checkUnique(StoreImpl &store, TxState &tx, const EntityInfo &entity, const PropertyInfo &p, const Row &row,
                 obx_id id)
{
    if (p.type == OBXPropertyType_String && row.text(p).empty())
        return;
    uint64_t value;
    if (!indexValue(p, row, value))
        return;
    IdKey key(value);
    MDB_val k = key.val();
    MDB_val d;
    // Most values are new: a plain look-up settles those without allocating a cursor.
    int rc = mdb_get(tx.txn, store.index(p.indexId), &k, &d);
    if (rc == MDB_NOTFOUND)
        return;
    if (rc != 0)
        failLmdb(rc, "Could not read an index");
    MDB_cursor *cursor = nullptr;
    rc = mdb_cursor_open(tx.txn, store.index(p.indexId), &cursor);
    if (rc != 0)
        failLmdb(rc, "Could not open an index cursor");
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> guard(cursor, mdb_cursor_close);
    for (rc = mdb_cursor_get(cursor, &k, &d, MDB_SET_KEY); rc == 0; rc = mdb_cursor_get(cursor, &k, &d, MDB_NEXT_DUP)) {
        const obx_id other = readBigEndian64(d.mv_data);
        if (other == id)
            continue;
        MDB_val otherValue;
        if (!readRow(tx, store.objects(entity.id), other, otherValue))
            continue;
        checkRow(entity, otherValue, other);
        const Row otherRow(entity, otherValue.mv_data, otherValue.mv_size);
        const bool same = p.type == OBXPropertyType_String ? otherRow.text(p) == row.text(p)
                                                           : otherRow.integer(p) == row.integer(p);
        if (same)
            fail(OBX_ERROR_UNIQUE_VIOLATED, "Unique constraint for " + entity.name + "." + p.name
                                                + " would be violated by putting value "
                                                + (p.type == OBXPropertyType_String ? quoted(row.text(p))
                                                                                     : std::to_string(row.integer(p))));
    }
    if (rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read an index");
}

void removeIndexEntries(StoreImpl &store, TxState &tx, const EntityInfo &entity, const MDB_val &old, obx_id id)
{
    checkRow(entity, old, id);
    const Row row(entity, old.mv_data, old.mv_size);
    for (const PropertyInfo *p : store.indexed(entity.id))
        indexPut(store, tx, *p, row, id, false);
}

} // namespace

RawBox::RawBox(Store &store, obx_schema_id entityId) : store_(store), entityId_(entityId)
{
    store.impl().entity(entityId); // raises for an entity the model does not have
}

obx_id RawBox::idForPut(obx_id id)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::WRITE);
    TxState &tx = impl.require(true);
    const EntityInfo &entity = impl.entity(entityId_);
    obx_id result = id;
    if (id == 0) {
        result = impl.nextId(tx, entity);
    } else if (!entity.selfAssignableIds && id > impl.lastId(tx, entity)) {
        fail(OBX_ERROR_ID_NOT_FOUND, "ID " + std::to_string(id) + " of " + entity.name
                                         + " is higher than the ids the store has handed out");
    }
    txn.success();
    return result;
}

obx_id RawBox::put(obx_id id, const void *data, size_t size, OBXPutMode mode, bool observed)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::WRITE);
    TxState &tx = impl.require(true);
    const ForgetVerified forget(impl, tx);
    const EntityInfo &entity = impl.entity(entityId_);
    if (id == 0)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Put of " + entity.name + " without an id");
    if (!Row::verify(entity, data, size))
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Object data of " + entity.name + " is not a valid table");
    const Row row(entity, data, size);
    if (row.id() != id)
        fail(OBX_ERROR_ILLEGAL_ARGUMENT, "Object data of " + entity.name + " carries another id");

    const MDB_dbi objects = impl.objects(entityId_);
    MDB_val old;
    // A new row usually has the highest id, which no row can hold: the tree is not searched.
    const bool exists = !StoreImpl::aboveEveryRow(tx, objects, id) && readRow(tx, objects, id, old);
    if (mode == OBXPutMode_INSERT && exists)
        fail(OBX_ERROR_ID_ALREADY_EXISTS, entity.name + " " + std::to_string(id) + " exists already");
    if (mode == OBXPutMode_UPDATE && !exists)
        fail(OBX_ERROR_ID_NOT_FOUND, entity.name + " " + std::to_string(id) + " does not exist");

    for (const PropertyInfo *p : impl.indexed(entityId_))
        if (p->isUnique())
            checkUnique(impl, tx, entity, *p, row, id);
    if (exists)
        removeIndexEntries(impl, tx, entity, old, id);

    IdKey key(id);
    MDB_val k = key.val();
    MDB_val v{size, const_cast<void *>(data)};
    // A new row usually has the highest id: appending fills pages instead of splitting them. An
    // append out of order is refused before anything changes, and the plain put follows.
    int rc = exists ? MDB_KEYEXIST : mdb_put(tx.txn, objects, &k, &v, MDB_APPEND);
    const bool appended = rc == 0;
    if (rc == MDB_KEYEXIST)
        rc = mdb_put(tx.txn, objects, &k, &v, 0);
    if (rc != 0)
        failLmdb(rc, "Could not put " + entity.name + " " + std::to_string(id));
    StoreImpl::rowPut(tx, objects, id);
    if (observed)
        tx.touched(entityId_);
    // Above every row id of the entity, the id is above every id its indexes hold.
    for (const PropertyInfo *p : impl.indexed(entityId_))
        indexPut(impl, tx, *p, row, id, true, appended ? MDB_APPENDDUP : 0);
    if (entity.selfAssignableIds)
        impl.moveSequencePast(tx, entity, id);
    txn.success();
    return id;
}

bool RawBox::getRaw(obx_id id, const void **data, size_t *size)
{
    StoreImpl &impl = store_.impl();
    TxState &tx = impl.require(false);
    const EntityInfo &entity = impl.entity(entityId_);
    MDB_val value;
    if (id == 0 || !StoreImpl::readRow(tx, entity, impl.objects(entityId_), id, value))
        return false;
    *data = value.mv_data;
    *size = value.mv_size;
    return true;
}

std::vector<obx_id> RawBox::ids()
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    TxState &tx = impl.require(false);
    std::vector<obx_id> result;
    MDB_cursor *cursor = nullptr;
    int rc = mdb_cursor_open(tx.txn, impl.objects(entityId_), &cursor);
    if (rc != 0)
        failLmdb(rc, "Could not open a cursor");
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> guard(cursor, mdb_cursor_close);
    MDB_val k, v;
    for (rc = mdb_cursor_get(cursor, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cursor, &k, &v, MDB_NEXT))
        result.push_back(readBigEndian64(k.mv_data));
    if (rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects");
    txn.success();
    return result;
}

void RawBox::visitAll(void (*fn)(void *context, const void *data, size_t size), void *context)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    TxState &tx = impl.require(false);
    const EntityInfo &entity = impl.entity(entityId_);
    MDB_cursor *cursor = nullptr;
    const MDB_dbi objects = impl.objects(entityId_);
    int rc = mdb_cursor_open(tx.txn, objects, &cursor);
    if (rc != 0)
        failLmdb(rc, "Could not open a cursor");
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> guard(cursor, mdb_cursor_close);
    MDB_val k, v;
    for (rc = mdb_cursor_get(cursor, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cursor, &k, &v, MDB_NEXT)) {
        StoreImpl::checkRow(tx, entity, objects, readBigEndian64(k.mv_data), v);
        fn(context, v.mv_data, v.mv_size);
    }
    if (rc != MDB_NOTFOUND)
        failLmdb(rc, "Could not read the objects");
    txn.success();
}

bool RawBox::contains(obx_id id)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    MDB_val value;
    const bool found = id != 0 && readRow(impl.require(false), impl.objects(entityId_), id, value);
    txn.success();
    return found;
}

bool RawBox::remove(obx_id id)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::WRITE);
    TxState &tx = impl.require(true);
    const ForgetVerified forget(impl, tx);
    const EntityInfo &entity = impl.entity(entityId_);
    MDB_val old;
    if (id == 0 || !readRow(tx, impl.objects(entityId_), id, old)) {
        txn.success();
        return false;
    }
    removeIndexEntries(impl, tx, entity, old, id);
    IdKey key(id);
    MDB_val k = key.val();
    const int rc = mdb_del(tx.txn, impl.objects(entityId_), &k, nullptr);
    if (rc != 0)
        failLmdb(rc, "Could not remove " + entity.name + " " + std::to_string(id));
    tx.touched(entityId_);
    txn.success();
    return true;
}

uint64_t RawBox::removeAll()
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::WRITE);
    TxState &tx = impl.require(true);
    const ForgetVerified forget(impl, tx);
    const EntityInfo &entity = impl.entity(entityId_);
    MDB_stat stat;
    int rc = mdb_stat(tx.txn, impl.objects(entityId_), &stat);
    if (rc != 0)
        failLmdb(rc, "Could not count the objects");
    if ((rc = mdb_drop(tx.txn, impl.objects(entityId_), 0)) != 0)
        failLmdb(rc, "Could not remove the objects of " + entity.name);
    for (const PropertyInfo *p : impl.indexed(entityId_))
        if ((rc = mdb_drop(tx.txn, impl.index(p->indexId), 0)) != 0)
            failLmdb(rc, "Could not clear the index of " + p->name);
    if (stat.ms_entries > 0)
        tx.touched(entityId_);
    txn.success();
    return stat.ms_entries;
}

uint64_t RawBox::count(uint64_t limit)
{
    StoreImpl &impl = store_.impl();
    Transaction txn(store_, TxMode::READ);
    MDB_stat stat;
    const int rc = mdb_stat(impl.require(false).txn, impl.objects(entityId_), &stat);
    if (rc != 0)
        failLmdb(rc, "Could not count the objects");
    txn.success();
    return limit && stat.ms_entries > limit ? limit : stat.ms_entries;
}

} // namespace obx::internal
