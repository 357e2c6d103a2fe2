#include "shell/singleapplication_p.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUserNameBytes = sizeof(SharedBlock::primaryUser) - 1;
constexpr char kAck = '\n';

QByteArray header(quint64 length)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_6);
    out << length;
    return bytes;
}

// Milliseconds left of a budget; never negative.
int remaining(int msecs, const QElapsedTimer &time)
{
    return int(qMax<qint64>(0, msecs - time.elapsed()));
}

} // namespace

SingleApplicationPrivate::UserNameSource SingleApplicationPrivate::userNameSource = nullptr;

SingleApplicationPrivate::SingleApplicationPrivate(SingleApplication *q) : q_ptr(q) {}

SingleApplicationPrivate::~SingleApplicationPrivate()
{
    release();
}

void SingleApplicationPrivate::setUserNameSource(UserNameSource source)
{
    userNameSource = source;
}

QString SingleApplicationPrivate::currentUserName()
{
    if (userNameSource)
        return userNameSource();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry;
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_name && *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    return qEnvironmentVariable("USERNAME");
}

quint16 SingleApplicationPrivate::blockChecksum(const SharedBlock &block)
{
    return qChecksum(reinterpret_cast<const char *>(&block), offsetof(SharedBlock, checksum),
                     Qt::ChecksumIso3309);
}

void SingleApplicationPrivate::randomShortSleep()
{
    // 8 + a 64-bit random number scaled to 0..9
    const quint64 r = QRandomGenerator::global()->generate64();
    QThread::msleep(8 + r / (std::numeric_limits<quint64>::max() / 10 + 1));
}

bool SingleApplicationPrivate::processGone(qint64 pid)
{
    // 0 and negative ids address process groups, never one process.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

void SingleApplicationPrivate::computeServerName()
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData("SingleApplication", 17);
    hash.addData(QCoreApplication::applicationName().toUtf8());
    hash.addData(QCoreApplication::organizationName().toUtf8());
    hash.addData(QCoreApplication::organizationDomain().toUtf8());
    if (!appDataList.isEmpty())
        hash.addData(appDataList.join(QString()).toUtf8());
    if (!(options & SingleApplication::ExcludeAppVersion))
        hash.addData(QCoreApplication::applicationVersion().toUtf8());
    if (!(options & SingleApplication::ExcludeAppPath))
        hash.addData(QCoreApplication::applicationFilePath().toLower().toUtf8());
    if (options & SingleApplication::User)
        hash.addData(currentUserName().toUtf8());
    blockServerName = QString::fromLatin1(hash.result().toBase64().replace('/', '_'));
}

SharedBlock *SingleApplicationPrivate::block() const
{
    return static_cast<SharedBlock *>(memory->data());
}

void SingleApplicationPrivate::writeUserName(SharedBlock *target) const
{
    const QByteArray name = currentUserName().toUtf8().left(kUserNameBytes);
    std::memset(target->primaryUser, 0, sizeof(target->primaryUser));
    std::memcpy(target->primaryUser, name.constData(), size_t(name.size()));
}

void SingleApplicationPrivate::clearPrimary(SharedBlock *target)
{
    target->primary = false;
    target->primaryPid = -1;
    std::memset(target->primaryUser, 0, sizeof(target->primaryUser));
    target->checksum = blockChecksum(*target);
}

void SingleApplicationPrivate::initializeMemoryBlock()
{
    SharedBlock *b = block();
    // Padding included, so that the checksum covers only what this process wrote.
    std::memset(b, 0, sizeof(SharedBlock));
    b->secondary = 0;
    clearPrimary(b);
}

void SingleApplicationPrivate::startPrimary()
{
    SharedBlock *b = block();
    b->primary = true;
    b->primaryPid = QCoreApplication::applicationPid();
    writeUserName(b);
    b->checksum = blockChecksum(*b);
    instanceNumber = 0;

    QLocalServer::removeServer(blockServerName);
    server = new QLocalServer();
    server->setSocketOptions(options & SingleApplication::User ? QLocalServer::UserAccessOption
                                                               : QLocalServer::WorldAccessOption);
    if (!server->listen(blockServerName))
        qWarning() << "SingleApplication: Unable to listen:" << server->errorString();
    connect(server, &QLocalServer::newConnection, this,
            &SingleApplicationPrivate::slotConnectionEstablished);
}

