#pragma once

#include <QString>
#include <QUrl>

namespace UGENERAL {

// The QML engine's offline-storage path, kept by registerQmlTypes; empty before it runs.
QString &offlineStoragePath();

// "qrc:///assets/" followed by fileName; an empty URL when that does not make a valid URL.
QUrl assetUrl(const QString &fileName);

// Loads Qt's own Persian translations (qtbase_fa.qm), so the standard file and print dialogs
// speak Persian; they also turn the application's layout direction to right to left. False when
// they are not installed; a second call does nothing.
bool installQtTranslations();

// Registers the native types and the QML singletons of the module "com" 1.0, loads the
// application fonts, sets the application identity and installs Qt's Persian translations.
void registerQmlTypes(QString path);

} // namespace UGENERAL
