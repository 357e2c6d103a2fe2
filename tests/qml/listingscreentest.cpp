// The listing screens end to end: the real window, Sockets over TLS to the fixture agency server,
// a store of a few hundred downloaded files. Each change must reach the server first and reach
// the store only from the reply.
#include "screenbounds.h"
#include "screensession.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>
#include <QQuickWindow>
#include <QQmlProperty>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

class Listings : public ScreenSuite
{
protected:
    static ScreenSession *const &s;

    // Opens the file list through the page container and waits for its first page.
    QQuickItem *openList(const QString &options, int atLeast = 1) { return s->openFileList(options, atLeast); }

    // The list on top.
    QQuickItem *current() const { return s->findTop(QStringLiteral("fileList")); }

    static QVariant call(QQuickItem *item, const char *method, const QVariant &a = {}, const QVariant &b = {})
    {
        QVariant ret;
        if (!b.isNull())
            QMetaObject::invokeMethod(item, method, Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, a), Q_ARG(QVariant, b));
        else if (!a.isNull())
            QMetaObject::invokeMethod(item, method, Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, a));
        else
            QMetaObject::invokeMethod(item, method, Q_RETURN_ARG(QVariant, ret));
        return ret;
    }

    static QJsonObject row(QQuickItem *list, int i)
    {
        return QJsonObject::fromVariantMap(call(list, "rowAt", i).toMap());
    }

    static QJsonObject stored(const QString &id)
    {
        return QJsonObject::fromVariantMap(s->eval("Database.getFile('" + id + "')").toMap());
    }

    // The menu entry of row i, confirmed.
    static void menu(QQuickItem *list, int i, const QString &title, bool confirm = true)
    {
        ASSERT_TRUE(s->chooseInRow(list, i, title, confirm)) << title.toStdString();
    }

    static QString scrollToEnd(QQuickItem *list)
    {
        QQuickItem *view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
        QMetaObject::invokeMethod(view, "positionViewAtEnd");
        return {};
    }

    static QString boardJs(int localId) { return QStringLiteral("Database.getTavorlin('', %1)").arg(localId); }

    // The n-th board (from 0) holding at least `least` live files, so each test works on its own.
    static int board(int n, int least)
    {
        for (int id = 1; id <= 400; ++id) {
            const QString b = boardJs(id);
            if (s->eval(b + ".error !== undefined").toBool())
                break;
            const int count =
                s->eval("Database.getFilesCount(" + b + ".trade_type, " + b + ".property_type, " + b + ".filter, false)").toInt();
            if (count >= least && n-- == 0)
                return id;
        }
        ADD_FAILURE() << "no board with " << least << " files";
        return 1;
    }
};

ScreenSession *const &Listings::s = Listings::session;

TEST_F(Listings, PagesByScrollingEachPageOnce)
{
    QQuickItem *list = openList("{'mode': 'tab', 'title': 'همه'}", 50);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->property("count").toInt(), 50);
    scrollToEnd(list);
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == 100 && !list->property("loading").toBool(); }));

    // Scrolling on while a page loads asks for no page twice: every row is there once.
    for (int k = 0; k < 40; ++k) {
        scrollToEnd(list);
        s->wait(15);
    }
    ASSERT_TRUE(s->waitUntil([&] {
        s->wait(50);
        scrollToEnd(list);
        return !list->property("options").toMap().value("load_more").toBool();
    }, 20000));
    const int count = list->property("count").toInt();
    const int live = s->eval("Database.getFilesCount(-1, -1, [], false)").toInt();
    EXPECT_EQ(count, live);
    QSet<QString> ids;
    for (int i = 0; i < count; ++i)
        ids.insert(row(list, i).value("_id").toString());
    EXPECT_EQ(ids.size(), count);
}

TEST_F(Listings, PinRecycleRestoreAndFailedReplies)
{
    QQuickItem *list = openList("{'filterModel': " + boardJs(board(0, 2)) + "}");
    ASSERT_TRUE(list);
    const int before = list->property("count").toInt();
    QJsonObject f = row(list, 0);
    const QString id = f.value("_id").toString();
    const bool pinned = f.value("status").toObject().value("pin").toBool();

    // A reply that is not ok changes neither the store nor the row.
    s->fail("property_action", "notok");
    std::size_t m = s->mark();
    const std::size_t replied = s->replyMark();
    menu(list, 0, QStringLiteral("سنجاق"));
    ASSERT_FALSE(s->waitRequest("property_action", m).isEmpty());
    ASSERT_TRUE(s->waitReply("property_action_result", replied));
    EXPECT_EQ(stored(id).value("status").toObject().value("pin").toBool(), pinned);
    EXPECT_EQ(row(list, 0).value("status").toObject().value("pin").toBool(), pinned);

    m = s->mark();
    menu(list, 0, QStringLiteral("سنجاق"));
    QJsonObject sent = s->waitRequest("property_action", m).value("content").toObject();
    EXPECT_EQ(sent.value("key").toString(), "status.pin");
    EXPECT_EQ(sent.value("action").toArray().at(0).toObject().value("value").toBool(), !pinned);
    ASSERT_TRUE(s->waitUntil([&] { return row(list, 0).value("status").toObject().value("pin").toBool() == !pinned; }));
    EXPECT_EQ(stored(id).value("status").toObject().value("pin").toBool(), !pinned);

    // To the recycle bin: the board list drops the row, the header counts it.
    m = s->mark();
    menu(list, 0, QStringLiteral("حذف"));
    sent = s->waitRequest("property_action", m).value("content").toObject();
    EXPECT_EQ(sent.value("key").toString(), "status.delete");
    const QString log = sent.value("action").toArray().at(0).toObject().value("log").toString();
    EXPECT_TRUE(log.contains("به سطل آشغال منتقل")) << log.toStdString();
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before - 1; }));
    EXPECT_TRUE(stored(id).value("status").toObject().value("delete").toBool());
    EXPECT_EQ(list->property("recycleCount").toInt(), 1);
    s->home();

    // Restoring in a tab list keeps the row and clears its mark.
    list = openList("{'mode': 'tab', 'filters': [{'key': 'status.delete', 'value': {'value_1': 'true', 'value_2': ''}}], "
                    "'view': 'recycle'}");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->property("count").toInt(), 1);
    m = s->mark();
    menu(list, 0, QStringLiteral("بازیابی فایل"));
    sent = s->waitRequest("property_action", m).value("content").toObject();
    EXPECT_FALSE(sent.value("action").toArray().at(0).toObject().value("value").toBool());
    ASSERT_TRUE(s->waitUntil([&] { return !row(list, 0).value("status").toObject().value("delete").toBool(); }));
    EXPECT_EQ(list->property("count").toInt(), 1);
    EXPECT_FALSE(stored(id).value("status").toObject().value("delete").toBool());
}

