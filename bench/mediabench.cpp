// Media transfer side by side with independent tools, against local peers started here
// (run by hand: build-*/bench/mediabench [--runs N]):
//   upload    a 50 MiB file to the local S3 server in 5 MiB parts: the program's uploader
//             against botocore's multipart upload of the same file, same parts, same server;
//   download  a 200 MiB file from the local HTTP server: the downloader against curl to a
//             file, with the downloader's resident memory growth; curl is timed both as a whole
//             process (start-up included) and by its own -w %{time_total} (the transfer alone);
//   compress  compressImage of a 4000 x 3000 photo.
// Prints medians with the fastest and slowest run [min - max], and ratios of the medians.

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
#include <string>
#include <vector>

using namespace UGENERAL;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// "median [min - max]" with the given format for each figure.
std::string spread(const std::vector<double> &v, const char *format)
{
    if (v.empty())
        return "-";
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    char m[32], a[32], b[32];
    std::snprintf(m, sizeof m, format, median(v));
    std::snprintf(a, sizeof a, format, *low);
    std::snprintf(b, sizeof b, format, *high);
    return std::string(m) + " [" + a + " - " + b + "]";
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

// The whole curl process in seconds, or -1; *transfer gets curl's own time_total.
double curlDownload(const QString &url, const QString &out, double *transfer)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start("curl", {"-s", "-o", out, "-w", "%{time_total}", url});
    const bool finished = p.waitForFinished(300000);
    const double whole = t.nsecsElapsed() / 1e9;
    bool ok = false;
    *transfer = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    if (!ok)
        *transfer = -1;
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? whole : -1;
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
    std::printf("upload 50 MiB in 5 MiB parts\n  ours      %s s\n  botocore  %s s (its own timing)\n"
                "  ours/botocore time %.2f\n",
                spread(ours, "%.3f").c_str(), spread(boto, "%.3f").c_str(), median(ours) / median(boto));
    s3.reset();

    // Download.
    QDir().mkpath(dir.path() + "/www/big");
    writeFile(dir.path() + "/www/big/file.bin", 200LL * 1024 * 1024);
    auto http = start("httpserver.js", dir.path() + "/www");
    const QString url = QStringLiteral("http://127.0.0.1:%1/files/big/file.bin").arg(http->port());
    std::vector<double> dl, curl, curlOwn;
    std::vector<double> growth;
    long g = 0;
    double own = 0;
    ourDownload(url, &g);
    curlDownload(url, dir.path() + "/curl.bin", &own);
    for (int r = 0; r < runs; ++r) {
        dl.push_back(ourDownload(url, &g));
        growth.push_back(g / 1024.0);
        curl.push_back(curlDownload(url, dir.path() + "/curl.bin", &own));
        curlOwn.push_back(own);
    }
    const double mib = 200.0;
    std::printf("download 200 MiB\n  ours                 %s s (%.0f MiB/s)\n"
                "  curl, whole process  %s s (%.0f MiB/s)\n  curl, its time_total %s s (%.0f MiB/s)\n"
                "  throughput ours/curl %.2f (whole process), %.2f (time_total)\n"
                "  resident growth      %s MiB\n",
                spread(dl, "%.3f").c_str(), mib / median(dl), spread(curl, "%.3f").c_str(), mib / median(curl),
                spread(curlOwn, "%.3f").c_str(), mib / median(curlOwn), median(curl) / median(dl),
                median(curlOwn) / median(dl), spread(growth, "%.1f").c_str());
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
    std::printf("compressImage 4000 x 3000 JPEG  %s ms\n", spread(comp, "%.1f").c_str());
    return 0;
}
