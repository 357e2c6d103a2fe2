// The user repository: accounts from server JSON, the current account, the stamp, and agents.

#include "repositories/guser.h"
#include "store/file.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

std::vector<std::unique_ptr<User>> allUsers(obx::Store &store)
{
    return obx::Box<User>(store).getAll();
}

GUser repo()
{
    return GUser(sharedSnapshot());
}

} // namespace

TEST(UserSave, ReplacesByServerIdAndOwnerKeepingMarks)
{
    TempStore temp;
    const qint64 id = repo().saveUser(object(R"({"_id":"u1","name_family":"Sara","mobile":"0912",
        "type":100,"access":7,"profile_image":"a.jpg","info":{"email":"s@x.ir","telegram":"@s"},
        "device":[{"platform":128,"token":"phone"},{"platform":64,"token":"desk"}],
        "status":{"type":2,"text":"ok"},"map":{"lat":35.7,"lng":51.4},"setting":{"form":"[{\"key\":3},{\"key\":5},{\"key\":3}]"}})"),
                                      true);
    std::unique_ptr<User> row = obx::Box<User>(temp.store()).get(obx_id(id));
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->current);
    EXPECT_TRUE(row->logged_in);
    EXPECT_EQ(row->token, "desk");
    EXPECT_EQ(row->telegram_channel, "@s");
    EXPECT_EQ(row->status, 2);
    EXPECT_EQ(row->invisible_toggles, (std::vector<std::string>{"3", "5"}));

    // Saved again without an image: same row, marks kept, image cleared.
    EXPECT_EQ(repo().saveUser(object(R"({"_id":"u1","name_family":"Sara R"})"), false), id);
    row = obx::Box<User>(temp.store()).get(obx_id(id));
    EXPECT_TRUE(row->current);
    EXPECT_TRUE(row->logged_in);
    EXPECT_EQ(row->image, "");
    EXPECT_EQ(row->type, 0);
    EXPECT_EQ(allUsers(temp.store()).size(), 1u);
}

TEST(UserSave, ParentReferences)
{
    TempStore temp;
    const qint64 ownerA = repo().saveUser(object(R"({"_id":"A","type":100})"), false);
    const qint64 ownerB = repo().saveUser(object(R"({"_id":"B","type":100})"), false);
    // The same person as agent of two agencies: two rows.
    const qint64 inA = repo().saveUser(object(R"({"_id":"ag","user_ref":"A"})"), false);
    const qint64 inB = repo().saveUser(object(R"({"_id":"ag","user_ref":"B"})"), false);
    EXPECT_NE(inA, inB);
    EXPECT_EQ(obx::Box<User>(temp.store()).get(obx_id(inA))->parent_id, obx_id(ownerA));
    EXPECT_EQ(obx::Box<User>(temp.store()).get(obx_id(inB))->parent_id, obx_id(ownerB));

    // An owner that is not stored yet leaves no parent.
    const qint64 orphan = repo().saveUser(object(R"({"_id":"x","user_ref":"missing"})"), false);
    EXPECT_EQ(obx::Box<User>(temp.store()).get(obx_id(orphan))->parent_id, 0u);

    // An empty or mistyped reference makes no phantom owner row.
    const size_t before = allUsers(temp.store()).size();
    const qint64 empty = repo().saveUser(object(R"({"_id":"y","user_ref":""})"), false);
    const qint64 number = repo().saveUser(object(R"({"_id":"z","user_ref":12})"), false);
    EXPECT_EQ(allUsers(temp.store()).size(), before + 2);
    EXPECT_EQ(obx::Box<User>(temp.store()).get(obx_id(empty))->parent_id, 0u);
    EXPECT_EQ(obx::Box<User>(temp.store()).get(obx_id(number))->parent_id, 0u);

    // A nested account object is stored and becomes the parent.
    const qint64 nested = repo().saveUser(object(R"({"_id":"n","user_ref":{"_id":"C","type":100}})"), false);
    std::unique_ptr<User> row = obx::Box<User>(temp.store()).get(obx_id(nested));
    std::unique_ptr<User> parent = obx::Box<User>(temp.store()).get(row->parent_id);
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->server_id, "C");
}

TEST(UserCurrent, OnlyOneAccountStaysCurrent)
{
    TempStore temp;
    const qint64 a = repo().saveUser(object(R"({"_id":"A","type":100})"), true);
    const qint64 b = repo().saveUser(object(R"({"_id":"B","type":100})"), true);
    auto currentCount = [&] {
        int n = 0;
        for (auto &u : allUsers(temp.store()))
            n += u->current;
        return n;
    };
    EXPECT_EQ(currentCount(), 1);
    EXPECT_EQ(repo().currentUser().value("_id").toString(), "B");
    EXPECT_EQ(repo().getLoggedInUsers().size(), 2);

    repo().logIn(a);
    EXPECT_EQ(currentCount(), 1);
    EXPECT_EQ(repo().currentUser().value("_id").toString(), "A");
    repo().changeCurrentUser(b);
    EXPECT_EQ(currentCount(), 1);
    EXPECT_EQ(repo().currentUser().value("_id").toString(), "B");

    repo().logOut(b);
    EXPECT_EQ(repo().currentUser().value("error").toString(), "no user was found for that query!");
    EXPECT_EQ(repo().getLoggedInUsers().size(), 1);
}

