// A small program built on SingleApplication for the single-instance tests. It prints what it
// became ("primary <key>") and what reached it ("started", "message <id> <text>"), and quits by
// itself after --hold milliseconds or when its input ends. --block keeps its event loop busy at first, --data gives each
// test its own key, --user replaces the user name, --send admits it as a secondary instance that
// sends its argument to the primary.
#include "shell/singleapplication.h"
#include "shell/singleapplication_p.h"

#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString seamUser;

QString userFromSeam()
{
    return seamUser;
}

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Probe : public SingleApplication
{
public:
    using SingleApplication::SingleApplication;
    QString key() const { return d_ptr->blockServerName; }
};

} // namespace

int main(int argc, char *argv[])
{
    QString data;
    QByteArray send;
    // Tests end it by closing its input; the hold only ends one a test left behind. Under load and
    // the sanitizers twenty refused launches outlast 30 s, and a primary gone by then would let
    // the next launch take its place.
    int hold = 600000;
    int block = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--data"))
            data = QString::fromUtf8(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--user"))
            seamUser = QString::fromUtf8(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--hold"))
            hold = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--send"))
            send = argv[i + 1];
        else if (!std::strcmp(argv[i], "--block"))
            block = std::atoi(argv[i + 1]);
    }
    if (!seamUser.isEmpty())
        SingleApplicationPrivate::setUserNameSource(userFromSeam);

    const bool secondary = !send.isEmpty();
    Probe app(argc, argv, secondary,
              secondary ? SingleApplication::User | SingleApplication::SecondaryNotification
                        : SingleApplication::Options(SingleApplication::User),
              1000, data);
    say(app.isSecondaryInstance() ? QByteArray("secondary") : "primary " + app.key().toLatin1());
    if (secondary && app.isSecondaryInstance())
        say(app.sendToPrimary(send, 1000) ? "sent" : "not sent");

    QObject::connect(&app, &SingleApplication::instanceStarted, [] { say("started"); });
    QObject::connect(&app, &SingleApplication::receivedMessage,
                     [](uint id, const QByteArray &message) {
                         say("message " + QByteArray::number(id) + " " + message);
                     });
    if (block > 0)
        QThread::msleep(block);
    QTimer::singleShot(hold, &app, &QCoreApplication::quit);
    // An ordinary end, so that the test's processes free what they hold.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof(buffer)) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    return app.exec();
}
