// The signer against botocore's, and the native uploader against a local S3 server: a wrong
// secret refused with the store's message, a failed multipart create, a vanished file, photo
// re-encoding (HEIC too).
#include "media/guploader.h"
#include "media/s3client.h"
#include "mediatest.h"
#include "shell/tempenv.h"
#include "sync/testca.h"

#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QJsonObject describe(const S3Request &r, const S3Settings &s, const QDateTime &at)
{
    QJsonObject headers;
    // Only what the client signs; botocore signs every header it is given.
    if (r.request.hasRawHeader("x-amz-acl"))
        headers["x-amz-acl"] = QString::fromLatin1(r.request.rawHeader("x-amz-acl"));
    return QJsonObject{{"method", QString::fromLatin1(r.method)},
                       {"url", QString::fromLatin1(r.request.url().toEncoded())},
                       {"headers", headers},
                       {"body", QString::fromLatin1(r.body.toBase64())},
                       {"time", at.toString("yyyyMMdd'T'HHmmss'Z'")},
                       {"access", QString::fromLatin1(s.accessKey)},
                       {"secret", QString::fromLatin1(s.secretKey)},
                       {"region", QString::fromLatin1(s.region)}};
}

TEST(S3Signer, MatchesBotocoreForEveryCallAndAddressing)
{
    const QDateTime at(QDate(2026, 1, 15), QTime(8, 30, 5), Qt::UTC);
    QJsonArray asked;
    QList<QByteArray> ours;
    for (const bool pathStyle : {true, false}) {
        S3Settings s;
        s.endpoint = pathStyle ? "http://127.0.0.1:9000" : "https://store.example.com";
        s.accessKey = "AKIDEXAMPLE";
        s.secretKey = "wJalrXUtnFEMI/K7MDENG+bPxRfiCYEXAMPLEKEY";
        s.bucket = "media-bucket";
        s.forcePathStyle = pathStyle;
        S3Client client(s);
        const QByteArray key = "temp/2026/00/15/3b2a-name with space+plus.mp4";
        const QList<S3Request> requests{
            client.putObject(key, QByteArray(1000, 'x'), "video/mp4", at),
            client.createMultipartUpload(key, "video/mp4", at),
            client.uploadPart(key, "upl/oad=id+1", 2, QByteArray("part bytes"), at),
            client.completeMultipartUpload(key, "upl/oad=id+1", {{1, "\"etag-1\""}, {2, "\"etag-2\""}}, at)};
        for (const auto &r : requests) {
            asked.append(describe(r, s, at));
            ours.append(r.request.rawHeader("authorization"));
        }
        // The host header is the one sent, port included.
        EXPECT_EQ(requests[0].request.rawHeader("host"),
                  pathStyle ? QByteArray("127.0.0.1:9000") : QByteArray("media-bucket.store.example.com"));
    }
    EXPECT_TRUE(ours[1].contains("SignedHeaders=host;x-amz-acl;x-amz-content-sha256;x-amz-date"));

    QProcess python;
    python.start("/usr/bin/python3", {QStringLiteral(SOURCE_DIR "/botosign.py")});
    python.write(QJsonDocument(asked).toJson());
    python.closeWriteChannel();
    ASSERT_TRUE(python.waitForFinished(30000));
    const QJsonArray theirs = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(theirs.size(), ours.size()) << python.readAllStandardError().toStdString();
    for (int i = 0; i < ours.size(); ++i)
        EXPECT_EQ(ours[i].toStdString(), theirs[i].toString().toStdString()) << "request " << i;
}

