#include "rowwriter.h"

#include "errors.h"
#include "indexupkeep.h"
#include "keys.h"
#include "rowview.h"

#include <string_view>
#include <vector>

namespace obx {
namespace internal {

namespace {

struct IndexChange
{
    const PropertyDef *property;
    bool hadOld;
    uint64_t oldKey;
    bool hasNew;
    uint64_t newKey;
    std::string_view newText;
};

// put() is not re-entrant, so one list per thread spares an allocation per row.
thread_local std::vector<IndexChange> changes;

std::string rowName(const EntityDef &entity, obx_id id)
{
    return entity.name + " #" + std::to_string(id);
}

} // namespace

obx_id RowWriter::put(obx_id id, const void *data, size_t size, OBXPutMode mode)
{
    if (id == 0)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Could not put " + entity_.name + ": the object has no id");
    if (mode != OBXPutMode_PUT && mode != OBXPutMode_INSERT && mode != OBXPutMode_UPDATE)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Unknown put mode " + std::to_string(int(mode)));
    if (!entity_.selfAssignableIds && id > store_.sequence(entity_))
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Could not put " + rowName(entity_, id) + ": the id is above the entity's id sequence (" +
                                              std::to_string(store_.sequence(entity_)) + ") and ids of " + entity_.name +
                                              " are not self-assignable");

    RowView row;
    row.open(data, size, entity_, id, OBX_ERROR_ILLEGAL_ARGUMENT);
    row.verify();
    if (row.intField(*entity_.idProperty) != id)
        raise(OBX_ERROR_ILLEGAL_ARGUMENT, "Could not put " + rowName(entity_, id) + ": the table's id field holds " +
                                              std::to_string(row.intField(*entity_.idProperty)));

    uint8_t keyBytes[8];
    putBe64(keyBytes, id);
    MDB_val key{8, keyBytes};
    MDB_val old;
    int rc = mdb_get(context_.txn, entity_.dbi, &key, &old);
    if (rc && rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read " + rowName(entity_, id));
    const bool exists = rc == 0;
    if (exists && mode == OBXPutMode_INSERT)
        raise(OBX_ERROR_ID_ALREADY_EXISTS, "Could not insert " + rowName(entity_, id) + ": the id exists");
    if (!exists && mode == OBXPutMode_UPDATE)
        raise(OBX_ERROR_ID_NOT_FOUND, "Could not update " + rowName(entity_, id) + ": no such object");

    // All keys first: the old row's bytes are valid only until the first write.
    changes.clear();
    RowView oldRow;
    if (exists)
        oldRow.open(old.mv_data, old.mv_size, entity_, id);
    for (const PropertyDef *property : entity_.indexes) {
        IndexChange change{property, false, 0, false, 0, std::string_view()};
        std::string_view oldText;
        if (exists)
            change.hadOld = IndexUpkeep::keyOf(oldRow, *property, change.oldKey, oldText);
        change.hasNew = IndexUpkeep::keyOf(row, *property, change.newKey, change.newText);
        const bool same = change.hadOld == change.hasNew && (!change.hadOld || change.oldKey == change.newKey);
        // Same hash but other text still needs a collision check, so only equal text is skipped.
        if (same && (property->type != OBXPropertyType_String || oldText == change.newText))
            continue;
        changes.push_back(change);
    }

    IndexUpkeep upkeep(context_.txn, entity_, store_.collisions(), context_.collisions);
    for (const IndexChange &change : changes)
        if (change.property->unique && change.hasNew)
            upkeep.checkUnique(*change.property, id, change.newKey, change.newText, OBX_ERROR_UNIQUE_VIOLATED);
    for (const IndexChange &change : changes) {
        if (change.hadOld)
            upkeep.drop(*change.property, id, change.oldKey);
        if (change.hasNew)
            upkeep.add(*change.property, id, change.newKey, change.newText);
    }

    MDB_val value{size, const_cast<void *>(data)};
    rc = mdb_put(context_.txn, entity_.dbi, &key, &value, 0);
    if (rc)
        raiseLmdb(rc, "Could not put " + rowName(entity_, id));
    if (entity_.selfAssignableIds)
        store_.raiseSequence(entity_, id);
    context_.notePut(entity_.id, id);
    return id;
}

bool RowWriter::remove(obx_id id)
{
    uint8_t keyBytes[8];
    putBe64(keyBytes, id);
    MDB_val key{8, keyBytes};
    MDB_val old;
    int rc = mdb_get(context_.txn, entity_.dbi, &key, &old);
    if (rc == MDB_NOTFOUND)
        return false;
    if (rc)
        raiseLmdb(rc, "Could not read " + rowName(entity_, id));
    RowView oldRow;
    oldRow.open(old.mv_data, old.mv_size, entity_, id);
    changes.clear();
    for (const PropertyDef *property : entity_.indexes) {
        IndexChange change{property, false, 0, false, 0, std::string_view()};
        std::string_view text;
        change.hadOld = IndexUpkeep::keyOf(oldRow, *property, change.oldKey, text);
        if (change.hadOld)
            changes.push_back(change);
    }
    IndexUpkeep upkeep(context_.txn, entity_, store_.collisions(), context_.collisions);
    for (const IndexChange &change : changes)
        upkeep.drop(*change.property, id, change.oldKey);
    rc = mdb_del(context_.txn, entity_.dbi, &key, nullptr);
    if (rc)
        raiseLmdb(rc, "Could not remove " + rowName(entity_, id));
    return true;
}

uint64_t RowWriter::removeAll()
{
    MDB_stat stat;
    int rc = mdb_stat(context_.txn, entity_.dbi, &stat);
    if (rc)
        raiseLmdb(rc, "Could not count " + entity_.name);
    rc = mdb_drop(context_.txn, entity_.dbi, 0);
    for (size_t i = 0; !rc && i < entity_.indexes.size(); ++i)
        rc = mdb_drop(context_.txn, entity_.indexes[i]->indexDbi, 0);
    if (rc)
        raiseLmdb(rc, "Could not remove all of " + entity_.name);
    return stat.ms_entries;
}

} // namespace internal
} // namespace obx
