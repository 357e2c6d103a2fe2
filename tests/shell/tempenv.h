#pragma once

// Points HOME and the XDG data, config and cache homes at a fresh temporary directory for the
// life of the object, so that settings, folders and caches never touch the user's own; and a
// QML engine with the program's types registered once per process.

#include "shell/registration.h"

#include <QByteArray>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class TempEnv
{
public:
    TempEnv()
    {
        for (const char *name : kNames) {
            wasSet_.push_back(qEnvironmentVariableIsSet(name));
            saved_.push_back(qgetenv(name));
            qputenv(name, dir_.path().toUtf8() + "/" + QByteArray(name).toLower());
        }
    }
    ~TempEnv()
    {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (wasSet_[i])
                qputenv(kNames[i], saved_[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    TempEnv(const TempEnv &) = delete;
    TempEnv &operator=(const TempEnv &) = delete;

    QString path() const { return dir_.path(); }
    QString dataHome() const { return dir_.path() + "/xdg_data_home"; }
    QString cacheHome() const { return dir_.path() + "/xdg_cache_home"; }

    static std::unique_ptr<QQmlEngine> engine()
    {
        auto engine = std::make_unique<QQmlEngine>();
        engine->addImportPath(QStringLiteral("qrc:/"));
        static bool registered = false;
        if (!registered) {
            UGENERAL::registerQmlTypes(engine->offlineStoragePath());
            registered = true;
        }
        return engine;
    }

    // Builds a QML object from source that imports QtQuick and com.
    static std::unique_ptr<QObject> create(QQmlEngine &engine, const QByteArray &body,
                                           QString *error = nullptr)
    {
        QQmlComponent c(&engine);
        c.setData("import QtQuick 2.15\nimport com 1.0\n" + body, QUrl("qrc:/probe.qml"));
        std::unique_ptr<QObject> o(c.create());
        if (!o && error)
            *error = c.errorString();
        return o;
    }

private:
    static constexpr const char *kNames[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                             "XDG_CACHE_HOME"};
    QTemporaryDir dir_;
    std::vector<QByteArray> saved_;
    std::vector<bool> wasSet_;
};