// Back from the bin, a file restored there is on its board again and the bin counts it no more;
// a file in the bin shows the bin's menu in any list.
TEST_F(Listings, RestoredFileIsBackOnItsBoardAndBinnedRowsOfferRestore)
{
    QQuickItem *list = openList("{'filterModel': " + boardJs(board(4, 2)) + "}", 2);
    ASSERT_TRUE(list);
    const int before = list->property("count").toInt();
    const QJsonObject file = row(list, 0);
    const QString id = file.value("_id").toString();
    menu(list, 0, QStringLiteral("حذف"));
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before - 1; }));
    QQuickItem *bin = list->findChild<QQuickItem *>(QStringLiteral("recycleButton"));
    EXPECT_EQ(bin->property("text").toString(), QStringLiteral("سطل آشغال (1)"));

    ASSERT_TRUE(s->click(bin));
    QQuickItem *recycle = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { return (recycle = current()) != list && recycle && recycle->property("count").toInt() == 1; }));
    s->settle();
    menu(recycle, 0, QStringLiteral("بازیابی فایل"));
    ASSERT_TRUE(s->waitUntil([&] { return recycle->property("count").toInt() == 0; }));
    ASSERT_TRUE(s->click(recycle->findChild<QQuickItem *>(QStringLiteral("backButton"))));
    ASSERT_TRUE(s->waitUntil([&] { return current() == list && list->property("count").toInt() == before; }))
        << "the restored file is listed again";
    EXPECT_EQ(bin->property("text").toString(), QStringLiteral("سطل آشغال (0)"));
    ASSERT_EQ(call(list, "indexOf", id).toInt(), 0);

    // Binned again, it offers restoring in its customer's tab list.
    menu(list, 0, QStringLiteral("حذف"));
    ASSERT_TRUE(s->waitUntil([&] { return stored(id).value("status").toObject().value("delete").toBool(); }));
    s->home();
    list = openList("{'mode': 'tab', 'ignoreDelete': true, 'filters': [{'key': 'customer_ref', 'value': {'value_1': '"
                    + file.value("customer_ref").toString() + "', 'value_2': ''}}]}");
    ASSERT_TRUE(list);
    const int at = call(list, "indexOf", id).toInt();
    ASSERT_GE(at, 0);
    menu(list, at, QStringLiteral("بازیابی فایل"));
    ASSERT_TRUE(s->waitUntil([&] { return !stored(id).value("status").toObject().value("delete").toBool(); }));
    EXPECT_FALSE(row(list, at).value("status").toObject().value("delete").toBool());
}

// What is done on a page over the list (a copy from the detail, the bin emptied in its own view)
// shows on the list when the user comes back to it.
TEST_F(Listings, ACopyFromTheDetailAndAnEmptiedBinShowOnTheListBelow)
{
    QQuickItem *list = openList("{'filterModel': " + boardJs(board(6, 3)) + "}", 3);
    ASSERT_TRUE(list);
    const int before = list->property("count").toInt();
    call(list, "openFile", 0);
    QQuickItem *detail = nullptr;
    ASSERT_TRUE(s->waitUntil([&] {
        detail = s->findTop(QStringLiteral("fileDetail"));
        return detail && detail->findChild<QQuickItem *>(QStringLiteral("detailMenuButton"))->isVisible();
    }));
    s->settle();
    // The share text as it is shared goes to the clipboard.
    ASSERT_TRUE(s->click(detail->findChild<QQuickItem *>(QStringLiteral("detailCopyText"))));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              s->eval("Consts.get_share_text(Database.getFile('" + detail->property("file").toMap().value("_id").toString() + "'))").toString());
    EXPECT_TRUE(s->waitUntil([&] { return s->findText(QStringLiteral("متن فایل کپی شد")) != nullptr; }));
    std::size_t m = s->mark();
    ASSERT_TRUE(s->click(detail->findChild<QQuickItem *>(QStringLiteral("detailMenuButton"))));
    ASSERT_TRUE(s->waitUntil([&] { return s->findText(QStringLiteral("کپی")) != nullptr; }));
    // Sending is offered; selecting several belongs to a list.
    EXPECT_TRUE(s->findText(QStringLiteral("ارسال فایل")) && !s->findText(QStringLiteral("انتخاب")));
    ASSERT_TRUE(s->clickText(QStringLiteral("کپی")) && s->confirm());
    ASSERT_FALSE(s->waitRequest("property_copy", m).isEmpty());
    s->wait(300);
    ASSERT_TRUE(s->click(detail->findChild<QQuickItem *>(QStringLiteral("detailBack"))));
    EXPECT_TRUE(s->waitUntil([&] { return current() == list && list->property("count").toInt() == before + 1; }))
        << "the copy is listed: " << list->property("count").toInt();

    menu(list, 0, QStringLiteral("حذف"));
    QQuickItem *bin = list->findChild<QQuickItem *>(QStringLiteral("recycleButton"));
    ASSERT_TRUE(s->waitUntil([&] { return bin->property("text").toString() != QStringLiteral("سطل آشغال (0)"); }));
    ASSERT_TRUE(s->click(bin));
    QQuickItem *recycle = nullptr;
    ASSERT_TRUE(s->waitUntil([&] {
        recycle = current();
        return recycle && recycle != list && recycle->property("count").toInt() > 0 && !recycle->property("loading").toBool();
    }));
    s->settle();
    menu(recycle, 0, QStringLiteral("خالی کردن سطل آشغال"));
    ASSERT_TRUE(s->waitUntil([&] { return recycle->property("count").toInt() == 0; }));
    ASSERT_TRUE(s->click(recycle->findChild<QQuickItem *>(QStringLiteral("backButton"))));
    ASSERT_TRUE(s->waitUntil([&] { return current() == list; }));
    EXPECT_TRUE(s->waitUntil([&] { return bin->property("text").toString() == QStringLiteral("سطل آشغال (0)"); }))
        << bin->property("text").toString().toStdString();
}

