// An agent's rights on the screens, end to end: the real window logged in as an agent of the
// fixture agency server, once with none of the six rights and once with all of them, and single
// rights taken and given back by pushed "agent_edit" notices while the screens are open.
#include "screensession.h"
#include "store/file.h"

#include <QJsonArray>
#include <QQuickItem>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kPlatforms = 64 | 128 | 256;
constexpr int kAdd = 2, kEdit = 4, kDelete = 8, kSensitive = 16, kPhoneBook = 32, kSearch = 2048;
constexpr int kAll = kAdd | kEdit | kDelete | kSensitive | kPhoneBook | kSearch;
const QString kRefused = QStringLiteral("دسترسی شما به این بخش توسط مدیریت قطع شده است.");
// The fixture's agent 2 as a plain agent. The files of customer cN are the manager's, the
// secretary agent 1's or this agent's own as N % 3 is 0, 1 or 2.
const char kMe[] = "m1-a2";

class Rights : public ScreenSuite
{
protected:
    static void startAs(int access)
    {
        ScreenSession::Options o;
        o.serverArgs = {"--agent", "2:" + std::to_string(kPlatforms | access) + ":0"};
        o.mobile = QStringLiteral("09350000002");
        startSession(o);
    }

    // The server changes the rights and pushes them; the account has them when this returns.
    static void setRights(int access)
    {
        session->command({{"cmd", "agent"}, {"agent", kMe}, {"access", kPlatforms | access}});
        ASSERT_TRUE(session->until(QStringLiteral("Account.get().access === %1").arg(kPlatforms | access)));
        session->drawn();
    }

    // Hides the refusals shown so far (each toast goes by itself later), runs the step and tells
    // whether it showed the refusal and asked for no confirmation.
    static bool refuses(const std::function<void()> &step)
    {
        for (QQuickItem *t; (t = session->findText(kRefused)) && t->parentItem()->parentItem()->parentItem()->inherits("QQuickOverlay");)
            t->parentItem()->setVisible(false);
        step();
        return session->waitUntil([] { return session->findText(kRefused) != nullptr; })
            && !session->findText(QStringLiteral("بله"));
    }

    static bool shows(const QString &name) { return session->waitUntil([&] { return session->findTop(name); }); }

    // A tab list of one customer's files.
    static QQuickItem *listOf(const QString &customer)
    {
        return session->openFileList("{'mode': 'tab', 'filters': [{'key': 'customer_ref', 'value': {'value_1': '" + customer + "'}}]}");
    }

    static QVariantMap stored(const QString &id) { return session->eval("Database.getFile('" + id + "')").toMap(); }
    static QVariantMap firstFile(QQuickItem *list) { return stored(ScreenSession::rowOf(list, 0)["_id"].toString()); }

    // Whether the first card of the list (or the `view` showing its file) shows its address and owner.
    static bool showsContact(QQuickItem *list, const char *view = "fileView")
    {
        const QVariantMap file = firstFile(list);
        const QString texts[] = {file["info"].toMap()["address"].toString(), file["customer"].toMap()["name_family"].toString()};
        bool seen[2] = {false, false};
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (!item->isVisible() || (item->objectName() == "fileRow" && ScreenSession::mapOf(item->property("file"))["_id"] != file["_id"]))
                return;
            for (int k = 0; k < 2; ++k)
                seen[k] = seen[k] || item->property("text").toString().contains(texts[k]);
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(session->findTop(view));
        EXPECT_EQ(seen[0], seen[1]) << texts[0].toStdString();
        return seen[0] && seen[1];
    }

    static bool choose(QQuickItem *list, const QString &title, bool confirm = true)
    {
        return session->chooseInRow(list, 0, title, confirm);
    }

