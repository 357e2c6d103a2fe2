// The file JSON at summary and full level, and the file slots' threads and signals.

#include "repositories/gfile.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/fileactivity.h"
#include "store/filematchtag.h"
#include "store/gdatabase.h"
#include "store/togglefield.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QJsonArray array(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).array();
}

GFile repo()
{
    return GFile(sharedSnapshot());
}

class FileJson : public testing::Test
{
protected:
    void SetUp() override
    {
        owner = temp.addOwner("O");
        ToggleField sale;
        sale.parent_key = "trade";
        sale.key = 1;
        sale.title = "فروش";
        obx::Box<ToggleField>(temp.store()).put(sale);
        Contact contact;
        contact.server_id = "C1";
        contact.name_family = "Reza";
        contact.type = {"1", "5"};
        obx::Box<Contact>(temp.store()).put(contact);
        District district;
        district.server_id = "D1";
        district.title = "X";
        obx::Box<District>(temp.store()).put(district);
    }

    void save(const char *json) { repo().saveFiles(array(json), -1); }

    void activity(const std::string &fileId, const std::string &author)
    {
        FileActivity a;
        a.file_id = fileId;
        a.user_id = author;
        obx::Box<FileActivity>(temp.store()).put(a);
    }

    void user(const std::string &serverId, const std::string &image)
    {
        User u;
        u.server_id = serverId;
        u.image = image;
        u.parent_id = owner.id;
        obx::Box<User>(temp.store()).put(u);
    }

    TempStore temp;
    User owner;
};

TEST_F(FileJson, FullAndSummaryLevels)
{
    user("AG", "ag.png");
    save(R"([{"_id":"F","user_ref":"O","agent_ref":"AG","customer_ref":"C1","guard":"C1","trade_ref":9,
        "code":{"auto":4,"manual":"m"},"info":{"desc":"d","address":"a"},"meter":{"building":3},
        "tenant":{"name":"t","phone":"p"},"joints":[1],"wall":[2],"district":["D1","gone"],"hashtag":["H"],
        "tag_file":[{"file_ref":"R","status":2}]}])");

    const QJsonObject full = repo().getFile("F");
    EXPECT_EQ(full.value("trade_name").toString(), "بایگانی فروش");
    EXPECT_TRUE(full.value("is_archive").toBool());
    EXPECT_FALSE(full.contains("match"));
    EXPECT_EQ(full.value("file_tag").toArray(), array(R"([{"file_id":"R","status":2}])"));
    EXPECT_EQ(full.value("customer_ref").toString(), "C1");
    EXPECT_EQ(full.value("customer").toObject().value("type").toArray(), array("[1,5]"));
    EXPECT_EQ(full.value("_guard").toObject().value("name_family").toString(), "Reza");
    EXPECT_EQ(full.value("agent").toObject().value("image").toString(), "ag.png");
    EXPECT_EQ(full.value("tenant").toObject().value("name").toString(), "t");
    EXPECT_EQ(full.value("wall").toString(), "2,");
    EXPECT_EQ(full.value("districts").toArray(), array(R"(["D1"])"));
    EXPECT_EQ(full.value("district").toArray().at(0).toObject().value("title").toString(), "X");
    EXPECT_EQ(full.value("hashtags").toArray().size(), 0); // no stored hashtag "H"
    EXPECT_EQ(full.value("meter").toObject().value("building").toDouble(), 3.0);
    EXPECT_EQ(full.value("info").toObject().value("desc").toString(), "d");
    EXPECT_EQ(full.value("code").toObject().value("manual").toString(), "m");

    const QJsonObject summary = repo().getFiles(-1, -1, QJsonArray(), "", "", 1, "", "").at(0).toObject();
    for (const char *key : {"trade_name", "guard", "_guard", "tenant", "hashtag", "wall"})
        EXPECT_FALSE(summary.contains(key)) << key;
    EXPECT_EQ(summary.value("joints").toString(), "1,");
    EXPECT_EQ(summary.value("condition").toString(), "");
    EXPECT_FALSE(summary.value("info").toObject().contains("desc"));
    EXPECT_FALSE(summary.value("code").toObject().contains("manual"));
    EXPECT_FALSE(summary.value("meter").toObject().contains("building"));
    EXPECT_TRUE(summary.contains("agent"));
}

TEST_F(FileJson, PartsAskedForAreThoseOfTheWholeJsonByIdInPageOrder)
{
    user("AG", "ag.png");
    save(R"([{"_id":"F","user_ref":"O","agent_ref":"AG","customer_ref":"C1","guard":"C1","trade_ref":9,
        "info":{"desc":"d","address":"a"},"joints":[1],"wall":[2],"district":["D1","gone"]},
        {"_id":"G","user_ref":"O","customer_ref":"C1","trade_ref":1,"joints":[3],"price":{"price_2":5}},
        {"_id":"H","user_ref":"O","type":5}])");
    const QJsonArray whole = repo().getFilesByProperty("O", 0, 1, "");
    const QVector<qint64> ids = repo().getFileIdsByProperty("O", 0, "");
    ASSERT_EQ(ids.size(), 2);
    ASSERT_EQ(whole.size(), 2);
    for (int i = 0; i < ids.size(); ++i)
        EXPECT_EQ(whole.at(i).toObject().value("id").toInt(), ids[i]);

    const QSet<QString> sets[] = {{"customer", "wall", "district", "info", "code", "trade_name", "price"},
                                  {"customer_ref", "_guard", "districts", "joints", "agent", "match", "id", "file_tag"},
                                  {"no such part"}};
    for (const QSet<QString> &keys : sets) {
        // An id no longer stored is left out.
        const QJsonArray parts = repo().getFilesByIds(ids + QVector<qint64>{9999}, keys);
        ASSERT_EQ(parts.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QJsonObject expected;
            for (const QString &key : keys)
                if (whole.at(i).toObject().contains(key))
                    expected.insert(key, whole.at(i).toObject().value(key));
            EXPECT_EQ(parts.at(i).toObject(), expected) << QStringList(keys.values()).join(',').toStdString();
        }
    }
}

