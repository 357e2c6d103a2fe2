// The import of server files, the colleague import and the file actions.

#include "repositories/gfile.h"
#include "repositories/gfileimport.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/fileactivity.h"
#include "store/fileinfo.h"
#include "store/filematchtag.h"
#include "store/filemeter.h"
#include "store/filetenant.h"
#include "store/filetoggle.h"
#include "tests/repositories/tempstore.h"
#include "tests/store/fulldisk.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <limits>

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

std::unique_ptr<File> fileById(obx::Store &store, const std::string &serverId)
{
    return obx::Box<File>(store).query(File_::server_id.equals(serverId)).build().findFirst();
}

template <class T, class P> size_t rowsOf(obx::Store &store, const P &fileIdProperty, const std::string &fileId)
{
    return obx::Box<T>(store).query(fileIdProperty.equals(fileId)).build().count();
}

void addActivity(obx::Store &store, const std::string &fileId, const std::string &serverId)
{
    FileActivity activity;
    activity.file_id = fileId;
    activity.server_id = serverId;
    obx::Box<FileActivity>(store).put(activity);
}

const char *const kFull = R"([{"_id":"F1","user_ref":"O","agent_ref":"A","customer_ref":"C1","trade_ref":2,"type":5,
    "info":{"address":"addr","desc":"d","room":2,"floor_space":85.5,"amount_of_interest":1e12,"delivery":3},
    "meter":{"area":80,"home":60,"building":10},"code":{"auto":12,"manual":"m"},
    "dates":{"register":1000,"create":2000},"status":{"pin":true,"is_private":true},
    "price":{"price_1":100000000,"price_2":2000000,"loan":-5},"map":{"lat":35.5,"lng":51.5},
    "tenant":{"name":"T","phone":"1"},"pins":["A"],"wall":[],"joints":[3,17],
    "district":["D1","D2"],"hashtag":["H"],"media_links":["a.jpg"],"tag_file":[{"file_ref":"R1","status":2}]}])";

class FileImport : public testing::Test
{
protected:
    void SetUp() override
    {
        owner = temp.addOwner("O");
        Contact contact;
        contact.server_id = "C1";
        contact.name_family = "Reza";
        contact.mobile_1 = "0912";
        obx::Box<Contact>(temp.store()).put(contact);
        for (auto [id, title] : {std::pair{"D1", "X"}, std::pair{"D2", "Y"}}) {
            District d;
            d.server_id = id;
            d.title = title;
            obx::Box<District>(temp.store()).put(d);
        }
    }

    obx::Store &store() { return temp.store(); }

    TempStore temp;
    User owner;
};

TEST_F(FileImport, ReadsEveryKey)
{
    repo().saveFiles(array(kFull), -1);
    std::unique_ptr<File> f = fileById(store(), "F1");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->agent_id, "A");
    EXPECT_EQ(f->customer_name, "Reza");
    EXPECT_EQ(f->customer_mobile, "0912");
    EXPECT_EQ(f->trade_type, 2);
    EXPECT_EQ(f->property_type, 5);
    EXPECT_TRUE(f->seen);
    EXPECT_TRUE(f->synced);
    EXPECT_FALSE(f->draft);
    EXPECT_TRUE(f->is_private);
    EXPECT_EQ(f->auto_code, 12u);
    EXPECT_EQ(f->date, 1000u);
    EXPECT_EQ(f->edit_date, 2000u);
    EXPECT_EQ(f->full_rent_price, 5000000u);
    EXPECT_EQ(f->loan, 0u); // negative reals clamp to 0
    EXPECT_EQ(f->pins, (std::vector<std::string>{"O", "A"}));
    EXPECT_EQ(f->district_array, "X#,#,#,#Y#,#,#,#");
    EXPECT_EQ(f->documents, std::vector<std::string>{"a.jpg"});

    std::unique_ptr<FileInfo> info = obx::Box<FileInfo>(store()).get(f->info_id);
    ASSERT_TRUE(info);
    EXPECT_FLOAT_EQ(info->floor_space, 85.5f);
    EXPECT_EQ(info->amount_of_interest, std::numeric_limits<int32_t>::max());
    EXPECT_FLOAT_EQ(info->delivery, 3.f);
    std::unique_ptr<FileToggle> toggle = obx::Box<FileToggle>(store()).get(f->toggle_id);
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->joints, "3,17,");
    EXPECT_EQ(toggle->wall, ",");
    EXPECT_EQ(toggle->roof, "");
    EXPECT_TRUE(obx::Box<FileMeter>(store()).get(f->meter_id));
    EXPECT_EQ(obx::Box<FileTenant>(store()).get(f->tenant_id)->name, "T");
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F1"), 1u);
}

