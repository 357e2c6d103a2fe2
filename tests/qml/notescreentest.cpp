// The notes drawer, the phone book, the district and hashtag settings and a file's notes, end
// to end: the real window and Sockets over TLS to the fixture agency server, a real store.
#include "screensession.h"

#include <QDateTime>
#include <QJSValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>

#include <gtest/gtest.h>

namespace {

class NoteScreens : public ScreenSuite
{
protected:
    ScreenSession &s() { return *session; }
    QJsonObject json(const QString &expression)
    {
        return QJsonDocument::fromJson(s().eval("JSON.stringify(" + expression + ")").toString().toUtf8()).object();
    }
    QVariant prop(const QString &objectName, const char *name)
    {
        QQuickItem *item = s().find(objectName);
        return item ? item->property(name) : QVariant();
    }
    // Waits for a request and answers its content.
    QJsonObject request(const char *name, std::size_t from)
    {
        return s().waitRequest(name, from).value("content").toObject();
    }
    bool waitFor(const QString &objectName)
    {
        return s().waitUntil([&] { return s().find(objectName) != nullptr; });
    }
    // A list property of a screen item, as JSON.
    QJsonArray listProp(const QString &objectName, const char *name)
    {
        QVariant v = prop(objectName, name);
        if (v.canConvert<QJSValue>())
            v = v.value<QJSValue>().toVariant();
        return QJsonArray::fromVariantList(v.toList());
    }
    QString idWhere(const QString &objectName, const char *list, const char *key, const QString &value)
    {
        for (const QJsonValue &row : listProp(objectName, list))
            if (row.toObject().value(key).toString() == value)
                return row.toObject().value("_id").toString();
        return {};
    }
    void openContainer(const QString &key, const QString &screen)
    {
        s().eval("Stacks.last().menu.openContainer('" + key + "', {})");
        ASSERT_TRUE(waitFor(screen));
        ASSERT_TRUE(s().waitUntil([&] { return !prop(screen, "loading").toBool(); }));
    }
};


TEST_F(NoteScreens, NoteAtMiddayTodayShowsInTodayAndBothBadges)
{
    const int menuBefore = s().eval("Stacks.last().menu.note").toInt();
    s().eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(s().until("Consts.drawer_note.opened"));
    ASSERT_TRUE(waitFor("note_drawer"));
    const int drawerBefore = prop("note_drawer", "noteCount").toInt();
    EXPECT_EQ(drawerBefore, menuBefore);

    ASSERT_TRUE(s().click(s().find("note_add")));
    ASSERT_TRUE(s().click(s().find("note_preset_3")));
    ASSERT_TRUE(s().typeInto(s().find("note_body"), "تماس با خریدار <b>فوری</b>"));
    s().grab("note_editor");
    const std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("note_save")));
    const QJsonObject sent = request("note_create", at);
    EXPECT_EQ(sent.value("title").toString(), "پیگیری");
    EXPECT_EQ(sent.value("color").toString(), "#CE93D8");
    QDateTime midday = QDateTime::currentDateTime();
    midday.setTime(QTime(12, 0));
    EXPECT_EQ(qint64(sent.value("date").toObject().value("alarm").toDouble()), midday.toMSecsSinceEpoch());

    ASSERT_TRUE(s().waitUntil([&] { return prop("note_drawer", "noteCount").toInt() == drawerBefore + 1; }));
    EXPECT_EQ(s().eval("Stacks.last().menu.note").toInt(), menuBefore + 1);

    ASSERT_TRUE(s().click(s().find("note_filter_today")));
    const QString id = idWhere("note_drawer", "notes", "body", "تماس با خریدار <b>فوری</b>");
    EXPECT_FALSE(id.isEmpty()) << "the note is among today's";
    s().grab("notes_today");
}

// A long note takes three lines of the list, and opens whole in its editor, inside the window.
TEST_F(NoteScreens, LongNoteShortInTheListWholeInTheEditor)
{
    s().eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(s().until("Consts.drawer_note.opened") && s().click(s().find("note_add")) && s().click(s().find("note_preset_1")));
    const QString body = QStringLiteral("قرارداد ملک شمالی ").repeated(306).trimmed(); // 5,507 letters
    s().find("note_body")->setProperty("text", body);
    ASSERT_TRUE(s().click(s().find("note_save")));
    QString id;
    ASSERT_TRUE(s().waitUntil([&] { return !(id = idWhere("note_drawer", "notes", "body", body)).isEmpty() && waitFor("note_row_" + id); }));
    QQuickItem *text = s().find("note_text_" + id);
    EXPECT_TRUE(text->property("lineCount").toInt() == 3 && text->property("truncated").toBool());
    ASSERT_TRUE(s().click(text) && s().waitUntil([&] { return s().find("note_body_view")->isVisible(); }));
    EXPECT_EQ(s().find("note_body")->property("text").toString(), body);
    QQuickItem *popup = s().find("note_body_view")->parentItem()->parentItem();
    EXPECT_TRUE(QRectF(QPointF(), s().window()->size()).contains(popup->mapRectToScene(popup->boundingRect())));
}