TEST_F(FileJson, NoCustomerNoTogglesAndTheViewersPin)
{
    save(R"([{"_id":"F","user_ref":"O","trade_ref":1,"pins":["O"]}])");
    QJsonObject json = repo().getFile("F");
    EXPECT_EQ(json.value("customer").toObject(), QJsonObject());
    EXPECT_EQ(json.value("customer_ref").toString(), "");
    EXPECT_FALSE(json.contains("joints"));
    EXPECT_TRUE(json.value("status").toObject().value("pin").toBool());
    temp.addAgent(owner, "AG");
    EXPECT_FALSE(repo().getFile("F").value("status").toObject().value("pin").toBool());
}

TEST_F(FileJson, MatchCountRangeBoundaries)
{
    save(R"([{"_id":"rent","user_ref":"O","trade_ref":2,"type":1,"price":{"price_1":0,"price_2":1000}},
        {"_id":"a","user_ref":"O","trade_ref":6,"type":1,"price":{"price_2":899}},
        {"_id":"b","user_ref":"O","trade_ref":6,"type":1,"price":{"price_2":900}},
        {"_id":"c","user_ref":"O","trade_ref":6,"type":1,"price":{"price_2":1100}},
        {"_id":"d","user_ref":"O","trade_ref":6,"type":1,"price":{"price_2":1101}},
        {"_id":"e","user_ref":"O","trade_ref":6,"type":2,"price":{"price_2":1000}},
        {"_id":"f","user_ref":"O","trade_ref":6,"type":1,"price":{"price_2":1000},"status":{"delete":true}},
        {"_id":"sale","user_ref":"O","trade_ref":1,"type":1,"price":{"price_2":2000}},
        {"_id":"buy","user_ref":"O","trade_ref":5,"type":1,"price":{"price_2":2200}},
        {"_id":"buy2","user_ref":"O","trade_ref":5,"type":1,"price":{"price_2":1799}}])");
    EXPECT_EQ(repo().getFile("rent").value("match").toInt(), 2);
    EXPECT_EQ(repo().getFile("sale").value("match").toInt(), 1);
    EXPECT_EQ(repo().getFile("buy").value("match").toInt(), 1);
}

TEST_F(FileJson, ActivityImagesOfDistinctAuthors)
{
    save(R"([{"_id":"F","user_ref":"O"},{"_id":"G","user_ref":"O"}])");
    for (const char *id : {"u1", "u2", "u3", "u4"})
        user(id, std::string(id) + ".png");
    activity("F", "u1");
    activity("F", "u1");
    activity("F", "nobody");
    activity("G", "u1");
    activity("G", "u2");
    activity("G", "u3");
    activity("G", "u4");
    const QJsonObject f = repo().getFile("F");
    EXPECT_EQ(f.value("activity_count").toInt(), 3);
    EXPECT_EQ(f.value("activity_images").toArray(), array(R"([{"path":"u1.png"}])"));
    EXPECT_EQ(repo().getFile("G").value("activity_images").toArray(),
              array(R"([{"path":"u1.png"},{"path":"u2.png"},{"path":"u3.png"}])"));
}

TEST(FileSlots, ThreadsAndSignals)
{
    TempStore temp;
    temp.addOwner("O");
    GDatabase database;
    QSignalSpy saved(&database, &GDatabase::filesSaved);
    QSignalSpy listed(&database, &GDatabase::fileListReady);

    database.initialUpdateSaveFiles(array(R"([{"_id":"A","user_ref":"O"}])"));
    EXPECT_EQ(saved.count(), 1); // before it returns
    database.initialSaveFiles(array(R"([{"_id":"B","user_ref":"O"}])"));
    ASSERT_TRUE(saved.count() == 2 || saved.wait(5000));

    database.getFiles(-1, -1, QJsonArray(), "", "", 0, "");
    ASSERT_TRUE(listed.count() > 0 || listed.wait(5000)); // the pool may answer before the wait starts
    EXPECT_EQ(listed.at(0).at(0).toJsonArray().size(), 2);

    EXPECT_TRUE(database.pinFile("A"));
    EXPECT_TRUE(database.deleteFile("A"));
    EXPECT_EQ(database.getFilesCount(), 1);
    EXPECT_EQ(database.getFilesByProperty("O", 0).size(), 1);
}

} // namespace
