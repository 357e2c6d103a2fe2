#include "shell/gutility.h"
#include "tempenv.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace UGENERAL;

namespace {

// A port on 127.0.0.1 with nothing listening on it.
int closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

// A listener whose accept queue is full, so that further connection attempts get no answer.
class SilentListener
{
public:
    SilentListener()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        ::listen(fd_, 0);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        for (int i = 0; i < 8 && !full_; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(c, F_SETFL, O_NONBLOCK);
            ::connect(c, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
            pollfd p{c, POLLOUT, 0};
            full_ = ::poll(&p, 1, 300) == 0;
            fillers_.push_back(c);
        }
    }
    ~SilentListener()
    {
        for (int c : fillers_)
            ::close(c);
        ::close(fd_);
    }
    int port() const { return port_; }
    bool full() const { return full_; }

private:
    int fd_ = -1;
    int port_ = 0;
    bool full_ = false;
    std::vector<int> fillers_;
};

// Counts event-loop turns while a test waits, to show the wait does not block it.
class Ticker
{
public:
    Ticker()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { ++ticks; });
        timer_.start(20);
    }
    int ticks = 0;

private:
    QTimer timer_;
};

// A minimal HTTP server: answers every request with a short page unless told to stay silent.
class HttpServer : public QObject
{
public:
    explicit HttpServer(bool answer) : answer_(answer)
    {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (answer_ && s->readAll().contains("\r\n\r\n")) {
                        s->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
                        s->disconnectFromHost();
                    }
                });
            }
        });
    }
    QUrl url() const { return QUrl(QString("http://127.0.0.1:%1/").arg(server_.serverPort())); }

private:
    QTcpServer server_;
    bool answer_;
};

QString writeImage(const QString &dir, int w, int h)
{
    // Four quadrants: red, green / blue, white.
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y,
                                y < h / 2 ? (x < w / 2 ? Qt::red : Qt::green)
                                          : (x < w / 2 ? Qt::blue : Qt::white));
    const QString path = dir + QString("/img_%1x%2.png").arg(w).arg(h);
    image.save(path);
    return path;
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40
           && qAbs(a.blue() - b.blue()) < 40;
}

QString cropAndWait(GUtility &u, const QString &path, double x, double y, double w, double h,
                    int rotate, double scale, bool *success)
{
    QSignalSpy spy(&u, &GUtility::imageCroped);
    u.image_crop(path, x, y, w, h, rotate, scale);
    EXPECT_EQ(spy.count(), 0); // answered later, from the pool
    EXPECT_TRUE(spy.wait(5000));
    *success = spy.value(0).value(0).toBool();
    return spy.value(0).value(1).toString();
}

} // namespace

TEST(Ping, ReachableListenerAnswersOk)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    GUtility u;
    u.setPingHost("127.0.0.1");
    u.setPingPort(server.serverPort());
    QSignalSpy done(&u, &GUtility::pingDone);

    u.ping();
    ASSERT_TRUE(done.wait(3000));
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_TRUE(server.waitForNewConnection(1000) || server.hasPendingConnections());

    // The close of a successful probe reports nothing more.
    QTest::qWait(200);
    EXPECT_EQ(done.count(), 1);
}

TEST(Ping, RefusedAndMissingTargetsFail)
{
    GUtility u;
    u.setPingHost("127.0.0.1");
    u.setPingPort(closedPort());
    QSignalSpy done(&u, &GUtility::pingDone);
    u.ping();
    ASSERT_TRUE(done.wait(3000));
    EXPECT_FALSE(done.at(0).at(0).toBool());

    u.setPingHost("");
    u.ping();
    ASSERT_TRUE(done.wait(1000));
    EXPECT_FALSE(done.at(1).at(0).toBool());
    QTest::qWait(200);
    EXPECT_EQ(done.count(), 2);
}

TEST(Ping, SilentHostTimesOutWithoutBlocking)
{
    SilentListener silent;
    ASSERT_TRUE(silent.full()) << "could not fill the accept queue";
    GUtility u;
    u.setPingHost("127.0.0.1");
    u.setPingPort(silent.port());
    u.setPingTimeout(400);
    QSignalSpy done(&u, &GUtility::pingDone);
    Ticker ticker;

    QElapsedTimer clock;
    clock.start();
    u.ping();
    EXPECT_LT(clock.elapsed(), 250); // a blocking probe would take its whole 400 ms here
    ASSERT_TRUE(done.wait(3000));
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_FALSE(done.at(0).at(0).toBool());
    EXPECT_GE(ticker.ticks, 10);
    QTest::qWait(300);
    EXPECT_EQ(done.count(), 1);
}

TEST(Ping, NewProbeReplacesOneInFlight)
{
    SilentListener silent;
    ASSERT_TRUE(silent.full());
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    GUtility u;
    u.setPingTimeout(400);
    u.setPingHost("127.0.0.1");
    u.setPingPort(silent.port());
    QSignalSpy done(&u, &GUtility::pingDone);
    u.ping();
    u.setPingPort(server.serverPort());
    u.ping();
    ASSERT_TRUE(done.wait(3000));
    QTest::qWait(600);
    ASSERT_EQ(done.count(), 1);
    EXPECT_TRUE(done.at(0).at(0).toBool());
}

TEST(Online, AnswersWithinItsTimeLimit)
{
    Ticker ticker;
    GUtility u;
    u.setOnlineTimeout(500);

    HttpServer answering(true);
    u.setOnlineUrl(answering.url());
    EXPECT_TRUE(u.isOnline());

    HttpServer silent(false);
    u.setOnlineUrl(silent.url());
    QElapsedTimer clock;
    clock.start();
    const int before = ticker.ticks;
    EXPECT_FALSE(u.isOnline());
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_GE(ticker.ticks - before, 10); // the event loop kept running meanwhile

    u.setOnlineUrl(QUrl(QString("http://127.0.0.1:%1/").arg(closedPort())));
    EXPECT_FALSE(u.isOnline());
}

