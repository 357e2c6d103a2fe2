#include "store/obxtestmodel.h"

#include <lmdb.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace obxtest {

namespace {

constexpr flatbuffers::voffset_t field(int propertyId)
{
    return flatbuffers::voffset_t(2 + 2 * propertyId);
}

const flatbuffers::Table *table(const void *data)
{
    return flatbuffers::GetRoot<flatbuffers::Table>(data);
}

void readText(const flatbuffers::Table *t, int propertyId, std::string &out)
{
    if (const auto *s = t->GetPointer<const flatbuffers::String *>(field(propertyId)))
        out.assign(s->c_str(), s->size());
}

void finish(flatbuffers::FlatBufferBuilder &fbb, flatbuffers::uoffset_t start)
{
    fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
}

} // namespace

std::vector<EntitySpec> testEntities()
{
    const uint32_t relation = OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO;
    return {
        {"Item", kItem, 1001,
         {
             {"id", OBXPropertyType_Long, 1, 1101, OBXPropertyFlags_ID},
             {"name", OBXPropertyType_String, 2, 1102, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 1, 9001},
             {"tag", OBXPropertyType_String, 3, 1103, OBXPropertyFlags_INDEX_HASH, 2, 9002},
             {"kind", OBXPropertyType_Int, 4, 1104, OBXPropertyFlags_INDEXED, 3, 9003},
             {"flag", OBXPropertyType_Bool, 5, 1105},
             {"small", OBXPropertyType_Short, 6, 1106},
             {"amount", OBXPropertyType_Long, 7, 1107, OBXPropertyFlags_UNSIGNED | OBXPropertyFlags_INDEXED, 5, 9005},
             {"ratio", OBXPropertyType_Float, 8, 1108},
             {"weight", OBXPropertyType_Double, 9, 1109},
             {"labels", OBXPropertyType_StringVector, 10, 1110},
             {"owner", OBXPropertyType_Relation, 11, 1111, relation, 4, 9004, "Owner"},
             {"place", OBXPropertyType_Relation, 12, 1112, relation, 6, 9006, "Place"},
             {"delta", OBXPropertyType_Long, 13, 1113},
             {"note", OBXPropertyType_String, 14, 1114},
         }},
        {"Owner", kOwner, 1002,
         {
             {"id", OBXPropertyType_Long, 1, 1201, OBXPropertyFlags_ID},
             {"name", OBXPropertyType_String, 2, 1202},
             {"level", OBXPropertyType_Int, 3, 1203},
             {"place", OBXPropertyType_Relation, 4, 1204, relation, 7, 9007, "Place"},
         }},
        {"Place", kPlace, 1003,
         {
             {"id", OBXPropertyType_Long, 1, 1301, OBXPropertyFlags_ID | OBXPropertyFlags_ID_SELF_ASSIGNABLE},
             {"title", OBXPropertyType_String, 2, 1302},
         }},
    };
}

OBX_model *buildModel(const std::vector<EntitySpec> &entities)
{
    OBX_model *model = obx_model();
    obx_schema_id lastIndex = 0;
    obx_uid lastIndexUid = 0;
    for (const EntitySpec &e : entities) {
        obx_model_entity(model, e.name.c_str(), e.id, e.uid);
        for (const PropertySpec &p : e.properties) {
            obx_model_property(model, p.name.c_str(), p.type, p.id, p.uid);
            obx_model_property_flags(model, p.flags);
            if (p.type == OBXPropertyType_Relation)
                obx_model_property_relation(model, p.target.c_str(), p.indexId, p.indexUid);
            else if (p.indexId)
                obx_model_property_index_id(model, p.indexId, p.indexUid);
            if (p.indexId > lastIndex) {
                lastIndex = p.indexId;
                lastIndexUid = p.indexUid;
            }
        }
        obx_model_entity_last_property_id(model, e.properties.back().id, e.properties.back().uid);
    }
    obx_model_last_entity_id(model, entities.back().id, entities.back().uid);
    obx_model_last_index_id(model, lastIndex, lastIndexUid);
    return model;
}

