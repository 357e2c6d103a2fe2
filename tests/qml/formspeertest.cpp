// The file editor end to end: the real screen over the shipped catalogue, the real store and the
// fixture agency server; what the server receives and what the store holds afterwards.
#include "screensession.h"
#include "media/gexcel.h"
#include "store/file.h"
#include "store/sharedstate.h"

#include <QColor>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

class FileEditor : public ScreenSuite
{
protected:
    QString manager() { return session->eval("Account.userId()").toString(); }

    QJsonObject json(const QString &expression)
    {
        return QJsonDocument::fromJson(session->eval("JSON.stringify(" + expression + ")").toString().toUtf8()).object();
    }

    QQuickItem *open(const QString &options = "{}")
    {
        editor = session->item("Templates.initial('generals/StackContent.qml', {}).open('file', " + options + ")");
        EXPECT_TRUE(session->until("Stacks.last().contentType === 'file' && !Stacks.stack.busy"));
        return editor;
    }

    // Items of this editor first: a page on its way out may still hold items of the same names.
    QQuickItem *inEditor(const QString &name)
    {
        QQuickItem *item = editor ? editor->findChild<QQuickItem *>(name) : nullptr;
        return item ? item : session->find(name);
    }

    // Scrolls the form to the item; false when there is none.
    bool reveal(QQuickItem *item)
    {
        if (item) {
            QMetaObject::invokeMethod(editor, "reveal", Q_ARG(QVariant, QVariant::fromValue(item)));
            session->wait(50);
        }
        return item != nullptr;
    }

    QQuickItem *box(const QString &input)
    {
        QQuickItem *field = inEditor(input);
        return field ? field->findChild<QQuickItem *>("value_1") : nullptr;
    }

    bool press(const QString &name) { return reveal(inEditor(name)) && session->click(inEditor(name)); }
    bool fill(const QString &input, const QString &text) { return reveal(box(input)) && session->typeInto(box(input), text); }
    QString valueOf(const QString &input) { return box(input) ? box(input)->property("text").toString() : QString(); }

    // What the first request of this name from `mark` on sent as its data, and as the file's customer.
    QJsonObject sentData(const char *name, std::size_t mark)
    {
        return session->waitRequest(name, mark).value("content").toObject().value("data").toObject();
    }
    static QJsonObject customerOf(const QJsonObject &data) { return data["customer"].toObject()["customer_ref"].toObject(); }

    void saleApartment(const QString &name, const QString &mobile)
    {
        ASSERT_TRUE(press("toggle_trade_1"));
        ASSERT_TRUE(press("toggle_property_50"));
        if (!name.isEmpty()) {
            ASSERT_TRUE(fill("input_customer_name_family", name));
        }
        if (!mobile.isEmpty()) {
            ASSERT_TRUE(fill("input_customer_mobile_1", mobile));
        }
    }

    bool toast(const QString &text) { return session->waitUntil([&] { return session->findText(text); }); }

    std::size_t files() { return obx::Box<File>(session->store()).count(); }

    // Saves the form as a draft, confirmed, and waits for the editor to close.
    void saveDraft()
    {
        ASSERT_TRUE(press("draft"));
        ASSERT_TRUE(session->confirm());
        ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
    }

    // From the open editor, the drafts list (expecting `count` drafts), then its last draft in the
    // editor; answers the list.
    QQuickItem *openDraft(int count)
    {
        QQuickItem *list = nullptr;
        if (!press("drafts") || !session->waitUntil([&] {
                list = session->findTop("fileList");
                return list && list->property("mode").toString() == "drafts" && list->property("count").toInt() == count;
            }))
            return nullptr;
        session->settle();
        QMetaObject::invokeMethod(list, "openFile", Q_ARG(QVariant, count - 1));
        if (!session->waitUntil([&] { return (editor = session->findTop("fileEditor")) && editor->property("draftId").toInt() > 0; }))
            return nullptr;
        session->settle();
        return list;
    }

    QQuickItem *editor = nullptr;
};