TEST_F(NoteScreens, NoteCreateWithNullResultChangesNothing)
{
    s().eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(s().until("Consts.drawer_note.opened"));
    ASSERT_TRUE(waitFor("note_drawer"));
    const int before = prop("note_drawer", "noteCount").toInt();
    s().fail("note_create", "null");
    ASSERT_TRUE(s().click(s().find("note_add")));
    ASSERT_TRUE(s().click(s().find("note_preset_0")));
    ASSERT_TRUE(s().typeInto(s().find("note_body"), "بی پاسخ"));
    const std::size_t at = s().mark();
    const std::size_t replied = s().replyMark();
    ASSERT_TRUE(s().click(s().find("note_save")));
    ASSERT_FALSE(request("note_create", at).isEmpty());
    ASSERT_TRUE(s().waitReply("note_create_result", replied));
    EXPECT_EQ(prop("note_drawer", "noteCount").toInt(), before);
    EXPECT_TRUE(s().find("note_save")->isVisible()) << "the editor stays open";
}

TEST_F(NoteScreens, TaskCreatedDoneAndShownWithItsCompleter)
{
    const QJsonObject agent = s().list("initial_agent").at(1).toObject().value("agent_ref").toObject();
    const QString agentId = agent.value("_id").toString();
    s().eval("Stacks.last().menu.activate('notes')");
    ASSERT_TRUE(s().until("Consts.drawer_note.opened"));
    ASSERT_TRUE(waitFor("note_section_tasks"));
    // The menu bar's badge counts the open tasks after each change.
    const int open = s().eval("Stacks.last().menu.task").toInt();
    auto menuTasks = [&](int n) { return s().until("Stacks.last().menu.task === " + QString::number(n)); };
    std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("note_section_tasks")));
    EXPECT_EQ(request("task_list", at).value("type").toInt(), 0);

    ASSERT_TRUE(s().click(s().find("task_add")));
    ASSERT_TRUE(s().typeInto(s().find("task_title"), "بازدید ملک"));
    ASSERT_TRUE(waitFor("task_agent_" + agentId));
    ASSERT_TRUE(s().click(s().find("task_agent_" + agentId)));
    s().grab("task_editor");
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("task_save")));
    const QJsonObject sent = request("task_create", at);
    EXPECT_EQ(sent.value("assignedTo").toArray(), QJsonArray{agentId});

    // The new task's id is the one the server gave; its row names the assignee.
    QString taskId;
    ASSERT_TRUE(s().waitUntil([&] { return !(taskId = idWhere("note_drawer", "tasks", "title", "بازدید ملک")).isEmpty(); }));
    ASSERT_TRUE(waitFor("task_assignees_" + taskId));
    EXPECT_TRUE(prop("task_assignees_" + taskId, "text").toString().contains(agent.value("name_family").toString()));
    EXPECT_TRUE(menuTasks(open + 1));

    ASSERT_TRUE(s().click(s().find("task_done_" + taskId)));
    ASSERT_TRUE(s().typeInto(s().find("task_description"), "انجام شد"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("task_done_confirm")));
    const QJsonObject done = request("task_done", at);
    EXPECT_EQ(done.value("task_id").toString(), taskId);
    EXPECT_EQ(done.value("description").toString(), "انجام شد");
    const QString manager = s().sent().value("manager").toObject().value("name_family").toString();
    ASSERT_TRUE(s().waitUntil([&] { return prop("task_completer_" + taskId, "text").toString().contains(manager); }));
    EXPECT_TRUE(menuTasks(open));
    s().grab("notes_tasks");
}

