// The database object's own store slots: cities, scroll positions and the clearing of the
// owner's data before a fresh download.

#include "store/city.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/file.h"
#include "store/fileactivity.h"
#include "store/gdatabase.h"
#include "store/hashtag.h"
#include "store/note.h"
#include "store/scroll.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "tests/repositories/tempstore.h"

#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <mutex>
#include <set>

using namespace UGENERAL;

namespace {

using Ids = std::set<std::string>;

// The signals of the pool tasks in the order they were emitted.
struct Answers
{
    explicit Answers(GDatabase &db)
    {
        QObject::connect(&db, &GDatabase::error, &db, [this](QString, QString slot) { add("error:" + slot); }, Qt::DirectConnection);
        QObject::connect(&db, &GDatabase::userDataCleared, &db, [this] { add("cleared"); }, Qt::DirectConnection);
        QObject::connect(&db, &GDatabase::cityListReady, &db, [this](QJsonArray list) { cities = list; add("cities"); }, Qt::DirectConnection);
    }
    void add(const QString &name)
    {
        std::lock_guard<std::mutex> lock(mutex);
        order.push_back(name);
    }
    std::mutex mutex;
    QStringList order;
    QJsonArray cities;
};

template <class T> void put(obx::Store &store, const std::string &serverId, const std::string &userId)
{
    T row;
    row.server_id = serverId;
    row.user_id = userId;
    obx::Box<T>(store).put(row);
}

template <class T> Ids serverIds(obx::Store &store)
{
    Ids ids;
    for (const auto &row : obx::Box<T>(store).getAll())
        ids.insert(row->server_id);
    return ids;
}

// Two agencies on one device; A works through its logged-in agent G, H is A's other agent.
struct TwoOwners
{
    explicit TwoOwners(TempStore &temp) : store(temp.store())
    {
        b = temp.addOwner("B");
        a = temp.addOwner("A");
        temp.addAgent(a, "H", false);
        temp.addAgent(b, "K", false);
        agent = temp.addAgent(a, "G");
        for (const User *owner : {&a, &b}) {
            const std::string tag = owner->server_id;
            Contact contact;
            contact.server_id = "contact-" + tag;
            contact.user_id = owner->id;
            obx::Box<Contact>(store).put(contact);
            put<District>(store, "district-" + tag, tag);
            put<HashTag>(store, "hashtag-" + tag, tag);
            put<Tavorlin>(store, "board-" + tag, tag);
            put<Shelves>(store, "shelf-" + tag, tag);
            put<Note>(store, "note-" + tag, tag);
            put<File>(store, "file-" + tag, tag);
        }
        put<Note>(store, "note-G", "G");
        obx::Box<City>(store).put(City{});
        obx::Box<Scroll>(store).put(Scroll{});
    }
    obx::Store &store;
    User a, b, agent;
};

// Sets the FlatBuffers length word before every copy of text in the file to 0xFFFFFFFF, so the
// row holding it no longer verifies; answers how many copies there were.
int damageText(const std::string &path, const char *text)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadWrite))
        return 0;
    QByteArray bytes = file.readAll();
    int found = 0;
    for (int at = bytes.indexOf(text); at >= 4; at = bytes.indexOf(text, at + 1), ++found)
        bytes.replace(at - 4, 4, QByteArray(4, char(0xff)));
    file.seek(0);
    file.write(bytes);
    return found;
}

} // namespace

TEST(OwnSlots, CitiesOncePerServerIdAndScrollOneRowPerList)
{
    TempStore temp;
    GDatabase db;
    Answers answers(db);
    db.saveCities(QJsonDocument::fromJson(R"([{"_id":"p1","name":"Tehran province"}, 7,
        {"_id":"c1","name":"Tehran","province_ref":"p1","version":3}, {"_id":"c2","name":"Karaj","province_ref":""},
        {"_id":"c1","name":"Tehran!","province_ref":"p1"}])").array());
    db.waitForTasks();
    db.getCities();
    db.waitForTasks();
    EXPECT_EQ(answers.cities, QJsonDocument::fromJson(R"([{"id":1,"_id":"c1","title":"Tehran!","province_id":""}])").array());

    EXPECT_EQ(db.getScrollPosition(7, 2), (QJsonObject{{"id", 0}, {"entitiy_id", 7}, {"entity_type", 2}, {"position", 0}}));
    db.saveScrollPosition(7, 2, 120);
    db.saveScrollPosition(7, 2, 340);
    db.saveScrollPosition(7, 3, 15, 0);
    db.saveScrollPosition(7, 2, 500, db.getScrollPosition(7, 2)["id"].toInt());
    EXPECT_EQ(db.getScrollPosition(7, 2)["position"], 500);
    EXPECT_EQ(db.getScrollPosition(7, 3)["position"], 15);
    EXPECT_EQ(obx::Box<Scroll>(temp.store()).count(), 2u);

    // A list read on a closed store still answers, after the error.
    closeSharedStore();
    db.getCities();
    db.waitForTasks();
    EXPECT_EQ(answers.order, (QStringList{"cities", "error:getCities", "cities"}));
    EXPECT_EQ(answers.cities, QJsonArray());
}

