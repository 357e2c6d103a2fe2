// The file filter query, lists with order and paging, look-ups and counts.

#include "repositories/gfile.h"
#include "store/fileinfo.h"
#include "store/filetoggle.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace UGENERAL;

namespace {

const std::string kSep = "#,#,#,#";

QJsonArray array(const std::string &json)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).array();
}

// One filter item with string bounds.
std::string item(const std::string &key, const std::string &first, const std::string &second = "")
{
    return R"({"key":")" + key + R"(","value":{"value_1":")" + first + R"(","value_2":")" + second + R"("}})";
}

GFile repo()
{
    return GFile(sharedSnapshot());
}

// Stores a live file of the owner "O" with an all-zero info row, after edit adjusts it.
void seed(obx::Store &store, const std::string &id, const std::function<void(File &, FileInfo &)> &edit = {},
          const std::string &joints = "")
{
    File file;
    file.server_id = id;
    file.user_id = "O";
    file.trade_type = 1;
    file.property_type = 1;
    file.date = 1000000;
    file.seen = true;
    file.synced = true;
    FileInfo info;
    info.file_id = id;
    if (edit)
        edit(file, info);
    file.info_id = obx::Box<FileInfo>(store).put(info);
    if (!joints.empty()) {
        FileToggle toggle;
        toggle.file_id = id;
        toggle.joints = joints;
        file.toggle_id = obx::Box<FileToggle>(store).put(toggle);
    }
    obx::Box<File>(store).put(file);
}

std::set<std::string> ids(const QJsonArray &list)
{
    std::set<std::string> result;
    for (const QJsonValue &v : list)
        result.insert(v.toObject().value("_id").toString().toStdString());
    return result;
}

std::vector<std::string> orderedIds(const QJsonArray &list)
{
    std::vector<std::string> result;
    for (const QJsonValue &v : list)
        result.push_back(v.toObject().value("_id").toString().toStdString());
    return result;
}

class FileFilter : public testing::Test
{
protected:
    void SetUp() override
    {
        owner = temp.addOwner("O");
        obx::Store &s = temp.store();
        for (int i = 1; i <= 30; ++i)
            all.insert("f" + std::to_string(i));
        seed(s, "f1", [](File &f, FileInfo &) { f.trade_type = 2; });
        seed(s, "f2", [](File &f, FileInfo &) { f.trade_type = 3; f.property_type = 2; });
        seed(s, "f3", [](File &f, FileInfo &) { f.date = 500; });
        seed(s, "f4", [](File &f, FileInfo &) { f.user_id = "OTHER"; });
        seed(s, "f5", [](File &f, FileInfo &) { f.customer_id = "C1"; });
        seed(s, "f6", [](File &f, FileInfo &) { f.agent_id = "A1"; });
        seed(s, "f7", [](File &f, FileInfo &) { f.districts = {"D1"}; });
        seed(s, "f8", [](File &f, FileInfo &) { f.districts = {"D0", "D2"}; });
        seed(s, "f9", [](File &f, FileInfo &) { f.hashtags = {"H1"}; });
        seed(s, "f10", [](File &f, FileInfo &) { f.deleted = true; });
        seed(s, "f11", [](File &f, FileInfo &) { f.pins = {"O"}; });
        seed(s, "f12", [](File &f, FileInfo &) { f.ad_colleague = true; });
        seed(s, "f13", [](File &f, FileInfo &) { f.auto_code = 777; });
        seed(s, "f14", [](File &f, FileInfo &) { f.manual_code = "M-14"; });
        seed(s, "f15", [](File &f, FileInfo &) { f.room = 3; });
        seed(s, "f16", [](File &, FileInfo &i) { i.floor_one = 4; });
        seed(s, "f17", [](File &, FileInfo &i) { i.unit_one = 6; });
        seed(s, "f18", [](File &, FileInfo &i) { i.build_year = 1399; });
        seed(s, "f19", [](File &, FileInfo &i) { i.floor_space = 85.5f; });
        seed(s, "f20", [](File &, FileInfo &i) { i.num_parking = 2; });
        seed(s, "f21", [](File &f, FileInfo &) { f.area = 120.5f; });
        seed(s, "f22", [](File &f, FileInfo &) { f.price_1 = 1500000; });
        seed(s, "f23", [](File &f, FileInfo &) { f.price_1 = 1499999; });
        seed(s, "f24", {}, "3,17,");
        seed(s, "f25", {}, "7,");
        seed(s, "f26", [](File &f, FileInfo &) { f.lat = 35.7; f.lng = 51.4; });
        seed(s, "f27", [](File &f, FileInfo &) { f.address = "خیابان ولیعصر"; });
        seed(s, "f28", [](File &f, FileInfo &) { f.district_array = "Niavaran" + kSep + "Tajrish" + kSep; });
        seed(s, "f29", [](File &f, FileInfo &) { f.customer_name = "Reza"; });
        seed(s, "f30", [](File &f, FileInfo &) { f.description = "sunny"; f.is_private = true; f.agent_id = "A2"; });
        live = all;
        live.erase("f4");
        live.erase("f10");
    }