TEST_F(FileEditor, CreatesASaleApartmentAndStoresTheServersFile)
{
    const QJsonObject district = session->list("initial_district").at(0).toObject();
    const QJsonObject hashtag = session->list("initial_hashtag").at(0).toObject();
    const std::size_t mark = session->mark();
    ASSERT_TRUE(open());
    QSignalSpy saved(editor, SIGNAL(edited(QVariant)));

    saleApartment("علی <i>&", "09121234567");
    // Size and price per metre fill the full price.
    ASSERT_TRUE(fill("input_meter_home", "12"));
    ASSERT_TRUE(fill("input_price_price_1", "25"));
    EXPECT_EQ(valueOf("input_price_price_2"), "300");
    ASSERT_TRUE(press("toggle_joints_250"));
    ASSERT_TRUE(press("toggle_joints_251"));
    // An existing district chosen from the completion list keeps its id.
    ASSERT_TRUE(fill("input_district_title", district.value("title").toString()));
    ASSERT_TRUE(session->waitUntil([&] { return session->find("completion_0") && session->find("completion_0")->isVisible(); }));
    // A click on the next input reaches it, past the entries, and what is typed then goes there.
    ASSERT_TRUE(reveal(box("input_info_address")) && session->click(box("input_info_address")));
    session->type("x");
    EXPECT_EQ(valueOf("input_info_address") + valueOf("input_district_title"), "x" + district.value("title").toString());
    ASSERT_TRUE(fill("input_district_title", district.value("title").toString()));
    ASSERT_TRUE(session->click(session->find("completion_0")));
    // One stored hashtag and one new one.
    ASSERT_TRUE(press("hashtags"));
    ASSERT_TRUE(session->waitUntil([&] { return session->find("hashtag_0"); }));
    ASSERT_TRUE(session->click(session->find("hashtag_0")));
    // Among many tags, the new one is ticked where it can be seen.
    const int count = session->eval("var d = Templates.dialogs[Templates.dialogs.length - 1]; var more = [];"
                                    " for (var i = 0; i < 50; ++i) more.push({'_id': 'many' + i, 'title': 'بسیار ' + i});"
                                    " d.all = d.all.concat(more); d.all.length").toInt();
    ASSERT_TRUE(session->typeInto(session->find("newHashtag"), "برچسب نو"));
    ASSERT_TRUE(session->clickText("افزودن"));
    QQuickItem *added = nullptr;
    ASSERT_TRUE(session->waitUntil([&] { return (added = session->find(QStringLiteral("hashtag_%1").arg(count))); }) && session->drawn());
    EXPECT_TRUE(added->property("checked").toBool() && added->mapToItem(added->parentItem()->parentItem(), {0, added->height()}).y()
                <= added->parentItem()->parentItem()->height());
    ASSERT_TRUE(session->click(session->find("hashtagsConfirm")));
    ASSERT_TRUE(press("private"));
    ASSERT_TRUE(press("save"));

    const QJsonObject content = session->waitRequest("property_create", mark).value("content").toObject();
    const QJsonObject data = content.value("data").toObject();
    EXPECT_EQ(content.value("property_id").toInt(), 50);
    EXPECT_EQ(content.value("register_id").toString(), manager());
    EXPECT_EQ(data.value("trade_id").toInt(), 1);
    EXPECT_EQ(data.value("user_id").toString(), manager());
    EXPECT_GT(data.value("dates").toObject().value("register").toDouble(), 0);
    EXPECT_EQ(data.value("meter").toObject().value("home").toString(), "12");
    EXPECT_EQ(data.value("price").toObject().value("price_2").toString(), "300");
    EXPECT_EQ(data.value("joints").toArray(), (QJsonArray{250, 251}));
    EXPECT_TRUE(data.value("status").toObject().value("is_private").toBool());
    EXPECT_EQ(data.value("media_links").toArray(), QJsonArray());
    const QJsonObject customer = customerOf(data);
    EXPECT_EQ(customer.value("name_family").toString(), "علی <i>&");
    EXPECT_EQ(customer.value("mobile_1").toString(), "09121234567");
    EXPECT_EQ(customer.value("type").toInt(), 1);
    EXPECT_FALSE(data.contains("guard"));
    const QJsonObject sentDistrict = data.value("district").toArray().at(0).toObject();
    EXPECT_EQ(sentDistrict.value("title").toString(), district.value("title").toString());
    EXPECT_EQ(sentDistrict.value("id").toString(), district.value("_id").toString());
    const QJsonArray tags = data.value("hashtag").toArray();
    ASSERT_EQ(tags.size(), 2);
    EXPECT_EQ(tags.at(0).toObject().value("id").toString(), hashtag.value("_id").toString());
    EXPECT_EQ(tags.at(1).toObject(), (QJsonObject{{"title", "برچسب نو"}}));
    const QString log = content.value("log").toString();
    EXPECT_TRUE(log.contains("علی &lt;i&gt;&amp;")) << log.toStdString();
    EXPECT_FALSE(log.contains("<i>"));

    // The store holds the server's file with ids, and the new contact, district and hashtag rows.
    ASSERT_TRUE(session->waitUntil([&] { return saved.count() == 1; }));
    const QString id = saved.at(0).at(0).toMap().value("_id").toString();
    const QJsonObject file = json("Database.getFile('" + id + "')");
    EXPECT_EQ(file.value("trade_ref").toInt(), 1);
    EXPECT_EQ(file.value("property_ref").toInt(), 50);
    const QJsonObject contact = json("Database.getContact('', '09121234567')");
    EXPECT_EQ(contact.value("name_family").toString(), "علی <i>&");
    EXPECT_EQ(file.value("customer_ref").toString(), contact.value("_id").toString());
    EXPECT_EQ(file.value("districts").toArray(), QJsonArray{district.value("_id")});
    const QJsonArray stored = file.value("hashtags").toArray();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(json("Database.getSingleHashTag('" + stored.at(1).toString() + "')").value("title").toString(), "برچسب نو");
    // The editor leaves once the file is stored.
    EXPECT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
}

