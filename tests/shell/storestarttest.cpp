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

TEST(StoreStart, AStoreThatDidNotOpenIsShownAndOnlyADamagedOneOrOneOfAnotherModelIsReset)
{
    TempEnv env;
    auto engine = TempEnv::engine(); // the application identity that names the settings file
    QSettings(GSetting::filePath(), QSettings::IniFormat).setValue("app_data", "the old data's");
    // A data file that is no store at all, as a creation cut short used to leave it.
    const QString dir = env.path() + "/store";
    QDir().mkpath(dir);
    QFile data(dir + "/data.mdb");
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(QByteArray(4096, '\0'));
    data.close();
    int code = 0;
    QString message;
    try {
        openSharedStore(dir.toStdString());
    } catch (const obx::DbException &e) {
        code = e.code();
        message = QString::fromStdString(e.what());
    }
    ASSERT_EQ(code, OBX_ERROR_FILE_CORRUPT);
    std::vector<std::pair<QString, bool>> asked; // the text shown, and whether it offered the reset
    const auto answer = [&](bool reset) {
        return [&asked, reset](const QString &text, bool canReset) {
            asked.emplace_back(text, canReset);
            return reset;
        };
    };

    // A full disk, or any cause a reset would not mend: said so, no reset offered, the start ends.
    EXPECT_FALSE(startWithoutStore(dir.toStdString(), OBX_ERROR_DB_FULL, "disk full", answer(true)));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].first.contains(QStringLiteral("دیسک پر است")));
    EXPECT_FALSE(asked[0].second);
    EXPECT_FALSE(startWithoutStore(dir.toStdString(), OBX_ERROR_STORAGE_GENERAL, "x: Permission denied", answer(true)));
    EXPECT_TRUE(asked.back().first.contains("Permission denied") && !asked.back().second);
    asked.pop_back();

    // Unreadable: the reset is offered; declined, nothing is touched.
    EXPECT_FALSE(startWithoutStore(dir.toStdString(), code, message, answer(false)));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].second);
    EXPECT_TRUE(asked[1].first.contains(message) && asked[1].first.contains(QStringLiteral("پیش‌نویس‌ها")));
    EXPECT_EQ(QFileInfo(dir + "/data.mdb").size(), 4096);
    EXPECT_EQ(sharedStore(), nullptr);

    // Taken (another model alike): an empty store opens in its place and the settings start afresh.
    EXPECT_TRUE(startWithoutStore(dir.toStdString(), OBX_ERROR_SCHEMA, message, answer(true)));
    EXPECT_EQ(asked.size(), 3u);
    ASSERT_NE(sharedStore(), nullptr);
    EXPECT_FALSE(QSettings(GSetting::filePath(), QSettings::IniFormat).contains("app_data"));
    closeSharedStore();

    // A reset that cannot make the store says why and ends the start.
    const QString blocked = env.path() + "/file";
    QFile(blocked).open(QIODevice::WriteOnly);
    EXPECT_FALSE(startWithoutStore((blocked + "/store").toStdString(), code, message, answer(true)));
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_FALSE(asked[4].second);
    EXPECT_EQ(sharedStore(), nullptr);
    // A reset whose new store cannot be made says so, not that deleting failed.
    QFile::link(env.path() + "/gone/away", env.path() + "/dangling");
    EXPECT_FALSE(startWithoutStore((env.path() + "/dangling/store").toStdString(), code, message, answer(true)));
    EXPECT_TRUE(asked.back().first.contains(QStringLiteral("داده‌های تازه باز نشد")));
}
