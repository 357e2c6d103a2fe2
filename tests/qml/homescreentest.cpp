// The home and board screens end to end: the real window, Sockets over TLS to the fixture agency
// server, a real store. Every change is driven as a user would where the mouse can, and checked
// in what the server received and in the store.
#include "screensession.h"

#include <QJSValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The newest dialog and the page on top.
const char *const kTop = "Templates.dialogs[Templates.dialogs.length - 1]";
const char *const kPage = "Stacks.last()";

class HomeScreens : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        session = new ScreenSession;
        started = session->start();
        if (!started)
            std::cerr << "session: " << session->error() << std::endl;
    }
    static void TearDownTestSuite()
    {
        delete session;
        session = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(started);
        session->home();
        ASSERT_TRUE(session->until("Stacks.last().shelvesLoader.item && Stacks.last().shelvesLoader.item.loaded"));
        settle();
    }

    QVariant eval(const QString &code) { return session->eval(code); }
    QString shelves() { return "Stacks.last().shelvesLoader.item"; }
    QQuickItem *find(const QString &name) { return session->find(name); }

    // Creates a shelf through the floating button and answers its server id.
    QString createShelf(const QString &name)
    {
        const std::size_t from = session->mark();
        EXPECT_TRUE(session->click(find("fabMain")));
        EXPECT_TRUE(session->click(find("fab_shelf")));
        EXPECT_TRUE(session->typeInto(find("shelfName"), name));
        EXPECT_TRUE(session->click(find("shelfSubmit")));
        const QJsonObject request = session->waitRequest("shelf_create", from);
        EXPECT_EQ(request.value("content").toObject().value("name").toString(), name);
        EXPECT_TRUE(session->until(shelves() + ".shelves.some(function (s) { return s.name === '" + name + "' })"));
        return eval(shelves() + ".shelves.filter(function (s) { return s.name === '" + name + "' })[0]._id").toString();
    }

    // Opens a shelf by its tile and waits for its boards with their counts.
    void openShelf(const QString &id)
    {
        EXPECT_TRUE(session->click(find("shelf_" + id)));
        EXPECT_TRUE(session->until(QString(kPage) + ".objectName === 'tavorlinsList' && " + kPage + ".listRead === null"));
        settle();
    }

    // A form taller than its dialog: the wheel brings the item into view.
    void scrollTo(QQuickItem *flickable, QQuickItem *item)
    {
        for (int i = 0; i < 30 && item; ++i) {
            const qreal bottom = item->mapToItem(flickable, QPointF(0, item->height())).y();
            if (bottom <= flickable->height() && item->mapToItem(flickable, QPointF(0, 0)).y() >= 0)
                return;
            session->wheel(flickable, bottom > flickable->height() ? -120 : 120);
        }
    }

    // Pages take no input while they slide.
    void settle() { EXPECT_TRUE(session->until("!Stacks.stack.busy")); }

    int boardTiles() { return eval(QString(kPage) + ".tiles.filter(function (t) { return t.color > 0 }).length").toInt(); }

    static ScreenSession *session;
    static bool started;
};

ScreenSession *HomeScreens::session = nullptr;
bool HomeScreens::started = false;