class Uploader : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        env = new TempEnv;
        peer = mediatest::startS3(env->path() + "/s3").release();
    }
    static void TearDownTestSuite()
    {
        delete peer;
        delete env;
    }

    void SetUp() override { ASSERT_NE(peer, nullptr); }

    void configure(const char *secret, const char *bucket = "media", const QString &endpoint = {})
    {
        GUploader u;
        u.setEndpoint(endpoint.isEmpty() ? QStringLiteral("http://127.0.0.1:%1").arg(peer->port()) : endpoint);
        u.setAccessKey("S3RVER");
        u.setSecretKey(secret);
        u.setBucketName(bucket);
        u.setForcePathStyle(true);
        u.makeClient();
    }

    // Runs prepare and the first step; returns the result the uploader reported.
    QJsonObject run(GUploader &u, const QString &path, bool multiPart)
    {
        QSignalSpy spy(&u, &GUploader::fileUploaded);
        u.prepare(QUrl::fromLocalFile(path).toString(), "2026/00/15", multiPart);
        if (multiPart)
            u.uploadMultiPart(0);
        else
            u.upload();
        if (spy.isEmpty() && !spy.wait(15000))
            return {};
        return spy.first().at(1).toJsonObject();
    }

    static TempEnv *env;
    static Peer *peer;
};
TempEnv *Uploader::env = nullptr;
Peer *Uploader::peer = nullptr;

TEST_F(Uploader, StoreFailuresCarryTheStoreMessage)
{
    const QString path = env->path() + "/small.bin";
    mediatest::writeFile(path, 1000);
    GUploader u;

    configure("not-the-secret");
    QJsonObject r = run(u, path, false);
    EXPECT_FALSE(r.value("ok").toBool());
    EXPECT_TRUE(r.value("message").toString().contains("signature", Qt::CaseInsensitive))
        << r.value("message").toString().toStdString();

    // A create refused by the store is the failure of part 0, with its message.
    configure("S3RVER", "no-such-bucket");
    const QString big = env->path() + "/big.bin";
    mediatest::writeFile(big, GUploader::kPartSize + 10);
    r = run(u, big, true);
    EXPECT_FALSE(r.value("ok").toBool());
    EXPECT_TRUE(r.value("message").toString().contains("bucket", Qt::CaseInsensitive))
        << r.value("message").toString().toStdString();

    // A part refused by the store, over the worker's own socket. (The small last part: this
    // store answers a large one early and resets the connection, which may drop its answer.)
    configure("S3RVER");
    {
        QSignalSpy spy(&u, &GUploader::fileUploaded);
        u.prepare(QUrl::fromLocalFile(big).toString(), "2026/00/15", true);
        u.uploadMultiPart(0);
        ASSERT_TRUE(spy.wait(15000));
        ASSERT_TRUE(spy[0][0].toBool());
        configure("not-the-secret");
        u.uploadMultiPart(1);
        ASSERT_TRUE(spy.wait(15000));
        EXPECT_FALSE(spy[1][0].toBool());
        EXPECT_TRUE(spy[1][1].toJsonObject().value("message").toString().contains("signature", Qt::CaseInsensitive))
            << spy[1][1].toJsonObject().value("message").toString().toStdString();
    }

    configure("S3RVER");
    r = run(u, path, false);
    EXPECT_TRUE(r.value("ok").toBool());
    const QString name = r.value("content").toObject().value("file").toObject().value("name").toString();
    EXPECT_TRUE(name.startsWith(QStringLiteral("http://127.0.0.1:%1/temp/2026/00/15/").arg(peer->port())));
    EXPECT_TRUE(name.endsWith(".bin"));
}

TEST_F(Uploader, VanishedFileSendsNothingNotEvenTheEarlierFile)
{
    configure("S3RVER");
    const QString path = env->path() + "/first.bin";
    mediatest::writeFile(path, 500);
    GUploader u;
    ASSERT_TRUE(run(u, path, false).value("ok").toBool());

    QSignalSpy spy(&u, &GUploader::fileUploaded);
    u.prepare(QUrl::fromLocalFile(env->path() + "/gone.bin").toString(), "2026/00/15", false);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_FALSE(spy[0][0].toBool());
    EXPECT_EQ(spy[0][1].toJsonObject().value("message").toString(), GUploader::kInvalidFile);
    // What the component does next must not send the first file again.
    u.upload();
    u.uploadMultiPart(0);
    EXPECT_FALSE(spy.wait(1000));
    EXPECT_EQ(spy.size(), 1);
    EXPECT_EQ(u.file_size(QUrl::fromLocalFile(env->path() + "/gone.bin").toString()), -1);
    EXPECT_EQ(u.file_size(path), 500);
}

