#include "shell/singleapplication.h"
#include "shell/singleapplication_p.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSharedMemory>

#include <cstdlib>

SingleApplication::SingleApplication(int &argc, char *argv[], bool allowSecondary,
                                     Options options, int timeout, const QString &userData)
    : QApplication(argc, argv), d_ptr(new SingleApplicationPrivate(this))
{
    SingleApplicationPrivate *d = d_ptr;
    d->options = options;
    if (!userData.isEmpty())
        d->appDataList.append(userData);
    d->computeServerName();

    SingleApplicationPrivate::randomShortSleep();

    d->memory = new QSharedMemory(d->blockServerName);
    // The block may vanish between a failed create and the attach (its last user detached):
    // then it is simply created again.
    for (int attempt = 0;; ++attempt) {
        if (d->memory->create(sizeof(SharedBlock))) {
            if (!d->memory->lock()) {
                qCritical() << "SingleApplication: Unable to lock memory block after create.";
                abortOnSharedMemoryError();
            }
            d->initializeMemoryBlock();
            break;
        }
        if (d->memory->error() != QSharedMemory::AlreadyExists) {
            qCritical() << "SingleApplication: Unable to create block.";
            abortOnSharedMemoryError();
        }
        if (!d->memory->attach()) {
            if (d->memory->error() == QSharedMemory::NotFound && attempt < 3)
                continue;
            qCritical() << "SingleApplication: Unable to attach to shared memory block.";
            abortOnSharedMemoryError();
        }
        if (d->memory->size() < int(sizeof(SharedBlock))) {
            qCritical() << "SingleApplication: Unable to attach to shared memory block.";
            abortOnSharedMemoryError();
        }
        if (!d->memory->lock()) {
            qCritical() << "SingleApplication: Unable to lock memory block after attach.";
            abortOnSharedMemoryError();
        }
        break;
    }

    // A block whose checksum does not match is being written, or was left half-written by a
    // process that died while holding it. Called and left with the block locked.
    const auto waitUntilConsistent = [this, d]() {
        QElapsedTimer time;
        time.start();
        for (;;) {
            SharedBlock *block = d->block();
            if (block->checksum == SingleApplicationPrivate::blockChecksum(*block))
                return;
            if (time.elapsed() > 5000) {
                qWarning() << "SingleApplication: Shared memory block has been in an inconsistent "
                              "state from more than 5s. Assuming primary instance failure.";
                d->initializeMemoryBlock();
            }
            if (!d->memory->unlock()) {
                qDebug() << "SingleApplication: Unable to unlock memory for random wait.";
                qDebug() << d->memory->errorString();
            }
            SingleApplicationPrivate::randomShortSleep();
            if (!d->memory->lock()) {
                qCritical() << "SingleApplication: Unable to lock memory after random wait.";
                abortOnSharedMemoryError();
            }
        }
    };
    waitUntilConsistent();

    // The block is locked on every pass of this loop.
    for (;;) {
        SharedBlock *block = d->block();
        if (block->primary && SingleApplicationPrivate::processGone(block->primaryPid))
            SingleApplicationPrivate::clearPrimary(block);

        if (!block->primary) {
            d->startPrimary();
            if (!d->memory->unlock()) {
                qDebug() << "SingleApplication: Unable to unlock memory after primary start.";
                qDebug() << d->memory->errorString();
            }
            return;
        }

        if (!allowSecondary) {
            const qint64 pid = block->primaryPid;
            if (!d->memory->unlock()) {
                qDebug() << "SingleApplication: Unable to unlock memory at end of execution.";
                qDebug() << d->memory->errorString();
            }
            if (d->connectToPrimary(timeout, SingleApplicationPrivate::NewInstance)
                == SingleApplicationPrivate::Reach::Gone) {
                // Nobody listens where a live primary always does: it died without cleaning up.
                d->resetDeadPrimary(pid);
                waitUntilConsistent();
                continue;
            }
            // Reached, or at least not certainly gone (a busy primary may miss the budget).
            delete d_ptr;
            d_ptr = nullptr;
            std::exit(EXIT_SUCCESS);
        }

        d->startSecondary();
        if (options & Mode::SecondaryNotification)
            d->connectToPrimary(timeout, SingleApplicationPrivate::SecondaryInstance);
        if (!d->memory->unlock()) {
            qDebug() << "SingleApplication: Unable to unlock memory after secondary start.";
            qDebug() << d->memory->errorString();
        }
        return;
    }
}

SingleApplication::~SingleApplication()
{
    delete d_ptr;
}

bool SingleApplication::isSecondaryInstance() const
{
    return d_ptr->server == nullptr;
}

bool SingleApplication::sendToPrimary(const QByteArray &message, int timeout)
{
    if (!isSecondaryInstance())
        return false;
    QElapsedTimer time;
    time.start();
    if (d_ptr->connectToPrimary(timeout, SingleApplicationPrivate::Reconnect)
        != SingleApplicationPrivate::Reach::Acknowledged)
        return false;
    return d_ptr->writeFrame(message, timeout, time);
}

void SingleApplication::abortOnSharedMemoryError()
{
    qCritical().noquote() << QStringLiteral("SingleApplication: %1 %2")
                                 .arg(int(d_ptr->memory->error()))
                                 .arg(d_ptr->memory->errorString());
    delete d_ptr;
    d_ptr = nullptr;
    std::exit(EXIT_FAILURE);
}