// A file made on screen reads back the same everywhere it is shown: the server answers in its own
// form (numbers as numbers), which is what the store takes.
TEST_F(FileEditor, ANewFilesNumbersShowTheSameEverywhereAndSurviveAnEdit)
{
    const struct {
        const char *input, *typed, *shown;
    } numbers[] = {{"input_meter_home", "۱۰۰", "100"}, {"input_info_room", "3", "3"}, {"input_info_floor_one", "2", "2"},
                   {"input_price_price_1", "50000000", "50,000,000"}, {"input_price_price_2", nullptr, "5,000,000,000"}};
    ASSERT_TRUE(open());
    QSignalSpy saved(editor, SIGNAL(edited(QVariant)));
    saleApartment("سارا عددی", "09127654321");
    for (const auto &n : numbers)
        ASSERT_TRUE(!n.typed || fill(n.input, n.typed)) << n.input;
    EXPECT_EQ(valueOf("input_price_price_2"), "5,000,000,000");
    ASSERT_TRUE(press("save"));
    ASSERT_TRUE(session->waitUntil([&] { return saved.count() == 1; }));
    const QString id = saved.at(0).at(0).toMap().value("_id").toString();
    const QString file = "Database.getFile('" + id + "')";
    const QString code = QString::number(json(file).value("code").toObject().value("auto").toInt());
    ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file' && !Stacks.stack.busy"));

    // The card in a list of the customer's files, the detail and the printed card.
    const QString contact = json("Database.getContact('', '09127654321')").value("_id").toString();
    ASSERT_TRUE(session->openFileList("{'mode': 'tab', 'filters': [{'key': 'customer_ref', 'value': {'value_1': '" + contact + "'}}]}"));
    EXPECT_TRUE(session->waitUntil([&] { return session->findText("متری 50,000,000   کل 5,000,000,000") != nullptr; }));
    session->home();
    session->eval("Templates.initial('files/FileDetail.qml', {'fileId': '" + id + "'})");
    ASSERT_TRUE(session->until("Stacks.last().objectName === 'fileDetail' && Stacks.last().file !== null"));
    const QString facts = session->eval("JSON.stringify(Stacks.last().facts())").toString();
    for (const QString n : {"\"متراژ بنا\",\"v\":\"100\"", "\"تعداد اتاق\",\"v\":\"3\"", "\"v\":\"50,000,000\"",
                             "\"v\":\"5,000,000,000\""})
        EXPECT_TRUE(facts.contains(n)) << n.toStdString() << " in " << facts.toStdString();
    session->home();
    session->eval("Templates.dialog('files/FileDetailPrintDialog.qml', {'file': {'_id': '" + id + "'}, 'property_ref': 50}).open()");
    ASSERT_TRUE(session->until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].card.file !== null"));
    const QString rows = session->eval("JSON.stringify(Templates.dialogs[Templates.dialogs.length - 1].card.rows)").toString();
    for (const QString n : {"متراژ بنا", "تعداد اتاق", "\"value\":\"100\"", "50,000,000", "5,000,000,000"})
        EXPECT_TRUE(rows.contains(n)) << n.toStdString() << " in " << rows.toStdString();
    session->home();

    // The Excel row of the file.
    auto *excel = qobject_cast<UGENERAL::GExcel *>(session->eval("Excel").value<QObject *>());
    ASSERT_NE(excel, nullptr);
    const QString book = session->tempPath() + "/roundtrip.xlsx";
    excel->exportFilesToExcel(manager(), QString(), book);
    excel->waitForExport();
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_XLSX), book});
    ASSERT_TRUE(python.waitForFinished(30000));
    QJsonArray excelRow;
    for (const QJsonValue &sheet : QJsonDocument::fromJson(python.readAllStandardOutput()).object().value("sheets").toArray())
        for (const QJsonValue &r : sheet.toObject().value("rows").toArray())
            if (r.toArray().at(0).toString() == code)
                excelRow = r.toArray();
    for (const auto &n : numbers)
        EXPECT_TRUE(excelRow.contains(QString(n.shown))) << n.shown << " in " << QJsonDocument(excelRow).toJson().toStdString();

    // The edit form shows them again, and saving it unchanged keeps them and the code.
    const std::size_t mark = session->mark();
    ASSERT_TRUE(open("{'file': " + file + "}"));
    for (const auto &n : numbers)
        EXPECT_EQ(valueOf(n.input), n.shown);
    ASSERT_TRUE(press("save"));
    EXPECT_EQ(sentData("property_edit", mark)["price"].toObject()["price_1"].toString(), "50000000");
    ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
    const QJsonObject after = json(file);
    EXPECT_EQ(QJsonDocument(QJsonArray{after["price"].toObject()["price_1"], after["price"].toObject()["price_2"],
                                       after["meter"].toObject()["home"], after["info"].toObject()["room"], after["code"].toObject()["auto"]})
                  .toJson(QJsonDocument::Compact),
              "[50000000,5000000000,100,3," + code + "]");
}

