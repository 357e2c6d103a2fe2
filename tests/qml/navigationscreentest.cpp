// Navigation as a user walks it on the desktop: tiles, cards and menu entries are clicked, and
// after every step the screen expected is visible, inside the window and the topmost item at the
// centre of what shows of it; its back control (and Escape) returns to the screen before, at the
// scroll position the user left.
#include "screensession.h"

#include <QQuickItem>

#include <gtest/gtest.h>

namespace {

class Navigation : public ScreenSuite
{
protected:
    // The screen of this name on top, once it is in front; null (and a failure) when it never is.
    static QQuickItem *front(const QString &name, int timeoutMs = 10000)
    {
        QString why = QStringLiteral("never shown");
        QQuickItem *found = nullptr;
        // Pages still sliding are not where they stop.
        session->settle();
        session->waitUntil([&] {
            found = session->findTop(name);
            why = found ? session->notInFront(found) : QStringLiteral("never shown");
            return found && why.isEmpty();
        }, timeoutMs);
        if (!why.isEmpty()) {
            ADD_FAILURE() << name.toStdString() << " is not in front: " << why.toStdString();
            return nullptr;
        }
        return found;
    }

    static QQuickItem *child(QQuickItem *screen, const char *name)
    {
        return screen ? screen->findChild<QQuickItem *>(QLatin1String(name)) : nullptr;
    }

    // The file a card or a detail shows.
    static QVariantMap fileOf(QQuickItem *card) { return ScreenSession::mapOf(card ? card->property("file") : QVariant()); }

    static QVariantMap rowOf(QQuickItem *list, const QString &id)
    {
        QVariant index;
        QMetaObject::invokeMethod(list, "indexOf", Q_RETURN_ARG(QVariant, index), Q_ARG(QVariant, id));
        return ScreenSession::rowOf(list, index.toInt());
    }

    // Whether the page container holding a screen shows its own bar (title and back) above it.
    static bool containerBar(QQuickItem *screen)
    {
        QQuickItem *p = screen ? screen->parentItem() : nullptr;
        while (p && !p->property("contentType").isValid())
            p = p->parentItem();
        QQuickItem *back = child(p, "containerBack");
        return back && back->isVisible();
    }

    // The home's floating button, then one of its actions.
    static bool fab(const char *key)
    {
        return session->click(session->find("fabMain")) && session->click(session->find(QLatin1String("fab_") + key));
    }

    static QQuickItem *view(QQuickItem *list) { return child(list, "fileView"); }
    static qreal scrollOf(QQuickItem *list) { return view(list)->property("contentY").toReal(); }

    // The card shown one row below the top of the list's view.
    static QQuickItem *shownCard(QQuickItem *list)
    {
        QQuickItem *v = view(list);
        int index = -1;
        QMetaObject::invokeMethod(v, "indexAt", Q_RETURN_ARG(int, index), Q_ARG(qreal, v->width() / 2),
                                  Q_ARG(qreal, v->property("contentY").toReal() + v->property("cellHeight").toReal() * 1.5));
        QQuickItem *card = nullptr;
        QMetaObject::invokeMethod(v, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, card), Q_ARG(int, index));
        return card;
    }

    // The first shelf's boards, from home.
    static QQuickItem *shelf()
    {
        const QString shelf = session->eval("Stacks.last().shelvesLoader.item.shelves[0]._id").toString();
        return session->click(session->find("shelf_" + shelf)) ? front(QStringLiteral("tavorlinsList")) : nullptr;
    }

    // Home → the first shelf → its fullest board: the board's files in their dialog, scrolled down.
    static QQuickItem *boardList()
    {
        if (!shelf() || !session->until("Stacks.last().countsApplied > 0"))
            return nullptr;
        const int board = session->eval("(function (t) { var b = 0; for (var i = 0; i < t.length; ++i) "
                                        "if (t[i].count > t[b].count) b = i; return b })(Stacks.last().tiles)").toInt();
        EXPECT_TRUE(session->click(session->findTop(QStringLiteral("board_%1").arg(board))));
        QQuickItem *list = front(QStringLiteral("fileList"));
        if (!list || !session->waitUntil([&] { return list->property("count").toInt() >= 12 && !list->property("loading").toBool(); }))
            return nullptr;
        session->settle();
        session->wheel(view(list), -360);
        session->waitUntil([&] { return scrollOf(list) > 100 && !view(list)->property("moving").toBool(); });
        session->settle();
        return list;
    }