TEST_F(NoteScreens, ContactCreatedEditedAndRemovedFromOneTabKeepingAnother)
{
    openContainer("contact", "contact_book");
    ASSERT_TRUE(s().click(s().find("contact_tab_18")));
    ASSERT_TRUE(s().click(s().find("contact_add")));
    ASSERT_TRUE(s().typeInto(s().find("contact_name_family"), "آقای آزمون"));
    std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("contact_save")));
    s().wait(300);
    EXPECT_TRUE(s().requests("contact_create", at).empty()) << "sent without a mobile number";
    ASSERT_TRUE(s().typeInto(s().find("contact_mobile_1"), "abcd"));
    ASSERT_TRUE(s().click(s().find("contact_save")));
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("شماره همراه صحیح را وارد کنید.") != nullptr; }));
    EXPECT_TRUE(s().requests("contact_create", at).empty()) << "sent with letters for a mobile number";
    ASSERT_TRUE(s().typeInto(s().find("contact_mobile_1"), "۰۹۱۲۱۱۱۲۲۳۳"));
    s().grab("contact_editor");
    ASSERT_TRUE(s().click(s().find("contact_save")));
    const QJsonObject created = request("contact_create", at);
    EXPECT_EQ(created.value("type").toInt(), 18);
    EXPECT_EQ(created.value("mobile_1").toString(), "09121112233");
    ASSERT_TRUE(s().waitUntil([&] {
        return json("Database.getContact('', '09121112233')").value("name_family").toString() == "آقای آزمون";
    }));
    const QString id = json("Database.getContact('', '09121112233')").value("_id").toString();
    ASSERT_TRUE(waitFor("contact_row_" + id));
    // Searched in the digits agents type.
    ASSERT_TRUE(s().typeInto(s().find("contact_search"), "۱۱۱۲۲"));
    ASSERT_TRUE(s().waitUntil([&] { return listProp("contact_book", "contacts").size() == 1; }));
    ASSERT_TRUE(waitFor("contact_row_" + id));
    ASSERT_TRUE(s().typeInto(s().find("contact_search"), ""));

    // Kind 18: a press opens the editor.
    ASSERT_TRUE(s().click(s().find("contact_row_" + id)));
    ASSERT_TRUE(s().typeInto(s().find("contact_name_family"), "خانم آزمون"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("contact_save")));
    EXPECT_EQ(request("contact_edit", at).value("contact_id").toString(), id);
    ASSERT_TRUE(s().waitUntil([&] {
        return json("Database.getContact('" + id + "', '')").value("name_family").toString() == "خانم آزمون";
    }));

    // A seller who is also filed under "others" loses only that kind.
    const QString seller = s().list("initial_customer").at(0).toObject().value("_id").toString();
    s().command({{"cmd", "kinds"}, {"id", seller}, {"type", QJsonArray{1, 18}}});
    ASSERT_TRUE(s().waitUntil([&] { return json("Database.getContact('" + seller + "', '')").value("type").toArray().size() == 2; }));
    ASSERT_TRUE(s().click(s().find("contact_tab_1")));
    ASSERT_TRUE(s().click(s().find("contact_tab_18")));
    ASSERT_TRUE(waitFor("contact_row_" + seller));
    ASSERT_TRUE(s().longPress(s().find("contact_row_" + seller)));
    at = s().mark();
    ASSERT_TRUE(s().confirm());
    const QJsonObject removal = request("contact_remove", at);
    EXPECT_EQ(removal.value("type").toInt(), 18);
    EXPECT_EQ(removal.value("contact_id").toString(), seller);
    ASSERT_TRUE(s().waitUntil([&] { return s().find("contact_row_" + seller) == nullptr; }));
    const QJsonObject kept = json("Database.getContact('" + seller + "', '')");
    EXPECT_EQ(kept.value("type").toArray(), QJsonArray{1}) << "the contact stays a seller";
    ASSERT_TRUE(s().click(s().find("contact_tab_1")));
    EXPECT_TRUE(waitFor("contact_row_" + seller));
}

