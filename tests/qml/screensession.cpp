#include "screensession.h"

#include "shell/registration.h"
#include "sio/json.h"
#include "store/sharedstate.h"
#include "sync/testca.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJSValue>
#include <QJsonDocument>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QStandardPaths>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

namespace {

std::mutex warningLock;
QStringList warnings;
QtMessageHandler previousHandler = nullptr;

// The names of the replies the program took in, in order ("#RESPONSE <name>////..." is its log line).
QStringList replies;

void recordMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && message.startsWith("#RESPONSE ")) {
        std::lock_guard<std::mutex> lock(warningLock);
        replies << message.mid(10, message.indexOf(QLatin1String("////")) - 10);
        return;
    }
    if (type == QtDebugMsg && (message.startsWith("#REQUEST") || message.startsWith("QJsonObject(")))
        return;
    // Qt's offscreen platform says this of every widget window it shows (the file choosers), and
    // the other when asked to open a document, which it cannot.
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("QPlatformServices::openDocument")))
        return;
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        std::lock_guard<std::mutex> lock(warningLock);
        warnings << message;
    }
    fprintf(stderr, "%s\n", qPrintable(message.left(400)));
}

QJsonObject toJson(const sio::message::ptr &value)
{
    if (!value)
        return {};
    std::string text;
    sio::json::write(*value, text, nullptr);
    return QJsonDocument::fromJson(QByteArray::fromStdString("{\"v\":" + text + "}")).object();
}

// Sets the server address and a start state that skips the slow first-start splash and the door,
// before main.qml reads them; the splash still asks for the cities.
const char kPrelude[] = R"(
import QtQuick 2.15
import com 1.0
QtObject {
    function prepare(port) {
        Sockets.ip = "127.0.0.1"
        Sockets.port = port
        var data = Settings.defaults()
        data.dbCreated = true
        data.door_enabled = false
        // Maps draw no tiles, so no test asks a tile server for any.
        data.map_plugin = "itemsoverlay"
        Settings.app_data = data
        Settings.save()
        return Database.initialDatabase()
    }
}
)";

void collect(QQuickItem *item, const std::function<bool(QQuickItem *)> &match, QQuickItem **found)
{
    if (*found || !item)
        return;
    if (match(item)) {
        *found = item;
        return;
    }
    for (QQuickItem *child : item->childItems())
        collect(child, match, found);
}

// True while any page stack of the window is moving pages.
bool anyStackBusy(QQuickItem *item)
{
    if (!item)
        return false;
    if (item->inherits("QQuickStackView") && item->property("busy").toBool())
        return true;
    for (QQuickItem *child : item->childItems())
        if (anyStackBusy(child))
            return true;
    return false;
}

bool reallyVisible(QQuickItem *item)
{
    return item && item->isVisible() && item->opacity() > 0 && item->width() > 0 && item->height() > 0;
}

// The item a click at this scene point meets first: the deepest visible item, in paint order,
// that holds the point and paints or takes mouse buttons. The overlay itself lets clicks through
// to the pages (it only holds the drawers' edges and the popups).
QQuickItem *topmostAt(QQuickItem *item, const QPointF &scenePos)
{
    if (!item->isVisible() || item->opacity() <= 0)
        return nullptr;
    const bool inside = item->contains(item->mapFromScene(scenePos));
    if (item->clip() && !inside)
        return nullptr;
    QList<QQuickItem *> children = item->childItems();
    std::stable_sort(children.begin(), children.end(), [](QQuickItem *a, QQuickItem *b) { return a->z() < b->z(); });
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (QQuickItem *hit = topmostAt(*it, scenePos))
            return hit;
    const bool solid = item->flags().testFlag(QQuickItem::ItemHasContents) || item->acceptedMouseButtons() != Qt::NoButton;
    return inside && solid && !item->inherits("QQuickOverlay") ? item : nullptr;
}

QString describe(QQuickItem *item)
{
    QStringList chain;
    for (QQuickItem *i = item; i && chain.size() < 8; i = i->parentItem())
        chain << (i->objectName().isEmpty() ? QString::fromLatin1(i->metaObject()->className()) : i->objectName());
    return chain.join(" < ");
}

} // namespace

