// The downloader against a local HTTP server, with HOME and the XDG folders in a temporary
// directory: cache hits, leftovers, force, redirects, failures that leave nothing behind, and
// names that must not leave the cache folder.
#include "media/gdownloader.h"
#include "mediatest.h"
#include "shell/tempenv.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QStandardPaths>

#include <gtest/gtest.h>

using UGENERAL::GDownloader;

namespace {

class Downloader : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        env = new TempEnv;
        www = env->path() + "/www";
        QDir().mkpath(www + "/a");
        QDir().mkpath(www + "/b");
        Peer::Options options;
        options.script = "httpserver.js";
        options.extraArgs = {"--dir", www.toStdString()};
        server = new Peer(options);
        serverOk = server->start();
    }
    static void TearDownTestSuite()
    {
        delete server;
        delete env;
    }

    void SetUp() override { ASSERT_TRUE(serverOk); }

    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(server->port()).arg(path); }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Runs one download to its end; true for finished, false for an error or nothing at all.
    bool fetch(GDownloader &d, const QString &address, std::size_t *requestsMade = nullptr)
    {
        const std::size_t before = server->all("request").size();
        QSignalSpy done(&d, &GDownloader::finished);
        QSignalSpy failed(&d, &GDownloader::downloadError);
        d.downloadUrl(address);
        (void)QTest::qWaitFor([&] { return !done.isEmpty() || !failed.isEmpty(); }, 10000);
        // A second error signal may follow the first.
        QTest::qWait(100);
        if (requestsMade)
            *requestsMade = server->all("request").size() - before;
        return !done.isEmpty() && failed.isEmpty();
    }

    // No part file is left in the folder.
    static bool noParts(const QString &folder)
    {
        return QDir(folder).entryList({"*.part"}, QDir::Files).isEmpty();
    }

    static QString cacheRoot()
    {
        return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/data/";
    }

    static TempEnv *env;
    static QString www;
    static Peer *server;
    static bool serverOk;
};
TempEnv *Downloader::env = nullptr;
QString Downloader::www;
Peer *Downloader::server = nullptr;
bool Downloader::serverOk = false;

TEST_F(Downloader, CacheHitsLeftoversForceAndFolders)
{
    const QByteArray a = mediatest::writeFile(www + "/a/photo.jpg", 70000);
    const QByteArray b = mediatest::writeFile(www + "/b/photo.jpg", 50000);
    GDownloader d;
    d.setCache(true);
    std::size_t made = 0;
    ASSERT_TRUE(fetch(d, url("files/a/photo.jpg"), &made));
    EXPECT_EQ(made, 1u);
    EXPECT_EQ(d.getDownloadPath(), cacheRoot() + "a/photo.jpg");
    EXPECT_EQ(read(d.getDownloadPath()), a);
    EXPECT_TRUE(noParts(cacheRoot() + "a"));

    // Served from the cache, with progress(size, size) first.
    QSignalSpy progress(&d, &GDownloader::progress);
    ASSERT_TRUE(fetch(d, url("files/a/photo.jpg"), &made));
    EXPECT_EQ(made, 0u);
    ASSERT_EQ(progress.size(), 1);
    EXPECT_EQ(progress[0][0].toLongLong(), 70000);
    EXPECT_EQ(progress[0][1].toLongLong(), 70000);

    // The same name in another folder is another cache entry.
    ASSERT_TRUE(fetch(d, url("files/b/photo.jpg")));
    EXPECT_EQ(d.getDownloadPath(), cacheRoot() + "b/photo.jpg");
    EXPECT_EQ(read(d.getDownloadPath()), b);

    // An empty leftover is fetched again.
    QFile(cacheRoot() + "a/photo.jpg").resize(0);
    ASSERT_TRUE(fetch(d, url("files/a/photo.jpg"), &made));
    EXPECT_EQ(made, 1u);
    EXPECT_EQ(read(cacheRoot() + "a/photo.jpg"), a);

    // Force fetches again and replaces the cached file.
    const QByteArray changed = mediatest::writeFile(www + "/a/photo.jpg", 30000);
    d.setForce(true);
    ASSERT_TRUE(fetch(d, url("files/a/photo.jpg"), &made));
    EXPECT_EQ(made, 1u);
    EXPECT_EQ(read(cacheRoot() + "a/photo.jpg"), changed);
    d.setForce(false);

    // Two downloaders of one address at once each get the whole file.
    {
        const QByteArray big = mediatest::writeFile(www + "/b/same.bin", 4 * 1024 * 1024);
        GDownloader one, two;
        one.setCache(true);
        two.setCache(true);
        QSignalSpy oneDone(&one, &GDownloader::finished);
        QSignalSpy twoDone(&two, &GDownloader::finished);
        one.downloadUrl(url("files/b/same.bin"));
        two.downloadUrl(url("files/b/same.bin"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !oneDone.isEmpty() && !twoDone.isEmpty(); }, 10000));
        ASSERT_EQ(oneDone.size(), 1);
        ASSERT_EQ(twoDone.size(), 1);
        EXPECT_EQ(read(cacheRoot() + "b/same.bin"), big);
        EXPECT_TRUE(noParts(cacheRoot() + "b"));
    }

    // A redirect is followed to the file itself.
    ASSERT_TRUE(fetch(d, url("redirect/b/photo.jpg")));
    EXPECT_EQ(read(d.getDownloadPath()), b);

    // Without the cache, downloads go to the pictures folder.
    d.setCache(false);
    ASSERT_TRUE(fetch(d, url("files/b/photo.jpg")));
    EXPECT_EQ(d.getDownloadPath(),
              QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/tavorlin/photo.jpg");
    EXPECT_TRUE(d.getDownloadPath().startsWith(env->path()));
    EXPECT_EQ(read(d.getDownloadPath()), b);
}

