// The board repository: upserts and their filter rows, moves, access, default boards, labels.

#include "repositories/gtavorlin.h"
#include "store/district.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/hashtag.h"
#include "store/tavorlinfilter.h"
#include "store/tavorlinposition.h"
#include "tests/repositories/tempstore.h"

#include <QDateTime>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <map>

using namespace UGENERAL;

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

GTavorlin repo()
{
    return GTavorlin(sharedSnapshot());
}

std::vector<std::unique_ptr<TavorlinFilter>> filtersOf(obx::Store &store, const std::string &board)
{
    return obx::Box<TavorlinFilter>(store).query(TavorlinFilter_::tavorlin_id.equals(board)).build().find();
}

void place(obx::Store &store, const std::string &shelf, const std::vector<std::string> &boards)
{
    for (size_t i = 0; i < boards.size(); ++i) {
        TavorlinPosition row;
        row.position = int32_t(i);
        row.tavorlin_id = boards[i];
        row.shelves_id = shelf;
        obx::Box<TavorlinPosition>(store).put(row);
    }
}

// The boards of a shelf as "id:position", in position order.
std::vector<std::string> shelfOrder(obx::Store &store, const std::string &shelf)
{
    std::vector<std::string> order;
    for (const auto &row : obx::Box<TavorlinPosition>(store)
                               .query(TavorlinPosition_::shelves_id.equals(shelf))
                               .order(TavorlinPosition_::position)
                               .build()
                               .find())
        order.push_back(row->tavorlin_id + ":" + std::to_string(row->position));
    return order;
}

std::unique_ptr<Tavorlin> board(obx::Store &store, const std::string &serverId)
{
    return obx::Box<Tavorlin>(store).query(Tavorlin_::server_id.equals(serverId)).build().findFirst();
}

qint64 localNoon(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(12, 0)).toMSecsSinceEpoch();
}

} // namespace

TEST(BoardSave, FilteredBoardSavedTwiceKeepsOneFilterSetAndItsOrdering)
{
    TempStore temp;
    temp.addOwner("o");
    ASSERT_TRUE(repo().save(object(R"({"_id":"b1","user_ref":"o","name":"cheap","trade_ref":1,"property_ref":50,
        "color":3,"share":["x"],"access":["a1"],
        "filter":[{"key":"price.price_2","value":{"value_1":1500000,"value_2":3000000}},
                  {"key":"room","value":{"value_1":"2"}}]})")));
    std::unique_ptr<Tavorlin> first = board(temp.store(), "b1");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->is_default);
    EXPECT_TRUE(first->shared);
    EXPECT_EQ(first->order_field, "_id");
    ASSERT_TRUE(repo().saveOrder(int(first->id), "price_2", "asc"));

    ASSERT_TRUE(repo().save(object(R"({"_id":"b1","user_ref":"o","name":"cheap","trade_ref":1,"property_ref":50,
        "share":[],"filter":[{"key":"price.price_2","value":{"value_1":1500000.75,"value_2":2.5}},
                  {"key":"meter.area","value":{"value_1":"80","value_2":"5000"}},
                  {"key":"info.room","value":{"value_1":null,"value_2":999999999999}}]})")));
    std::unique_ptr<Tavorlin> second = board(temp.store(), "b1");
    EXPECT_EQ(second->id, first->id);
    EXPECT_EQ(second->order_field, "price_2");
    EXPECT_EQ(second->order_type, "asc");
    EXPECT_FALSE(second->shared);
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).count(), 1u);

    // Whole numbers keep their digits and texts stay as sent, so the file query reads them back.
    const auto rows = filtersOf(temp.store(), "b1");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->value_1, "1500000.75");
    EXPECT_EQ(rows[0]->value_2, "2.50");
    EXPECT_EQ(rows[1]->value_1, "80");
    EXPECT_EQ(rows[1]->value_2, "5000");
    EXPECT_EQ(rows[2]->value_1, "0");
    EXPECT_EQ(rows[2]->value_2, "999999999999");
}

TEST(BoardSave, ServerCopyOfDefaultBoardNeverTakesOverAFilteredBoard)
{
    TempStore temp;
    temp.addOwner("o");
    ASSERT_TRUE(repo().save(object(R"({"_id":"f","user_ref":"o","trade_ref":1,"property_ref":50,
        "filter":[{"key":"room","value":{"value_1":"3"}}]})")));
    Tavorlin local;
    local.user_id = "o";
    local.trade_type = 1;
    local.property_type = 50;
    local.is_default = true;
    local.order_field = "date";
    local.order_type = "asc";
    const obx_id localId = obx::Box<Tavorlin>(temp.store()).put(local);

    ASSERT_TRUE(repo().save(object(R"({"_id":"d","user_ref":"o","trade_ref":1,"property_ref":50,"name":"x"})")));
    std::unique_ptr<Tavorlin> merged = board(temp.store(), "d");
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->id, localId);
    EXPECT_EQ(merged->order_field, "date");
    EXPECT_TRUE(merged->is_default);
    std::unique_ptr<Tavorlin> filtered = board(temp.store(), "f");
    ASSERT_TRUE(filtered);
    EXPECT_FALSE(filtered->is_default);
    EXPECT_EQ(filtersOf(temp.store(), "f").size(), 1u);

    // Sent again, it is found by its server id.
    ASSERT_TRUE(repo().save(object(R"({"_id":"d","user_ref":"o","trade_ref":1,"property_ref":50,"name":"y"})")));
    EXPECT_EQ(board(temp.store(), "d")->name, "y");
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).count(), 2u);
}