OBX_store_options *options(const std::string &directory, OBX_model *model)
{
    OBX_store_options *opt = obx_opt();
    if (obx_opt_model(opt, model ? model : buildModel(testEntities())) != OBX_SUCCESS
        || obx_opt_directory(opt, directory.c_str()) != OBX_SUCCESS) {
        obx_opt_free(opt);
        obx::throwLastError("Could not prepare the test store");
    }
    return opt;
}

std::unique_ptr<obx::Store> openStore(const std::string &directory, OBX_model *model)
{
    return std::make_unique<obx::Store>(options(directory, model));
}

namespace {

// Opens the environment, runs fn(txn, dbi) and commits; raises on any LMDB failure.
template <class Fn> void withDatabase(const std::string &directory, const std::string &db, bool write, Fn &&fn)
{
    MDB_env *env = nullptr;
    MDB_txn *txn = nullptr;
    MDB_dbi dbi = 0;
    const auto check = [&](int rc, const char *what) {
        if (rc != 0) {
            if (txn)
                mdb_txn_abort(txn);
            mdb_env_close(env);
            throw std::runtime_error(std::string(what) + ": " + mdb_strerror(rc));
        }
    };
    check(mdb_env_create(&env), "mdb_env_create");
    check(mdb_env_set_maxdbs(env, 64), "mdb_env_set_maxdbs");
    check(mdb_env_set_mapsize(env, size_t(1) << 30), "mdb_env_set_mapsize");
    check(mdb_env_open(env, directory.c_str(), MDB_NOTLS | (write ? 0 : MDB_RDONLY), 0644), "mdb_env_open");
    check(mdb_txn_begin(env, nullptr, write ? 0 : MDB_RDONLY, &txn), "mdb_txn_begin");
    check(mdb_dbi_open(txn, db.c_str(), 0, &dbi), "mdb_dbi_open");
    fn(txn, dbi);
    const int rc = mdb_txn_commit(txn);
    txn = nullptr;
    check(rc, "mdb_txn_commit");
    mdb_env_close(env);
}

} // namespace

std::vector<std::pair<std::string, std::string>> rawEntries(const std::string &directory, const std::string &db)
{
    std::vector<std::pair<std::string, std::string>> out;
    withDatabase(directory, db, false, [&](MDB_txn *txn, MDB_dbi dbi) {
        MDB_cursor *cursor = nullptr;
        if (mdb_cursor_open(txn, dbi, &cursor) != 0)
            throw std::runtime_error("mdb_cursor_open");
        MDB_val k, v;
        for (int rc = mdb_cursor_get(cursor, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cursor, &k, &v, MDB_NEXT))
            out.emplace_back(std::string(static_cast<const char *>(k.mv_data), k.mv_size),
                             std::string(static_cast<const char *>(v.mv_data), v.mv_size));
        mdb_cursor_close(cursor);
    });
    return out;
}

void rawPut(const std::string &directory, const std::string &db, const std::string &key, const std::string &value)
{
    withDatabase(directory, db, true, [&](MDB_txn *txn, MDB_dbi dbi) {
        MDB_val k{key.size(), const_cast<char *>(key.data())};
        MDB_val v{value.size(), const_cast<char *>(value.data())};
        if (const int rc = mdb_put(txn, dbi, &k, &v, 0))
            throw std::runtime_error(std::string("mdb_put: ") + mdb_strerror(rc));
    });
}