TEST_F(Listings, ArchiveWithPickedDateOnEverySelectedFile)
{
    QQuickItem *list = openList("{'filterModel': " + boardJs(board(1, 6)) + "}", 6);
    ASSERT_TRUE(list);
    const int before = list->property("count").toInt();
    const qlonglong picked = s->eval("new Date(Dates.jalali_to_timestamp(1402, 1, 15)).setHours(0, 0, 0, 0)").toLongLong();

    auto pickDate = [&] {
        s->wait(200);
        QQuickItem *year = s->find("archiveYear");
        ASSERT_TRUE(year);
        year->setProperty("value", 1402);
        s->find("archiveMonth")->setProperty("value", 1);
        s->find("archiveDay")->setProperty("value", 15);
        ASSERT_TRUE(s->clickText(QStringLiteral("تایید")));
    };

    const QString one = row(list, 0).value("_id").toString();
    const int trade = row(list, 0).value("trade_ref").toInt();
    std::size_t m = s->mark();
    menu(list, 0, QStringLiteral("بایگانی"));
    pickDate();
    QJsonObject sent = s->waitRequest("property_action", m).value("content").toObject();
    EXPECT_EQ(sent.value("key").toString(), "trade_ref");
    QJsonObject entry = sent.value("action").toArray().at(0).toObject();
    EXPECT_EQ(entry.value("value").toInt(), trade + 8);
    EXPECT_EQ(qlonglong(entry.value("date").toDouble()), picked);
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before - 1; }));
    EXPECT_EQ(stored(one).value("trade_ref").toInt(), trade + 8);
    EXPECT_EQ(qlonglong(stored(one).value("dates").toObject().value("register").toDouble()), picked);

    // Three files picked at once: one request, the day on every entry.
    menu(list, 0, QStringLiteral("انتخاب"), false);
    QStringList ids;
    for (int i = 0; i < 3; ++i) {
        call(list, "openFile", i);
        ids << row(list, i).value("_id").toString();
    }
    m = s->mark();
    QQuickItem *bar = s->find("selectionBar");
    ASSERT_TRUE(bar && bar->isVisible());
    ASSERT_TRUE(s->clickText(QStringLiteral("بایگانی")) && s->confirm());
    pickDate();
    sent = s->waitRequest("property_action", m).value("content").toObject();
    const QJsonArray entries = sent.value("action").toArray();
    ASSERT_EQ(entries.size(), 3);
    for (const QJsonValue &e : entries)
        EXPECT_EQ(qlonglong(e.toObject().value("date").toDouble()), picked);
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before - 4; }));
    for (const QString &id : ids)
        EXPECT_EQ(qlonglong(stored(id).value("dates").toObject().value("register").toDouble()), picked) << id.toStdString();
    EXPECT_EQ(s->requests("property_action", m).size(), 1u);
}

TEST_F(Listings, DeleteForeverEmptyBinAndCopy)
{
    const int five = board(2, 4);
    QQuickItem *list = openList("{'filterModel': " + boardJs(five) + "}", 3);
    ASSERT_TRUE(list);
    const QString a = row(list, 0).value("_id").toString();
    const QString b = row(list, 1).value("_id").toString();
    for (int k = 0; k < 2; ++k) {
        std::size_t m = s->mark();
        menu(list, 0, QStringLiteral("حذف"));
        ASSERT_FALSE(s->waitRequest("property_action", m).isEmpty());
        ASSERT_TRUE(s->waitUntil([&] { return stored(k ? b : a).value("status").toObject().value("delete").toBool(); }));
    }
    s->home();

    list = openList("{'filterModel': " + boardJs(five) + ", 'view': 'recycle'}", 2);
    ASSERT_TRUE(list);
    std::size_t m = s->mark();
    menu(list, 0, QStringLiteral("حذف برای همیشه"));
    const QString gone = QJsonDocument(s->waitRequest("property_action", m).value("content").toObject())
                             .object().value("action").toArray().at(0).toObject().value("file_id").toString();
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == 1; }));
    EXPECT_TRUE(stored(gone).contains("error"));

    // Emptying the bin waits for the server: an unanswered request leaves the store alone.
    const QString left = row(list, 0).value("_id").toString();
    s->fail("property_clean", "silent");
    m = s->mark();
    menu(list, 0, QStringLiteral("خالی کردن سطل آشغال"));
    const QJsonObject clean = s->waitRequest("property_clean", m).value("content").toObject();
    EXPECT_EQ(clean.value("filter").toArray().last().toObject().value("key").toString(), "status.delete");
    s->wait(500);
    EXPECT_FALSE(stored(left).contains("error"));
    m = s->mark();
    menu(list, 0, QStringLiteral("خالی کردن سطل آشغال"));
    ASSERT_FALSE(s->waitRequest("property_clean", m).isEmpty());
    ASSERT_TRUE(s->waitUntil([&] { return stored(left).contains("error"); }));
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == 0 && !list->property("loading").toBool(); }));
    s->home();

    // A copy is stored from the reply and shows in the list.
    list = openList("{'filterModel': " + boardJs(five) + "}");
    ASSERT_TRUE(list);
    const int before = list->property("count").toInt();
    m = s->mark();
    menu(list, 0, QStringLiteral("کپی"));
    const QJsonObject copy = s->waitRequest("property_copy", m);
    EXPECT_EQ(copy.value("payload").toObject().value("file_id").toString(),
              copy.value("content").toObject().value("file_id").toString());
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before + 1; }));

    // Sent to the agents ticked, after the question; the answer, ok or not, is shown.
    for (const auto &[tick, fail, shown] : {std::tuple{"selectAll", "", "فایل با موفقیت ارسال شد"}, {"access_1", "notok", "خطای آزمایشی سرور"}}) {
        if (*fail)
            s->fail("property_send", fail);
        m = s->mark();
        menu(list, 0, QStringLiteral("ارسال فایل"), false);
        ASSERT_TRUE(s->waitUntil([&] { return s->findTop(tick); }) && s->click(s->findTop(tick)) && s->click(s->findTop("accessSubmit")));
        EXPECT_TRUE(s->requests("property_send", m).empty() && s->confirm());
        const QJsonObject sent = s->waitRequest("property_send", m).value("content").toObject();
        EXPECT_EQ(QJsonArray({sent.value("file_id"), sent.value("property_id")}),
                  QJsonArray({row(list, 0).value("_id"), row(list, 0).value("property_ref")}));
        EXPECT_EQ(sent.value("agents").toArray().size(), *fail ? 1 : s->list("initial_agent").size());
        EXPECT_TRUE(s->waitUntil([&] { return s->findText(QString::fromUtf8(shown)); })) << shown;
    }
}

