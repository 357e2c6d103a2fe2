#include "shell/registration.h"

#include "media/gdownloader.h"
#include "media/gexcel.h"
#include "media/gprint.h"
#include "media/guploader.h"
#include "shell/gsetting.h"
#include "shell/gshare.h"
#include "shell/gutility.h"
#include "store/gdatabase.h"
#include "sync/gsocket.h"
#include "sync/synclist.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtQml>

namespace UGENERAL {

namespace {

const char *const kUri = "com";
const char *const kNativeUri = "com.native";

struct SingletonFile
{
    const char *type;
    const char *file;
};

// Registration order is the order the QML side expects to find them in.
const SingletonFile kSingletons[] = {
    {"Cities", "gcity.qml"},        {"Fonts", "gfont.qml"},
    {"Dates", "gdate.qml"},         {"Icons", "gicon.qml"},
    {"Toast", "gtoast.qml"},        {"Colors", "gcolor.qml"},
    {"Stacks", "gstack.qml"},       {"Consts", "gconst.qml"},
    {"Themes", "gtheme.qml"},       {"Sockets", "gsocket.qml"},
    {"Country", "gcountry.qml"},    {"Account", "gaccount.qml"},
    {"Defaults", "gdefault.qml"},   {"Settings", "gsetting.qml"},
    {"Initialz", "ginitial.qml"},   {"Updates", "gupdate.qml"},
    {"Utilities", "gutility.qml"},  {"Templates", "gtemplate.qml"},
    {"Notification", "gnotify.qml"}, {"Database", "gdatabase.qml"},
    {"Bootstrap", "gbootstrap.qml"}, {"Download", "gdownload.qml"},
    {"Excel", "gexcel.qml"},        {"Print", "gprint.qml"},
};

const char *const kFonts[] = {
    ":/assets/fonts/icon.ttf",
    ":/assets/fonts/app_light.ttf",
    ":/assets/fonts/app.ttf",
};

} // namespace

bool installQtTranslations()
{
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    if (!QCoreApplication::instance())
        return false;
    auto *loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral("qtbase_fa"), QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        qWarning() << "Qt's Persian translations (qtbase_fa.qm) are missing: standard dialogs stay in English";
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}

QString &offlineStoragePath()
{
    static QString path;
    return path;
}

QUrl assetUrl(const QString &fileName)
{
    const QUrl url(QStringLiteral("qrc:///assets/") + fileName);
    return url.isValid() ? url : QUrl();
}

void registerQmlTypes(QString path)
{
    offlineStoragePath() = path;

    qRegisterMetaType<SyncList>();
    // The native types are also in a module of their own, without the singletons: a singleton that
    // derives from one imports that, since importing "com" would make it wait for every singleton
    // of "com", itself and those that wait for it included.
    for (const char *uri : {kUri, kNativeUri}) {
        qmlRegisterType<GDatabase>(uri, 1, 0, "DatabaseIO");
        qmlRegisterType<GSocket>(uri, 1, 0, "SocketIO");
        qmlRegisterType<GUtility>(uri, 1, 0, "UtilizeIO");
        qmlRegisterType<GSetting>(uri, 1, 0, "SettingIO");
        qmlRegisterType<GDownloader>(uri, 1, 0, "Downloader");
        qmlRegisterType<GExcel>(uri, 1, 0, "ExcelExporter");
        qmlRegisterType<GShare>(uri, 1, 0, "ShareIntent");
        qmlRegisterType<GUploader>(uri, 1, 0, "UploaderIO");
        qmlRegisterType<QObject>(uri, 1, 0, "ShareUtils");
        qmlRegisterType<QObject>(uri, 1, 0, "ImagePicker");
        qmlRegisterType<GPrint>(uri, 1, 0, "PrintIO");
    }

    for (const SingletonFile &s : kSingletons)
        qmlRegisterSingletonType(assetUrl(QString::fromLatin1(s.file)), kUri, 1, 0, s.type);

    int lastId = -1;
    for (const char *font : kFonts)
        lastId = QFontDatabase::addApplicationFont(QString::fromLatin1(font));
    const QStringList families = QFontDatabase::applicationFontFamilies(lastId);
    if (!families.isEmpty())
        QGuiApplication::setFont(QFont(families.first(), 11));

    QCoreApplication::setOrganizationName(QStringLiteral("tavorlin"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tavorlin.ir"));
    QCoreApplication::setApplicationName(QStringLiteral("tavorlin"));
    installQtTranslations();
}

} // namespace UGENERAL
