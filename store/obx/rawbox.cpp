#include "alignedrow.h"
#include "errors.h"
#include "keys.h"
#include "rowview.h"
#include "rowwriter.h"
#include "storeimpl.h"
#include "txcontext.h"

namespace obx {
namespace internal {

namespace {

thread_local std::vector<uint64_t> getRawBuffer;

MDB_cursor *openCursor(MDB_txn *txn, MDB_dbi dbi, const EntityDef &entity)
{
    MDB_cursor *cursor = nullptr;
    const int rc = mdb_cursor_open(txn, dbi, &cursor);
    if (rc)
        raiseLmdb(rc, "Could not read " + entity.name);
    return cursor;
}

} // namespace

RawBox::RawBox(Store &store, obx_schema_id entityId) : store_(store), entityId_(entityId)
{
    store.impl().checkOpen();
    store.impl().entity(entityId);
}

obx_id RawBox::idForPut(obx_id id)
{
    StoreImpl &impl = store_.impl();
    impl.checkOpen();
    const EntityDef &entity = impl.entity(entityId_);
    if (id == 0)
        return impl.nextId(entity);
    if (!entity.selfAssignableIds && id > impl.sequence(entity))
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Could not put " + entity.name + " #" + std::to_string(id) +
                                              ": the id is above the entity's id sequence (" +
                                              std::to_string(impl.sequence(entity)) + ") and ids of " + entity.name +
                                              " are not self-assignable");
    return id;
}

obx_id RawBox::put(obx_id id, const void *data, size_t size, OBXPutMode mode)
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txWrite();
    const EntityDef &entity = impl.entity(entityId_);
    const obx_id stored = RowWriter(impl, activeTx(impl), entity).put(id, data, size, mode);
    tx.success();
    return stored;
}

bool RawBox::getRaw(obx_id id, const void **data, size_t *size)
{
    StoreImpl &impl = store_.impl();
    TxContext &context = activeTx(impl);
    const EntityDef &entity = impl.entity(entityId_);
    uint8_t keyBytes[8];
    putBe64(keyBytes, id);
    MDB_val key{8, keyBytes};
    MDB_val value;
    const int rc = mdb_get(context.txn, entity.dbi, &key, &value);
    if (rc == MDB_NOTFOUND)
        return false;
    if (rc)
        raiseLmdb(rc, "Could not read " + entity.name + " #" + std::to_string(id));
    RowView row;
    row.open(value.mv_data, value.mv_size, entity, id);
    row.verify();
    *data = alignedRow(value.mv_data, value.mv_size, getRawBuffer);
    *size = value.mv_size;
    return true;
}

std::vector<obx_id> RawBox::ids()
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    const EntityDef &entity = impl.entity(entityId_);
    MDB_txn *txn = activeTx(impl).txn;
    MDB_stat stat;
    std::vector<obx_id> result;
    if (mdb_stat(txn, entity.dbi, &stat) == 0)
        result.reserve(stat.ms_entries);
    MDB_cursor *cursor = openCursor(txn, entity.dbi, entity);
    MDB_val key;
    MDB_val value;
    int rc;
    for (rc = mdb_cursor_get(cursor, &key, &value, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cursor, &key, &value, MDB_NEXT))
        result.push_back(getBe64(key.mv_data));
    mdb_cursor_close(cursor);
    if (rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read " + entity.name);
    return result;
}

bool RawBox::contains(obx_id id)
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    const EntityDef &entity = impl.entity(entityId_);
    uint8_t keyBytes[8];
    putBe64(keyBytes, id);
    MDB_val key{8, keyBytes};
    MDB_val value;
    const int rc = mdb_get(activeTx(impl).txn, entity.dbi, &key, &value);
    if (rc && rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read " + entity.name + " #" + std::to_string(id));
    return rc == 0;
}

bool RawBox::remove(obx_id id)
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txWrite();
    const bool removed = RowWriter(impl, activeTx(impl), impl.entity(entityId_)).remove(id);
    tx.success();
    return removed;
}

uint64_t RawBox::removeAll()
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txWrite();
    const uint64_t removed = RowWriter(impl, activeTx(impl), impl.entity(entityId_)).removeAll();
    tx.success();
    return removed;
}

uint64_t RawBox::count(uint64_t limit)
{
    StoreImpl &impl = store_.impl();
    Transaction tx = store_.txRead();
    const EntityDef &entity = impl.entity(entityId_);
    MDB_stat stat;
    const int rc = mdb_stat(activeTx(impl).txn, entity.dbi, &stat);
    if (rc)
        raiseLmdb(rc, "Could not count " + entity.name);
    return limit && stat.ms_entries > limit ? limit : stat.ms_entries;
}

} // namespace internal
} // namespace obx
