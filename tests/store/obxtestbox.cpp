// The object store's boxes: put, get, remove and count, id sequences, unique values, and the
// secondary indexes kept in step with the rows.

#include "store/obxtestmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>

using namespace obxtest;

namespace {

class ObxBox : public ::testing::Test
{
protected:
    void SetUp() override { store = openStore(dir.path()); }
    void reopen()
    {
        store.reset();
        store = openStore(dir.path());
    }
    obx::Box<Item> items() { return store->box<Item>(); }
    obx::Box<Place> places() { return store->box<Place>(); }

    Item named(const std::string &name)
    {
        Item item;
        item.name = name;
        return item;
    }

    void expectCode(int code, const std::function<void()> &fn)
    {
        try {
            fn();
            ADD_FAILURE() << "no DbException, expected code " << code;
        } catch (const obx::DbException &e) {
            EXPECT_EQ(e.code(), code) << e.what();
        }
    }

    TempDir dir;
    std::unique_ptr<obx::Store> store;
};

} // namespace

TEST_F(ObxBox, EveryTypeComesBackAsPut)
{
    Item in;
    in.name = "نام";
    in.tag = "t";
    in.kind = INT32_MIN;
    in.flag = true;
    in.small = -32768;
    in.amount = UINT64_MAX;
    in.ratio = -1.5f;
    in.weight = 1e300;
    in.labels = {"", "ونک", "a\x1f" "b"};
    in.owner = 0;
    in.place = 42;
    in.delta = INT64_MIN;
    in.note = std::string(70000, 'n'); // larger than a page
    const obx_id id = items().put(in);
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(in.id, 1u);
    reopen();
    auto out = items().get(id);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->name, in.name);
    EXPECT_EQ(out->kind, INT32_MIN);
    EXPECT_TRUE(out->flag);
    EXPECT_EQ(out->small, -32768);
    EXPECT_EQ(out->amount, UINT64_MAX);
    EXPECT_EQ(out->ratio, -1.5f);
    EXPECT_EQ(out->weight, 1e300);
    EXPECT_EQ(out->labels, in.labels);
    EXPECT_EQ(out->place, 42u);
    EXPECT_EQ(out->delta, INT64_MIN);
    EXPECT_EQ(out->note, in.note);
    Item second;
    EXPECT_TRUE(items().get(id, second));
    EXPECT_EQ(second.labels, in.labels);
    EXPECT_FALSE(items().get(99, second));
    EXPECT_FALSE(items().get(0));
}

TEST_F(ObxBox, PutReplacesGetAllIsInIdOrderRemoveAndCount)
{
    Item a = named("a"), b = named("b"), c = named("c");
    items().put(a);
    items().put(b);
    items().put(c);
    EXPECT_EQ(items().count(), 3u);
    EXPECT_EQ(items().count(2), 2u);
    b.kind = 5;
    EXPECT_EQ(items().put(b), 2u);
    EXPECT_EQ(items().count(), 3u);
    EXPECT_EQ(items().get(2)->kind, 5);

    EXPECT_TRUE(items().remove(1));
    EXPECT_FALSE(items().remove(1));
    EXPECT_FALSE(items().remove(0));
    EXPECT_FALSE(items().contains(1));
    EXPECT_TRUE(items().contains(3));
    auto all = items().getAll();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->name, "b");
    EXPECT_EQ(all[1]->name, "c");

    EXPECT_EQ(items().removeAll(), 2u);
    EXPECT_TRUE(items().isEmpty());
    EXPECT_TRUE(items().getAll().empty());
    EXPECT_EQ(items().removeAll(), 0u);
}

TEST_F(ObxBox, IdsAreNeverHandedOutTwice)
{
    for (int i = 0; i < 3; ++i) {
        Item item;
        items().put(item);
    }
    items().remove(3);
    Item fourth;
    EXPECT_EQ(items().put(fourth), 4u);
    items().removeAll();
    Item fifth;
    EXPECT_EQ(items().put(fifth), 5u);
    reopen();
    Item sixth;
    EXPECT_EQ(items().put(sixth), 6u);
    // An aborted transaction hands its ids out again: they were never seen by anyone.
    {
        obx::Transaction tx = store->txWrite();
        Item lost;
        EXPECT_EQ(items().put(lost), 7u);
    }
    Item seventh;
    EXPECT_EQ(items().put(seventh), 7u);
    // An id the sequence never reached is refused for an entity that assigns its own ids.
    Item invented;
    invented.id = 100;
    expectCode(OBX_ERROR_ID_NOT_FOUND, [&] { items().put(invented); });
    EXPECT_EQ(items().count(), 3u);
}