TEST_F(Listings, MatchTagsAndSortPersists)
{
    // A sale with a buyer at its price: the same tag twice clears it.
    const QString sale = s->eval("Database.getFileByCode(1)._id").toString();
    QJsonObject buyer0 = s->list("initial_property").at(0).toObject();
    buyer0["_id"] = "buyer-1";
    buyer0["trade_ref"] = 5;
    buyer0["code"] = QJsonObject{{"auto", 777001}, {"manual", ""}};
    s->push("property_notify", "edit", QJsonObject{{"file", buyer0}});
    ASSERT_TRUE(s->waitUntil([&] { return !stored("buyer-1").contains("error"); }));
    s->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'match', 'options': {'file': Database.getFile('"
            + sale + "')}})");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { list = current(); return list && list->property("count").toInt() > 0; }));
    const QString buyer = row(list, 0).value("_id").toString();
    std::size_t m = s->mark();
    menu(list, 0, QStringLiteral("علامت گذاری 1"), false);
    QJsonObject tag = s->waitRequest("property_tag", m).value("content").toObject();
    EXPECT_EQ(tag.value("status").toInt(), 0);
    EXPECT_EQ(tag.value("file_id").toString(), sale);
    EXPECT_EQ(tag.value("tag_for").toString(), buyer);
    ASSERT_TRUE(s->waitUntil([&] { return row(list, 0).value("tag_status").toInt() == 0; }));
    // Its mark stands inside the card, beside a long trade and property.
    QQuickItem *mark = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { return (mark = s->findTop("tagMark")) != nullptr; }) && s->drawn());
    EXPECT_TRUE(sceneRect(mark->parentItem()->parentItem()->parentItem()).contains(drawnRect(mark)));
    m = s->mark();
    menu(list, 0, QStringLiteral("علامت گذاری 1"), false);
    tag = s->waitRequest("property_tag", m).value("content").toObject();
    EXPECT_EQ(tag.value("status").toInt(), -1);
    ASSERT_TRUE(s->waitUntil([&] { return row(list, 0).value("tag_status").toInt() == -1; }));
    s->home();

    // The sort dialog reorders by code, ascending, and the board keeps the choice.
    const int two = board(3, 3);
    list = openList("{'filterModel': " + boardJs(two) + "}", 2);
    ASSERT_TRUE(list);
    ASSERT_TRUE(s->click(list->findChild<QQuickItem *>(QStringLiteral("sortButton"))));
    s->wait(200);
    ASSERT_TRUE(s->clickText(QStringLiteral("کد فایل")));
    ASSERT_TRUE(s->clickText(QStringLiteral("صعودی")));
    ASSERT_TRUE(s->clickText(QStringLiteral("تایید")));
    ASSERT_TRUE(s->waitUntil([&] {
        return list->property("count").toInt() > 1 && !list->property("loading").toBool()
            && row(list, 0).value("code").toObject().value("auto").toInt()
                   < row(list, 1).value("code").toObject().value("auto").toInt();
    }));
    EXPECT_EQ(s->eval(boardJs(two) + ".order_field").toString(), "auto_code");
    EXPECT_EQ(s->eval(boardJs(two) + ".order_type").toString(), "asc");
}

TEST_F(Listings, PushedNoticeShowsAndDetailMarksSeen)
{
    QQuickItem *list = openList("{'mode': 'tab', 'title': 'همه'}", 50);
    ASSERT_TRUE(list);
    QJsonObject file = s->list("initial_property").at(7).toObject();
    file["_id"] = "pushed-1";
    file["code"] = QJsonObject{{"auto", 777777}, {"manual", ""}};
    file["dates"] = QJsonObject{{"register", 4102444800000.0}, {"create", 4102444800000.0}};
    s->push("property_notify", "create", QJsonObject{{"file", file}, {"register_id", "someone"}});
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() > 0 && row(list, 0).value("_id") == "pushed-1"; }));
    EXPECT_FALSE(row(list, 0).value("seen").toBool());

    // The detail tells the server; the store marks it seen from the reply.
    std::size_t m = s->mark();
    call(list, "openFile", 0);
    const QJsonObject seen = s->waitRequest("property_seen", m).value("content").toObject();
    EXPECT_EQ(seen.value("code").toArray().at(0).toInt(), 777777);
    ASSERT_TRUE(s->waitUntil([&] { return stored("pushed-1").value("seen").toBool(); }));
}

} // namespace

namespace {

// A geocoding service on 127.0.0.1 answering every request with the status and body it is given.
class Geocoder
{
public:
    Geocoder()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                buffer += socket->readAll();
                if (!buffer.contains("\r\n\r\n"))
                    return;
                requests << QString::fromUtf8(buffer);
                buffer.clear();
                const QByteArray body = answer.toUtf8();
                socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found")
                              + "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
                              + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    QString host() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }

    QTcpServer server;
    QByteArray buffer;
    QStringList requests;
    int status = 200;
    QString answer;
};

} // namespace