std::vector<std::string> ScreenSession::defaultServerArgs()
{
    return {"--agents", "3", "--contacts", "60", "--districts", "12", "--hashtags", "8", "--notes", "20",
            "--activities", "40", "--boards", "12", "--shelves", "3", "--files", "300", "--unseen", "10"};
}

ScreenSession::ScreenSession()
{
    previousHandler = qInstallMessageHandler(recordMessage);
}

ScreenSession::~ScreenSession()
{
    stop();
    qInstallMessageHandler(previousHandler);
}

bool ScreenSession::setError(const std::string &why)
{
    error_ = why;
    return false;
}

bool ScreenSession::start()
{
    return start(Options());
}

bool ScreenSession::start(const Options &options)
{
    options_ = options;
    if (!dir_.isValid())
        return setError("no temporary folder");
    const TestCa &ca = TestCa::get();
    if (!ca.ok)
        return setError("the test certificate authority could not be made");
    qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));

    // Settings, pictures and documents go under a HOME of this session's own.
    oldHome_ = qgetenv("HOME");
    const QString home = dir_.path() + "/home";
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    UGENERAL::openSharedStore((dir_.path() + "/store").toStdString());

    const QString dump = dir_.path() + "/server.json";
    Peer::Options peerOptions;
    peerOptions.script = "agencyserver.js";
    peerOptions.extraArgs = defaultServerArgs();
    peerOptions.extraArgs.insert(peerOptions.extraArgs.end(), {"--dump", dump.toStdString()});
    peerOptions.extraArgs.insert(peerOptions.extraArgs.end(), options.serverArgs.begin(), options.serverArgs.end());
    peer_ = std::make_unique<Peer>(peerOptions);
    if (!peer_->start())
        return setError("the fixture agency server did not start");
    QFile file(dump);
    if (!file.open(QIODevice::ReadOnly))
        return setError("the fixture agency server wrote no records");
    sent_ = QJsonDocument::fromJson(file.readAll()).object();

    // The program's QML loads without a word: the singletons first, then the window.
    const std::size_t loading = warningMark();
    engine_ = std::make_unique<QQmlApplicationEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/"));
    UGENERAL::registerQmlTypes(engine_->offlineStoragePath());
    QQmlComponent prelude(engine_.get());
    prelude.setData(kPrelude, QUrl(QStringLiteral("file:///screenprelude.qml")));
    std::unique_ptr<QObject> prepared(prelude.create());
    if (!prepared)
        return setError("prelude: " + prelude.errorString().toStdString());
    QVariant seeded;
    QMetaObject::invokeMethod(prepared.get(), "prepare", Q_RETURN_ARG(QVariant, seeded), Q_ARG(QVariant, peer_->port()));

    engine_->load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine_->rootObjects().isEmpty())
        return setError("main.qml did not load");
    if (!warningsSince(loading).isEmpty())
        return setError("the program's QML loaded with warnings:\n" + warningsSince(loading).join("\n").toStdString());
    window_ = qobject_cast<QQuickWindow *>(engine_->rootObjects().first());
    if (!window_)
        return setError("main.qml's root is no window");
    window_->resize(options.width, options.height);
    if (!until("Stacks.last() !== null && Sockets.connected", 60000))
        return setError("no connection to the fixture agency server");
    if (!until("Settings.app_data.citiesInserted === true", 60000))
        return setError("the cities did not come");
    if (options.grabStart)
        grab("splash");
    // Lands at once, unless the splash's own timer landed already (a slow start).
    eval("(function (s) { if (s.landingTimer) { s.landingTimer.stop(); s.land() } })(Stacks.last())");
    if (!until("Stacks.last() && Stacks.last().byCell !== undefined", 60000))
        return setError("the login screen did not open");
    if (options.stopAtLogin)
        return true;
    return login() && download();
}

