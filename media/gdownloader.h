#pragma once

// Fetches one HTTP(S) URL into a local file, with a simple disk cache keyed by the URL's last
// folder and file name, and reports progress, speed, completion and errors.

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

class QFile;
class QNetworkAccessManager;

namespace UGENERAL {

class GDownloader : public QObject
{
    Q_OBJECT
public:
    explicit GDownloader(QObject *parent = nullptr);
    ~GDownloader() override;

    Q_INVOKABLE void downloadUrl(QString url);
    Q_INVOKABLE void downloadUpdateUrl(QString url);

    // The cache file of a URL: its last folder and file name, each made safe to use as one path
    // element, so every target stays inside the cache folder.
    static QString cacheFolderName(const QUrl &url);
    static QString cacheFileName(const QUrl &url);

Q_SIGNALS:
    void progress(qlonglong value, qlonglong total);
    void speed(qlonglong speed);
    void finished();
    void downloadError(QNetworkReply::NetworkError);
    void getFileSize(QString url);

private Q_SLOTS:
    void downloadProgress(qlonglong, qlonglong);
    void downloadFinished();
    void downloadReadyRead();
    void error(QNetworkReply::NetworkError);

public Q_SLOTS:
    QString getDownloadPath();
    void setCache(bool cache);
    void setForce(bool force);

private:
    void fetch(const QString &url);
    void dropTarget();
    static QString partPath(const QString &path);

    QNetworkAccessManager *manager_;
    qint64 bytesSinceReport_ = 0;
    QPointer<QNetworkReply> reply_;
    QFile *file_ = nullptr;   // the ".part" file being written
    QString downloadPath_;
    bool cache_ = false;
    bool force_ = false;
    bool inProgress_ = false;
    QByteArray buffer_;
    static constexpr int kChunk = 256 * 1024;
};

} // namespace UGENERAL
