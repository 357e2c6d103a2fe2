// The synchronisation end to end: the real Sockets, Account, Database, Initialz, Updates and
// Notification in one engine over a temporary store, against the fixture agency server of
// tests/peers/agencyserver.js. A new user logs in, the first download runs through a lost page
// and a dropped link, the store is compared with what the server sent, pushed notices are
// applied (those of the download only after it), and an incremental update runs on the road
// after a reconnection.
#include "qmlharness.h"
#include "sio/json.h"
#include "store/contact.h"
#include "store/district.h"
#include "store/file.h"
#include "store/fileactivity.h"
#include "store/hashtag.h"
#include "store/note.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "store/tavorlinposition.h"
#include "store/user.h"
#include "sync/peer.h"
#include "sync/testca.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace {

// The window stands in for the home screen: it opens the download dialog as the home screen does
// for an account that was never downloaded.
const char kHarness[] = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import com 1.0
Window {
    id: root
    width: 900
    height: 700
    visible: true
    property var replaced: []
    property var page: null
    property var sync: null
    property bool finished: false
    property QtObject templates: QtObject { function replace(path) { root.replaced.push(path) } }
    function connectTo(port) { Sockets.ip = "127.0.0.1"; Sockets.port = port; Sockets.initial() }
    function openLogin() {
        page = Qt.createComponent("qrc:/templates/login/Index.qml").createObject(root.contentItem, {"templates": templates})
        return page !== null
    }
    function openSync() {
        Consts.window = root
        sync = Templates.dialog("main/dialog/Syncronise.qml")
        if (!sync)
            return false
        sync.finish.connect(function () { root.finished = true; sync.close() })
        sync.show()
        return true
    }
}
)";

// Every line the program logged, for the secrets it must not keep.
QStringList logged;

// The replies' and the file import's logs carry whole pages and files; the test's output
// leaves them out and cuts every other line short.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    logged << message;
    if (type == QtDebugMsg && (message.startsWith("#RESPONSE") || message.startsWith("#REQUEST")
                               || message.startsWith("QJsonObject(")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message.left(300)));
}

QJsonObject toJson(const sio::message::ptr &value)
{
    if (!value)
        return {};
    std::string text;
    sio::json::write(*value, text, nullptr);
    return QJsonDocument::fromJson(QByteArray::fromStdString("{\"v\":" + text + "}")).object();
}

template <class T> std::map<std::string, std::unique_ptr<T>> byServerId(obx::Store &store)
{
    std::map<std::string, std::unique_ptr<T>> rows;
    for (auto &row : obx::Box<T>(store).getAll())
        rows[row->server_id] = std::move(row);
    return rows;
}

std::string text(const QJsonValue &value)
{
    return value.toString().toStdString();
}