bool ScreenSession::login()
{
    const QString mobile = !options_.mobile.isEmpty() ? options_.mobile
                                                      : sent_.value("manager").toObject().value("mobile").toString();
    if (options_.grabStart)
        grab("login");
    eval(QStringLiteral("Stacks.last().byCell.setNumber('%1'); Stacks.last().byCell.submit()").arg(mobile));
    if (!until("Stacks.last().step === 2"))
        return setError("the code step did not come");
    if (options_.grabStart)
        grab("login-code");
    eval("Stacks.last().codeStep.setCode('123456')");
    if (!until("Stacks.last() && Stacks.last().shelvesLoader !== undefined"))
        return setError("the home screen did not open after the login");
    return true;
}

bool ScreenSession::download()
{
    // A new account downloads everything first, in the dialog the home screen opens.
    if (!until("Templates.dialogs.length > 0 && Templates.dialogs[Templates.dialogs.length - 1].done !== undefined"))
        return setError("the download dialog did not open");
    eval("var sync = Templates.dialogs[Templates.dialogs.length - 1]");
    if (!until("Templates.dialogs[Templates.dialogs.length - 1].done", 180000))
        return setError("the first download did not end");
    if (eval("Templates.dialogs[Templates.dialogs.length - 1].failed").toBool())
        return setError("the first download failed");
    until("Templates.dialogs[Templates.dialogs.length - 1].rainStopped", 30000);
    eval("Templates.dialogs[Templates.dialogs.length - 1].finish()");
    if (!until("Stacks.last().shelvesLoader.active && !Consts.initial_busy", 60000))
        return setError("the home screen did not show its shelves");
    wait(300);
    if (options_.grabStart)
        grab("home");
    return true;
}

void ScreenSession::stop()
{
    window_ = nullptr;
    engine_.reset();
    if (peer_)
        peer_->stop();
    peer_.reset();
    if (UGENERAL::sharedStore())
        UGENERAL::closeSharedStore();
    if (!oldHome_.isNull()) {
        qputenv("HOME", oldHome_);
        oldHome_.clear();
    }
}

QVariant ScreenSession::eval(const QString &code)
{
    QObject *root = window_;
    if (!root)
        return {};
    QQmlExpression expression(qmlContext(root), root, code);
    const QVariant value = expression.evaluate();
    EXPECT_FALSE(expression.hasError()) << code.toStdString() << ": " << expression.error().toString().toStdString();
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

bool ScreenSession::until(const QString &condition, int timeoutMs)
{
    return waitUntil([&] { return eval(condition).toBool(); }, timeoutMs);
}

bool ScreenSession::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

void ScreenSession::wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // A thread held off the processor past the time would see none of it otherwise: the timers and
    // animation steps that fell due in it run now.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void ScreenSession::home()
{
    eval("Templates.closeAllDialogs();"
         "if (Consts.drawer_setting) Consts.drawer_setting.close();"
         "if (Consts.drawer_note) Consts.drawer_note.close();"
         "while (Stacks.stack.depth > 1) Stacks.back();");
    // Popups that screens opened on their own (choosers, menus) close too.
    std::vector<QPointer<QObject>> popups;
    const std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
        if (item->inherits("QQuickPopupItem") && item->isVisible() && item->parent())
            popups.emplace_back(item->parent());
        for (QQuickItem *child : item->childItems())
            walk(child);
    };
    if (window_)
        walk(window_->contentItem());
    for (const QPointer<QObject> &popup : popups)
        if (popup)
            QMetaObject::invokeMethod(popup, "close");
    // Until every popup has finished closing and every page stack is at rest, however slowly.
    const auto popupShown = [&] {
        popups.clear();
        if (window_)
            walk(window_->contentItem());
        return !popups.empty();
    };
    waitUntil([&] { return !window_ || (!popupShown() && !anyStackBusy(window_->contentItem())); });
    wait(100);
}

QQuickItem *ScreenSession::find(const QString &objectName) const
{
    QQuickItem *found = nullptr;
    if (window_)
        collect(window_->contentItem(), [&](QQuickItem *i) { return i->objectName() == objectName; }, &found);
    return found;
}

