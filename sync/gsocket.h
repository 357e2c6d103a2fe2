// The one native object that talks to the agency server: connection status as small codes,
// named events out, decoded replies and pushes in.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace sio {
class client;
class event;
} // namespace sio

namespace UGENERAL {

class GSocket : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString protocol READ protocol WRITE setProtocol NOTIFY protocolChanged)
    Q_PROPERTY(QString ip READ ip WRITE setIp NOTIFY ipChanged)
    Q_PROPERTY(int port READ port WRITE setPort NOTIFY portChanged)

public:
    // Connection codes of `status`.
    enum Status { Closed = 1, Failed = 2, Open = 3, Reconnecting = 4, Reconnect = 8, SocketClosed = 10 };

    explicit GSocket(QObject *parent = nullptr);
    ~GSocket() override;

    QString protocol() const { return m_protocol; }
    void setProtocol(const QString &protocol);
    QString ip() const { return m_ip; }
    void setIp(const QString &ip);
    int port() const { return m_port; }
    void setPort(int port);

    // The reply and push names that reach QML, in the order they are registered.
    static const QStringList &eventNames();

    // The extra certificate authority trusted beside the system's: the environment variable
    // TAVORLIN_CA_FILE, else the build's TAVORLIN_CA_FILE option, else none.
    static QString extraCaFile();

    // The page replies of the first download ("initial_agent_result" to "initial_seen_result"):
    // parsed here rather than in script, and their list kept native (see SyncList).
    static bool isPageReply(const QString &name);

Q_SIGNALS:
    void status(int msg);
    void recieve(QString name, QString data);
    // A page reply, parsed: `reply` without content.list, which comes apart as a SyncList in
    // `list` (invalid when the content holds no array there); `size` is the reply's bytes.
    void recievePage(QString name, QJsonObject reply, QVariant list, int size);
    void protocolChanged();
    void ipChanged();
    void portChanged();

public Q_SLOTS:
    void connection();
    void disconnect();
    void emit(QString name, QString data);

private:
    void onEvent(sio::event &ev);
    // Decodes and parses a page reply and sends it on; false when it is to go as text.
    bool deliverPage(const QString &name, const std::string &packed);
    // The client calls from its network thread; signals leave on this object's thread, in order.
    void deliver(std::function<void()> signal);

    QString m_protocol;
    QString m_ip;
    int m_port = 0;
    std::unique_ptr<sio::client> m_client;
};

} // namespace UGENERAL
