#include "qmlharness.h"

#include "shell/registration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QUrl>

#include <gtest/gtest.h>

bool QmlHarness::load(const char *qml, const QString &name, std::string *error)
{
    engine_ = std::make_unique<QQmlEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/"));
    UGENERAL::registerQmlTypes(engine_->offlineStoragePath());
    QQmlComponent component(engine_.get());
    component.setData(qml, QUrl(QStringLiteral("file:///") + name));
    root_.reset(component.create());
    if (!root_ && error)
        *error = component.errorString().toStdString();
    return root_ != nullptr;
}

void QmlHarness::reset()
{
    root_.reset();
    engine_.reset();
}

QVariant QmlHarness::eval(const QString &code)
{
    QQmlExpression expression(qmlContext(root_.get()), root_.get(), code);
    const QVariant value = expression.evaluate();
    EXPECT_FALSE(expression.hasError()) << code.toStdString() << ": " << expression.error().toString().toStdString();
    return value;
}

bool QmlHarness::until(const QString &condition, int timeoutMs)
{
    return waitUntil([&] { return eval(condition).toBool(); }, timeoutMs);
}

bool QmlHarness::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (done())
            return true;
        spin();
    }
    return false;
}

void QmlHarness::spin()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
