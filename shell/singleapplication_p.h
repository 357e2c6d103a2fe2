#pragma once

#include "shell/singleapplication.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>

class QElapsedTimer;
class QLocalServer;
class QLocalSocket;
class QSharedMemory;

// The shared block, as every process of the same key reads and writes it (machine byte order).
struct SharedBlock
{
    bool primary;
    quint32 secondary;
    qint64 primaryPid;
    char primaryUser[128];
    quint16 checksum;
};
static_assert(sizeof(SharedBlock) == 152, "the shared block is 152 bytes");
static_assert(offsetof(SharedBlock, secondary) == 4 && offsetof(SharedBlock, primaryPid) == 8
                  && offsetof(SharedBlock, primaryUser) == 16
                  && offsetof(SharedBlock, checksum) == 144,
              "the shared block's layout is fixed");

// What the primary knows of one connected peer.
struct PeerInfo
{
    quint64 msgLen = 0;
    quint32 instanceId = 0;
    quint8 stage = 0;
};

class SingleApplicationPrivate : public QObject
{
    Q_OBJECT

public:
    enum ConnectionType : quint8 {
        InvalidConnection = 0,
        NewInstance = 1,
        SecondaryInstance = 2,
        Reconnect = 3,
    };
    enum ConnectionStage : quint8 {
        StageHeader = 0,
        StageBody = 1,
        StageConnectedHeader = 2,
        StageConnectedBody = 3,
    };
    // How an attempt to reach the primary ended.
    enum class Reach {
        Acknowledged,   // connected, both acknowledgements arrived
        Unacknowledged, // connected, but an acknowledgement did not arrive in time
        Gone,           // nobody listens under the key: the primary is certainly not running
        TimedOut,       // could not connect within the budget
    };

    explicit SingleApplicationPrivate(SingleApplication *q);
    ~SingleApplicationPrivate() override;

    static QString currentUserName();
    // Replaces where the user name comes from (tests only; nullptr restores the system's).
    using UserNameSource = QString (*)();
    static void setUserNameSource(UserNameSource source);

    static quint16 blockChecksum(const SharedBlock &block);
    static void randomShortSleep();
    // True when no process with this id exists (EPERM means it exists under another user).
    static bool processGone(qint64 pid);

    void computeServerName();
    void initializeMemoryBlock();
    void startPrimary();
    void startSecondary();
    // Takes over from a primary that is certainly gone, if the block still names it; called
    // with the block unlocked, returns with it locked.
    void resetDeadPrimary(qint64 pid);
    Reach connectToPrimary(int msecs, ConnectionType connectionType);
    // Writes a header and a body, each answered by an acknowledgement, within what is left of
    // msecs since the timer started.
    bool writeFrame(const QByteArray &body, int msecs, const QElapsedTimer &time);
    bool writeAck(QLocalSocket *sock);
    void release();

    SharedBlock *block() const;
    void writeUserName(SharedBlock *block) const;
    // Marks the block as having no primary; the secondary count stays.
    static void clearPrimary(SharedBlock *block);

    SingleApplication *q_ptr;
    SingleApplication::Options options;
    QString blockServerName;
    QSharedMemory *memory = nullptr;
    QLocalSocket *socket = nullptr;
    QLocalServer *server = nullptr;
    quint32 instanceNumber = 0;
    QStringList appDataList;
    QHash<QLocalSocket *, PeerInfo> connectionMap;

public Q_SLOTS:
    void slotConnectionEstablished();
    void slotDataAvailable(QLocalSocket *dataSocket, uint instanceId);
    void slotClientConnectionClosed(QLocalSocket *closedSocket, uint instanceId);

private:
    void readInitMessageHeader(QLocalSocket *sock);
    void readInitMessageBody(QLocalSocket *sock);
    void readMessageHeader(QLocalSocket *sock, ConnectionStage nextStage);
    void readMessageBody(QLocalSocket *sock);

    static UserNameSource userNameSource;
    bool released = false;
};
