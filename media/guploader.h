#pragma once

// Uploads one local photo or video to the object store whose endpoint, bucket and credentials
// the server hands out, and reports the object's public name.

#include "media/s3client.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <memory>

class QMediaPlayer;
class QNetworkAccessManager;

namespace UGENERAL {

class ThumbnailUtil;

class GUploader : public QObject
{
    Q_OBJECT
public:
    explicit GUploader(QObject *parent = nullptr);
    ~GUploader() override;

    static constexpr qint64 kPartSize = 5242880;
    static const QString kInvalidFile;

    // The process-wide client, or null before the first makeClient.
    static std::shared_ptr<const S3Client> client();

Q_SIGNALS:
    void fileUploaded(bool success, QJsonObject result);
    void uploadProgress(qlonglong u, qlonglong t);

public Q_SLOTS:
    void start(QString path);
    void upload();
    void prepare(QString path, QString _date, bool multiPart);
    void uploadMultiPart(int part);
    qlonglong file_size(QString path);
    QString compressImage(QString _path);
    QString compressImageiOS(QString path);
    void finishUpload();
    void signalComplete();
    QString getBucketName();
    void makeClient();
    void setBucketName(QString i);
    void setAccessKey(QString i);
    void setSecretKey(QString i);
    void setEndpoint(QString i);
    void setForcePathStyle(bool force);

private Q_SLOTS:
    QString getTempDirectory();

private:
    QNetworkAccessManager *manager();
    void fail(const QString &message);
    void startPart(int part);
    // One PutObject; done() follows its success, the store's message its failure.
    void putObject(const S3Client &c, const QByteArray &key, const QByteArray &body, const QByteArray &type,
                   void (GUploader::*done)());
    void putThumbnail(const QString &path);
    void endThumbnail();
    QString compress(const QString &localPath, const QString &fallback);

    S3Parts completedParts_;
    QString filePath_;
    QByteArray objectKey_;
    // The last CreateMultipartUpload: its upload id once it succeeded, or its failure.
    bool createPending_ = false;
    S3Outcome createOutcome_;
    int waitingPart_ = -1;     // a part asked for while the create call is under way
    quint64 uploadSerial_ = 0; // answers of an earlier prepare are dropped
    QNetworkAccessManager *manager_ = nullptr;
    QPointer<QMediaPlayer> player_;
};

// Sends one part of a multipart upload on its own thread, and completes the upload after the
// last part.
class MultipartUpload : public QThread
{
    Q_OBJECT
public:
    MultipartUpload(QByteArray bucket, QByteArray key, S3Outcome createOutcome, S3Parts parts,
                    std::shared_ptr<const S3Client> client, int part, QString filePath,
                    QObject *parent = nullptr);

Q_SIGNALS:
    void fileUploaded(bool success, QJsonObject result);
    void finishUpload();
    void signalComplete();
    void partAdded(int part, QString tag);

protected:
    void run() override;

private:
    QByteArray bucket_;
    QByteArray key_;
    S3Outcome createOutcome_;
    S3Parts parts_;
    std::shared_ptr<const S3Client> client_;
    int part_;
    QString filePath_;
};

} // namespace UGENERAL
