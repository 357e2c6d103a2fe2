// Uploads end to end through UCloudUploader: the real Sockets asks the fixture agency server for
// the store's settings, and the files go to the local S3 server, whose objects are read back.
#include "media/guploader.h"
#include "mediatest.h"
#include "qml/qmlharness.h"
#include "shell/tempenv.h"
#include "store/sharedstate.h"
#include "sync/testca.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char kHarness[] = R"(
import QtQuick 2.15
import com 1.0
Item {
    id: root
    property var results: ({})
    property var errors: ({})
    property var refreshed: ({})
    property var uploaders: ({})
    function connectTo(port) { Sockets.ip = "127.0.0.1"; Sockets.port = port; Sockets.initial() }
    function note(list, name, value) {
        var copy = root[list]
        copy[name] = value
        root[list] = copy
    }
    Component {
        id: picture
        QtObject {
            property string name
            function refresh(done, total, percent) { root.note("refreshed", name, (root.refreshed[name] || []).concat([done])) }
            function finishedSuccessfully() {}
            function error() { root.note("errors", name, true) }
        }
    }
    Component { id: maker; UCloudUploader {} }
    function upload(name, file) {
        var u = maker.createObject(root)
        u.uploadingImage = picture.createObject(u, {"name": name})
        u.finished.connect(function (data) { root.note("results", name, data.name) })
        u.file = file
        note("uploaders", name, u)
        u.start()
    }
}
)";

QStringList logged;

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    logged.append(message);
    if (type == QtDebugMsg && (message.startsWith("#RESPONSE") || message.startsWith("#REQUEST")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message.left(300)));
}

class UploadPeer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Compressed photos and thumbnails go to the cache folder, here a temporary one.
        env = new TempEnv;
        dir = new QTemporaryDir;
        s3 = mediatest::startS3(dir->path() + "/s3").release();
        Peer::Options options;
        options.script = "agencyserver.js";
        options.extraArgs = {"--files", "10", "--contacts", "10"};
        agency = new Peer(options);
        agencyOk = agency->start();
        mediatest::makeVideo(dir->path() + "/clip.mp4", 1920, 1080, 5);
        mediatest::makeVideo(dir->path() + "/short.mp4", 320, 240, 1);
        // GStreamer scans its plug-ins on first use: do it before anything is timed.
        QMediaPlayer warm;
        warm.setMedia(QUrl::fromLocalFile(dir->path() + "/short.mp4"));
        QmlHarness::waitUntil([&] { return warm.mediaStatus() >= QMediaPlayer::LoadedMedia; }, 30000);
    }
    static void TearDownTestSuite()
    {
        delete agency;
        delete s3;
        delete dir;
        delete env;
    }

    void SetUp() override
    {
        ASSERT_NE(s3, nullptr);
        ASSERT_TRUE(agencyOk);
        previous = qInstallMessageHandler(quietHandler);
        const TestCa &ca = TestCa::get();
        qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));
        ASSERT_TRUE(storeDir.isValid());
        UGENERAL::openSharedStore(storeDir.path().toStdString());
        const QJsonObject target{
            {"endpoint", QStringLiteral("http://127.0.0.1:%1").arg(s3->port())},
            {"credentials", QJsonObject{{"accessKeyId", "S3RVER"}, {"secretAccessKey", "S3RVER"}}},
            {"bucket", "media"},
            {"forcePathStyle", true}};
        const std::size_t mark = agency->mark();
        agency->command(QJsonDocument(QJsonObject{{"cmd", "aws_target"}, {"target", target}})
                            .toJson(QJsonDocument::Compact).toStdString());
        ASSERT_TRUE(agency->waitFor("armed", 10000, mark));
        std::string error;
        ASSERT_TRUE(qml.load(kHarness, QStringLiteral("uploadpeer.qml"), &error)) << error;
        qml.eval(QStringLiteral("connectTo(%1)").arg(agency->port()));
        ASSERT_TRUE(qml.until("Sockets.connected", 15000));
    }

    void TearDown() override
    {
        qml.reset();
        UGENERAL::closeSharedStore();
        qInstallMessageHandler(previous);
    }

    QString upload(const QString &name, const QString &path, int timeoutMs = 30000)
    {
        qml.eval(QStringLiteral("upload('%1', '%2')").arg(name, QUrl::fromLocalFile(path).toString()));
        if (!qml.until(QStringLiteral("results['%1'] !== undefined || errors['%1'] === true").arg(name), timeoutMs))
            return QStringLiteral("timeout");
        return qml.eval(QStringLiteral("results['%1'] || 'error'").arg(name)).toString();
    }

    // The object behind a reported name, read back from the store.
    QByteArray stored(const QString &name, int *status = nullptr)
    {
        const QString prefix = QStringLiteral("http://127.0.0.1:%1/").arg(s3->port());
        return mediatest::httpGet(prefix + "media/" + name.mid(prefix.size()), status);
    }

    std::size_t requests(const std::string &name, std::size_t from = 0)
    {
        std::size_t n = 0;
        for (const auto &line : agency->all("request", from))
            n += field(*line, "name") == name;
        return n;
    }

    static TempEnv *env;
    static QTemporaryDir *dir;
    static Peer *s3;
    static Peer *agency;
    static bool agencyOk;
    QTemporaryDir storeDir;
    QmlHarness qml;
    QtMessageHandler previous = nullptr;
};
TempEnv *UploadPeer::env = nullptr;
QTemporaryDir *UploadPeer::dir = nullptr;
Peer *UploadPeer::s3 = nullptr;
Peer *UploadPeer::agency = nullptr;
bool UploadPeer::agencyOk = false;

