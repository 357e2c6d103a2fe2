// Screens that keep to the screen, end to end in the running program against the fixture agency
// server: the window inside the screen's free area, menus beside what they belong to, forms that
// scroll inside their dialogs, mixed Persian and Latin lines that read right to left, lists that
// keep their place while a row changes, and Qt's own dialogs in Persian starting in the pictures
// folder.
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

QRectF sceneRect(QQuickItem *item)
{
    return item ? item->mapRectToScene(QRectF(0, 0, item->width(), item->height())) : QRectF();
}

std::string text(const QRectF &r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

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
    QQuickWindow *window() { return session->window(); }

    // The visible item under `within` that `better` prefers over all others answering `match`.
    QQuickItem *pick(const std::function<bool(QQuickItem *)> &match,
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
    QQuickItem *highest(const QString &prefix, QQuickItem *within = nullptr)
    {
        return pick([&](QQuickItem *i) { return i->objectName().startsWith(prefix); },
                    [](QQuickItem *a, QQuickItem *b) { return sceneRect(a).y() < sceneRect(b).y(); }, within);
    }
    // The lowest item of that name lying whole inside `frame`.
    QQuickItem *lowest(const QString &prefix, const QRectF &frame)
    {
        return pick([&](QQuickItem *i) { return i->objectName().startsWith(prefix) && frame.contains(sceneRect(i)); },
                    [](QQuickItem *a, QQuickItem *b) { return sceneRect(a).y() > sceneRect(b).y(); });
    }

    // The drawn item of the open popup with this objectName, once it has opened.
    QQuickItem *opened(const QString &name)
    {
        QQuickItem *menu = nullptr;
        session->waitUntil([&] {
            menu = pick([&](QQuickItem *i) { return i->inherits("QQuickPopupItem") && i->parent()->objectName() == name; },
                        [](QQuickItem *, QQuickItem *) { return false; });
            return menu && menu->parent()->property("opened").toBool();
        });
        session->wait(150);
        return menu;
    }
    void close(QQuickItem *menu)
    {
        QMetaObject::invokeMethod(menu->parent(), "close");
        session->wait(300);
    }

    // A menu opened from a button lies inside the window with its right edge on the button's,
    // just under or just over it.
    void expectBeside(QQuickItem *menu, QQuickItem *button)
    {
        ASSERT_TRUE(menu);
        const QRectF m = sceneRect(menu), b = sceneRect(button);
        EXPECT_TRUE(QRectF(0, 0, window()->width(), window()->height()).contains(m)) << text(m);
        EXPECT_NEAR(m.right(), b.right(), 1.5) << text(m) << " beside " << text(b);
        EXPECT_TRUE(qAbs(m.top() - b.bottom()) <= 1.5 || qAbs(m.bottom() - b.top()) <= 1.5)
            << text(m) << " beside " << text(b);
    }

    // Scrolls a list and answers where it came to rest.
    qreal scrollTo(QQuickItem *view, qreal y)
    {
        view->setProperty("contentY", y);
        session->wait(200);
        return view->property("contentY").toReal();
    }

    void TearDown() override
    {
        window()->resize(1280, 800);
        ScreenSuite::TearDown();
    }
};

// The offscreen screen is 800 x 600: less than the 750-pixel minimum height, so the window takes
// the 600 there are, where it used to open 750 high and lose its bottom.
TEST_F(FitScreens, WindowOpensInsideTheScreen)
{
    const QRect free = window()->screen()->availableGeometry();
    EXPECT_EQ(session->eval("Consts.minimum_height").toInt(), 750);
    EXPECT_EQ(window()->minimumHeight(), free.height());
    const QRect placed(session->eval("window.fit.x").toInt(), session->eval("window.fit.y").toInt(),
                       session->eval("window.fit.width").toInt(), session->eval("window.fit.height").toInt());
    EXPECT_TRUE(free.contains(placed)) << placed.y() << "+" << placed.height();
    EXPECT_EQ(placed.center().x(), free.center().x());
}

// The file card's button (top and bottom of the list), the detail's "عملیات", the last agent of
// "بنگاه من" and a contact's right click.
TEST_F(FitScreens, MenusOpenBesideWhatTheyBelongTo)
{
    session->eval("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (list = session->findTop("fileList")) && list->property("count").toInt() > 3; }));
    session->wait(400);
    QQuickItem *button = highest("menuButton", list);
    ASSERT_TRUE(session->click(button));
    expectBeside(opened("fileMenu"), button);
    close(opened("fileMenu"));
    // No room under the lowest card's button: the menu opens over it.
    button = lowest("menuButton", sceneRect(session->findTop("fileView")).adjusted(0, 0, 0, -60));
    ASSERT_TRUE(session->click(button));
    expectBeside(opened("fileMenu"), button);
    EXPECT_NEAR(sceneRect(opened("fileMenu")).bottom(), sceneRect(button).top(), 1.5);
    session->home();

    session->eval("Templates.initial('files/FileDetail.qml', {'fileId': Database.getFileByLocalId(1)._id})");
    ASSERT_TRUE(session->until("Stacks.last().file !== null"));
    button = session->findTop("detailMenuButton");
    ASSERT_TRUE(session->click(button));
    expectBeside(opened("detailMenu"), button);
    session->home();

    session->eval("Templates.container('store', {})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("agentRow") != nullptr; }));
    session->wait(500);
    QQuickItem *row = lowest("agentRow", QRectF(0, 0, window()->width(), window()->height()));
    ASSERT_TRUE(session->click(row));
    expectBeside(opened("agentMenu"), row);
    session->home();

    // From the pointer the menu unfolds leftwards.
    session->eval("Templates.container('contact', {})");
    ASSERT_TRUE(session->waitUntil([&] { return (row = highest("contact_row_")) != nullptr; }));
    session->wait(500);
    ASSERT_TRUE(session->click(row, Qt::RightButton));
    QQuickItem *menu = opened("contactMenu");
    ASSERT_TRUE(menu);
    EXPECT_NEAR(sceneRect(menu).right(), sceneRect(row).center().x(), 1.5);
    EXPECT_NEAR(sceneRect(menu).top(), sceneRect(row).center().y(), 1.5);
}

// A card's prices are read whole: a line too long for the card draws smaller, never cut inside a
// number ("5,000,0…" would read as another price).
TEST_F(FitScreens, CardPricesAreNeverCut)
{
    session->eval("var d = Settings.app_data; d.file_list_show_type = {'grid': true, 'row': false}; Settings.app_data = d");
    session->eval("Templates.container('fileList', {'mode': 'tab', 'trade_type': 2})");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (list = session->findTop("fileList")) && list->property("count").toInt() > 3; }));
    session->wait(400);
    int seen = 0;
    pick([&](QQuickItem *i) {
        if (i->objectName() != QLatin1String("filePrices"))
            return false;
        ++seen;
        EXPECT_FALSE(i->property("truncated").toBool()) << i->property("text").toString().toStdString() << " in "
                                                        << i->width() << " px";
        return false;
    }, [](QQuickItem *, QQuickItem *) { return false; }, list);
    EXPECT_GT(seen, 0);
}