TEST(BoardRemove, EmptyIdRemovesNothingAndARemovedBoardLeavesNoGap)
{
    TempStore temp;
    User owner = temp.addOwner("o");
    Tavorlin local;
    local.user_id = "o";
    local.is_default = true;
    obx::Box<Tavorlin>(temp.store()).put(local);
    ASSERT_TRUE(repo().save(object(R"({"_id":"b","user_ref":"o","trade_ref":1,"filter":[{"key":"room","value":{"value_1":"1"}}]})")));
    ASSERT_TRUE(repo().save(object(R"({"_id":"c","user_ref":"o","trade_ref":1,"filter":[{"key":"room","value":{"value_1":"2"}}]})")));
    place(temp.store(), "s1", {"a", "b", "c"});
    place(temp.store(), "s2", {"b", "x"});

    repo().saveAll(QJsonArray{object(R"({"_id":"","die":true})")}, -1);
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).count(), 3u);

    repo().saveAll(QJsonArray{object(R"({"_id":"b","die":true})")}, 5000);
    EXPECT_FALSE(board(temp.store(), "b"));
    EXPECT_TRUE(filtersOf(temp.store(), "b").empty());
    EXPECT_EQ(filtersOf(temp.store(), "c").size(), 1u);
    EXPECT_EQ(shelfOrder(temp.store(), "s1"), (std::vector<std::string>{"a:0", "c:1"}));
    EXPECT_EQ(shelfOrder(temp.store(), "s2"), (std::vector<std::string>{"x:0"}));
    EXPECT_EQ(obx::Box<User>(temp.store()).get(owner.id)->updated_date, 5000u);
}

TEST(BoardMove, WithinAShelf)
{
    TempStore temp;
    temp.addOwner("o");
    place(temp.store(), "s", {"W", "X", "Y", "Z"});
    place(temp.store(), "other", {"Z", "X"});

    repo().changePosition("Z", "X", "s", "Z");
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"W:0", "Z:1", "X:2", "Y:3"}));
    EXPECT_EQ(shelfOrder(temp.store(), "other"), (std::vector<std::string>{"Z:0", "X:1"}));

    repo().changePosition("W", "Y", "s", "W"); // to the end
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"Z:0", "X:1", "Y:2", "W:3"}));

    repo().changePosition("X", "X", "s", "X"); // onto itself
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"Z:0", "X:1", "Y:2", "W:3"}));

    repo().changePosition("missing", "X", "s", "missing");
    repo().changePosition("Y", "missing", "s", "Y");
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"Z:0", "X:1", "Y:2", "W:3"}));
}

TEST(BoardAccess, AgentsAreListedOnceFromEitherSide)
{
    TempStore temp;
    User owner = temp.addOwner("o");
    ASSERT_TRUE(repo().save(object(R"({"_id":"b","user_ref":"o","trade_ref":1,"access":["a1"]})")));
    ASSERT_TRUE(repo().save(object(R"({"_id":"c","user_ref":"o","trade_ref":2})")));

    EXPECT_TRUE(repo().saveAgentAccess(object(R"({"agent_id":"a2","success_add":["b","c","missing"],"success_remove":[]})"), -1));
    EXPECT_TRUE(repo().saveAgentAccess(object(R"({"agent_id":"a2","success_add":["b"]})"), -1));
    EXPECT_EQ(board(temp.store(), "b")->access, (std::vector<std::string>{"a1", "a2"}));
    EXPECT_EQ(repo().getAccessList("", "a2").size(), 2);

    EXPECT_TRUE(repo().saveAgentAccess(object(R"({"agent_id":"a2","success_remove":["c"]})"), 7000));
    EXPECT_TRUE(board(temp.store(), "c")->access.empty());
    EXPECT_EQ(obx::Box<User>(temp.store()).get(owner.id)->updated_date, 7000u);

    EXPECT_TRUE(repo().saveAgentAccessList("c", QJsonArray{"a3", "a4", "a3"}, -1));
    const QJsonArray list = repo().getAccessList("c", "");
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject().value("user_id").toString(), "a3");
    EXPECT_EQ(list[1].toObject().value("user_id").toString(), "a4");
    EXPECT_TRUE(repo().getAccessList("missing", "").isEmpty());

    EXPECT_FALSE(repo().edit("", 3, "n", -1));
    EXPECT_FALSE(repo().edit("missing", 3, "n", -1));
    EXPECT_TRUE(repo().edit("b", 3, "renamed", -1));
    EXPECT_EQ(board(temp.store(), "b")->name, "renamed");
}