    // Moves manager's files of trade 7 and property 56 to the bin and opens the bin of such a board.
    static QQuickItem *bin(const QStringList &ids)
    {
        QJsonArray action;
        for (const QString &id : ids)
            action.append(QJsonObject{{"file_id", id}, {"value", true}});
        session->push("property_notify", "action", QJsonObject{{"key", "status.delete"}, {"action", action}});
        EXPECT_TRUE(session->waitUntil([&] { return stored(ids.last())["status"].toMap()["delete"].toBool(); }));
        return session->openFileList("{'filterModel': {'trade_type': 7, 'property_type': 56, 'filter': [], 'name': 'آزمون'}, 'view': 'recycle'}");
    }

    static void openShelf()
    {
        ASSERT_TRUE(session->click(session->find(QStringLiteral("shelf_m1-s0"))));
        ASSERT_TRUE(session->until("Stacks.last().objectName === 'tavorlinsList' && Stacks.last().listRead === null"));
        session->settle();
    }

    static bool phoneTile() { return session->eval("Stacks.last().tiles.some(function (t) { return t.color === -2000 })").toBool(); }
    static void click(const char *name) { session->click(session->findTop(name)); }
};

class NoRights : public Rights
{
protected:
    static void SetUpTestSuite() { startAs(0); }
};

class AllRights : public Rights
{
protected:
    static void SetUpTestSuite() { startAs(kAll); }
};

TEST_F(NoRights, AdvancedSearchAndPhoneBookAreRefusedAtEveryWayIn)
{
    // The search by code's advanced search refuses, and its dialog stays.
    ASSERT_TRUE(session->click(session->find(QStringLiteral("fabMain"))) && session->click(session->find(QStringLiteral("fab_code"))));
    const QString searchType = "Templates.dialogs.some(function (d) { return d.objectName === 'searchType' && d.opened })";
    ASSERT_TRUE(session->until(searchType));
    EXPECT_TRUE(refuses([] { click("advancedSearchButton"); }));
    EXPECT_TRUE(session->eval(searchType).toBool());
    session->home();

    openShelf();
    EXPECT_FALSE(phoneTile());
    EXPECT_TRUE(refuses([] { click("advancedSearch"); }));
    for (const char *key : {"search", "contact"})
        EXPECT_TRUE(refuses([&] { EXPECT_TRUE(session->eval(QStringLiteral("Templates.container('%1', {}) === null").arg(key)).toBool()); }));
    EXPECT_FALSE(session->findTop(QStringLiteral("searchScreen")) || session->findTop(QStringLiteral("contact_book")));
}

// A plain agent is offered the board menu neither by "⋮" nor by a right click; made a vice manager
// by the server, the agent has it and hands out access, until the role is taken back with it open.
TEST_F(NoRights, BoardMenuIsTheManagers)
{
    const auto setType = [](int type) {
        session->command({{"cmd", "agent"}, {"agent", kMe}, {"type", type}});
        ASSERT_TRUE(session->until(QStringLiteral("Account.get().type === %1 && Stacks.last().listRead === null").arg(type)));
        session->settle();
    };
    const auto offered = [](bool rightClick) {
        QQuickItem *board = session->findTop("board_0"), *dots = board->findChild<QQuickItem *>("boardMenu");
        return (rightClick ? session->click(board, Qt::RightButton) : dots->isVisible() && session->click(dots))
            && session->waitUntil([] { return session->findTop("boardMenu_access") != nullptr; }, 1000);
    };
    openShelf();
    EXPECT_FALSE(offered(false) || offered(true));
    setType(2);
    const std::size_t m = session->mark();
    ASSERT_TRUE(offered(true) && session->click(session->findTop("boardMenu_access")) && shows("access_0"));
    session->eval("var d = Templates.dialogs[Templates.dialogs.length - 1];"
                  "d.setChecked(d.rows.findIndex(function (r) { return !r.checked }), true); d.submit()");
    EXPECT_EQ(session->waitRequest("tavorlin_access", m)["content"].toObject()["agent_id"].toString(), kMe);
    ASSERT_TRUE(session->waitUntil([] { return !session->findTop("accessSubmit"); }) && offered(false));
    setType(0);
    EXPECT_TRUE(session->waitUntil([] { return !session->findTop("boardMenu_access"); }) && !offered(false));
}