TEST_F(Downloader, FailuresLeaveNothingBehind)
{
    mediatest::writeFile(www + "/a/big.bin", 3 * 1024 * 1024);
    GDownloader d;
    d.setCache(true);
    QSignalSpy failed(&d, &GDownloader::downloadError);
    EXPECT_FALSE(fetch(d, url("files/a/missing.jpg")));
    ASSERT_FALSE(failed.isEmpty());
    EXPECT_EQ(failed[0][0].value<QNetworkReply::NetworkError>(), QNetworkReply::ContentNotFoundError);
    EXPECT_FALSE(QFile::exists(cacheRoot() + "a/missing.jpg"));
    EXPECT_TRUE(noParts(cacheRoot() + "a"));

    // Half the body, then the connection drops: no cache file, and the next call asks again.
    for (int round = 0; round < 2; ++round) {
        std::size_t made = 0;
        EXPECT_FALSE(fetch(d, url("cut/big.bin"), &made));
        EXPECT_EQ(made, 1u);
        EXPECT_FALSE(QFile::exists(cacheRoot() + "cut/big.bin"));
        EXPECT_TRUE(noParts(cacheRoot() + "cut"));
    }

    // A downloader destroyed in the middle of a download leaves no partial file.
    {
        GDownloader gone;
        gone.setCache(true);
        gone.downloadUrl(url("files/a/big.bin"));
        QTest::qWait(30);
    }
    QTest::qWait(100);
    EXPECT_TRUE(noParts(cacheRoot() + "a"));
}

TEST_F(Downloader, NamesStayInsideTheCache)
{
    const QString root = cacheRoot();
    const QStringList urls{url("files/.."), url("files/../.."), url("%2E%2E/%2E%2E"),
                           url("files/a%2F..%2F..%2Fevil.jpg"), url("files/%2E%2E%2F%2E%2E%2Fx"),
                           url("files/"), url(""), url("a%2F..%2F../x.jpg")};
    GDownloader d;
    d.setCache(true);
    for (const QString &u : urls) {
        d.downloadUrl(u);
        const QString path = QDir::cleanPath(d.getDownloadPath());
        EXPECT_TRUE(path.startsWith(QDir::cleanPath(root) + "/")) << u.toStdString() << " -> " << path.toStdString();
        // One folder below the cache root, and a file name of its own.
        EXPECT_EQ(path.mid(QDir::cleanPath(root).size() + 1).count('/'), 1) << path.toStdString();
        QTest::qWait(50);
    }
}

TEST_F(Downloader, QmlSeesErrorsAndTheUpdateGoesToItsFile)
{
    mediatest::writeFile(www + "/a/setup.exe", 20000);
    auto engine = TempEnv::engine();
    QString error;
    auto d = TempEnv::create(*engine, R"(
Downloader {
    property int errors: 0
    property int code: -1
    property bool done: false
    onDownloadError: { errors += 1; code = arguments[0] }
    onFinished: done = true
}
)", &error);
    ASSERT_TRUE(d) << error.toStdString();
    QMetaObject::invokeMethod(d.get(), "setCache", Q_ARG(bool, true));
    QMetaObject::invokeMethod(d.get(), "downloadUrl", Q_ARG(QString, url("files/a/none.png")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->property("errors").toInt() >= 2; }, 10000));
    // The error reaches QML with its code, once from the reply and once at its end.
    EXPECT_EQ(d->property("errors").toInt(), 2);
    EXPECT_EQ(d->property("code").toInt(), int(QNetworkReply::ContentNotFoundError));

    // The installer goes to "t.exe" in the working folder; with the cache on, a second call
    // takes the file already there.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(env->path());
    QMetaObject::invokeMethod(d.get(), "downloadUpdateUrl", Q_ARG(QString, url("files/a/setup.exe")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->property("done").toBool(); }, 10000));
    EXPECT_EQ(read(env->path() + "/t.exe").size(), 20000);
    const std::size_t before = server->all("request").size();
    d->setProperty("done", false);
    QMetaObject::invokeMethod(d.get(), "downloadUpdateUrl", Q_ARG(QString, url("files/a/setup.exe")));
    EXPECT_TRUE(d->property("done").toBool());
    EXPECT_EQ(server->all("request").size(), before);
    QDir::setCurrent(previous);
}

} // namespace
