// Screens that keep to the screen, in the running program against the fixture agency server: the
// window inside the screen's free area, menus beside what they belong to, forms that scroll inside
// their dialogs, mixed Persian and Latin lines that read right to left, lists that keep their place
// while a row changes, and Qt's own dialogs in Persian starting in the pictures folder.
#include "screenbounds.h"
#include "screensession.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGlyphRun>
#include <QJSValue>
#include <QLabel>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

std::string text(const QRectF &r) { return rectText(r).toStdString(); }

// Where `part` of a text item's line is drawn, as Qt lays the line out from its letters.
QRectF drawnPart(QQuickItem *item, const QString &part)
{
    const QString shown = item->property("text").toString();
    QTextLayout layout(shown, item->property("font").value<QFont>());
    layout.beginLayout();
    layout.createLine().setLineWidth(100000);
    layout.endLayout();
    QRectF r;
    for (const QGlyphRun &run : layout.glyphRuns(shown.indexOf(part), part.size()))
        r |= run.boundingRect();
    return r;
}

class FitScreens : public ScreenSuite
{
protected:
    static QQuickWindow *window() { return session->window(); }

    // The visible item under `within` that `better` prefers over all others answering `match`.
    static QQuickItem *pick(const std::function<bool(QQuickItem *)> &match,
                            const std::function<bool(QQuickItem *, QQuickItem *)> &better, QQuickItem *within = nullptr)
    {
        QQuickItem *best = nullptr;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *i) {
            if (i->isVisible() && match(i) && (!best || better(i, best)))
                best = i;
            for (QQuickItem *c : i->childItems())
                walk(c);
        };
        walk(within ? within : window()->contentItem());
        return best;
    }
    static bool first(QQuickItem *, QQuickItem *) { return false; }
    static QQuickItem *highest(const QString &prefix, QQuickItem *within = nullptr)
    {
        return pick([&](QQuickItem *i) { return i->objectName().startsWith(prefix); },
                    [](QQuickItem *a, QQuickItem *b) { return sceneRect(a).y() < sceneRect(b).y(); }, within);
    }
    // The lowest item of that name lying whole inside `frame`.
    static QQuickItem *lowest(const QString &prefix, const QRectF &frame)
    {
        return pick([&](QQuickItem *i) { return i->objectName().startsWith(prefix) && frame.contains(sceneRect(i)); },
                    [](QQuickItem *a, QQuickItem *b) { return sceneRect(a).y() > sceneRect(b).y(); });
    }

    // Runs `open`, then answers the item of this name on top once it has `rows` rows, the pages at rest.
    static QQuickItem *opened(const QString &open, const QString &name, int rows = 0)
    {
        session->eval(open);
        QQuickItem *item = nullptr;
        EXPECT_TRUE(session->waitUntil([&] { return (item = session->findTop(name)) && item->property("count").toInt() >= rows; }))
            << name.toStdString();
        session->settle();
        return item;
    }

    // Clicks the item and answers the drawn item of the popup of this name, once it is open.
    static QQuickItem *menuFrom(QQuickItem *item, const QString &name, Qt::MouseButton button = Qt::LeftButton)
    {
        QQuickItem *menu = nullptr;
        EXPECT_TRUE(session->click(item, button));
        session->waitUntil([&] {
            menu = pick([&](QQuickItem *i) { return i->inherits("QQuickPopupItem") && i->parent()->objectName() == name; }, first);
            return menu && menu->parent()->property("opened").toBool();
        });
        session->settle();
        return menu;
    }

    // A menu opened from a button lies inside the window with its right edge on the button's,
    // just under or just over it.
    static void expectBeside(QQuickItem *menu, QQuickItem *button)
    {
        ASSERT_TRUE(menu);
        const QRectF m = sceneRect(menu), b = sceneRect(button);
        EXPECT_TRUE(QRectF(0, 0, window()->width(), window()->height()).contains(m)) << text(m);
        EXPECT_NEAR(m.right(), b.right(), 1.5) << text(m) << " beside " << text(b);
        EXPECT_TRUE(qAbs(m.top() - b.bottom()) <= 1.5 || qAbs(m.bottom() - b.top()) <= 1.5)
            << text(m) << " beside " << text(b);
    }

    // Scrolled to `y`, the view stays there while `change` changes a row, until `shown` tells the
    // change is on screen.
    static void staysAt(QQuickItem *view, qreal y, const std::function<void()> &change, const std::function<bool()> &shown)
    {
        ASSERT_TRUE(view);
        view->setProperty("contentY", y);
        session->drawn();
        ASSERT_GT(y, 0);
        ASSERT_EQ(view->property("contentY").toReal(), y);
        change();
        ASSERT_TRUE(session->waitUntil(shown));
        session->drawn();
        EXPECT_EQ(view->property("contentY").toReal(), y);
    }

    // How dark the item's top left corner is drawn, 0 black to 255 white.
    static int grey(QQuickItem *item)
    {
        session->drawn();
        return qGray(window()->screen()->grabWindow(window()->winId()).toImage().pixel((sceneRect(item).topLeft() + QPointF(3, 3)).toPoint()));
    }

    void TearDown() override
    {
        window()->resize(1280, 800);
        ScreenSuite::TearDown();
    }
};

