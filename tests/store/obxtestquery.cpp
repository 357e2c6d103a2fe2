// The object store's queries: every condition on every type, groups, links, order, paging and
// the ways a query answers.

#include "store/obxtestmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace obxtest;
using Ids = std::vector<obx_id>;

namespace {

constexpr uint64_t kHalf = uint64_t(1) << 63; // the first unsigned value above INT64_MAX

class ObxQuery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        store = openStore(dir.path());
        for (auto [id, title] : {std::pair<obx_id, const char *>{1, "Tehran"}, {2, "Shiraz"}}) {
            Place p;
            p.id = id;
            p.title = title;
            store->box<Place>().put(p);
        }
        for (auto [name, level, place] : {std::tuple<const char *, int, obx_id>{"ali", 3, 1}, {"sara", 7, 2}, {"reza", 7, 0}}) {
            Owner o;
            o.name = name;
            o.level = level;
            o.place = place;
            store->box<Owner>().put(o);
        }
        add("apple", "fruit", 1, true, -5, 10, 0.5f, 1.25, {"red", "sweet"}, 1, 1, -100, "Hello World");
        add("banana", "fruit", 2, false, 0, kHalf + 1, 1.5f, 2.5, {"yellow"}, 2, 2, 0, "hello");
        add("cherry", "fruit", 1, true, 5, UINT64_MAX, 2.5f, -3.75, {}, 0, 1, 100, "WORLD");
        add("date", "dry", 3, false, 10, 0, -1.0f, 0, {"brown", "Sweet"}, 3, 0, INT64_MAX, "");
        add("elder", "dry", 2, true, -10, kHalf, 0.5f, 1.25, {"red"}, 1, 2, -1, "mellow");
    }

    void add(const char *name, const char *tag, int kind, bool flag, int16_t small, uint64_t amount, float ratio,
             double weight, std::vector<std::string> labels, obx_id owner, obx_id place, int64_t delta,
             const char *note)
    {
        Item i;
        i.name = name;
        i.tag = tag;
        i.kind = kind;
        i.flag = flag;
        i.small = small;
        i.amount = amount;
        i.ratio = ratio;
        i.weight = weight;
        i.labels = std::move(labels);
        i.owner = owner;
        i.place = place;
        i.delta = delta;
        i.note = note;
        items().put(i);
    }

    obx::Box<Item> items() { return store->box<Item>(); }
    Ids ids(const obx::QueryCondition &c) { return items().query(c).build().findIds(); }
    Ids ids(obx::QueryBuilder<Item> &qb) { return qb.build().findIds(); }

    TempDir dir;
    std::unique_ptr<obx::Store> store;
};

int codeOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const obx::DbException &e) {
        return e.code();
    }
    return OBX_SUCCESS;
}

} // namespace

TEST_F(ObxQuery, IntegerConditions)
{
    EXPECT_EQ(ids(Item_::kind.equals(1)), (Ids{1, 3}));
    EXPECT_EQ(ids(Item_::kind != 1), (Ids{2, 4, 5}));
    EXPECT_EQ(ids(Item_::kind > 1), (Ids{2, 4, 5}));
    EXPECT_EQ(ids(Item_::kind >= 2), (Ids{2, 4, 5}));
    EXPECT_EQ(ids(Item_::kind < 2), (Ids{1, 3}));
    EXPECT_EQ(ids(Item_::kind <= 2), (Ids{1, 2, 3, 5}));
    EXPECT_EQ(ids(Item_::kind.between(2, 3)), (Ids{2, 4, 5}));
    EXPECT_EQ(ids(Item_::kind.between(3, 2)), Ids{});
    EXPECT_EQ(ids(Item_::small < 0), (Ids{1, 5}));
    EXPECT_EQ(ids(Item_::small.between(-5, 5)), (Ids{1, 2, 3}));
    EXPECT_EQ(ids(Item_::delta < 0), (Ids{1, 5}));
    EXPECT_EQ(ids(Item_::delta > 0), (Ids{3, 4}));
    EXPECT_EQ(ids(Item_::delta == INT64_MAX), Ids{4});
    EXPECT_EQ(ids(Item_::flag == 1), (Ids{1, 3, 5}));
    EXPECT_EQ(ids(Item_::flag == 0), (Ids{2, 4}));
    EXPECT_EQ(ids(Item_::owner == 1), (Ids{1, 5}));
    EXPECT_EQ(ids(Item_::owner == 0), Ids{3}); // not in the index, found all the same
    EXPECT_EQ(ids(Item_::owner != 0), (Ids{1, 2, 4, 5}));
}

