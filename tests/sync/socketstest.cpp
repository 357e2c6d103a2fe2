// The Sockets singleton, run in a QML engine with the program's registration, against a real
// socket.io 4 server that echoes every request back as its "_result" reply.
#include "peer.h"
#include "qtwait.h"
#include "testca.h"

#include "shell/registration.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QStandardPaths>
#include <gtest/gtest.h>

using sio::message;

namespace {

const char *const kProbe = R"(
import QtQuick 2.15
import com 1.0

QtObject {
    property var replies: []
    property int errors: 0

    function start(port) { Sockets.ip = "127.0.0.1"; Sockets.port = port; Sockets.initial() }
    function sendJson(name, content, payload) {
        Sockets.send(name, content === "" ? null : JSON.parse(content), payload === "" ? undefined : JSON.parse(payload))
    }
    function sendManager() { Sockets.send("join", {"user_id": "u1", "agent_id": undefined}) }
    function listen(name, tag) {
        Sockets.on(name, function (reply) { replies.push({"tag": tag, "name": name, "reply": reply}) })
    }
    function listenError(name) { Sockets.on(name + "_error", function () { errors += 1 }) }
    function replyLog() { return JSON.stringify(replies) }
    function toasts() { return Toast.children.length }
    function connected() { return Sockets.connected }
    function setConnected(v) { Sockets.connected = v }
    function status(code) { Sockets.status(code) }
    function busy(v) { Consts.initial_busy = v }
    function pending() { var p = Consts.pending_notifies; Consts.pending_notifies = []; return JSON.stringify(p) }
    function platform() { return Sockets.platform }
}
)";

class SocketsSingleton : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(TestCa::get().caFile));
        engine_ = new QQmlEngine;
        engine_->addImportPath(QStringLiteral("qrc:/"));
        UGENERAL::registerQmlTypes(engine_->offlineStoragePath());
        QQmlComponent c(engine_);
        c.setData(kProbe, QUrl(QStringLiteral("qrc:/socketsprobe.qml")));
        probe_ = c.create();
        if (!probe_)
            ADD_FAILURE() << c.errorString().toStdString();
        Peer::Options o;
        o.echo = true;
        peer_ = new Peer(o);
        if (!peer_->start())
            ADD_FAILURE() << "the socket.io peer did not start";
    }

    static void TearDownTestSuite()
    {
        delete probe_;
        delete engine_; // destroys Sockets, which closes its connection
        delete peer_;
        qunsetenv("TAVORLIN_CA_FILE");
    }

    void SetUp() override
    {
        ASSERT_TRUE(probe_ && peer_);
        if (!call("connected").toBool()) {
            call("start", peer_->port());
            ASSERT_TRUE(waitUntil([] { return call("connected").toBool(); }));
        }
    }

    static QVariant call(const char *method, const QVariant &a = {}, const QVariant &b = {}, const QVariant &c = {})
    {
        QVariant ret;
        const int n = a.isValid() + b.isValid() + c.isValid();
        if (n == 0)
            QMetaObject::invokeMethod(probe_, method, Q_RETURN_ARG(QVariant, ret));
        else if (n == 1)
            QMetaObject::invokeMethod(probe_, method, Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, a));
        else if (n == 2)
            QMetaObject::invokeMethod(probe_, method, Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, a), Q_ARG(QVariant, b));
        else
            QMetaObject::invokeMethod(probe_, method, Q_RETURN_ARG(QVariant, ret), Q_ARG(QVariant, a), Q_ARG(QVariant, b),
                                      Q_ARG(QVariant, c));
        return ret;
    }

    static QJsonArray replies() { return QJsonDocument::fromJson(call("replyLog").toString().toUtf8()).array(); }

    static sio::message::ptr serverEvent(const std::string &name, std::size_t from)
    {
        return peer_->waitFor("event", [&](const message &l) { return field(l, "name") == name; }, 10000, from,
                              [] { pump(); });
    }

    static QQmlEngine *engine_;
    static QObject *probe_;
    static Peer *peer_;
};

QQmlEngine *SocketsSingleton::engine_ = nullptr;
QObject *SocketsSingleton::probe_ = nullptr;
Peer *SocketsSingleton::peer_ = nullptr;

} // namespace

TEST_F(SocketsSingleton, RequestsLeaveInTheEnvelopeWithAsciiDigits)
{
    EXPECT_EQ(call("platform").toInt(), 64);
    call("listen", "property_list_result", "list");
    std::size_t from = peer_->mark();
    call("sendJson", "property_list",
         QString::fromUtf8(R"({"title":"خانه ۱۲۳","code":"٤٥٦","۷key":1,"date":1700000000123})"),
         R"({"page":2})");
    auto ev = serverEvent("property_list", from);
    ASSERT_TRUE(ev);
    const message::ptr env = ev->at("args")->get_vector().at(0);
    EXPECT_EQ(env->at("platform")->get_int(), 64);
    EXPECT_EQ(env->at("lang")->get_int(), 1);
    EXPECT_EQ(env->at("v")->get_string(), "6 . 3 . 0");
    EXPECT_EQ(env->at("content")->at("title")->get_string(), "خانه 123");
    EXPECT_EQ(env->at("content")->at("code")->get_string(), "456");
    EXPECT_TRUE(env->at("content")->at("7key"));
    EXPECT_EQ(env->at("content")->at("date")->get_int(), 1700000000123LL);
    EXPECT_EQ(env->at("payload")->at("page")->get_int(), 2);

    // The echoed reply reaches the handler registered for its name, with content, payload, timestamp.
    ASSERT_TRUE(waitUntil([] { return replies().size() >= 1; }));
    const QJsonObject r = replies().last().toObject();
    EXPECT_EQ(r["tag"].toString(), QStringLiteral("list"));
    EXPECT_EQ(r["reply"]["content"]["content"]["title"].toString(), QStringLiteral("خانه 123"));
    EXPECT_TRUE(r["reply"]["payload"].isObject());
    EXPECT_GT(r["reply"]["timestamp"].toDouble(), 0);

    // No content sends {}; no payload sends no key; undefined keys vanish.
    from = peer_->mark();
    call("sendJson", "count", "", "");
    ev = serverEvent("count", from);
    ASSERT_TRUE(ev);
    EXPECT_TRUE(ev->at("args")->get_vector().at(0)->at("content")->get_map().empty());
    EXPECT_FALSE(ev->at("args")->get_vector().at(0)->at("payload"));
    call("sendManager");
    ev = serverEvent("join", from);
    ASSERT_TRUE(ev);
    EXPECT_EQ(ev->at("args")->get_vector().at(0)->at("content")->get_map().size(), 1u);
}