// The offscreen screen is 800 x 600: less than the 750-pixel minimum height, so the window takes
// the 600 there are.
TEST_F(FitScreens, WindowOpensInsideTheScreen)
{
    const QRect free = window()->screen()->availableGeometry();
    EXPECT_EQ(window()->minimumHeight(), free.height());
    const QRect placed(session->eval("window.fit.x").toInt(), session->eval("window.fit.y").toInt(),
                       session->eval("window.fit.width").toInt(), session->eval("window.fit.height").toInt());
    EXPECT_TRUE(free.contains(placed)) << placed.y() << "+" << placed.height();
    EXPECT_EQ(placed.center().x(), free.center().x());
}

// Menus open beside what they belong to; the sort choices read from the right, each circle on
// the right of its words.
TEST_F(FitScreens, MenusOpenBesideWhatTheyBelongTo)
{
    QQuickItem *list = opened("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})", "fileList", 4);
    ASSERT_TRUE(list);
    QQuickItem *button = highest("menuButton", list);
    QQuickItem *menu = menuFrom(button, "fileMenu");
    expectBeside(menu, button);
    QMetaObject::invokeMethod(menu->parent(), "close");
    ASSERT_TRUE(session->waitUntil([&] { return !menu->isVisible(); }));
    // No room under the lowest card's button: the menu opens over it.
    button = lowest("menuButton", sceneRect(session->findTop("fileView")).adjusted(0, 0, 0, -60));
    menu = menuFrom(button, "fileMenu");
    expectBeside(menu, button);
    EXPECT_NEAR(sceneRect(menu).bottom(), sceneRect(button).top(), 1.5);
    QMetaObject::invokeMethod(menu->parent(), "close");
    ASSERT_TRUE(session->waitUntil([&] { return !menu->isVisible(); }));

    QQuickItem *sort = menuFrom(session->findTop("sortButton"), "sortDialog");
    ASSERT_TRUE(sort);
    QQuickItem *content = qobject_cast<QQuickItem *>(sort->parent()->property("contentItem").value<QObject *>());
    ASSERT_TRUE(content);
    int choices = 0;
    pick([&](QQuickItem *i) {
        if (!i->inherits("QQuickRadioButton"))
            return false;
        QQuickItem *circle = qobject_cast<QQuickItem *>(i->property("indicator").value<QObject *>());
        EXPECT_GT(sceneRect(circle).center().x(), sceneRect(i).center().x()) << i->property("text").toString().toStdString();
        if (++choices == 1) {
            EXPECT_NEAR(sceneRect(i).right(), sceneRect(content).right(), 1.5);
        }
        return false;
    }, first, content);
    EXPECT_GT(choices, 3);
    session->home();

    button = opened("Templates.initial('files/FileDetail.qml', {'fileId': Database.getFileByLocalId(1)._id})", "detailMenuButton");
    expectBeside(menuFrom(button, "detailMenu"), button);
    session->home();

    ASSERT_TRUE(opened("Templates.container('store', {})", "agentRow"));
    QQuickItem *row = lowest("agentRow", QRectF(0, 0, window()->width(), window()->height()));
    expectBeside(menuFrom(row, "agentMenu"), row);
    session->home();

    // From the pointer the menu unfolds leftwards.
    ASSERT_TRUE(opened("Templates.container('contact', {})", "contact_list", 1));
    row = highest("contact_row_");
    menu = menuFrom(row, "contactMenu", Qt::RightButton);
    ASSERT_TRUE(menu);
    EXPECT_NEAR(sceneRect(menu).right(), sceneRect(row).center().x(), 1.5);
    EXPECT_NEAR(sceneRect(menu).top(), sceneRect(row).center().y(), 1.5);
}

