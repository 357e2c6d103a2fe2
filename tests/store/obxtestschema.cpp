// The object store's model: the model calls, the stored model's identity, and changes to it.

#include "store/obxtestmodel.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace obxtest;

namespace {

PropertySpec *findProperty(std::vector<EntitySpec> &entities, obx_schema_id entity, const std::string &name)
{
    for (EntitySpec &e : entities)
        if (e.id == entity)
            for (PropertySpec &p : e.properties)
                if (p.name == name)
                    return &p;
    return nullptr;
}

// Opening with the altered model must fail with the schema error, naming what differs.
void expectRefused(const std::string &directory, const std::vector<EntitySpec> &entities, const std::string &mention)
{
    try {
        openStore(directory, buildModel(entities));
        FAIL() << "the store opened with a model of other uids";
    } catch (const obx::DbException &e) {
        EXPECT_EQ(e.code(), OBX_ERROR_SCHEMA);
        EXPECT_NE(std::string(e.what()).find(mention), std::string::npos) << e.what();
    }
}

obx_err optModel(OBX_model *model)
{
    OBX_store_options *opt = obx_opt();
    const obx_err err = obx_opt_model(opt, model);
    obx_opt_free(opt);
    return err;
}

} // namespace

TEST(ObxModel, FirstErrorIsKeptAndReportedByTheOptions)
{
    OBX_model *model = obx_model();
    EXPECT_EQ(obx_model_property(model, "orphan", OBXPropertyType_Int, 1, 1), OBX_ERROR_ILLEGAL_STATE);
    // Later calls, valid or not, neither clear nor replace the first error.
    EXPECT_EQ(obx_model_entity(model, "E", 1, 1), OBX_ERROR_ILLEGAL_STATE);
    EXPECT_EQ(obx_model_error_code(model), OBX_ERROR_ILLEGAL_STATE);
    EXPECT_NE(std::string(obx_model_error_message(model)).find("before any entity"), std::string::npos);
    EXPECT_EQ(optModel(model), OBX_ERROR_ILLEGAL_STATE);
    EXPECT_EQ(obx_last_error_code(), OBX_ERROR_ILLEGAL_STATE);
}

TEST(ObxModel, InconsistentModelsAreRefused)
{
    struct Case
    {
        const char *what;
        void (*alter)(std::vector<EntitySpec> &);
        obx_err code;
    };
    const Case cases[] = {
        {"unique without index",
         [](std::vector<EntitySpec> &e) { findProperty(e, kItem, "name")->indexId = 0; }, OBX_ERROR_SCHEMA},
        {"relation to an unknown entity",
         [](std::vector<EntitySpec> &e) { findProperty(e, kItem, "owner")->target = "Nobody"; }, OBX_ERROR_SCHEMA},
        {"index id used twice",
         [](std::vector<EntitySpec> &e) { findProperty(e, kItem, "tag")->indexId = 1; }, OBX_ERROR_SCHEMA},
        {"id that is not Long",
         [](std::vector<EntitySpec> &e) { findProperty(e, kPlace, "id")->type = OBXPropertyType_Int; }, OBX_ERROR_SCHEMA},
        {"indexed float",
         [](std::vector<EntitySpec> &e) {
             PropertySpec *p = findProperty(e, kItem, "ratio");
             p->indexId = 20;
             p->indexUid = 9020;
         },
         OBX_ERROR_ILLEGAL_ARGUMENT},
        {"property id twice",
         [](std::vector<EntitySpec> &e) { findProperty(e, kItem, "note")->id = 3; }, OBX_ERROR_ILLEGAL_ARGUMENT},
        {"entity without uid", [](std::vector<EntitySpec> &e) { e[1].uid = 0; }, OBX_ERROR_ILLEGAL_ARGUMENT},
    };
    for (const Case &c : cases) {
        std::vector<EntitySpec> entities = testEntities();
        c.alter(entities);
        EXPECT_EQ(optModel(buildModel(entities)), c.code) << c.what;
    }
    EXPECT_EQ(optModel(buildModel(testEntities())), OBX_SUCCESS);
}

TEST(ObxModel, StoredModelWithOtherUidsIsRefused)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        Item item;
        item.name = "kept";
        store->box<Item>().put(item);
    }

    std::vector<EntitySpec> entities = testEntities();
    entities[1].uid = 7777;
    expectRefused(dir.path(), entities, "Owner");

    entities = testEntities();
    findProperty(entities, kItem, "kind")->uid = 7778;
    expectRefused(dir.path(), entities, "Item.kind");

    entities = testEntities();
    findProperty(entities, kItem, "kind")->type = OBXPropertyType_Long;
    expectRefused(dir.path(), entities, "Item.kind");

    entities = testEntities();
    findProperty(entities, kItem, "tag")->indexUid = 7779;
    expectRefused(dir.path(), entities, "index 2");

    // A property that moved to another id under its old uid.
    entities = testEntities();
    findProperty(entities, kItem, "note")->id = 15;
    expectRefused(dir.path(), entities, "Item.note");

    // The refusals left the stored model alone: the original opens with its row.
    auto store = openStore(dir.path());
    auto items = store->box<Item>().getAll();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->name, "kept");
}

