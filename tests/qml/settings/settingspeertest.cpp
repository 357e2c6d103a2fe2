// The agency settings screens end to end: the program's window over the real server link to the
// fixture agency server and a real store, driven through the drawer as a manager drives them.
#include "qml/screensession.h"
#include "store/file.h"
#include "store/obx/obx.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "store/user.h"

#include <QDir>
#include <QQuickItem>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<User> userByServerId(obx::Store &store, const std::string &id)
{
    obx::Transaction tx = store.txRead();
    return obx::Box<User>(store).query(User_::server_id.equals(id)).build().findFirst();
}

std::unique_ptr<User> userByMobile(obx::Store &store, const std::string &mobile)
{
    obx::Transaction tx = store.txRead();
    return obx::Box<User>(store).query(User_::mobile.equals(mobile)).build().findFirst();
}

class AgencySettings : public ScreenSuite
{
protected:
    static void SetUpTestSuite()
    {
        ScreenSession::Options options;
        options.serverArgs = {"--agents", "4"};
        startSession(options);
    }

    ScreenSession &s() { return *session; }

    void openDrawerEntry(const QString &title)
    {
        s().eval("Consts.drawer_setting.open()");
        ASSERT_TRUE(s().until("Consts.drawer_setting.position === 1"));
        ASSERT_TRUE(s().clickText(title));
    }

    // My agency, with its agent list as the server gave it.
    void openAgency()
    {
        const std::size_t at = s().mark();
        openDrawerEntry("بنگاه من");
        ASSERT_FALSE(s().waitRequest("account_agent_list", at).isEmpty());
        ASSERT_TRUE(s().until("Templates.dialogs.length > 0 && Stacks.records.length >= 0", 5000));
        ASSERT_TRUE(s().waitUntil([&] { return s().findText("مشاور 0") != nullptr; }));
    }

    void rowAction(const QString &agentName, const QString &action)
    {
        ASSERT_TRUE(s().clickText(agentName));
        ASSERT_TRUE(s().waitUntil([&] { return s().findText(action) != nullptr; }));
        ASSERT_TRUE(s().clickText(action));
    }
};

TEST_F(AgencySettings, DrawerEntriesFollowTheRole)
{
    s().eval("Consts.drawer_setting.open()");
    ASSERT_TRUE(s().until("Consts.drawer_setting.position === 1"));
    EXPECT_TRUE(s().findText("بنگاه من"));
    EXPECT_TRUE(s().findText("خروج از حساب کاربری"));

    s().eval("var a = JSON.parse(JSON.stringify(Account.get())); a.type = 2; Account.set(a)");
    s().wait(100);
    EXPECT_TRUE(s().findText("بنگاه من")) << "a vice-manager has the manager's menu";
    EXPECT_TRUE(s().findText("خروج از حساب کاربری"));

    s().eval("var a = JSON.parse(JSON.stringify(Account.get())); a.type = 0; a.access = 448 | 1024; Account.set(a)");
    s().wait(100);
    EXPECT_FALSE(s().findText("بنگاه من"));
    EXPECT_TRUE(s().findText("گزارش کار"));
    EXPECT_FALSE(s().findText("خروج از حساب کاربری")) << "one device: no logout";
    s().eval("Account.set(Database.currentUser())");
}