// A card's prices are read whole: a line too long for the card draws smaller, never cut inside a
// number ("5,000,0…" would read as another price).
TEST_F(FitScreens, CardPricesAreNeverCut)
{
    session->eval("var d = Settings.app_data; d.file_list_show_type = {'grid': true, 'row': false}; Settings.app_data = d");
    QQuickItem *list = opened("Templates.container('fileList', {'mode': 'tab', 'trade_type': 2})", "fileList", 4);
    ASSERT_TRUE(list);
    int seen = 0;
    pick([&](QQuickItem *i) {
        if (i->objectName() != QLatin1String("filePrices"))
            return false;
        ++seen;
        EXPECT_FALSE(i->property("truncated").toBool()) << i->property("text").toString().toStdString() << " in "
                                                        << i->width() << " px";
        return false;
    }, first, list);
    EXPECT_GT(seen, 0);
}

// The search button stays in reach under a long form; the task editor's agents scroll.
// An agent's boards scroll, with their bar, inside a dialog that keeps to a short window.
TEST_F(FitScreens, LongFormsScrollInsideTheirDialogs)
{
    session->eval("var d = Templates.container('search', {}); var s = d.contentItem.children[0].open('search', {});"
                  "s.tradeType = 1; s.propertyType = 50; s.refreshForm()");
    session->settle();
    QQuickItem *search = session->findTop("searchButton");
    QQuickItem *dialog = search;
    while (dialog && !dialog->inherits("QQuickPopupItem"))
        dialog = dialog->parentItem();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(sceneRect(dialog).contains(drawnRect(search))) << text(drawnRect(search)) << " in " << text(sceneRect(dialog));
    EXPECT_TRUE(strayItems(window()).isEmpty()) << strayItems(window()).join("\n").toStdString();
    session->home();

    session->eval("var t = Qt.createComponent('qrc:/templates/note/TaskEditor.qml').createObject(window.overlay);"
                  "var a = []; for (var i = 0; i < 14; ++i) a.push({'_id': 'a' + i, 'name_family': 'مشاور ' + i});"
                  "t.start(null, a)");
    EXPECT_TRUE(session->waitUntil([&] {
        QQuickItem *bar = session->findTop("task_agents_scroll");
        return bar && bar->property("size").toReal() > 0 && bar->property("size").toReal() < 1;
    }));
    session->home();

    window()->resize(1280, 450);
    session->eval("Templates.dialog('setting/dialogs/AgentTavorlinAccess.qml', {'agent': Database.getAgentList()[0]}).open()");
    QQuickItem *bar = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (bar = session->findTop("accessScroll")) && bar->parentItem()->property("count").toInt() == 12; }));
    session->settle();
    const QRectF box = sceneRect(bar->parentItem()->parentItem()->parentItem());
    EXPECT_TRUE(QRectF(0, 0, window()->width(), window()->height()).contains(box) && box.height() > window()->height() - 60) << text(box);
    EXPECT_TRUE(bar->property("size").toReal() < 1 && bar->property("contentItem").value<QQuickItem *>()->opacity() > 0);
}

