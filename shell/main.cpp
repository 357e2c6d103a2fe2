#include "shell/registration.h"
#include "shell/singleapplication.h"
#include "shell/storestart.h"
#include "store/gdatabase.h"
#include "store/obx/obx.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlApplicationEngine>

namespace {

struct StoreOpening
{
    bool opened = false;
    int code = 0;
    QString message;
};

// The store opens before main, so it is ready when the first QML file loads. A failure is kept
// for main, which tells the user before anything else is shown.
const StoreOpening storeOpening = [] {
    StoreOpening opening;
    try {
        UGENERAL::GDatabase::openStore();
        opening.opened = true;
    } catch (const obx::DbException &e) {
        opening.code = e.code();
        opening.message = QString::fromStdString(e.what());
    } catch (const std::exception &e) {
        opening.code = OBX_ERROR_STORAGE_GENERAL;
        opening.message = QString::fromStdString(e.what());
    }
    if (!opening.opened)
        qCritical() << "the local store could not be opened:" << opening.message;
    return opening;
}();

bool askAboutStore(const QString &text, bool canReset)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("تاورلین"), text);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setTextFormat(Qt::PlainText);
    QPushButton *reset = canReset ? box.addButton(QStringLiteral("پاک کردن داده‌های محلی"), QMessageBox::AcceptRole)
                                  : nullptr;
    box.addButton(QStringLiteral("خروج"), QMessageBox::RejectRole);
    box.exec();
    return reset && box.clickedButton() == reset;
}

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
    // Without a store every screen would fail on every read: the user learns why and what to do
    // before the splash, and the program does not start on a dead store.
    if (!storeOpening.opened
        && !UGENERAL::startWithoutStore(UGENERAL::GDatabase::getDatabasePath(), storeOpening.code,
                                        storeOpening.message, askAboutStore))
        return 1;
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty())
        return -1;
    return app.exec();
}
