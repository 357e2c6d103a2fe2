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
#include <QLabel>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWindow>
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

bool persian(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06FF)
            return true;
    return false;
}

// Where `part` of a text item's line is drawn, as Qt lays the line out from its letters.
QRectF drawnPart(QQuickItem *item, const QString &part)
{
    const QString shown = item->property("text").toString();
    const int at = shown.indexOf(part);
    if (at < 0)
        return {};
    QTextLayout layout(shown, item->property("font").value<QFont>());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(100000);
    layout.endLayout();
    QRectF r;
    for (const QGlyphRun &run : layout.glyphRuns(at, part.size()))
        r |= run.boundingRect();
    return r;
}

class FitScreens : public ScreenSuite
{
protected:
    QQuickWindow *window() { return session->window(); }
    QRectF windowRect() { return QRectF(0, 0, window()->width(), window()->height()); }

    // The drawn item of the popup with this objectName, while it is open.
    QQuickItem *popup(const QString &name)
    {
        QQuickItem *found = nullptr;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *i) {
            if (i->inherits("QQuickPopupItem") && i->isVisible() && i->parent() && i->parent()->objectName() == name)
                found = i;
            for (QQuickItem *c : i->childItems())
                walk(c);
        };
        walk(window()->contentItem());
        return found;
    }

    QQuickItem *openedMenu(const QString &name)
    {
        QQuickItem *menu = nullptr;
        session->waitUntil([&] { return (menu = popup(name)) && menu->parent()->property("opened").toBool(); });
        session->wait(150);
        return menu;
    }

    // The visible item of that name highest on the screen, under `within` when given.
    QQuickItem *topmost(const QString &name, QQuickItem *within = nullptr)
    {
        QQuickItem *best = nullptr;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *i) {
            if (i->objectName() == name && i->isVisible() && (!best || sceneRect(i).y() < sceneRect(best).y()))
                best = i;
            for (QQuickItem *c : i->childItems())
                walk(c);
        };
        walk(within ? within : window()->contentItem());
        return best;
    }

    // A menu opened from a button: its right edge on the button's, just under it or just over it.
    void expectBeside(QQuickItem *menu, QQuickItem *button)
    {
        ASSERT_TRUE(menu);
        const QRectF m = sceneRect(menu), b = sceneRect(button);
        EXPECT_TRUE(windowRect().contains(m)) << text(m);
        EXPECT_NEAR(m.right(), b.right(), 1.5) << text(m) << " beside " << text(b);
        EXPECT_TRUE(qAbs(m.top() - b.bottom()) <= 1.5 || qAbs(m.bottom() - b.top()) <= 1.5)
            << text(m) << " beside " << text(b);
    }

    // The page's list shrinks in a small window, so that it scrolls.
    void smallWindow(int height)
    {
        window()->resize(1280, height);
        session->wait(300);
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
    EXPECT_EQ(session->eval("window.fit.minimumHeight").toInt(), free.height());
    EXPECT_EQ(window()->minimumHeight(), free.height());
    const QRect placed(session->eval("window.fit.x").toInt(), session->eval("window.fit.y").toInt(),
                       session->eval("window.fit.width").toInt(), session->eval("window.fit.height").toInt());
    EXPECT_TRUE(free.contains(placed)) << placed.y() << "+" << placed.height();
    EXPECT_EQ(placed.center().x(), free.center().x());
}