// The detail lists the features chosen on the form, card by card, and the hashtags.
TEST_F(Listings, DetailShowsFeaturesAndHashtags)
{
    const QString tag = s->list("initial_hashtag").at(2).toObject().value("_id").toString();
    s->eval("Database.saveFiles([{'_id': 'features-1', 'user_ref': Account.userId(), 'trade_ref': 1, 'type': 50, "
            "'code': {'auto': 870001}, 'joints': [250, 251], 'hashtag': ['" + tag + "']}])");
    const QString first = s->eval("Database.getFieldByKeys('250', 'joints', true).title").toString();
    const QString second = s->eval("Database.getFieldByKeys('251', 'joints', true).title").toString();
    ASSERT_FALSE(first.isEmpty());
    s->eval("Templates.initial('files/FileDetail.qml', {'fileId': 'features-1'})");
    ASSERT_TRUE(s->until("Stacks.last().objectName === 'fileDetail' && Stacks.last().file !== null"));
    s->settle();
    const QString facts = s->eval("JSON.stringify(Stacks.last().facts())").toString();
    EXPECT_TRUE(facts.contains(first) && facts.contains(second)) << facts.toStdString();
    const QString tags = "#" + s->list("initial_hashtag").at(2).toObject().value("title").toString();
    EXPECT_NE(s->findText(tags), nullptr) << tags.toStdString();
    EXPECT_NE(s->findText(QStringLiteral("برچسب ها")), nullptr);
}

TEST_F(Listings, PlaceSearchTitlesAndNoResult)
{
    Geocoder geo;
    s->eval("Settings.app_data.map_plugin = 'itemsoverlay'; Settings.app_data.geocode_host = '" + geo.host() + "'");
    s->eval("Templates.initial('map/GoogleMap.qml')");
    ASSERT_TRUE(s->until("Stacks.last().map !== null"));
    s->wait(300);
    geo.answer = QStringLiteral(R"([{"lat": "35.75", "lon": "51.41", "address": {"district": "منطقه ۳", "suburb": "ونک", "road": "ملاصدرا"}},
                                   {"lat": "35.70", "lon": "51.30", "address": {"district": "منطقه ۹", "hamlet": "<b>ده</b>"}}])");
    ASSERT_TRUE(s->typeInto(s->find("placeSearch"), QStringLiteral("ونک")));
    ASSERT_TRUE(s->clickText(QStringLiteral("جستجو")));
    ASSERT_TRUE(s->waitUntil([&] { return s->findText(QStringLiteral("ونک - ملاصدرا")) != nullptr; }));
    EXPECT_TRUE(s->findText(QStringLiteral("منطقه ۹ - <b>ده</b>")));
    ASSERT_EQ(geo.requests.size(), 1);
    EXPECT_TRUE(geo.requests[0].startsWith(
        "GET /search.php?format=json&accept-language=fa&addressdetails=1&limit=5&q=%D9%88%D9%86%DA%A9 "))
        << geo.requests[0].toStdString();
    EXPECT_TRUE(geo.requests[0].contains("Content-Type: application/x-www-form-urlencoded"));
    ASSERT_TRUE(s->clickText(QStringLiteral("ونک - ملاصدرا")));
    EXPECT_NEAR(s->eval("Stacks.last().map.center.latitude").toDouble(), 35.75, 1e-6);
    EXPECT_NEAR(s->eval("Stacks.last().map.center.longitude").toDouble(), 51.41, 1e-6);

    // A missing page and an empty answer both say there is no result; no address asks nothing.
    for (int status : {404, 200}) {
        geo.status = status;
        geo.answer = status == 404 ? "not here" : "[]";
        ASSERT_TRUE(s->clickText(QStringLiteral("جستجو")));
        ASSERT_TRUE(s->until("Stacks.last().message === 'نتیجه ای یافت نشد'")) << status;
        s->eval("Stacks.last().message = ''");
    }
    s->home();
    s->eval("Settings.app_data.geocode_host = ''");
    s->eval("Templates.initial('map/GoogleMap.qml')");
    ASSERT_TRUE(s->until("Stacks.last().map !== null"));
    const int asked = geo.requests.size();
    s->eval("Stacks.last().searchPlace('ونک')");
    EXPECT_EQ(s->eval("Stacks.last().message").toString(), QStringLiteral("نتیجه ای یافت نشد"));
    s->wait(200);
    EXPECT_EQ(geo.requests.size(), asked);
}