TEST_F(ObxBox, SelfAssignedIdsAreKeptAndTheSequenceMovesPast)
{
    for (obx_id id : {50, 3, 20}) {
        Place p;
        p.id = id;
        p.title = "p" + std::to_string(id);
        EXPECT_EQ(places().put(p), id);
    }
    auto all = places().getAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0]->id, 3u);
    EXPECT_EQ(all[1]->id, 20u);
    EXPECT_EQ(all[2]->id, 50u);
    Place fresh;
    EXPECT_EQ(places().put(fresh), 51u);
    reopen();
    Place p;
    p.id = 10; // below the sequence: kept too
    EXPECT_EQ(places().put(p), 10u);
    Place later;
    EXPECT_EQ(places().put(later), 52u);
}

TEST_F(ObxBox, InsertAndUpdateModesCheckExistence)
{
    Place p;
    p.id = 9;
    expectCode(OBX_ERROR_ID_NOT_FOUND, [&] { places().put(p, OBXPutMode_UPDATE); });
    EXPECT_EQ(places().count(), 0u);
    EXPECT_EQ(places().put(p, OBXPutMode_INSERT), 9u);
    expectCode(OBX_ERROR_ID_ALREADY_EXISTS, [&] { places().put(p, OBXPutMode_INSERT); });
    p.title = "updated";
    EXPECT_EQ(places().put(p, OBXPutMode_UPDATE), 9u);
    EXPECT_EQ(places().get(9)->title, "updated");
}