// Lines that start with a Latin word read from the right; the old-files count keeps its sign
// after the digits, clear of the button's caption.
TEST_F(FitScreens, MixedLinesReadRightToLeft)
{
    const auto latinOnTheRight = [&](QQuickItem *item) {
        ASSERT_TRUE(item);
        const QString shown = item->property("text").toString();
        const QString rest = shown.mid(shown.indexOf("Tavorlin ") + 9).trimmed();
        ASSERT_TRUE(shown.contains("Tavorlin ") && !rest.isEmpty()) << shown.toStdString();
        EXPECT_GT(drawnPart(item, "Tavorlin").center().x(), drawnPart(item, rest).right()) << shown.toStdString();
    };

    ASSERT_TRUE(session->longPress(session->find("shelf_m1-s0")));
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("shelfMenu_boards") != nullptr; }));
    latinOnTheRight(session->findTop("shelfMenu_boards")->property("contentItem").value<QQuickItem *>());
    session->home();
    latinOnTheRight(opened("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})", "listTitle"));
    session->home();
    latinOnTheRight(opened("Templates.initial('generals/StackContent.qml', {'contentType': 'tavorlin', "
                           "'options': {'shelf': Database.getShelves('m1-s0', -1)}})", "containerTitle"));
    session->home();

    session->eval("Stacks.last().shelvesLoader.item.oldCount = 150");
    QQuickItem *badge = session->find("oldFilesBadge");
    ASSERT_TRUE(badge && session->waitUntil([&] { return badge->property("text").toString() == "99+"; }));
    session->drawn();
    QQuickItem *digits = badge->childItems().value(0);
    EXPECT_GE(drawnPart(digits, "+").left(), drawnPart(digits, "99").right() - 0.5);
    QQuickItem *caption = badge->parentItem()->property("contentItem").value<QQuickItem *>();
    EXPECT_FALSE(drawnRect(caption).intersects(sceneRect(badge))) << text(drawnRect(caption)) << text(sceneRect(badge));
}

// Rows start at the right edge (a conversation's picture, a device's name, the lock's switch and
// choice), the count and "حذف" at the left; the chosen tab is the dark one.
TEST_F(FitScreens, RowsAndTabsStartAtTheRight)
{
    const struct { const char *open, *row, *right, *left; } rows[] = {
        {"Templates.container('chat', {})", "conversation_c1", "conversationImage", "conversationCount"},
        {"Templates.initial('setting/applicationSettings/UserDevices.qml', {})", "deviceRow", "deviceName", "deviceRemove"}};
    for (const auto &r : rows) {
        QQuickItem *row = opened(r.open, r.row);
        EXPECT_NEAR(drawnRect(row->findChild<QQuickItem *>(r.right)).right(), sceneRect(row).right(), 16) << r.right;
        EXPECT_NEAR(sceneRect(row->findChild<QQuickItem *>(r.left)).left(), sceneRect(row).left(), 16) << r.left;
        session->home();
    }
    QQuickItem *lock = opened("Templates.initial('setting/applicationSettings/LockSettings.qml', {})", "lockSwitch");
    for (QQuickItem *i : {lock->property("indicator").value<QQuickItem *>(), session->findTop("autoLockTitle")})
        EXPECT_NEAR(drawnRect(i).right(), sceneRect(lock->parentItem()).right(), 16);
    session->home();
    opened("Templates.initial('setting/Report.qml', {})", "reportLiveTab");
    EXPECT_TRUE(grey(session->findTop("reportLiveTab")) < 100 && grey(session->findTop("reportArchivedTab")) > 150);
}

