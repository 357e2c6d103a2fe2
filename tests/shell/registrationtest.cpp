#include "shell/registration.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <gtest/gtest.h>

using namespace UGENERAL;

TEST(Registration, AssetUrlAndIdentity)
{
    EXPECT_EQ(assetUrl("gconst.qml").toString(), QStringLiteral("qrc:///assets/gconst.qml"));
    EXPECT_TRUE(offlineStoragePath().isEmpty());

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    registerQmlTypes(engine.offlineStoragePath());
    EXPECT_EQ(offlineStoragePath(), engine.offlineStoragePath());
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("tavorlin"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("tavorlin"));
    EXPECT_TRUE(QGuiApplication::font().family().startsWith(QStringLiteral("Vazirmatn")))
        << QGuiApplication::font().family().toStdString();

    // Every registered singleton resolves and builds from its resource file.
    const char *names[] = {"Cities", "Fonts", "Dates", "Icons", "Toast", "Colors", "Stacks",
                           "Consts", "Themes", "Sockets", "Country", "Account", "Defaults",
                           "Settings", "Initialz", "Updates", "Utilities", "Templates",
                           "Notification", "Database", "Bootstrap", "Download", "Excel", "Print"};
    for (const char *name : names) {
        QQmlComponent c(&engine);
        c.setData(QByteArray("import QtQuick 2.15\nimport com 1.0\nQtObject { property var s: ")
                      + name + "\n}\n",
                  QUrl(QStringLiteral("qrc:/probe.qml")));
        std::unique_ptr<QObject> o(c.create());
        ASSERT_TRUE(o) << name << ": " << c.errorString().toStdString();
        EXPECT_TRUE(o->property("s").value<QObject *>()) << name;
    }
}