    std::set<std::string> run(const std::string &filters, const QString &keyword = QString(), int trade = -1,
                              int property = -1, const QString &userId = QString())
    {
        const QJsonArray items = array("[" + filters + "]");
        const QJsonArray list = repo().getFiles(trade, property, items, "date", "desc", 0, keyword, userId);
        // The board count runs the same query without a keyword.
        if (keyword.isEmpty()) {
            EXPECT_EQ(repo().getFilesCount(trade, property, items, false, userId), list.size()) << filters;
            // The map's markers select exactly what the list does.
            EXPECT_EQ(ids(repo().getMapFiles(trade, property, items, userId)), ids(list)) << filters;
        }
        return ids(list);
    }

    std::set<std::string> without(std::set<std::string> set, std::initializer_list<const char *> out)
    {
        for (const char *id : out)
            set.erase(id);
        return set;
    }

    TempStore temp;
    User owner;
    std::set<std::string> all, live;
};

using Ids = std::set<std::string>;

TEST_F(FileFilter, TypesOwnerAndDeletedMark)
{
    EXPECT_EQ(run(""), live);
    EXPECT_EQ(run("", "", 2), Ids{"f1"});
    EXPECT_EQ(run("", "", 3, 2), Ids{"f2"});
    EXPECT_EQ(run("", "", -1, -1, "OTHER"), Ids{"f4"});
    EXPECT_EQ(run(item("trade_ref", "2", "3")), (Ids{"f1", "f2"}));
    EXPECT_EQ(run(item("ignore_delete", "")), without(all, {"f4"}));
    EXPECT_EQ(run(item("status.delete", "")), Ids{"f10"});
}

TEST_F(FileFilter, TextReferencesAndLists)
{
    EXPECT_EQ(run(item("date", "0", "600.9")), Ids{"f3"});
    EXPECT_EQ(run(item("due", "0", "600")), Ids{"f3"});
    EXPECT_EQ(run(item("customer_ref", "C1")), Ids{"f5"});
    EXPECT_EQ(run(item("agent_ref", "A1")), Ids{"f6"});
    // A number is not a string: it reads as "" and selects the files without an agent.
    EXPECT_EQ(run(R"({"key":"agent_ref","value":{"value_1":5}})"), without(live, {"f6", "f30"}));
    EXPECT_EQ(run(item("district_ref", "D2")), Ids{"f8"});
    EXPECT_EQ(run(item("hashtag_ref", "H1")), Ids{"f9"});
    EXPECT_EQ(run(item("status.pin", "")), Ids{"f11"});
    EXPECT_EQ(run(item("status.ad_colleague", "")), Ids{"f12"});
    EXPECT_EQ(run(item("code.auto", "777")), Ids{"f13"});
    EXPECT_EQ(run(item("code.manual", "M-14")), Ids{"f14"});
    EXPECT_EQ(run(item("foo.bar", "1") + "," + item("nothing", "1")), live);
}