QQuickItem *ScreenSession::findTop(const QString &objectName) const
{
    QQuickItem *found = nullptr;
    std::function<void(QQuickItem *)> walk = [&](QQuickItem *i) {
        if (i->objectName() == objectName && i->isVisible())
            found = i;
        for (QQuickItem *c : i->childItems())
            walk(c);
    };
    if (window_)
        walk(window_->contentItem());
    return found;
}

QQuickItem *ScreenSession::findText(const QString &text) const
{
    QQuickItem *found = nullptr;
    if (!window_)
        return nullptr;
    collect(window_->contentItem(), [&](QQuickItem *i) {
        if (!reallyVisible(i))
            return false;
        const QVariant t = i->property("text");
        if (t.isValid())
            return t.toString() == text;
        return i->property("title").toString() == text && !text.isEmpty();
    }, &found);
    return found;
}

QQuickItem *ScreenSession::item(const QString &expression)
{
    return qobject_cast<QQuickItem *>(eval(expression).value<QObject *>());
}

QString ScreenSession::notInFront(QQuickItem *item) const
{
    if (!item || !window_)
        return QStringLiteral("no such item");
    for (QQuickItem *i = item; i; i = i->parentItem())
        if (!i->isVisible() || i->opacity() <= 0)
            return "not visible: " + describe(i);
    const QRectF windowRect(0, 0, window_->width(), window_->height());
    const QRectF own = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    if (own.isEmpty() || !windowRect.adjusted(-0.5, -0.5, 0.5, 0.5).contains(own))
        return QStringLiteral("outside the window: (%1, %2) %3 x %4")
            .arg(own.x()).arg(own.y()).arg(own.width()).arg(own.height());
    QRectF shown = own;
    for (QQuickItem *p = item->parentItem(); p; p = p->parentItem())
        if (p->clip())
            shown &= p->mapRectToScene(QRectF(0, 0, p->width(), p->height()));
    if (shown.isEmpty())
        return QStringLiteral("clipped away");
    QQuickItem *hit = topmostAt(window_->contentItem(), shown.center());
    if (hit != item && !item->isAncestorOf(hit))
        return "covered by " + (hit ? describe(hit) : QStringLiteral("nothing"));
    return {};
}

void ScreenSession::settle()
{
    waitUntil([this] { return !window_ || !anyStackBusy(window_->contentItem()); }, 30000);
    drawn();
}

bool ScreenSession::drawn(int timeoutMs)
{
    if (!window_)
        return false;
    int frames = 0;
    const QMetaObject::Connection counting = QObject::connect(window_, &QQuickWindow::frameSwapped, [&] { ++frames; });
    window_->update();
    const bool done = waitUntil([&] { return frames > 0; }, timeoutMs);
    QObject::disconnect(counting);
    return done;
}

QVariantMap ScreenSession::mapOf(const QVariant &value)
{
    return value.userType() == qMetaTypeId<QJSValue>() ? value.value<QJSValue>().toVariant().toMap() : value.toMap();
}

QQuickItem *ScreenSession::openFileList(const QString &options, int atLeast)
{
    eval("Templates.initial('generals/StackContent.qml', {'contentType': 'fileList', 'options': " + options + "})");
    QQuickItem *list = nullptr;
    waitUntil([&] {
        list = findTop(QStringLiteral("fileList"));
        return list && list->property("count").toInt() >= atLeast && !list->property("loading").toBool();
    });
    settle();
    return list;
}

QVariantMap ScreenSession::rowOf(QQuickItem *list, int i)
{
    QVariant row;
    QMetaObject::invokeMethod(list, "rowAt", Q_RETURN_ARG(QVariant, row), Q_ARG(QVariant, i));
    return mapOf(row);
}

QStringList ScreenSession::rowMenu(QQuickItem *list, int i)
{
    QObject *menu = list ? list->findChild<QObject *>(QStringLiteral("fileMenu")) : nullptr;
    if (!menu || !waitUntil([&] { return !menu->property("visible").toBool(); })) {
        ADD_FAILURE() << "no closed file menu to open";
        return {};
    }
    QMetaObject::invokeMethod(list, "openMenu", Q_ARG(QVariant, i));
    EXPECT_TRUE(waitUntil([&] { return menu->property("opened").toBool(); })) << "row " << i << "'s menu";
    settle();
    QStringList titles;
    for (const QVariant &entry : menu->property("entries").toList())
        titles << mapOf(entry).value("title").toString();
    return titles;
}