TEST(UserJson, FullFormNestsTheParentAndItsSyncState)
{
    TempStore temp;
    User owner = temp.addOwner("O");
    owner.sync_data = true;
    obx::Box<User>(temp.store()).put(owner);
    const User agent = temp.addAgent(owner, "ag", false);
    Tavorlin board;
    board.user_id = "O";
    board.is_default = true;
    obx::Box<Tavorlin>(temp.store()).put(board);

    const QJsonObject json = repo().getUserAsJson(agent, true);
    EXPECT_EQ(json.value("user_ref").toString(), "O");
    EXPECT_EQ(json.value("parent").toObject().value("_id").toString(), "O");
    EXPECT_TRUE(json.value("sync_data").toBool());
    EXPECT_TRUE(json.value("default_tavorlin").toBool());

    // Agents have a parent, so a look-up by server id finds owners only.
    EXPECT_TRUE(repo().getUserById("ag").contains("error"));
    EXPECT_EQ(repo().getUserById("O").value("_id").toString(), "O");

    // A row that is its own parent must not recurse for ever.
    User loop = agent;
    loop.parent_id = loop.id;
    obx::Box<User>(temp.store()).put(loop);
    EXPECT_FALSE(repo().getUserAsJson(loop, true).isEmpty());
}

TEST(UserStamp, DateAboveZeroStampsTheOwner)
{
    TempStore temp;
    const User owner = temp.addOwner("O");
    GUser(sharedSnapshot()).saveUsers(QJsonArray{object(R"({"_id":"O","type":100})")});
    EXPECT_EQ(obx::Box<User>(temp.store()).get(owner.id)->updated_date, 0u);

    EXPECT_TRUE(GUser(sharedSnapshot()).saveUsers(QJsonArray{object(R"({"_id":"O","type":100})")}, 1700000000123));
    std::unique_ptr<User> row = obx::Box<User>(temp.store()).get(owner.id);
    EXPECT_EQ(row->updated_date, 1700000000123u);
    EXPECT_TRUE(row->sync_data);

    EXPECT_EQ(repo().getUpdateDate(qint64(owner.id)), "1700000000123");
    EXPECT_EQ(repo().getUpdateDate(9999), "");
}

TEST(Agents, ListUpdateAndDelete)
{
    TempStore temp;
    const User owner = temp.addOwner("O");
    const User a1 = temp.addAgent(owner, "a1", false);
    temp.addAgent(owner, "a2", false);
    EXPECT_EQ(repo().getAgentList(-1).size(), 2);
    EXPECT_EQ(repo().getAgentsCount(-1), 2);

    // Left-out values arrive as -1 and leave the stored ones alone.
    repo().updateAgent("a1", 6, 2, -1);
    repo().updateAgent("a1", -1, -1, -1);
    std::unique_ptr<User> row = obx::Box<User>(temp.store()).get(a1.id);
    EXPECT_EQ(row->access, 6);
    EXPECT_EQ(row->type, 2);

    File file;
    file.agent_id = "a1";
    obx::Box<File>(temp.store()).put(file);
    Tavorlin board;
    board.user_id = "O";
    board.access = {"a1", "x", "a1"};
    obx::Box<Tavorlin>(temp.store()).put(board);
    Shelves shelf;
    shelf.user_id = "O";
    shelf.access = {"a1"};
    obx::Box<Shelves>(temp.store()).put(shelf);

    repo().deleteAgent("O", "a1", -1);
    EXPECT_FALSE(obx::Box<User>(temp.store()).get(a1.id));
    EXPECT_EQ(obx::Box<File>(temp.store()).get(file.id)->agent_id, "");
    // Listed twice, removed once would have kept the access.
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).get(board.id)->access, (std::vector<std::string>{"x"}));
    EXPECT_TRUE(obx::Box<Shelves>(temp.store()).get(shelf.id)->access.empty());
}

TEST(Agents, LoggedInAgentIsKeptAndNumberChangeMovesEverything)
{
    TempStore temp;
    const User owner = temp.addOwner("O");
    User here = temp.addAgent(owner, "a1", false);
    here.logged_in = true;
    obx::Box<User>(temp.store()).put(here);
    File file;
    file.agent_id = "a1";
    obx::Box<File>(temp.store()).put(file);

    repo().deleteAgent("O", "a1", -1);
    EXPECT_TRUE(obx::Box<User>(temp.store()).get(here.id));
    EXPECT_EQ(obx::Box<File>(temp.store()).get(file.id)->agent_id, "a1");

    Tavorlin board;
    board.user_id = "O";
    board.access = {"a1", "r"};
    obx::Box<Tavorlin>(temp.store()).put(board);
    repo().editAgentNumber("O", "a1", "r", -1);
    EXPECT_FALSE(obx::Box<User>(temp.store()).get(here.id));
    EXPECT_EQ(obx::Box<File>(temp.store()).get(file.id)->agent_id, "r");
    EXPECT_EQ(obx::Box<Tavorlin>(temp.store()).get(board.id)->access, (std::vector<std::string>{"r"}));
}

TEST(Agents, NoOwnerMeansNoAgents)
{
    TempStore temp;
    obx::Box<User>(temp.store()).put(User());
    // Parent 0 would otherwise list every owner of the store.
    EXPECT_TRUE(repo().getAgentList(-1).isEmpty());
    EXPECT_EQ(repo().getAgentsCount(-1), 0);
}

TEST(Agents, RemovedAgentInABatchIsDeleted)
{
    TempStore temp;
    const User owner = temp.addOwner("O");
    const User a1 = temp.addAgent(owner, "a1", false);
    repo().saveUsers(QJsonArray{object(R"({"_id":"a1","user_ref":"O","status":{"type":5}})")});
    EXPECT_FALSE(obx::Box<User>(temp.store()).get(a1.id));
}