// Operands of an unsigned property are its 64-bit patterns, as the rows hold them.
TEST_F(ObxQuery, UnsignedConditionsAboveTwoToTheSixtyThree)
{
    const auto u = [](uint64_t v) { return int64_t(v); };
    EXPECT_EQ(ids(Item_::amount.equals(u(UINT64_MAX))), Ids{3});
    EXPECT_EQ(ids(Item_::amount.equals(u(kHalf))), Ids{5});
    EXPECT_EQ(ids(Item_::amount.greaterThan(u(kHalf))), (Ids{2, 3}));
    EXPECT_EQ(ids(Item_::amount.greaterOrEq(u(kHalf))), (Ids{2, 3, 5}));
    EXPECT_EQ(ids(Item_::amount.lessThan(u(kHalf))), (Ids{1, 4}));
    EXPECT_EQ(ids(Item_::amount.between(10, u(kHalf))), (Ids{1, 5}));
    EXPECT_EQ(ids(Item_::amount.between(u(kHalf + 1), u(UINT64_MAX))), (Ids{2, 3}));
    EXPECT_EQ(ids(Item_::amount.notEquals(0)), (Ids{1, 2, 3, 5}));
    EXPECT_EQ(items().query(Item_::amount.equals(u(UINT64_MAX))).build().count(), 1u);
}

// A value list is matched in the property's own order: signed, or as 64-bit patterns.
TEST_F(ObxQuery, OneOfMatchesAnyListedValue)
{
    const auto u = [](uint64_t v) { return int64_t(v); };
    EXPECT_EQ(ids(Item_::kind.oneOf({3, 1, 1})), (Ids{1, 3, 4}));
    EXPECT_EQ(ids(Item_::small.oneOf({-10, 5, 7})), (Ids{3, 5}));
    EXPECT_EQ(ids(Item_::delta.oneOf({INT64_MAX, -1, 0})), (Ids{2, 4, 5}));
    EXPECT_EQ(ids(Item_::amount.oneOf({u(UINT64_MAX), 11, u(kHalf)})), (Ids{3, 5}));
    EXPECT_EQ(ids(Item_::kind.oneOf({})), Ids{});
    EXPECT_EQ(items().query(Item_::tag == "fruit" && Item_::kind.oneOf({1, 3})).build().count(), 2u);
}

TEST_F(ObxQuery, FloatingConditions)
{
    EXPECT_EQ(ids(Item_::ratio > 0.5), (Ids{2, 3}));
    EXPECT_EQ(ids(Item_::ratio >= 0.5), (Ids{1, 2, 3, 5}));
    EXPECT_EQ(ids(Item_::ratio < 0), Ids{4});
    EXPECT_EQ(ids(Item_::ratio <= -1), Ids{4});
    EXPECT_EQ(ids(Item_::ratio.between(0.5, 1.5)), (Ids{1, 2, 5}));
    EXPECT_EQ(ids(Item_::weight < 0), Ids{3});
    EXPECT_EQ(ids(Item_::weight <= 1.25), (Ids{1, 3, 4, 5}));
    EXPECT_EQ(ids(Item_::weight.between(1.25, 2.5)), (Ids{1, 2, 5}));
}