    // Back to the list, in front at the scroll position it had.
    static void backTo(QQuickItem *list, qreal scrolled)
    {
        EXPECT_EQ(front(QStringLiteral("fileList")), list);
        EXPECT_NEAR(scrollOf(list), scrolled, 1.0);
    }

    // A card of the list opens its file in front; Escape or the detail's back control comes back.
    static void cardAndBack(QQuickItem *list, bool escape)
    {
        // The rows are counted before their cards are laid out.
        QQuickItem *card = nullptr;
        ASSERT_TRUE(list && session->waitUntil([&] { return list->property("count").toInt() > 3 && (card = shownCard(list)); }));
        session->settle();
        const qreal scrolled = scrollOf(list);
        card = shownCard(list);
        const QString id = fileOf(card).value("_id").toString();
        ASSERT_TRUE(session->click(card));
        QQuickItem *detail = front(QStringLiteral("fileDetail"));
        ASSERT_TRUE(detail);
        EXPECT_EQ(fileOf(detail).value("_id").toString(), id);
        EXPECT_FALSE(containerBar(detail));
        if (escape)
            session->key(Qt::Key_Escape);
        else
            ASSERT_TRUE(session->click(child(detail, "detailBack")));
        backTo(list, scrolled);
    }

    static void menuEntry(QQuickItem *list, QQuickItem *card, const QString &title)
    {
        ASSERT_TRUE(session->click(child(card, "menuButton")));
        QObject *menu = list->findChild<QObject *>(QStringLiteral("fileMenu"));
        ASSERT_TRUE(session->waitUntil([&] { return menu->property("opened").toBool(); }));
        ASSERT_TRUE(session->clickText(title)) << title.toStdString();
    }
};

TEST_F(Navigation, BoardListDialogOpensEveryScreenInFrontAndBackKeepsTheScroll)
{
    QQuickItem *list = boardList();
    ASSERT_TRUE(list);
    const qreal scrolled = scrollOf(list);
    for (bool escape : {false, true})
        cardAndBack(list, escape);

    // The card's menu: the edit form, the counterpart list and the file's history.
    const QString match = fileOf(shownCard(list)).value("trade_ref").toInt() > 4 ? QStringLiteral("فایلهای مرتبط")
                                                                                  : QStringLiteral("متقاضی مرتبط");
    const struct {
        QString entry, screen, back;
    } entries[] = {{QStringLiteral("ویرایش"), QStringLiteral("fileEditor"), QStringLiteral("containerBack")},
                   {match, QStringLiteral("fileList"), QStringLiteral("containerBack")},
                   {QStringLiteral("تاریخچه فایل"), QStringLiteral("file_notes"), QStringLiteral("file_notes_back")}};
    for (const auto &e : entries) {
        SCOPED_TRACE(e.entry.toStdString());
        menuEntry(list, shownCard(list), e.entry);
        QQuickItem *screen = front(e.screen);
        ASSERT_TRUE(screen);
        EXPECT_NE(screen, list);
        ASSERT_TRUE(session->click(session->findTop(e.back)));
        backTo(list, scrolled);
    }

    // The list's own back control closes its dialog: the boards are in front again.
    ASSERT_TRUE(session->click(child(list, "backButton")));
    EXPECT_TRUE(front(QStringLiteral("tavorlinsList")));
}

TEST_F(Navigation, QuickSearchSearchResultsAndAgentReportOpenInFront)
{
    // Quick search: its results in a dialog, a card in front of them.
    ASSERT_TRUE(session->typeInto(session->find("quickSearch"), QStringLiteral("خیابان")));
    ASSERT_TRUE(session->click(session->find("quickSearchButton")));
    cardAndBack(front(QStringLiteral("fileList")), false);
    session->home();

    // The advanced search from a shelf's boards: its results, then a card.
    ASSERT_TRUE(shelf());
    ASSERT_TRUE(session->click(session->findTop(QStringLiteral("advancedSearch"))));
    EXPECT_TRUE(containerBar(front(QStringLiteral("searchScreen"))));
    ASSERT_TRUE(session->click(session->findTop(QStringLiteral("searchButton"))));
    QQuickItem *results = front(QStringLiteral("fileList"));
    // One bar, one way back: the results' own.
    EXPECT_FALSE(containerBar(results));
    cardAndBack(results, true);
    session->home();

    // My agency → an agent → the work report, in front; its back control comes back.
    ASSERT_TRUE(session->click(session->find("menu_settings")));
    ASSERT_TRUE(session->clickText(QStringLiteral("بنگاه من")));
    QQuickItem *agents = front(QStringLiteral("agentList"));
    ASSERT_TRUE(agents);
    ASSERT_TRUE(session->click(front(QStringLiteral("agentRow"))));
    ASSERT_TRUE(session->click(session->findTop(QStringLiteral("rowMenuItem_report"))));
    QQuickItem *report = front(QStringLiteral("workReport"));
    ASSERT_TRUE(report);
    EXPECT_FALSE(containerBar(report)) << "the report's bar stands for the container's";
    // A count stands under its heading, on the same side of the column.
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop(QStringLiteral("reportOffers")) != nullptr; }));
    EXPECT_EQ(session->findText(QStringLiteral("عرضه"))->property("effectiveHorizontalAlignment").toInt(),
              session->findTop(QStringLiteral("reportOffers"))->property("effectiveHorizontalAlignment").toInt());
    ASSERT_TRUE(session->click(child(report, "reportBack")));
    EXPECT_EQ(front(QStringLiteral("agentList")), agents);
    EXPECT_TRUE(containerBar(agents));
}

