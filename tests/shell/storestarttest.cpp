#include "shell/gsetting.h"
#include "shell/storestart.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "tempenv.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

using namespace UGENERAL;

// Only a damaged store or one of another model is offered the reset; every other failure names
// its cause and ends the start; after a reset, a failed delete and a failed reopen say which.
TEST(StoreStart, OnlyAStoreThatCannotBeReadIsOfferedTheReset)
{
    TempEnv env;
    auto engine = TempEnv::engine(); // the application identity that names the settings file
    // A data file that is no store at all, as a creation cut short used to leave it.
    const QString dir = env.path() + "/store";
    QDir().mkpath(dir);
    QFile data(dir + "/data.mdb");
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(QByteArray(4096, '\0'));
    data.close();
    int damaged = 0;
    QString message;
    try {
        openSharedStore(dir.toStdString());
    } catch (const obx::DbException &e) {
        damaged = e.code();
        message = QString::fromStdString(e.what());
    }
    ASSERT_EQ(damaged, OBX_ERROR_FILE_CORRUPT);
    QFile(env.path() + "/file").open(QIODevice::WriteOnly);             // a store folder cannot be under it
    QFile::link(env.path() + "/gone/away", env.path() + "/dangling");   // deletes find nothing, folders fail

    struct Case
    {
        const char *name;
        int code;
        QString directory;
        bool takeReset;
        bool offered;    // whether the first question offers the reset
        QString said;    // in the last text shown
        bool started;
    };
    const QString permission = QStringLiteral("Could not open the store in x: Permission denied");
    const Case cases[] = {
        {"a full disk", OBX_ERROR_DB_FULL, dir, true, false, QStringLiteral("دیسک پر است"), false},
        {"no permission", OBX_ERROR_STORAGE_GENERAL, dir, true, false, permission, false},
        {"no reader left", OBX_ERROR_MAX_READERS_EXCEEDED, dir, true, false, QStringLiteral("بیش از حد مجاز"), false},
        {"damaged, declined", damaged, dir, false, true, QStringLiteral("پیش‌نویس‌ها"), false},
        {"a delete that fails", damaged, env.path() + "/file/store", true, true,
         QStringLiteral("پاک کردن داده‌های محلی انجام نشد"), false},
        {"a reopen that fails", OBX_ERROR_SCHEMA, env.path() + "/dangling/store", true, true,
         QStringLiteral("داده‌های تازه باز نشد"), false},
        {"another model, taken", OBX_ERROR_SCHEMA, dir, true, true, QStringLiteral("پیش‌نویس‌ها"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QSettings(GSetting::filePath(), QSettings::IniFormat).setValue("app_data", "the old data's");
        std::vector<std::pair<QString, bool>> asked; // the text shown, and whether it offered the reset
        const bool started = startWithoutStore(c.directory.toStdString(), c.code,
                                               c.code == OBX_ERROR_STORAGE_GENERAL ? permission : message,
                                               [&](const QString &text, bool canReset) {
                                                   asked.emplace_back(text, canReset);
                                                   return c.takeReset;
                                               });
        EXPECT_EQ(started, c.started);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked[0].second, c.offered);
        EXPECT_EQ(asked.size(), c.offered && c.takeReset && !c.started ? 2u : 1u);
        EXPECT_TRUE(asked.back().first.contains(c.said)) << asked.back().first.toStdString();
        EXPECT_EQ(sharedStore() != nullptr, c.started);
        // Only the reset taken touches the store and the settings.
        EXPECT_EQ(QFileInfo(dir + "/data.mdb").size() == 4096, !c.started);
        EXPECT_EQ(QSettings(GSetting::filePath(), QSettings::IniFormat).contains("app_data"), !c.started);
    }
    closeSharedStore();
}