class SyncPeer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        logged.clear();
        previousHandler = qInstallMessageHandler(quietHandler);
        const TestCa &ca = TestCa::get();
        ASSERT_TRUE(ca.ok);
        qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(storeDir.isValid());
        UGENERAL::openSharedStore(storeDir.path().toStdString());

        dumpPath = storeDir.path() + "/server.json";
        Peer::Options options;
        options.script = "agencyserver.js";
        options.extraArgs = {"--dump", dumpPath.toStdString(), "--seed", "7"};
        peer = std::make_unique<Peer>(options);
        ASSERT_TRUE(peer->start());
        QFile dump(dumpPath);
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
        sent = QJsonDocument::fromJson(dump.readAll()).object();
        ASSERT_FALSE(sent.isEmpty());

        std::string error;
        ASSERT_TRUE(qml.load(kHarness, QStringLiteral("syncpeer.qml"), &error)) << error;
    }

    void TearDown() override
    {
        qml.reset();
        if (peer)
            peer->stop();
        UGENERAL::closeSharedStore();
        qInstallMessageHandler(previousHandler);
    }

    QVariant eval(const QString &code) { return qml.eval(code); }

    bool until(const QString &condition, int timeoutMs = 10000) { return qml.until(condition, timeoutMs); }

    bool untilStore(const std::function<bool(obx::Store &)> &done, int timeoutMs = 10000)
    {
        return QmlHarness::waitUntil([&] { return done(store()); }, timeoutMs);
    }

    obx::Store &store() { return *UGENERAL::sharedStore(); }

    void command(const QJsonObject &c)
    {
        peer->command(QJsonDocument(c).toJson(QJsonDocument::Compact).toStdString());
    }

    void push(const QString &name, const QString &type, const QJsonValue &data, const QJsonObject &extra = {})
    {
        QJsonObject content = extra;
        content["type"] = type;
        content["data"] = data;
        command({{"cmd", "notify"}, {"name", name}, {"content", content}});
    }

    // The requests the server received with this name, each as {content, payload}.
    std::vector<QJsonObject> requests(const std::string &name, std::size_t from = 0)
    {
        std::vector<QJsonObject> out;
        for (const auto &line : peer->all("request", from))
            if (field(*line, "name") == name)
                out.push_back(QJsonObject{{"content", toJson(line->at("content")).value("v")},
                                          {"payload", toJson(line->at("payload")).value("v")}});
        return out;
    }

    sio::message::ptr waitRequest(const std::string &name, std::size_t from, int timeoutMs = 10000)
    {
        return peer->waitFor("request", [&](const sio::message &l) { return field(l, "name") == name; }, timeoutMs, from, QmlHarness::spin);
    }

    qint64 lastReplyStamp(const std::string &name)
    {
        qint64 stamp = 0;
        for (const auto &line : peer->all("replied"))
            if (field(*line, "name") == name)
                stamp = line->at("timestamp")->get_int();
        return stamp;
    }

    QJsonArray list(const char *kind) const { return sent.value(kind).toArray(); }
    std::string manager() const { return text(sent.value("manager").toObject().value("_id")); }

    void loginAsNewUser();
    void runFirstDownload();
    void checkStoreAgainstServer();
    void applyPushedNotices();
    void runUpdateAfterReconnection();

    QtMessageHandler previousHandler = nullptr;
    QTemporaryDir storeDir;
    QString dumpPath;
    QJsonObject sent;
    std::unique_ptr<Peer> peer;
    QmlHarness qml;
    qint64 downloadStamp = 0;
    // The pushed file edit held during the download.
    const std::string heldFile = "m1-f5";
    const uint64_t heldPrice = 777000000;
};

void SyncPeer::loginAsNewUser()
{
    // A first start seeds the form catalogue, whose cards give the default boards.
    ASSERT_TRUE(eval("Database.initialDatabase()").toBool());
    eval(QStringLiteral("connectTo(%1)").arg(peer->port()));
    ASSERT_TRUE(until("Sockets.connected", 60000));
    ASSERT_TRUE(eval("openLogin()").toBool());
    eval("page.byCell.setNumber('09120000001'); page.byCell.submit()");
    ASSERT_TRUE(until("page.step === 2"));
    eval("page.codeStep.setCode('123456')");
    ASSERT_TRUE(until("replaced.length === 1"));
    EXPECT_EQ(eval("replaced[0]").toString(), "main/Index.qml");
    EXPECT_EQ(eval("Account.userId()").toString().toStdString(), manager());
    EXPECT_FALSE(eval("Account.syncedData()").toBool()) << "a new account has never been downloaded";
    EXPECT_TRUE(requests("initial_upgrade").empty());
}