TEST_F(FileImport, DefaultsOfMissingKeys)
{
    repo().saveFiles(array(R"([{"_id":"B","meter":{"area":80},"draft":false,"price":{"price_1":5}},
                                {"_id":"C","draft":true,"seen":"no","trade_ref":2.5,"type":3000000000}])"), -1);
    std::unique_ptr<File> b = fileById(store(), "B");
    EXPECT_TRUE(b->seen);
    EXPECT_FALSE(b->draft); // "draft": false is no draft
    EXPECT_FLOAT_EQ(b->area, 80.f);
    EXPECT_EQ(b->meter_id, 0u);
    EXPECT_EQ(b->tenant_id, 0u);
    EXPECT_EQ(b->toggle_id, std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(b->full_rent_price, 0u); // trade type 0
    std::unique_ptr<FileInfo> info = obx::Box<FileInfo>(store()).get(b->info_id);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->build_year, 0);

    std::unique_ptr<File> c = fileById(store(), "C");
    EXPECT_TRUE(c->draft);
    EXPECT_TRUE(c->seen); // mistyped: the default
    EXPECT_EQ(c->trade_type, 0);    // not a whole number
    EXPECT_EQ(c->property_type, 0); // beyond 32 bits
}

TEST_F(FileImport, ReimportKeepsLocalIdActivitiesAndOneChildOfEachKind)
{
    repo().saveFiles(array(kFull), -1);
    const obx_id id = fileById(store(), "F1")->id;
    addActivity(store(), "F1", "act1"); // saved by the update just before the files
    repo().saveFiles(array(kFull), -1);

    EXPECT_EQ(fileById(store(), "F1")->id, id);
    EXPECT_EQ(obx::Box<File>(store()).count(), 1u);
    EXPECT_EQ(rowsOf<FileInfo>(store(), FileInfo_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileMeter>(store(), FileMeter_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileTenant>(store(), FileTenant_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileToggle>(store(), FileToggle_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileActivity>(store(), FileActivity_::file_id, "F1"), 1u);

    // Without "tag_file" the match tags stay; "die" removes the file with its activities.
    repo().saveFiles(array(R"([{"_id":"F1"}])"), -1);
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F1"), 1u);
    EXPECT_EQ(rowsOf<FileMeter>(store(), FileMeter_::file_id, "F1"), 0u);
    repo().saveFiles(array(R"([{"_id":"F1","die":false}])"), -1);
    EXPECT_TRUE(fileById(store(), "F1"));
    repo().saveFiles(array(R"([{"_id":"F1","die":true}])"), -1);
    EXPECT_FALSE(fileById(store(), "F1"));
    EXPECT_EQ(rowsOf<FileActivity>(store(), FileActivity_::file_id, "F1"), 0u);
    EXPECT_EQ(rowsOf<FileInfo>(store(), FileInfo_::file_id, "F1"), 0u);
}

TEST_F(FileImport, DieAsANumberRemovesTheFileWithItsMatchTags)
{
    // A number marks a removal as true does; re-importing the bare item would wipe the file.
    repo().saveFiles(array(kFull), -1);
    repo().saveFiles(array(R"([{"_id":"F1","die":1}])"), -1);
    EXPECT_FALSE(fileById(store(), "F1"));
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F1"), 0u);
    EXPECT_EQ(rowsOf<FileToggle>(store(), FileToggle_::file_id, "F1"), 0u);

    // 0 and a text keep the file; another file's match tags stay.
    repo().saveFiles(array(kFull), -1);
    repo().savefileMatchTag("F2", "R9", 1);
    repo().saveFiles(array(R"([{"_id":"F1","die":0,"type":5},{"_id":"F2","die":"1","type":6}])"), -1);
    EXPECT_TRUE(fileById(store(), "F1"));
    EXPECT_EQ(fileById(store(), "F2")->property_type, 6);
    EXPECT_TRUE(repo().deleteFile("F1", -1, true));
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F1"), 0u);
    EXPECT_EQ(rowsOf<FileMatchTag>(store(), FileMatchTag_::file_id, "F2"), 1u);
}

TEST_F(FileImport, DraftsWithoutServerIdAreEachTheirOwnFile)
{
    repo().saveFiles(array(R"([{"_id":"","user_ref":"O","draft":true,"info":{"room":1}},
                                {"user_ref":"O","draft":true,"info":{"room":2}}])"), -1);
    const auto drafts = obx::Box<File>(store()).query(File_::draft.equals(true)).build().find();
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_NE(drafts[0]->info_id, drafts[1]->info_id);
    EXPECT_EQ(obx::Box<FileInfo>(store()).count(), 2u);
    EXPECT_EQ(repo().getOfflineCount(), 2);

    // One goes by its local id with its own rows; a file that is no draft never does.
    repo().saveFiles(array(R"([{"_id":"F9","user_ref":"O"}])"), -1);
    EXPECT_FALSE(repo().deleteDraft(repo().getFileLocalId("F9")));
    EXPECT_TRUE(repo().deleteDraft(int(drafts[0]->id)));
    EXPECT_FALSE(repo().deleteDraft(int(drafts[0]->id)));
    EXPECT_EQ(repo().getOfflineCount(), 1);
    EXPECT_EQ(obx::Box<FileInfo>(store()).get(drafts[0]->info_id), nullptr);
    EXPECT_NE(obx::Box<FileInfo>(store()).get(drafts[1]->info_id), nullptr);
    EXPECT_FALSE(repo().getFile("F9").contains("error"));

    // A draft saved again over an old row that is gone meanwhile is saved all the same.
    EXPECT_GT(repo().saveDraft(QJsonObject{{"user_ref", "O"}}, int(drafts[0]->id)), drafts[1]->id);
    EXPECT_EQ(repo().getOfflineCount(), 2);
}

// The old draft goes in the write that stores the new one: with room for its removal only, it stays.
TEST(FileDrafts, ADraftTheDiskHasNoRoomForLeavesTheOldOne)
{
    IN_OWN_TMPFS(dir, "2m");
    openSharedStore(dir + "/store");
    const obx_id old = repo().saveDraft(QJsonObject{{"user_ref", "O"}}, 0);
    fillDisk(dir + "/fill", 128 * 1024);
    const QJsonObject big{{"info", QJsonObject{{"desc", QString(1 << 20, 'x')}}}};
    EXPECT_THROW(repo().saveDraft(big, int(old)), obx::DbException);
    EXPECT_NE(obx::Box<File>(*sharedStore()).get(old), nullptr);
    closeSharedStore();
}

TEST_F(FileImport, StampsOnlyWithAPositiveDate)
{
    repo().saveFiles(array(R"([{"_id":"x"}])"), 0);
    EXPECT_EQ(obx::Box<User>(store()).get(owner.id)->updated_date, 0u);
    repo().saveFiles(array(R"([{"_id":"x"}])"), 777);
    EXPECT_EQ(obx::Box<User>(store()).get(owner.id)->updated_date, 777u);
}

TEST_F(FileImport, ColleagueFiles)
{
    const char *batch = R"([{"_id":"K1","user_ref":{"_id":"COL","type":100},"trade_ref":1,
        "district":[{"_id":"D1","title":"New X"},{"_id":"D9","title":"Z"}],"seen":false,"customer_ref":"C1"},
        {"_id":"K2","user_ref":{"_id":"COL"},"type":7,"seen":true},{"_id":"K3","die":true}])";
    repo().saveColleagueFiles(array(batch), 4, "COL");
    std::unique_ptr<File> k1 = fileById(store(), "K1");
    ASSERT_TRUE(k1);
    EXPECT_EQ(k1->user_id, "COL");
    EXPECT_EQ(k1->property_type, 4);
    EXPECT_FALSE(k1->seen); // "seen": false is not seen
    EXPECT_EQ(k1->customer_id, "");
    EXPECT_EQ(k1->districts, (std::vector<std::string>{"D1", "D9"}));
    EXPECT_EQ(obx::Box<District>(store()).query(District_::server_id.equals("D1")).build().findFirst()->title, "New X");
    EXPECT_EQ(obx::Box<District>(store()).query(District_::server_id.equals("D9")).build().findFirst()->user_id, "COL");
    EXPECT_EQ(fileById(store(), "K2")->property_type, 7);
    EXPECT_TRUE(fileById(store(), "K2")->seen);
    EXPECT_FALSE(fileById(store(), "K3"));

    // A second fetch replaces the colleague's files.
    repo().saveColleagueFiles(array(R"([{"_id":"K4","user_ref":{"_id":"COL"}}])"), 4, "COL");
    EXPECT_FALSE(fileById(store(), "K1"));
    EXPECT_TRUE(fileById(store(), "K4"));
}

TEST_F(FileImport, ColleagueImportOfALoggedInAccountStoresNothing)
{
    repo().saveFiles(array(R"([{"_id":"own","user_ref":"O"}])"), -1);
    const size_t users = obx::Box<User>(store()).count();
    repo().saveColleagueFiles(array(R"([{"_id":"K1","user_ref":{"_id":"O","name_family":"changed"}}])"), 1, "O");
    EXPECT_FALSE(fileById(store(), "K1"));
    EXPECT_TRUE(fileById(store(), "own"));
    EXPECT_EQ(obx::Box<User>(store()).count(), users);
    EXPECT_EQ(obx::Box<User>(store()).get(owner.id)->name_family, "owner");
}

TEST_F(FileImport, BatchWithAFailingPutStoresNothing)
{
    repo().saveFiles(array(R"([{"_id":"own","user_ref":"O"}])"), -1);
    repo().saveColleagueFiles(array(R"([{"_id":"K1","user_ref":{"_id":"COL"}}])"), 1, "COL");
    // "own" is already stored: the unique server id fails the second put, and the whole
    // batch goes, the removal of the colleague's old files and his user record included.
    const size_t users = obx::Box<User>(store()).count();
    EXPECT_THROW(repo().saveColleagueFiles(array(R"([{"_id":"K2","user_ref":{"_id":"COL2"}},{"_id":"own"}])"), 1, "COL"),
                 obx::DbException);
    EXPECT_TRUE(fileById(store(), "K1"));
    EXPECT_FALSE(fileById(store(), "K2"));
    EXPECT_EQ(obx::Box<User>(store()).count(), users);
    EXPECT_EQ(obx::Box<File>(store()).count(), 2u);
}

TEST(FileToggleText, JoinIntArray)
{
    const QJsonObject o = QJsonDocument::fromJson(R"({"a":[3,7],"b":[],"c":"x","d":[1.5,"2"]})").object();
    EXPECT_EQ(GFileImport::joinIntArray(o, "a"), "3,7,");
    EXPECT_EQ(GFileImport::joinIntArray(o, "b"), ",");
    EXPECT_EQ(GFileImport::joinIntArray(o, "c"), ",");
    EXPECT_EQ(GFileImport::joinIntArray(o, "d"), "0,0,");
    EXPECT_EQ(GFileImport::joinIntArray(o, "missing"), "");
}

class FileActions : public FileImport
{
protected:
    void SetUp() override
    {
        FileImport::SetUp();
        repo().saveFiles(array(R"([{"_id":"F1","user_ref":"O","code":{"auto":5},"media_links":["a","b","a"]},
            {"_id":"F2","user_ref":"O","status":{"delete":true},"tenant":{"name":"t"}},
            {"_id":"F3","user_ref":"O","status":{"delete":true},"trade_ref":3},
            {"_id":"F4","user_ref":"OTHER","status":{"delete":true},"code":{"auto":6}}])"), -1);
    }
};

TEST_F(FileActions, DeleteReportsWhetherTheFileWasRemoved)
{
    EXPECT_FALSE(repo().deleteFile("", -1, true));
    EXPECT_TRUE(repo().deleteFile("F1", -1, false)); // child rows only
    EXPECT_TRUE(fileById(store(), "F1"));
    EXPECT_EQ(rowsOf<FileInfo>(store(), FileInfo_::file_id, "F1"), 0u);
    EXPECT_TRUE(repo().deleteFile("F1", -1, true)); // no tenant row, still removed
    EXPECT_FALSE(fileById(store(), "F1"));
    EXPECT_FALSE(repo().deleteFile("F1", -1, true));
}

TEST_F(FileActions, PurgeRemovesOnlyTheOwnersRecycleBin)
{
    repo().deleteFilesByFilter(-1, -1, QJsonArray());
    EXPECT_TRUE(fileById(store(), "F1"));
    EXPECT_FALSE(fileById(store(), "F2"));
    EXPECT_FALSE(fileById(store(), "F3"));
    EXPECT_TRUE(fileById(store(), "F4"));
    EXPECT_EQ(rowsOf<FileTenant>(store(), FileTenant_::file_id, "F2"), 0u);
}

TEST_F(FileActions, PinsAreOnePerViewer)
{
    EXPECT_FALSE(repo().pinFile("nope", true, -1));
    EXPECT_TRUE(repo().pinFile("F1", true, -1));
    EXPECT_TRUE(repo().pinFile("F1", true, -1)); // a reply and a push
    EXPECT_EQ(fileById(store(), "F1")->pins, std::vector<std::string>{"O"});
    temp.addAgent(owner, "AG");
    repo().pinFile("F1", true, -1);
    repo().pinFile("F1", false, -1);
    EXPECT_EQ(fileById(store(), "F1")->pins, std::vector<std::string>{"O"});
    setSharedUsers(std::make_unique<User>(owner), nullptr);
    repo().pinFile("F1", false, -1);
    EXPECT_TRUE(fileById(store(), "F1")->pins.empty());
}

TEST_F(FileActions, SingleFileUpdates)
{
    EXPECT_TRUE(repo().archiveFile("F1", -1, 4444, -1));
    EXPECT_EQ(fileById(store(), "F1")->trade_type, 0);
    EXPECT_EQ(fileById(store(), "F1")->date, 4444u);
    EXPECT_TRUE(repo().archiveFile("F1", 9, -1, 99));
    EXPECT_EQ(fileById(store(), "F1")->trade_type, 9);
    EXPECT_EQ(obx::Box<User>(store()).get(owner.id)->updated_date, 99u);
    EXPECT_TRUE(repo().moveFileToRecyclerbin("F1", true, -1));
    EXPECT_TRUE(fileById(store(), "F1")->deleted);
    EXPECT_TRUE(repo().adColleagueFile("F1", true, -1));
    EXPECT_TRUE(fileById(store(), "F1")->ad_colleague);
    EXPECT_FALSE(repo().moveFileToRecyclerbin("", true, -1));

    repo().deleteFileImage("F1", "a");
    EXPECT_EQ(fileById(store(), "F1")->documents, (std::vector<std::string>{"b", "a"}));
    repo().deleteFileImage("F1", "zzz");
    EXPECT_EQ(fileById(store(), "F1")->documents.size(), 2u);
}

TEST_F(FileActions, SeenMarksAndMatchTags)
{
    EXPECT_TRUE(repo().fileUnSeen(5));
    EXPECT_FALSE(fileById(store(), "F1")->seen);
    EXPECT_TRUE(repo().fileSeen(5));
    EXPECT_TRUE(fileById(store(), "F1")->seen);
    EXPECT_FALSE(repo().fileSeen(6)); // another owner's file
    // A code held twice marks only the first file; a negative code is stored as its 64-bit
    // pattern, and found by it as fileUnSeen finds it.
    repo().saveFiles(array(R"([{"_id":"F5","user_ref":"O","code":{"auto":5}},
        {"_id":"F6","user_ref":"O","code":{"auto":-3}}])"), -1);
    repo().unseen(array(R"([{"code":5},{"code":6},{"code":-3}])"), 12);
    EXPECT_FALSE(fileById(store(), "F1")->seen);
    EXPECT_TRUE(fileById(store(), "F5")->seen);
    EXPECT_FALSE(fileById(store(), "F6")->seen);
    EXPECT_TRUE(fileById(store(), "F4")->seen);
    EXPECT_EQ(obx::Box<User>(store()).get(owner.id)->updated_date, 12u);

    EXPECT_TRUE(repo().savefileMatchTag("F1", "R", 1));
    EXPECT_TRUE(repo().savefileMatchTag("F1", "R", 3));
    const auto tags = obx::Box<FileMatchTag>(store()).query(FileMatchTag_::file_id.equals("F1")).build().find();
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0]->tag, 3);
}

} // namespace