// The file card's button, the detail's "عملیات", an agent's row and a contact's right click.
TEST_F(FitScreens, MenusOpenBesideWhatTheyBelongTo)
{
    session->eval("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (list = session->findTop("fileList")) && list->property("count").toInt() > 3; }));
    session->wait(400);
    QQuickItem *button = topmost("menuButton", list);
    ASSERT_TRUE(session->click(button));
    expectBeside(openedMenu("fileMenu"), button);
    QMetaObject::invokeMethod(popup("fileMenu")->parent(), "close");
    session->wait(300);
    // The lowest card whole in sight: no room under its button, so the menu opens over it.
    QQuickItem *low = nullptr;
    const QRectF shown = sceneRect(session->findTop("fileView"));
    std::function<void(QQuickItem *)> findLow = [&](QQuickItem *i) {
        if (i->objectName() == "menuButton" && i->isVisible() && shown.contains(sceneRect(i->parentItem()))
            && (!low || sceneRect(i).y() > sceneRect(low).y()))
            low = i;
        for (QQuickItem *c : i->childItems())
            findLow(c);
    };
    findLow(list);
    ASSERT_TRUE(session->click(low));
    expectBeside(openedMenu("fileMenu"), low);
    EXPECT_NEAR(sceneRect(popup("fileMenu")).bottom(), sceneRect(low).top(), 1.5);
    QMetaObject::invokeMethod(popup("fileMenu")->parent(), "close");
    session->wait(300);
    // A right click on a card: the menu unfolds leftwards from the pointer.
    QQuickItem *card = button->parentItem();
    ASSERT_TRUE(session->click(card, Qt::RightButton));
    QQuickItem *menu = openedMenu("fileMenu");
    ASSERT_TRUE(menu);
    const QPointF pointer = sceneRect(card).center();
    EXPECT_NEAR(sceneRect(menu).right(), pointer.x(), 1.5);
    EXPECT_TRUE(windowRect().contains(sceneRect(menu)));
    session->home();

    session->eval("Templates.initial('files/FileDetail.qml', {'fileId': Database.getFileByLocalId(1)._id})");
    ASSERT_TRUE(session->until("Stacks.last().file !== null"));
    button = session->findTop("detailMenuButton");
    ASSERT_TRUE(session->click(button));
    expectBeside(openedMenu("detailMenu"), button);
    session->home();

    // The last agent of "بنگاه من".
    session->eval("Templates.container('store', {})");
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("agentRow") != nullptr; }));
    session->wait(500);
    QQuickItem *lowest = nullptr;
    std::function<void(QQuickItem *)> walk = [&](QQuickItem *i) {
        if (i->objectName() == "agentRow" && i->isVisible() && (!lowest || sceneRect(i).y() > sceneRect(lowest).y()))
            lowest = i;
        for (QQuickItem *c : i->childItems())
            walk(c);
    };
    walk(window()->contentItem());
    ASSERT_TRUE(session->click(lowest));
    expectBeside(openedMenu("agentMenu"), lowest);
    session->home();

    session->eval("Templates.container('contact', {})");
    QQuickItem *row = nullptr;
    ASSERT_TRUE(session->waitUntil([&] {
        QQuickItem *view = session->findTop("contact_list");
        if (!view || view->property("count").toInt() == 0)
            return false;
        for (QQuickItem *r : view->property("contentItem").value<QQuickItem *>()->childItems())
            if (r->objectName().startsWith("contact_row_") && (!row || r->y() < row->y()))
                row = r;
        return row != nullptr;
    }));
    session->wait(500);
    ASSERT_TRUE(session->click(row, Qt::RightButton));
    menu = openedMenu("contactMenu");
    ASSERT_TRUE(menu);
    const QPointF at = sceneRect(row).center();
    EXPECT_NEAR(sceneRect(menu).right(), at.x(), 1.5);
    EXPECT_NEAR(sceneRect(menu).top(), at.y(), 1.5);
    EXPECT_TRUE(windowRect().contains(sceneRect(menu)));
}

// The search button stays in reach under a long form; the task editor's agents scroll.
TEST_F(FitScreens, LongFormsScrollInsideTheirDialogs)
{
    session->eval("var d = Templates.container('search', {}); var s = d.contentItem.children[0].open('search', {});"
                  "s.tradeType = 1; s.propertyType = 50; s.refreshForm()");
    session->wait(900);
    QQuickItem *searchButton = session->findTop("searchButton");
    ASSERT_TRUE(searchButton);
    QRectF dialogRect;
    for (QQuickItem *p = searchButton; p; p = p->parentItem())
        if (p->inherits("QQuickPopupItem"))
            dialogRect = sceneRect(p);
    ASSERT_FALSE(dialogRect.isEmpty());
    EXPECT_TRUE(dialogRect.contains(drawnRect(searchButton))) << text(drawnRect(searchButton)) << " in " << text(dialogRect);
    EXPECT_TRUE(strayItems(window()).isEmpty()) << strayItems(window()).join("\n").toStdString();
    session->home();

    session->eval("var t = Qt.createComponent('qrc:/templates/note/TaskEditor.qml').createObject(window.overlay);"
                  "var a = []; for (var i = 0; i < 14; ++i) a.push({'_id': 'a' + i, 'name_family': 'مشاور ' + i});"
                  "t.start(null, a)");
    session->wait(600);
    QQuickItem *agents = session->findTop("task_agents");
    ASSERT_TRUE(agents);
    EXPECT_GT(agents->property("contentHeight").toReal(), agents->height());
    QQuickItem *bar = session->findTop("task_agents_scroll");
    ASSERT_TRUE(bar);
    EXPECT_GT(bar->property("size").toReal(), 0);
    EXPECT_LT(bar->property("size").toReal(), 1);
}