TEST_F(AgencySettings, AgentsAreCreatedEditedAndRemovedOnlyAfterTheServer)
{
    openAgency();
    if (HasFatalFailure())
        return;

    // A refused create stores nothing and leaves the form usable.
    s().fail("account_agent_create", "notok");
    ASSERT_TRUE(s().clickText("افزودن مشاور"));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("agentMobile") && s().find("agentMobile")->isVisible(); }));
    s().wait(500);
    // No mobile number, nothing sent; one typed in Persian digits goes as ASCII.
    std::size_t at = s().mark();
    ASSERT_TRUE(s().typeInto(s().find("agentMobile"), "abc123"));
    ASSERT_TRUE(s().click(s().find("agentSubmit")));
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("شماره همراه صحیح را وارد کنید.") != nullptr; }));
    ASSERT_TRUE(s().typeInto(s().find("agentMobile"), "۰۹۳۵۱۲۳۴۵۶۷"));
    ASSERT_TRUE(s().click(s().find("agentSubmit")));
    ASSERT_FALSE(s().waitRequest("account_agent_create", at).isEmpty());
    EXPECT_EQ(s().requests("account_agent_create", at).size(), 1u);
    ASSERT_TRUE(s().waitUntil([&] { return s().find("agentSubmit")->isEnabled(); }));
    EXPECT_FALSE(userByMobile(s().store(), "09351234567"));

    at = s().mark();
    ASSERT_TRUE(s().click(s().find("agentSubmit")));
    const QJsonObject create = s().waitRequest("account_agent_create", at).value("content").toObject();
    EXPECT_EQ(create, (QJsonObject{{"user_id", "m1"}, {"agent_id", "09351234567"}, {"access", 448}, {"type", 0}}));
    ASSERT_TRUE(s().waitUntil([&] { return userByMobile(s().store(), "09351234567") != nullptr; }));
    EXPECT_EQ(userByMobile(s().store(), "09351234567")->access, 448);
    ASSERT_FALSE(s().waitRequest("account_agent_list", at).isEmpty()) << "the list is asked again";

    // Editing rights: agent 0 holds add and edit (6); turning add off sends 4 and stores it.
    rowAction("مشاور 0", "ویرایش");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("switch_add") && s().find("switch_add")->isVisible(); }));
    s().wait(500);
    ASSERT_TRUE(s().click(s().find("switch_add")));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("agentSubmit")));
    const QJsonObject edit = s().waitRequest("account_agent_edit", at).value("content").toObject();
    EXPECT_EQ(edit.value("agent_id").toString(), "m1-a0");
    EXPECT_EQ(edit.value("access").toInt(), 4);
    ASSERT_TRUE(s().waitUntil([&] { return userByServerId(s().store(), "m1-a0")->access == 4; }));

    // Removing an agent not logged in here clears it from its files, boards and shelves.
    {
        obx::Transaction tx = s().store().txRead();
        ASSERT_GT(obx::Box<File>(s().store()).query(File_::agent_id.equals("m1-a1")).build().count(), 0u);
    }
    rowAction("مشاور 1", "حذف");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("confirmYes") && s().find("confirmYes")->isVisible(); }));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("confirmYes")));
    ASSERT_FALSE(s().waitRequest("account_agent_remove", at).isEmpty());
    ASSERT_TRUE(s().waitUntil([&] { return !userByServerId(s().store(), "m1-a1"); }));
    ASSERT_FALSE(s().waitRequest("account_agent_list", at).isEmpty());
    obx::Store &store = s().store();
    obx::Transaction tx = store.txRead();
    EXPECT_EQ(obx::Box<File>(store).query(File_::agent_id.equals("m1-a1")).build().count(), 0u);
    EXPECT_EQ(obx::Box<Tavorlin>(store).query(Tavorlin_::access.contains("m1-a1")).build().count(), 0u);
    EXPECT_EQ(obx::Box<Shelves>(store).query(Shelves_::access.contains("m1-a1")).build().count(), 0u);
}

// The account that takes over an agent's number keeps the agent's form settings.
TEST_F(AgencySettings, AReplacedNumberKeepsTheFormSettings)
{
    openAgency();
    if (HasFatalFailure())
        return;
    const std::size_t at = s().mark();
    rowAction("مشاور 2", "تغییر شماره");
    ASSERT_EQ(s().waitRequest("account_agent_replace", at).value("content").toObject().value("agent_id").toString(),
              "m1-a2");
    ASSERT_TRUE(s().waitUntil([&] { return userByMobile(s().store(), "09390000000") != nullptr; }));
    EXPECT_EQ(userByMobile(s().store(), "09390000000")->invisible_toggles, std::vector<std::string>{"51"});
}

TEST_F(AgencySettings, AManagerStaysAManagerWithImageAndToken)
{
    // An address the program can draw without the network.
    const QString image = "qrc:/assets/images/logo.png";
    s().eval(QStringLiteral("Database.saveUserImage('%1', Account.get().id); Account.set(Database.currentUser())").arg(image));
    ASSERT_EQ(s().eval("Account.getImagePath()").toString(), image);

    openDrawerEntry("پروفایل");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("profileName") && s().find("profileName")->isVisible(); }));
    s().wait(500);
    ASSERT_TRUE(s().typeInto(s().find("profileName"), "مدیر تازه"));
    // The location is the point chosen on the map.
    ASSERT_TRUE(s().clickText("انتخاب موقعیت روی نقشه"));
    ASSERT_TRUE(s().waitUntil([&] { return s().findText("انتخاب") != nullptr; }));
    ASSERT_TRUE(s().clickText("انتخاب"));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("profileSubmit") && s().find("profileSubmit")->isVisible(); }));
    std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("profileSubmit")));
    const QJsonObject sent = s().waitRequest("account_edit", at).value("content").toObject();
    EXPECT_EQ(sent.value("name_family").toString(), "مدیر تازه");
    EXPECT_EQ(sent.value("city_id").toString(), "city-1");
    EXPECT_NEAR(sent.value("map").toObject().value("lat").toDouble(), 35.6892, 1e-4) << "the map's centre was chosen";
    ASSERT_TRUE(s().until("Account.get().name_family === 'مدیر تازه'"));
    auto checkManager = [&] {
        auto m1 = userByServerId(s().store(), "m1");
        ASSERT_TRUE(m1);
        EXPECT_EQ(m1->type, 100);
        EXPECT_EQ(m1->image, image.toStdString());
        EXPECT_EQ(m1->token, "token-m1");
        EXPECT_TRUE(s().eval("Account.isManager()").toBool());
    };
    checkManager();

    // The same account pushed as an "edit" notice, again without type, device or image.
    s().push("account_notify", "edit", QJsonObject{{"_id", "m1"}, {"mobile", "09120000001"}, {"name_family", "مدیر پیام"}});
    ASSERT_TRUE(s().until("Account.get().name_family === 'مدیر پیام'"));
    checkManager();

    // With its token kept, a new link still checks it and joins.
    at = s().mark();
    s().eval("Sockets.disconnect()");
    EXPECT_FALSE(s().waitRequest("validity_token", at, 20000).isEmpty());
    EXPECT_FALSE(s().waitRequest("join", at, 10000).isEmpty());
}

