// An agent's rights on the screens, end to end: the real window logged in as an agent of the
// fixture agency server, once with none of the six rights and once with all of them, and single
// rights taken and given back by pushed "agent_edit" notices while the screens are open.
#include "screensession.h"

#include <QJSValue>
#include <QJsonArray>
#include <QQuickItem>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kPlatforms = 64 | 128 | 256;
constexpr int kAdd = 2, kEdit = 4, kDelete = 8, kSensitive = 16, kPhoneBook = 32, kSearch = 2048;
constexpr int kAll = kAdd | kEdit | kDelete | kSensitive | kPhoneBook | kSearch;
const QString kRefused = QStringLiteral("دسترسی شما به این بخش توسط مدیریت قطع شده است.");
// The fixture's agent 2, made a plain agent: files of agent 2 are its own, agent 1 is a secretary.
// The files of customer cN belong to the manager, agent 1 or agent 2 as N % 3 is 0, 1 or 2.
const char kMe[] = "m1-a2";

QVariantMap mapOf(const QVariant &v)
{
    return v.userType() == qMetaTypeId<QJSValue>() ? v.value<QJSValue>().toVariant().toMap() : v.toMap();
}

class Rights : public ::testing::Test
{
protected:
    static void startAs(int access)
    {
        s = new ScreenSession;
        ScreenSession::Options o;
        o.serverArgs = {"--agent", "2:" + std::to_string(kPlatforms | access) + ":0"};
        o.mobile = QStringLiteral("09350000002");
        if (!s->start(o))
            error = s->error();
    }
    static void TearDownTestSuite()
    {
        delete s;
        s = nullptr;
        error.clear();
    }
    void SetUp() override
    {
        ASSERT_TRUE(error.empty()) << error;
        ASSERT_EQ(s->eval("Account.agentId()").toString(), kMe);
        warnings = s->warningMark();
    }
    void TearDown() override
    {
        if (!s)
            return;
        EXPECT_TRUE(s->warningsSince(warnings).isEmpty()) << s->warningsSince(warnings).join("\n").toStdString();
        s->home();
    }

    // The server changes the agent's rights and pushes them; the account has them when this returns.
    static void setRights(int access)
    {
        s->command({{"cmd", "agent"}, {"agent", kMe}, {"access", kPlatforms | access}});
        ASSERT_TRUE(s->until(QStringLiteral("Account.get().access === %1").arg(kPlatforms | access)));
        s->wait(100);
    }

    // Runs the step and tells whether it showed the refusal; earlier messages are cleared first.
    static bool refuses(const std::function<void()> &step)
    {
        s->eval("for (var i = Toast.children.length - 1; i >= 0; --i) Toast.children[i].destroy()");
        s->wait(50);
        step();
        return s->waitUntil([] { return s->findText(kRefused) != nullptr; }, 3000);
    }

    // A tab list of one customer's files.
    static QQuickItem *listOf(const QString &customer)
    {
        return openList("{'mode': 'tab', 'title': 'آزمون', 'filters': [{'key': 'customer_ref', 'value': {'value_1': '"
                        + customer + "', 'value_2': ''}}]}");
    }