// One question everywhere: "بله" right of "خیر", each as it looks elsewhere; a board's removal names
// the board, a removal of chosen files counts them.
TEST_F(FitScreens, OneQuestionEverywhere)
{
    int yesGrey = -1, noGrey = -1;
    const auto question = [&]() {
        QQuickItem *yes = nullptr, *no = nullptr;
        if (!session->waitUntil([&] { return (yes = session->findTop("confirmYes")) && (no = session->findTop("confirmNo")); }))
            return QStringLiteral("no question");
        session->settle();
        yesGrey = yesGrey < 0 ? grey(yes) : yesGrey, noGrey = noGrey < 0 ? grey(no) : noGrey;
        EXPECT_TRUE(sceneRect(yes).left() >= sceneRect(no).right() && grey(yes) == yesGrey && grey(no) == noGrey && yesGrey < noGrey);
        const QString words = yes->parentItem()->parentItem()->findChild<QQuickItem *>("confirmText")->property("text").toString();
        EXPECT_TRUE(session->click(no) && session->waitUntil([&] { return !session->findTop("confirmYes"); }));
        return words;
    };
    // Taken once the counts have come: they lay the tiles out anew.
    session->eval("Templates.initial('main/Tavorlins_List.qml', {'shelf': Database.getShelves('m1-s0', -1)})");
    ASSERT_TRUE(session->until("Stacks.last().objectName === 'tavorlinsList' && Stacks.last().countsApplied > 0"));
    session->settle();
    QQuickItem *board = session->findTop("board_0");
    const QString name = ScreenSession::mapOf(board->property("tile")).value("name").toString();
    ASSERT_TRUE(!name.isEmpty() && session->click(board, Qt::RightButton));
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("boardMenu_delete"); }) && session->click(session->findTop("boardMenu_delete")));
    EXPECT_TRUE(question().contains("«" + name + "»"));
    session->home();
    QQuickItem *list = session->openFileList("{'filterModel': Database.getTavorlin('', 1)}", 4);
    ASSERT_TRUE(session->chooseInRow(list, 0, QStringLiteral("انتخاب"), false));
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(list, "openFile", Q_ARG(QVariant, i));
    ASSERT_TRUE(session->click(pick([](QQuickItem *i) { return i->property("text").toString() == QStringLiteral("حذف"); }, first,
                                    session->findTop("selectionBar"))));
    EXPECT_EQ(question(), QStringLiteral("حذف\n3 فایل انتخاب شده"));
}

// Ticking a board, renaming a district, removing a hashtag and completing a task change their
// row where it is: the list does not jump to its top.
TEST_F(FitScreens, ListsKeepTheirPlaceWhenARowChanges)
{
    window()->resize(1280, 450); // lists that scroll
    QQuickItem *view = opened("Templates.initial('main/Tavorlins_Shelf.qml', {'shelf': Database.getShelves('m1-s0', -1)})",
                              "chooseBoards", 9);
    QString ticked;
    bool before = false;
    staysAt(view, view->property("contentHeight").toReal() - view->height(), [&] {
        QQuickItem *row = lowest("choose_", sceneRect(view));
        ASSERT_TRUE(row);
        ticked = QStringLiteral("Stacks.last().rows[%1].checked").arg(row->objectName().mid(7));
        before = session->eval(ticked).toBool();
        ASSERT_TRUE(session->click(row));
    }, [&] { return session->eval(ticked).toBool() != before; });
    session->home();

    const QString renamed = QStringLiteral("منطقه تازه نام");
    view = opened("Stacks.last().menu.openContainer('district', {})", "district_list", 7);
    staysAt(view, 100, [&] {
        QQuickItem *row = lowest("district_row_", sceneRect(view));
        ASSERT_TRUE(row);
        const QString district = row->objectName().mid(13);
        ASSERT_TRUE(session->click(session->findTop("district_edit_" + district)));
        ASSERT_TRUE(session->typeInto(session->findTop("district_title"), renamed));
        ASSERT_TRUE(session->click(session->findTop("district_save")));
    }, [&] { return pick([&](QQuickItem *i) { return i->property("text").toString() == renamed; }, first, view) != nullptr; });
    session->home();

    // A new hashtag, removed while the list is scrolled.
    view = opened("Stacks.last().menu.openContainer('hashtag', {})", "hashtag_list", 1);
    const int count = view->property("count").toInt();
    ASSERT_TRUE(session->click(session->findTop("hashtag_add")));
    ASSERT_TRUE(session->typeInto(session->findTop("hashtag_title"), "برچسب رفتنی"));
    ASSERT_TRUE(session->click(session->findTop("hashtag_save")));
    ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == count + 1; }));
    staysAt(view, 60, [&] {
        QQuickItem *tags = session->findTop("hashtag_settings");
        for (const QVariant &r : tags->property("rows").value<QJSValue>().toVariant().toList())
            if (r.toMap().value("title").toString() == QStringLiteral("برچسب رفتنی"))
                QMetaObject::invokeMethod(tags, "remove", Q_ARG(QVariant, r));
    }, [&] { return view->property("count").toInt() == count; });
    session->home();

    session->eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(session->until("Consts.drawer_note.opened"));
    ASSERT_TRUE(session->click(session->findTop("note_section_tasks")));
    view = session->findTop("task_list");
    for (int i = 0; i < 10; ++i) {
        const int tasks = view->property("count").toInt();
        const QVariantMap form{{"title", QStringLiteral("وظیفه %1").arg(i)}, {"body", ""}, {"assignedTo", QVariantList()}};
        QMetaObject::invokeMethod(session->findTop("note_drawer"), "saveTask", Q_ARG(QVariant, form));
        ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == tasks + 1; }));
    }
    session->settle();
    QString task;
    staysAt(view, 120, [&] {
        QQuickItem *row = lowest("task_done_", sceneRect(view));
        ASSERT_TRUE(row);
        task = row->objectName().mid(10);
        ASSERT_TRUE(session->click(session->findTop("task_done_" + task)));
        ASSERT_TRUE(session->click(session->findTop("task_done_confirm")));
    }, [&] { return session->findTop("task_completer_" + task) != nullptr; });
}

