#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

namespace UGENERAL {

// One TCP connection attempt to host:port that answers pingDone exactly once: true when the
// connection opens, false when it fails or does not open within the time limit.
class PingClass : public QObject
{
    Q_OBJECT
public:
    explicit PingClass(QObject *parent = nullptr);

    QString host() const { return m_host; }
    void setHost(const QString &host) { m_host = host; }
    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    int timeout() const { return m_timer.interval(); }
    void setTimeout(int msecs) { m_timer.setInterval(msecs); }

public Q_SLOTS:
    // Starts a probe; one still running is dropped without an answer.
    void OnPing();
    void socketConnected(QAbstractSocket::SocketState state);

Q_SIGNALS:
    void pingDone(bool ok);

private:
    void onTimeout();
    void finish(bool ok);

    QTcpSocket *m_socket;
    bool m_pending = false;
    QTimer m_timer;
    QString m_host;
    int m_port = 3001;
};

} // namespace UGENERAL
