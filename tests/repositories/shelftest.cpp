// The shelf repository: board lists with consecutive positions, lists, access, removal.

#include "repositories/gshelves.h"
#include "repositories/gtavorlin.h"
#include "store/tavorlinposition.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

GShelves repo()
{
    return GShelves(sharedSnapshot());
}

std::vector<std::string> shelfOrder(obx::Store &store, const std::string &shelf)
{
    std::vector<std::string> order;
    for (const auto &row : obx::Box<TavorlinPosition>(store)
                               .query(TavorlinPosition_::shelves_id.equals(shelf))
                               .order(TavorlinPosition_::position)
                               .build()
                               .find())
        order.push_back(row->tavorlin_id + std::to_string(row->position));
    return order;
}

std::unique_ptr<Shelves> shelf(obx::Store &store, const std::string &serverId)
{
    return obx::Box<Shelves>(store).query(Shelves_::server_id.equals(serverId)).build().findFirst();
}

} // namespace

TEST(ShelfBoards, BatchListKeepsStayingBoardsFirstAndPositionsConsecutive)
{
    TempStore temp;
    User owner = temp.addOwner("o");
    repo().saveAll(QJsonArray{object(R"({"_id":"s","name":"home","color":2,"type":1,"tavorlin":["A","B","C"]})")}, -1);
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"A0", "B1", "C2"}));

    repo().saveAll(QJsonArray{object(R"({"_id":"s","name":"home","tavorlin":["B","D","A","D",""]})")}, 9000);
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"A0", "B1", "D2"}));
    EXPECT_EQ(obx::Box<User>(temp.store()).get(owner.id)->updated_date, 9000u);

    // The UI's save leaves the boards and the shelf's place alone.
    repo().changePositions(QJsonArray{object(R"({"_id":"s","position":4})")});
    EXPECT_TRUE(repo().save(object(R"({"_id":"s","name":"renamed","tavorlin":[]})"), false));
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"A0", "B1", "D2"}));
    EXPECT_EQ(shelf(temp.store(), "s")->position, 4);
    EXPECT_EQ(shelf(temp.store(), "s")->name, "renamed");
    EXPECT_EQ(obx::Box<Shelves>(temp.store()).count(), 1u);
}

TEST(ShelfBoards, RemoveAndAddInOneCall)
{
    TempStore temp;
    temp.addOwner("o");
    repo().saveAll(QJsonArray{object(R"({"_id":"s","tavorlin":["A","B","C"]})")}, -1);

    repo().changeTavorlins("s", {"E"}, {"B"}, -1);
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"A0", "C1", "E2"}));

    // The push and the reply to one's own request both add E: it stays one row.
    repo().changeTavorlins("s", {"E", "F"}, {}, -1);
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"A0", "C1", "E2", "F3"}));

    repo().changeTavorlins("s", {}, {"A", "missing"}, -1);
    EXPECT_EQ(shelfOrder(temp.store(), "s"), (std::vector<std::string>{"C0", "E1", "F2"}));
}