TEST(BoardDefaults, FromTheShippedCatalogue)
{
    TempStore temp;
    temp.addOwner("o");
    GDatabase database; // closes the store when it goes, so it lives as long as the test
    ASSERT_TRUE(database.initialDatabase());
    repo().saveDefaults();

    const auto boards = obx::Box<Tavorlin>(temp.store()).getAll();
    ASSERT_EQ(boards.size(), 160u);
    std::map<int, int> perTrade;
    const std::map<int, int> colors{{1, 4}, {2, 16}, {3, 9}, {4, 13}, {5, 4}, {6, 16}, {7, 9}, {8, 13}};
    for (const auto &b : boards) {
        EXPECT_EQ(b->server_id, "");
        EXPECT_EQ(b->user_id, "o");
        EXPECT_TRUE(b->is_default);
        EXPECT_EQ(b->order_field, "_id");
        EXPECT_EQ(b->color, b->trade_type > 8 ? 20 : colors.at(b->trade_type)) << b->trade_type;
        ++perTrade[b->trade_type];
    }
    const std::map<int, int> expected{{1, 18}, {2, 16}, {3, 2}, {4, 4}, {5, 18}, {6, 16}, {7, 2}, {8, 4},
                                      {9, 18}, {10, 16}, {11, 2}, {12, 4}, {13, 18}, {14, 16}, {15, 2}, {16, 4}};
    EXPECT_EQ(perTrade, expected);
    // Trade 3 offers land and old houses only, in catalogue order.
    std::vector<int> partnership;
    for (const auto &b : boards)
        if (b->trade_type == 3)
            partnership.push_back(b->property_type);
    EXPECT_EQ(partnership, (std::vector<int>{53, 57}));
}