// The channel service stands in as a local HTTP listener; its address is a setting.
TEST_F(FileEditor, ANewFileGoesToTheChannelOnlyWithAnAddressSet)
{
    QTcpServer service;
    ASSERT_TRUE(service.listen(QHostAddress::LocalHost));
    QByteArray received;
    QObject::connect(&service, &QTcpServer::newConnection, [&] {
        QTcpSocket *peer = service.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [&received, peer] {
            received += peer->readAll();
            if (received.contains("\r\n\r\n"))
                peer->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        });
    });
    session->eval("Account.get().telegram_channel = 'aftab_channel'");

    // No address: nothing goes out.
    ASSERT_TRUE(open());
    saleApartment("کاوه", "09127770000");
    ASSERT_TRUE(press("channel"));
    ASSERT_TRUE(press("save"));
    ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
    session->wait(300);
    EXPECT_TRUE(received.isEmpty());
    session->home();

    session->eval(QString("Settings.app_data.channel_service_url = 'http://127.0.0.1:%1/send'").arg(service.serverPort()));
    ASSERT_TRUE(open());
    saleApartment("کاوه", "09127770001");
    ASSERT_TRUE(press("channel"));
    ASSERT_TRUE(press("save"));
    ASSERT_TRUE(session->waitUntil([&] { return received.contains("\r\n\r\n"); }));
    const QList<QByteArray> lines = received.split('\n');
    ASSERT_TRUE(lines.first().startsWith("GET /send?"));
    const QUrlQuery query(QUrl::fromEncoded(lines.first().split(' ').at(1)).query());
    EXPECT_EQ(query.queryItemValue("channel"), "aftab_channel");
    EXPECT_TRUE(query.queryItemValue("text", QUrl::FullyDecoded).contains("آپارتمان"));
    EXPECT_TRUE(received.contains("Content-Type: application/x-www-form-urlencoded"));
    session->eval("delete Settings.app_data.channel_service_url; delete Account.get().telegram_channel");
}

TEST_F(FileEditor, EditingAnArchivedSaleSendsTheArchivedTradeOnce)
{
    const QString id = manager() + "-f0";
    ASSERT_TRUE(session->eval("Database.archiveFile('" + id + "', 9)").toBool());
    const QJsonObject file = json("Database.getFile('" + id + "')");
    const std::size_t mark = session->mark();
    ASSERT_TRUE(open("{'file': Database.getFile('" + id + "')}"));
    EXPECT_TRUE(inEditor("toggle_trade_1")->property("checked").toBool());
    EXPECT_TRUE(inEditor("toggle_property_50")->property("checked").toBool());
    EXPECT_TRUE(inEditor("archive")->property("checked").toBool());
    ASSERT_TRUE(press("save"));
    const QJsonObject content = session->waitRequest("property_edit", mark).value("content").toObject();
    EXPECT_EQ(content.value("file_id").toString(), id);
    EXPECT_EQ(content.value("data").toObject().value("trade_id").toInt(), 9);
    // An archived sale still has an owner, not an applicant; the file's own contact and district keep their ids.
    const QJsonObject data = content.value("data").toObject();
    const QJsonObject customer = customerOf(data);
    EXPECT_EQ(customer.value("type").toInt(), 1);
    EXPECT_EQ(customer.value("id").toString(), file.value("customer_ref").toString());
    EXPECT_EQ(data.value("district").toArray().at(0).toObject().value("id").toString(),
              file.value("districts").toArray().at(0).toString());
    ASSERT_TRUE(session->until("Database.getFile('" + id + "').trade_ref === 9"));
}