TEST_F(NoteScreens, DistrictAnsweredWithExistStaysAndPushedChangesReachTheList)
{
    openContainer("district", "district_settings");
    ASSERT_TRUE(s().click(s().find("district_add")));
    ASSERT_TRUE(s().typeInto(s().find("district_title"), "منطقه آزمون"));
    std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("district_save")));
    EXPECT_EQ(request("district_create", at).value("title").toString(), "منطقه آزمون");
    ASSERT_TRUE(s().waitUntil([&] { return json("Database.findDistrict('منطقه آزمون')").contains("_id"); }));
    const QString id = json("Database.findDistrict('منطقه آزمون')").value("_id").toString();
    ASSERT_TRUE(waitFor("district_row_" + id));

    // The same title again is refused without asking the server.
    ASSERT_TRUE(s().click(s().find("district_add")));
    ASSERT_TRUE(s().typeInto(s().find("district_title"), "منطقه آزمون"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("district_save")));
    s().wait(300);
    EXPECT_TRUE(s().requests("district_create", at).empty());
    ASSERT_TRUE(s().clickText("انصراف"));

    s().command({{"cmd", "exist"}, {"id", id}});
    ASSERT_TRUE(s().click(s().find("district_remove_" + id)));
    at = s().mark();
    std::size_t replied = s().replyMark();
    ASSERT_TRUE(s().confirm());
    EXPECT_EQ(request("district_remove", at).value("district_id").toString(), id);
    ASSERT_TRUE(s().waitReply("district_remove_result", replied));
    EXPECT_NE(s().find("district_row_" + id), nullptr);
    EXPECT_EQ(json("Database.getSingleDistrict('" + id + "')").value("_id").toString(), id);

    const QString pushed = "m1-dpushed";
    s().push("district_notify", "create", QJsonObject{{"_id", pushed}, {"title", "منطقه جدید"}, {"user_ref", "m1"}});
    ASSERT_TRUE(waitFor("district_row_" + pushed));
    s().push("district_notify", "edit", QJsonObject{{"_id", pushed}, {"title", "منطقه تازه"}, {"user_ref", "m1"}});
    ASSERT_TRUE(s().waitUntil([&] { return s().findText("منطقه تازه") != nullptr; }));
    s().push("district_notify", "remove", QJsonObject{{"_id", pushed}});
    ASSERT_TRUE(s().waitUntil([&] { return s().find("district_row_" + pushed) == nullptr; }));
}

TEST_F(NoteScreens, HashtagRenamedAndRemoved)
{
    openContainer("hashtag", "hashtag_settings");
    // Offline, neither create nor rename begins.
    s().eval("Sockets.connected = false");
    ASSERT_TRUE(s().click(s().find("hashtag_add")));
    EXPECT_FALSE(s().find("hashtag_title") && s().find("hashtag_title")->isVisible());
    s().eval("Sockets.connected = true");

    // An empty title is asked for; a stored title in other digits is refused; neither is sent.
    std::size_t at = s().mark();
    ASSERT_TRUE(s().click(s().find("hashtag_add")));
    ASSERT_TRUE(s().click(s().find("hashtag_save")));
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("عنوان را وارد کنید") != nullptr; }));
    ASSERT_TRUE(s().typeInto(s().find("hashtag_title"), "برچسب ۱"));
    ASSERT_TRUE(s().click(s().find("hashtag_save")));
    EXPECT_TRUE(s().waitUntil([&] { return s().findText("این برچسب قبلا ثبت شده است") != nullptr; }));
    EXPECT_TRUE(s().requests("hashtag_create", at).empty());

    ASSERT_TRUE(s().typeInto(s().find("hashtag_title"), "فوری"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("hashtag_save")));
    EXPECT_EQ(request("hashtag_create", at).value("hashtag").toString(), "فوری");
    QString id;
    ASSERT_TRUE(s().waitUntil([&] { return !(id = idWhere("hashtag_settings", "rows", "title", "فوری")).isEmpty(); }));

    ASSERT_TRUE(s().click(s().find("hashtag_edit_" + id)));
    ASSERT_TRUE(s().typeInto(s().find("hashtag_title"), "خیلی فوری"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("hashtag_save")));
    const QJsonObject edit = request("hashtag_edit", at);
    EXPECT_EQ(edit.value("hashtag").toString(), "خیلی فوری");
    EXPECT_EQ(edit.value("hashtag_id").toString(), id);
    ASSERT_TRUE(s().waitUntil([&] { return json("Database.getSingleHashTag('" + id + "')").value("title").toString() == "خیلی فوری"; }));
    EXPECT_NE(s().findText("خیلی فوری"), nullptr);

    ASSERT_TRUE(s().click(s().find("hashtag_remove_" + id)));
    at = s().mark();
    ASSERT_TRUE(s().confirm());
    EXPECT_EQ(request("hashtag_remove", at).value("hashtag_id").toString(), id);
    ASSERT_TRUE(s().waitUntil([&] { return s().find("hashtag_row_" + id) == nullptr; }));
    EXPECT_TRUE(json("Database.getSingleHashTag('" + id + "')").contains("error"));
}