TEST(BoardJson, LabelsOfFilterRows)
{
    TempStore temp;
    temp.addOwner("o");
    GDatabase database; // closes the store when it goes, so it lives as long as the test
    ASSERT_TRUE(database.initialDatabase());
    ASSERT_TRUE(repo().save(object(R"({"_id":"sale","user_ref":"o","trade_ref":1,"property_ref":50,"name":"",
        "filter":[{"key":"price.price_2","value":{"value_1":"1500000","value_2":"3000000"}}]})")));
    ASSERT_TRUE(repo().save(object(R"({"_id":"mixed","user_ref":"o","trade_ref":1,"property_ref":50,"name":"n",
        "filter":[{"key":"price.price_2","value":{"value_1":"500000","value_2":"3000000"}}]})")));
    ASSERT_TRUE(repo().save(object(R"({"_id":"low","user_ref":"o","trade_ref":1,"property_ref":50,"name":"n",
        "filter":[{"key":"price.price_2","value":{"value_1":"500"}}]})")));
    const QString from = QString::number(localNoon(2023, 10, 7));
    const QString to = QString::number(localNoon(2023, 10, 12));
    ASSERT_TRUE(repo().save(QJsonObject{{"_id", "dated"}, {"user_ref", "o"}, {"trade_ref", 10}, {"property_ref", 50},
                                        {"filter", QJsonArray{QJsonObject{{"key", "date"},
                                                                          {"value", QJsonObject{{"value_1", from}, {"value_2", to}}}},
                                                              QJsonObject{{"key", "parking"},
                                                                          {"value", QJsonObject{{"value_1", "651"}}}}}}}));

    const QJsonObject sale = repo().get("sale", -1);
    EXPECT_EQ(sale.value("filter_name").toString(), QStringLiteral("قیمت کل 1.5 تا 3 میلیون "));
    EXPECT_EQ(sale.value("title").toString(), QStringLiteral("فروش آپارتمان قیمت کل 1.5 تا 3 میلیون "));
    EXPECT_EQ(sale.value("trade_name").toString(), QStringLiteral("فروش"));
    EXPECT_FALSE(sale.value("broken").toBool());
    const QJsonObject value = sale.value("filter").toArray()[0].toObject().value("value").toObject();
    EXPECT_EQ(value.value("value_1").toString(), "1500000");

    EXPECT_EQ(repo().get("mixed", -1).value("filter_name").toString(), QStringLiteral("قیمت کل 500 هزار تا 3 میلیون "));
    EXPECT_EQ(repo().get("mixed", -1).value("title").toString(), "n");
    // A missing upper bound is stored as "0" and handed back empty.
    const QJsonObject low = repo().get("low", -1);
    EXPECT_EQ(low.value("filter_name").toString(), QStringLiteral("قیمت کل از 500  "));
    EXPECT_EQ(low.value("filter").toArray()[0].toObject().value("value").toObject().value("value_2").toString(), "");

    const QJsonObject dated = repo().get("dated", -1);
    EXPECT_EQ(dated.value("trade_name").toString(), QStringLiteral("بایگانی اجاره"));
    EXPECT_EQ(dated.value("filter_name").toString(),
              QStringLiteral("تاریخ بین 1402/7/15 و 1402/7/20پارکینگ اختصاصی "));
    EXPECT_EQ(dated.value("title").toString(),
              QStringLiteral("بایگانی اجاره آپارتمان تاریخ بین 1402/7/15 و 1402/7/20پارکینگ اختصاصی "));

    const QJsonObject missing = repo().get("nothing", -1);
    EXPECT_TRUE(missing.contains("error"));
    EXPECT_EQ(missing.size(), 1);
    EXPECT_EQ(repo().get("", int(board(temp.store(), "sale")->id)).value("_id").toString(), "sale");
}

TEST(BoardJson, MissingHashtagMarksTheBoardBroken)
{
    TempStore temp;
    temp.addOwner("o");
    GDatabase database; // closes the store when it goes, so it lives as long as the test
    ASSERT_TRUE(database.initialDatabase());
    District district;
    district.server_id = "d1";
    district.title = "Niavaran";
    obx::Box<District>(temp.store()).put(district);
    ASSERT_TRUE(repo().save(object(R"({"_id":"b","user_ref":"o","trade_ref":1,"property_ref":50,
        "filter":[{"key":"district_ref","value":{"value_1":"d1"}},
                  {"key":"hashtag_ref","value":{"value_1":"gone"}},
                  {"key":"parking","value":{"value_1":"651"}}]})")));

    const QJsonObject json = repo().get("b", -1);
    EXPECT_TRUE(json.value("broken").toBool());
    EXPECT_EQ(json.value("filter_name").toString(), "");
    EXPECT_EQ(json.value("filter").toArray().size(), 1);
    EXPECT_EQ(json.value("title").toString(), QStringLiteral("فروش آپارتمان Niavaran "));

    // A broken board gets no unseen badge; the counts follow the list by index.
    const QJsonArray counts = repo().getCounts(QJsonArray{json, repo().get("b", -1)});
    ASSERT_EQ(counts.size(), 2);
    EXPECT_EQ(counts[0].toObject().value("badge").toInt(), 0);
    EXPECT_TRUE(repo().getCounts(QJsonArray()).isEmpty());

    HashTag tag;
    tag.server_id = "gone";
    tag.title = "sea";
    obx::Box<HashTag>(temp.store()).put(tag);
    const QJsonObject mended = repo().get("b", -1);
    EXPECT_FALSE(mended.value("broken").toBool());
    EXPECT_EQ(mended.value("filter_name").toString(), QStringLiteral("Niavaran sea پارکینگ اختصاصی "));
}

TEST(BoardCounts, TotalsAndUnseenBadgesThroughTheFileQuery)
{
    TempStore temp;
    temp.addOwner("o");
    auto addFile = [&](const std::string &owner, int trade, uint64_t price, bool seen, bool deleted) {
        File file;
        file.user_id = owner;
        file.trade_type = trade;
        file.property_type = 50;
        file.price_2 = price;
        file.seen = seen;
        file.deleted = deleted;
        obx::Box<File>(temp.store()).put(file);
    };
    addFile("o", 1, 2000000, false, false);
    addFile("o", 1, 5000000, true, false);
    addFile("o", 1, 5000000, false, true);
    addFile("o", 2, 5000000, false, false);
    addFile("other", 1, 5000000, false, false);

    ASSERT_TRUE(repo().save(object(R"({"user_ref":"o","trade_ref":1,"property_ref":50})")));
    // Bounds sent as numbers reach the file query whole: 2.5 million, not "2.5e+06" read as 2.
    ASSERT_TRUE(repo().save(object(R"({"_id":"f","user_ref":"o","trade_ref":1,"property_ref":50,
        "filter":[{"key":"price.price_2","value":{"value_1":2500000,"value_2":6000000}}]})")));

    const QJsonArray list = repo().getAll("", -1);
    ASSERT_EQ(list.size(), 2);
    const QJsonArray counts = repo().getCounts(list);
    ASSERT_EQ(counts.size(), 2);
    EXPECT_EQ(counts[0].toObject(), (QJsonObject{{"count", 2}, {"badge", 1}}));
    EXPECT_EQ(counts[1].toObject(), (QJsonObject{{"count", 1}, {"badge", 0}}));
}