// The sort choices read from the right, each circle on the right of its words.
TEST_F(FitScreens, SortChoicesStartOnTheRight)
{
    session->eval("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("sortButton") != nullptr; }));
    session->wait(400);
    ASSERT_TRUE(session->click(session->findTop("sortButton")));
    QQuickItem *dialog = opened("sortDialog");
    ASSERT_TRUE(dialog);
    QQuickItem *content = qobject_cast<QQuickItem *>(dialog->parent()->property("contentItem").value<QObject *>());
    ASSERT_TRUE(content);
    const qreal right = sceneRect(content).right();
    int choices = 0;
    pick([&](QQuickItem *i) {
        if (!i->inherits("QQuickRadioButton"))
            return false;
        ++choices;
        QQuickItem *circle = qobject_cast<QQuickItem *>(i->property("indicator").value<QObject *>());
        EXPECT_GT(sceneRect(circle).center().x(), sceneRect(i).center().x()) << i->property("text").toString().toStdString();
        if (choices == 1)
            EXPECT_NEAR(sceneRect(i).right(), right, 1.5);
        return false;
    }, [](QQuickItem *, QQuickItem *) { return false; }, content);
    EXPECT_GT(choices, 3);
}

// The search button stays in reach under a long form; the task editor's agents scroll.
TEST_F(FitScreens, LongFormsScrollInsideTheirDialogs)
{
    session->eval("var d = Templates.container('search', {}); var s = d.contentItem.children[0].open('search', {});"
                  "s.tradeType = 1; s.propertyType = 50; s.refreshForm()");
    session->wait(900);
    QQuickItem *search = session->findTop("searchButton");
    ASSERT_TRUE(search);
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
    session->wait(600);
    QQuickItem *bar = session->findTop("task_agents_scroll");
    ASSERT_TRUE(bar);
    EXPECT_GT(bar->property("size").toReal(), 0);
    EXPECT_LT(bar->property("size").toReal(), 1);
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

    session->eval("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("listTitle") != nullptr; }));
    latinOnTheRight(session->findTop("listTitle"));
    session->home();

    session->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'tavorlin', 'options': {'shelf': Database.getShelves('m1-s0', -1)}})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("containerTitle") != nullptr; }));
    latinOnTheRight(session->findTop("containerTitle"));
    session->home();

    session->eval("Stacks.last().shelvesLoader.item.oldCount = 150");
    session->wait(200);
    QQuickItem *badge = session->find("oldFilesBadge");
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->property("text").toString(), "99+");
    QQuickItem *digits = badge->childItems().value(0);
    EXPECT_GE(drawnPart(digits, "+").left(), drawnPart(digits, "99").right() - 0.5);
    QQuickItem *caption = badge->parentItem()->property("contentItem").value<QQuickItem *>();
    EXPECT_FALSE(drawnRect(caption).intersects(sceneRect(badge))) << text(drawnRect(caption)) << text(sceneRect(badge));
}