void SyncPeer::runFirstDownload()
{
    // A page that cannot be read once, and the link lost with a request of the files step.
    command({{"cmd", "fail"}, {"name", "initial_note"}, {"page", 1}, {"times", 1}});
    command({{"cmd", "drop"}, {"name", "initial_property"}, {"page", 2}});
    const std::size_t at = peer->mark();
    ASSERT_TRUE(eval("openSync()").toBool());
    EXPECT_TRUE(eval("Consts.initial_busy").toBool());

    // Notices pushed while the download runs wait for its end.
    ASSERT_TRUE(waitRequest("initial_customer", at, 20000));
    QJsonObject file = list("initial_property").at(5).toObject();
    ASSERT_EQ(text(file.value("_id")), heldFile);
    QJsonObject price = file.value("price").toObject();
    price["price_1"] = double(heldPrice);
    file["price"] = price;
    push("property_notify", "edit", QJsonObject{{"file", file}, {"register_id", QString::fromStdString(manager())}});
    push("district_notify", "create", QJsonObject{{"_id", "m1-dnew"}, {"user_ref", "m1"}, {"title", "منطقه تازه"}});

    // The link drop holds the download for the reconnection delay, long after these arrive.
    EXPECT_TRUE(until("Consts.pending_notifies.length === 2 && !sync.done", 5000)) << "both notices are held";
    ASSERT_TRUE(until("sync.done", 90000)) << "the download did not end";
    EXPECT_FALSE(eval("sync.failed").toBool());
    EXPECT_FALSE(eval("Consts.initial_busy").toBool());
    EXPECT_EQ(eval("Consts.pending_notifies.length").toInt(), 0);
    ASSERT_TRUE(until("sync.rainStopped", 60000));
    eval("sync.finish()");
    EXPECT_TRUE(eval("finished").toBool());

    // The steps in their order, the retried page and the page asked again on the new link.
    std::vector<std::string> order;
    for (const auto &line : peer->all("request", at)) {
        const std::string name = field(*line, "name");
        if (name.rfind("initial_", 0) == 0 && (order.empty() || order.back() != name))
            order.push_back(name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"initial_count", "initial_agent", "initial_customer", "initial_district",
                                               "initial_hashtag", "initial_note", "initial_activity", "initial_tavorlin",
                                               "initial_shelf", "initial_property", "initial_seen"}));
    int notePageOne = 0;
    for (const auto &r : requests("initial_note", at))
        notePageOne += r.value("content").toObject().value("page").toInt() == 1;
    EXPECT_EQ(notePageOne, 2);
    int filePageTwo = 0;
    for (const auto &r : requests("initial_property", at)) {
        EXPECT_EQ(r.value("payload").toObject().value("page"), r.value("content").toObject().value("page"));
        filePageTwo += r.value("content").toObject().value("page").toInt() == 2;
    }
    EXPECT_EQ(filePageTwo, 2);
    EXPECT_FALSE(requests("initial_customer", at).front().value("content").toObject().contains("agent_id"))
        << "a manager's requests carry no agent_id";

    downloadStamp = lastReplyStamp("initial_seen");
    EXPECT_GT(downloadStamp, 0);
    EXPECT_EQ(eval("Database.getUpdateDate()").toString(), QString::number(downloadStamp));
    EXPECT_TRUE(eval("Account.syncedData()").toBool());
}

void SyncPeer::checkStoreAgainstServer()
{
    obx::Store &s = store();
    obx::Transaction tx = s.txRead();
    const auto users = byServerId<User>(s);
    ASSERT_TRUE(users.count(manager()));
    const obx_id owner = users.at(manager())->id;
    for (const QJsonValue &value : list("initial_agent")) {
        const QJsonObject item = value.toObject();
        const std::string id = text(item.value("agent_ref").toObject().value("_id"));
        ASSERT_TRUE(users.count(id)) << id;
        EXPECT_EQ(users.at(id)->parent_id, owner);
        EXPECT_EQ(users.at(id)->access, item.value("access").toInt());
        EXPECT_EQ(users.at(id)->type, item.value("type").toInt());
    }

    const auto contacts = byServerId<Contact>(s);
    EXPECT_EQ(contacts.size(), std::size_t(list("initial_customer").size()));
    for (const QJsonValue &value : list("initial_customer")) {
        const QJsonObject item = value.toObject();
        const auto found = contacts.find(text(item.value("_id")));
        ASSERT_NE(found, contacts.end());
        EXPECT_EQ(found->second->name_family, text(item.value("name_family")));
        EXPECT_EQ(found->second->user_id, owner);
    }
    EXPECT_EQ(obx::Box<District>(s).count(), uint64_t(list("initial_district").size() + 1)) << "with the pushed one";
    EXPECT_EQ(obx::Box<District>(s).query(District_::server_id.equals("m1-dnew")).build().count(), 1u);
    EXPECT_EQ(obx::Box<HashTag>(s).count(), uint64_t(list("initial_hashtag").size()));
    EXPECT_EQ(obx::Box<Note>(s).count(), uint64_t(list("initial_note").size()));

    // Re-importing the pushed file keeps the activities it already had.
    EXPECT_EQ(obx::Box<FileActivity>(s).count(), uint64_t(list("initial_activity").size()));

    const auto boards = byServerId<Tavorlin>(s);
    for (const QJsonValue &value : list("initial_tavorlin")) {
        const auto found = boards.find(text(value.toObject().value("_id")));
        ASSERT_NE(found, boards.end());
        EXPECT_EQ(found->second->name, text(value.toObject().value("name")));
        EXPECT_FALSE(found->second->is_default);
    }
    EXPECT_GT(obx::Box<Tavorlin>(s).query(Tavorlin_::is_default.equals(true)).build().count(), 0u)
        << "the default boards were made before the download";
    uint64_t onShelves = 0;
    for (const QJsonValue &value : list("initial_shelf"))
        onShelves += value.toObject().value("tavorlin").toArray().size();
    EXPECT_EQ(obx::Box<Shelves>(s).count(), uint64_t(list("initial_shelf").size()));
    EXPECT_EQ(obx::Box<TavorlinPosition>(s).count(), onShelves);

    std::set<uint64_t> unseen;
    for (const QJsonValue &value : list("initial_seen"))
        unseen.insert(uint64_t(value.toObject().value("code").toInt()));
    const auto files = byServerId<File>(s);
    EXPECT_EQ(files.size(), std::size_t(list("initial_property").size()));
    for (const QJsonValue &value : list("initial_property")) {
        const QJsonObject item = value.toObject();
        const auto found = files.find(text(item.value("_id")));
        ASSERT_NE(found, files.end()) << text(item.value("_id"));
        const File &file = *found->second;
        EXPECT_EQ(file.trade_type, item.value("trade_ref").toInt());
        EXPECT_EQ(file.property_type, item.value("type").toInt());
        EXPECT_EQ(file.auto_code, uint64_t(item.value("code").toObject().value("auto").toInt()));
        const uint64_t price = file.server_id == heldFile ? heldPrice : uint64_t(item.value("price").toObject().value("price_1").toDouble());
        EXPECT_EQ(file.price_1, price) << file.server_id;
        EXPECT_EQ(file.districts, (std::vector<std::string>{text(item.value("district").toArray().at(0))}));
        EXPECT_EQ(file.hashtags, (std::vector<std::string>{text(item.value("hashtag").toArray().at(0))}));
        EXPECT_EQ(file.customer_name, contacts.at(text(item.value("customer_ref")))->name_family);
        EXPECT_EQ(file.seen, unseen.count(file.auto_code) == 0) << file.server_id;
    }
}