TEST_F(FileFilter, DistrictArray)
{
    EXPECT_EQ(run(item("district_array", kSep + "D1" + kSep + "D2")), (Ids{"f7", "f8"}));
    EXPECT_EQ(run(item("district_array", kSep + "D1" + kSep + kSep + "D2")), (Ids{"f7", "f8"}));
    // One id without a separator adds no condition.
    EXPECT_EQ(run(item("district_array", "D1")), live);
}

TEST_F(FileFilter, RangesOnTheFileAndItsInfoRow)
{
    EXPECT_EQ(run(item("info.room", "2")), Ids{"f15"});
    EXPECT_EQ(run(item("info.floor_one", "4", "4")), Ids{"f16"});
    EXPECT_EQ(run(item("info.unit_one", "5", "7")), Ids{"f17"});
    EXPECT_EQ(run(item("info.build_year", "1399")), Ids{"f18"});
    // Read as whole numbers "85.2" would be 0 and select every all-zero row.
    EXPECT_EQ(run(item("info.floor_space", "85.2", "85.6")), Ids{"f19"});
    EXPECT_EQ(run(item("info.num_parking", "2")), Ids{"f20"});
    EXPECT_EQ(run(item("meter.area", "120.5", "121")), Ids{"f21"});
    EXPECT_EQ(run(item("price.price_1", "1500000.75")), Ids{"f22"});
    EXPECT_EQ(run(item("price.price_1", "", "1499999")), without(live, {"f22"}));
    EXPECT_EQ(run(item("map.lat", "35", "36") + "," + item("map.lng", "51", "52")), Ids{"f26"});
}

TEST_F(FileFilter, ToggleTextIsASubstringTest)
{
    EXPECT_EQ(run(item("joints", "7")), (Ids{"f24", "f25"}));
    EXPECT_EQ(run(item("joints", "17")), Ids{"f24"});
    EXPECT_EQ(run(item("wall", "7")), Ids{});
}

TEST_F(FileFilter, KeywordGroup)
{
    EXPECT_EQ(run(item("quick_search", "ولیعصر")), Ids{"f27"});
    EXPECT_EQ(run("", "Niavaran"), Ids{"f28"});
    EXPECT_EQ(run("", "Tajrish"), Ids{"f28"});
    EXPECT_EQ(run("", "Niava"), Ids{});
    EXPECT_EQ(run("", "Rez"), Ids{"f29"});
    EXPECT_EQ(run("", "sunny"), Ids{"f30"});
    EXPECT_EQ(run("", "777"), Ids{"f13"});
    EXPECT_EQ(run("", "77a"), Ids{});
}

TEST_F(FileFilter, AgentSeesSharedFilesAndHisOwnPrivateOnes)
{
    seed(temp.store(), "p1", [](File &f, FileInfo &) { f.is_private = true; f.agent_id = "A1"; });
    seed(temp.store(), "p2", [](File &f, FileInfo &) { f.is_private = true; f.agent_id = "A1"; f.auto_code = 55; });
    temp.addAgent(owner, "A2");
    EXPECT_EQ(run(""), live); // f30 is his, p1 and p2 are another agent's
    EXPECT_EQ(repo().getFileByCode(55).value("error").toString(), "no file was found for that query!");
    EXPECT_EQ(repo().getFile("p1").value("_id").toString(), "p1"); // a look-up by server id is not restricted

    setSharedUsers(std::make_unique<User>(owner), nullptr);
    EXPECT_EQ(repo().getFileByCode(55).value("_id").toString(), "p2");
    Ids ownerView = live;
    ownerView.insert({"p1", "p2"});
    EXPECT_EQ(run(""), ownerView);
}

