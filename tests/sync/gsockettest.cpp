// The socket object against a real socket.io 4 server on 127.0.0.1.
#include "peer.h"
#include "qtwait.h"
#include "testca.h"

#include "sync/gsocket.h"
#include "sync/synclist.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <zlib.h>

using UGENERAL::GSocket;
using sio::message;

namespace {

struct Received
{
    QString name;
    QString data;
    bool onGuiThread;
};

// Records what the socket reports, as the QML side would see it.
class Observer
{
public:
    explicit Observer(GSocket &s)
    {
        QObject::connect(&s, &GSocket::status, &context_, [this](int code) { codes.push_back(code); });
        QObject::connect(&s, &GSocket::recieve, &context_, [this](const QString &name, const QString &data) {
            received.push_back({name, data, QThread::currentThread() == qApp->thread()});
        });
    }

    int count(int code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }
    bool waitFor(int code, int times = 1, int timeoutMs = 20000)
    {
        return waitUntil([&] { return count(code) >= times; }, timeoutMs);
    }

    std::vector<int> codes;
    std::vector<Received> received;

private:
    QObject context_;
};

const auto idle = [] { pump(); };

QByteArray gzip(const QByteArray &data, int windowBits = 31)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<int>(deflateBound(&zs, static_cast<uLong>(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(static_cast<int>(zs.total_out));
    deflateEnd(&zs);
    return out;
}

class SocketObject : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TestCa::get().ok);
        qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(TestCa::get().caFile));
    }

    void TearDown() override { qunsetenv("TAVORLIN_CA_FILE"); }

    static void aim(GSocket &s, int port)
    {
        s.setProtocol(QStringLiteral("https"));
        s.setIp(QStringLiteral("127.0.0.1"));
        s.setPort(port);
    }
};

} // namespace

TEST_F(SocketObject, PropertiesNotifyOnlyOnChange)
{
    GSocket s;
    QSignalSpy protocol(&s, &GSocket::protocolChanged);
    QSignalSpy ip(&s, &GSocket::ipChanged);
    QSignalSpy port(&s, &GSocket::portChanged);
    s.setProtocol(QStringLiteral("https"));
    s.setProtocol(QStringLiteral("https"));
    s.setIp(QStringLiteral("api.example"));
    s.setIp(QStringLiteral("api.example"));
    s.setPort(3001);
    s.setPort(3001);
    EXPECT_EQ(protocol.count(), 1);
    EXPECT_EQ(ip.count(), 1);
    EXPECT_EQ(port.count(), 1);
    EXPECT_EQ(s.port(), 3001);
    EXPECT_EQ(GSocket::eventNames().size(), 106);
}

TEST_F(SocketObject, SendsPersianTextLongNumbersAndFilesExactly)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    GSocket s;
    Observer o(s);
    aim(s, peer.port());
    s.connection();
    s.connection(); // again while connecting: nothing more
    ASSERT_TRUE(o.waitFor(GSocket::Open));
    EXPECT_EQ(o.codes, std::vector<int>{GSocket::Open});
    EXPECT_EQ(peer.all("upgrade").size(), 1u);

    QTemporaryDir dir;
    QByteArray photo;
    for (int i = 0; i < 200000; ++i)
        photo.append(static_cast<char>((i * 31) ^ (i >> 7)));
    QFile file(dir.filePath(QStringLiteral("photo.jpg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(photo);
    file.close();

    const QString json = QStringLiteral(R"({"content":{"title":"آپارتمان ۱۲۰ متری، ونک","date":1700000000123},
                                           "FILES":{"photo":"%1"}})")
                             .arg(QUrl::fromLocalFile(file.fileName()).toString());
    s.emit(QStringLiteral("property_create"), json);
    const auto line = peer.waitFor("event", [](const message &l) { return field(l, "name") == "property_create"; }, 10000, 0, idle);
    ASSERT_TRUE(line);
    const message::ptr arg = line->at("args")->get_vector().at(0);
    EXPECT_EQ(arg->at("content")->at("title")->get_string(), "آپارتمان ۱۲۰ متری، ونک");
    EXPECT_EQ(arg->at("content")->at("date")->get_int(), 1700000000123LL);
    EXPECT_EQ(field(*arg->at("photo"), "$binary"), photo.toBase64().toStdString());
    EXPECT_FALSE(arg->at("FILES"));
}

TEST_F(SocketObject, RepliesArriveDecodedInOrderOnTheGuiThread)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    GSocket s;
    Observer o(s);
    aim(s, peer.port());
    s.connection();
    ASSERT_TRUE(o.waitFor(GSocket::Open));

    peer.command(R"({"cmd":"burst","name":"property_notify","count":100})");
    ASSERT_TRUE(waitUntil([&] { return o.received.size() >= 100; }));
    for (int i = 0; i < 100; ++i) {
        const Received &r = o.received[static_cast<std::size_t>(i)];
        EXPECT_EQ(r.name, QStringLiteral("property_notify"));
        EXPECT_EQ(QJsonDocument::fromJson(r.data.toUtf8()).object()["content"].toObject()["data"].toInt(-1), i);
        EXPECT_TRUE(r.onGuiThread);
    }
    o.received.clear();

    // Several megabytes on the wire, decoded byte for byte.
    peer.command(R"({"cmd":"big","name":"property_list_result","bytes":6000000,"seed":7})");
    const auto sent = peer.waitFor("emitted", [](const message &l) { return field(l, "name") == "property_list_result"; }, 20000, 0, idle);
    ASSERT_TRUE(sent);
    EXPECT_GT(sent->at("wire")->get_int(), 3000000);
    ASSERT_TRUE(waitUntil([&] { return !o.received.empty(); }));
    const QByteArray text = o.received[0].data.toUtf8();
    EXPECT_EQ(text.size(), sent->at("length")->get_int());
    EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString(), field(*sent, "sha256"));
}