void SyncPeer::applyPushedNotices()
{
    push("tavorlin_notify", "delete", QJsonObject{{"_id", "m1-t0"}});
    push("contact_notify", "delete", QJsonObject{{"_id", "m1-c0"}});
    push("property_notify", "action", QJsonObject{{"key", "status.pin"},
                                                  {"action", QJsonArray{QJsonObject{{"file_id", "m1-f1"}, {"value", true}}}}});
    QJsonObject agent = list("initial_agent").at(1).toObject();
    QJsonObject ref = agent.value("agent_ref").toObject();
    ref["name_family"] = "مشاور تازه";
    agent["agent_ref"] = ref;
    push("account_notify", "agent_edit", agent, QJsonObject{{"user_id", "m1"}});
    push("note_notify", "create", QJsonObject{{"_id", "m1-nnew"}, {"user_ref", "m1"}, {"title", "تازه"},
                                              {"date", QJsonObject{{"alarm", 1}}}});
    ASSERT_TRUE(untilStore([](obx::Store &s) {
        return obx::Box<Note>(s).query(Note_::server_id.equals("m1-nnew")).build().count() == 1;
    }));
    obx::Store &s = store();
    obx::Transaction tx = s.txRead();
    EXPECT_EQ(obx::Box<Tavorlin>(s).query(Tavorlin_::server_id.equals("m1-t0")).build().count(), 0u);
    EXPECT_EQ(obx::Box<Contact>(s).query(Contact_::server_id.equals("m1-c0")).build().count(), 0u);
    const auto f1 = obx::Box<File>(s).query(File_::server_id.equals("m1-f1")).build().findFirst();
    ASSERT_TRUE(f1);
    EXPECT_EQ(f1->pins, (std::vector<std::string>{"m1"}));
    const auto a1 = obx::Box<User>(s).query(User_::server_id.equals("m1-a1")).build().findFirst();
    ASSERT_TRUE(a1);
    EXPECT_EQ(a1->name_family, "مشاور تازه");
}

