// Districts, hashtags, file activities and notes: batch saves keyed by server id, look-ups,
// a file's hashtag list and the notes of the person working.

#include "repositories/gactivity.h"
#include "repositories/gdistrict.h"
#include "repositories/ghashtag.h"
#include "repositories/gnote.h"
#include "store/file.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QJsonArray list(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).array();
}

QJsonObject item(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

uint64_t stampOf(obx::Store &store, obx_id owner)
{
    return obx::Box<User>(store).get(owner)->updated_date;
}

} // namespace

TEST(DistrictSave, MixedBatchReplacesByServerIdAndStampsOnlyAboveZero)
{
    TempStore temp;
    const User owner = temp.addOwner("A");
    GDistrict(sharedSnapshot()).saveDistricts(list(R"([{"_id":"d1","title":"Niavaran","user_ref":"A"},
        {"_id":"d2","title":"Tajrish","user_ref":"A"}, {"title":"no id","user_ref":"A"}])"), 0);
    EXPECT_EQ(stampOf(temp.store(), owner.id), 0u);

    // d1 changed owner, d3 is new and repeated by its push, d2 dies, and a "die" without an id
    // must not take the row that has none.
    GDistrict(sharedSnapshot()).saveDistricts(list(R"([{"_id":"d1","title":"Niavaran 2","user_ref":"B"},
        {"_id":"d3","title":"Zafar","user_ref":"A"}, {"_id":"d2","die":true}, {"die":true},
        {"_id":"d3","title":"Zafar","user_ref":"A"}])"), 1700);
    const auto rows = obx::Box<District>(temp.store()).getAll();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->id, 1u);
    EXPECT_EQ(rows[0]->title, "Niavaran 2");
    EXPECT_EQ(rows[0]->user_id, "B");
    EXPECT_EQ(rows[1]->title, "no id");
    EXPECT_EQ(rows[2]->server_id, "d3");
    EXPECT_EQ(stampOf(temp.store(), owner.id), 1700u);
    EXPECT_TRUE(GDistrict(sharedSnapshot()).saveDistrict(item(R"({"_id":"d3","title":"Z","user_ref":"A"})"), false));
    EXPECT_EQ(obx::Box<District>(temp.store()).count(), 3u);
}

TEST(DistrictLookup, ListsAndErrors)
{
    TempStore temp;
    temp.addOwner("A");
    GDistrict db(sharedSnapshot());
    db.saveDistricts(list(R"([{"_id":"d1","title":"Vanak","user_ref":"A"},{"_id":"d2","title":"Pasdaran","user_ref":"B"}])"));
    EXPECT_EQ(db.getDistricts(), list(R"([{"id":1,"_id":"d1","user_id":"A","title":"Vanak"}])"));
    // By local id or server id whatever the owner; by exact title only among the owner's.
    EXPECT_EQ(db.getSingleDistrict("", 2)["_id"], "d2");
    EXPECT_EQ(db.getSingleDistrict("d2", -1)["title"], "Pasdaran");
    const QJsonObject missing{{"error", "no district was found for that query!"}};
    EXPECT_EQ(db.getSingleDistrict("", 9), missing);
    EXPECT_EQ(db.findDistrict("Vanak")["_id"], "d1");
    EXPECT_EQ(db.findDistrict("Pasdaran"), missing);
    EXPECT_EQ(db.findDistrict("vanak"), missing);
}