// A draft is in no list or count of files; "agent_ref" without an agent, or with the manager's
// own id, is the manager's files: those without an agent and those the manager is agent of.
TEST_F(FileFilter, DraftsAndTheManagersOwnFiles)
{
    seed(temp.store(), "mine", [](File &f, FileInfo &) { f.agent_id = "O"; });
    seed(temp.store(), "", [](File &f, FileInfo &) { f.draft = true; });
    const Ids mine = without(run(""), {"f6", "f30"});
    EXPECT_EQ(mine.count("mine") + mine.count(""), 1u);
    EXPECT_EQ(run(item("agent_ref", "")), mine);
    EXPECT_EQ(run(item("agent_ref", "O")), mine);
}

class FileLists : public testing::Test
{
protected:
    void SetUp() override
    {
        temp.addOwner("O");
        // n1 is the oldest registered, n60 the most recently edited.
        for (int i = 1; i <= 120; ++i)
            seed(temp.store(), "n" + std::to_string(i), [i](File &f, FileInfo &) {
                f.date = uint64_t(1000 + i);
                f.edit_date = uint64_t(i == 60 ? 9999 : i);
                f.price_1 = uint64_t(i % 7);
            });
    }

    std::vector<std::string> page(const char *orderBy, const char *orderType, int page)
    {
        return orderedIds(repo().getFiles(-1, -1, QJsonArray(), orderBy, orderType, page, QString(), QString()));
    }

    TempStore temp;
};

TEST_F(FileLists, PagesOfFifty)
{
    const std::vector<std::string> second = page("date", "asc", 2);
    ASSERT_EQ(second.size(), 50u);
    EXPECT_EQ(second.front(), "n51");
    EXPECT_EQ(second.back(), "n100");
    EXPECT_EQ(page("date", "asc", 3).size(), 20u);
    EXPECT_EQ(page("date", "asc", 0).size(), 120u);
    EXPECT_EQ(page("date", "asc", 4).size(), 0u);
}

TEST_F(FileLists, Orders)
{
    EXPECT_EQ(page("", "asc", 1).front(), "n120");      // newest registered, whatever the direction
    EXPECT_EQ(page("date", "desc", 1).front(), "n120");
    EXPECT_EQ(page("_id", "desc", 1).front(), "n60");    // most recently edited
    EXPECT_EQ(page("unknown", "desc", 1).front(), "n1"); // store order
    // The colleague list never orders.
    EXPECT_EQ(orderedIds(repo().getColleagueFiles(-1, -1, QJsonArray(), "price_1", "desc", 1, "", "")),
              orderedIds(repo().getColleagueFiles(-1, -1, QJsonArray(), "", "", 1, "", "")));
    const std::vector<std::string> byPrice = page("price_1", "desc", 0);
    EXPECT_EQ(byPrice.front(), "n6"); // price 6, the first of its ties in id order
}

TEST_F(FileLists, MapMarkersAreTheWholeListInItsOrder)
{
    seed(temp.store(), "at", [](File &f, FileInfo &) { f.date = 500; f.trade_type = 3; f.lat = 35.75; f.lng = 51.41; });
    const QJsonArray full = repo().getFiles(-1, -1, QJsonArray(), "", "", -1, QString(), QString());
    const QJsonArray markers = repo().getMapFiles(-1, -1, QJsonArray(), QString());
    ASSERT_EQ(markers.size(), 121);
    EXPECT_EQ(orderedIds(markers), orderedIds(full));
    // Only what a marker shows and its click opens, and the same values as the list's.
    const QJsonObject last = markers.last().toObject();
    EXPECT_EQ(last.keys(), (QStringList{"_id", "id", "map", "trade_ref"}));
    for (const char *key : {"id", "_id", "trade_ref", "map"})
        EXPECT_EQ(last.value(key), full.last().toObject().value(key)) << key;
    EXPECT_EQ(last.value("map").toObject(), (QJsonObject{{"lat", 35.75}, {"lng", 51.41}}));
}