TEST_F(UploadPeer, SinglePartAndMultipartObjectsEqualTheirFiles)
{
    const qint64 part = UGENERAL::GUploader::kPartSize;
    const bool first = UGENERAL::GUploader().getBucketName().isEmpty();
    const std::size_t before = requests("aws_target");
    if (first) {
        // Settings refused (a reply without content): the upload fails and nothing is kept.
        mediatest::writeFile(dir->path() + "/refused.bin", 10);
        const std::size_t mark = agency->mark();
        agency->command(R"({"cmd":"fail","name":"aws_target","mode":"null"})");
        ASSERT_TRUE(agency->waitFor("armed", 10000, mark));
        EXPECT_EQ(upload("refused", dir->path() + "/refused.bin"), "error");
        EXPECT_TRUE(UGENERAL::GUploader().getBucketName().isEmpty());
    }
    struct Case { const char *name; qint64 size; int parts; };
    for (const Case &c : {Case{"exact", part, 1}, Case{"onemore", part + 1, 2}, Case{"two", 2 * part, 2}}) {
        const QString path = dir->path() + "/" + c.name + ".bin";
        const QByteArray bytes = mediatest::writeFile(path, c.size);
        const QString name = upload(c.name, path);
        ASSERT_TRUE(name.startsWith("http://")) << c.name << ": " << name.toStdString();
        const QDate today = QDate::currentDate();
        EXPECT_TRUE(name.contains(QStringLiteral("/temp/%1/%2/%3/").arg(today.year())
                                      .arg(today.month() - 1, 2, 10, QLatin1Char('0'))
                                      .arg(today.day(), 2, 10, QLatin1Char('0'))))
            << name.toStdString();
        int status = 0;
        EXPECT_EQ(mediatest::sha256(stored(name, &status)), mediatest::sha256(bytes)) << c.name;
        EXPECT_EQ(status, 200);
        // The progress picture saw one step per part, at each part's first byte.
        const QVariantList steps = qml.eval(QStringLiteral("refreshed['%1'] || []").arg(c.name)).toList();
        EXPECT_EQ(steps.size(), c.parts == 1 ? 0 : c.parts) << c.name;
    }
    // The settings are asked for once per process (after the refused ask), and the secret key
    // is never logged.
    EXPECT_EQ(requests("aws_target") - before, first ? 2u : 0u);
    EXPECT_FALSE(logged.join('\n').contains("S3RVER"));
}