// A shelf is made, filled by choose-boards (with default boards the server creates on the way),
// given a new board with two filters whose count matches the store's, and the boards renamed,
// recoloured, reordered and taken off; then the shelf goes.
TEST_F(HomeScreens, ShelfAndBoardsThroughTheirScreens)
{
    const QString shelf = createShelf(QStringLiteral("کمد آزمون"));
    ASSERT_FALSE(shelf.isEmpty());
    EXPECT_EQ(eval("Database.getShelves('" + shelf + "', -1).name").toString(), QStringLiteral("کمد آزمون"));

    // The empty shelf opens choose-boards by itself; the board list is not filled by its answer.
    ASSERT_TRUE(session->click(find("shelf_" + shelf)));
    ASSERT_TRUE(session->until(QString(kPage) + ".objectName === 'tavorlinsShelf' && " + kPage + ".rows.length > 100"));
    settle();
    EXPECT_EQ(eval(QString(kPage) + ".rows.filter(function (r) { return r._id === '' }).length").toInt(), 160)
        << "the default boards are not on the server yet";
    std::size_t from = session->mark();
    ASSERT_TRUE(session->click(find("choose_0")));
    ASSERT_TRUE(session->click(find("choose_1")));
    // A server board far down the list: ticked as the row would tick it.
    eval(QString(kPage) + ".setChecked(" + kPage + ".rows.map(function (r) { return r._id }).indexOf('m1-t0'), true)");
    ASSERT_TRUE(session->click(find("chooseSubmit")));
    const QJsonObject change = session->waitRequest("shelf_tavorlin", from).value("content").toObject();
    const QJsonArray add = change.value("tavorlin_add").toArray();
    ASSERT_EQ(add.size(), 3);
    EXPECT_FALSE(add[0].toObject().contains("tavorlin_id")) << "a default board is sent to be created";
    EXPECT_EQ(add[0].toObject().value("tavorlin").toObject().value("user_id").toString(), "m1");
    EXPECT_EQ(add[2].toObject().value("tavorlin_id").toString(), "m1-t0");
    ASSERT_TRUE(session->until(QString(kPage) + ".objectName === 'tavorlinsList' && " + kPage + ".countsApplied > 0"));
    settle();
    EXPECT_EQ(boardTiles(), 3) << "the created boards are placed with the chosen one";
    EXPECT_EQ(eval(QString(kPage) + ".tiles.length").toInt(), 5) << "and the two extra tiles follow";

    // A new board with two filters, through the add tile and the filter dialog.
    from = session->mark();
    ASSERT_TRUE(session->click(find("board_3")));
    ASSERT_TRUE(session->click(find("addNewBoard")));
    ASSERT_TRUE(session->until("typeof " + QString(kTop) + ".contentType !== 'undefined'"));
    ASSERT_TRUE(session->click(find("trade_1")));
    ASSERT_TRUE(session->click(find("property_50")));
    QQuickItem *form = find("tavorlinAddForm");
    ASSERT_NE(form, nullptr);
    const auto candidate = [form](const QString &key) {
        const QVariantList list = form->property("candidates").toList();
        for (int i = 0; i < list.size(); ++i)
            if (list[i].toMap().value("itemKey").toString() == key)
                return i;
        return -1;
    };
    const auto filterCount = [form] { return form->property("filters").toList().size(); };
    const int area = candidate("meter.home");
    ASSERT_GE(area, 0);
    ASSERT_TRUE(session->click(find("candidate_" + QString::number(area))));
    ASSERT_TRUE(session->typeInto(find("value_1"), "50"));
    ASSERT_TRUE(session->typeInto(find("value_2"), "50"));
    ASSERT_TRUE(session->click(find("filterSubmit")));
    EXPECT_EQ(filterCount(), 0) << "an upper bound that is not above the lower is refused";
    ASSERT_TRUE(session->typeInto(find("value_2"), "250"));
    ASSERT_TRUE(session->click(find("filterSubmit")));
    ASSERT_TRUE(session->waitUntil([&] { return filterCount() == 1; }));
    const int price = candidate("info.room");
    ASSERT_GE(price, 0);
    ASSERT_TRUE(session->click(find("candidate_" + QString::number(price))));
    ASSERT_TRUE(session->typeInto(find("value_1"), "2"));
    ASSERT_TRUE(session->click(find("filterSubmit")));
    ASSERT_TRUE(session->waitUntil([&] { return filterCount() == 2; }));
    scrollTo(form, find("boardSubmit"));
    ASSERT_TRUE(session->typeInto(find("boardName"), QStringLiteral("آپارتمان های بزرگ")));    ASSERT_TRUE(session->click(find("boardSubmit")));
    // The agency has agents: who may see it comes first.
    ASSERT_TRUE(session->click(find("access_0")));
    ASSERT_TRUE(session->click(find("accessSubmit")));
    const QJsonObject created = session->waitRequest("tavorlin_create", from).value("content").toObject();
    EXPECT_EQ(created.value("shelf_id").toString(), shelf);
    EXPECT_EQ(created.value("access").toArray().size(), 1);
    const QJsonArray filters = created.value("filter").toArray();
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].toObject().value("value").toObject(),
              (QJsonObject{{"value_1", "50"}, {"value_2", "250"}}));
    EXPECT_EQ(filters[1].toObject().value("value").toObject(),
              (QJsonObject{{"value_1", "2"}, {"value_2", ""}}));
    ASSERT_TRUE(session->until(QString(kPage) + ".tiles.some(function (t) { return t.name === 'آپارتمان های بزرگ' })"));
    ASSERT_TRUE(session->until(QString(kPage) + ".countsApplied > 1"));
    const QString tile = QString(kPage) + ".tiles.filter(function (t) { return t.name === 'آپارتمان های بزرگ' })[0]";
    const QString boardId = eval(tile + "._id").toString();
    const int expected = eval("Database.getFilesCount(1, 50, Database.getTavorlin('" + boardId + "', -1).filter, false)").toInt();
    EXPECT_GT(expected, 0);
    EXPECT_EQ(eval(tile + ".count").toInt(), expected);
    // The filter values came back from the store as they were typed.
    const QString stored = eval("JSON.stringify(Database.getTavorlin('" + boardId + "', -1).filter)").toString();
    EXPECT_TRUE(stored.contains("\"value_1\":\"50\",\"value_2\":\"250\"")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("\"value_1\":\"2\",\"value_2\":\"\"")) << stored.toStdString();

    // Tapping the board lists what it counted, with the board as the list's filter model.
    const int index = eval(QString(kPage) + ".tiles.map(function (t) { return t._id }).indexOf('" + boardId + "')").toInt();
    ASSERT_TRUE(session->click(find("board_" + QString::number(index))));
    ASSERT_TRUE(session->waitUntil([&] {
        QQuickItem *list = find("fileList");
        return list && list->isVisible() && list->property("count").toInt() == expected;
    })) << "the list shows what the tile counts";
    EXPECT_EQ(find("fileList")->property("filterModel").toMap().value("_id").toString(), boardId);
    eval("Templates.closeAllDialogs()");
    session->wait(400);

    // Rename through the board menu and the name dialog.
    from = session->mark();
    ASSERT_TRUE(session->click(find("board_" + QString::number(index))->findChild<QQuickItem *>("boardMenu")));
    ASSERT_TRUE(session->click(find("boardMenu_name")));
    ASSERT_TRUE(session->typeInto(find("nameField"), QStringLiteral("نام تازه")));
    ASSERT_TRUE(session->click(find("nameOk")));
    EXPECT_EQ(session->waitRequest("tavorlin_edit", from).value("content").toObject().value("name").toString(),
              QStringLiteral("نام تازه"));
    ASSERT_TRUE(session->until("Database.getTavorlin('" + boardId + "', -1).name === 'نام تازه'"));
    EXPECT_TRUE(session->until(QString(kPage) + ".tiles[" + QString::number(index) + "].name === 'نام تازه'"));

    // Colour through the new-board screen in colour mode.
    from = session->mark();
    ASSERT_TRUE(session->click(find("board_" + QString::number(index))->findChild<QQuickItem *>("boardMenu")));
    ASSERT_TRUE(session->click(find("boardMenu_color")));
    ASSERT_TRUE(session->click(find("boardColor_5")));
    ASSERT_TRUE(session->click(find("boardSubmit")));
    EXPECT_EQ(session->waitRequest("tavorlin_edit", from).value("content").toObject().value("color").toInt(), 5);
    ASSERT_TRUE(session->until("Database.getTavorlin('" + boardId + "', -1).color === 5"));

    // A failed reply changes nothing and keeps the name in its dialog; "تایید" waits for the answer.
    ASSERT_TRUE(session->click(find("board_" + QString::number(index))->findChild<QQuickItem *>("boardMenu")));
    ASSERT_TRUE(session->click(find("boardMenu_name")));
    ASSERT_TRUE(session->typeInto(find("nameField"), QStringLiteral("نباید بماند")));
    for (const char *mode : {"null", "notok", "silent"}) {
        session->fail("tavorlin_edit", mode);
        from = session->mark();
        ASSERT_TRUE(session->click(find("nameOk")));
        ASSERT_FALSE(session->waitRequest("tavorlin_edit", from).isEmpty());
        ASSERT_TRUE(session->waitUntil([&] { return find("nameOk") && find("nameOk")->isEnabled() == (*mode != 's'); })) << mode;
        EXPECT_EQ(find("nameField")->property("text").toString(), QStringLiteral("نباید بماند"));
        EXPECT_EQ(eval("Database.getTavorlin('" + boardId + "', -1).name").toString(), QStringLiteral("نام تازه")) << mode;
        EXPECT_EQ(eval(QString(kPage) + ".tiles[" + QString::number(index) + "].name").toString(), QStringLiteral("نام تازه"));
    }
    EXPECT_TRUE(session->findText(QStringLiteral("خطای آزمایشی سرور")));
    session->key(Qt::Key_Escape);

    // Renamed to nothing, the tile shows the title the store gives the board: its kind and filter.
    from = session->mark();
    ASSERT_TRUE(session->click(find("board_" + QString::number(index))->findChild<QQuickItem *>("boardMenu")));
    ASSERT_TRUE(session->click(find("boardMenu_name")));
    ASSERT_TRUE(session->typeInto(find("nameField"), QString()));
    session->key(Qt::Key_Backspace);
    ASSERT_TRUE(session->click(find("nameOk")));
    EXPECT_EQ(session->waitRequest("tavorlin_edit", from).value("content").toObject().value("name").toString(), "");
    ASSERT_TRUE(session->until("Database.getTavorlin('" + boardId + "', -1).name === ''"));
    const QString title = eval("Database.getTavorlin('" + boardId + "', -1).title").toString();
    EXPECT_TRUE(title.contains(QStringLiteral("آپارتمان"))) << title.toStdString();
    EXPECT_TRUE(session->until(QString(kPage) + ".tiles[" + QString::number(index) + "].title === '" + title + "'"));
    EXPECT_NE(session->findText(title), nullptr);

    // Reordering: hold, drag the first board onto the second; the store's order changes and
    // nothing goes to the server.
    const QString first = eval(QString(kPage) + ".tiles[0]._id").toString();
    const QString second = eval(QString(kPage) + ".tiles[1]._id").toString();
    from = session->mark();
    ASSERT_TRUE(session->drag(find("board_0"), find("board_1"), 1700));
    ASSERT_TRUE(session->until(QString(kPage) + ".tiles[1]._id === '" + first + "'"));
    eval(QString(kPage) + ".reload()");
    ASSERT_TRUE(session->until(QString(kPage) + ".listRead === null && " + kPage + ".tiles.length === 6"));
    EXPECT_EQ(eval(QString(kPage) + ".tiles[0]._id").toString(), second);
    EXPECT_EQ(eval(QString(kPage) + ".tiles[1]._id").toString(), first);
    session->wait(300);
    for (const char *name : {"shelf_tavorlin", "tavorlin_edit", "shelf_edit", "tavorlin_create"})
        EXPECT_TRUE(session->requests(name, from).empty()) << name;

    // Off the shelf through the board menu.
    from = session->mark();
    ASSERT_TRUE(session->click(find("board_0")->findChild<QQuickItem *>("boardMenu")));
    ASSERT_TRUE(session->click(find("boardMenu_remove")));
    EXPECT_EQ(session->waitRequest("shelf_tavorlin_remove", from).value("content").toObject().value("tavorlin_id").toString(),
              second);
    ASSERT_TRUE(session->until(QString(kPage) + ".tiles.length === 5"));
    eval(QString(kPage) + ".reload()");
    ASSERT_TRUE(session->until(QString(kPage) + ".listRead === null && " + kPage + ".tiles.length === 5"));

    // The shelf goes, after its confirmation.
    session->home();
    settle();
    from = session->mark();
    ASSERT_TRUE(session->longPress(find("shelf_" + shelf)));
    ASSERT_TRUE(session->click(find("shelfMenu_delete")));
    ASSERT_TRUE(session->click(find("confirmYes")));
    EXPECT_EQ(session->waitRequest("shelf_remove", from).value("content").toObject().value("shelf_id").toString(), shelf);
    ASSERT_TRUE(session->until("!" + shelves() + ".shelves.some(function (s) { return s._id === '" + shelf + "' })"));
    EXPECT_TRUE(eval("Database.getShelves('" + shelf + "', -1).error !== undefined").toBool());
}