TEST_F(FileLists, ExportPagesHoldDeletedFilesToo)
{
    obx::Box<File> files(temp.store());
    std::unique_ptr<File> f = files.query(File_::server_id.equals("n1")).build().findFirst();
    f->deleted = true;
    files.put(*f);
    const QJsonArray first = repo().getFilesByProperty("O", 1, 1, "");
    ASSERT_EQ(first.size(), 100);
    EXPECT_EQ(first.at(0).toObject().value("_id").toString(), "n1");
    EXPECT_EQ(repo().getFilesByProperty("O", 1, 2, "").size(), 20);
    EXPECT_EQ(repo().getFilesByProperty("O", 2, 1, "").size(), 0);
}

TEST(FileCounts, CountersAndLookups)
{
    TempStore temp;
    User owner = temp.addOwner("O");
    const uint64_t now = 100000000000ULL;
    const uint64_t month = 2629743000ULL;
    seed(temp.store(), "old", [&](File &f, FileInfo &) { f.date = now - month - 1; f.seen = false; f.auto_code = 9; });
    seed(temp.store(), "oldAgent", [&](File &f, FileInfo &) { f.date = now - month - 1; f.agent_id = "A1"; });
    seed(temp.store(), "fresh", [&](File &f, FileInfo &) { f.date = now; f.districts = {"D"}; });
    seed(temp.store(), "oldMine", [&](File &f, FileInfo &) { f.date = now - month - 1; f.agent_id = "O"; });
    seed(temp.store(), "due", [&](File &f, FileInfo &) { f.trade_type = 10; f.date = 5000; });
    seed(temp.store(), "unsynced", [&](File &f, FileInfo &) { f.synced = false; f.deleted = true; });
    // Drafts are counted as drafts only.
    seed(temp.store(), "", [&](File &f, FileInfo &) { f.trade_type = 10; f.date = 5000; f.draft = true; });
    seed(temp.store(), "", [&](File &f, FileInfo &) { f.date = now - month - 1; f.draft = true; f.districts = {"D"}; });

    const QJsonArray inD{QJsonObject{{"key", "district_ref"}, {"value", QJsonObject{{"value_1", "D"}}}}};
    EXPECT_EQ(repo().getFilesCountWithDrafts(-1, -1, inD), 2); // a district a file or a draft uses is in use
    EXPECT_EQ(repo().getFilesCount(-1, -1, QJsonArray(), true, ""), 1);  // unseen only
    EXPECT_EQ(repo().getFilesCount(-1, -1, QJsonArray(), false, ""), 5);
    EXPECT_EQ(repo().getFilesCountByUser("", ""), 6);                     // deleted count too
    EXPECT_EQ(repo().getFilesCountByUser("O", "A1"), 1);
    EXPECT_EQ(repo().getOldFilesCount(qlonglong(now)), 2);               // the manager's own only
    EXPECT_EQ(repo().getDueFilesCount("4000", "6000"), 1);
    EXPECT_EQ(repo().getDueFilesCount("6000", "7000"), 0);
    EXPECT_EQ(repo().getOfflineCount(), 2);
    EXPECT_EQ(repo().getDraftFiles().size(), 2);
    EXPECT_EQ(repo().getUnsyncedFiles("").size(), 1);
    EXPECT_GT(repo().getFileLocalId("fresh"), 0);
    EXPECT_EQ(repo().getFileLocalId("nope"), 0);
    EXPECT_EQ(repo().getFile("nope"), (QJsonObject{{"error", "no file was found for that query!"}}));
    EXPECT_EQ(repo().getFileByLocalId(repo().getFileLocalId("fresh")).value("_id").toString(), "fresh");
    EXPECT_EQ(repo().getFileByCode(9).value("_id").toString(), "old");

    temp.addAgent(owner, "A1");
    EXPECT_EQ(repo().getOldFilesCount(qlonglong(now)), 1); // now only the agent's
    EXPECT_EQ(repo().getFilesCount(-1, -1, QJsonArray(), false, ""), 5);
}

} // namespace
