#pragma once

// Helpers shared by the media tests: the local S3 server, reading objects back, and files made
// for the uploads.

#include "sync/peer.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <memory>

namespace mediatest {

inline std::unique_ptr<Peer> startS3(const QString &dir, const char *bucket = "media")
{
    Peer::Options options;
    options.script = "s3server.js";
    options.extraArgs = {"--dir", dir.toStdString(), "--bucket", bucket};
    auto peer = std::make_unique<Peer>(options);
    if (!peer->start())
        return nullptr;
    return peer;
}

// One GET (the local store serves unsigned requests); status 0 when nothing came back.
inline QByteArray httpGet(const QString &url, int *status = nullptr, int timeoutMs = 10000)
{
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    delete reply;
    return body;
}

inline QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// A file of `size` bytes of a pattern that differs from part to part.
inline QByteArray writeFile(const QString &path, qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    quint32 x = quint32(size) * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[int(i)] = char(x >> 24);
    }
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return bytes;
}

inline bool run(const QString &program, const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// An H.264 clip in yuv420p, as phones make them.
inline bool makeVideo(const QString &path, int width, int height, int seconds)
{
    return run(QStringLiteral("ffmpeg"),
               {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                QStringLiteral("testsrc=size=%1x%2:rate=25").arg(width).arg(height), "-t",
                QString::number(seconds), "-pix_fmt", "yuv420p", "-c:v", "libx264", "-preset",
                "ultrafast", path});
}

} // namespace mediatest
