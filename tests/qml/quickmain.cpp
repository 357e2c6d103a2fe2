#include "shell/registration.h"
#include "store/sharedstate.h"

#include <QQmlEngine>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtQuickTest>

#include <memory>

class Setup : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void applicationAvailable()
    {
        // Settings and the store go to a throw-away location, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        // tst_standin.qml reads the program's QML from the resources.
        qputenv("QML_XHR_ALLOW_FILE_READ", "1");
        storeDir_ = std::make_unique<QTemporaryDir>();
        UGENERAL::openSharedStore(storeDir_->path().toStdString());
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // Each test file has its own engine, and the last file's database object closed the store
        // when its engine went.
        if (!UGENERAL::sharedStore())
            UGENERAL::openSharedStore(storeDir_->path().toStdString());
        engine->addImportPath(QStringLiteral("qrc:/"));
        UGENERAL::registerQmlTypes(engine->offlineStoragePath());
    }
    void cleanupTestCase()
    {
        UGENERAL::closeSharedStore();
    }

private:
    std::unique_ptr<QTemporaryDir> storeDir_;
};

QUICK_TEST_MAIN_WITH_SETUP(tavorlin, Setup)

#include "quickmain.moc"