TEST_F(NoteScreens, FileNoteCreatedEditedAndRemoved)
{
    const QString file = "m1-f3";
    std::size_t at = s().mark();
    s().eval("Templates.initial('files/FileNotes.qml', {'file': Database.getFile('" + file + "')})");
    ASSERT_TRUE(waitFor("file_notes"));
    const QJsonObject list = request("file_note_list", at);
    EXPECT_EQ(list.value("file_id").toString(), file);
    ASSERT_TRUE(s().until("!Stacks.last().loading && !Stacks.stack.busy"));

    ASSERT_TRUE(s().typeInto(s().find("chat_input"), "مالک فردا پاسخ می دهد"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("chat_send")));
    const QJsonObject created = request("file_note_create", at);
    EXPECT_EQ(created.value("message").toString(), "مالک فردا پاسخ می دهد");
    EXPECT_EQ(created.value("type").toInt(), 1);
    EXPECT_EQ(created.value("file_id").toString(), file);
    QString id;
    ASSERT_TRUE(s().waitUntil([&] { return !(id = idWhere("file_notes_chat", "raw", "message", "مالک فردا پاسخ می دهد")).isEmpty(); }));
    ASSERT_TRUE(waitFor("chat_message_" + id));
    EXPECT_GT(s().eval("Database.getFile('" + file + "').activity_count").toInt(), 0);

    QQuickItem *bubble = s().find("chat_message_" + id)->childItems().at(1);
    ASSERT_TRUE(s().click(bubble, Qt::RightButton));
    // The menu unfolds from the pointer leftwards, as every menu of the program does.
    QObject *popup = s().window()->findChild<QObject *>("chatMessageMenu");
    ASSERT_TRUE(popup);
    ASSERT_TRUE(s().waitUntil([&] { return popup->property("opened").toBool(); }));
    s().wait(150);
    auto *menu = qobject_cast<QQuickItem *>(popup->property("contentItem").value<QObject *>())->parentItem();
    const QPointF pointer = bubble->mapToScene(QPointF(bubble->width() / 2, bubble->height() / 2));
    const QRectF shown = menu->mapRectToScene(QRectF(0, 0, menu->width(), menu->height()));
    EXPECT_NEAR(shown.right(), pointer.x(), 1.5);
    EXPECT_NEAR(shown.top(), pointer.y(), 1.5);
    ASSERT_TRUE(s().click(s().find("chat_menu_edit")));
    ASSERT_TRUE(s().typeInto(s().find("chat_input"), "مالک پس فردا پاسخ می دهد"));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("chat_send")));
    const QJsonObject edited = request("file_note_edit", at);
    EXPECT_EQ(edited.value("_id").toString(), id);
    ASSERT_TRUE(s().waitUntil([&] { return s().findText("مالک پس فردا پاسخ می دهد") != nullptr; }));
    s().grab("file_notes_chat");

    const int count = s().eval("Database.getFile('" + file + "').activity_count").toInt();
    ASSERT_TRUE(s().click(s().find("chat_message_" + id)->childItems().at(1), Qt::RightButton));
    at = s().mark();
    ASSERT_TRUE(s().click(s().find("chat_menu_remove")));
    ASSERT_TRUE(s().confirm()) << "it asks first";
    EXPECT_EQ(request("file_note_remove", at).value("_id").toString(), id);
    ASSERT_TRUE(s().waitUntil([&] { return s().find("chat_message_" + id) == nullptr; }));
    EXPECT_EQ(s().eval("Database.getFile('" + file + "').activity_count").toInt(), count - 1);
}

// Offline a file's notes say so and wait for nothing, and the offline bar leaves their input in front.
TEST_F(NoteScreens, FileNotesOffline)
{
    s().eval("Sockets.connected = false");
    s().eval("Templates.initial('files/FileNotes.qml', {'file': Database.getFile('m1-f3')})");
    ASSERT_TRUE(waitFor("file_notes"));
    ASSERT_TRUE(s().until("!Stacks.stack.busy"));
    const QString message = s().eval("Sockets.offlineMessage").toString();
    EXPECT_TRUE(s().waitUntil([&] { return s().findText(message) != nullptr; }));
    EXPECT_FALSE(s().eval("Stacks.last().loading").toBool());
    ASSERT_TRUE(s().waitUntil([&] { return s().findText(message) == nullptr; })) << "the message goes";
    EXPECT_EQ(s().notInFront(s().find("chat_input")).toStdString(), "");
    s().eval("Sockets.connected = true");
}

} // namespace