// Ticking a board, renaming a district, removing a hashtag and completing a task change their
// row where it is: the list does not jump to its top.
TEST_F(FitScreens, ListsKeepTheirPlaceWhenARowChanges)
{
    window()->resize(1280, 450); // lists that scroll
    session->wait(300);

    session->eval("Templates.initial('main/Tavorlins_Shelf.qml', {'shelf': Database.getShelves('m1-s0', -1)})");
    ASSERT_TRUE(session->until("Stacks.last().rows.length > 8"));
    session->settle();
    QQuickItem *view = session->findTop("chooseBoards");
    const qreal y = scrollTo(view, view->property("contentHeight").toReal() - view->height());
    ASSERT_GT(y, 0);
    QQuickItem *row = lowest("choose_", sceneRect(view));
    ASSERT_TRUE(row);
    const QString ticked = QStringLiteral("Stacks.last().rows[%1].checked").arg(row->objectName().mid(7));
    const bool before = session->eval(ticked).toBool();
    ASSERT_TRUE(session->click(row));
    EXPECT_EQ(session->eval(ticked).toBool(), !before);
    EXPECT_EQ(view->property("contentY").toReal(), y);
    session->home();

    session->eval("Stacks.last().menu.openContainer('district', {})");
    ASSERT_TRUE(session->waitUntil([&] { return (view = session->findTop("district_list")) && view->property("count").toInt() > 6; }));
    session->wait(500);
    const qreal at = scrollTo(view, 100);
    ASSERT_EQ(at, 100);
    row = lowest("district_row_", sceneRect(view));
    ASSERT_TRUE(row);
    const QString district = row->objectName().mid(13);
    ASSERT_TRUE(session->click(session->findTop("district_edit_" + district)));
    ASSERT_TRUE(session->typeInto(session->findTop("district_title"), "منطقه تازه نام"));
    ASSERT_TRUE(session->click(session->findTop("district_save")));
    ASSERT_TRUE(session->until("Database.getSingleDistrict('" + district + "').title === 'منطقه تازه نام'"));
    session->wait(300);
    EXPECT_EQ(view->property("contentY").toReal(), at);
    session->home();

    // A new hashtag, removed while the list is scrolled.
    session->eval("Stacks.last().menu.openContainer('hashtag', {})");
    ASSERT_TRUE(session->waitUntil([&] { return (view = session->findTop("hashtag_list")) && view->property("count").toInt() > 0; }));
    session->wait(500);
    const int count = view->property("count").toInt();
    ASSERT_TRUE(session->click(session->findTop("hashtag_add")));
    ASSERT_TRUE(session->typeInto(session->findTop("hashtag_title"), "برچسب رفتنی"));
    ASSERT_TRUE(session->click(session->findTop("hashtag_save")));
    ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == count + 1; }));
    const qreal kept = scrollTo(view, 60);
    ASSERT_EQ(kept, 60);
    QQuickItem *tags = session->findTop("hashtag_settings");
    QVariant gone;
    for (const QVariant &r : tags->property("rows").value<QJSValue>().toVariant().toList())
        if (r.toMap().value("title").toString() == QStringLiteral("برچسب رفتنی"))
            gone = r;
    ASSERT_TRUE(gone.isValid());
    QMetaObject::invokeMethod(tags, "remove", Q_ARG(QVariant, gone));
    ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == count; }));
    EXPECT_EQ(view->property("contentY").toReal(), kept);
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
    session->wait(500);
    const qreal taskY = scrollTo(view, 120);
    ASSERT_EQ(taskY, 120);
    row = lowest("task_done_", sceneRect(view));
    ASSERT_TRUE(row);
    const QString task = row->objectName().mid(10);
    ASSERT_TRUE(session->click(session->findTop("task_done_" + task)));
    ASSERT_TRUE(session->click(session->findTop("task_done_confirm")));
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("task_completer_" + task) != nullptr; }));
    session->wait(300);
    EXPECT_EQ(view->property("contentY").toReal(), taskY);
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
    session->wait(200);
    // Qt's offscreen platform says this of every widget window it shows.
    QStringList warnings;
    for (const QString &w : session->warningsSince(warningsFrom))
        if (!w.contains("propagateSizeHints"))
            warnings << w;
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
    warningsFrom = session->warningMark();
}

} // namespace
