#pragma once

// One QML engine with the program's types and singletons registered, running a harness item the
// test writes, with the helpers end-to-end tests drive it by.

#include <QObject>
#include <QQmlEngine>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>

class QmlHarness
{
public:
    // Builds the engine and creates the harness; false with the component's errors otherwise.
    bool load(const char *qml, const QString &name, std::string *error);
    void reset();

    // Evaluates code in the harness's context; an error fails the running test.
    QVariant eval(const QString &code);
    // Runs the event loop until the expression holds, or the time is up.
    bool until(const QString &condition, int timeoutMs);

    // Runs the event loop until done() holds, or the time is up.
    static bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    static void spin();

private:
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<QObject> root_;
};
