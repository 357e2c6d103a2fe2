// The login screens over the real server link against the socket.io test server: the requests
// they send as the server receives them, and the account they store from its replies.
#include "qmlharness.h"
#include "store/sharedstate.h"
#include "sio/json.h"
#include "sync/peer.h"
#include "sync/testca.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The login page with the real Account, Database and Sockets; only the screen changes are recorded.
const char kHarness[] = R"(
import QtQuick 2.15
import com 1.0
Item {
    id: root
    property var replaced: []
    property var page: null
    property QtObject templates: QtObject { function replace(path) { root.replaced.push(path) } }
    function connectTo(port) { Sockets.ip = "127.0.0.1"; Sockets.port = port; Sockets.initial() }
    function open() {
        page = Qt.createComponent("qrc:/templates/login/Index.qml").createObject(root, {"templates": templates})
        return page !== null
    }
}
)";

// The request's content, as the server received its envelope.
QJsonObject contentOf(const sio::message::ptr &line)
{
    std::string text;
    sio::json::write(*line->at("args")->get_vector().at(0), text, nullptr);
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object().value("content").toObject();
}

class LoginPeer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const TestCa &ca = TestCa::get();
        ASSERT_TRUE(ca.ok);
        qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(storeDir.isValid());
        UGENERAL::openSharedStore(storeDir.path().toStdString());
        peer = std::make_unique<Peer>(Peer::Options{});
        ASSERT_TRUE(peer->start());

        std::string error;
        ASSERT_TRUE(qml.load(kHarness, QStringLiteral("loginpeer.qml"), &error)) << error;
    }

    void TearDown() override
    {
        qml.reset();
        if (peer)
            peer->stop();
        UGENERAL::closeSharedStore();
    }

    QVariant eval(const QString &code) { return qml.eval(code); }

    bool until(const QString &condition, int timeoutMs = 5000) { return qml.until(condition, timeoutMs); }

    sio::message::ptr request(const std::string &name, std::size_t from)
    {
        return peer->waitFor("event", [&](const sio::message &l) { return field(l, "name") == name; }, 5000, from, QmlHarness::spin);
    }

    void answer(const std::string &name, const QJsonObject &content)
    {
        const QJsonObject reply{{"ok", true}, {"content", content}, {"payload", QJsonObject()}, {"timestamp", 1}};
        const QJsonObject command{{"cmd", "emit"}, {"name", QString::fromStdString(name + "_result")}, {"json", reply}};
        peer->command(QJsonDocument(command).toJson(QJsonDocument::Compact).toStdString());
    }

    QTemporaryDir storeDir;
    std::unique_ptr<Peer> peer;
    QmlHarness qml;
};

TEST_F(LoginPeer, AgentOfTwoAgenciesChoosesOneAndIsStoredCurrent)
{
    eval(QStringLiteral("connectTo(%1)").arg(peer->port()));
    ASSERT_TRUE(until("Sockets.connected", 60000));
    ASSERT_TRUE(eval("open()").toBool());

    std::size_t at = peer->mark();
    eval("page.byCell.setNumber('09121234567'); page.byCell.submit()");
    auto sent = request("mobile_check", at);
    ASSERT_TRUE(sent);
    EXPECT_EQ(contentOf(sent), (QJsonObject{{"country_code", 98}, {"mobile", "09121234567"}}));
    answer("mobile_check", QJsonObject{{"sent", true}});
    ASSERT_TRUE(until("page.step === 2"));

    at = peer->mark();
    eval("page.codeStep.setCode('123456')");
    sent = request("verify_check", at);
    ASSERT_TRUE(sent);
    EXPECT_EQ(contentOf(sent).value("code").toString(), "123456");
    const QJsonObject person{{"_id", "p1"}, {"mobile", "09121234567"}, {"name_family", "رضا"}};
    const QJsonObject agencyA{{"_id", "m1"}, {"name_family", "مدیر یک"}};
    const QJsonObject agencyB{{"_id", "m2"}, {"name_family", "مدیر دو"}};
    answer("verify_check", QJsonObject{{"match", true}, {"account", person},
                                       {"agent", QJsonArray{QJsonObject{{"agent_ref", person}, {"user_ref", agencyA}, {"type", 0}},
                                                            QJsonObject{{"agent_ref", person}, {"user_ref", agencyB}, {"type", 0}}}}});
    ASSERT_TRUE(until("page.step === 3 && page.entries.length === 3"));

    at = peer->mark();
    eval("page.choose(page.entries[2])");
    sent = request("account_login", at);
    ASSERT_TRUE(sent);
    const QJsonObject login = contentOf(sent);
    EXPECT_EQ(login.value("country_code").toString(), "98");
    EXPECT_EQ(login.value("user_id").toString(), "m2");
    EXPECT_EQ(login.value("agent_id").toString(), "p1");
    EXPECT_EQ(login.value("device").toObject().value("version").toInt(), 134);

    at = peer->mark();
    answer("account_login", QJsonObject{{"agent", QJsonObject{{"agent_ref", person}, {"user_ref", agencyB}, {"type", 0},
                                                              {"access", 6}, {"status", QJsonObject{{"type", 1}}}}}});
    ASSERT_TRUE(until("replaced.length === 1"));
    EXPECT_EQ(eval("replaced[0]").toString(), "main/Index.qml");
    const auto join = request("join", at);
    ASSERT_TRUE(join);
    EXPECT_EQ(contentOf(join), (QJsonObject{{"user_id", "m2"}, {"agent_id", "p1"}}));
    EXPECT_EQ(eval("Database.currentUser().user_ref").toString(), "m2");
    EXPECT_EQ(eval("Account.agentId()").toString(), "p1");
    EXPECT_TRUE(eval("Account.hasAccess(Account.agentAccess.EDIT)").toBool());
}

} // namespace