// Notices reach the open screens: a new shelf on the home, a default board created and placed
// through the shelf notice, and a pushed file raising a board's badge.
TEST_F(HomeScreens, NoticesReachTheOpenScreens)
{
    session->push("shelf_notify", "create", QJsonObject{{"shelf_id", "m1-pushed"}, {"name", "کمد رسیده"}, {"color", 3},
                                                         {"type", 0}, {"access", QJsonArray()}});
    ASSERT_TRUE(session->until(shelves() + ".shelves.some(function (s) { return s._id === 'm1-pushed' })"));
    EXPECT_EQ(eval("Database.getShelves('m1-pushed', -1).name").toString(), QStringLiteral("کمد رسیده"));

    // A default board of sale apartments, created by the server for the shelf, without an id in tavorlin_add.
    const QJsonObject board{{"_id", "m1-made"}, {"user_ref", "m1"}, {"name", ""}, {"trade_ref", 1},
                            {"property_ref", 50}, {"color", 1}, {"share", QJsonArray()}, {"access", QJsonArray()},
                            {"filter", QJsonArray()}};
    session->push("shelf_notify", "shelf_tavorlin",
                  QJsonObject{{"shelf_id", "m1-pushed"},
                              {"tavorlin_add", QJsonArray{QJsonObject{{"tavorlin", QJsonObject{{"trade_id", 1}}}}}},
                              {"tavorlin_remove", QJsonArray()}, {"tavorlins", QJsonObject{{"0", board}}}});
    // The notice saves and places the board in one go.
    ASSERT_TRUE(session->until("Database.getTavorlin('m1-made', -1)._id === 'm1-made'"));
    openShelf("m1-pushed");
    ASSERT_TRUE(session->until(QString(kPage) + ".countsApplied > 0"));
    ASSERT_EQ(boardTiles(), 1);
    EXPECT_EQ(eval(QString(kPage) + ".tiles[0]._id").toString(), "m1-made");
    const int badge = eval(QString(kPage) + ".tiles[0].badge").toInt();
    const int count = eval(QString(kPage) + ".tiles[0].count").toInt();

    // Another agent registers a sale apartment: unseen here, so the badge and the count grow.
    QJsonObject file = session->list("initial_property")[0].toObject();
    file["_id"] = "m1-pushed-file";
    file["trade_ref"] = 1;
    file["type"] = 50;
    file["code"] = QJsonObject{{"auto", 990001}, {"manual", "P1"}};
    QJsonObject status = file["status"].toObject();
    status["is_private"] = false;
    file["status"] = status;
    session->push("property_notify", "create", QJsonObject{{"file", file}, {"register_id", "someone-else"}});
    ASSERT_TRUE(session->until(QString(kPage) + ".tiles[0].badge === " + QString::number(badge + 1)));
    EXPECT_EQ(eval(QString(kPage) + ".tiles[0].count").toInt(), count + 1);
}