TEST_F(Listings, MapShowsTheRegionsOffersAndColleagueAdsAreStored)
{
    s->eval("Settings.app_data.map_plugin = 'itemsoverlay'");
    s->eval("Templates.initial('files/map/UMap.qml')");
    ASSERT_TRUE(s->until("Stacks.last().markers.length > 0"));
    auto check = [&](const QVariantMap &box) {
        const QVariantList markers = s->eval("Stacks.last().markers").toList();
        int wrong = 0;
        for (const QVariant &v : markers) {
            const QVariantMap f = v.toMap();
            const int trade = f.value("trade_ref").toInt();
            const QVariantMap at = f.value("map").toMap();
            wrong += trade < 1 || trade > 4 || at.value("lat").toDouble() < box.value("south").toDouble()
                     || at.value("lat").toDouble() > box.value("north").toDouble()
                     || at.value("lng").toDouble() < box.value("west").toDouble()
                     || at.value("lng").toDouble() > box.value("east").toDouble();
        }
        EXPECT_EQ(wrong, 0);
        return markers.size();
    };
    EXPECT_GT(check(s->eval("Stacks.last().mapView.visibleBox()").toMap()), 0);

    // "More" doubles the distance around the centre each time and searches that box.
    s->eval("Stacks.last().mapView.more()");
    const double once = s->eval("Stacks.last().mapView.distance").toDouble();
    s->eval("Stacks.last().mapView.more()");
    EXPECT_DOUBLE_EQ(s->eval("Stacks.last().mapView.distance").toDouble(), 2 * once);
    ASSERT_TRUE(s->until("!Stacks.last().loading"));
    const QVariantMap box = s->eval("(function (v) { var c = v.map.center; var d = v.distance; return {"
                                    "south: c.latitude - d / 6371009 * 180 / Math.PI, north: c.latitude + d / 6371009 * 180 / Math.PI,"
                                    "west: -180, east: 180} })(Stacks.last().mapView)").toMap();
    check(box);

    // A click on a marker opens that file in full: the map is centred on one and clicked there.
    s->eval("(function (v) { var geo = Qt.createQmlObject('import QtPositioning 5.15; import QtQml 2.15; QtObject { "
            "function at(a, b) { return QtPositioning.coordinate(a, b) } }', v); var f = v.markers[v.markers.length - 1];"
            "v.map.center = geo.at(f.map.lat, f.map.lng) })(Stacks.last().mapView)");
    ASSERT_TRUE(s->until("!Stacks.last().loading && Stacks.last().markers.length > 0"));
    s->wait(500);
    const QVariantMap hit =
        s->eval("(function (v) { var f = v.markerAt(v.width / 2, v.height / 2); return f ? {id: f._id, trade: f.trade_ref, "
                "lat: f.map.lat} : {} })(Stacks.last().mapView)").toMap();
    ASSERT_FALSE(hit.isEmpty());
    ASSERT_TRUE(s->click(s->find("markerOverlay")));
    ASSERT_TRUE(s->until("Stacks.last().objectName === 'fileDetail' && Stacks.last().file !== null"));
    const QVariantMap shown = s->eval("Stacks.last().file").toMap();
    EXPECT_EQ(shown.value("_id"), hit.value("id"));
    EXPECT_EQ(shown.value("trade_ref").toInt(), hit.value("trade").toInt());
    EXPECT_DOUBLE_EQ(shown.value("map").toMap().value("lat").toDouble(), hit.value("lat").toDouble());
    s->home();

    // Another agency's ads: asked with "seen" on the first page, stored, then read back.
    std::size_t m = s->mark();
    s->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'fileList', 'options': {'mode': 'colleague', "
            "'colleague': {'_id': 'agency-2', 'name': 'همکار'}}})");
    const QJsonObject asked = s->waitRequest("property_colleague", m).value("content").toObject();
    EXPECT_TRUE(asked.value("seen").toBool());
    EXPECT_EQ(asked.value("colleague_id").toString(), "agency-2");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { list = current(); return list && list->property("count").toInt() > 0; }));
    const QJsonObject first = row(list, 0);
    EXPECT_TRUE(first.value("status").toObject().value("ad_colleague").toBool());
    EXPECT_EQ(first.value("user_id").toString(), "agency-2");
}

TEST_F(Listings, BoardListRemembersItsScrollPosition)
{
    const int id = board(4, 8);
    // In rows, so a board's files are taller than the window.
    s->eval("Settings.app_data.file_list_show_type = {'grid': false, 'row': true}");
    QQuickItem *list = openList("{'filterModel': " + boardJs(id) + "}", 8);
    ASSERT_TRUE(list);
    QQuickItem *view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
    QMetaObject::invokeMethod(view, "positionViewAtEnd");
    ASSERT_TRUE(s->waitUntil([&] { return view->property("contentY").toDouble() > 0; }));
    s->wait(800);
    const double y = view->property("contentY").toDouble();
    s->home();
    s->wait(300);
    list = openList("{'filterModel': " + boardJs(id) + "}", 8);
    ASSERT_TRUE(list);
    view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
    ASSERT_TRUE(s->waitUntil([&] { return view->property("contentY").toDouble() > 0; }));
    EXPECT_NEAR(view->property("contentY").toDouble(), y, 1.0);

    // In a taller window the same files end sooner: the kept position stops at the end, by the cards.
    s->home();
    const QSize size = s->window()->size();
    s->window()->resize(size.width(), size.height() + 300);
    list = openList("{'filterModel': " + boardJs(id) + "}", 8);
    view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
    ASSERT_TRUE(s->waitUntil([&] { return list->property("restoreTo").toDouble() == 0; }));
    s->settle();
    const double end = std::max(0.0, view->property("contentHeight").toDouble() - view->height());
    EXPECT_NEAR(view->property("contentY").toDouble() - view->property("originY").toDouble(), std::min(y, end), 0.5);
    s->home();
    s->window()->resize(size);
}

// What the user holds outlives the list's reads in place: ticks and the scroll position after a copy
// and a notice (a ticked file that leaves the list leaves the selection); an action answered while a
// read is under way is not undone by the read's older rows.
TEST_F(Listings, TicksScrollAndActionsOutliveReadsInPlace)
{
    s->eval("Settings.app_data.file_list_show_type = {'grid': false, 'row': true}");
    QQuickItem *list = openList("{'filterModel': " + boardJs(board(7, 10)) + "}", 10);
    ASSERT_TRUE(list);
    QQuickItem *view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
    const auto ticked = [&] {
        QStringList ids;
        for (const QVariant &r : call(list, "selectedRows").toList())
            ids << r.toMap()["file"].toMap()["_id"].toString();
        return ids.join(' ').toStdString();
    };
    menu(list, 0, QStringLiteral("انتخاب"), false);
    QStringList ids;
    for (int i : {1, 3, 4})
        call(list, "openFile", i), ids << row(list, i).value("_id").toString();
    view->setProperty("contentY", view->property("originY").toDouble() + 200);
    const double y = view->property("contentY").toDouble();
    const int before = list->property("count").toInt();
    menu(list, 2, QStringLiteral("کپی"));
    ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before + 1 && !list->property("refreshing").toBool(); }));
    s->settle();
    EXPECT_NEAR(view->property("contentY").toDouble(), y, 0.5);
    EXPECT_EQ(ticked(), ids.join(' ').toStdString());
    s->push("property_notify", "action", QJsonObject{{"key", "status.delete"}, {"action", QJsonArray{QJsonObject{{"file_id", ids[1]}, {"value", true}}}}});
    ASSERT_TRUE(s->waitUntil([&] { return call(list, "indexOf", ids[1]).toInt() == -1; }));
    EXPECT_EQ(ticked(), (ids[0] + ' ' + ids[2]).toStdString());

    // The list's read under way is held, once it has its rows, until a pin is answered.
    QObject *hold = s->eval("Qt.createQmlObject('import QtQml 2.15; import \"reads.js\" as R; QtObject { property bool held: false;"
                            " property var release; function free() { release() } function take(o) { o.refresh();"
                            " var r = R.inFlight && R.inFlight.owner === o ? R.inFlight : R.queue.filter(function (q) { return q.owner === o })[0];"
                            " var done = r.done; r.done = function (rows) { held = true; release = function () { done(rows) } } } }',"
                            " window, 'qrc:/templates/files/list/Holder.qml')").value<QObject *>();
    const auto pinned = [&] { return row(list, 0).value("status").toObject().value("pin").toBool(); };
    const bool was = pinned();
    ASSERT_TRUE(hold && QMetaObject::invokeMethod(hold, "take", Q_ARG(QVariant, QVariant::fromValue<QObject *>(list))));
    ASSERT_TRUE(s->waitUntil([&] { return hold->property("held").toBool(); }));
    menu(list, 0, QStringLiteral("سنجاق"));
    ASSERT_TRUE(s->waitUntil([&] { return pinned() == !was; }));
    QMetaObject::invokeMethod(hold, "free");
    EXPECT_TRUE(s->waitUntil([&] { return !list->property("refreshing").toBool() && pinned() == !was; }));
}