    static QQuickItem *openList(const QString &options)
    {
        s->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'fileList', 'options': " + options + "})");
        QQuickItem *list = nullptr;
        s->waitUntil([&] {
            list = s->findTop(QStringLiteral("fileList"));
            return list && list->property("count").toInt() > 0 && !list->property("loading").toBool();
        });
        s->settle();
        s->wait(300);
        return list;
    }

    static QVariantMap row(QQuickItem *list, int i)
    {
        QVariant ret;
        QMetaObject::invokeMethod(list, "rowAt", Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, i));
        return mapOf(ret);
    }

    // The card showing row i of the list.
    static QQuickItem *card(QQuickItem *list, int i)
    {
        const QString id = row(list, i).value("_id").toString();
        QQuickItem *found = nullptr;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName() == "fileRow" && mapOf(item->property("file")).value("_id").toString() == id)
                found = item;
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(list);
        return found;
    }

    // Whether the card shows this text among its visible texts.
    static bool shows(QQuickItem *card, const QString &text)
    {
        bool found = false;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (!item->isVisible())
                return;
            found = found || item->property("text").toString().contains(text);
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        if (card)
            walk(card);
        return found;
    }

    // The address and the owner's name of row i's file, as the store has them.
    static QStringList contactOf(QQuickItem *list, int i)
    {
        const QVariantMap f = mapOf(s->eval("Database.getFile('" + row(list, i).value("_id").toString() + "')"));
        return {f.value("info").toMap().value("address").toString(), f.value("customer").toMap().value("name_family").toString()};
    }

    static bool showsContact(QQuickItem *list, int i)
    {
        const QStringList details = contactOf(list, i);
        EXPECT_FALSE(details[0].isEmpty() || details[1].isEmpty());
        const bool address = shows(card(list, i), details[0]), owner = shows(card(list, i), details[1]);
        EXPECT_EQ(address, owner) << "the address and the owner go together";
        return address && owner;
    }

    // The titles of row i's menu, which stays open.
    static QStringList menuOf(QQuickItem *list, int i)
    {
        QObject *popup = list->findChild<QObject *>(QStringLiteral("fileMenu"));
        EXPECT_TRUE(s->waitUntil([&] { return !popup->property("visible").toBool(); }));
        QMetaObject::invokeMethod(list, "openMenu", Q_ARG(QVariant, i));
        EXPECT_TRUE(s->waitUntil([&] { return popup->property("opened").toBool(); }));
        s->wait(100);
        QStringList titles;
        for (const QVariant &e : popup->property("entries").toList())
            titles << mapOf(e).value("title").toString();
        return titles;
    }

    // Chooses the entry of row i's menu; true when it asked for a confirmation, which is given.
    static bool choose(QQuickItem *list, int i, const QString &title)
    {
        menuOf(list, i);
        EXPECT_TRUE(s->clickText(title)) << title.toStdString();
        if (!s->waitUntil([] { return s->findText(QStringLiteral("بله")) != nullptr; }, 1000))
            return false;
        EXPECT_TRUE(s->clickText(QStringLiteral("بله")));
        return true;
    }

    // Files of the manager moved to the recycle bin by a pushed notice.
    static void toBin(const QStringList &ids)
    {
        QJsonArray action;
        for (const QString &id : ids)
            action.append(QJsonObject{{"file_id", id}, {"value", true}});
        s->push("property_notify", "action", QJsonObject{{"key", "status.delete"}, {"action", action}});
        ASSERT_TRUE(s->waitUntil([&] {
            return s->eval("Database.getFile('" + ids.last() + "').status.delete").toBool();
        }));
    }

    // The recycle bin of a board of the binned files' trade (7) and property (56) types.
    static QQuickItem *bin()
    {
        return openList("{'filterModel': {'trade_type': 7, 'property_type': 56, 'filter': [], 'name': 'آزمون'}, "
                        "'view': 'recycle'}");
    }

    static bool opensSearch(const std::function<void()> &step)
    {
        step();
        return s->waitUntil([] { return s->findTop(QStringLiteral("searchScreen")) != nullptr; }, 3000);
    }

    static void openShelf()
    {
        ASSERT_TRUE(s->click(s->find(QStringLiteral("shelf_m1-s0"))));
        ASSERT_TRUE(s->until("Stacks.last().objectName === 'tavorlinsList' && Stacks.last().listRead === null"));
        s->settle();
    }

    static bool phoneTile() { return s->eval("Stacks.last().tiles.some(function (t) { return t.color === -2000 })").toBool(); }

    static ScreenSession *s;
    static std::string error;
    std::size_t warnings = 0;
};

