#pragma once

// Takes one still picture of a video: the media player plays into this surface, which saves the
// eleventh frame it is shown as a small JPEG in the temporary folder.

#include <QAbstractVideoSurface>
#include <QMediaPlayer>
#include <QString>
#include <QTimer>

namespace UGENERAL {

class ThumbnailUtil : public QAbstractVideoSurface
{
    Q_OBJECT
public:
    // The surface's parent is the player that feeds it.
    explicit ThumbnailUtil(QMediaPlayer *player);
    ~ThumbnailUtil() override;

    QList<QVideoFrame::PixelFormat>
    supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const override;
    bool present(const QVideoFrame &frame) override;

    // Plays a local video from 3 s into this surface (made with the player as its parent).
    static ThumbnailUtil *start(const QString &localFile, QObject *owner);

    static constexpr int kNoFrameMs = 10000;
    static constexpr qint64 kStartMs = 3000;

Q_SIGNALS:
    void frameSaved(QString path);
    // No frame will come: the player failed, the video ended, or nothing arrived in time.
    void noFrame();

private:
    void giveUp(const QString &why);
    static QString tempDirectory();

    QString path_;
    int frameCount_ = 0;
    QMediaPlayer *player_;
    bool saved_ = false;
    bool ended_ = false;
    bool loaded_ = false;
    QTimer watchdog_;
};

} // namespace UGENERAL