TEST(ClearUserData, RemovesExactlyTheOwnersRows)
{
    TempStore temp;
    TwoOwners rows(temp);
    GDatabase db;
    Answers answers(db);
    db.clearUserData();
    db.waitForTasks();
    EXPECT_EQ(answers.order, QStringList{"cleared"});
    EXPECT_EQ(serverIds<User>(rows.store), (Ids{"A", "B", "G", "K"}));
    EXPECT_EQ(serverIds<Contact>(rows.store), Ids{"contact-B"});
    EXPECT_EQ(serverIds<District>(rows.store), Ids{"district-B"});
    EXPECT_EQ(serverIds<HashTag>(rows.store), Ids{"hashtag-B"});
    EXPECT_EQ(serverIds<Tavorlin>(rows.store), Ids{"board-B"});
    EXPECT_EQ(serverIds<Shelves>(rows.store), Ids{"shelf-B"});
    // The agent is working, so its notes go and the owner's stay.
    EXPECT_EQ(serverIds<Note>(rows.store), (Ids{"note-A", "note-B"}));
    EXPECT_EQ(obx::Box<City>(rows.store).count() + obx::Box<Scroll>(rows.store).count(), 2u);

    // Without a cached owner nothing is removed, and the dialog is still answered.
    setSharedUsers(nullptr, nullptr);
    db.clearUserData();
    db.waitForTasks();
    EXPECT_EQ(answers.order, (QStringList{"cleared", "cleared"}));
    EXPECT_EQ(obx::Box<Note>(rows.store).count(), 2u);
}

TEST(ClearUserData, DeletesTheOwnersFilesWithTheirActivities)
{
    TempStore temp;
    TwoOwners rows(temp);
    FileActivity child;
    child.file_id = "file-A";
    obx::Box<FileActivity>(rows.store).put(child);
    GDatabase db;
    db.clearUserData();
    db.waitForTasks();
    EXPECT_EQ(serverIds<File>(rows.store), Ids{"file-B"});
    EXPECT_EQ(obx::Box<FileActivity>(rows.store).count(), 0u);
}

TEST(ClearUserData, FailureRollsBackWholeAndStillAnswers)
{
    TempStore temp;
    const SharedSnapshot cached = [&] {
        TwoOwners rows(temp);
        // Damaged on disk, A's file fails the last step after every other removal has run.
        File damaged = *obx::Box<File>(rows.store).query(File_::server_id.equals("file-A")).build().findFirst();
        damaged.description = "damaged-row-marker-5f1c0e7a";
        obx::Box<File>(rows.store).put(damaged);
        return sharedSnapshot();
    }();
    closeSharedStore();
    ASSERT_GT(damageText(temp.directory() + "/data.mdb", "damaged-row-marker-5f1c0e7a"), 0);
    openSharedStore(temp.directory());
    setSharedUsers(std::make_unique<User>(cached.user), std::make_unique<User>(cached.agent));

    GDatabase db;
    Answers answers(db);
    db.clearUserData();
    db.waitForTasks();
    EXPECT_EQ(answers.order, (QStringList{"error:clearUserData", "cleared"}));
    EXPECT_EQ(serverIds<User>(temp.store()), (Ids{"A", "B", "G", "H", "K"}));
    EXPECT_EQ(serverIds<Contact>(temp.store()).size(), 2u);
    EXPECT_EQ(serverIds<Note>(temp.store()).size(), 3u);
    EXPECT_EQ(obx::Box<Shelves>(temp.store()).count(), 2u);
}