// Each dialog's title and first button, a form's heading and button and an agent's name stand at
// the right edge of what holds them: their popup's content, or the ancestor named.
TEST_F(FitScreens, TitlesAndButtonsStandAtTheRight)
{
    const auto notes = [](const char *section, const char *button) {
        session->eval("Stacks.last().menu.activate('notes')");
        ASSERT_TRUE(session->until("Consts.drawer_note.opened") && session->click(session->findTop(section)));
        if (QString(button) == "task_done_") { // a task to be done
            const QVariantMap task{{"title", QStringLiteral("وظیفه")}, {"body", ""}, {"assignedTo", QVariantList()}};
            QMetaObject::invokeMethod(session->findTop("note_drawer"), "saveTask", Q_ARG(QVariant, task));
        }
        QQuickItem *open = nullptr;
        ASSERT_TRUE(session->waitUntil([&] { return (open = highest(button)) != nullptr; }) && session->click(open));
    };
    const struct { std::function<void()> open; const char *title, *button, *frame; } rows[] = {
        {[] { session->eval("Templates.dialog('setting/dialogs/ProfileDialog.qml', {'from_login': true}).open()"); },
         "dialogTitle", "profileSubmit", nullptr},
        {[] { session->eval("Templates.confirm({'title': 'آیا مطمئن هستید ؟'}, function () {})"); }, "confirmTitle", "confirmYes", nullptr},
        {[&] { notes("note_section_notes", "note_add"); }, "noteEditorTitle", "note_save", nullptr},
        {[&] { notes("note_section_tasks", "task_done_"); }, "dialogTitle", "task_done_confirm", nullptr},
        {[] { ASSERT_TRUE(opened("Templates.container('hashtag', {})", "hashtag_add")); session->click(session->findTop("hashtag_add")); },
         "dialogTitle", "hashtag_save", nullptr},
        {[] { opened("Templates.container('tavorlin', {'shelf': Database.getShelves('m1-s0', -1)})", "boardSubmit"); },
         "dialogTitle", "boardSubmit", "tavorlinAddForm"},
        {[] { opened("Templates.container('store', {})", "agentName"); }, "agentName", nullptr, "agentRow"}};
    for (const auto &r : rows) {
        r.open();
        session->settle();
        QQuickItem *title = session->findTop(r.title), *frame = title;
        ASSERT_TRUE(title) << r.title;
        while (frame->parentItem() && (r.frame ? frame->objectName() != r.frame : !frame->parentItem()->inherits("QQuickPopupItem")))
            frame = frame->parentItem();
        const qreal right = sceneRect(frame).right();
        EXPECT_NEAR(drawnRect(title).right(), right, 40) << r.title << " " << text(sceneRect(frame));
        EXPECT_NEAR(r.button ? sceneRect(session->findTop(r.button)).right() : right, right, 40) << r.button;
        session->home();
    }
}