TEST_F(ObxQuery, TextConditions)
{
    EXPECT_EQ(ids(Item_::note == "hello"), Ids{2});
    EXPECT_EQ(ids(Item_::note.equals("HELLO", false)), Ids{2});
    EXPECT_EQ(ids(Item_::note.equals("HELLO")), Ids{});
    EXPECT_EQ(ids(Item_::note != "hello"), (Ids{1, 3, 4, 5}));
    EXPECT_EQ(ids(Item_::note.notEquals("HELLO", false)), (Ids{1, 3, 4, 5}));
    EXPECT_EQ(ids(Item_::note.equals("")), Ids{4});
    EXPECT_EQ(ids(Item_::note.contains("llo")), (Ids{1, 2, 5}));
    EXPECT_EQ(ids(Item_::note.contains("LLO")), Ids{});
    EXPECT_EQ(ids(Item_::note.contains("world", false)), (Ids{1, 3}));
    EXPECT_EQ(ids(Item_::note.contains("")), (Ids{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(Item_::note.startsWith("Hello")), Ids{1});
    EXPECT_EQ(ids(Item_::note.startsWith("hello", false)), (Ids{1, 2}));
    EXPECT_EQ(ids(Item_::note.endsWith("low")), Ids{5});
    EXPECT_EQ(ids(Item_::note.endsWith("LD", false)), (Ids{1, 3}));
    EXPECT_EQ(ids(Item_::note.endsWith("a long text than any note")), Ids{});
    // On hashed properties equality goes through the index; the answers are the same.
    EXPECT_EQ(ids(Item_::tag == "fruit"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids(Item_::tag.equals("FRUIT", false)), (Ids{1, 2, 3}));
    EXPECT_EQ(ids(Item_::tag != "fruit"), (Ids{4, 5}));
    EXPECT_EQ(ids(Item_::name == "cherry"), Ids{3});
    EXPECT_EQ(ids(Item_::name == "nothing"), Ids{});
    EXPECT_EQ(ids(Item_::labels.contains("red")), (Ids{1, 5}));
    EXPECT_EQ(ids(Item_::labels.contains("sweet")), Ids{1});
    EXPECT_EQ(ids(Item_::labels.contains("sweet", false)), (Ids{1, 4}));
    EXPECT_EQ(ids(Item_::labels.contains("re")), Ids{}); // whole elements only
}

// Persian and Arabic-Indic digits count as ASCII ones, stored or asked, indexed or not.
TEST_F(ObxQuery, FoldedDigitsMatchInEveryScript)
{
    add("f1", "پلاک ۱۲", 9, false, 0, 0, 0, 0, {"۷"}, 0, 0, 0, "کد ١٢٣");
    add("f2", "پلاک 12", 9, false, 0, 0, 0, 0, {"7"}, 0, 0, 0, "کد 123");
    const obx::QueryCondition asked = Item_::note.contains("12");
    EXPECT_EQ(ids(asked.withDigitsFolded()), (Ids{6, 7}));
    EXPECT_EQ(ids(asked), Ids{7}); // a folded copy
    EXPECT_EQ(ids(Item_::tag.equals("پلاک ١۲").withDigitsFolded()), (Ids{6, 7}));
    EXPECT_EQ(ids((Item_::labels.contains("7") || Item_::tag == "dry").withDigitsFolded()), (Ids{4, 5, 6, 7}));
}

TEST_F(ObxQuery, GroupsNestToAnyDepth)
{
    EXPECT_EQ(ids((Item_::kind == 1 || Item_::kind == 3) && Item_::flag == 1), (Ids{1, 3}));
    EXPECT_EQ(ids(Item_::kind == 2 || (Item_::tag == "fruit" && Item_::small > 0)), (Ids{2, 3, 5}));
    using C = obx::QueryCondition;
    EXPECT_EQ(ids(C::all({C::any({Item_::kind == 3, Item_::delta < 0}),
                          C::any({Item_::flag == 0, Item_::labels.contains("red")}),
                          C::any({C::all({Item_::ratio < 1, Item_::weight > 0}), Item_::kind == 3})})),
              (Ids{1, 4, 5}));
    EXPECT_EQ(ids(C::all({})), (Ids{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(C::any({})), (Ids{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(C::all({}) && Item_::kind == 3), Ids{4});
    EXPECT_EQ(ids(C::any({}) || Item_::kind == 3), (Ids{1, 2, 3, 4, 5}));
    // Conditions added one after another at the root combine with AND.
    auto qb = items().query(Item_::kind == 1);
    qb.with(Item_::flag == 1).with(Item_::small > 0);
    EXPECT_EQ(ids(qb), Ids{3});
}

TEST_F(ObxQuery, LinksFollowRelations)
{
    Item dangling;
    dangling.owner = 99; // points at no row
    dangling.kind = 2;
    items().put(dangling);
    {
        auto qb = items().query();
        qb.link(Item_::owner).with(Owner_::level == 7);
        EXPECT_EQ(ids(qb), (Ids{2, 4}));
    }
    {
        auto qb = items().query();
        qb.link(Item_::owner); // no conditions: rows whose relation leads to a row
        EXPECT_EQ(ids(qb), (Ids{1, 2, 4, 5}));
    }
    {
        // Two links in one query, beside a condition of the root.
        auto qb = items().query(Item_::kind >= 1);
        qb.link(Item_::owner).with(Owner_::level == 7);
        qb.link(Item_::place).with(Place_::title == "Shiraz");
        EXPECT_EQ(ids(qb), Ids{2});
        EXPECT_EQ(qb.build().count(), 1u);
    }
    {
        // A link from a linked entity on.
        auto qb = items().query();
        qb.link(Item_::owner).link(Owner_::place).with(Place_::title.startsWith("Teh"));
        EXPECT_EQ(ids(qb), (Ids{1, 5}));
    }
    {
        auto qb = items().query(Item_::kind == 2);
        qb.link(Item_::owner).with(Owner_::level == 3 || Owner_::name == "sara");
        EXPECT_EQ(ids(qb), (Ids{2, 5}));
        EXPECT_EQ(qb.build().remove(), 2u);
        EXPECT_EQ(ids(Item_::kind == 2), Ids{6});
    }
}

TEST_F(ObxQuery, OrderByPropertiesWithTiesInIdOrder)
{
    const auto ordered = [&](std::vector<std::pair<const obx::PropertyBase *, uint32_t>> orders) {
        auto qb = items().query();
        for (const auto &[p, flags] : orders)
            qb.order(*p, flags);
        return qb.build().findIds();
    };
    const uint32_t desc = OBXOrderFlags_DESCENDING;
    EXPECT_EQ(ordered({{&Item_::kind, 0}}), (Ids{1, 3, 2, 5, 4}));
    EXPECT_EQ(ordered({{&Item_::kind, desc}}), (Ids{4, 2, 5, 1, 3}));
    EXPECT_EQ(ordered({{&Item_::flag, desc}, {&Item_::small, 0}}), (Ids{5, 1, 3, 2, 4}));
    EXPECT_EQ(ordered({{&Item_::amount, 0}}), (Ids{4, 1, 5, 2, 3}));
    EXPECT_EQ(ordered({{&Item_::amount, desc}}), (Ids{3, 2, 5, 1, 4}));
    EXPECT_EQ(ordered({{&Item_::delta, 0}}), (Ids{1, 5, 2, 3, 4}));
    EXPECT_EQ(ordered({{&Item_::delta, OBXOrderFlags_UNSIGNED}}), (Ids{2, 3, 4, 1, 5}));
    EXPECT_EQ(ordered({{&Item_::ratio, 0}}), (Ids{4, 1, 5, 2, 3}));
    EXPECT_EQ(ordered({{&Item_::weight, desc}}), (Ids{2, 1, 5, 4, 3}));
    EXPECT_EQ(ordered({{&Item_::note, 0}}), (Ids{4, 2, 1, 5, 3}));
    EXPECT_EQ(ordered({{&Item_::note, OBXOrderFlags_CASE_SENSITIVE}}), (Ids{4, 1, 3, 2, 5}));
    EXPECT_EQ(ordered({{&Item_::tag, desc}, {&Item_::ratio, desc}}), (Ids{3, 2, 1, 5, 4}));
    EXPECT_EQ(codeOf([&] { ordered({{&Item_::labels, 0}}); }), OBX_ERROR_ILLEGAL_ARGUMENT);

    auto found = items().query(Item_::tag == "fruit").order(Item_::weight).build().find();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0]->name, "cherry");
    EXPECT_EQ(found[2]->name, "banana");
}

TEST_F(ObxQuery, OffsetLimitAndTheWaysToAnswer)
{
    auto plain = items().query().build();
    EXPECT_EQ(plain.offset(1).limit(2).findIds(), (Ids{2, 3}));
    EXPECT_EQ(plain.count(), 5u); // paging leaves count alone
    EXPECT_EQ(plain.offset(10).findIds(), Ids{});
    EXPECT_EQ(plain.offset(0).limit(0).findIds(), (Ids{1, 2, 3, 4, 5}));

    auto byKind = items().query().order(Item_::kind, OBXOrderFlags_DESCENDING).build();
    EXPECT_EQ(byKind.findFirst()->name, "date");
    byKind.offset(2).limit(2);
    EXPECT_EQ(byKind.findIds(), (Ids{5, 1}));
    auto page = byKind.find();
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0]->name, "elder");
    EXPECT_EQ(page[1]->name, "apple");
    EXPECT_EQ(byKind.findFirst()->name, "elder"); // after the offset
    byKind.offset(3).limit(UINT64_MAX); // a limit without bound must not wrap the page end
    EXPECT_EQ(byKind.findIds(), (Ids{1, 3}));
    byKind.offset(5);
    EXPECT_FALSE(byKind.findFirst());
    EXPECT_FALSE(items().query(Item_::kind == 42).build().findFirst());

    // A query built once answers for the rows of each run.
    auto fruit = items().query(Item_::tag == "fruit").build();
    EXPECT_EQ(fruit.count(), 3u);
    {
        obx::Transaction tx = store->txWrite();
        add("fig", "fruit", 9, false, 0, 0, 0, 0, {}, 0, 0, 0, "");
        EXPECT_EQ(fruit.count(), 4u); // sees the write's own rows
    }
    EXPECT_EQ(fruit.count(), 3u);

    EXPECT_EQ(items().query(Item_::kind == 1).build().remove(), 2u);
    EXPECT_EQ(items().count(), 3u);
    EXPECT_EQ(fruit.findIds(), Ids{2});
    EXPECT_EQ(ids(Item_::kind == 1), Ids{});
    Item again;
    again.name = "apple"; // the unique value left with its row
    EXPECT_NO_THROW(items().put(again));
    EXPECT_EQ(items().query(Item_::kind == 42).build().remove(), 0u);
}

TEST_F(ObxQuery, ConditionsThatDoNotFitAreRefused)
{
    EXPECT_EQ(codeOf([&] { ids(Owner_::level == 1); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] { ids(obx::internal::stringCondition(kItem, 4, obx::internal::OpContains, "x", true)); }),
              OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] { ids(obx::internal::intCondition(kItem, 99, obx::internal::OpEqual, 1)); }),
              OBX_ERROR_ILLEGAL_ARGUMENT);
}

// Enough rows that one index key's ids span several pages; combined indexed equalities, a range
// and an order with offset and limit must agree with a filter and sort over all rows.
TEST_F(ObxQuery, IndexedQueriesOnManyRowsAgreeWithAFullFilter)
{
    {
        std::vector<Item> many(6000);
        for (size_t i = 0; i < many.size(); ++i) {
            many[i].kind = int(i % 3);
            many[i].tag = "t" + std::to_string(i % 5);
            many[i].amount = (i * 7919) % 1000;
            many[i].weight = double((i * 31) % 97);
            many[i].note = i % 2 ? "odd" : "even";
        }
        items().put(many);
    }
    auto all = items().getAll();
    for (int kind = 0; kind < 3; ++kind) {
        for (const char *tag : {"t1", "t4"}) {
            std::vector<const Item *> want;
            for (const auto &i : all)
                if (i->kind == kind && i->tag == tag && i->amount >= 100 && i->amount <= 700)
                    want.push_back(i.get());
            std::stable_sort(want.begin(), want.end(), [](const Item *a, const Item *b) {
                if (a->weight != b->weight)
                    return a->weight > b->weight;
                return a->note < b->note;
            });
            Ids page;
            for (size_t k = 10; k < std::min<size_t>(want.size(), 35); ++k)
                page.push_back(want[k]->id);
            auto query = items()
                             .query(Item_::kind == kind && Item_::tag == tag && Item_::amount.between(100, 700))
                             .order(Item_::weight, OBXOrderFlags_DESCENDING)
                             .order(Item_::note)
                             .build();
            EXPECT_EQ(query.count(), want.size());
            EXPECT_EQ(query.offset(10).limit(25).findIds(), page);
            EXPECT_EQ(query.offset(0).limit(0).findIds().size(), want.size());
        }
        const auto ofKind = std::count_if(all.begin(), all.end(), [&](const auto &i) { return i->kind == kind; });
        EXPECT_EQ(items().query(Item_::kind == kind).build().count(), uint64_t(ofKind));
    }
}