TEST(ObxModel, EntitiesAndPropertiesMayBeAdded)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        Item a;
        a.name = "old";
        a.kind = 4;
        store->box<Item>().put(a);
    }
    std::vector<EntitySpec> entities = testEntities();
    entities.push_back({"Extra", 4, 1004, {{"id", OBXPropertyType_Long, 1, 1401, OBXPropertyFlags_ID}}});
    entities[0].properties.push_back({"rank", OBXPropertyType_Int, 15, 1115, OBXPropertyFlags_INDEXED, 8, 9008});
    auto store = openStore(dir.path(), buildModel(entities));
    auto old = store->box<Item>().get(1);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->name, "old");
    EXPECT_EQ(old->kind, 4);
    // The new indexed property reads as 0 on the old row, and its index says the same.
    const obx::Property<Item, OBXPropertyType_Int> rank{kItem, 15};
    EXPECT_EQ(store->box<Item>().query(rank.equals(0)).build().findIds(), std::vector<obx_id>{1});
    EXPECT_EQ(store->box<Item>().query(rank.equals(0)).build().count(), 1u);
}

TEST(ObxModel, IndexAddedToAPropertyCoversTheRowsAlreadyStored)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        for (const char *note : {"x", "y", "x"}) {
            Item item;
            item.note = note;
            store->box<Item>().put(item);
        }
    }
    std::vector<EntitySpec> entities = testEntities();
    PropertySpec *note = findProperty(entities, kItem, "note");
    note->flags = OBXPropertyFlags_INDEX_HASH;
    note->indexId = 8;
    note->indexUid = 9008;
    {
        auto store = openStore(dir.path(), buildModel(entities));
        EXPECT_EQ(store->box<Item>().query(Item_::note.equals("x")).build().findIds(), (std::vector<obx_id>{1, 3}));
        Item more;
        more.note = "x";
        store->box<Item>().put(more);
        EXPECT_EQ(store->box<Item>().query(Item_::note.equals("x")).build().count(), 3u);
    }
    // Dropped and taken up again, the index must not keep entries of rows changed meanwhile.
    {
        auto store = openStore(dir.path());
        auto first = store->box<Item>().get(1);
        first->note = "z";
        store->box<Item>().put(*first);
    }
    auto store = openStore(dir.path(), buildModel(entities));
    EXPECT_EQ(store->box<Item>().query(Item_::note.equals("x")).build().findIds(), (std::vector<obx_id>{3, 4}));
    EXPECT_EQ(store->box<Item>().query(Item_::note.equals("z")).build().findIds(), std::vector<obx_id>{1});
}

// A row written before later properties existed carries a shorter table; its missing fields
// read as defaults everywhere (conditions, order, indexes).
TEST(ObxModel, ShortTablesReadAsDefaults)
{
    TempDir dir;
    auto store = openStore(dir.path());
    obx::internal::RawBox raw(*store, kItem);
    flatbuffers::FlatBufferBuilder fbb;
    const auto name = fbb.CreateString("short");
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(4, 1, 0);
    fbb.AddOffset(6, name);
    fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
    {
        obx::Transaction tx = store->txWrite();
        ASSERT_EQ(raw.idForPut(0), 1u);
        raw.put(1, fbb.GetBufferPointer(), fbb.GetSize(), OBXPutMode_PUT);
        tx.success();
    }
    auto item = store->box<Item>().get(1);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->name, "short");
    EXPECT_EQ(store->box<Item>().query(Item_::kind.equals(0) && Item_::note.equals("")).build().count(), 1u);
    EXPECT_EQ(store->box<Item>().query(Item_::labels.contains("")).build().count(), 0u);
    EXPECT_EQ(store->box<Item>().query(Item_::tag.equals("")).build().findIds(), std::vector<obx_id>{1});
}

TEST(ObxModel, RemovingTheFilesLeavesAnEmptyStore)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        Item item;
        store->box<Item>().put(item);
    }
    EXPECT_EQ(obx_remove_db_files(dir.path().c_str()), OBX_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(dir.sub("data.mdb")));
    EXPECT_EQ(obx_remove_db_files(dir.path().c_str()), OBX_SUCCESS); // nothing left is no error
    EXPECT_EQ(obx_remove_db_files(""), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(obx_last_error_code(), OBX_ERROR_ILLEGAL_ARGUMENT);
    auto store = openStore(dir.path());
    EXPECT_EQ(store->box<Item>().count(), 0u);
    // The id sequence went with the files.
    Item item;
    EXPECT_EQ(store->box<Item>().put(item), 1u);
}

TEST(ObxModel, OpeningCreatesMissingDirectories)
{
    TempDir dir;
    auto store = openStore(dir.sub("a/b/c"));
    EXPECT_EQ(store->directory(), dir.sub("a/b/c"));
    EXPECT_TRUE(std::filesystem::exists(dir.sub("a/b/c/data.mdb")));
}