// The old-files badge counts what its list shows.
TEST_F(HomeScreens, OldFilesBadgeAgreesWithItsList)
{
    const int count = eval(shelves() + ".oldCount").toInt();
    ASSERT_GT(count, 0);
    const QString options = "(function () { var h = " + shelves() + "; return JSON.stringify(h.oldOptions()) })()";
    const QJsonObject opts = QJsonDocument::fromJson(eval(options).toString().toUtf8()).object();
    const QJsonArray filters = opts.value("filters").toArray();
    const QString listed = "Database.getFilesCount(-1, -1, " + QString::fromUtf8(QJsonDocument(filters).toJson(QJsonDocument::Compact)) + ", false)";
    EXPECT_EQ(eval(listed).toInt(), count);
    QQuickItem *badge = find("oldFilesBadge");
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->property("text").toString(), count >= 100 ? QStringLiteral("99+") : QString::number(count));
    // Its list shows the same files, a page at a time.
    ASSERT_TRUE(session->click(find("oldFiles")));
    ASSERT_TRUE(session->waitUntil([&] {
        QQuickItem *list = find("fileList");
        return list && list->isVisible() && list->property("count").toInt() == std::min(count, 50);
    }));
    EXPECT_EQ(find("fileList")->property("title").toString(), QStringLiteral("فایل های قدیمی"));
}

