#pragma once

#include <QString>
#include <QUrl>

namespace UGENERAL {

// The QML engine's offline-storage path, kept by registerQmlTypes; empty before it runs.
QString &offlineStoragePath();

// "qrc:///assets/" followed by fileName; an empty URL when that does not make a valid URL.
QUrl assetUrl(const QString &fileName);

// Registers the native types and the QML singletons of the module "com" 1.0, loads the
// application fonts and sets the application identity.
void registerQmlTypes(QString path);

} // namespace UGENERAL
