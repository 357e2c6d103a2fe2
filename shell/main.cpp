#include "shell/registration.h"
#include "shell/singleapplication.h"
#include "store/gdatabase.h"

#include <QDebug>
#include <QQmlApplicationEngine>

namespace {

// The store opens before main, so it is ready when the first QML file loads. Without it the
// program still starts: every database slot then answers with its failure result.
const bool storeOpened = [] {
    try {
        UGENERAL::GDatabase::openStore();
        return true;
    } catch (const std::exception &e) {
        qCritical() << "the local store could not be opened:" << e.what();
        return false;
    }
}();

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);

    // One process per user: a second launch tells the running one and ends here with status 0.
    SingleApplication app(argc, argv, false, SingleApplication::Mode::User, 1000, QString());
    if (app.isSecondaryInstance()) {
        app.sendToPrimary(QByteArray(), 100);
        return 0;
    }

    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    UGENERAL::registerQmlTypes(engine.offlineStoragePath());
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty())
        return -1;
    return app.exec();
}