// A refused or empty answer to the shelf form writes nothing, and the form may be sent again.
TEST_F(HomeScreens, FailedShelfCreationChangesNothing)
{
    const int before = eval(shelves() + ".shelves.length").toInt();
    const int stored = eval("(function () { var n = 0; var f = function (l) { n = l.length };"
                            " Database.shelvesListReady.connect(f); Database.getShelvesList();"
                            " Database.shelvesListReady.disconnect(f); return n })()").toInt();
    for (const char *mode : {"null", "notok"}) {
        session->fail("shelf_create", mode);
        const std::size_t from = session->mark();
        ASSERT_TRUE(session->click(find("fabMain")));
        ASSERT_TRUE(session->click(find("fab_shelf")));
        ASSERT_TRUE(session->typeInto(find("shelfName"), QStringLiteral("نباید ساخته شود")));
        ASSERT_TRUE(session->click(find("shelfSubmit")));
        ASSERT_FALSE(session->waitRequest("shelf_create", from).isEmpty());
        ASSERT_TRUE(session->waitUntil([&] { return find("shelfSubmit")->isEnabled(); })) << mode;
        session->wait(300);
        EXPECT_EQ(eval(shelves() + ".shelves.length").toInt(), before) << mode;
        session->home();
        settle();
    }
    EXPECT_EQ(eval("(function () { var n = 0; var f = function (l) { n = l.length };"
                   " Database.shelvesListReady.connect(f); Database.getShelvesList();"
                   " Database.shelvesListReady.disconnect(f); return n })()").toInt(), stored);
}

