#include "media/thumbnailutil.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QStandardPaths>
#include <QUrl>

namespace UGENERAL {

ThumbnailUtil::ThumbnailUtil(QMediaPlayer *player) : QAbstractVideoSurface(player), player_(player)
{
    watchdog_.setSingleShot(true);
    watchdog_.setInterval(kNoFrameMs);
    connect(&watchdog_, &QTimer::timeout, this, [this] { giveUp(QStringLiteral("no frame in time")); });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        // The backend may report the media buffered without reporting it loaded first.
        if ((s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia) && !loaded_) {
            loaded_ = true;
            if (!saved_ && !ended_)
                watchdog_.start();
        }
        else if (s == QMediaPlayer::EndOfMedia)
            giveUp(QStringLiteral("the video ended before a frame was taken"));
        else if (s == QMediaPlayer::InvalidMedia)
            giveUp(QStringLiteral("the video cannot be played"));
    });
    connect(player_, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this,
            [this](QMediaPlayer::Error) { giveUp(player_->errorString()); });
    // Also when the media never even loads; restarted once it has.
    watchdog_.start();
}

ThumbnailUtil::~ThumbnailUtil() = default;

QString ThumbnailUtil::tempDirectory()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
        + QStringLiteral("/temp/");
    QDir().mkpath(dir);
    return dir;
}

QList<QVideoFrame::PixelFormat>
ThumbnailUtil::supportedPixelFormats(QAbstractVideoBuffer::HandleType) const
{
    QList<QVideoFrame::PixelFormat> formats;
    for (int f = QVideoFrame::Format_ARGB32; f <= QVideoFrame::Format_AdobeDng; ++f)
        formats.append(QVideoFrame::PixelFormat(f));
    return formats;
}

bool ThumbnailUtil::present(const QVideoFrame &frame)
{
    // A seek past the end of a short clip plays it from the start: frames before the 3 s mark
    // are not the ones asked for.
    if (frame.startTime() >= 0 && frame.startTime() < kStartMs * 1000)
        return true;
    ++frameCount_;
    if (frameCount_ <= 10 || saved_ || ended_)
        return true;
    qDebug() << "proccessing frame number = " << frameCount_;
    qDebug() << "getting frame to image";
    qDebug() << "frame format is = " << frame.pixelFormat();
    // Decoders hand over YUV frames with no matching QImage format: image() converts them.
    QImage image = frame.image();
    if (image.isNull()) {
        qDebug() << "the frame gave no image";
        return true;
    }
    image = image.scaled(500, 500, Qt::KeepAspectRatio, Qt::FastTransformation);
    path_ = QString::number(QDateTime::currentMSecsSinceEpoch()) + QStringLiteral(".jpg");
    const QString full = tempDirectory() + path_;
    qDebug() << "writing image = " << path_;
    QImageWriter writer(full, "jpg");
    writer.setQuality(90);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    const bool ok = writer.write(image);
    qDebug() << "result = " << ok;
    if (!ok) {
        qDebug() << writer.errorString();
        return true;
    }
    saved_ = true;
    watchdog_.stop();
    Q_EMIT frameSaved(full);
    player_->pause();
    player_->deleteLater();
    return true;
}

void ThumbnailUtil::giveUp(const QString &why)
{
    if (saved_ || ended_)
        return;
    ended_ = true;
    watchdog_.stop();
    qDebug() << "no thumbnail:" << why;
    Q_EMIT noFrame();
    player_->stop();
    player_->deleteLater();
}

ThumbnailUtil *ThumbnailUtil::start(const QString &localFile, QObject *owner)
{
    qDebug() << "setting up player";
    auto *player = new QMediaPlayer(owner, QMediaPlayer::VideoSurface);
    auto *surface = new ThumbnailUtil(player);
    player->setVideoOutput(surface);
    QObject::connect(player, &QMediaPlayer::positionChanged, surface,
                     [](qint64 p) { qDebug() << "position : " << p; });
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, surface,
                     [](QMediaPlayer::MediaStatus s) { qDebug() << "status : " << s; });
    QObject::connect(player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), surface,
                     [](QMediaPlayer::Error e) { qDebug() << int(e); });
    qDebug() << "media : " << localFile;
    player->setMedia(QUrl::fromLocalFile(localFile));
    player->setPosition(kStartMs);
    player->play();
    return surface;
}

} // namespace UGENERAL