// Lines that start with a Latin word read from the right; the old-files count keeps its sign
// after the digits, clear of the button's caption.
TEST_F(FitScreens, MixedLinesReadRightToLeft)
{
    // The Latin word at the start of the line is drawn right of the words that follow it.
    const auto latinOnTheRight = [&](QQuickItem *item) {
        const QString shown = item->property("text").toString();
        const QString rest = shown.mid(shown.indexOf("Tavorlin ") + 9).trimmed();
        ASSERT_TRUE(shown.contains("Tavorlin ") && !rest.isEmpty()) << shown.toStdString();
        const QRectF latin = drawnPart(item, QStringLiteral("Tavorlin"));
        EXPECT_GT(latin.center().x(), drawnPart(item, rest).right()) << shown.toStdString();
    };

    ASSERT_TRUE(session->longPress(session->find("shelf_m1-s0")));
    QQuickItem *boards = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (boards = session->findTop("shelfMenu_boards")) != nullptr; }));
    latinOnTheRight(boards->property("contentItem").value<QQuickItem *>());
    session->home();

    session->eval("Templates.container('fileList', {'filterModel': Database.getTavorlin('', 1)})");
    QQuickItem *title = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (title = session->findTop("listTitle")) != nullptr; }));
    latinOnTheRight(title);
    session->home();

    session->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'tavorlin', 'options': {'shelf': Database.getShelves('m1-s0', -1)}})");
    ASSERT_TRUE(session->waitUntil([&] { return (title = session->findTop("containerTitle")) != nullptr; }));
    latinOnTheRight(title);
    session->home();

    session->eval(QStringLiteral("Stacks.last().shelvesLoader.item.oldCount = 150"));
    session->wait(200);
    QQuickItem *badge = session->find("oldFilesBadge");
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->property("text").toString(), "99+");
    QQuickItem *digits = badge->childItems().value(0);
    ASSERT_TRUE(digits);
    EXPECT_GE(drawnPart(digits, "+").left(), drawnPart(digits, "99").right() - 0.5);
    QQuickItem *caption = badge->parentItem()->property("contentItem").value<QQuickItem *>();
    EXPECT_FALSE(drawnRect(caption).intersects(sceneRect(badge))) << text(drawnRect(caption)) << text(sceneRect(badge));
}