std::string bigEndian(uint64_t value)
{
    std::string out(8, '\0');
    for (int i = 7; i >= 0; --i, value >>= 8)
        out[size_t(i)] = char(value & 0xff);
    return out;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "obxtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("Could not create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void Item::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Item &o)
{
    fbb.Clear();
    fbb.ForceDefaults(true);
    const auto name = fbb.CreateString(o.name);
    const auto tag = fbb.CreateString(o.tag);
    const auto labels = fbb.CreateVectorOfStrings(o.labels);
    const auto note = fbb.CreateString(o.note);
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(field(1), o.id, 0);
    fbb.AddOffset(field(2), name);
    fbb.AddOffset(field(3), tag);
    fbb.AddElement<int32_t>(field(4), o.kind, 0);
    fbb.AddElement<uint8_t>(field(5), o.flag, 0);
    fbb.AddElement<int16_t>(field(6), o.small, 0);
    fbb.AddElement<uint64_t>(field(7), o.amount, 0);
    fbb.AddElement<float>(field(8), o.ratio, 0);
    fbb.AddElement<double>(field(9), o.weight, 0);
    fbb.AddOffset(field(10), labels);
    fbb.AddElement<uint64_t>(field(11), o.owner, 0);
    fbb.AddElement<uint64_t>(field(12), o.place, 0);
    fbb.AddElement<int64_t>(field(13), o.delta, 0);
    fbb.AddOffset(field(14), note);
    finish(fbb, start);
}

void Item::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Item &o)
{
    const auto *t = table(data);
    o.id = t->GetField<uint64_t>(field(1), 0);
    readText(t, 2, o.name);
    readText(t, 3, o.tag);
    o.kind = t->GetField<int32_t>(field(4), 0);
    o.flag = t->GetField<uint8_t>(field(5), 0) != 0;
    o.small = t->GetField<int16_t>(field(6), 0);
    o.amount = t->GetField<uint64_t>(field(7), 0);
    o.ratio = t->GetField<float>(field(8), 0);
    o.weight = t->GetField<double>(field(9), 0);
    using Texts = flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>>;
    if (const auto *v = t->GetPointer<const Texts *>(field(10)))
        for (const auto *s : *v)
            o.labels.emplace_back(s->c_str(), s->size());
    o.owner = t->GetField<uint64_t>(field(11), 0);
    o.place = t->GetField<uint64_t>(field(12), 0);
    o.delta = t->GetField<int64_t>(field(13), 0);
    readText(t, 14, o.note);
}

std::unique_ptr<Item> Item::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto o = std::make_unique<Item>();
    fromFlatBuffer(data, size, *o);
    return o;
}

void Owner::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Owner &o)
{
    fbb.Clear();
    fbb.ForceDefaults(true);
    const auto name = fbb.CreateString(o.name);
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(field(1), o.id, 0);
    fbb.AddOffset(field(2), name);
    fbb.AddElement<int32_t>(field(3), o.level, 0);
    fbb.AddElement<uint64_t>(field(4), o.place, 0);
    finish(fbb, start);
}

void Owner::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Owner &o)
{
    const auto *t = table(data);
    o.id = t->GetField<uint64_t>(field(1), 0);
    readText(t, 2, o.name);
    o.level = t->GetField<int32_t>(field(3), 0);
    o.place = t->GetField<uint64_t>(field(4), 0);
}

std::unique_ptr<Owner> Owner::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto o = std::make_unique<Owner>();
    fromFlatBuffer(data, size, *o);
    return o;
}

void Place::_OBX_MetaInfo::toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Place &o)
{
    fbb.Clear();
    fbb.ForceDefaults(true);
    const auto title = fbb.CreateString(o.title);
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(field(1), o.id, 0);
    fbb.AddOffset(field(2), title);
    finish(fbb, start);
}

void Place::_OBX_MetaInfo::fromFlatBuffer(const void *data, size_t, Place &o)
{
    const auto *t = table(data);
    o.id = t->GetField<uint64_t>(field(1), 0);
    readText(t, 2, o.title);
}

std::unique_ptr<Place> Place::_OBX_MetaInfo::newFromFlatBuffer(const void *data, size_t size)
{
    auto o = std::make_unique<Place>();
    fromFlatBuffer(data, size, *o);
    return o;
}

} // namespace obxtest
