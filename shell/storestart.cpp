#include "shell/storestart.h"

#include "shell/gsetting.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"

#include <QSettings>

namespace UGENERAL {

namespace {

const QString kFullDisk = QStringLiteral("دیسک پر است و داده‌های برنامه باز نشد. کمی از فضای دیسک را آزاد کنید و "
                                         "برنامه را دوباره باز کنید.");

// What stops the store, for a failure that deleting the store would not mend.
QString cause(int code)
{
    if (code == OBX_ERROR_DB_FULL)
        return kFullDisk;
    if (code == OBX_ERROR_MAX_READERS_EXCEEDED)
        return QStringLiteral("داده‌های برنامه باز نشد: برنامه‌های دیگری بیش از حد مجاز آن‌ها را باز کرده‌اند. آن‌ها را "
                              "ببندید و برنامه را دوباره باز کنید.");
    return QStringLiteral("داده‌های برنامه باز نشد. علت آن در زیر آمده است (مانند نبود اجازه دسترسی به پوشه، دیسک فقط "
                          "خواندنی یا خطای دیسک). آن را برطرف کنید و برنامه را دوباره باز کنید.");
}

} // namespace

bool startWithoutStore(const std::string &directory, int code, const QString &message,
                       const StoreFailureQuestion &ask)
{
    // Only a damaged store or one of another model is mended by deleting it. Elsewhere a reset would
    // mend nothing and lose the drafts, which live only here.
    if (code != OBX_ERROR_FILE_CORRUPT && code != OBX_ERROR_SCHEMA) {
        ask(cause(code) + QStringLiteral("\n\n") + message, false);
        return false;
    }
    if (!ask(QStringLiteral("داده‌های محلی برنامه خوانده نشد. می‌توانید آن‌ها را پاک کنید تا پس از ورود "
                            "دوباره از سرور دریافت شوند؛ پیش‌نویس‌ها فقط روی همین دستگاه هستند و با آن‌ها پاک "
                            "می‌شوند. یا از برنامه خارج شوید.\n\n")
                 + message,
             true))
        return false;
    if (obx_remove_db_files(directory.c_str()) != OBX_SUCCESS) {
        ask(QStringLiteral("پاک کردن داده‌های محلی انجام نشد.\n\n") + QString::fromUtf8(obx_last_error_message()),
            false);
        return false;
    }
    try {
        openSharedStore(directory);
    } catch (const obx::DbException &e) {
        ask((e.code() == OBX_ERROR_DB_FULL
                 ? QStringLiteral("داده‌های محلی پاک شد، اما دیسک پر است و داده‌های تازه ساخته نشد. کمی از فضای "
                                  "دیسک را آزاد کنید و برنامه را دوباره باز کنید.\n\n")
                 : QStringLiteral("داده‌های محلی پاک شد، اما داده‌های تازه باز نشد.\n\n"))
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