TEST_F(NoRights, OthersContactDetailsStayHidden)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    const QVariantMap file = firstFile(list);
    ASSERT_EQ(file["agent_id"].toString(), "");
    EXPECT_FALSE(showsContact(list));
    // The print preview leaves the address out; the share text never has it nor the owner.
    const QString get = "Database.getFile('" + file["_id"].toString() + "')";
    session->eval("Templates.dialog('files/FileDetailPrintDialog.qml', {'file': " + get + "}).open()");
    ASSERT_TRUE(shows(QStringLiteral("printContent")));
    const QString address = file["info"].toMap()["address"].toString();
    EXPECT_FALSE(session->findTop(QStringLiteral("printContent"))->parentItem()->property("address").toString().contains(address));
    const QString share = session->eval("Consts.get_share_text(" + get + ")").toString();
    EXPECT_FALSE(share.contains(address) || share.contains(file["customer"].toMap()["name_family"].toString()));
    session->home();

    // The agent's own files and a secretary's show them.
    for (const char *customer : {"m1-c5", "m1-c4"}) {
        EXPECT_TRUE(showsContact(listOf(customer))) << customer;
        session->home();
    }
}

TEST_F(NoRights, CopyAndTheRecycleBinAreRefused)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    const QStringList entries = session->rowMenu(list, 0);
    EXPECT_FALSE(entries.contains("ویرایش") || entries.contains("حذف") || entries.contains("بایگانی")) << entries.join(",").toStdString();
    const std::size_t m = session->mark();
    EXPECT_TRUE(refuses([&] { session->clickText(QStringLiteral("کپی")); }));
    session->home();

    list = bin({"m1-f6"});
    ASSERT_TRUE(list);
    for (const QString &title : {QStringLiteral("حذف برای همیشه"), QStringLiteral("خالی کردن سطل آشغال")})
        EXPECT_TRUE(refuses([&] { choose(list, title, false); })) << title.toStdString();
    // Picked in a selection, too.
    choose(list, QStringLiteral("انتخاب"), false);
    QMetaObject::invokeMethod(list, "openFile", Q_ARG(QVariant, 0));
    EXPECT_TRUE(refuses([] { session->clickText(QStringLiteral("حذف برای همیشه")); }));
    for (const char *name : {"property_copy", "property_action", "property_clean"})
        EXPECT_TRUE(session->requests(name, m).empty()) << name;
    EXPECT_TRUE(stored("m1-f6")["status"].toMap()["delete"].toBool());
}

TEST_F(AllRights, EveryGuardedActionGoesThrough)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    EXPECT_TRUE(showsContact(list));
    std::size_t m = session->mark();
    EXPECT_TRUE(choose(list, QStringLiteral("کپی")));
    EXPECT_FALSE(session->waitRequest("property_copy", m).isEmpty());
    session->home();

    list = bin({"m1-f6", "m1-f54"});
    ASSERT_TRUE(list);
    m = session->mark();
    EXPECT_TRUE(choose(list, QStringLiteral("حذف برای همیشه")));
    EXPECT_EQ(session->waitRequest("property_action", m)["content"].toObject()["key"].toString(), "die");
    ASSERT_TRUE(session->waitUntil([&] { return list->property("count").toInt() == 1; }));
    m = session->mark();
    EXPECT_TRUE(choose(list, QStringLiteral("خالی کردن سطل آشغال")));
    EXPECT_FALSE(session->waitRequest("property_clean", m).isEmpty());
}