TEST_F(Uploader, PhotosAreScaledAndReencoded)
{
    GUploader u;
    struct Case { QSize in; QSize out; const char *suffix; };
    for (const Case &c : {Case{{4000, 3000}, {1920, 1440}, ".jpg"}, Case{{1000, 3000}, {640, 1920}, ".png"},
                          Case{{2000, 4000}, {1920, 3840}, ".JPG"}, Case{{800, 600}, {800, 600}, ".jpeg"}}) {
        QImage image(c.in, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = env->path() + "/photo" + QString::number(c.in.width()) + c.suffix;
        ASSERT_TRUE(image.save(path, QByteArray(c.suffix).mid(1).toLower() == "png" ? "png" : "jpg"));
        const QString out = u.compressImage(QUrl::fromLocalFile(path).toString());
        ASSERT_NE(out, path);
        QImageReader reader(out);
        EXPECT_EQ(reader.format(), "jpeg");
        EXPECT_EQ(reader.size(), c.out) << path.toStdString();
    }
    // Each compressed photo gets its own file, even within one millisecond.
    const QString a = u.compressImageiOS(env->path() + "/photo800.jpeg");
    const QString b = u.compressImageiOS(env->path() + "/photo800.jpeg");
    EXPECT_NE(a, b);
    // A file that is no image goes up as it is.
    const QString text = env->path() + "/notes.jpg";
    mediatest::writeFile(text, 100);
    EXPECT_EQ(u.compressImageiOS(text), text);

    // A HEIC photo is read and re-encoded like the others.
    QImage big(2400, 1600, QImage::Format_RGB32);
    big.fill(Qt::darkRed);
    ASSERT_TRUE(big.save(env->path() + "/src.png"));
    ASSERT_TRUE(mediatest::run("heif-enc", {"-q", "50", env->path() + "/src.png", "-o", env->path() + "/photo.heic"}));
    const QString heic = u.compressImageiOS(env->path() + "/photo.heic");
    ASSERT_TRUE(heic.endsWith(".jpg")) << heic.toStdString();
    EXPECT_EQ(QImageReader(heic).size(), QSize(1920, 1280));
}

// Over HTTPS the store's certificate is checked: trusted through the server link's extra
// authority, refused without it, on both the manager's path and the part workers' sockets.
TEST_F(Uploader, TlsIsVerified)
{
    const TestCa &ca = TestCa::get();
    ASSERT_TRUE(ca.ok);
    Peer::Options options;
    options.script = "s3server.js";
    options.extraArgs = {"--dir", (env->path() + "/s3tls").toStdString(), "--bucket", "media", "--tls"};
    Peer tls(options);
    ASSERT_TRUE(tls.start());
    const QString endpoint = QStringLiteral("https://127.0.0.1:%1").arg(tls.port());
    const QString small = env->path() + "/tls-small.bin";
    const QString big = env->path() + "/tls-big.bin";
    mediatest::writeFile(small, 100);
    mediatest::writeFile(big, GUploader::kPartSize + 10);

    GUploader u;
    qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));
    configure("S3RVER", "media", endpoint);
    EXPECT_TRUE(run(u, small, false).value("ok").toBool());
    QSignalSpy spy(&u, &GUploader::fileUploaded);
    u.prepare(QUrl::fromLocalFile(big).toString(), "2026/00/15", true);
    u.uploadMultiPart(0);
    ASSERT_TRUE(spy.wait(15000));
    ASSERT_TRUE(spy[0][0].toBool());
    u.uploadMultiPart(1);
    ASSERT_TRUE(spy.wait(15000));
    ASSERT_TRUE(spy[1][0].toBool());

    // Without the authority: refused on a part worker's socket (the create went out trusted,
    // the part after the client was remade) and on a new manager's path.
    GUploader w;
    QSignalSpy wSpy(&w, &GUploader::fileUploaded);
    w.prepare(QUrl::fromLocalFile(big).toString(), "2026/00/15", true);
    w.uploadMultiPart(0);
    qunsetenv("TAVORLIN_CA_FILE");
    configure("S3RVER", "media", endpoint);
    ASSERT_TRUE(wSpy.wait(15000));
    EXPECT_FALSE(wSpy[0][0].toBool());
    GUploader v;
    EXPECT_FALSE(run(v, small, false).value("ok").toBool());
    configure("S3RVER");
}

} // namespace