// While the edit form is open, what is done to its file elsewhere shows above the save button, what
// was typed stays, and a save sends the file's state as it is now; a file deleted for ever is not sent.
TEST_F(FileEditor, AnOpenEditorFollowsItsFilesFate)
{
    const struct { int file; const char *key; QJsonValue value; const char *shown; QJsonArray sent; } rows[] = {
        {16, "status.delete", true, "این فایل در جای دیگری به سطل بازیافت منتقل شد", {1, true, false}}, // trade, bin, pin
        {32, "trade_ref", 9, "این فایل در جای دیگری بایگانی شد", {9, false, false}},
        {48, "status.pin", true, "", {1, false, true}},
        {64, "die", true, "این فایل در جای دیگری حذف شده است و ثبت نمی شود؛ متن وارد شده را می توانید کپی کنید.", {}}};
    for (const auto &row : rows) {
        const QString id = manager() + "-f" + QString::number(row.file), file = "JSON.stringify(Database.getFile('" + id + "'))";
        ASSERT_TRUE(open("{'file': Database.getFile('" + id + "')}"));
        ASSERT_TRUE(reveal(inEditor("description")) && session->typeInto(inEditor("description"), "نوشته من"));
        const std::size_t mark = session->mark();
        const QString before = session->eval("JSON.stringify(" + file + ")").toString();
        session->push("property_notify", "action", QJsonObject{{"key", row.key}, {"action", QJsonArray{QJsonObject{{"file_id", id}, {"value", row.value}}}}});
        ASSERT_TRUE(session->until(file + " !== " + before) && session->waitUntil([&] {
            return inEditor("fate") && inEditor("fate")->property("text").toString() == row.shown; })) << row.key;
        EXPECT_EQ(inEditor("description")->property("text").toString() + (inEditor("save")->isEnabled() ? "" : " refused"),
                  QString("نوشته من") + (row.sent.isEmpty() ? " refused" : ""));
        QMetaObject::invokeMethod(editor, "save");
        if (row.sent.isEmpty() && !editor->property("saving").toBool())
            continue; // nothing sent, or what was sent is compared with nothing
        const QJsonObject data = sentData("property_edit", mark);
        EXPECT_EQ(QJsonArray({data["trade_id"], data["status"]["delete"], data["status"]["pin"]}), row.sent) << row.key;
        ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
    }
}

// A file with an agent shows that agent in its edit form and keeps it.
TEST_F(FileEditor, EditingShowsTheFilesAgent)
{
    const QJsonObject file = json("Database.getFile('" + manager() + "-f1')");
    const QString agent = file.value("agent_id").toString();
    ASSERT_FALSE(agent.isEmpty());
    const std::size_t mark = session->mark();
    ASSERT_TRUE(open("{'file': Database.getFile('" + manager() + "-f1')}"));
    QQuickItem *chosen = inEditor("agent");
    ASSERT_TRUE(chosen && chosen->isVisible());
    EXPECT_EQ(chosen->property("currentText").toString(), file.value("agent").toObject().value("name_family").toString());
    ASSERT_TRUE(press("save"));
    EXPECT_EQ(sentData("property_edit", mark)["agent_id"].toString(), agent);
    EXPECT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
}

// A known mobile brings its contact's name; a typed name offers the phone book's entries, and the
// one chosen fills the mobile too. Either contact is sent as the file's customer.
TEST_F(FileEditor, AKnownMobileOrAChosenNameBringsItsContact)
{
    for (const bool byName : {false, true}) {
        SCOPED_TRACE(byName ? "by name" : "by mobile");
        const QJsonObject known = session->list("initial_customer").at(byName ? 7 : 3).toObject();
        const std::size_t mark = session->mark();
        ASSERT_TRUE(open());
        saleApartment(byName ? known.value("name_family").toString() : "", byName ? "" : known.value("mobile_1").toString());
        if (byName) {
            ASSERT_TRUE(session->waitUntil([&] { return session->find("completion_0") && session->find("completion_0")->isVisible(); }));
            ASSERT_TRUE(session->click(session->find("completion_0")));
        }
        EXPECT_EQ(valueOf("input_customer_name_family"), known.value("name_family").toString());
        EXPECT_EQ(valueOf("input_customer_mobile_1"), known.value("mobile_1").toString());
        ASSERT_TRUE(press("save"));
        const QJsonObject customer = customerOf(sentData("property_create", mark));
        EXPECT_EQ(customer.value("id").toString() + customer.value("name_family").toString() + customer.value("mobile_1").toString(),
                  known.value("_id").toString() + known.value("name_family").toString() + known.value("mobile_1").toString());
        ASSERT_TRUE(session->until("Stacks.last().contentType !== 'file'"));
        session->home();
    }
    // The answer of another read coming first is not taken for the editor's own.
    EXPECT_EQ(session->eval("(function () { var e = Templates.initial('generals/StackContent.qml', {}).open('file', {});"
                            " Database.contactListReady([{}]); return e.formView.contactList.length })()").toInt(), 0);
}

