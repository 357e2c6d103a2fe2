// The database object: store set-up and reset, the cached accounts, and the frame every slot
// follows (answers on the GUI thread, failures still answered, reload rules).

#include "repositories/guser.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/sharedstate.h"
#include "tests/repositories/tempstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace UGENERAL;

namespace {

QJsonObject account(const QString &serverId, const QString &name, int type = 100)
{
    return QJsonObject{{"_id", serverId}, {"name_family", name}, {"mobile", "0912"}, {"type", type}};
}

// Waits (running the event loop) until spy has count signals, or a few seconds passed.
bool waitFor(QSignalSpy &spy, int count = 1)
{
    for (int i = 0; i < 100 && spy.count() < count; ++i)
        spy.wait(50);
    return spy.count() >= count;
}

} // namespace

TEST(StoreSetup, DirectoryRuleForBothKindsOfBase)
{
    QTemporaryDir tmp;
    const QString lower = tmp.path() + "/x/tavorlin";
    QDir().mkpath(lower);
    EXPECT_EQ(GDatabase::databasePathFor(lower), (lower + "/database/v1").toStdString());
    EXPECT_TRUE(QDir(lower + "/database/v1").exists());

    const QString upper = tmp.path() + "/y/Tavorlin";
    QDir().mkpath(upper);
    EXPECT_EQ(GDatabase::databasePathFor(upper), (upper + "/Tavorlin/tavorlin/database/v1").toStdString());
    EXPECT_TRUE(QDir(upper + "/Tavorlin/tavorlin/database/v1").exists());
}

TEST(StoreSetup, CloseResetAndReload)
{
    TempStore temp;
    GDatabase db;
    const User owner = temp.addOwner("owner-1");
    db.initial();
    EXPECT_EQ(sharedSnapshot().user.id, owner.id);
    EXPECT_TRUE(db.isOpen());

    db.closeDatabase();
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(sharedSnapshot().user.id, 0u);
    // A repository asked for while the store is closed fails cleanly.
    EXPECT_THROW(GDatabase::getUserDb(), obx::DbException);
    EXPECT_TRUE(db.currentUser().isEmpty());

    db.removeDb();
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(sharedStoreDirectory(), temp.directory());
    EXPECT_EQ(obx::Box<User>(temp.store()).count(), 0u);
    EXPECT_EQ(sharedSnapshot().user.id, 0u);
}

TEST(StoreSetup, ResetForgetsTheCachedAccount)
{
    TempStore temp;
    GDatabase db;
    temp.addOwner("owner-1");
    db.initial();
    db.removeDb();
    // Otherwise every write would stamp a row of the deleted store.
    EXPECT_EQ(sharedSnapshot().user.id, 0u);
    EXPECT_EQ(sharedSnapshot().agent.id, 0u);
}

TEST(StoreSetup, InitialFollowsTheCurrentRow)
{
    TempStore temp;
    GDatabase db;
    db.initial();
    EXPECT_EQ(sharedSnapshot().user.id, 0u);

    // A current agent whose manager row is gone: the agent is cached, the owner is empty.
    User agent;
    agent.server_id = "agent-1";
    agent.parent_id = 999;
    agent.current = true;
    agent.logged_in = true;
    obx::Box<User>(temp.store()).put(agent);
    db.initial();
    EXPECT_EQ(sharedSnapshot().agent.id, agent.id);
    EXPECT_EQ(sharedSnapshot().user.id, 0u);
}

TEST(Frame, PoolAnswersArriveOnTheGuiThread)
{
    TempStore temp;
    GDatabase db;
    const User owner = temp.addOwner("owner-1");
    temp.addAgent(owner, "agent-1", false);
    db.initial();

    QThread *answeredOn = nullptr;
    QJsonArray answer;
    QObject receiver;
    QObject::connect(&db, &GDatabase::agentListReady, &receiver, [&](QJsonArray agents) {
        answeredOn = QThread::currentThread();
        answer = agents;
    });
    QSignalSpy spy(&db, &GDatabase::agentListReady);
    db.getAgents();
    ASSERT_TRUE(waitFor(spy));
    QCoreApplication::processEvents();
    EXPECT_EQ(answeredOn, QThread::currentThread());
    ASSERT_EQ(answer.size(), 1);
    EXPECT_EQ(answer.at(0).toObject().value("_id").toString(), "agent-1");
}

TEST(Frame, FailingTasksStillAnswer)
{
    TempStore temp;
    GDatabase db;
    db.closeDatabase();

    QSignalSpy errors(&db, &GDatabase::error);
    QSignalSpy agents(&db, &GDatabase::agentListReady);
    QSignalSpy users(&db, &GDatabase::usersSaved);
    db.getAgents();
    db.initialSaveUsers(QJsonArray{account("a", "A")});
    ASSERT_TRUE(waitFor(agents));
    ASSERT_TRUE(waitFor(users));
    EXPECT_TRUE(agents.at(0).at(0).toJsonArray().isEmpty());
    ASSERT_GE(errors.count(), 2);
    // The two tasks run side by side; each names its own slot.
    QStringList failed;
    for (const QList<QVariant> &e : errors)
        failed << e.at(1).toString();
    EXPECT_TRUE(failed.contains("getAgents")) << failed.join(",").toStdString();
    EXPECT_TRUE(failed.contains("saveUsers")) << failed.join(",").toStdString();

    // The incremental saves answer on the calling thread whatever the save did.
    db.initialUpdateSaveUsers(QJsonArray{account("a", "A")});
    EXPECT_EQ(users.count(), 2);
    db.removeDb();
}