bool ScreenSession::chooseInRow(QQuickItem *list, int i, const QString &title, bool confirm)
{
    rowMenu(list, i);
    return clickText(title) && (!confirm || this->confirm());
}

bool ScreenSession::confirm()
{
    const QString yes = QStringLiteral("بله");
    return waitUntil([&] { return findText(yes) != nullptr; }) && clickText(yes);
}

bool ScreenSession::pointOf(QQuickItem *item, QPoint *point, const char *what)
{
    // Waiting runs the event loop, which may delete the item (a list reloading its rows).
    QPointer<QQuickItem> guarded(item);
    const auto gone = [&] {
        if (guarded)
            return false;
        ADD_FAILURE() << what << ": the item went away before it came to rest";
        return true;
    };
    if (!item) {
        ADD_FAILURE() << what << ": no such item";
        return false;
    }
    // An item still sliding in (a page being pushed, a popup opening) is where it stops moving.
    settle();
    if (gone())
        return false;
    const auto centre = [&] { return guarded->mapToScene(QPointF(guarded->width() / 2, guarded->height() / 2)); };
    QPointF at = centre();
    QElapsedTimer settling;
    settling.start();
    for (;;) {
        wait(60);
        if (gone())
            return false;
        const QPointF now = centre();
        if (now == at || settling.elapsed() > 10000)
            break;
        at = now;
    }
    if (!reallyVisible(guarded)) {
        ADD_FAILURE() << what << ": the item is not visible";
        return false;
    }
    *point = at.toPoint();
    return true;
}

bool ScreenSession::click(QQuickItem *item, Qt::MouseButton button)
{
    QPoint at;
    if (!pointOf(item, &at, "click"))
        return false;
    QTest::mouseClick(window_, button, Qt::NoModifier, at);
    wait(50);
    return true;
}

bool ScreenSession::doubleClick(QQuickItem *item)
{
    QPoint at;
    if (!pointOf(item, &at, "doubleClick"))
        return false;
    QTest::mouseDClick(window_, Qt::LeftButton, Qt::NoModifier, at);
    wait(50);
    return true;
}

bool ScreenSession::longPress(QQuickItem *item, int holdMs)
{
    QPoint at;
    if (!pointOf(item, &at, "longPress"))
        return false;
    QTest::mousePress(window_, Qt::LeftButton, Qt::NoModifier, at);
    wait(holdMs);
    QTest::mouseRelease(window_, Qt::LeftButton, Qt::NoModifier, at);
    wait(50);
    return true;
}

bool ScreenSession::drag(QQuickItem *from, QQuickItem *to, int holdMs)
{
    QPoint end;
    if (!pointOf(to, &end, "drag target"))
        return false;
    QPoint start;
    if (!pointOf(from, &start, "drag"))
        return false;
    return dragBy(from, QPointF(end - start), holdMs);
}

bool ScreenSession::dragBy(QQuickItem *from, QPointF offset, int holdMs)
{
    QPoint start;
    if (!pointOf(from, &start, "drag"))
        return false;
    QTest::mousePress(window_, Qt::LeftButton, Qt::NoModifier, start);
    wait(holdMs > 0 ? holdMs : 30);
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(window_, start + (offset * i / steps).toPoint());
        wait(20);
    }
    QTest::mouseRelease(window_, Qt::LeftButton, Qt::NoModifier, start + offset.toPoint());
    wait(50);
    return true;
}