TEST_F(Navigation, HomeMapSearchesTheRegionOpensMarkersAndGoesBack)
{
    QQuickItem *home = front(QStringLiteral("shelvesHome"));
    ASSERT_TRUE(home);
    for (bool escape : {false, true}) {
        ASSERT_TRUE(fab("map"));
        QQuickItem *map = front(QStringLiteral("fileMap"));
        ASSERT_TRUE(map);
        ASSERT_TRUE(session->waitUntil([&] { return map->property("markers").toList().size() > 0; }));
        EXPECT_FALSE(session->findTop(QStringLiteral("mapNotice")));
        if (escape) {
            session->key(Qt::Key_Escape);
        } else {
            // A marker opens its file in front of the map; back returns to the map.
            session->eval("(function (v) { var geo = Qt.createQmlObject('import QtPositioning 5.15; import QtQml 2.15; "
                          "QtObject { function at(a, b) { return QtPositioning.coordinate(a, b) } }', v);"
                          "var f = v.markers[0]; v.map.center = geo.at(f.map.lat, f.map.lng) })(Stacks.last().mapView)");
            ASSERT_TRUE(session->until("(function (v) { return v.markerAt(v.width / 2, v.height / 2) !== null })(Stacks.last().mapView)"));
            ASSERT_TRUE(session->click(child(map, "markerOverlay")));
            ASSERT_TRUE(front(QStringLiteral("fileDetail")));
            // Escape leaves the detail as its back control does.
            session->key(Qt::Key_Escape);
            EXPECT_EQ(front(QStringLiteral("fileMap")), map);
            ASSERT_TRUE(session->click(child(map, "mapBack")));
        }
        EXPECT_EQ(front(QStringLiteral("shelvesHome")), home);
    }

    // Going offline with the map open, or a map service that fails, the map says so over itself.
    const struct {
        bool offline;
        const char *cause, *says;
    } causes[] = {{true, "Sockets.connected = false", "ارتباط برقرار نیست"},
                  {false, "Settings.app_data.map_plugin = 'nosuch'", "نقشه بارگذاری نشد"}};
    for (const auto &c : causes) {
        if (!c.offline)
            session->eval(c.cause);
        ASSERT_TRUE(fab("map"));
        QQuickItem *notice = child(front(QStringLiteral("fileMap")), "mapNotice");
        ASSERT_TRUE(notice);
        if (c.offline)
            session->eval(c.cause);
        EXPECT_TRUE(session->waitUntil([&] { return notice->isVisible() && notice->property("text").toString().startsWith(c.says); }))
            << c.cause;
        session->eval("Sockets.connected = true; Settings.app_data.map_plugin = 'itemsoverlay'");
        if (c.offline) {
            EXPECT_TRUE(session->waitUntil([&] { return !notice->isVisible(); }));
        }
        session->home();
    }
}

TEST_F(Navigation, SearchByCodeOpensTheFile)
{
    const QVariantMap file = session->eval("Database.getFileByLocalId(7)").toMap();
    const QString code = file.value("code").toMap().value("auto").toString();
    ASSERT_FALSE(code.isEmpty());
    ASSERT_TRUE(fab("code"));
    ASSERT_TRUE(session->typeInto(session->findTop(QStringLiteral("codeField")), code));
    ASSERT_TRUE(session->click(session->findTop(QStringLiteral("codeSearch"))));
    EXPECT_EQ(fileOf(front(QStringLiteral("fileDetail"))).value("_id"), file.value("_id"));
}

