#include "media/guploader.h"

#include "media/thumbnailutil.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJsonDocument>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>

#include <cstdio>

namespace UGENERAL {

namespace {

// One set of store settings for the whole process, written on the GUI thread only.
struct Settings
{
    QByteArray bucket;
    QByteArray accessKey;
    QByteArray secretKey;
    QByteArray endpoint;
    bool forcePathStyle = false;
};

Settings &settings()
{
    static Settings s;
    return s;
}

std::shared_ptr<const S3Client> &sharedClient()
{
    static std::shared_ptr<const S3Client> c;
    return c;
}

QJsonObject failure(const QString &message)
{
    return QJsonObject{{"ok", false}, {"message", message}};
}

void printLine(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The local file a caller names: a URL's local file, or the text itself when it is a plain path.
QString localFileOf(const QString &path)
{
    const QString local = QUrl(path).toLocalFile();
    return local.isEmpty() ? path : local;
}

bool readable(const QString &path)
{
    QFile f(path);
    return f.exists() && f.open(QIODevice::ReadOnly);
}

} // namespace

const QString GUploader::kInvalidFile = QStringLiteral("فایل انتخابی معتبر نمی باشد!");

GUploader::GUploader(QObject *parent) : QObject(parent) {}

GUploader::~GUploader() = default;

std::shared_ptr<const S3Client> GUploader::client()
{
    return sharedClient();
}

QNetworkAccessManager *GUploader::manager()
{
    if (!manager_)
        manager_ = new QNetworkAccessManager(this);
    return manager_;
}

void GUploader::fail(const QString &message)
{
    Q_EMIT fileUploaded(false, failure(message));
}

void GUploader::start(QString) {}

void GUploader::upload()
{
    if (filePath_.isEmpty() || objectKey_.isEmpty())
        return;
    const auto c = client();
    QFile file(filePath_);
    if (!c || !file.open(QIODevice::ReadOnly)) {
        fail(kInvalidFile);
        return;
    }
    const QByteArray body = file.readAll();
    file.close();
    putObject(*c, objectKey_, body, QMimeDatabase().mimeTypeForFile(filePath_).name().toUtf8(), &GUploader::finishUpload);
}

void GUploader::prepare(QString path, QString _date, bool multiPart)
{
    ++uploadSerial_;
    createPending_ = false;
    createOutcome_ = S3Outcome();
    waitingPart_ = -1;
    const QString local = localFileOf(path);
    if (!readable(local)) {
        // Nothing of an earlier upload may be sent in this one's place.
        filePath_.clear();
        objectKey_.clear();
        fail(kInvalidFile);
        return;
    }
    filePath_ = local;
    const QString name = QFileInfo(local).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    objectKey_ = ("temp/" + _date + "/" + QUuid::createUuid().toString(QUuid::WithoutBraces) + extension).toUtf8();
    if (!multiPart)
        return;

    const auto c = client();
    if (!c) {
        createOutcome_.message = QStringLiteral("no store client");
        return;
    }
    // Sent without waiting, so the window stays live; part 0 starts on its answer.
    createPending_ = true;
    const QByteArray type = QMimeDatabase().mimeTypeForFile(local).name().toUtf8();
    QNetworkReply *reply = S3Client::send(manager(), c->createMultipartUpload(objectKey_, type));
    const quint64 serial = uploadSerial_;
    connect(reply, &QNetworkReply::finished, this, [this, reply, serial] {
        reply->deleteLater();
        if (serial != uploadSerial_)
            return;
        createPending_ = false;
        createOutcome_ = S3Client::outcome(reply);
        if (createOutcome_.ok && createOutcome_.uploadId.isEmpty()) {
            createOutcome_.ok = false;
            createOutcome_.message = QStringLiteral("no upload id in the store's answer");
        }
        if (!createOutcome_.ok)
            printLine("Error: CreateMultipartUpload: " + createOutcome_.message);
        const int part = waitingPart_;
        waitingPart_ = -1;
        if (part >= 0)
            startPart(part);
    });
}

void GUploader::uploadMultiPart(int part)
{
    if (filePath_.isEmpty() || objectKey_.isEmpty() || part < 0)
        return;
    if (part == 0)
        completedParts_.clear();
    if (createPending_) {
        waitingPart_ = part;
        return;
    }
    startPart(part);
}

void GUploader::startPart(int part)
{
    // A failed create is the failure of the upload's first part, with the store's message.
    if (!createOutcome_.ok) {
        fail(createOutcome_.message.isEmpty() ? QStringLiteral("no multipart upload") : createOutcome_.message);
        return;
    }
    auto *worker = new MultipartUpload(settings().bucket, objectKey_, createOutcome_, completedParts_,
                                       client(), part, filePath_);
    // Every notice goes to the uploader that started the part, and only while the upload it
    // belongs to is still this uploader's current one.
    const quint64 serial = uploadSerial_;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &MultipartUpload::fileUploaded, this, [this, serial](bool success, const QJsonObject &result) {
        if (serial == uploadSerial_)
            Q_EMIT fileUploaded(success, result);
    });
    connect(worker, &MultipartUpload::finishUpload, this, [this, serial] {
        if (serial == uploadSerial_)
            finishUpload();
    });
    connect(worker, &MultipartUpload::signalComplete, this, [this, serial] {
        if (serial == uploadSerial_)
            signalComplete();
    });
    connect(worker, &MultipartUpload::partAdded, this, [this, serial](int p, const QString &tag) {
        if (serial == uploadSerial_)
            completedParts_.append({p + 1, tag.toUtf8()});
    });
    worker->start();
}

qlonglong GUploader::file_size(QString path)
{
    const QString local = path.startsWith(QLatin1String("file:")) ? QUrl(path).toLocalFile() : path;
    QFile f(local);
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) {
        qDebug() << "error opening file!";
        return -1;
    }
    return f.size();
}