TEST(Images, SizeOfFilesAndUrls)
{
    TempEnv env;
    GUtility u;
    const QString path = writeImage(env.path(), 120, 80);
    EXPECT_EQ(u.image_size(path), "120@80");
    EXPECT_EQ(u.image_size(QUrl::fromLocalFile(path).toString()), "120@80");
    EXPECT_EQ(u.image_size(QUrl::fromLocalFile(env.path() + "/missing.png").toString()), "0@0");
}

TEST(Images, CropScalesAndRotates)
{
    TempEnv env;
    GUtility u;
    const QString url = QUrl::fromLocalFile(writeImage(env.path(), 200, 100)).toString();
    bool ok = false;

    // Shown at half size: the rectangle is mapped back by the scale.
    QString out = cropAndWait(u, url, 45, 20, 20, 10, 0, 2.0, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(out.startsWith(QDir::tempPath() + "/{")) << out.toStdString();
    EXPECT_TRUE(out.endsWith("}.jpg"));
    QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(40, 20));
    EXPECT_TRUE(near(image.pixelColor(4, 4), Qt::red));
    EXPECT_TRUE(near(image.pixelColor(35, 15), Qt::white));
    EXPECT_TRUE(near(image.pixelColor(4, 15), Qt::blue));
    QFile::remove(out);

    // A quarter turn clockwise: the bottom-left quadrant (blue) comes to the top left.
    out = cropAndWait(u, url, 0, 0, 100, 200, 90, 1.0, &ok);
    ASSERT_TRUE(ok);
    image = QImage(out);
    EXPECT_EQ(image.size(), QSize(100, 200));
    EXPECT_TRUE(near(image.pixelColor(10, 10), Qt::blue));
    EXPECT_TRUE(near(image.pixelColor(90, 190), Qt::green));
    QFile::remove(out);

    out = cropAndWait(u, QUrl::fromLocalFile(env.path() + "/none.png").toString(), 0, 0, 10, 10,
                      0, 1.0, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(out.isEmpty());
    out = cropAndWait(u, url, 0, 0, 0, 0, 0, 1.0, &ok);
    EXPECT_FALSE(ok);
}

TEST(Folders, TempFolderIsMadeOnceAndDatabaseFilesGo)
{
    TempEnv env;
    GUtility u;
    const QString temp = u.getTempDirectory();
    EXPECT_EQ(temp, env.cacheHome() + "/tavorlin/tavorlin/temp/");
    QFile marker(temp + "marker");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(u.getTempDirectory(), temp);
    EXPECT_TRUE(QFileInfo::exists(temp + "marker"));

    // Files go, folders stay; an empty path names nothing.
    QDir root(env.path());
    ASSERT_TRUE(root.mkpath("store/databases/keep"));
    for (const char *name : {"a.sqlite", ".hidden"}) {
        QFile f(root.filePath(QString("store/databases/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    u.delete_db_file(root.filePath("store"));
    EXPECT_EQ(QDir(root.filePath("store/databases"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"keep"}));
    u.delete_db_file("");
}

// The singleton probes the host and port of the settings, again 1.5 s after each success, and
// drops the server link on the first failure.
TEST(UtilitiesSingleton, PingCycleFollowsTheSettings)
{
    TempEnv env;
    auto engine = TempEnv::engine();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *s = server.nextPendingConnection()) {
            ++connections;
            s->deleteLater();
        }
    });

    QString error;
    // The cycle runs while the server link counts as connected.
    auto o = TempEnv::create(*engine,
                             "QtObject {\n"
                             "  property var u: Utilities\n"
                             "  Component.onCompleted: { try { Sockets.connected = true } catch (e) {} }\n"
                             "  function setTarget(h, p) { Settings.set_value('ping_host', h);"
                             " Settings.set_value('ping_port', p) }\n"
                             "  function start() { Utilities.start_pinging() }\n"
                             "  function host() { return Utilities.probe_host() }\n"
                             "  function port() { return Utilities.probe_port() }\n"
                             "}\n",
                             &error);
    ASSERT_TRUE(o) << error.toStdString();
    auto *u = qobject_cast<GUtility *>(o->property("u").value<QObject *>());
    ASSERT_TRUE(u);

    QVariant host, port;
    ASSERT_TRUE(QMetaObject::invokeMethod(o.get(), "port", Q_RETURN_ARG(QVariant, port)));
    EXPECT_GT(port.toInt(), 0); // without a setting, the server link's port (3001 by default)

    QMetaObject::invokeMethod(o.get(), "setTarget", Q_ARG(QVariant, "127.0.0.1"),
                              Q_ARG(QVariant, int(server.serverPort())));
    ASSERT_TRUE(QMetaObject::invokeMethod(o.get(), "host", Q_RETURN_ARG(QVariant, host)));
    EXPECT_EQ(host.toString(), "127.0.0.1");

    QSignalSpy done(u, &GUtility::pingDone);
    QMetaObject::invokeMethod(o.get(), "start");
    QTest::qWait(2300);
    EXPECT_GE(connections, 2);
    ASSERT_GE(done.count(), 2);
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_EQ(u->pingPort(), server.serverPort());

    // Down: the first failure drops the link, and no probe follows until it opens again.
    server.close();
    QTest::qWait(100);
    done.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() > 0 && !done.last().at(0).toBool(); }, 6000));
    const int probes = done.count();
    QTest::qWait(2000);
    EXPECT_EQ(done.count(), probes);
}
