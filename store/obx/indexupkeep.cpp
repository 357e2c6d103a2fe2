#include "indexupkeep.h"

#include "cursor.h"
#include "errors.h"
#include "keys.h"

namespace obx {
namespace internal {


bool IndexUpkeep::keyOf(const RowView &row, const PropertyDef &property, uint64_t &key, std::string_view &text)
{
    if (property.type == OBXPropertyType_String) {
        text = row.stringField(property);
        key = fnv1a64(text);
        return true;
    }
    key = row.intField(property);
    return !(property.skipZero && key == 0);
}

uint64_t IndexUpkeep::keyOfText(std::string_view text)
{
    return fnv1a64(text);
}

std::string_view IndexUpkeep::textOf(const PropertyDef &property, obx_id id, RowView &row)
{
    uint8_t keyBytes[8];
    putBe64(keyBytes, id);
    MDB_val key{8, keyBytes};
    MDB_val data;
    const int rc = mdb_get(txn_, entity_.dbi, &key, &data);
    if (rc == MDB_NOTFOUND)
        raise(OBX_ERROR_FILE_CORRUPT, "Index of " + entity_.name + "." + property.name +
                                          " refers to the missing object #" + std::to_string(id));
    if (rc)
        raiseLmdb(rc, "Could not read " + entity_.name + " #" + std::to_string(id));
    row.open(data.mv_data, data.mv_size, entity_, id);
    return row.stringField(property);
}

void IndexUpkeep::noteCollision(const PropertyDef &property)
{
    if (flags_.collided(property.indexId))
        return;
    flags_.set(property.indexId);
    newCollisions_.push_back(property.indexId);
}

void IndexUpkeep::checkUnique(const PropertyDef &property, obx_id self, uint64_t key, std::string_view text, int code)
{
    const bool isText = property.type == OBXPropertyType_String;
    if (isText && text.empty())
        return;
    uint8_t keyBytes[8];
    putBe64(keyBytes, key);
    MDB_val k{8, keyBytes};
    MDB_val d;
    int rc = mdb_get(txn_, property.indexDbi, &k, &d);
    if (rc == MDB_NOTFOUND)
        return;
    if (rc)
        raiseLmdb(rc, "Could not read the index of " + entity_.name + "." + property.name);
    Cursor cursor(txn_, property.indexDbi, "an index");
    rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY);
    for (; rc == 0; rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_NEXT_DUP)) {
        const obx_id other = getBe64(d.mv_data);
        if (other == self)
            continue;
        bool same = true;
        if (isText) {
            RowView row;
            same = textOf(property, other, row) == text;
            if (!same)
                noteCollision(property);
        }
        if (same) {
            std::string value = isText ? "\"" + std::string(text) + "\"" : std::to_string(int64_t(key));
            raise(code, "Unique constraint for " + entity_.name + "." + property.name +
                            " would be violated by the value " + value + " (held by #" + std::to_string(other) + ")");
        }
    }
    if (rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read the index of " + entity_.name + "." + property.name);
}

void IndexUpkeep::add(const PropertyDef &property, obx_id id, uint64_t key, std::string_view text)
{
    uint8_t keyBytes[8];
    uint8_t idBytes[8];
    putBe64(keyBytes, key);
    putBe64(idBytes, id);
    MDB_val k{8, keyBytes};
    MDB_val d{8, idBytes};
    if (property.type == OBXPropertyType_String && !flags_.collided(property.indexId)) {
        // Every text under one key was equal so far; comparing with one of them keeps it so.
        MDB_val first;
        int rc = mdb_get(txn_, property.indexDbi, &k, &first);
        if (rc == 0) {
            obx_id other = getBe64(first.mv_data);
            if (other == id) {
                Cursor cursor(txn_, property.indexDbi, "an index");
                MDB_val ck = k;
                rc = mdb_cursor_get(cursor.get(), &ck, &first, MDB_SET_KEY);
                if (rc == 0)
                    rc = mdb_cursor_get(cursor.get(), &ck, &first, MDB_NEXT_DUP);
                other = rc == 0 ? getBe64(first.mv_data) : 0;
            }
            if (other != 0) {
                RowView row;
                if (textOf(property, other, row) != text)
                    noteCollision(property);
            }
        } else if (rc != MDB_NOTFOUND) {
            raiseLmdb(rc, "Could not read the index of " + entity_.name + "." + property.name);
        }
    }
    const int rc = mdb_put(txn_, property.indexDbi, &k, &d, MDB_NODUPDATA);
    if (rc && rc != MDB_KEYEXIST)
        raiseLmdb(rc, "Could not update the index of " + entity_.name + "." + property.name);
}

void IndexUpkeep::drop(const PropertyDef &property, obx_id id, uint64_t key)
{
    uint8_t keyBytes[8];
    uint8_t idBytes[8];
    putBe64(keyBytes, key);
    putBe64(idBytes, id);
    MDB_val k{8, keyBytes};
    MDB_val d{8, idBytes};
    const int rc = mdb_del(txn_, property.indexDbi, &k, &d);
    if (rc && rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not update the index of " + entity_.name + "." + property.name);
}

} // namespace internal
} // namespace obx