TEST_F(Navigation, SaveAnswersWithTheCodeDeleteFromTheDetailGoesBackPinIsShown)
{
    QQuickItem *list = boardList();
    ASSERT_TRUE(list);

    // Saving an edited file answers with its code, back over the list.
    QQuickItem *card = shownCard(list);
    const QString code = fileOf(card).value("code").toMap().value("auto").toString();
    const QVariantMap price = fileOf(card).value("price").toMap();
    const QString edited = fileOf(card).value("_id").toString();
    menuEntry(list, card, QStringLiteral("ویرایش"));
    QQuickItem *editor = front(QStringLiteral("fileEditor"));
    QQuickItem *save = child(editor, "save");
    ASSERT_TRUE(save);
    QMetaObject::invokeMethod(editor, "reveal", Q_ARG(QVariant, QVariant::fromValue(save)));
    const std::size_t from = session->mark();
    ASSERT_TRUE(session->click(save));
    ASSERT_FALSE(session->waitRequest("property_edit", from).isEmpty());
    const QString saved = QStringLiteral("فایل با موفقیت ثبت شد\nکد ") + code;
    EXPECT_TRUE(session->waitUntil([&] { return session->findText(saved) != nullptr; })) << saved.toStdString();
    EXPECT_EQ(front(QStringLiteral("fileList")), list);
    // The server's answer is what the row then shows: the prices came back as they went.
    const auto prices = [](const QVariantMap &p) { return QStringList{p.value("price_1").toString(), p.value("price_2").toString()}; };
    EXPECT_TRUE(session->waitUntil([&] { return prices(rowOf(list, edited).value("price").toMap()) == prices(price); }))
        << prices(price).join(" ").toStdString();

    // The detail shows the pin and follows it; the list's row follows too.
    card = shownCard(list);
    const QString id = fileOf(card).value("_id").toString();
    const bool pinned = fileOf(card).value("status").toMap().value("pin").toBool();
    ASSERT_TRUE(session->click(card));
    QQuickItem *detail = front(QStringLiteral("fileDetail"));
    ASSERT_TRUE(detail);
    QQuickItem *pin = child(detail, "detailPinned");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->isVisible(), pinned);
    const auto detailMenu = [&](const QString &title) {
        ASSERT_TRUE(session->click(child(detail, "detailMenuButton")) && session->clickText(title) && session->confirm());
    };
    detailMenu(QStringLiteral("سنجاق"));
    EXPECT_TRUE(session->waitUntil([&] { return pin->isVisible() == !pinned; }));
    EXPECT_EQ(rowOf(list, id).value("status").toMap().value("pin").toBool(), !pinned);

    // Deleting from the detail goes back to the board's list, which drops the row.
    const int before = list->property("count").toInt();
    detailMenu(QStringLiteral("حذف"));
    EXPECT_EQ(front(QStringLiteral("fileList")), list);
    EXPECT_TRUE(session->waitUntil([&] { return list->property("count").toInt() == before - 1; }));
    EXPECT_TRUE(session->eval(QString("Database.getFile('%1').status.delete").arg(id)).toBool());
    EXPECT_TRUE(rowOf(list, id).isEmpty());
}

// Shown as at start (nothing gave the page stack the focus), the lock screen takes digits in any
// script, Backspace and Enter before any click, and a double click ("d", the key) is two digits.
TEST_F(Navigation, TheLockScreenCountsEveryClickAndTakesKeys)
{
    session->eval("Settings.app_data.lock_password = '1122'");
    for (const QString &entered : {QStringLiteral("١٢E"), QStringLiteral("۱۳B۱۲۲"), QStringLiteral("d1d2")}) {
        session->eval("Stacks.stack.focus = false; Templates.replace('Lock.qml')");
        ASSERT_TRUE(front(QStringLiteral("lockScreen")));
        for (int i = 0; i < entered.size(); ++i) {
            const QChar c = entered[i];
            c == 'B' ? session->key(Qt::Key_Backspace) : c == 'E' ? session->key(Qt::Key_Return)
                : c == 'd' ? void(session->doubleClick(session->findTop(QStringLiteral("key_") + entered[++i]))) : session->type(c);
        }
        EXPECT_TRUE(session->waitUntil([&] {
            return entered.endsWith('E') ? session->findText("کلمه عبور اشتباه است") != nullptr : session->findTop("fabMain") != nullptr;
        })) << entered.toStdString();
    }
}

} // namespace