QString GUploader::compress(const QString &localPath, const QString &fallback)
{
    QImage image(localPath);
    if (image.isNull())
        return fallback;
    const int w = image.width();
    const int h = image.height();
    const float ratio = float(h) / float(w);
    if (w > 1920 || h > 1920) {
        QSize target;
        if (w > 1920)
            target = QSize(1920, int(ratio * 1920));
        else
            target = QSize(int(1920 / ratio), 1920);
        image = image.scaled(target, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    // Named by the time; two photos compressed in one millisecond must not share a file.
    const QString dir = getTempDirectory();
    qint64 stamp = QDateTime::currentMSecsSinceEpoch();
    QString out = dir + QString::number(stamp) + QStringLiteral(".jpg");
    while (QFile::exists(out))
        out = dir + QString::number(++stamp) + QStringLiteral(".jpg");
    qDebug() << "COMPRESS PATH:" << out;
    QImageWriter writer(out, "jpg");
    writer.setQuality(60);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    return writer.write(image) ? out : fallback;
}

QString GUploader::compressImage(QString _path)
{
    const QString local = QUrl(_path).toLocalFile();
    return compress(local, local);
}

QString GUploader::compressImageiOS(QString path)
{
    return compress(path, path);
}

void GUploader::finishUpload()
{
    if (!objectKey_.endsWith(".mp4")) {
        signalComplete();
        return;
    }
    if (player_)
        player_->deleteLater();
    ThumbnailUtil *surface = ThumbnailUtil::start(filePath_, this);
    player_ = qobject_cast<QMediaPlayer *>(surface->parent());
    const quint64 serial = uploadSerial_;
    connect(surface, &ThumbnailUtil::frameSaved, this, [this, serial](const QString &path) {
        if (serial == uploadSerial_)
            putThumbnail(path);
    }, Qt::QueuedConnection);
    // A video without a usable frame still counts as uploaded.
    connect(surface, &ThumbnailUtil::noFrame, this, [this, serial] {
        if (serial == uploadSerial_)
            signalComplete();
    }, Qt::QueuedConnection);
}

void GUploader::putObject(const S3Client &c, const QByteArray &key, const QByteArray &body, const QByteArray &type,
                          void (GUploader::*done)())
{
    QNetworkReply *reply = S3Client::send(manager(), c.putObject(key, body, type));
    const quint64 serial = uploadSerial_;
    connect(reply, &QNetworkReply::finished, this, [this, reply, key, serial, done] {
        reply->deleteLater();
        if (serial != uploadSerial_)
            return;
        const S3Outcome o = S3Client::outcome(reply);
        if (o.ok) {
            printLine("Success: PutObjectAsyncFinished: Finished uploading '" + QString::fromUtf8(key) + "'.");
            (this->*done)();
        } else {
            printLine("Error: PutObjectAsyncFinished: " + o.message);
            fail(o.message);
        }
    });
}

void GUploader::putThumbnail(const QString &path)
{
    qDebug() << "thumbnail path = " << path;
    const auto c = client();
    QFile file(path);
    if (!c || !file.open(QIODevice::ReadOnly)) {
        fail(kInvalidFile);
        return;
    }
    const QByteArray body = file.readAll();
    file.close();
    const int dot = objectKey_.lastIndexOf('.');
    putObject(*c, objectKey_.left(dot) + ".jpg", body, "image/jpeg", &GUploader::signalComplete);
}

void GUploader::signalComplete()
{
    const QString name = QString::fromUtf8(settings().endpoint) + "/" + QString::fromUtf8(objectKey_);
    Q_EMIT fileUploaded(true, QJsonObject{{"ok", true},
                                          {"content", QJsonObject{{"file", QJsonObject{{"name", name}}}}}});
}

QString GUploader::getBucketName()
{
    return QString::fromUtf8(settings().bucket);
}

void GUploader::makeClient()
{
    const Settings &s = settings();
    S3Settings c;
    c.endpoint = s.endpoint;
    c.accessKey = s.accessKey;
    c.secretKey = s.secretKey;
    c.bucket = s.bucket;
    c.forcePathStyle = s.forcePathStyle;
    sharedClient() = std::make_shared<const S3Client>(c);
}

void GUploader::setBucketName(QString i) { settings().bucket = i.toUtf8(); }
void GUploader::setAccessKey(QString i) { settings().accessKey = i.toUtf8(); }
void GUploader::setSecretKey(QString i) { settings().secretKey = i.toUtf8(); }
void GUploader::setEndpoint(QString i) { settings().endpoint = i.toUtf8(); }
void GUploader::setForcePathStyle(bool force) { settings().forcePathStyle = force; }

QString GUploader::getTempDirectory()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
        + QStringLiteral("/temp/");
    QDir().mkpath(dir);
    return dir;
}

MultipartUpload::MultipartUpload(QByteArray bucket, QByteArray key, S3Outcome createOutcome,
                                 S3Parts parts, std::shared_ptr<const S3Client> client, int part,
                                 QString filePath, QObject *parent)
    : QThread(parent), bucket_(std::move(bucket)), key_(std::move(key)),
      createOutcome_(std::move(createOutcome)), parts_(std::move(parts)), client_(std::move(client)),
      part_(part), filePath_(std::move(filePath))
{
}

void MultipartUpload::run()
{
    QFile file(filePath_);
    if (!client_ || !file.exists() || !file.open(QIODevice::ReadOnly)) {
        Q_EMIT fileUploaded(false, failure(GUploader::kInvalidFile));
        return;
    }
    const qint64 start = qint64(part_) * GUploader::kPartSize;
    const bool last = file.size() - start <= GUploader::kPartSize;
    QByteArray bytes;
    if (file.seek(start))
        bytes = file.read(GUploader::kPartSize);
    file.close();

    // Blocking sends on this thread's own socket: the part goes out whole, not 16 KiB per turn
    // of an event loop.
    const S3Outcome sent = S3Client::sendBlocking(
        client_->uploadPart(key_, createOutcome_.uploadId, part_ + 1, bytes));
    if (!sent.ok) {
        Q_EMIT fileUploaded(false, failure(sent.message));
        return;
    }
    if (!last) {
        Q_EMIT partAdded(part_, QString::fromUtf8(sent.etag));
        Q_EMIT signalComplete();
        return;
    }
    parts_.append({part_ + 1, sent.etag});
    const S3Outcome done = S3Client::sendBlocking(
        client_->completeMultipartUpload(key_, createOutcome_.uploadId, parts_));
    if (done.ok) {
        Q_EMIT finishUpload();
    } else {
        printLine("Error: PutObjectAsyncFinished: " + done.message);
        Q_EMIT fileUploaded(false, failure(done.message));
    }
}

} // namespace UGENERAL
