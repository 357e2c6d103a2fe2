#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

namespace UGENERAL {

class PingClass;

// Platform services for QML: the reachability probe, the online check, folders, image size and
// crop, clipboard and system information.
class GUtility : public QObject
{
    Q_OBJECT
    // Where the reachability probe connects; the Utilities singleton points it at the server.
    Q_PROPERTY(QString ping_host READ pingHost WRITE setPingHost NOTIFY pingHostChanged)
    Q_PROPERTY(int ping_port READ pingPort WRITE setPingPort NOTIFY pingPortChanged)
public:
    explicit GUtility(QObject *parent = nullptr);

    QString pingHost() const;
    void setPingHost(const QString &host);
    int pingPort() const;
    void setPingPort(int port);
    void setPingTimeout(int msecs);

    // The page isOnline fetches and how long it waits for it.
    void setOnlineUrl(const QUrl &url) { m_onlineUrl = url; }
    void setOnlineTimeout(int msecs) { m_onlineTimeoutMs = msecs; }

public Q_SLOTS:
    void ping();
    bool isOnline();
    QString offline_storage_path();
    QString os_name();
    QString architecture_name();
    QString myIP();
    QString image_size(const QString &path_image);
    void image_crop(const QString &path_image, double x, double y, double width, double height,
                    int rotate, double scale);
    void keyboard_close();
    QString getPicturesDirectory();
    QString getTempDirectory();
    void closeAllDialogs();
    void copyToClipboard(const QString &text);
    QString readAnimation(const QString &path);
    void delete_db_file(const QString &path);
    // The primary screen: its free area (without panels and docks) {x, y, width, height} and its
    // whole size {screen_width, screen_height}.
    QVariantMap available_geometry();
    // What the window manager's frame adds around a shown window {left, top, right, bottom}; all 0
    // before the window is framed or for something that is no window.
    QVariantMap frame_margins(QObject *window);
    // The folder a file chooser starts in, as a file URL: `last` (a URL or a path) when it is an
    // existing folder, else the user's pictures folder, made when missing.
    QUrl picker_folder(const QString &last);

Q_SIGNALS:
    void imageCroped(bool success, const QString &path);
    void pingDone(bool ok);
    void pingHostChanged();
    void pingPortChanged();

private:
    PingClass *m_ping;
    QUrl m_onlineUrl;
    int m_onlineTimeoutMs;
};

} // namespace UGENERAL
