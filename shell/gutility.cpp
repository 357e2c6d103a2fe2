#include "shell/gutility.h"

#include "shell/pingclass.h"
#include "shell/registration.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QInputMethod>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QScreen>
#include <QWindow>
#include <QSysInfo>
#include <QTimer>
#include <QTransform>
#include <QUuid>
#include <QtConcurrent>

namespace UGENERAL {

namespace {

const int kDefaultOnlineTimeoutMs = 5000;

// QML hands over URLs ("file:///...", "qrc:/..."); a bare path is taken as it is.
QString localPath(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    return pathOrUrl;
}

// The crop itself, run on the pool; returns the written file or an empty text.
QString cropImage(const QString &pathImage, double x, double y, double width, double height,
                  int rotate, double scale)
{
    QImage image(localPath(pathImage));
    if (image.isNull())
        return QString();
    if (rotate != 0) {
        QTransform rotation;
        rotation.rotate(rotate);
        image = image.transformed(rotation, Qt::SmoothTransformation);
    }
    const QRect rect(int(x * scale), int(y * scale), int(width * scale), int(height * scale));
    // QImage::copy takes an empty rectangle as the whole image.
    if (rect.isEmpty())
        return QString();
    const QImage cropped = image.copy(rect);
    if (cropped.isNull())
        return QString();

    qDebug() << "Start Croped";
    const QString path = QDir::tempPath() + QLatin1Char('/') + QUuid::createUuid().toString()
                         + QStringLiteral(".jpg");
    if (!cropped.save(path) || !QFileInfo::exists(path))
        return QString();
    qDebug() << "Save Croped";
    return path;
}

QString subFolder(QStandardPaths::StandardLocation location, const QString &name)
{
    const QString path = QStandardPaths::writableLocation(location) + QLatin1Char('/') + name
                         + QLatin1Char('/');
    QDir dir(path);
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));
    return path;
}

} // namespace

GUtility::GUtility(QObject *parent)
    : QObject(parent),
      m_ping(new PingClass(this)),
      m_onlineUrl(QStringLiteral("http://example.com/")),
      m_onlineTimeoutMs(kDefaultOnlineTimeoutMs)
{
    connect(m_ping, &PingClass::pingDone, this, &GUtility::pingDone);
}

QString GUtility::pingHost() const
{
    return m_ping->host();
}

void GUtility::setPingHost(const QString &host)
{
    if (host == m_ping->host())
        return;
    m_ping->setHost(host);
    Q_EMIT pingHostChanged();
}

int GUtility::pingPort() const
{
    return m_ping->port();
}

void GUtility::setPingPort(int port)
{
    if (port == m_ping->port())
        return;
    m_ping->setPort(port);
    Q_EMIT pingPortChanged();
}

void GUtility::setPingTimeout(int msecs)
{
    m_ping->setTimeout(msecs);
}

void GUtility::ping()
{
    m_ping->OnPing();
}

bool GUtility::isOnline()
{
    QNetworkAccessManager manager;
    QNetworkRequest request(m_onlineUrl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(m_onlineTimeoutMs);
    QNetworkReply *reply = manager.get(request);

    // Waits with the event loop running, and never longer than the time limit.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    limit.start(m_onlineTimeoutMs);
    if (!reply->isFinished())
        loop.exec();

    const bool online = reply->isFinished() && reply->bytesAvailable() > 0;
    if (!reply->isFinished())
        reply->abort();
    delete reply;
    return online;
}

QString GUtility::offline_storage_path()
{
    return offlineStoragePath();
}

QString GUtility::os_name()
{
    return QSysInfo::prettyProductName();
}

QString GUtility::architecture_name()
{
    qDebug() << "bootUniqueId" << QSysInfo::bootUniqueId();
    qDebug() << "buildAbi" << QSysInfo::buildAbi();
    qDebug() << "buildCpuArchitecture" << QSysInfo::buildCpuArchitecture();
    qDebug() << "currentCpuArchitecture" << QSysInfo::currentCpuArchitecture();
    qDebug() << "kernelType" << QSysInfo::kernelType();
    qDebug() << "kernelVersion" << QSysInfo::kernelVersion();
    qDebug() << "machineHostName" << QSysInfo::machineHostName();
    qDebug() << "machineUniqueId" << QSysInfo::machineUniqueId();
    qDebug() << "prettyProductName" << QSysInfo::prettyProductName();
    qDebug() << "productType" << QSysInfo::productType();
    qDebug() << "productVersion" << QSysInfo::productVersion();
    return QSysInfo::machineHostName();
}

QString GUtility::myIP()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                qDebug() << "IP::::::::::::::::::" << entry.ip().toString();
        }
    }
    // The device record has always carried an empty address; the server relies on nothing else.
    return QString();
}