TEST_F(Listings, SearchOpensItsResultsAsATab)
{
    s->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'search', 'options': {}})");
    QQuickItem *form = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { return (form = s->find("searchScreen")) != nullptr; }));
    form->setProperty("tradeType", 1);
    form->setProperty("propertyType", 50);
    call(form, "refreshForm");
    const QString filters = "[{'key': 'meter.area', 'value': {'value_1': '60', 'value_2': '120'}}]";
    QQmlProperty::write(form->findChild<QObject *>(QStringLiteral("formView")), "filterValues",
                        s->eval(filters));
    s->wait(200);
    ASSERT_TRUE(s->click(s->find("searchButton")));
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s->waitUntil([&] {
        list = current();
        return list && list->property("mode").toString() == "search" && !list->property("loading").toBool()
            && list->property("count").toInt() > 0;
    }));
    EXPECT_EQ(list->property("count").toInt(), s->eval("Database.getFilesCount(1, 50, " + filters + ", false)").toInt());
    EXPECT_EQ(list->property("title").toString(), QStringLiteral("نتایج جستجو"));
}

// The menu bar's due badge goes down with each file the due list hands on.
TEST_F(Listings, DueBadgeFollowsTheFilesHandledInTheDueList)
{
    s->eval("var now = Date.now(); Database.saveFiles([0, 1, 2].map(function (i) { return {'_id': 'due-' + i, "
            "'user_ref': Account.userId(), 'trade_ref': 10, 'type': 50, 'seen': true, 'code': {'auto': 880000 + i}, "
            "'dates': {'register': now - (350 + i) * 86400000}} }))");
    s->eval("Stacks.last().menu.refresh_badges()");
    const int due = s->eval("var w = Stacks.last().menu.dueWindow(); Database.getDueFilesCount(w.start, w.end)").toInt();
    ASSERT_GE(due, 3);
    ASSERT_TRUE(s->until("Stacks.last().menu.due === " + QString::number(due)));
    s->eval("Stacks.last().menu.activate('due')");
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { return (list = current()) && list->property("count").toInt() == due; }));
    s->settle();
    for (const QString &title : {QStringLiteral("حذف"), QStringLiteral("انتقال به Tavorlin اصلی")}) {
        const int before = list->property("count").toInt();
        menu(list, 0, title);
        ASSERT_TRUE(s->waitUntil([&] { return list->property("count").toInt() == before - 1; })) << title.toStdString();
    }
    s->home();
    EXPECT_EQ(s->eval("Stacks.last().menu.due").toInt(), due - 2);
}