ScreenSession *Rights::s = nullptr;
std::string Rights::error;

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
    // The search by code: its advanced search button stays and refuses, the dialog stays open.
    ASSERT_TRUE(s->click(s->find(QStringLiteral("fabMain"))));
    ASSERT_TRUE(s->click(s->find(QStringLiteral("fab_code"))));
    const QString searchType = "Templates.dialogs.some(function (d) { return d.objectName === 'searchType' && d.opened })";
    ASSERT_TRUE(s->until(searchType));
    EXPECT_TRUE(refuses([] { s->click(s->findTop(QStringLiteral("advancedSearchButton"))); }));
    EXPECT_TRUE(s->eval(searchType).toBool());
    s->home();

    // The board header and the page container's keys.
    openShelf();
    EXPECT_FALSE(phoneTile());
    EXPECT_TRUE(refuses([] { s->click(s->findTop(QStringLiteral("advancedSearch"))); }));
    EXPECT_TRUE(refuses([] { EXPECT_FALSE(s->eval("Templates.container('search', {}) !== null").toBool()); }));
    EXPECT_TRUE(refuses([] { EXPECT_FALSE(s->eval("Templates.container('contact', {}) !== null").toBool()); }));
    s->wait(300);
    EXPECT_FALSE(s->findTop(QStringLiteral("searchScreen")));
    EXPECT_FALSE(s->findTop(QStringLiteral("contact_book")));
}

TEST_F(NoRights, OthersContactDetailsStayHiddenEverywhere)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    const QVariantMap file = row(list, 0);
    ASSERT_EQ(file.value("agent_id").toString(), "");
    EXPECT_FALSE(showsContact(list, 0));
    const QString id = file.value("_id").toString();
    const QString address = contactOf(list, 0)[0], owner = contactOf(list, 0)[1];
    // The share text and the post image never carry them; the printed card leaves the address out.
    const QString share = s->eval("Consts.get_share_text(Database.getFile('" + id + "'))").toString();
    EXPECT_FALSE(share.contains(address) || share.contains(owner)) << share.toStdString();
    s->eval("Templates.dialog('files/FileDetailPrintDialog.qml', {'file': Database.getFile('" + id + "')}).open()");
    EXPECT_TRUE(s->waitUntil([] { return s->findTop(QStringLiteral("printContent")) != nullptr; }));
    QQuickItem *printed = s->findTop(QStringLiteral("printContent"));
    ASSERT_TRUE(printed);
    EXPECT_FALSE(printed->parentItem()->property("address").toString().contains(address));
    s->eval("Templates.closeAllDialogs()");
    s->home();

    // The agent's own files and a secretary's show them.
    for (const char *customer : {"m1-c5", "m1-c4"}) {
        list = listOf(customer);
        ASSERT_TRUE(list);
        EXPECT_TRUE(showsContact(list, 0)) << customer;
        s->home();
    }
}

TEST_F(NoRights, CopyAndTheRecycleBinAreRefused)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    const QStringList others = menuOf(list, 0);
    EXPECT_FALSE(others.contains("ویرایش") || others.contains("حذف") || others.contains("بایگانی")) << others.join(",").toStdString();
    s->home();
    list = listOf(QStringLiteral("m1-c3"));
    std::size_t m = s->mark();
    EXPECT_TRUE(refuses([&] { EXPECT_FALSE(choose(list, 0, QStringLiteral("کپی"))); }));
    s->home();

    toBin({"m1-f6"});
    list = bin();
    ASSERT_TRUE(list);
    ASSERT_EQ(row(list, 0).value("_id").toString(), "m1-f6");
    EXPECT_TRUE(refuses([&] { EXPECT_FALSE(choose(list, 0, QStringLiteral("حذف برای همیشه"))); }));
    EXPECT_TRUE(refuses([&] { EXPECT_FALSE(choose(list, 0, QStringLiteral("خالی کردن سطل آشغال"))); }));
    // Picked in the selection, too.
    EXPECT_FALSE(choose(list, 0, QStringLiteral("انتخاب")));
    QMetaObject::invokeMethod(list, "openFile", Q_ARG(QVariant, 0));
    EXPECT_TRUE(refuses([] { s->click(s->findText(QStringLiteral("حذف برای همیشه"))); }));
    s->wait(300);
    EXPECT_TRUE(s->requests("property_copy", m).empty());
    EXPECT_TRUE(s->requests("property_action", m).empty());
    EXPECT_TRUE(s->requests("property_clean", m).empty());
    EXPECT_TRUE(s->eval("Database.getFile('m1-f6').status.delete").toBool());
}