void SingleApplicationPrivate::startSecondary()
{
    SharedBlock *b = block();
    b->secondary += 1;
    b->checksum = blockChecksum(*b);
    instanceNumber = b->secondary;
}

void SingleApplicationPrivate::resetDeadPrimary(qint64 pid)
{
    if (!memory->lock()) {
        qCritical() << "SingleApplication: Unable to lock memory after random wait.";
        q_ptr->abortOnSharedMemoryError();
    }
    SharedBlock *b = block();
    // Another launch may have taken over meanwhile: only the process that was found gone is
    // cleared, never whoever the block names now.
    if (b->checksum == blockChecksum(*b) && b->primary && b->primaryPid == pid)
        clearPrimary(b);
}

SingleApplicationPrivate::Reach SingleApplicationPrivate::connectToPrimary(
    int msecs, ConnectionType connectionType)
{
    QElapsedTimer time;
    time.start();

    if (!socket)
        socket = new QLocalSocket(this);

    if (socket->state() != QLocalSocket::ConnectedState) {
        for (;;) {
            randomShortSleep();
            if (socket->state() != QLocalSocket::ConnectingState)
                socket->connectToServer(blockServerName);
            if (socket->state() == QLocalSocket::ConnectingState)
                socket->waitForConnected(qMax(1, remaining(msecs, time)));
            if (socket->state() == QLocalSocket::ConnectedState)
                break;
            const QLocalSocket::LocalSocketError error = socket->error();
            if (socket->state() == QLocalSocket::UnconnectedState
                && (error == QLocalSocket::ServerNotFoundError
                    || error == QLocalSocket::ConnectionRefusedError))
                return Reach::Gone;
            if (time.elapsed() >= msecs) {
                socket->abort();
                return Reach::TimedOut;
            }
        }

        QByteArray body;
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_6);
        out << blockServerName.toLatin1() << quint8(connectionType) << quint32(instanceNumber);
        out << qChecksum(body.constData(), uint(body.size()), Qt::ChecksumIso3309);
        if (!writeFrame(body, msecs, time))
            return Reach::Unacknowledged;
    }
    return Reach::Acknowledged;
}

bool SingleApplicationPrivate::writeFrame(const QByteArray &body, int msecs,
                                          const QElapsedTimer &time)
{
    const auto waitForAck = [&]() {
        while (socket->bytesAvailable() < 1) {
            const int left = remaining(msecs, time);
            if (left == 0 || !socket->waitForReadyRead(left))
                return false;
        }
        char ack = 0;
        return socket->getChar(&ack) && ack == kAck;
    };
    socket->write(header(quint64(body.size())));
    socket->flush();
    bool ok = waitForAck();
    if (ok) {
        socket->write(body);
        socket->flush();
        ok = waitForAck();
    }
    // A late acknowledgement would be taken for the next frame's: start afresh next time.
    if (!ok)
        socket->abort();
    return ok;
}

bool SingleApplicationPrivate::writeAck(QLocalSocket *sock)
{
    const bool ok = sock->putChar(kAck);
    sock->flush();
    return ok;
}

void SingleApplicationPrivate::release()
{
    if (released)
        return;
    released = true;

    if (socket) {
        socket->close();
        delete socket;
        socket = nullptr;
    }
    if (!memory) {
        delete server;
        server = nullptr;
        return;
    }
    const bool locked = memory->isAttached() && memory->lock();
    if (server) {
        server->close();
        delete server;
        server = nullptr;
        // Only this process's own entry is cleared.
        SharedBlock *b = locked ? block() : nullptr;
        if (b && b->primaryPid == QCoreApplication::applicationPid())
            clearPrimary(b);
    }
    if (locked && !memory->unlock()) {
        qDebug() << "SingleApplication: Unable to unlock memory at end of execution.";
        qDebug() << memory->errorString();
    }
    delete memory;
    memory = nullptr;
}

void SingleApplicationPrivate::slotConnectionEstablished()
{
    while (server && server->hasPendingConnections()) {
        QLocalSocket *next = server->nextPendingConnection();
        if (!next)
            return;
        connectionMap.insert(next, PeerInfo());

        connect(next, &QLocalSocket::aboutToClose, this, [this, next]() {
            slotClientConnectionClosed(next, connectionMap.value(next).instanceId);
        });
        connect(next, &QLocalSocket::disconnected, next, &QLocalSocket::deleteLater);
        connect(next, &QObject::destroyed, this, [this, next]() { connectionMap.remove(next); });
        connect(next, &QLocalSocket::readyRead, this, [this, next]() {
            slotDataAvailable(next, connectionMap.value(next).instanceId);
        });
        if (next->bytesAvailable() > 0)
            slotDataAvailable(next, 0);
    }
}