TEST_F(ObxBox, UniqueValuesRefuseASecondRow)
{
    Item a = named("same");
    items().put(a);
    Item b = named("same");
    b.kind = 1;
    try {
        items().put(b);
        FAIL() << "a second row with the same unique value was stored";
    } catch (const obx::DbException &e) {
        EXPECT_EQ(e.code(), OBX_ERROR_UNIQUE_VIOLATED);
        EXPECT_NE(std::string(e.what()).find("'same'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(b.id, 0u);
    EXPECT_EQ(items().count(), 1u);

    // Replacing the row itself with its own value is no conflict.
    a.kind = 3;
    EXPECT_NO_THROW(items().put(a));
    // The empty text is no value: any number of rows may have it.
    for (int i = 0; i < 3; ++i) {
        Item empty;
        EXPECT_NO_THROW(items().put(empty));
    }
    // A value given up by a rename or a removal is free again.
    a.name = "renamed";
    items().put(a);
    Item c = named("same");
    EXPECT_NO_THROW(items().put(c));
    expectCode(OBX_ERROR_UNIQUE_VIOLATED, [&] {
        Item d = named("renamed");
        items().put(d);
    });
    items().remove(a.id);
    Item e = named("renamed");
    EXPECT_NO_THROW(items().put(e));
    items().removeAll();
    Item f = named("renamed");
    EXPECT_NO_THROW(items().put(f));
}

TEST_F(ObxBox, UniqueViolationInsideATransactionAbortsIt)
{
    {
        obx::Transaction tx = store->txWrite();
        Item a = named("x");
        items().put(a);
        Item b = named("x"); // same transaction, not yet committed
        expectCode(OBX_ERROR_UNIQUE_VIOLATED, [&] { items().put(b); });
        expectCode(OBX_ERROR_ILLEGAL_STATE, [&] { tx.success(); });
    }
    EXPECT_EQ(items().count(), 0u);

    std::vector<Item> batch = {named("p"), named("q"), named("p")};
    expectCode(OBX_ERROR_UNIQUE_VIOLATED, [&] { items().put(batch); });
    EXPECT_EQ(items().count(), 0u);
    // The aborted batch handed out no ids for good: the same rows get them again.
    batch = {named("p"), named("q"), named("r")};
    items().put(batch);
    EXPECT_EQ(items().count(), 3u);
    EXPECT_EQ(batch[2].id, 3u);
}

// Random puts, replaces and removals; after each round every indexed equality must give what a
// filter over all rows gives.
TEST_F(ObxBox, IndexesStayInStepWithTheRows)
{
    std::mt19937 random(11);
    std::vector<obx_id> live;
    const auto check = [&] {
        auto all = items().getAll();
        for (int k = 0; k < 4; ++k) {
            std::vector<obx_id> byKind, byTag, byOwner, byAmount;
            const uint64_t amount = k == 3 ? UINT64_MAX : uint64_t(k);
            for (const auto &item : all) {
                if (item->kind == k)
                    byKind.push_back(item->id);
                if (item->tag == "t" + std::to_string(k))
                    byTag.push_back(item->id);
                if (item->owner == uint64_t(k))
                    byOwner.push_back(item->id);
                if (item->amount == amount)
                    byAmount.push_back(item->id);
            }
            EXPECT_EQ(items().query(Item_::kind.equals(k)).build().findIds(), byKind) << k;
            EXPECT_EQ(items().query(Item_::kind.equals(k)).build().count(), byKind.size()) << k;
            EXPECT_EQ(items().query(Item_::tag.equals("t" + std::to_string(k))).build().findIds(), byTag) << k;
            EXPECT_EQ(items().query(Item_::owner.equals(k)).build().findIds(), byOwner) << k;
            EXPECT_EQ(items().query(Item_::owner.equals(k)).build().count(), byOwner.size()) << k;
            EXPECT_EQ(items().query(Item_::amount.equals(int64_t(amount))).build().findIds(), byAmount) << k;
        }
    };
    for (int round = 0; round < 6; ++round) {
        for (int op = 0; op < 60; ++op) {
            const int what = int(random() % 4);
            if (what == 3 && !live.empty()) {
                const size_t at = random() % live.size();
                items().remove(live[at]);
                live.erase(live.begin() + std::ptrdiff_t(at));
                continue;
            }
            Item item;
            if (what == 2 && !live.empty())
                item = *items().get(live[random() % live.size()]);
            item.kind = int(random() % 4);
            item.tag = "t" + std::to_string(random() % 4);
            item.owner = random() % 4;
            item.amount = random() % 4 == 3 ? UINT64_MAX : random() % 3;
            const bool fresh = item.id == 0;
            items().put(item);
            if (fresh)
                live.push_back(item.id);
        }
        check();
        if (round == 3) {
            items().removeAll();
            live.clear();
            check();
        }
    }
    // Relations of 0 are left out of their index, yet a query for 0 still finds those rows.
    store.reset();
    for (const auto &[key, value] : rawEntries(dir.path(), "i4"))
        EXPECT_NE(key, bigEndian(0));
    store = openStore(dir.path());
    EXPECT_FALSE(items().query(Item_::owner.equals(0)).build().findIds().empty());
}

// New rows usually carry the highest id; one that does not (given straight to the raw box) must
// still be stored and indexed, and must not spoil the rest of its transaction.
TEST_F(ObxBox, RowsBelowTheHighestIdAreStoredAndIndexed)
{
    obx::internal::RawBox raw(*store, kItem);
    const auto putRaw = [&](obx_id id, int kind, const char *tag) {
        Item item;
        item.id = id;
        item.kind = kind;
        item.tag = tag;
        flatbuffers::FlatBufferBuilder fbb;
        Item::_OBX_MetaInfo::toFlatBuffer(fbb, item);
        raw.put(id, fbb.GetBufferPointer(), fbb.GetSize(), OBXPutMode_PUT);
    };
    {
        obx::Transaction tx = store->txWrite();
        putRaw(10, 1, "x");
        putRaw(5, 1, "x");
        putRaw(7, 2, "x");
        putRaw(12, 1, "y");
        tx.success();
    }
    EXPECT_EQ(items().query(Item_::kind == 1).build().findIds(), (std::vector<obx_id>{5, 10, 12}));
    EXPECT_EQ(items().query(Item_::tag == "x").build().findIds(), (std::vector<obx_id>{5, 7, 10}));
    EXPECT_EQ(items().query(Item_::kind == 1 && Item_::tag == "x").build().findIds(), (std::vector<obx_id>{5, 10}));
    auto all = items().getAll();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0]->id, 5u);
    EXPECT_EQ(all[3]->id, 12u);
}