TEST_F(FileEditor, RefusesWithoutACustomerOrAConnection)
{
    const std::size_t mark = session->mark();
    ASSERT_TRUE(open());
    saleApartment("", "");
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(toast("لطفا نام و شماره همراه مالک را وارد نمایید"));
    ASSERT_TRUE(fill("input_customer_name_family", "رضا"));
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(toast("لطفا شماره همراه مالک را وارد نمایید"));
    ASSERT_TRUE(fill("input_customer_name_family", ""));
    ASSERT_TRUE(fill("input_customer_mobile_1", "09120001111"));
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(toast("لطفا نام مالک را وارد نمایید"));

    // Offline: refused, but the form can be kept as a draft.
    ASSERT_TRUE(fill("input_customer_name_family", "رضا"));
    session->eval("Sockets.connected = false");
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(toast("متاسفانه ثبت فایل در حالت آفلاین امکان پذیر نمی باشد!"));
    const auto drafts = [&] { return obx::Box<File>(session->store()).query(File_::draft.equals(true)).build().count(); };
    const std::size_t before = drafts();
    saveDraft();
    EXPECT_EQ(drafts(), before + 1);
    session->eval("Sockets.connected = true");
    EXPECT_TRUE(session->requests("property_create", mark).empty());
}

// A draft is found beside its button, opens in the editor with what was typed, goes to the server
// as a new file and, once stored, leaves the drafts.
TEST_F(FileEditor, ADraftIsFoundOpenedAndSentAsANewFile)
{
    const QJsonObject known = session->list("initial_customer").at(5).toObject();
    const int drafts = session->eval("Database.getOfflineCount()").toInt();
    ASSERT_TRUE(open());
    saleApartment("", known.value("mobile_1").toString());
    ASSERT_TRUE(fill("input_meter_home", "90") && fill("input_price_price_1", "25"));
    saveDraft();

    QQuickItem *first = open();
    EXPECT_EQ(inEditor("drafts")->property("text").toString(), QStringLiteral("پیش نویس ها (%1)").arg(drafts + 1));
    QQuickItem *list = openDraft(drafts + 1);
    ASSERT_TRUE(list);
    const int draftId = editor->property("draftId").toInt();
    EXPECT_EQ(valueOf("input_meter_home") + " " + valueOf("input_price_price_1") + " " + valueOf("input_customer_name_family"),
              "90 25 " + known.value("name_family").toString());

    const std::size_t mark = session->mark();
    ASSERT_TRUE(press("save"));
    const QJsonObject sent = session->waitRequest("property_create", mark).value("content").toObject();
    EXPECT_FALSE(sent.contains("file_id"));
    EXPECT_EQ(customerOf(sent["data"].toObject())["id"].toString(), known.value("_id").toString());
    ASSERT_TRUE(session->waitUntil([&] { return list->isVisible() && list->property("count").toInt() == drafts; }));
    EXPECT_TRUE(session->eval(QStringLiteral("Database.getFileByLocalId(%1).error !== undefined").arg(draftId)).toBool());
    EXPECT_EQ(session->eval("Database.getOfflineCount()").toInt(), drafts);
    ASSERT_TRUE(session->click(list->findChild<QQuickItem *>(QStringLiteral("backButton"))));
    EXPECT_TRUE(session->waitUntil([&] { return first->findChild<QQuickItem *>("drafts")->property("text") == QStringLiteral("پیش نویس ها (%1)").arg(drafts); }));
}