TEST_F(SocketsSingleton, OfflineRequestsAreDroppedAndOnlyTwoNamesGoOut)
{
    call("setConnected", false);
    const int toasts = call("toasts").toInt();
    const std::size_t from = peer_->mark();
    call("sendJson", "count", "{}", "");           // dropped, silently
    call("sendJson", "version_check", "{}", "");   // dropped, silently
    call("sendJson", "property_edit", "{}", "");   // dropped, with the offline message
    call("sendJson", "province_list", "", "");     // always sent
    call("sendJson", "check_connection", "", "");  // always sent
    ASSERT_TRUE(serverEvent("check_connection", from));
    std::vector<std::string> names;
    for (const auto &e : peer_->all("event", from))
        names.push_back(field(*e, "name"));
    EXPECT_EQ(names, (std::vector<std::string>{"province_list", "check_connection"}));
    EXPECT_EQ(call("toasts").toInt(), toasts + 1);

    // Any status clears the flag; only "open" sets it.
    call("status", 3);
    EXPECT_TRUE(call("connected").toBool());
    call("status", 8);
    EXPECT_FALSE(call("connected").toBool());
    call("status", 3);
    EXPECT_TRUE(call("connected").toBool());
}

TEST_F(SocketsSingleton, RepliesGoToTheOneHandlerOfTheirName)
{
    call("listen", "note_create_result", "first");
    call("listen", "note_create_result", "second");
    call("listenError", "note_create_result");
    const int before = replies().size();

    peer_->command(R"({"cmd":"emit","name":"note_create_result","json":{"ok":true,"content":{"id":1},"timestamp":9}})");
    ASSERT_TRUE(waitUntil([&] { return replies().size() > before; }));
    const QJsonObject last = replies().last().toObject();
    EXPECT_EQ(last["tag"].toString(), QStringLiteral("second"));
    EXPECT_EQ(last["reply"]["timestamp"].toInt(), 9);

    // A failed request shows the server's message and calls the "_error" handler instead.
    const int toasts = call("toasts").toInt();
    peer_->command(R"({"cmd":"emit","name":"note_create_result","json":{"ok":false,"message":{"msg":"یادداشت ثبت نشد"}}})");
    ASSERT_TRUE(waitUntil([] { return probe_->property("errors").toInt() > 0; }));
    EXPECT_EQ(probe_->property("errors").toInt(), 1);
    EXPECT_EQ(call("toasts").toInt(), toasts + 1);

    // Undecodable replies and replies nobody waits for are dropped; the next one still arrives.
    peer_->command(R"({"cmd":"emit","name":"note_create_result","args":["garbage"]})");
    peer_->command(R"({"cmd":"emit","name":"task_list_result","json":{"ok":true}})");
    peer_->command(R"({"cmd":"emit","name":"note_create_result","json":{"ok":true,"content":{"id":2}}})");
    ASSERT_TRUE(waitUntil([&] { return replies().size() > before + 1; }));
    const QJsonObject next = replies().last().toObject();
    EXPECT_EQ(next["reply"]["content"]["id"].toInt(), 2);
    EXPECT_EQ(replies().size(), before + 2);
}

TEST_F(SocketsSingleton, NoticesWaitWhileTheStoreIsBusy)
{
    EXPECT_EQ(call("pending").toString(), QStringLiteral("[]"));
    call("busy", true);
    peer_->command(R"({"cmd":"emit","name":"property_notify","json":{"content":{"type":"seen","data":{"code":[7]}},"timestamp":5}})");
    peer_->command(R"({"cmd":"emit","name":"note_notify","json":{"content":{"type":"delete","data":{"_id":"n"}},"timestamp":6}})");
    QJsonArray held;
    ASSERT_TRUE(waitUntil([&] {
        const QString p = call("pending").toString();
        const QJsonArray now = QJsonDocument::fromJson(p.toUtf8()).array();
        for (const auto &v : now)
            held.append(v);
        return held.size() >= 2;
    }));
    call("busy", false);
    const QJsonObject first = held[0].toObject();
    const QJsonObject second = held[1].toObject();
    EXPECT_EQ(first["event"].toString(), QStringLiteral("property_notify"));
    EXPECT_EQ(first["data"]["timestamp"].toInt(), 5);
    EXPECT_EQ(second["event"].toString(), QStringLiteral("note_notify"));
}