TEST(Frame, SynchronousListSlotsEmitBeforeReturning)
{
    TempStore temp;
    GDatabase db;
    QSignalSpy notes(&db, &GDatabase::noteListReady);
    QSignalSpy shelves(&db, &GDatabase::shelvesListReady);
    db.getNotes();
    db.getShelvesList();
    EXPECT_EQ(notes.count(), 1);
    EXPECT_EQ(shelves.count(), 1);
    EXPECT_TRUE(db.deleteAllTables());
    EXPECT_TRUE(db.getUpdateSuccessful(5));
}

TEST(Frame, SavingTheCachedAccountReloadsIt)
{
    TempStore temp;
    GDatabase db;
    const int ownerId = db.saveUser(account("owner-1", "first"), true);
    db.initial();
    ASSERT_EQ(int(sharedSnapshot().user.id), ownerId);

    // Another account: the cache stays as it was.
    db.saveUser(account("other", "someone"));
    EXPECT_EQ(sharedSnapshot().user.name_family, "first");

    // The cached account itself: later repositories see the new values.
    EXPECT_EQ(db.saveUser(account("owner-1", "renamed")), ownerId);
    EXPECT_EQ(sharedSnapshot().user.name_family, "renamed");

    db.saveUsers(QJsonArray{account("owner-1", "batch")});
    EXPECT_EQ(sharedSnapshot().user.name_family, "batch");
}

TEST(Frame, EveryRepositorySeesOneConsistentAccount)
{
    TempStore temp;
    GDatabase db;
    const User ownerA = temp.addOwner("A");
    const User ownerB = temp.addOwner("B");
    const User agentA = temp.addAgent(ownerA, "a1", false);
    const User agentB = temp.addAgent(ownerB, "b1", false);
    temp.addAgent(ownerA, "a2", false);

    std::atomic<bool> stop{false};
    std::atomic<int> mismatches{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            while (!stop) {
                const SharedSnapshot s = sharedSnapshot();
                if (s.agent.id != 0 && s.agent.parent_id != s.user.id)
                    ++mismatches;
                ++reads;
            }
        });

    QSignalSpy answers(&db, &GDatabase::agentListReady);
    for (int i = 0; i < 200; ++i) {
        db.changeCurrentUser(int(i % 2 ? agentA.id : agentB.id));
        db.initial();
        if (i % 10 == 0)
            db.getAgents();
    }
    ASSERT_TRUE(waitFor(answers, 20));
    stop = true;
    for (std::thread &t : readers)
        t.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(reads, 0);
    // Each answer lists the agents of one owner, never a mix.
    for (const QList<QVariant> &answer : answers) {
        const QJsonArray list = answer.at(0).toJsonArray();
        EXPECT_TRUE(list.size() == 2 || list.size() == 1) << list.size();
    }
}

// The files revision moves with every committed write of files or their rows, whichever slot and
// thread wrote; a burst of writes reaches the GUI thread as one filesChanged.
// The names files show move it too; the owner's last-update stamp alone (as a note write leaves it)
// and a rolled-back write do not.
TEST(Frame, FilesRevisionFollowsEveryWriteOfFiles)
{
    TempStore temp;
    GDatabase db;
    temp.addOwner("O");
    const QJsonArray files{QJsonObject{{"_id", "F"}, {"user_ref", "O"}, {"code", QJsonObject{{"auto", 7}}}}};
    const std::pair<std::function<void()>, bool> writers[] = {
        {[&] { db.saveFiles(files); }, true},
        {[&] { db.fileSeen(7); }, false}, // saved seen: a mark the file already has
        {[&] { db.fileUnSeen(7); }, true},
        {[&] { db.saveActivity(QJsonObject{{"_id", "A"}, {"file_ref", "F"}}); }, true},
        {[&] { db.savefileMatchTag("F", "R", 1); }, true},
        {[&] { for (int i = 0; i < 5; ++i) db.initialSaveFiles(files); db.waitForTasks(); }, true},
        {[&] { db.saveDistricts(QJsonArray{QJsonObject{{"_id", "D"}}}); }, true},
        {[&] { db.saveHashtags(QJsonArray{QJsonObject{{"_id", "H"}}}); }, true},
        {[&] { db.saveContacts(QJsonArray{QJsonObject{{"_id", "C"}}}); }, true},
        {[&] { db.saveUsers(QJsonArray{account("a1", "renamed", 0)}); }, true},
        {[&] { db.saveNotes(QJsonArray{QJsonObject{{"_id", "N"}}}, 9); }, false},
        {[&] { db.archiveFile("nope", 9); }, false},
        {[&] { obx::Transaction tx = sharedStore()->txWrite(); obx::Box<File>(*sharedStore()).put(File()); }, false},
    };
    QSignalSpy changed(&db, &GDatabase::filesChanged);
    for (std::size_t i = 0; i < std::size(writers); ++i) {
        const int before = db.filesRevision();
        writers[i].first();
        EXPECT_EQ(db.filesRevision() != before, writers[i].second) << i;
        QCoreApplication::processEvents();
        EXPECT_EQ(changed.count(), writers[i].second ? 1 : 0) << i;
        changed.clear();
    }
}