// The shelf menu's access and wallpaper, the zoom of a shelf's boards, and a district named in a
// request board's filter that is created on the server first.
TEST_F(HomeScreens, AccessWallpaperZoomAndNewDistrict)
{
    // "انتخاب همه" ticks every agent; only the newly ticked go to the server.
    const QJsonArray before = QJsonArray::fromVariantList(eval("Database.getShelvesAccessList('m1-s0', '')").toList());
    std::size_t from = session->mark();
    ASSERT_TRUE(session->longPress(find("shelf_m1-s0")));
    ASSERT_TRUE(session->click(find("shelfMenu_access")));
    ASSERT_TRUE(session->click(find("selectAll")));
    ASSERT_TRUE(session->click(find("accessSubmit")));
    const QJsonObject access = session->waitRequest("shelf_access", from).value("content").toObject();
    EXPECT_EQ(access.value("agent_add").toArray().size(), 3 - before.size());
    EXPECT_TRUE(access.value("agent_remove").toArray().isEmpty());
    ASSERT_TRUE(session->until("Database.getShelvesAccessList('m1-s0', '').length === 3"));

    // The wallpaper changes at once.
    ASSERT_TRUE(session->longPress(find("shelf_m1-s0")));
    ASSERT_TRUE(session->click(find("shelfMenu_wallpaper")));
    ASSERT_TRUE(session->click(find("wallpaper_3")));
    EXPECT_EQ(eval("Settings.app_data.wallpaper").toInt(), 3);
    EXPECT_TRUE(find("wallpaper")->property("source").toString().endsWith("img_wall_04.jpg"));

    // Zoom: small, medium, large, small, kept in the settings.
    openShelf("m1-s0");
    for (const char *zoom : {"medium", "large", "small"}) {
        ASSERT_TRUE(session->click(find("zoomButton")));
        EXPECT_EQ(eval("Settings.app_data.tavorlin_zoom").toString(), zoom);
    }

    // A district typed into a rent request board's filter does not exist yet: it is created first
    // and the filter keeps the server's id for it.
    session->home();
    settle();
    from = session->mark();
    eval("Templates.dialog('main/Tavorlins.qml', {'shelf': Database.getShelves('m1-s0', -1)}).open()");
    ASSERT_TRUE(session->click(find("trade_6")));
    ASSERT_TRUE(session->click(find("property_50")));
    QQuickItem *form = find("tavorlinAddForm");
    ASSERT_NE(form, nullptr);
    const QVariantList list = form->property("candidates").toList();
    int district = -1;
    for (int i = 0; i < list.size(); ++i)
        if (list[i].toMap().value("kind").toString() == "district")
            district = i;
    ASSERT_GE(district, 0);
    scrollTo(form, find("candidate_" + QString::number(district)));
    ASSERT_TRUE(session->click(find("candidate_" + QString::number(district))));
    ASSERT_TRUE(session->typeInto(find("districtName"), QStringLiteral("منطقه تازه")));
    ASSERT_TRUE(session->click(find("filterSubmit")));
    EXPECT_EQ(session->waitRequest("district_create", from).value("content").toObject().value("title").toString(),
              QStringLiteral("منطقه تازه"));
    ASSERT_TRUE(session->waitUntil([&] { return form->property("filters").toList().size() == 1; }));
    const QVariantMap filter = form->property("filters").toList()[0].toMap();
    EXPECT_EQ(filter.value("key").toString(), "district_ref");
    const QString id = filter.value("value").toMap().value("value_1").toString();
    EXPECT_EQ(eval("Database.findDistrict('منطقه تازه')._id").toString(), id);
    EXPECT_FALSE(id.isEmpty());
}