TEST_F(AgencySettings, ReportCountsTheFilesOfTheRange)
{
    openDrawerEntry("گزارش کار");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("reportStart") && s().find("reportStart")->isVisible(); }));
    s().wait(500);
    ASSERT_TRUE(s().typeInto(s().find("reportStart"), "1390/01/01"));
    s().key(Qt::Key_Return);
    // The fixture's files were all registered in 2023: one in ten is archived.
    int live = 0;
    for (const QJsonValue &f : s().list("initial_property"))
        live += f.toObject().value("trade_ref").toInt() <= 8;
    const int archived = s().list("initial_property").size() - live;
    ASSERT_TRUE(s().until(QStringLiteral("Stacks.last().liveTotal === %1").arg(live)));
    EXPECT_EQ(s().eval("Stacks.last().archivedTotal").toInt(), archived);
    ASSERT_TRUE(s().click(s().find("reportArchivedTab")));
    EXPECT_EQ(s().eval("Stacks.last().rows.reduce(function (n, r) { return n + r.offers + r.requests }, 0)").toInt(),
              archived);

    // A day Mehr does not have: the message, and no counts left standing for it.
    ASSERT_TRUE(s().typeInto(s().find("reportStart"), "1402/07/31"));
    s().key(Qt::Key_Return);
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("تاریخ وارد شده صحیح نیست") != nullptr; }));
    EXPECT_EQ(s().find("reportLive")->property("text").toString(), "تعداد کل فایل ها: -");
    EXPECT_EQ(s().eval("Stacks.last().rows.length").toInt(), 0);
}

// A manager's own files are the agency's files without an agent.
TEST_F(AgencySettings, AManagersFilesAreThoseWithoutAnAgent)
{
    const int own = s().eval("Database.getFilesCount(-1, -1, [{'key': 'agent_ref', 'value': {'value_1': '', "
                             "'value_2': ''}}], false)").toInt();
    ASSERT_GT(own, 0);
    openDrawerEntry("فایلهای من");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s().waitUntil([&] {
        list = s().findTop("fileList");
        return list && list->isVisible() && list->property("count").toInt() == std::min(own, 50);
    }));
    EXPECT_EQ(list->property("title").toString(), "فایلهای من");
}

TEST_F(AgencySettings, MainSettingsOfferTheExcelExport)
{
    openDrawerEntry("تنظیمات");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("settings_excel") && s().find("settings_excel")->isVisible(); }));
    ASSERT_TRUE(s().click(s().find("settings_excel")));
    EXPECT_TRUE(s().until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].phase === 'choose'"));
    EXPECT_TRUE(s().findText("خروجی اکسل فایلها")) << "the desktop client offers the export itself";
}

// A refused list leaves the colleagues page with the server's word, never blank.
TEST_F(AgencySettings, ARefusedColleagueListSaysWhy)
{
    ASSERT_TRUE(s().until("Sockets.connected"));
    s().fail("colleague_list", "notok");
    s().eval("Templates.container('colleague', {})");
    EXPECT_TRUE(s().waitUntil([&] {
        QQuickItem *message = s().findTop("colleagueMessage");
        return message && message->isVisible() && message->property("text").toString() == QStringLiteral("خطای آزمایشی سرور");
    }));
}

TEST_F(AgencySettings, ResetLeavesNoSettingsAndNoStore)
{
    s().eval("Settings.app_data.wallpaper = 3; Settings.save()");
    openDrawerEntry("تنظیمات");
    ASSERT_TRUE(s().waitUntil([&] { return s().find("settings_reset") && s().find("settings_reset")->isVisible(); }));
    ASSERT_TRUE(s().click(s().find("settings_reset")));
    ASSERT_TRUE(s().waitUntil([&] { return s().find("confirmYes") && s().find("confirmYes")->isVisible(); }));
    ASSERT_TRUE(s().click(s().find("confirmYes")));
    ASSERT_TRUE(s().until("Stacks.last() && Stacks.last().landingTimer !== undefined", 5000)) << "back to the splash";
    // The session started with the door turned off and a wallpaper of its own.
    EXPECT_TRUE(s().eval("Settings.app_data.door_enabled === true").toBool());
    EXPECT_EQ(s().eval("Settings.app_data.wallpaper").toInt(), 17);
    EXPECT_TRUE(s().eval("Account.get() === null").toBool());
    EXPECT_FALSE(s().eval("Database.currentUser().error === undefined").toBool()) << "no account is stored";
}

} // namespace
