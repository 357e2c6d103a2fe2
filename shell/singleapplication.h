#pragma once

// The application object that lets one process per user run. The first process (the primary)
// keeps a small shared block saying so and listens on a local socket; a later process reaches it
// through that socket and, unless secondary instances are allowed, ends right in the constructor.

#include <QApplication>
#include <QByteArray>
#include <QFlags>
#include <QString>

class SingleApplicationPrivate;

class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    enum Mode {
        User = 1,                  // the user name enters the key; the socket is this user's only
        System = 2,
        SecondaryNotification = 4, // tell the primary when a secondary instance starts
        ExcludeAppVersion = 8,
        ExcludeAppPath = 16,
    };
    Q_DECLARE_FLAGS(Options, Mode)

    // Never returns in a process that must end: a refused launch exits with status 0, a fatal
    // shared-memory failure with status 1.
    SingleApplication(int &argc, char *argv[], bool allowSecondary = false,
                      Options options = Mode::User, int timeout = 1000,
                      const QString &userData = QString());
    ~SingleApplication() override;

    bool isSecondaryInstance() const;

    // Sends a message to the primary; false on the primary itself or when the primary did not
    // acknowledge it within the timeout.
    bool sendToPrimary(const QByteArray &message, int timeout = 100);

Q_SIGNALS:
    void instanceStarted();
    void receivedMessage(uint instanceId, QByteArray message);

protected:
    SingleApplicationPrivate *d_ptr;

private:
    friend class SingleApplicationPrivate;
    [[noreturn]] void abortOnSharedMemoryError();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SingleApplication::Options)