bool ScreenSession::wheel(QQuickItem *item, int angleDeltaY)
{
    QPoint at;
    if (!pointOf(item, &at, "wheel"))
        return false;
    QWheelEvent event(QPointF(at), window_->mapToGlobal(at), QPoint(), QPoint(0, angleDeltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window_, &event);
    wait(50);
    return true;
}

void ScreenSession::type(const QString &text)
{
    // One press and release per character, carrying the character as its text (Persian too).
    for (const QChar c : text) {
        const int code = c.isLetterOrNumber() && c.unicode() < 128 ? c.toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(window_, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(window_, &release);
    }
    wait(20);
}

void ScreenSession::key(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(window_, k, modifiers);
    wait(20);
}

bool ScreenSession::typeInto(QQuickItem *item, const QString &text)
{
    if (!click(item))
        return false;
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    type(text);
    return true;
}

QString ScreenSession::grab(const QString &name)
{
    if (!window_)
        return {};
    // A page still sliding in is no picture of it.
    until("!Stacks.stack || !Stacks.stack.busy", 30000);
    wait(100);
    // The software backend cannot grab its own window under offscreen; the screen can.
    const QImage image = window_->screen()->grabWindow(window_->winId()).toImage();
    QDir().mkpath(SCREENS_DIR);
    const QString path = QStringLiteral(SCREENS_DIR) + "/" + name + ".png";
    if (image.isNull() || !image.save(path)) {
        ADD_FAILURE() << "could not grab " << name.toStdString();
        return {};
    }
    return path;
}

std::size_t ScreenSession::warningMark() const
{
    std::lock_guard<std::mutex> lock(warningLock);
    return std::size_t(warnings.size());
}

std::size_t ScreenSession::replyMark() const
{
    std::lock_guard<std::mutex> lock(warningLock);
    return std::size_t(replies.size());
}

bool ScreenSession::waitReply(const QString &name, std::size_t from, int timeoutMs)
{
    return waitUntil([&] {
        std::lock_guard<std::mutex> lock(warningLock);
        return replies.indexOf(name, int(from)) >= 0;
    }, timeoutMs);
}

QStringList ScreenSession::warningsSince(std::size_t mark) const
{
    std::lock_guard<std::mutex> lock(warningLock);
    return warnings.mid(int(mark));
}

void ScreenSession::command(const QJsonObject &c)
{
    peer_->command(QJsonDocument(c).toJson(QJsonDocument::Compact).toStdString());
}

void ScreenSession::fail(const QString &name, const QString &mode, int times)
{
    const std::size_t at = peer_->mark();
    command({{"cmd", "fail"}, {"name", name}, {"mode", mode}, {"times", times}});
    peer_->waitFor("armed", 5000, at, [] { QCoreApplication::processEvents(); });
}

void ScreenSession::push(const QString &name, const QString &type, const QJsonValue &data, const QJsonObject &extra)
{
    QJsonObject content = extra;
    content["type"] = type;
    content["data"] = data;
    command({{"cmd", "notify"}, {"name", name}, {"content", content}});
}

std::vector<QJsonObject> ScreenSession::requests(const std::string &name, std::size_t from)
{
    std::vector<QJsonObject> out;
    for (const auto &line : peer_->all("request", from))
        if (field(*line, "name") == name)
            out.push_back(QJsonObject{{"content", toJson(line->at("content")).value("v")},
                                      {"payload", toJson(line->at("payload")).value("v")}});
    return out;
}

QJsonObject ScreenSession::waitRequest(const std::string &name, std::size_t from, int timeoutMs)
{
    const auto line = peer_->waitFor(
        "request", [&](const sio::message &l) { return field(l, "name") == name; }, timeoutMs, from,
        [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
    if (!line)
        return {};
    return QJsonObject{{"content", toJson(line->at("content")).value("v")},
                       {"payload", toJson(line->at("payload")).value("v")}};
}

obx::Store &ScreenSession::store()
{
    return *UGENERAL::sharedStore();
}

ScreenSession *ScreenSuite::session = nullptr;
std::string ScreenSuite::startError;

void ScreenSuite::startSession(const ScreenSession::Options &options)
{
    session = new ScreenSession;
    if (!session->start(options))
        startError = "the session did not start: " + session->error();
}

void ScreenSuite::TearDownTestSuite()
{
    delete session;
    session = nullptr;
}

void ScreenSuite::SetUp()
{
    ASSERT_TRUE(startError.empty()) << startError;
    warningsFrom = session->warningMark();
}

void ScreenSuite::TearDown()
{
    if (!startError.empty())
        return;
    const QStringList warnings = session->warningsSince(warningsFrom);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
    session->home();
}
