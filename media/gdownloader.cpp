#include "media/gdownloader.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>

namespace UGENERAL {

namespace {

// The time of the last speed report, shared by every downloader (all on the GUI thread).
qint64 lastSpeedReport = 0;

// One path element that cannot leave its folder: no separators, never empty, "." or "..".
QString safeElement(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    bool onlyDots = true;
    for (const QChar c : name)
        onlyDots = onlyDots && c == QLatin1Char('.');
    if (onlyDots)
        name.prepend(QLatin1Char('_'));
    return name;
}

} // namespace

GDownloader::GDownloader(QObject *parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this))
{
}

GDownloader::~GDownloader()
{
    dropTarget();
}

// Each download writes its own part file: two downloaders of one address (the same photo in
// two rows of a list) must not write into one file.
QString GDownloader::partPath(const QString &path)
{
    static quint64 serial = 0;
    return path + QLatin1Char('.') + QString::number(++serial) + QStringLiteral(".part");
}

// Stops a running download and removes what it wrote; a download is kept only once complete.
void GDownloader::dropTarget()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    reply_ = nullptr;
    if (file_) {
        if (file_->isOpen())
            file_->close();
        if (inProgress_)
            file_->remove();
        file_->deleteLater();
        file_ = nullptr;
    }
    inProgress_ = false;
}

QString GDownloader::cacheFolderName(const QUrl &url)
{
    const QString text = url.toString(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::FullyEncoded);
    const int last = text.lastIndexOf(QLatin1Char('/'));
    const int before = last > 0 ? text.lastIndexOf(QLatin1Char('/'), last - 1) : -1;
    return safeElement(last > 0 ? text.mid(before + 1, last - before - 1) : QString());
}

QString GDownloader::cacheFileName(const QUrl &url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    const QString encoded = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return safeElement(QUrl::fromPercentEncoding(encoded.toUtf8()));
}

void GDownloader::downloadUrl(QString url)
{
    dropTarget();
    const QUrl u(url);
    QString folder;
    if (cache_) {
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
            + QStringLiteral("/data/") + cacheFolderName(u) + QLatin1Char('/');
    } else {
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
            + QStringLiteral("/tavorlin/");
    }
    QDir().mkpath(folder);
    downloadPath_ = folder + cacheFileName(u);

    QFile target(downloadPath_);
    if (target.exists() && target.size() == 0)
        target.remove();
    if (target.exists() && !force_) {
        const qint64 size = target.size();
        Q_EMIT progress(size, size);
        Q_EMIT finished();
        return;
    }
    fetch(url);
}

void GDownloader::downloadUpdateUrl(QString url)
{
    dropTarget();
    downloadPath_ = QStringLiteral("t.exe");
    QFile target(downloadPath_);
    if (target.exists() && target.size() == 0)
        target.remove();
    if (cache_ && target.exists()) {
        if (!force_) {
            const qint64 size = target.size();
            Q_EMIT progress(size, size);
        }
        Q_EMIT finished();
        return;
    }
    fetch(url);
}

void GDownloader::fetch(const QString &url)
{
    file_ = new QFile(partPath(downloadPath_));
    if (!file_->open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        delete file_;
        file_ = nullptr;
        return;
    }
    inProgress_ = true;
    bytesSinceReport_ = 0;
    QNetworkRequest request{QUrl(url)};
    // Media hosts may redirect; never to a less safe scheme.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = manager_->get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, &GDownloader::downloadProgress);
    connect(reply_, &QNetworkReply::finished, this, &GDownloader::downloadFinished);
    connect(reply_, &QNetworkReply::readyRead, this, &GDownloader::downloadReadyRead);
    connect(reply_, &QNetworkReply::errorOccurred, this, &GDownloader::error);
}

void GDownloader::downloadProgress(qlonglong value, qlonglong total)
{
    Q_EMIT progress(value, total);
}

void GDownloader::downloadReadyRead()
{
    if (!reply_ || !file_ || reply_->error() != QNetworkReply::NoError)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (lastSpeedReport == 0)
        lastSpeedReport = now;
    const qint64 elapsed = now - lastSpeedReport;
    if (elapsed >= 200) {
        const qint64 rate = bytesSinceReport_ * 1000 / elapsed / 1024;
        lastSpeedReport = now;
        bytesSinceReport_ = 0;
        Q_EMIT speed(rate);
    }
    bytesSinceReport_ += reply_->bytesAvailable();
    // Read through one reused buffer rather than a new array per chunk.
    if (buffer_.size() < kChunk)
        buffer_.resize(kChunk);
    qint64 n;
    while ((n = reply_->read(buffer_.data(), buffer_.size())) > 0)
        file_->write(buffer_.constData(), n);
    file_->flush();
}

void GDownloader::downloadFinished()
{
    bytesSinceReport_ = 0;
    QNetworkReply *reply = reply_;
    if (!reply || !file_)
        return;
    reply_ = nullptr;
    reply->deleteLater();
    QNetworkReply::NetworkError code = reply->error();
    if (code == QNetworkReply::NoError) {
        if (reply->bytesAvailable() > 0)
            file_->write(reply->readAll());
        // A body cut short without a network error is no finished download.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && file_->size() < length.toLongLong())
            code = QNetworkReply::RemoteHostClosedError;
    }
    file_->close();
    if (code == QNetworkReply::NoError) {
        // rename(2) replaces an older file in one step, so a reader never sees a missing file.
        const bool moved = std::rename(QFile::encodeName(file_->fileName()).constData(),
                                       QFile::encodeName(downloadPath_).constData()) == 0;
        if (!moved) {
            qDebug() << "Error: cannot move the download into place:" << downloadPath_;
            code = QNetworkReply::UnknownContentError;
        }
    }
    if (code != QNetworkReply::NoError) {
        file_->remove();
        file_->deleteLater();
        file_ = nullptr;
        inProgress_ = false;
        Q_EMIT downloadError(code);
        return;
    }
    qDebug() << "Finished downloading.";
    file_->deleteLater();
    file_ = nullptr;
    inProgress_ = false;
    Q_EMIT finished();
}

void GDownloader::error(QNetworkReply::NetworkError code)
{
    qDebug() << "Error: " + QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(code));
    Q_EMIT downloadError(code);
}

QString GDownloader::getDownloadPath()
{
    return downloadPath_;
}

void GDownloader::setCache(bool cache)
{
    cache_ = cache;
}

void GDownloader::setForce(bool force)
{
    force_ = force;
}

} // namespace UGENERAL