// A draft keeps a customer, a guard and a district no stored row knows yet, and a free text its commas.
TEST_F(FileEditor, ADraftKeepsANewCustomerAndTheAddressAsTyped)
{
    const int drafts = session->eval("Database.getOfflineCount()").toInt();
    ASSERT_TRUE(open());
    saleApartment("مالک پیش نویس", "09126660123");
    ASSERT_TRUE(fill("input_info_address", "کوچه 5, پلاک 7"));
    ASSERT_TRUE(fill("input_guard_name_family", "نگهبان") && fill("input_guard_mobile_1", "0912666") && fill("input_district_title", "منطقه نو"));
    saveDraft();
    ASSERT_TRUE(open());
    ASSERT_TRUE(openDraft(drafts + 1));
    EXPECT_EQ(valueOf("input_customer_name_family"), "مالک پیش نویس");
    EXPECT_EQ(valueOf("input_customer_mobile_1"), "09126660123");
    EXPECT_EQ(valueOf("input_info_address"), "کوچه 5, پلاک 7");
    EXPECT_EQ(valueOf("input_guard_name_family") + valueOf("input_guard_mobile_1") + valueOf("input_district_title"), "نگهبان0912666منطقه نو");

    const std::size_t mark = session->mark();
    ASSERT_TRUE(press("save"));
    const QJsonObject data = sentData("property_create", mark);
    const QJsonObject customer = customerOf(data);
    EXPECT_EQ(customer.value("name_family").toString(), "مالک پیش نویس");
    EXPECT_EQ(customer.value("mobile_1").toString(), "09126660123");
    EXPECT_FALSE(customer.contains("id"));
    EXPECT_EQ(data.value("info").toObject().value("address").toString(), "کوچه 5, پلاک 7");
    EXPECT_EQ(data["customer"]["guard"]["name_family"].toString() + data["customer"]["guard"]["mobile_1"].toString()
                  + data["district"][0]["title"].toString() + data["district"][0]["id"].toString(), "نگهبان0912666منطقه نو");
}

// A draft saved again replaces itself in one write; where the store fails, the old draft stays, the
// store's error is shown and the form stays open.
TEST_F(FileEditor, ADraftSavedAgainReplacesItselfOrStaysWhenTheStoreFails)
{
    const QString old = "Database.getFileByLocalId(" + session->eval("Database.saveDraft({'user_ref': Account.userId()}, 0).id").toString() + ")";
    ASSERT_TRUE(open("{'draftId': " + old + ".id}"));
    saleApartment("پیش نویس دوباره", "09126660456");
    QSignalSpy failed(session->eval("Database").value<QObject *>(), SIGNAL(error(QString, QString)));
    const std::string dir = UGENERAL::sharedStoreDirectory();
    UGENERAL::closeSharedStore();
    ASSERT_TRUE(press("draft") && session->confirm());
    UGENERAL::openSharedStore(dir);
    warningsFrom = session->warningMark();
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(toast("پیش نویس ذخیره نشد: " + failed.at(0).at(0).toString()) && editor->isVisible());
    EXPECT_TRUE(session->eval(old + ".error === undefined").toBool());
    saveDraft();
    EXPECT_TRUE(session->eval(old + ".error !== undefined").toBool());
}

TEST_F(FileEditor, AReplyWithoutAFileChangesNothingAndTheButtonWorksAgain)
{
    ASSERT_TRUE(open());
    saleApartment("مینا", "09125550000");
    const std::size_t before = files();
    QQuickItem *save = inEditor("save");
    session->fail("property_create", "null");
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(toast("خطایی در ثبت فایل رخ داده است."));
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(files(), before);

    // No answer at all: the button comes back after the time limit.
    editor->setProperty("replyTimeout", 800);
    session->fail("property_create", "silent");
    // Seen through its changes, since a busy machine may spend the whole limit in the click.
    QSignalSpy enabled(save, SIGNAL(enabledChanged()));
    QSignalSpy draftEnabled(inEditor("draft"), SIGNAL(enabledChanged()));
    ASSERT_TRUE(press("save"));
    EXPECT_TRUE(session->waitUntil([&] { return enabled.count() >= 2 && save->isEnabled(); }));
    EXPECT_EQ(enabled.count(), 2) << "disabled while it waited, then enabled";
    EXPECT_EQ(draftEnabled.count(), 2);
    EXPECT_EQ(files(), before);
}

TEST_F(FileEditor, TheHashtagDialogSendsTheChangeAndStoresTheReply)
{
    const QString id = manager() + "-f1";
    const QJsonArray tags = session->list("initial_hashtag");
    const std::size_t mark = session->mark();
    session->fail("property_hashtag", "null");
    session->eval("Templates.dialog('files/dialog/FileHashtags.qml', {'file': Database.getFile('" + id + "')})");
    ASSERT_TRUE(session->waitUntil([&] { return session->find("hashtag_3") && session->find("hashtag_3")->isVisible(); }));
    ASSERT_TRUE(session->click(session->find("hashtag_3")));
    ASSERT_TRUE(session->click(session->find("hashtagsConfirm")));
    EXPECT_TRUE(toast("خطایی در ثبت برچسب رخ داده است."));
    // A failed change keeps the dialog open and the store as it was; the second try goes through.
    ASSERT_TRUE(session->find("hashtagsConfirm")->isVisible());
    EXPECT_FALSE(json("{'l': Database.getHashtagFileList('" + id + "')}").value("l").toArray().contains(
        QJsonObject{{"hashtag_id", tags.at(3).toObject().value("_id")}}));
    ASSERT_TRUE(session->click(session->find("hashtagsConfirm")));
    ASSERT_TRUE(session->waitUntil([&] { return session->requests("property_hashtag", mark).size() == 2; }));
    const QJsonObject content = session->requests("property_hashtag", mark).back().value("content").toObject();
    EXPECT_EQ(content.value("file_id").toString(), id);
    EXPECT_EQ(content.value("hashtag_add").toArray(), QJsonArray{tags.at(3).toObject().value("_id")});
    EXPECT_EQ(content.value("hashtag_remove").toArray(), QJsonArray());
    EXPECT_TRUE(session->until("Database.getHashtagFileList('" + id + "').some(function (h) { return h.hashtag_id === '"
                               + tags.at(3).toObject().value("_id").toString() + "' })"));
}