TEST_F(UploadPeer, VideosGetTheirThumbnailBeforeSuccess)
{
    const QString name = upload("video", dir->path() + "/clip.mp4", 60000);
    ASSERT_TRUE(name.endsWith(".mp4")) << name.toStdString();
    int status = 0;
    const QByteArray thumb = stored(name.left(name.size() - 4) + ".jpg", &status);
    ASSERT_EQ(status, 200);
    EXPECT_EQ(QImage::fromData(thumb).size(), QSize(500, 281));

    // A clip that ends before a frame is taken is still uploaded, without a thumbnail.
    const QString shortName = upload("short", dir->path() + "/short.mp4", 60000);
    ASSERT_TRUE(shortName.endsWith(".mp4")) << shortName.toStdString();
    stored(shortName.left(shortName.size() - 4) + ".jpg", &status);
    EXPECT_EQ(status, 404);

    // And one that plays but brings no eleventh frame in time (a frame every 10 s): given up
    // 10 s after it loaded.
    ASSERT_TRUE(mediatest::run("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                          "testsrc=size=320x240:rate=0.1", "-t", "200", "-pix_fmt", "yuv420p",
                                          "-c:v", "libx264", dir->path() + "/slow.mp4"}));
    QElapsedTimer waited;
    waited.start();
    const QString slow = upload("slow", dir->path() + "/slow.mp4", 40000);
    ASSERT_TRUE(slow.endsWith(".mp4")) << slow.toStdString();
    EXPECT_GE(waited.elapsed(), 9000);
    stored(slow.left(slow.size() - 4) + ".jpg", &status);
    EXPECT_EQ(status, 404);

    // So is one the player cannot decode.
    mediatest::writeFile(dir->path() + "/junk.mp4", 4000);
    const QString junk = upload("junk", dir->path() + "/junk.mp4", 30000);
    ASSERT_TRUE(junk.endsWith(".mp4")) << junk.toStdString();
    stored(junk.left(junk.size() - 4) + ".jpg", &status);
    EXPECT_EQ(status, 404);
}

TEST_F(UploadPeer, TwoUploadersGetTheirOwnResultsAndVanishedFilesFail)
{
    const QString a = dir->path() + "/a.bin";
    const QString b = dir->path() + "/b.bin";
    const QByteArray aBytes = mediatest::writeFile(a, UGENERAL::GUploader::kPartSize + 100);
    const QByteArray bBytes = mediatest::writeFile(b, 300);
    qml.eval(QStringLiteral("upload('a', '%1'); upload('b', '%2')")
                 .arg(QUrl::fromLocalFile(a).toString(), QUrl::fromLocalFile(b).toString()));
    ASSERT_TRUE(qml.until("results['a'] !== undefined && results['b'] !== undefined", 30000));
    EXPECT_EQ(mediatest::sha256(stored(qml.eval("results['a']").toString())), mediatest::sha256(aBytes));
    EXPECT_EQ(mediatest::sha256(stored(qml.eval("results['b']").toString())), mediatest::sha256(bBytes));

    EXPECT_EQ(upload("gone", dir->path() + "/gone.bin"), "error");
    EXPECT_EQ(upload("gonephoto", dir->path() + "/gone.jpg"), "error");

    // A photo goes up re-encoded, under a ".jpg" key.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(dir->path() + "/photo.png"));
    const QString name = upload("photo", dir->path() + "/photo.png");
    ASSERT_TRUE(name.endsWith(".jpg")) << name.toStdString();
    EXPECT_EQ(QImage::fromData(stored(name)).size(), QSize(1920, 1440));
    // Upper-case PNG is not among the endings that are re-encoded.
    ASSERT_TRUE(photo.save(dir->path() + "/photo2.PNG", "png"));
    EXPECT_TRUE(upload("png", dir->path() + "/photo2.PNG").endsWith(".PNG"));
}

} // namespace