// A sort chosen in a board's list is the order the board opens in next from the same shelf screen.
TEST_F(HomeScreens, ABoardOpensAgainInTheOrderChosenInIt)
{
    openShelf("m1-s1");
    const auto openBoard = [&] {
        QQuickItem *list = nullptr;
        EXPECT_TRUE(session->click(find("board_0")));
        EXPECT_TRUE(session->waitUntil([&] {
            list = session->findTop("fileList");
            return list && list->isVisible() && !list->property("loading").toBool();
        }));
        settle();
        return list;
    };
    const auto order = [](QQuickItem *list) {
        QVariant v = list->property("options");
        if (v.canConvert<QJSValue>())
            v = v.value<QJSValue>().toVariant();
        return v.toMap().value("order_field").toString() + " " + v.toMap().value("order_type").toString();
    };
    QQuickItem *list = openBoard();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->property("mode").toString(), "board");
    ASSERT_TRUE(session->click(list->findChild<QQuickItem *>("sortButton")));
    session->wait(200);
    ASSERT_TRUE(session->clickText(QStringLiteral("کد فایل")));
    ASSERT_TRUE(session->clickText(QStringLiteral("صعودی")));
    ASSERT_TRUE(session->clickText(QStringLiteral("تایید")));
    ASSERT_TRUE(session->waitUntil([&] { return order(list) == "auto_code asc"; })) << order(list).toStdString();
    eval("Templates.closeAllDialogs()");
    session->wait(400);

    list = openBoard();
    ASSERT_TRUE(list);
    EXPECT_EQ(order(list), "auto_code asc");
    eval("Templates.closeAllDialogs()");
    session->wait(400);
}

// Filter values of every kind keep both ends, or one, through the board upsert, the board JSON and
// its label, as the server echoes what the filter dialog made.
TEST_F(HomeScreens, FilterValuesSurviveTheRoundTrip)
{
    const QJsonArray filters{
        QJsonObject{{"key", "meter.home"}, {"value", QJsonObject{{"value_1", "75.5"}, {"value_2", "120.25"}}}},
        QJsonObject{{"key", "info.room"}, {"value", QJsonObject{{"value_1", "2"}, {"value_2", ""}}}},
        QJsonObject{{"key", "price.price_2"}, {"value", QJsonObject{{"value_1", ""}, {"value_2", "3000000"}}}},
        QJsonObject{{"key", "date"}, {"value", QJsonObject{{"value_1", "1700000000000"}, {"value_2", "1710000000000"}}}},
        QJsonObject{{"key", "code.manual"}, {"value", QJsonObject{{"value_1", "K12"}, {"value_2", ""}}}}};
    const QJsonObject board{{"_id", "m1-round"}, {"user_ref", "m1"}, {"name", ""}, {"trade_ref", 1},
                            {"property_ref", 50}, {"color", 2}, {"share", QJsonArray()}, {"access", QJsonArray()},
                            {"filter", filters}};
    const QString text = QString::fromUtf8(QJsonDocument(QJsonArray{board}).toJson(QJsonDocument::Compact));
    eval("Database.saveTavorlins(" + text + ", -1)");
    const QJsonObject stored = QJsonDocument::fromJson(
        eval("JSON.stringify(Database.getTavorlin('m1-round', -1))").toString().toUtf8()).object();
    EXPECT_EQ(stored.value("filter").toArray(), filters);
    const QString label = stored.value("filter_name").toString();
    EXPECT_TRUE(label.contains(QStringLiteral("75.5 تا 120.25"))) << label.toStdString();
    EXPECT_TRUE(label.contains(QStringLiteral("از 2"))) << label.toStdString();
    EXPECT_TRUE(label.contains(QStringLiteral("تا 3 میلیون"))) << label.toStdString();
    EXPECT_TRUE(label.contains(QStringLiteral("تاریخ بین "))) << label.toStdString();
    EXPECT_FALSE(stored.value("broken").toBool());
}

} // namespace
