#include "shell/storestart.h"

#include "shell/gsetting.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"

#include <QSettings>

namespace UGENERAL {

bool startWithoutStore(const std::string &directory, int code, const QString &message,
                       const StoreFailureQuestion &ask)
{
    if (code == OBX_ERROR_DB_FULL) {
        ask(QStringLiteral("دیسک پر است و داده‌های برنامه باز نشد. کمی از فضای دیسک را آزاد کنید و "
                           "برنامه را دوباره باز کنید.\n\n")
                + message,
            false);
        return false;
    }
    if (!ask(QStringLiteral("داده‌های محلی برنامه خوانده نشد. می‌توانید آن‌ها را پاک کنید تا پس از ورود "
                            "دوباره از سرور دریافت شوند، یا از برنامه خارج شوید.\n\n")
                 + message,
             true))
        return false;
    try {
        if (obx_remove_db_files(directory.c_str()) != OBX_SUCCESS)
            obx::throwLastError();
        openSharedStore(directory);
    } catch (const obx::DbException &e) {
        ask((e.code() == OBX_ERROR_DB_FULL ? QStringLiteral("دیسک پر است و داده‌های برنامه ساخته نشد. کمی از فضای دیسک را آزاد کنید "
                                   "و برنامه را دوباره باز کنید.\n\n")
                  : QStringLiteral("پاک کردن داده‌های محلی انجام نشد.\n\n"))
                + QString::fromStdString(e.what()),
            false);
        return false;
    }
    // The settings describe the deleted data (its catalogue, its boards): they start afresh.
    QSettings settings(GSetting::filePath(), QSettings::IniFormat);
    settings.remove(QStringLiteral("app_data"));
    settings.sync();
    return true;
}

} // namespace UGENERAL