TEST_F(AllRights, EveryGuardedActionGoesThrough)
{
    openShelf();
    EXPECT_TRUE(phoneTile());
    EXPECT_TRUE(opensSearch([] { s->click(s->findTop(QStringLiteral("advancedSearch"))); }));
    s->home();
    s->eval("Templates.container('contact', {})");
    EXPECT_TRUE(s->waitUntil([] { return s->findTop(QStringLiteral("contact_book")) != nullptr; }));
    s->home();

    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    EXPECT_TRUE(showsContact(list, 0));
    std::size_t m = s->mark();
    EXPECT_TRUE(choose(list, 0, QStringLiteral("کپی")));
    EXPECT_FALSE(s->waitRequest("property_copy", m).isEmpty());
    s->home();

    toBin({"m1-f6", "m1-f54"});
    list = bin();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->property("count").toInt(), 2);
    m = s->mark();
    EXPECT_TRUE(choose(list, 0, QStringLiteral("حذف برای همیشه")));
    EXPECT_EQ(s->waitRequest("property_action", m).value("content").toObject().value("key").toString(), "die");
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == 1; }));
    m = s->mark();
    EXPECT_TRUE(choose(list, 0, QStringLiteral("خالی کردن سطل آشغال")));
    EXPECT_FALSE(s->waitRequest("property_clean", m).isEmpty());
}

// Each right taken away by a pushed notice is gone from the open screen at once, and back when
// it is given back.
TEST_F(AllRights, PushedRightsReachTheOpenScreens)
{
    QQuickItem *list = listOf(QStringLiteral("m1-c3"));
    ASSERT_TRUE(list);
    setRights(kAll & ~kSensitive);
    EXPECT_FALSE(showsContact(list, 0));
    setRights(kAll);
    EXPECT_TRUE(showsContact(list, 0));

    setRights(kAll & ~kDelete & ~kEdit);
    QStringList entries = menuOf(list, 0);
    EXPECT_FALSE(entries.contains("حذف") || entries.contains("ویرایش")) << entries.join(",").toStdString();
    s->home();
    setRights(kAll & ~kAdd);
    list = listOf(QStringLiteral("m1-c3"));
    std::size_t m = s->mark();
    EXPECT_TRUE(refuses([&] { EXPECT_FALSE(choose(list, 0, QStringLiteral("کپی"))); }));
    EXPECT_TRUE(s->requests("property_copy", m).empty());
    s->home();
    setRights(kAll);

    s->eval("Templates.container('contact', {})");
    ASSERT_TRUE(s->waitUntil([] { return s->findTop(QStringLiteral("contact_list")) != nullptr; }));
    setRights(kAll & ~kPhoneBook);
    EXPECT_TRUE(s->findTop(QStringLiteral("contact_refused")));
    EXPECT_FALSE(s->findTop(QStringLiteral("contact_list")));
    setRights(kAll);
    EXPECT_TRUE(s->waitUntil([] { return s->findTop(QStringLiteral("contact_list")) != nullptr; }));
    s->home();

    openShelf();
    setRights(kAll & ~kPhoneBook);
    EXPECT_TRUE(s->waitUntil([] { return !phoneTile(); }));
    setRights(kAll);
    EXPECT_TRUE(s->waitUntil([] { return phoneTile(); }));

    ASSERT_TRUE(opensSearch([] { s->click(s->findTop(QStringLiteral("advancedSearch"))); }));
    setRights(kAll & ~kSearch);
    EXPECT_TRUE(s->findTop(QStringLiteral("searchRefused")));
    EXPECT_TRUE(refuses([] { s->eval("Templates.container('search', {})"); }));
    setRights(kAll);
    EXPECT_FALSE(s->findTop(QStringLiteral("searchRefused")));
}

