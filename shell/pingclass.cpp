#include "shell/pingclass.h"

#include <QDebug>
#include <QTcpSocket>

namespace UGENERAL {

namespace {

const int kDefaultTimeoutMs = 5000;

} // namespace

PingClass::PingClass(QObject *parent) : QObject(parent), m_socket(new QTcpSocket(this))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDefaultTimeoutMs);
    connect(&m_timer, &QTimer::timeout, this, &PingClass::onTimeout);
    connect(m_socket, &QAbstractSocket::stateChanged, this, &PingClass::socketConnected);
}

void PingClass::OnPing()
{
    // The previous attempt is cut off first, with the flag clear so that it reports nothing.
    m_pending = false;
    m_timer.stop();
    m_socket->abort();

    m_pending = true;
    if (m_host.isEmpty() || m_port <= 0 || m_port > 65535) {
        qDebug() << "PING KO";
        finish(false);
        return;
    }
    m_timer.start();
    m_socket->connectToHost(m_host, quint16(m_port), QIODevice::ReadWrite,
                            QAbstractSocket::AnyIPProtocol);
}

void PingClass::socketConnected(QAbstractSocket::SocketState state)
{
    if (!m_pending)
        return;
    if (state == QAbstractSocket::ConnectedState) {
        qDebug() << "PING OK";
        finish(true);
        m_socket->close();
    } else if (state == QAbstractSocket::UnconnectedState) {
        qDebug() << "PING KO";
        finish(false);
    }
}

void PingClass::onTimeout()
{
    if (!m_pending)
        return;
    qDebug() << "PING KO (timeout)";
    finish(false);
    m_socket->abort();
}

void PingClass::finish(bool ok)
{
    m_pending = false;
    m_timer.stop();
    // Answered from the event loop, not from inside the socket's own signal, so that a handler
    // may start the next probe at once.
    QMetaObject::invokeMethod(
        this, [this, ok] { Q_EMIT pingDone(ok); }, Qt::QueuedConnection);
}

} // namespace UGENERAL