void SingleApplicationPrivate::slotDataAvailable(QLocalSocket *dataSocket, uint)
{
    // Several frames may arrive together: go on while a stage can complete.
    for (;;) {
        auto it = connectionMap.find(dataSocket);
        if (it == connectionMap.end() || !dataSocket->isOpen())
            return;
        const quint8 stage = it->stage;
        const qint64 before = dataSocket->bytesAvailable();
        switch (stage) {
        case StageHeader:
            readInitMessageHeader(dataSocket);
            break;
        case StageBody:
            readInitMessageBody(dataSocket);
            break;
        case StageConnectedHeader:
            readMessageHeader(dataSocket, StageConnectedBody);
            break;
        case StageConnectedBody:
            readMessageBody(dataSocket);
            break;
        default:
            return;
        }
        it = connectionMap.find(dataSocket);
        if (it == connectionMap.end() || !dataSocket->isOpen())
            return;
        if (it->stage == stage && dataSocket->bytesAvailable() == before)
            return;
    }
}

void SingleApplicationPrivate::readMessageHeader(QLocalSocket *sock, ConnectionStage nextStage)
{
    if (sock->bytesAvailable() < qint64(sizeof(quint64)))
        return;
    const QByteArray bytes = sock->read(sizeof(quint64));
    auto it = connectionMap.find(sock);
    it->msgLen = qFromBigEndian<quint64>(bytes.constData());
    it->stage = nextStage;
    writeAck(sock);
}

void SingleApplicationPrivate::readInitMessageHeader(QLocalSocket *sock)
{
    readMessageHeader(sock, StageBody);
}

void SingleApplicationPrivate::readInitMessageBody(QLocalSocket *sock)
{
    auto it = connectionMap.find(sock);
    if (quint64(sock->bytesAvailable()) < it->msgLen)
        return;
    const QByteArray body = sock->read(qint64(it->msgLen));

    QDataStream in(body);
    in.setVersion(QDataStream::Qt_5_6);
    QByteArray name;
    quint8 type = InvalidConnection;
    quint32 instanceId = 0;
    quint16 checksum = 0;
    in >> name >> type >> instanceId;
    const qint64 checked = in.device()->pos();
    in >> checksum;

    const bool valid = in.status() == QDataStream::Ok && name == blockServerName.toLatin1()
        && type >= NewInstance && type <= Reconnect
        && checksum == qChecksum(body.constData(), uint(checked), Qt::ChecksumIso3309);
    if (!valid) {
        sock->close();
        return;
    }

    it->instanceId = instanceId;
    it->stage = StageConnectedHeader;
    if (type == NewInstance
        || (type == SecondaryInstance && (options & SingleApplication::SecondaryNotification)))
        Q_EMIT q_ptr->instanceStarted();
    if (connectionMap.contains(sock) && sock->isOpen())
        writeAck(sock);
}

void SingleApplicationPrivate::readMessageBody(QLocalSocket *sock)
{
    auto it = connectionMap.find(sock);
    if (quint64(sock->bytesAvailable()) < it->msgLen)
        return;
    const QByteArray message = sock->read(qint64(it->msgLen));
    const quint32 instanceId = it->instanceId;
    writeAck(sock);
    it->stage = StageConnectedHeader;
    Q_EMIT q_ptr->receivedMessage(instanceId, message);
}

void SingleApplicationPrivate::slotClientConnectionClosed(QLocalSocket *closedSocket, uint)
{
    auto it = connectionMap.find(closedSocket);
    if (it == connectionMap.end())
        return;
    // Only a peer that introduced itself properly may still deliver what it sent last.
    if (it->stage >= StageConnectedHeader && closedSocket->bytesAvailable() > 0) {
        slotDataAvailable(closedSocket, it->instanceId);
        it = connectionMap.find(closedSocket);
        if (it != connectionMap.end() && closedSocket->bytesAvailable() > 0)
            Q_EMIT q_ptr->receivedMessage(it->instanceId, closedSocket->readAll());
    }
    connectionMap.remove(closedSocket);
}