// Without the phone book the form says nothing of whose number was typed, yet names the
// existing contact; without the sensitive details an edit sends the file's customer and address
// back as they are.
TEST_F(AllRights, FormKeepsWhatItDoesNotShow)
{
    setRights(kAll & ~kPhoneBook);
    const QJsonObject contact = s->list("initial_customer").at(5).toObject();
    QQuickItem *editor = s->item("Templates.initial('generals/StackContent.qml', {}).open('file', {})");
    ASSERT_TRUE(editor);
    ASSERT_TRUE(s->until("!Stacks.stack.busy"));
    // Items of this editor first: a page on its way out may still hold items of the same names.
    auto child = [&](const QString &name) {
        QQuickItem *item = editor->findChild<QQuickItem *>(name);
        return item ? item : s->find(name);
    };
    auto box = [&](const QString &input) {
        QQuickItem *field = child(input);
        return field ? field->findChild<QQuickItem *>(QStringLiteral("value_1")) : nullptr;
    };
    auto fill = [&](const QString &input, const QString &text) {
        QQuickItem *field = box(input);
        QMetaObject::invokeMethod(editor, "reveal", Q_ARG(QVariant, QVariant::fromValue(field)));
        s->wait(50);
        return s->typeInto(field, text);
    };
    auto press = [&](const char *name) {
        QQuickItem *item = child(name);
        QMetaObject::invokeMethod(editor, "reveal", Q_ARG(QVariant, QVariant::fromValue(item)));
        s->wait(50);
        return s->click(item);
    };
    ASSERT_TRUE(press("toggle_trade_1"));
    ASSERT_TRUE(press("toggle_property_50"));
    ASSERT_TRUE(fill("input_customer_mobile_1", contact.value("mobile_1").toString()));
    s->wait(200);
    EXPECT_EQ(box("input_customer_name_family")->property("text").toString(), "");
    ASSERT_TRUE(fill("input_customer_name_family", QStringLiteral("نام تازه")));
    std::size_t m = s->mark();
    ASSERT_TRUE(press("save"));
    const QJsonObject customer = s->waitRequest("property_create", m).value("content").toObject().value("data").toObject()
                                     .value("customer").toObject().value("customer_ref").toObject();
    EXPECT_EQ(customer.value("id").toString(), contact.value("_id").toString());
    s->home();

    // An edit of the manager's file by an agent who may edit but not see its details, who makes
    // the apartment a villa: the villa's inputs start empty, the hidden ones too.
    setRights(kAll & ~kSensitive);
    QQuickItem *list = listOf(QStringLiteral("m1-c48"));
    ASSERT_TRUE(list);
    const QVariantMap file = row(list, 0);
    ASSERT_EQ(file.value("agent_id").toString(), "");
    ASSERT_LE(file.value("trade_ref").toInt(), 4);
    const QString id = file.value("_id").toString();
    const QVariantMap before = mapOf(s->eval("Database.getFile('" + id + "')"));
    EXPECT_FALSE(choose(list, 0, QStringLiteral("ویرایش")));
    ASSERT_TRUE(s->waitUntil([&] { return (editor = s->findTop(QStringLiteral("fileEditor"))) != nullptr; }));
    ASSERT_TRUE(s->waitUntil([&] { return box("input_price_price_1") != nullptr; }));
    s->settle();
    for (const char *hidden : {"input_customer_name_family", "input_customer_mobile_1", "input_info_address"}) {
        QQuickItem *field = child(hidden);
        EXPECT_TRUE(field && !field->isVisible()) << hidden;
    }
    EXPECT_TRUE(box("input_price_price_1")->isVisible());
    ASSERT_TRUE(press("toggle_property_51"));
    ASSERT_TRUE(s->waitUntil([&] { return child("input_customer_name_family") != nullptr; }));
    m = s->mark();
    ASSERT_TRUE(press("save"));
    const QJsonObject data = s->waitRequest("property_edit", m).value("content").toObject().value("data").toObject();
    const QVariantMap owner = before.value("customer").toMap();
    const QJsonObject sent = data.value("customer").toObject().value("customer_ref").toObject();
    EXPECT_EQ(sent.value("name_family").toString(), owner.value("name_family").toString());
    EXPECT_EQ(sent.value("mobile_1").toString(), owner.value("mobile_1").toString());
    EXPECT_EQ(sent.value("id").toString(), owner.value("_id").toString());
    EXPECT_EQ(data.value("info").toObject().value("address").toString(), before.value("info").toMap().value("address").toString());
    ASSERT_TRUE(s->waitUntil([&] { return s->findTop(QStringLiteral("fileEditor")) == nullptr; }));
    const QVariantMap after = mapOf(s->eval("Database.getFile('" + id + "')"));
    EXPECT_EQ(after.value("customer").toMap().value("_id"), owner.value("_id"));
    EXPECT_EQ(after.value("info").toMap().value("address"), before.value("info").toMap().value("address"));
    setRights(kAll);
}

} // namespace
