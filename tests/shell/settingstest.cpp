#include "shell/gsetting.h"
#include "tempenv.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine_ = TempEnv::engine(); // sets the application identity the path is built from
        expectedFile_ = env_.dataHome() + "/tavorlin/tavorlin/preference.ini";
    }

    // A QML probe with helpers around the Settings singleton.
    std::unique_ptr<QObject> probe(QQmlEngine &engine)
    {
        QString error;
        auto o = TempEnv::create(engine,
                                 "QtObject {\n"
                                 "  function json() { return JSON.stringify(Settings.app_data) }\n"
                                 "  function put(k, v) { Settings.app_data[k] = v }\n"
                                 "  function get(k) { return Settings.app_data[k] }\n"
                                 "  function has(k) { return Settings.app_data.hasOwnProperty(k) }\n"
                                 "  function defaultsJson() { return JSON.stringify(Settings.defaults()) }\n"
                                 "  function save() { Settings.save() }\n"
                                 "  function clear() { Settings.clear() }\n"
                                 "  function version() { return Settings.db_version }\n"
                                 "}\n",
                                 &error);
        EXPECT_TRUE(o) << error.toStdString();
        return o;
    }

    static QVariant call(QObject *o, const char *method, QVariant a = {}, QVariant b = {})
    {
        QVariant result;
        bool ok;
        if (b.isValid())
            ok = QMetaObject::invokeMethod(o, method, Q_RETURN_ARG(QVariant, result),
                                           Q_ARG(QVariant, a), Q_ARG(QVariant, b));
        else if (a.isValid())
            ok = QMetaObject::invokeMethod(o, method, Q_RETURN_ARG(QVariant, result),
                                           Q_ARG(QVariant, a));
        else
            ok = QMetaObject::invokeMethod(o, method, Q_RETURN_ARG(QVariant, result));
        EXPECT_TRUE(ok) << method;
        return result;
    }

    // The object behind a JSON text; the stored map comes back with its keys sorted.
    static QJsonObject obj(const QVariant &json)
    {
        return QJsonDocument::fromJson(json.toString().toUtf8()).object();
    }

    TempEnv env_;
    std::unique_ptr<QQmlEngine> engine_;
    QString expectedFile_;
};

} // namespace

TEST_F(SettingsTest, ValuesRoundTripThroughTheIniFile)
{
    const QVariantMap nested{{"grid", true},
                             {"row", false},
                             {"font_title", QStringLiteral("متوسط")},
                             {"inner", QVariantMap{{"n", 10}, {"list", QVariantList{1, "a"}}}}};
    {
        GSetting s;
        EXPECT_EQ(GSetting::filePath(), expectedFile_);
        QSignalSpy changed(&s, &GSetting::settingChanged);
        s.set_value("app_data", nested);
        s.set_value("flag", false);
        s.set_value("name", QStringLiteral("نام"));
        ASSERT_EQ(changed.count(), 3);
        EXPECT_EQ(changed.at(0).at(0).toString(), "app_data");
        // Written at once, before the object goes away.
        EXPECT_TRUE(QFileInfo::exists(expectedFile_));
    }

    QSettings raw(expectedFile_, QSettings::IniFormat);
    EXPECT_EQ(raw.value("app_data").toMap(), nested);
    QFile file(expectedFile_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[General]")) << text.constData();
    EXPECT_TRUE(text.contains("app_data=@Variant(")) << text.constData();

    GSetting again;
    EXPECT_EQ(again.value("app_data", QVariant()).toMap(), nested);
    EXPECT_EQ(again.value("missing", 7).toInt(), 7);
    // INI keeps top-level scalars as text: "false" must still read as false.
    EXPECT_FALSE(again.bool_value("flag", true));
    EXPECT_TRUE(again.bool_value("missing", true));
    EXPECT_EQ(again.value("name").toString(), QStringLiteral("نام"));
}

TEST_F(SettingsTest, ConditionalWritesAndRemoval)
{
    GSetting s;
    QSignalSpy changed(&s, &GSetting::settingChanged);

    s.set_value_if_not_set("k", 1);
    s.set_value_if_not_set("k", 2);
    EXPECT_EQ(s.value("k").toInt(), 1);
    EXPECT_EQ(changed.count(), 1);

    s.init_to_defaults();
    s.init_to_defaults();
    EXPECT_EQ(s.value("test").toInt(), 1);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toString(), "test");

    ASSERT_TRUE(QFileInfo::exists(expectedFile_));
    s.remove();
    EXPECT_FALSE(QFileInfo::exists(expectedFile_));
    EXPECT_EQ(s.value("k").toInt(), 1); // what was read stays in memory
    GSetting fresh;
    EXPECT_FALSE(fresh.value("k").isValid());
}

TEST_F(SettingsTest, SingletonStartsWithDefaultsAndWritesNothing)
{
    auto o = probe(*engine_);
    ASSERT_TRUE(o);
    EXPECT_EQ(call(o.get(), "version").toInt(), 12);
    EXPECT_EQ(obj(call(o.get(), "json")), obj(call(o.get(), "defaultsJson")));
    EXPECT_EQ(call(o.get(), "get", "db_version").toInt(), 12);
    EXPECT_EQ(call(o.get(), "get", "wallpaper").toInt(), 17);
    EXPECT_EQ(call(o.get(), "get", "tavorlin_zoom").toString(), "small");
    EXPECT_FALSE(QFileInfo::exists(expectedFile_));
}

TEST_F(SettingsTest, SingletonSavesWholeObjectAndClearRestoresDefaults)
{
    QString saved;
    {
        auto o = probe(*engine_);
        ASSERT_TRUE(o);
        call(o.get(), "put", "is_lock", true);
        call(o.get(), "put", "lock_password", "1234");
        call(o.get(), "put", "dbCreated", true);
        call(o.get(), "save");
        saved = call(o.get(), "json").toString();
    }
    {
        auto engine = TempEnv::engine(); // a fresh start reads the file
        auto o = probe(*engine);
        ASSERT_TRUE(o);
        EXPECT_EQ(obj(call(o.get(), "json")), obj(saved));
        EXPECT_TRUE(call(o.get(), "get", "is_lock").toBool());
        EXPECT_EQ(call(o.get(), "get", "file_template").toMap().value("font_title").toString(),
                  QStringLiteral("متوسط"));

        call(o.get(), "clear");
        EXPECT_FALSE(call(o.get(), "has", "is_lock").toBool());
        EXPECT_FALSE(call(o.get(), "has", "lock_password").toBool());
        EXPECT_EQ(obj(call(o.get(), "json")), obj(call(o.get(), "defaultsJson")));
    }
    auto engine = TempEnv::engine();
    auto o = probe(*engine);
    ASSERT_TRUE(o);
    EXPECT_EQ(obj(call(o.get(), "json")), obj(call(o.get(), "defaultsJson")));
}

TEST_F(SettingsTest, StoredObjectReplacesDefaultsWholeAndNonObjectsAreIgnored)
{
    {
        GSetting s;
        s.set_value("app_data", QVariantMap{{"dbCreated", true}, {"db_version", 11}});
    }
    auto o = probe(*engine_);
    ASSERT_TRUE(o);
    EXPECT_FALSE(call(o.get(), "has", "tavorlin_zoom").toBool());
    EXPECT_EQ(call(o.get(), "get", "db_version").toInt(), 11);

    GSetting().set_value("app_data", QStringLiteral("garbage"));
    auto engine = TempEnv::engine();
    auto fresh = probe(*engine);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(obj(call(fresh.get(), "json")), obj(call(fresh.get(), "defaultsJson")));
}