// A page of the first download comes parsed, its list apart and native; one that is no JSON
// object goes as text, as every other reply does.
TEST_F(SocketObject, DownloadPagesArriveParsedWithTheirListApart)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    GSocket s;
    Observer o(s);
    struct Page
    {
        QString name;
        QJsonObject reply;
        QVariant list;
        int size;
        bool onGuiThread;
    };
    std::vector<Page> pages;
    QObject context;
    QObject::connect(&s, &GSocket::recievePage, &context, [&](QString name, QJsonObject reply, QVariant list, int size) {
        pages.push_back({name, reply, list, size, QThread::currentThread() == qApp->thread()});
    });
    aim(s, peer.port());
    s.connection();
    ASSERT_TRUE(o.waitFor(GSocket::Open));

    peer.command(R"({"cmd":"big","name":"initial_property_result","bytes":3000000,"seed":3})");
    const auto sent = peer.waitFor("emitted", [](const message &l) { return field(l, "name") == "initial_property_result"; }, 20000, 0, idle);
    ASSERT_TRUE(sent);
    peer.command(R"({"cmd":"emit","name":"initial_seen_result","json":{"ok":false,"content":{"list":{"n":1}},"message":{"msg":"نه"}}})");
    peer.command(R"({"cmd":"emit","name":"initial_note_result","json":"[1, 2"})");
    peer.command(R"({"cmd":"emit","name":"initial_count_result","json":{"ok":true,"content":{"count":5,"list":[1]}}})");
    ASSERT_TRUE(waitUntil([&] { return o.received.size() >= 2 && pages.size() >= 2; }));

    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].name, QStringLiteral("initial_property_result"));
    EXPECT_TRUE(pages[0].onGuiThread);
    EXPECT_EQ(pages[0].size, sent->at("length")->get_int());
    EXPECT_TRUE(pages[0].reply.value("ok").toBool());
    EXPECT_FALSE(pages[0].reply.value("content").toObject().contains("list"));
    ASSERT_TRUE(pages[0].list.canConvert<UGENERAL::SyncList>());
    const QJsonArray words = pages[0].list.value<UGENERAL::SyncList>().items();
    EXPECT_GT(words.size(), 100000);
    EXPECT_TRUE(words.first().isString());
    // A list that is no array stays where it was, for the handler to refuse.
    EXPECT_FALSE(pages[1].list.isValid());
    EXPECT_EQ(pages[1].reply.value("content").toObject().value("list").toObject().value("n").toInt(), 1);
    EXPECT_EQ(pages[1].reply.value("message").toObject().value("msg").toString(), QStringLiteral("نه"));
    ASSERT_EQ(o.received.size(), 2u);
    EXPECT_EQ(o.received[0].name, QStringLiteral("initial_note_result"));
    EXPECT_EQ(o.received[0].data, QStringLiteral("[1, 2"));
    EXPECT_EQ(o.received[1].name, QStringLiteral("initial_count_result"));
}