QString GUtility::image_size(const QString &path_image)
{
    try {
        QImageReader reader(localPath(path_image));
        QSize size = reader.size();
        if (!size.isValid()) {
            const QImage image = reader.read();
            if (image.isNull())
                qDebug() << "Null";
            size = image.size();
        }
        return QString::number(qMax(0, size.width())) + QLatin1Char('@')
               + QString::number(qMax(0, size.height()));
    } catch (...) {
        return QString();
    }
}

void GUtility::image_crop(const QString &path_image, double x, double y, double width,
                          double height, int rotate, double scale)
{
    // Decoding, rotating and encoding a photo takes long enough to stall the window, so it
    // runs on the pool; the answer comes back here as before, through imageCroped.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher] {
        const QString path = watcher->result();
        watcher->deleteLater();
        Q_EMIT imageCroped(!path.isEmpty(), path);
    });
    watcher->setFuture(QtConcurrent::run([=] {
        return cropImage(path_image, x, y, width, height, rotate, scale);
    }));
}

void GUtility::keyboard_close()
{
    if (QInputMethod *im = QGuiApplication::inputMethod())
        im->hide();
}

QString GUtility::getPicturesDirectory()
{
    return subFolder(QStandardPaths::PicturesLocation, QStringLiteral("tavorlin"));
}

QString GUtility::getTempDirectory()
{
    return subFolder(QStandardPaths::CacheLocation, QStringLiteral("temp"));
}

QVariantMap GUtility::available_geometry()
{
    QVariantMap geometry;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return geometry;
    const QRect free = screen->availableGeometry();
    geometry.insert(QStringLiteral("x"), free.x());
    geometry.insert(QStringLiteral("y"), free.y());
    geometry.insert(QStringLiteral("width"), free.width());
    geometry.insert(QStringLiteral("height"), free.height());
    geometry.insert(QStringLiteral("screen_width"), screen->geometry().width());
    geometry.insert(QStringLiteral("screen_height"), screen->geometry().height());
    return geometry;
}

QVariantMap GUtility::frame_margins(QObject *window)
{
    QMargins margins;
    if (auto *w = qobject_cast<QWindow *>(window))
        margins = w->frameMargins();
    return {{QStringLiteral("left"), margins.left()}, {QStringLiteral("top"), margins.top()},
            {QStringLiteral("right"), margins.right()}, {QStringLiteral("bottom"), margins.bottom()}};
}

QUrl GUtility::picker_folder(const QString &last)
{
    const QString lastPath = last.startsWith(QLatin1String("file:")) ? QUrl(last).toLocalFile() : last;
    if (!lastPath.isEmpty() && QFileInfo(lastPath).isDir())
        return QUrl::fromLocalFile(QFileInfo(lastPath).absoluteFilePath());
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(folder);
    return QUrl::fromLocalFile(folder);
}

void GUtility::closeAllDialogs()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::closeAllWindows();
}

void GUtility::copyToClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

QString GUtility::readAnimation(const QString &path)
{
    QString resource = path;
    const int at = resource.indexOf(QLatin1String("qrc:/"));
    if (at >= 0)
        resource.replace(at, 5, QLatin1String(":"));
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void GUtility::delete_db_file(const QString &path)
{
    // An empty path would name "/databases/" at the root of the file system.
    if (path.isEmpty())
        return;
    QDir dir(path + QStringLiteral("/databases/"));
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : files)
        dir.remove(name);
}

} // namespace UGENERAL