TEST_F(FileEditor, FormSettingsHideTogglesFromTheForm)
{
    const std::size_t mark = session->mark();
    session->eval("Templates.initial('setting/applicationSettings/FormSettings.qml')");
    ASSERT_TRUE(session->until("Stacks.last().objectName === 'formSettings' && !Stacks.stack.busy"));
    ASSERT_TRUE(session->typeInto(session->find("settingsSearch"), "لابی"));
    ASSERT_TRUE(session->waitUntil([&] { return session->find("setting_251") && session->find("setting_251")->isVisible(); }));
    ASSERT_TRUE(session->click(session->find("setting_251")));
    ASSERT_TRUE(session->click(session->find("apply")));
    const QJsonObject content = session->waitRequest("account_setting", mark).value("content").toObject();
    EXPECT_EQ(content.value("user_id").toString(), manager());
    const QJsonObject setting = content.value("setting").toObject();
    EXPECT_EQ(setting.value("key").toString(), "form");
    EXPECT_EQ(QJsonDocument::fromJson(setting.value("value").toString().toUtf8()).array(),
              (QJsonArray{QJsonObject{{"key", 251}, {"parent_key", "joints"}}}));
    ASSERT_TRUE(session->until("Database.getInvisibleToggles().length === 1"));
    session->home();

    // The listing form no longer offers it.
    ASSERT_TRUE(open());
    ASSERT_TRUE(press("toggle_trade_1"));
    ASSERT_TRUE(press("toggle_property_50"));
    EXPECT_TRUE(inEditor("toggle_joints_250"));
    EXPECT_EQ(editor->findChild<QQuickItem *>("toggle_joints_251"), nullptr);
    session->eval("Database.saveFormSettings([])");
}

TEST_F(FileEditor, DesignSettingsAreSavedOnEveryChange)
{
    session->eval("Templates.initial('setting/applicationSettings/DesignSettings.qml')");
    ASSERT_TRUE(session->until("Stacks.last().objectName === 'designSettings' && !Stacks.stack.busy"));
    ASSERT_TRUE(session->click(session->find("schema_2")));
    ASSERT_TRUE(session->click(session->find("font_3")));
    const QJsonObject look = json("Settings.value('app_data', {}).file_template");
    EXPECT_EQ(look.value("schema_index").toInt(), 2);
    EXPECT_EQ(look.value("back_color").toString(), "#e8f5e9");
    EXPECT_EQ(look.value("font_title").toString(), "خیلی بزرگ");
    const bool door = session->eval("Settings.value('app_data', {}).door_enabled !== false").toBool();
    ASSERT_TRUE(session->click(session->find("door")));
    EXPECT_EQ(session->eval("Settings.value('app_data', {}).door_enabled").toBool(), !door);

    // The cards of a list take that look, in the grid and in rows.
    QQuickItem *list = session->openFileList("{'mode': 'tab'}");
    ASSERT_TRUE(list);
    for (int pass = 0; pass < 2; ++pass) {
        QQuickItem *card = session->findTop("fileCard");
        ASSERT_TRUE(card);
        EXPECT_EQ(card->property("color").value<QColor>().name(), "#e8f5e9");
        EXPECT_EQ(card->property("radius").toInt(), look.value("corner_radius").toInt());
        const QFont code = session->findTop("fileCode")->property("font").value<QFont>();
        EXPECT_EQ(code.pointSize(), look.value("font_value_size").toInt());
        EXPECT_GE(card->height() + 8, card->childrenRect().height()) << "the card holds its lines";
        ASSERT_TRUE(session->click(list->findChild<QQuickItem *>("gridButton")));
        session->settle();
    }
}

} // namespace
