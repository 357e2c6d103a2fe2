#include "shell/registration.h"

#include <QQmlEngine>
#include <QStandardPaths>
#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void applicationAvailable()
    {
        // Settings and stores the singletons open go to a throw-away location.
        QStandardPaths::setTestModeEnabled(true);
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        UGENERAL::registerQmlTypes(engine->offlineStoragePath());
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tavorlin, Setup)

#include "quickmain.moc"