TEST_F(AllRights, PushedRightsReachTheOpenScreens)
{
    openShelf();
    EXPECT_TRUE(phoneTile());
    setRights(kAll & ~kPhoneBook);
    EXPECT_TRUE(session->waitUntil([] { return !phoneTile(); }));
    setRights(kAll);
    EXPECT_TRUE(session->waitUntil([] { return phoneTile(); }));
    click("advancedSearch");
    ASSERT_TRUE(shows(QStringLiteral("searchScreen")));
    setRights(kAll & ~kSearch);
    EXPECT_TRUE(session->findTop(QStringLiteral("searchRefused")));
    setRights(kAll);
    EXPECT_FALSE(session->findTop(QStringLiteral("searchRefused")));
    session->home();

    session->eval("Templates.container('contact', {})");
    ASSERT_TRUE(shows(QStringLiteral("contact_list")));
    setRights(kAll & ~kPhoneBook);
    EXPECT_TRUE(session->findTop(QStringLiteral("contact_refused")) && !session->findTop(QStringLiteral("contact_list")));
    setRights(kAll);
    EXPECT_TRUE(shows(QStringLiteral("contact_list")));
    session->home();

    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    setRights(kAll & ~kSensitive);
    EXPECT_FALSE(showsContact(list));
    setRights(kAll);
    EXPECT_TRUE(showsContact(list));
    // The detail opened over them follows too.
    ASSERT_TRUE(QMetaObject::invokeMethod(list, "openFile", Q_ARG(QVariant, 0)) && shows(QStringLiteral("fileDetail")));
    setRights(kAll & ~kSensitive);
    EXPECT_FALSE(showsContact(list, "detailBody"));
    setRights(kAll);
    EXPECT_TRUE(showsContact(list, "detailBody"));
    click("detailBack");
    setRights(kAll & ~kDelete & ~kEdit);
    const QStringList entries = session->rowMenu(list, 0);
    EXPECT_FALSE(entries.contains("حذف") || entries.contains("ویرایش")) << entries.join(",").toStdString();
    session->home();
    setRights(kAll & ~kAdd);
    list = listOf(QStringLiteral("m1-c3"));
    EXPECT_TRUE(refuses([&] { choose(list, QStringLiteral("کپی"), false); }));
    setRights(kAll);
}

