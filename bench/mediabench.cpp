// Media transfer side by side with independent tools, against local peers started here
// (run by hand: build-*/bench/mediabench [--runs N]):
//   upload    a 50 MiB file to the local S3 server in 5 MiB parts: the program's uploader
//             against botocore's multipart upload of the same file, same parts, same server;
//   download  a 200 MiB file from the local HTTP server: the downloader against curl to a
//             file, with the downloader's resident memory growth;
//   compress  compressImage of a 4000 x 3000 photo.
// Prints medians and ratios.

#include "peer.h"

#include "media/gdownloader.h"
#include "media/guploader.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace UGENERAL;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long rssKb()
{
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void writeFile(const QString &path, qint64 size)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray block(1 << 20, Qt::Uninitialized);
    quint32 x = 12345;
    for (qint64 done = 0; done < size; done += block.size()) {
        for (int i = 0; i < block.size(); ++i) {
            x = x * 1664525u + 1013904223u;
            block[i] = char(x >> 24);
        }
        f.write(block.constData(), std::min<qint64>(block.size(), size - done));
    }
}

std::unique_ptr<Peer> start(const char *script, const QString &dir, std::vector<std::string> extra = {})
{
    Peer::Options options;
    options.script = script;
    options.extraArgs = {"--dir", dir.toStdString()};
    options.extraArgs.insert(options.extraArgs.end(), extra.begin(), extra.end());
    auto peer = std::make_unique<Peer>(options);
    if (!peer->start()) {
        std::fprintf(stderr, "%s did not start\n", script);
        std::exit(1);
    }
    return peer;
}

// One multipart upload through the uploader as the component walks it; seconds, or -1.
double ourUpload(const QString &path)
{
    GUploader u;
    const qint64 size = u.file_size(path);
    int index = 0;
    bool done = false;
    bool ok = false;
    QEventLoop loop;
    QObject::connect(&u, &GUploader::fileUploaded, [&](bool success, const QJsonObject &result) {
        if (success && result.value("ok").toBool() && size - qint64(index + 1) * GUploader::kPartSize > 0) {
            u.uploadMultiPart(++index);
            return;
        }
        ok = success && result.value("ok").toBool();
        done = true;
        loop.quit();
    });
    QElapsedTimer t;
    t.start();
    u.prepare(QUrl::fromLocalFile(path).toString(), "2026/00/15", true);
    u.uploadMultiPart(0);
    if (!done)
        loop.exec();
    return ok ? t.nsecsElapsed() / 1e9 : -1;
}

double botoUpload(const QString &endpoint, const QString &path, int run)
{
    QProcess p;
    p.start("/usr/bin/python3", {QStringLiteral(BENCH_DIR "/botoupload.py"), endpoint, "media",
                                 QStringLiteral("boto/%1.bin").arg(run), path,
                                 QString::number(GUploader::kPartSize)});
    p.waitForFinished(300000);
    bool ok = false;
    const double s = p.readAllStandardOutput().trimmed().toDouble(&ok);
    if (!ok)
        std::fprintf(stderr, "botocore: %s\n", p.readAllStandardError().constData());
    return ok ? s : -1;
}

double ourDownload(const QString &url, long *growthKb)
{
    GDownloader d;
    d.setCache(true);
    d.setForce(true);
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&d, &GDownloader::finished, [&] { ok = true; loop.quit(); });
    QObject::connect(&d, &GDownloader::downloadError, [&] { loop.quit(); });
    const long before = rssKb();
    long peak = before;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, rssKb()); });
    sampler.start(20);
    QElapsedTimer t;
    t.start();
    d.downloadUrl(url);
    loop.exec();
    const double s = t.nsecsElapsed() / 1e9;
    *growthKb = std::max(peak, rssKb()) - before;
    return ok ? s : -1;
}

double curlDownload(const QString &url, const QString &out)
{
    QElapsedTimer t;
    t.start();
    const int rc = QProcess::execute("curl", {"-s", "-o", out, url});
    return rc == 0 ? t.nsecsElapsed() / 1e9 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--runs")
            runs = std::max(1, atoi(argv[i + 1]));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);

    // Upload.
    const QString upFile = dir.path() + "/up.bin";
    writeFile(upFile, 50LL * 1024 * 1024);
    auto s3 = start("s3server.js", dir.path() + "/s3", {"--bucket", "media"});
    const QString endpoint = QStringLiteral("http://127.0.0.1:%1").arg(s3->port());
    {
        GUploader u;
        u.setEndpoint(endpoint);
        u.setAccessKey("S3RVER");
        u.setSecretKey("S3RVER");
        u.setBucketName("media");
        u.setForcePathStyle(true);
        u.makeClient();
    }
    std::vector<double> ours, boto;
    ourUpload(upFile);   // warm-up of both sides
    botoUpload(endpoint, upFile, 0);
    for (int r = 0; r < runs; ++r) {
        ours.push_back(ourUpload(upFile));
        boto.push_back(botoUpload(endpoint, upFile, r + 1));
    }
    std::printf("upload 50 MiB in 5 MiB parts  ours %.3f s  botocore %.3f s  ours/botocore time %.2f\n",
                median(ours), median(boto), median(ours) / median(boto));
    s3.reset();

    // Download.
    QDir().mkpath(dir.path() + "/www/big");
    writeFile(dir.path() + "/www/big/file.bin", 200LL * 1024 * 1024);
    auto http = start("httpserver.js", dir.path() + "/www");
    const QString url = QStringLiteral("http://127.0.0.1:%1/files/big/file.bin").arg(http->port());
    std::vector<double> dl, curl;
    std::vector<double> growth;
    long g = 0;
    ourDownload(url, &g);
    curlDownload(url, dir.path() + "/curl.bin");
    for (int r = 0; r < runs; ++r) {
        dl.push_back(ourDownload(url, &g));
        growth.push_back(g);
        curl.push_back(curlDownload(url, dir.path() + "/curl.bin"));
    }
    const double mib = 200.0;
    std::printf("download 200 MiB  ours %.3f s (%.0f MiB/s)  curl %.3f s (%.0f MiB/s)  throughput ours/curl %.2f  "
                "resident growth median %.1f MiB\n",
                median(dl), mib / median(dl), median(curl), mib / median(curl), median(curl) / median(dl),
                median(growth) / 1024);
    http.reset();

    // Compression.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb(x * 255 / 4000, y * 255 / 3000, (x ^ y) & 255);
    }
    const QString photoPath = dir.path() + "/photo.jpg";
    photo.save(photoPath, "jpg", 92);
    GUploader u;
    std::vector<double> comp;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        QElapsedTimer t;
        t.start();
        const QString out = u.compressImage(QUrl::fromLocalFile(photoPath).toString());
        comp.push_back(t.nsecsElapsed() / 1e6);
        QFile::remove(out);
    }
    std::printf("compressImage 4000 x 3000 JPEG  median %.1f ms\n", median(comp));
    return 0;
}