// Whoever writes files, every view showing them follows: the shelf's tile under a board's list,
// the list under the detail and under its pinned and bin views, the bin's count, the due badge.
TEST_F(Listings, EveryViewFollowsWhoeverWroteTheFiles)
{
    s->eval("Database.saveTavorlins([{'_id': 'follow-b', 'user_ref': Account.userId(), 'trade_ref': 2, 'property_ref': 51, "
            "'color': 3}], -1); Database.saveShelf({'_id': 'follow-s', 'name': 'کمد', 'color': 1});"
            "Database.changeShelvesTavorlins('follow-s', ['follow-b'], [], -1)");
    const QString due = "Stacks.stack.get(0).menu.due", shelf = "Templates.initial('main/Tavorlins_List.qml', "
                                                                   "{'shelf': Database.getShelves('follow-s', -1)})";
    const int dueBefore = s->eval(due).toInt();
    s->eval(shelf);
    ASSERT_TRUE(s->until("Stacks.last().countsApplied > 0") && s->click(s->find("board_0")));
    const auto tile = [](const char *key) { return s->eval(QStringLiteral("Stacks.last().tiles[0].") + key).toInt(); };
    QQuickItem *list = nullptr;
    ASSERT_TRUE(s->waitUntil([&] { return (list = current()) && list->property("count").toInt() > 3; }));
    s->settle();
    QQuickItem *bin = list->findChild<QQuickItem *>(QStringLiteral("recycleButton"));
    // In the pinned or bin view of the list: what it shows after the step, then back.
    const auto inView = [&](const char *button, const QString &title) {
        QQuickItem *v = nullptr;
        ASSERT_TRUE(s->click(list->findChild<QQuickItem *>(button)));
        ASSERT_TRUE(s->waitUntil([&] { return (v = current()) != list && v && v->property("count").toInt() > 0; }));
        s->settle();
        const int n = v->property("count").toInt();
        menu(v, 0, title);
        EXPECT_TRUE(s->waitUntil([&] { return v->property("count").toInt() == n - 1; })) << "the row left its view";
        ASSERT_TRUE(s->click(v->findChild<QQuickItem *>(QStringLiteral("backButton"))));
        ASSERT_TRUE(s->waitUntil([&] { return current() == list; }));
    };
    QJsonObject pushed{{"_id", "follow-f"}, {"user_ref", "m1"}, {"trade_ref", 2}, {"type", 51},
                       {"code", QJsonObject{{"auto", 990777}}}, {"dates", QJsonObject{{"create", 4102444800000.0}}}};
    QString archived;
    const QVariantMap day = s->eval("Dates.timestamp_to_jalali(Date.now() - 365 * 86400000)").toMap();
    const struct
    {
        const char *writer;
        std::function<void()> write;
        int count, badge;
    } writers[] = {
        {"a notice", [&] { s->push("property_notify", "create", QJsonObject{{"file", pushed}, {"register_id", "other"}}); }, 1, 1},
        {"seen mark", [&] {
            int at = -1;
            ASSERT_TRUE(s->waitUntil([&] { return (at = call(list, "indexOf", "follow-f").toInt()) >= 0; }));
            ASSERT_FALSE(row(list, at).value("seen").toBool());
            call(list, "openFile", at);
            ASSERT_TRUE(s->until("Database.getFile('follow-f').seen === true") && s->clickText(QStringLiteral("بازگشت")));
            EXPECT_TRUE(s->waitUntil([&] { return current() == list && row(list, at).value("seen").toBool(); }));
        }, 0, -1},
        {"a notice under the detail", [&] {
            call(list, "openFile", 0);
            ASSERT_TRUE(s->waitUntil([&] { return s->findTop("fileDetail") != nullptr; }));
            s->settle();
            ASSERT_TRUE(s->waitUntil([&] { return !list->property("refreshing").toBool(); }));
            QSignalSpy reads(qvariant_cast<QObject *>(s->eval("Database")), SIGNAL(fileListReady(QJsonArray)));
            pushed["_id"] = "follow-g";
            s->push("property_notify", "create", QJsonObject{{"file", pushed}, {"register_id", "other"}});
            ASSERT_TRUE(s->until("Database.getFile('follow-g')._id === 'follow-g' && !Notification.working"));
            s->wait(300);
            EXPECT_EQ(reads.count(), 0) << "a covered list reads on its return only";
            ASSERT_TRUE(s->clickText(QStringLiteral("بازگشت")));
            EXPECT_TRUE(s->waitUntil([&] { return current() == list && call(list, "indexOf", "follow-g").toInt() >= 0; }));
        }, 1, 1},
        {"hashtags chosen in the open detail", [&] {
            call(list, "openFile", 0);
            QQuickItem *detail = nullptr;
            ASSERT_TRUE(s->waitUntil([&] { return (detail = s->findTop("fileDetail")) && detail->property("file").toMap().size(); }));
            const QVariantList facts = call(detail, "facts").toList();
            ASSERT_TRUE(s->click(detail->findChild<QQuickItem *>("detailMenuButton")) && s->clickText(QStringLiteral("برچسب")));
            ASSERT_TRUE(s->waitUntil([&] { return s->find("hashtag_0"); }) && s->click(s->find("hashtag_0")) && s->click(s->find("hashtagsConfirm")));
            EXPECT_TRUE(s->waitUntil([&] { return call(detail, "facts").toList() != facts; }));
            ASSERT_TRUE(s->click(detail->findChild<QQuickItem *>("detailBack")));
        }, 0, 0},
        {"a notice of a file registered now, with a new tag, under the hashtags over the report", [&] {
            QQuickItem *report = s->item("Templates.initial('setting/Report.qml', {})");
            const int live = report->property("liveTotal").toInt();
            s->eval("Templates.initial('generals/StackContent.qml', {'contentType': 'hashtag'})");
            pushed["_id"] = "follow-r";
            pushed["dates"] = QJsonObject{{"register", s->eval("Date.now() - 3600000").toDouble()}};
            pushed["hashtag"] = QJsonArray{QJsonObject{{"_id", "follow-tag"}, {"title", "تازه"}, {"user_ref", "m1"}}};
            s->push("property_notify", "create", QJsonObject{{"file", pushed}, {"register_id", "other"}});
            EXPECT_TRUE(s->waitUntil([&] { return s->find("hashtag_row_follow-tag"); })) << "the tags listed";
            s->eval("Stacks.leave(Stacks.last())");
            EXPECT_TRUE(s->waitUntil([&] { return report->property("liveTotal").toInt() == live + 1; })) << "the report, on its return";
            s->eval("Stacks.leave(Stacks.last())");
        }, 1, 1},
        {"delete", [&] { menu(list, 0, QStringLiteral("حذف")); }, -1, 0},
        {"restore", [&] {
            const QString before = bin->property("text").toString();
            inView("recycleButton", QStringLiteral("بازیابی فایل"));
            EXPECT_TRUE(s->waitUntil([&] { return bin->property("text").toString() != before; })) << "the bin's count";
        }, 1, 0},
        {"unpin", [&] { menu(list, 0, QStringLiteral("سنجاق")); inView("pinnedButton", QStringLiteral("سنجاق")); }, 0, 0},
        {"archive a year ago", [&] {
            archived = row(list, 0).value("_id").toString();
            menu(list, 0, QStringLiteral("بایگانی"));
            ASSERT_TRUE(s->waitUntil([&] { return s->find("archiveYear") != nullptr; }));
            for (const char *part : {"year", "month", "day"})
                s->find(QStringLiteral("archive") + QChar(part[0]).toUpper() + (part + 1))->setProperty("value", day.value(part));
            ASSERT_TRUE(s->clickText(QStringLiteral("تایید")));
        }, -1, 0},
        {"unarchive in the due list", [&] {
            s->home();
            EXPECT_TRUE(s->until(due + " === " + QString::number(dueBefore + 1))) << "the badge counts the archived file";
            s->eval(shelf + "; Stacks.stack.get(0).menu.activate('due')");
            QQuickItem *dues = nullptr;
            ASSERT_TRUE(s->waitUntil([&] { return (dues = current()) && call(dues, "indexOf", archived).toInt() >= 0; }));
            s->settle();
            menu(dues, call(dues, "indexOf", archived).toInt(), QStringLiteral("انتقال به Tavorlin اصلی"));
        }, 1, 0},
    };
    for (const auto &w : writers) {
        const int count = tile("count"), badge = tile("badge");
        w.write();
        EXPECT_TRUE(s->waitUntil([&] { return tile("count") == count + w.count && tile("badge") == badge + w.badge; }))
            << w.writer << ": " << tile("count") << " " << tile("badge");
    }
    s->home();
    EXPECT_TRUE(s->until(due + " === " + QString::number(dueBefore))) << s->eval(due).toInt();
}