TEST(HashtagSave, FileListChangesAreIdempotent)
{
    TempStore temp;
    temp.addOwner("A");
    GHashtag db(sharedSnapshot());
    db.saveHashtags(list(R"([{"_id":"h1","title":"sea","user_ref":"A"},{"_id":"h1","title":"sea view","user_ref":"A"}])"));
    EXPECT_EQ(db.getHashTags(), list(R"([{"id":1,"_id":"h1","user_id":"A","title":"sea view"}])"));
    EXPECT_EQ(db.getSingleHashTag("h2", -1), (QJsonObject{{"error", "no hashtags was found for that query!"}}));

    File file;
    file.server_id = "f1";
    file.hashtags = {"h1", "h2"};
    obx::Box<File>(temp.store()).put(file);
    EXPECT_FALSE(db.saveFileHashTags(item(R"({"file_id":"nope","success_add":["h9"]})"), 5));
    // Removed and added again: once, at the end; a replayed add does not duplicate.
    EXPECT_TRUE(db.saveFileHashTags(item(R"({"file_id":"f1","success_remove":["h1"],"success_add":["h1","h3"]})"), -1));
    EXPECT_TRUE(db.saveFileHashTags(item(R"({"file_id":"f1","success_add":["h3","h2"]})"), -1));
    EXPECT_EQ(db.getHashtagFileList("f1"), list(R"([{"hashtag_id":"h2"},{"hashtag_id":"h1"},{"hashtag_id":"h3"}])"));
    EXPECT_EQ(db.getHashtagFileList("nope"), QJsonArray());
}

TEST(ActivitySave, RepeatedCreateReplacesWithItsOwnFields)
{
    TempStore temp;
    const User owner = temp.addOwner("A");
    GActivity db(sharedSnapshot());
    db.saveActivities(list(R"([{"_id":"a1","user_ref":"u1","file_ref":"f1","type":2,"message":"called",
        "date":1700000000123,"media_links":["x.jpg"]}, {"_id":"a2","file_ref":"f2"}, {"_id":"a2","die":true}])"), 0);
    EXPECT_EQ(db.getActivities("f1"), list(R"([{"id":1,"_id":"a1","user_id":"u1","file_id":"f1","type":2,
        "message":"called","date":1700000000123,"media_links":["x.jpg"]}])"));
    EXPECT_EQ(db.getActivities("f2"), QJsonArray());
    EXPECT_TRUE(db.saveActivity(item(R"({"_id":"a1","user_ref":"u2","file_ref":"f1"})"), false, 42));
    EXPECT_EQ(db.getActivities("f1"), list(R"([{"id":1,"_id":"a1","user_id":"u2","file_id":"f1","type":0,
        "message":"","date":0,"media_links":[]}])"));
    EXPECT_EQ(stampOf(temp.store(), owner.id), 42u);
}

TEST(Notes, EachPersonSeesOwnNotesAndTodaysCountIncludesBothEnds)
{
    TempStore temp;
    const User owner = temp.addOwner("A");
    GNote(sharedSnapshot()).saveNotes(list(R"([{"_id":"n1","user_ref":"A","title":"early","date":{"alarm":999}},
        {"_id":"n2","user_ref":"A","title":"late","date":{"alarm":2000}}, {"_id":"n3","user_ref":"A","date":{"alarm":1000}},
        {"_id":"n4","user_ref":"A","date":{"alarm":2001}}, {"_id":"n5","user_ref":"G","title":"agent's","date":{"alarm":1500}},
        {"_id":"n6","user_ref":"A","title":"no date"}])"));
    GNote manager(sharedSnapshot());
    QStringList titles;
    for (const QJsonValue &note : manager.getNotes())
        titles << note["title"].toString();
    EXPECT_EQ(titles, (QStringList{"", "late", "", "early", "no date"}));
    EXPECT_EQ(manager.todayNoteCount(1000, 2000), 2);

    temp.addAgent(owner, "G");
    GNote agent(sharedSnapshot());
    EXPECT_EQ(agent.getNotes(), list(R"([{"id":5,"_id":"n5","user_id":"G","title":"agent's","body":"","color":"","date":1500}])"));
    EXPECT_EQ(agent.todayNoteCount(1000, 2000), 1);
    // A create repeated by its push replaces the row instead of failing on the unique id.
    EXPECT_TRUE(agent.saveNote(item(R"({"_id":"n5","user_ref":"G","title":"again"})"), false));
    EXPECT_EQ(agent.getNotes().at(0)["title"], "again");
    EXPECT_EQ(obx::Box<Note>(temp.store()).count(), 6u);
}