TEST(ShelfLists, OrderAgentAccessAndBoardsInPositionOrder)
{
    TempStore temp;
    temp.addOwner("o");
    repo().saveAll(QJsonArray{object(R"({"_id":"s1","name":"one","access":["a"],"tavorlin":["b1","b2","gone"]})"),
                              object(R"({"_id":"s2","name":"two","access":["a","a"]})"),
                              object(R"({"_id":"s3","name":"three"})")},
                   -1);
    repo().changePositions(QJsonArray{object(R"({"_id":"s1","position":2})"), object(R"({"_id":"s2","position":0})"),
                                      object(R"({"_id":"s3","position":1})")});
    GTavorlin boards{sharedSnapshot()};
    boards.save(object(R"({"_id":"b1","user_ref":"o","trade_ref":1,"access":["a"]})"));
    boards.save(object(R"({"_id":"b2","user_ref":"o","trade_ref":2})"));
    boards.changePosition("b2", "b1", "s1", "b2");

    QJsonArray all = repo().getList("");
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].toObject().value("_id").toString(), "s2");
    EXPECT_EQ(all[2].toObject().value("_id").toString(), "s1");
    QJsonArray forAgent = repo().getList("a");
    ASSERT_EQ(forAgent.size(), 2);
    EXPECT_EQ(forAgent[0].toObject().value("_id").toString(), "s2");

    QJsonArray onShelf = repo().getTavorlins("s1", "");
    ASSERT_EQ(onShelf.size(), 2); // the board that is not stored is skipped
    EXPECT_EQ(onShelf[0].toObject().value("_id").toString(), "b2");
    EXPECT_EQ(onShelf[0].toObject().value("position").toInt(), 0);
    EXPECT_EQ(onShelf[1].toObject().value("position").toInt(), 1);
    EXPECT_EQ(repo().getTavorlins("s1", "a").size(), 1);

    EXPECT_TRUE(repo().saveAgentAccess(object(R"({"agent_id":"a","success_add":["s3","s1"],"success_remove":["s2"]})"), -1));
    EXPECT_EQ(shelf(temp.store(), "s1")->access, (std::vector<std::string>{"a"}));
    EXPECT_TRUE(shelf(temp.store(), "s2")->access.empty()); // an old duplicate goes too
    QJsonArray agentShelves = repo().getAccessList("", "a");
    ASSERT_EQ(agentShelves.size(), 2);
    EXPECT_EQ(agentShelves[0].toObject().value("shelf_id").toString(), "s1");
    EXPECT_TRUE(repo().saveAgentAccessList("s2", QJsonArray{"x", "y", "x"}, -1));
    EXPECT_EQ(repo().getAccessList("s2", "").size(), 2);

    const QJsonObject one = repo().get("s1", -1);
    EXPECT_EQ(one.value("name").toString(), "one");
    EXPECT_EQ(one.value("position").toInt(), 2);
    EXPECT_EQ(repo().get("", one.value("id").toInt()).value("_id").toString(), "s1");
    EXPECT_EQ(repo().get("nope", -1), (QJsonObject{{"error", "no shelves was found for that query!"}}));
}

TEST(ShelfRemove, LeavesBoardsAndOtherShelvesAndIgnoresTheEmptyId)
{
    TempStore temp;
    temp.addOwner("o");
    repo().saveAll(QJsonArray{object(R"({"_id":"s1","tavorlin":["A","B"]})"), object(R"({"_id":"s2","tavorlin":["B"]})")}, -1);
    Shelves unnamed;
    unnamed.user_id = "o";
    obx::Box<Shelves>(temp.store()).put(unnamed);
    GTavorlin(sharedSnapshot()).save(object(R"({"_id":"B","user_ref":"o","trade_ref":1})"));

    repo().saveAll(QJsonArray{object(R"({"_id":"s1","die":true})"), object(R"({"die":true})")}, -1);
    EXPECT_FALSE(shelf(temp.store(), "s1"));
    EXPECT_TRUE(shelfOrder(temp.store(), "s1").empty());
    EXPECT_EQ(shelfOrder(temp.store(), "s2"), (std::vector<std::string>{"B0"}));
    EXPECT_EQ(obx::Box<Shelves>(temp.store()).count(), 2u);
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).count(), 1u);
}

TEST(ShelfRemove, DieAsANumberRemovesBoardsAndShelvesAlike)
{
    TempStore temp;
    temp.addOwner("o");
    repo().saveAll(QJsonArray{object(R"({"_id":"s1","tavorlin":["B"]})"), object(R"({"_id":"s2"})")}, -1);
    GTavorlin boards(sharedSnapshot());
    boards.saveAll(QJsonArray{object(R"({"_id":"B","user_ref":"o","trade_ref":1})"),
                              object(R"({"_id":"C","user_ref":"o","trade_ref":1})")}, -1);

    repo().saveAll(QJsonArray{object(R"({"_id":"s1","die":1})"), object(R"({"_id":"s2","die":0})")}, -1);
    boards.saveAll(QJsonArray{object(R"({"_id":"B","die":2})"), object(R"({"_id":"C","die":0,"trade_ref":1})")}, -1);
    EXPECT_FALSE(shelf(temp.store(), "s1"));
    EXPECT_TRUE(shelf(temp.store(), "s2"));
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).query(Tavorlin_::server_id.equals("B")).build().count(), 0u);
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).query(Tavorlin_::server_id.equals("C")).build().count(), 1u);
}