// Without the phone book the form tells nothing of whose number was typed, yet names that
// contact; without the sensitive details an edit sends the file's customer and address back.
// The archive box and the drafts keep to the rights too.
TEST_F(AllRights, FormKeepsWhatItDoesNotShow)
{
    setRights(kAll & ~kPhoneBook);
    const QJsonObject contact = session->list("initial_customer").at(5).toObject();
    QQuickItem *editor = nullptr;
    auto open = [&](const QString &options) {
        editor = session->item("Templates.initial('generals/StackContent.qml', {}).open('file', " + options + ")");
        session->settle();
        return editor != nullptr;
    };
    ASSERT_TRUE(open("{}"));
    auto child = [&](const QString &name) {
        QQuickItem *item = editor->findChild<QQuickItem *>(name);
        return item ? item : session->find(name);
    };
    auto box = [&](const QString &input) {
        QQuickItem *field = child(input);
        return field ? field->findChild<QQuickItem *>(QStringLiteral("value_1")) : nullptr;
    };
    auto press = [&](QQuickItem *item) {
        QMetaObject::invokeMethod(editor, "reveal", Q_ARG(QVariant, QVariant::fromValue(item)));
        return session->click(item);
    };
    auto fill = [&](const QString &input, const QString &text) { return press(box(input)) && session->typeInto(box(input), text); };
    ASSERT_TRUE(press(child("toggle_trade_1")) && press(child("toggle_property_50")));
    ASSERT_TRUE(fill("input_customer_mobile_1", contact["mobile_1"].toString()));
    EXPECT_EQ(box("input_customer_name_family")->property("text").toString(), "");
    // No contact is offered, and a draft opened again shows the name as typed.
    ASSERT_TRUE(fill("input_customer_name_family", contact["name_family"].toString().left(4)));
    EXPECT_FALSE(session->find("completion_0"));
    ASSERT_TRUE(fill("input_customer_name_family", QStringLiteral("نام تازه")) && press(child("draft")) && session->confirm());
    ASSERT_TRUE(open(QStringLiteral("{'draftId': %1}").arg(obx::Box<File>(session->store()).query(File_::draft.equals(true)).build().findIds().back())));
    EXPECT_EQ(box("input_customer_name_family")->property("text").toString(), QStringLiteral("نام تازه"));
    std::size_t m = session->mark();
    ASSERT_TRUE(press(child("save")));
    const QJsonObject data = session->waitRequest("property_create", m)["content"].toObject()["data"].toObject();
    EXPECT_EQ(data["customer"].toObject()["customer_ref"].toObject()["id"].toString(), contact["_id"].toString());
    session->home();

    // The manager's apartment made a villa: the villa's inputs start empty, the hidden ones too.
    setRights(kAll & ~kSensitive);
    QQuickItem *list = listOf(QStringLiteral("m1-c48"));
    ASSERT_TRUE(list);
    const QVariantMap before = firstFile(list);
    ASSERT_EQ(before["agent_id"].toString() + before["property_ref"].toString(), "50");
    choose(list, QStringLiteral("ویرایش"), false);
    ASSERT_TRUE(session->waitUntil([&] { return (editor = session->findTop(QStringLiteral("fileEditor"))) && box("input_price_price_1"); }));
    session->settle();
    for (const char *hidden : {"input_customer_name_family", "input_customer_mobile_1", "input_info_address"})
        EXPECT_FALSE(child(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(box("input_price_price_1")->isVisible());
    ASSERT_TRUE(press(child("toggle_property_51")));
    m = session->mark();
    ASSERT_TRUE(press(child("save")));
    const QJsonObject edit = session->waitRequest("property_edit", m)["content"].toObject()["data"].toObject();
    const QJsonObject customer = edit["customer"].toObject()["customer_ref"].toObject();
    const QVariantMap owner = before["customer"].toMap();
    EXPECT_EQ(customer["name_family"].toString() + customer["mobile_1"].toString() + customer["id"].toString(),
              owner["name_family"].toString() + owner["mobile_1"].toString() + owner["_id"].toString());
    EXPECT_EQ(edit["info"].toObject()["address"].toString(), before["info"].toMap()["address"].toString());
    ASSERT_TRUE(session->waitUntil([&] { return stored(before["_id"].toString())["property_ref"].toInt() == 51; }));
    const QVariantMap after = stored(before["_id"].toString());
    EXPECT_EQ(after["customer"].toMap()["_id"], owner["_id"]);
    EXPECT_EQ(after["info"].toMap()["address"], before["info"].toMap()["address"]);
    session->home();

    // Without the delete right the archive box shows only on new files (and the agent's own), and
    // an archived file goes back archived.
    setRights(kAll & ~kDelete);
    for (const auto &[file, sent] : {std::pair{"m1-f0", 1}, {"m1-f9", 10}, {"", 0}}) {
        ASSERT_TRUE(open(*file ? QStringLiteral("{'file': Database.getFile('%1')}").arg(file) : QStringLiteral("{}")));
        EXPECT_EQ(child("archive")->isVisible(), !sent) << file;
        m = session->mark();
        if (sent && press(child("save"))) {
            EXPECT_EQ(session->waitRequest("property_edit", m)["content"].toObject()["data"].toObject()["trade_id"].toInt(), sent);
        }
        session->home();
    }
    // Without the add right a draft does not open, even from a drafts list opened before.
    setRights(kAll);
    session->eval("Database.saveDraft({'user_ref': Account.userId()}, 0)");
    QQuickItem *drafts = nullptr;
    ASSERT_TRUE(open("{}") && press(child("drafts")) && session->waitUntil([&] { return (drafts = session->findTop("fileList")) && drafts->property("count").toInt() > 0; }));
    setRights(kAll & ~kAdd);
    EXPECT_TRUE(refuses([&] { QMetaObject::invokeMethod(drafts, "openFile", Q_ARG(QVariant, 0)); }));
    setRights(kAll);
}

} // namespace
