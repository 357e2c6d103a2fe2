#include "schemasync.h"

#include "errors.h"
#include "indexupkeep.h"
#include "keys.h"
#include "rowview.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace obx {
namespace internal {

namespace {

struct StoredProperty
{
    obx_uid uid;
    uint32_t type;
    uint32_t flags;
};

struct StoredIndex
{
    obx_uid uid;
    obx_schema_id entity;
    obx_schema_id property;
};

struct StoredModel
{
    bool hasVersion = false;
    uint32_t version = 0;
    std::map<obx_schema_id, obx_uid> entities;
    std::map<obx_uid, obx_schema_id> entityByUid;
    std::map<std::pair<obx_schema_id, obx_schema_id>, StoredProperty> properties;
    std::map<obx_uid, std::pair<obx_schema_id, obx_schema_id>> propertyByUid;
    std::map<obx_schema_id, StoredIndex> indexes;
    std::map<obx_uid, obx_schema_id> indexByUid;
    std::set<obx_schema_id> collisions;
};

[[noreturn]] void schemaError(const std::string &message)
{
    raise(OBX_ERROR_SCHEMA, "The store's model does not match: " + message);
}

StoredModel load(MDB_txn *txn, MDB_dbi meta)
{
    StoredModel stored;
    MDB_cursor *cursor = nullptr;
    int rc = mdb_cursor_open(txn, meta, &cursor);
    if (rc)
        raiseLmdb(rc, "Could not read the store's model");
    MDB_val key;
    MDB_val value;
    for (rc = mdb_cursor_get(cursor, &key, &value, MDB_FIRST); rc == 0;
         rc = mdb_cursor_get(cursor, &key, &value, MDB_NEXT)) {
        const uint8_t *k = static_cast<const uint8_t *>(key.mv_data);
        const uint8_t *v = static_cast<const uint8_t *>(value.mv_data);
        bool sound = key.mv_size >= 1;
        switch (sound ? k[0] : 0) {
        case 'V':
            sound = key.mv_size == 1 && value.mv_size == 4;
            if (sound) {
                stored.hasVersion = true;
                stored.version = getLe32(v);
            }
            break;
        case 'E':
            sound = key.mv_size == 5 && value.mv_size == 8;
            if (sound) {
                stored.entities[getBe32(k + 1)] = getLe64(v);
                stored.entityByUid[getLe64(v)] = getBe32(k + 1);
            }
            break;
        case 'P':
            sound = key.mv_size == 9 && value.mv_size == 16;
            if (sound) {
                const auto id = std::make_pair(getBe32(k + 1), getBe32(k + 5));
                stored.properties[id] = StoredProperty{getLe64(v), getLe32(v + 8), getLe32(v + 12)};
                stored.propertyByUid[getLe64(v)] = id;
            }
            break;
        case 'I':
            sound = key.mv_size == 5 && value.mv_size == 16;
            if (sound) {
                stored.indexes[getBe32(k + 1)] = StoredIndex{getLe64(v), getLe32(v + 8), getLe32(v + 12)};
                stored.indexByUid[getLe64(v)] = getBe32(k + 1);
            }
            break;
        case 'C':
            sound = key.mv_size == 5;
            if (sound)
                stored.collisions.insert(getBe32(k + 1));
            break;
        default:
            sound = false;
        }
        if (!sound) {
            mdb_cursor_close(cursor);
            raise(OBX_ERROR_FILE_CORRUPT, "The store's model record is corrupt");
        }
    }
    mdb_cursor_close(cursor);
    if (rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read the store's model");
    return stored;
}

void check(const StoredModel &stored, const Schema &schema)
{
    if (stored.hasVersion && stored.version != kFormatVersion)
        raise(OBX_ERROR_SCHEMA, "The store has format " + std::to_string(stored.version) + ", this library reads " +
                                    std::to_string(kFormatVersion));
    for (const EntityDef &e : schema.entities) {
        auto byId = stored.entities.find(e.id);
        if (byId != stored.entities.end() && byId->second != e.uid)
            schemaError("entity " + e.name + " (id " + std::to_string(e.id) + ") has uid " + std::to_string(e.uid) +
                        ", the store has uid " + std::to_string(byId->second) + " for that id");
        auto byUid = stored.entityByUid.find(e.uid);
        if (byUid != stored.entityByUid.end() && byUid->second != e.id)
            schemaError("entity " + e.name + " has uid " + std::to_string(e.uid) + ", which the store holds for entity id " +
                        std::to_string(byUid->second));
        for (const PropertyDef &p : e.properties) {
            const std::string name = e.name + "." + p.name;
            auto prop = stored.properties.find(std::make_pair(e.id, p.id));
            if (prop != stored.properties.end()) {
                if (prop->second.uid != p.uid)
                    schemaError("property " + name + " (id " + std::to_string(p.id) + ") has uid " + std::to_string(p.uid) +
                                ", the store has uid " + std::to_string(prop->second.uid) + " for that id");
                if (prop->second.type != uint32_t(p.type))
                    schemaError("property " + name + " has type " + typeName(p.type) + ", the store has type " +
                                typeName(OBXPropertyType(prop->second.type)));
            }
            auto propUid = stored.propertyByUid.find(p.uid);
            if (propUid != stored.propertyByUid.end() && propUid->second != std::make_pair(e.id, p.id))
                schemaError("property " + name + " has uid " + std::to_string(p.uid) +
                            ", which the store holds for another property");
            if (!p.indexed)
                continue;
            auto index = stored.indexes.find(p.indexId);
            if (index != stored.indexes.end()) {
                if (index->second.uid != p.indexUid)
                    schemaError("the index of " + name + " (id " + std::to_string(p.indexId) + ") has uid " +
                                std::to_string(p.indexUid) + ", the store has uid " + std::to_string(index->second.uid) +
                                " for that id");
                if (index->second.entity != e.id || index->second.property != p.id)
                    schemaError("index id " + std::to_string(p.indexId) + " of " + name +
                                " belongs to another property in the store");
            }
            auto indexUid = stored.indexByUid.find(p.indexUid);
            if (indexUid != stored.indexByUid.end() && indexUid->second != p.indexId)
                schemaError("the index of " + name + " has uid " + std::to_string(p.indexUid) +
                            ", which the store holds for index id " + std::to_string(indexUid->second));
        }
    }
}

MDB_dbi openDb(MDB_txn *txn, const std::string &name, unsigned flags)
{
    MDB_dbi dbi = 0;
    const int rc = mdb_dbi_open(txn, name.c_str(), flags, &dbi);
    if (rc)
        raiseLmdb(rc, "Could not open database " + name);
    return dbi;
}

void put(MDB_txn *txn, MDB_dbi dbi, const void *key, size_t keySize, const void *value, size_t valueSize)
{
    MDB_val k{keySize, const_cast<void *>(key)};
    MDB_val v{valueSize, const_cast<void *>(value)};
    const int rc = mdb_put(txn, dbi, &k, &v, 0);
    if (rc)
        raiseLmdb(rc, "Could not record the store's model");
}

void del(MDB_txn *txn, MDB_dbi dbi, const void *key, size_t keySize)
{
    MDB_val k{keySize, const_cast<void *>(key)};
    const int rc = mdb_del(txn, dbi, &k, nullptr);
    if (rc && rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not record the store's model");
}

void recordCollision(MDB_txn *txn, MDB_dbi meta, obx_schema_id indexId)
{
    uint8_t key[5] = {'C'};
    putBe32(key + 1, indexId);
    put(txn, meta, key, sizeof key, "", 0);
}

// Builds a new index from the rows already stored.
void fill(MDB_txn *txn, MDB_dbi meta, const EntityDef &entity, const PropertyDef &property, CollisionFlags &collisions)
{
    std::vector<obx_schema_id> found;
    IndexUpkeep upkeep(txn, entity, collisions, found);
    MDB_cursor *cursor = nullptr;
    int rc = mdb_cursor_open(txn, entity.dbi, &cursor);
    if (rc)
        raiseLmdb(rc, "Could not read " + entity.name);
    std::unique_ptr<MDB_cursor, void (*)(MDB_cursor *)> closer(cursor, mdb_cursor_close);
    MDB_val key;
    MDB_val value;
    for (rc = mdb_cursor_get(cursor, &key, &value, MDB_FIRST); rc == 0;
         rc = mdb_cursor_get(cursor, &key, &value, MDB_NEXT)) {
        const obx_id id = getBe64(key.mv_data);
        RowView row;
        row.open(value.mv_data, value.mv_size, entity, id);
        uint64_t indexKey = 0;
        std::string_view view;
        if (!IndexUpkeep::keyOf(row, property, indexKey, view))
            continue;
        // The row may move once the index changes; keep its text.
        const std::string text(view);
        if (property.unique)
            upkeep.checkUnique(property, id, indexKey, text, OBX_ERROR_SCHEMA);
        upkeep.add(property, id, indexKey, text);
    }
    if (rc != MDB_NOTFOUND)
        raiseLmdb(rc, "Could not read " + entity.name);
    for (obx_schema_id indexId : found)
        recordCollision(txn, meta, indexId);
}

} // namespace

void SchemaSync::apply(MDB_txn *txn, MDB_dbi meta, Schema &schema, CollisionFlags &collisions)
{
    const StoredModel stored = load(txn, meta);
    check(stored, schema);

    collisions.reset(std::max(schema.maxIndexId(), stored.indexes.empty() ? 0u : stored.indexes.rbegin()->first));
    for (obx_schema_id indexId : stored.collisions)
        collisions.set(indexId);

    std::set<obx_schema_id> modelIndexes;
    for (EntityDef &e : schema.entities) {
        e.dbi = openDb(txn, objectDbName(e.id), MDB_CREATE);
        for (PropertyDef &p : e.properties)
            if (p.indexed) {
                p.indexDbi = openDb(txn, indexDbName(p.indexId), MDB_CREATE | MDB_DUPSORT | MDB_DUPFIXED);
                modelIndexes.insert(p.indexId);
            }
    }

    // Indexes the model dropped: stale entries would mislead a later model that adds them again.
    for (const auto &entry : stored.indexes) {
        if (modelIndexes.count(entry.first))
            continue;
        MDB_dbi dbi = 0;
        const int rc = mdb_dbi_open(txn, indexDbName(entry.first).c_str(), 0, &dbi);
        if (rc == 0) {
            const int dropped = mdb_drop(txn, dbi, 1);
            if (dropped)
                raiseLmdb(dropped, "Could not drop index " + std::to_string(entry.first));
        } else if (rc != MDB_NOTFOUND) {
            raiseLmdb(rc, "Could not open index " + std::to_string(entry.first));
        }
        uint8_t key[5] = {'I'};
        putBe32(key + 1, entry.first);
        del(txn, meta, key, sizeof key);
        key[0] = 'C';
        del(txn, meta, key, sizeof key);
    }

    for (EntityDef &e : schema.entities)
        for (PropertyDef &p : e.properties)
            if (p.indexed && !stored.indexes.count(p.indexId)) {
                const int rc = mdb_drop(txn, p.indexDbi, 0); // a leftover database of an earlier index
                if (rc)
                    raiseLmdb(rc, "Could not clear index " + std::to_string(p.indexId));
                fill(txn, meta, e, p, collisions);
            }

    uint8_t version[4];
    putLe32(version, kFormatVersion);
    put(txn, meta, "V", 1, version, 4);
    for (const EntityDef &e : schema.entities) {
        uint8_t key[9];
        uint8_t value[16];
        key[0] = 'E';
        putBe32(key + 1, e.id);
        putLe64(value, e.uid);
        put(txn, meta, key, 5, value, 8);
        for (const PropertyDef &p : e.properties) {
            key[0] = 'P';
            putBe32(key + 5, p.id);
            putLe64(value, p.uid);
            putLe32(value + 8, uint32_t(p.type));
            putLe32(value + 12, p.flags);
            put(txn, meta, key, 9, value, 16);
            if (p.indexed) {
                uint8_t indexKey[5] = {'I'};
                putBe32(indexKey + 1, p.indexId);
                putLe64(value, p.indexUid);
                putLe32(value + 8, e.id);
                putLe32(value + 12, p.id);
                put(txn, meta, indexKey, 5, value, 16);
            }
        }
    }
}

} // namespace internal
} // namespace obx