// On a wide window the agents, tags, settings, devices and colleagues keep to the body's width in
// the middle, as the detail does; a colleague's cards show their kind and prices whole.
TEST_F(FitScreens, WideScreensKeepToTheBodyWidth)
{
    const struct { const char *open, *then, *content; } rows[] = {
        {"Templates.container('store', {})", nullptr, "agentList"},
        {"Templates.container('hashtag', {})", nullptr, "hashtag_list"},
        {"Templates.container('settings', {})", nullptr, "settingsList"},
        {"Templates.container('settings', {})", "settings_devices", "deviceList"},
        {"Templates.container('settings', {})", "settings_lock", "lockSettingsBody"},
        {"Templates.container('colleague', {})", nullptr, "colleagueList"}};
    for (const QSize size : {QSize(1920, 1080), QSize(1366, 768)}) {
        window()->resize(size);
        for (const auto &r : rows) {
            QQuickItem *content = opened(r.open, r.then ? r.then : r.content);
            if (r.then) // a page of the settings
                content = session->click(content) ? opened("", r.content) : nullptr;
            ASSERT_TRUE(content) << r.content;
            const QRectF c = sceneRect(content);
            EXPECT_NEAR(c.width(), qMin(size.width() * 0.8, session->eval("Consts.body_max_width").toReal()), 2) << r.content;
            EXPECT_NEAR(c.center().x(), size.width() / 2.0, 2) << r.content << " " << size.width();
            session->home();
        }
        // A colleague's cards of every kind, and the sales a buyer of the first file's kind matches.
        for (const char *cards : {"'fileList', {'mode': 'colleague', 'colleague': {'_id': 'c1'}}",
                                  "'match', {'file': Object.assign(Database.getFileByCode(1), {'trade_ref': 5})}"}) {
            QQuickItem *list = opened(QStringLiteral("Templates.container(%1)").arg(cards), "fileList", 1);
            int seen = 0;
            pick([&](QQuickItem *i) {
                const QString name = i->objectName(), shown = i->property("text").toString();
                EXPECT_FALSE(name == QLatin1String("fileKind") && i->property("truncated").toBool()) << shown.toStdString();
                if (name == QLatin1String("filePrices") && ++seen) { // drawn at the cards' size (Qt's fitting takes a hair off)
                    EXPECT_NEAR(i->property("fontInfo").value<QJSValue>().property("pointSize").toNumber(),
                                i->property("font").value<QFont>().pointSizeF(), 0.2) << shown.toStdString();
                }
                return false;
            }, first, list);
            EXPECT_GT(seen, 0);
            session->home();
        }
    }
}

// Qt's file chooser speaks Persian and starts in the pictures folder; the photo picker in the
// folder the last photos came from.
TEST_F(FitScreens, FileChoosersSpeakPersianAndStartInPictures)
{
    const auto openedDialog = [&]() {
        QFileDialog *found = nullptr;
        session->waitUntil([&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QFileDialog *>(w); d && d->isVisible())
                    found = d;
            return found != nullptr;
        });
        return found;
    };

    session->eval("Templates.initial('setting/Profile.qml', {})");
    ASSERT_TRUE(session->click(session->findTop("profileChangeImage")));
    QFileDialog *dialog = openedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->directory().absolutePath(),
              QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)).absolutePath());
    QStringList texts{dialog->windowTitle()};
    for (QLabel *l : dialog->findChildren<QLabel *>())
        texts << l->text();
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        texts << b->text();
    EXPECT_TRUE(texts.join(" ").contains(QRegularExpression("[\\x{0600}-\\x{06FF}]"))) << texts.join(" | ").toStdString();
    EXPECT_EQ(dialog->layoutDirection(), Qt::RightToLeft);
    dialog->reject();
    session->home();

    const QString last = session->tempPath() + "/home/photos";
    QDir().mkpath(last);
    session->eval("var d = Settings.app_data; d.last_pictures_folder = 'file://" + last
                  + "'; Settings.app_data = d; Templates.initial('generals/StackContent.qml', {}).open('file', {})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("media") != nullptr; }));
    QMetaObject::invokeMethod(session->findTop("media"), "pick");
    dialog = openedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(last).absolutePath());
    dialog->reject();
}

} // namespace