void SyncPeer::runUpdateAfterReconnection()
{
    const QJsonObject content{
        {"account", QJsonObject{{"_id", "m1"}, {"mobile", "09120000001"}, {"name_family", "مدیر تازه"},
                                {"device", QJsonArray{QJsonObject{{"platform", 64}, {"token", "token-m1"}}}}}},
        {"agent", QJsonArray{QJsonObject{{"agent_ref", QJsonObject{{"_id", "m1-a2"}, {"name_family", "مشاور دو"}}},
                                         {"access", 2}, {"type", 1}, {"status", QJsonObject{{"type", 1}}},
                                         {"setting", QJsonObject{{"form", "[{\"key\":3},{\"key\":9}]"}}}}}},
        {"contact", QJsonArray{QJsonObject{{"_id", "m1-cnew"}, {"name_family", "مشتری تازه"}, {"mobile_1", "09121111111"}}}},
        {"district", QJsonArray{QJsonObject{{"_id", "m1-d1"}, {"user_ref", "m1"}, {"title", "منطقه یک"}}}},
        {"hashtag", QJsonArray{QJsonObject{{"_id", "m1-h0"}, {"die", true}}}},
        {"note", QJsonArray()}, {"activity", QJsonArray()}, {"tavorlin", QJsonArray()}, {"shelf", QJsonArray()},
        {"properties", QJsonArray{QJsonObject{{"_id", "m1-f3"}, {"die", true}},
                                  QJsonObject{{"_id", "m1-fnew"}, {"user_ref", "m1"}, {"trade_ref", 2}, {"type", 50},
                                              {"code", QJsonObject{{"auto", 99999}}}}}},
        {"unseen", QJsonArray{QJsonObject{{"code", 2}}}},
    };
    command({{"cmd", "upgrade"}, {"content", content}});

    // The road after a new connection: the token check, "join", and for a downloaded account the update.
    const std::size_t at = peer->mark();
    eval("Sockets.disconnect()");
    ASSERT_TRUE(waitRequest("validity_token", at, 20000));
    ASSERT_TRUE(waitRequest("join", at));
    ASSERT_TRUE(waitRequest("initial_upgrade", at));
    ASSERT_TRUE(until("Updates.phase === '' && !Consts.initial_busy", 60000));
    const auto asked = requests("initial_upgrade", at);
    ASSERT_EQ(asked.size(), 1u) << "the update is asked once on the new link";
    EXPECT_EQ(asked[0].value("content").toObject(),
              (QJsonObject{{"user_id", "m1"}, {"updated_at", QString::number(downloadStamp)}, {"page", 1}}));

    const qint64 updateStamp = lastReplyStamp("initial_upgrade");
    EXPECT_GT(updateStamp, downloadStamp);
    EXPECT_EQ(eval("Database.getUpdateDate()").toString(), QString::number(updateStamp));
    EXPECT_EQ(eval("Account.get().name_family").toString(), "مدیر تازه");

    obx::Store &s = store();
    obx::Transaction tx = s.txRead();
    const auto a2 = obx::Box<User>(s).query(User_::server_id.equals("m1-a2")).build().findFirst();
    ASSERT_TRUE(a2);
    EXPECT_EQ(a2->access, 2);
    EXPECT_EQ(a2->invisible_toggles, (std::vector<std::string>{"3", "9"})) << "the agent's form settings were kept";
    EXPECT_EQ(obx::Box<Contact>(s).query(Contact_::server_id.equals("m1-cnew")).build().count(), 1u);
    EXPECT_EQ(obx::Box<District>(s).query(District_::server_id.equals("m1-d1")).build().findFirst()->title, "منطقه یک");
    EXPECT_EQ(obx::Box<HashTag>(s).query(HashTag_::server_id.equals("m1-h0")).build().count(), 0u);
    EXPECT_EQ(obx::Box<File>(s).query(File_::server_id.equals("m1-f3")).build().count(), 0u);
    EXPECT_EQ(obx::Box<File>(s).query(File_::server_id.equals("m1-fnew")).build().count(), 1u);
    EXPECT_FALSE(obx::Box<File>(s).query(File_::server_id.equals("m1-f1")).build().findFirst()->seen);
}

TEST_F(SyncPeer, NewUserDownloadsEverythingThenFollowsNoticesAndUpdates)
{
    loginAsNewUser();
    if (HasFatalFailure())
        return;
    runFirstDownload();
    if (HasFatalFailure())
        return;
    checkStoreAgainstServer();
    applyPushedNotices();
    if (HasFatalFailure())
        return;
    runUpdateAfterReconnection();

    // The requests and replies are logged, without the account's token (sent to check it, and
    // in the login's and the update's replies) or the verification code.
    EXPECT_FALSE(logged.filter("#REQUEST TO validity_token").isEmpty() || logged.filter("#RESPONSE account_login_result").isEmpty());
    EXPECT_EQ(logged.filter("token-m1").value(0).left(300).toStdString(), "");
    const QStringList verify = logged.filter("#REQUEST TO verify_check");
    EXPECT_TRUE(verify.size() == 1 && !verify[0].contains("123456")) << verify.value(0).left(300).toStdString();
}

} // namespace