TEST_F(SocketObject, BrokenRepliesGiveTheEmptyTextAndUnlistedNamesNothing)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    GSocket s;
    Observer o(s);
    aim(s, peer.port());
    s.connection();
    ASSERT_TRUE(o.waitFor(GSocket::Open));

    const QByteArray json = R"({"ok":true,"content":{"n":1}})";
    const QByteArray whole = gzip(json);
    const QByteArray broken[] = {
        "!!!not base64!!!",
        whole.left(whole.size() / 2).toBase64(),
        whole.left(whole.size() - 4).toBase64(),
        gzip(json, 15).toBase64(),
        QByteArray(2000, 'A'),
    };
    for (const QByteArray &b : broken)
        peer.command(R"({"cmd":"emit","name":"count_result","args":[")" + b.toStdString() + R"("]})");
    peer.command(R"({"cmd":"emit","name":"count_result","args":[12345]})");
    peer.command(R"({"cmd":"emit","name":"count_result","args":[]})");
    peer.command(R"({"cmd":"emit","name":"count_result","args":[""]})");
    peer.command(R"({"cmd":"emit","name":"never_listened","json":{"ok":true}})");
    peer.command(R"({"cmd":"emit","name":"version_check_result","json":{"ok":true,"last":true}})");

    ASSERT_TRUE(waitUntil([&] { return !o.received.empty() && o.received.back().name == "version_check_result"; }));
    ASSERT_EQ(o.received.size(), 9u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(o.received[i].name, QStringLiteral("count_result")) << i;
        EXPECT_EQ(o.received[i].data, QString()) << i;
    }
    EXPECT_EQ(o.received[8].data, QStringLiteral(R"({"ok":true,"last":true})"));
}

TEST_F(SocketObject, DisconnectReconnectsAndNeverCloses)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    GSocket s;
    Observer o(s);
    aim(s, peer.port());
    s.connection();
    ASSERT_TRUE(o.waitFor(GSocket::Open));

    std::size_t before = peer.mark();
    s.disconnect();
    ASSERT_TRUE(o.waitFor(GSocket::Open, 2));
    EXPECT_EQ(o.codes, (std::vector<int>{GSocket::Open, GSocket::Reconnect, GSocket::Reconnecting, GSocket::Open}));
    const auto close = peer.waitFor("wsclose", [](const message &l) {
        return l.at("code")->get_int() == 1008 && field(l, "reason") == "Ping timeout";
    }, 5000, before, idle);
    EXPECT_TRUE(close);
    const auto upgrade = peer.waitFor("upgrade", 5000, before, idle);
    ASSERT_TRUE(upgrade);
    EXPECT_EQ(field(*upgrade, "url").find("sid="), std::string::npos);

    // The server restarts; a disconnect() while the reconnection waits leaves it scheduled.
    o.codes.clear();
    peer.stop();
    ASSERT_TRUE(o.waitFor(GSocket::Reconnect));
    s.disconnect();
    ASSERT_TRUE(peer.start());
    ASSERT_TRUE(o.waitFor(GSocket::Open, 1, 30000));
    EXPECT_EQ(o.count(GSocket::Closed), 0);
    EXPECT_EQ(o.count(GSocket::SocketClosed), 0);
    EXPECT_EQ(o.codes.front(), GSocket::Reconnect);
    EXPECT_EQ(o.codes.back(), GSocket::Open);
}

TEST_F(SocketObject, AnUntrustedServerIsAFailedConnection)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    qunsetenv("TAVORLIN_CA_FILE");
    GSocket s;
    Observer o(s);
    aim(s, peer.port());
    s.connection();
    ASSERT_TRUE(o.waitFor(GSocket::Reconnect));
    EXPECT_EQ(o.count(GSocket::Open), 0);
    EXPECT_TRUE(peer.all("connection").empty());

    // Destroying a connected object closes it promptly.
    qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(TestCa::get().caFile));
    auto second = std::make_unique<GSocket>();
    Observer o2(*second);
    aim(*second, peer.port());
    second->connection();
    ASSERT_TRUE(o2.waitFor(GSocket::Open));
    QElapsedTimer t;
    t.start();
    second.reset();
    EXPECT_LT(t.elapsed(), 3000);
}