// Ticking a board, renaming a district, removing a hashtag and completing a task change their row
// where it is: the list does not jump to its top.
TEST_F(FitScreens, ListsKeepTheirPlaceWhenARowChanges)
{
    smallWindow(450);
    const auto scrollTo = [&](QQuickItem *view, qreal y) {
        view->setProperty("contentY", y);
        session->wait(200);
        return view->property("contentY").toReal();
    };
    const auto visibleRow = [&](QQuickItem *view, const QString &prefix) {
        QQuickItem *found = nullptr;
        const QRectF shown = sceneRect(view);
        for (QQuickItem *row : view->property("contentItem").value<QQuickItem *>()->childItems())
            if (row->objectName().startsWith(prefix) && row->isVisible() && shown.contains(sceneRect(row)))
                found = row;
        return found;
    };

    session->eval("Templates.initial('main/Tavorlins_Shelf.qml', {'shelf': Database.getShelves('m1-s0', -1)})");
    ASSERT_TRUE(session->until("Stacks.last().rows.length > 8"));
    session->settle();
    QQuickItem *view = session->findTop("chooseBoards");
    ASSERT_GT(view->property("contentHeight").toReal(), view->height());
    const qreal y = scrollTo(view, view->property("contentHeight").toReal() - view->height());
    QQuickItem *row = visibleRow(view, "choose_");
    ASSERT_TRUE(row);
    const int index = row->objectName().mid(7).toInt();
    const bool ticked = session->eval(QStringLiteral("Stacks.last().rows[%1].checked").arg(index)).toBool();
    ASSERT_TRUE(session->click(row));
    EXPECT_EQ(session->eval(QStringLiteral("Stacks.last().rows[%1].checked").arg(index)).toBool(), !ticked);
    EXPECT_EQ(view->property("contentY").toReal(), y);
    session->home();

    session->eval("Stacks.last().menu.openContainer('district', {})");
    ASSERT_TRUE(session->waitUntil([&] { return (view = session->findTop("district_list")) && view->property("count").toInt() > 6; }));
    session->wait(500);
    ASSERT_GT(view->property("contentHeight").toReal(), view->height());
    const qreal at = scrollTo(view, 100);
    row = visibleRow(view, "district_row_");
    ASSERT_TRUE(row);
    const QString district = row->objectName().mid(13);
    ASSERT_TRUE(session->click(session->findTop("district_edit_" + district)));
    ASSERT_TRUE(session->typeInto(session->findTop("district_title"), "منطقه تازه نام"));
    std::size_t from = session->mark();
    ASSERT_TRUE(session->click(session->findTop("district_save")));
    ASSERT_FALSE(session->waitRequest("district_edit", from).isEmpty());
    ASSERT_TRUE(session->until("Database.getSingleDistrict('" + district + "').title === 'منطقه تازه نام'"));
    session->wait(300);
    EXPECT_EQ(view->property("contentY").toReal(), at);
    session->home();

    session->eval("Stacks.last().menu.openContainer('hashtag', {})");
    ASSERT_TRUE(session->waitUntil([&] { return (view = session->findTop("hashtag_list")) && view->property("count").toInt() > 0; }));
    session->wait(500);
    for (int i = 0; i < 3; ++i) {
        const int count = view->property("count").toInt();
        ASSERT_TRUE(session->click(session->findTop("hashtag_add")));
        ASSERT_TRUE(session->typeInto(session->findTop("hashtag_title"), QStringLiteral("برچسب تازه %1").arg(i)));
        ASSERT_TRUE(session->click(session->findTop("hashtag_save")));
        ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == count + 1; }));
    }
    session->wait(300);
    const qreal kept = scrollTo(view, 150);
    ASSERT_EQ(kept, 150);
    row = visibleRow(view, "hashtag_row_");
    ASSERT_TRUE(row);
    const QString tag = row->objectName().mid(12);
    ASSERT_TRUE(session->click(session->findTop("hashtag_remove_" + tag)));
    ASSERT_TRUE(session->click(session->findTop("hashtag_confirm_yes")));
    ASSERT_TRUE(session->waitUntil([&] { return session->findTop("hashtag_row_" + tag) == nullptr; }));
    session->wait(300);
    EXPECT_EQ(view->property("contentY").toReal(), kept);
    session->home();

    session->eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(session->until("Consts.drawer_note.opened"));
    ASSERT_TRUE(session->click(session->findTop("note_section_tasks")));
    QQuickItem *drawer = session->findTop("note_drawer");
    ASSERT_TRUE(drawer);
    view = session->findTop("task_list");
    ASSERT_TRUE(view);
    for (int i = 0; i < 10; ++i) {
        const int count = view->property("count").toInt();
        const QVariantMap form{{"title", QStringLiteral("وظیفه %1").arg(i)}, {"body", ""}, {"assignedTo", QVariantList()}};
        QMetaObject::invokeMethod(drawer, "saveTask", Q_ARG(QVariant, form));
        ASSERT_TRUE(session->waitUntil([&] { return view->property("count").toInt() == count + 1; }));
    }
    session->wait(500);
    const qreal taskY = scrollTo(view, 120);
    ASSERT_EQ(taskY, 120);
    row = nullptr;
    for (QQuickItem *r : view->property("contentItem").value<QQuickItem *>()->childItems())
        if (r->objectName().startsWith("task_row_") && sceneRect(view).contains(sceneRect(r))
            && session->findTop("task_done_" + r->objectName().mid(9)))
            row = r;
    ASSERT_TRUE(row);
    const QString task = row->objectName().mid(9);
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
    const auto speaksPersian = [&](QFileDialog *d) {
        QStringList texts{d->windowTitle()};
        for (QLabel *l : d->findChildren<QLabel *>())
            texts << l->text();
        for (QPushButton *b : d->findChildren<QPushButton *>())
            texts << b->text();
        return persian(texts.join(" ")) && d->layoutDirection() == Qt::RightToLeft;
    };
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);

    session->eval("Templates.initial('setting/Profile.qml', {})");
    ASSERT_TRUE(session->click(session->findTop("profileChangeImage")));
    QFileDialog *dialog = openedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(pictures).absolutePath());
    EXPECT_TRUE(speaksPersian(dialog)) << dialog->windowTitle().toStdString();
    dialog->reject();
    session->wait(200);
    session->home();

    const QString last = session->tempPath() + "/home/photos";
    QDir().mkpath(last);
    session->eval("var d = Settings.app_data; d.last_pictures_folder = 'file://" + last
                  + "'; Settings.app_data = d; var c = Templates.initial('generals/StackContent.qml', {}); c.open('file', {})");
    QQuickItem *picker = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (picker = session->findTop("media")) != nullptr; }));
    QMetaObject::invokeMethod(picker, "pick");
    dialog = openedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(last).absolutePath());
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
