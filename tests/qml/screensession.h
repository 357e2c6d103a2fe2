#pragma once

// The whole program on screen for end-to-end screen tests: the real window (main.qml) with the
// real Sockets over TLS to the fixture agency server (tests/peers/agencyserver.js), a temporary
// store and a temporary HOME. start() goes the user's way: splash, login by mobile number and
// code, the first download, the home screen. Then a test opens screens through the program's
// own navigation (Templates, Stacks, the page container), drives them with the mouse and the
// keyboard, reads what the server received, pushes notices, and looks into the store.
//
// Every QML warning or error is recorded (and printed shortened); a test checks
// warningsSince(mark) is empty around what it does.

#include "sync/peer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QQmlApplicationEngine;
class QQuickItem;
class QQuickWindow;
namespace obx {
class Store;
}

class ScreenSession
{
public:
    struct Options
    {
        // Further agencyserver.js options; later ones override the small defaults below.
        std::vector<std::string> serverArgs;
        int width = 1280;
        int height = 800;
        // Saves splash, login and home under screens/ while starting.
        bool grabStart = false;
        // Stops at the login screen, with nobody logged in.
        bool stopAtLogin = false;
        // Logs in with this mobile number (an agent's, say) instead of the manager's.
        QString mobile;
    };

    // The small agency the server makes unless told otherwise.
    static std::vector<std::string> defaultServerArgs();

    ScreenSession();
    ~ScreenSession();

    // False with the reason in error() when any step fails.
    bool start();
    bool start(const Options &options);
    void stop();
    const std::string &error() const { return error_; }

    // ---- QML -----------------------------------------------------------------------------------
    // Evaluates code in the window's context (ids of main.qml, the singletons); an error fails the
    // running test. The value of the last expression is returned.
    QVariant eval(const QString &code);
    // Runs the event loop until the condition holds, or the time is up (a limit only a failure
    // reaches: load may slow anything down many times over).
    bool until(const QString &condition, int timeoutMs = 30000);
    bool waitUntil(const std::function<bool()> &done, int timeoutMs = 30000);
    // Runs the event loop for this long.
    void wait(int ms);
    QQuickWindow *window() const { return window_; }
    QQmlApplicationEngine *engine() const { return engine_.get(); }

    // Closes dialogs, drawers and pages down to the home screen.
    void home();

    // ---- Finding and driving items as a user would -----------------------------------------------
    // The first item (in tree order) with this objectName, visible or not; null when none.
    QQuickItem *find(const QString &objectName) const;
    // The last visible item (in tree order) with this objectName: of stacked pages, the one on top.
    QQuickItem *findTop(const QString &objectName) const;
    // The first visible item whose "text" (or, failing that, "title") is exactly this text.
    QQuickItem *findText(const QString &text) const;
    // The item a QML expression evaluates to.
    QQuickItem *item(const QString &expression);
    // "" when the item is visible, lies inside the window and is the topmost item at the centre of
    // its visible rectangle (a click there reaches it or a child of it; nothing of another page or
    // dialog lies above it); otherwise what is wrong.
    QString notInFront(QQuickItem *item) const;

    // Each fails the running test when the item is missing or not visible.
    bool click(QQuickItem *item, Qt::MouseButton button = Qt::LeftButton);
    // Waits for the pages to come to rest, then clicks the item showing this text.
    bool clickText(const QString &text)
    {
        settle();
        return click(findText(text));
    }
    // Waits until no page stack of the window is moving pages and the window has drawn them.
    void settle();
    // Runs the event loop until the window has drawn a frame from now on: what changed is laid out.
    bool drawn(int timeoutMs = 30000);
    bool doubleClick(QQuickItem *item);
    bool longPress(QQuickItem *item, int holdMs = 1000);
    // Press on `from`, hold, move in steps to the centre of `to` (or by `offset`), release.
    bool drag(QQuickItem *from, QQuickItem *to, int holdMs = 0);
    bool dragBy(QQuickItem *from, QPointF offset, int holdMs = 0);
    bool wheel(QQuickItem *item, int angleDeltaY);
    // Key presses go to the item with active focus.
    void type(const QString &text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks the item to focus it, selects all it holds, and types the text over it.
    bool typeInto(QQuickItem *item, const QString &text);

    // ---- File lists --------------------------------------------------------------------------------
    // A QML value (a script object or a map) as a map.
    static QVariantMap mapOf(const QVariant &value);
    // The file list of these options (a script object) in a page container, once `atLeast` rows
    // are in and the pages are at rest (or the time is up); null when no list came.
    QQuickItem *openFileList(const QString &options, int atLeast = 1);
    static QVariantMap rowOf(QQuickItem *list, int i);
    // Opens row i's menu and answers its entries' titles; the menu stays open.
    QStringList rowMenu(QQuickItem *list, int i);
    // Clicks that entry of row i's menu; with `confirm`, waits for the confirmation and gives it.
    bool chooseInRow(QQuickItem *list, int i, const QString &title, bool confirm = true);
    // Waits for a question and answers yes.
    bool confirm();

    // Saves the window as screens/<name>.png under the build folder; returns the path ("" on failure).
    QString grab(const QString &name);

    // ---- Warnings ----------------------------------------------------------------------------------
    // The replies the program took in: a mark, and a wait for one of this name (the event's name
    // with "_result") from the mark on, after which its handler has run.
    std::size_t replyMark() const;
    bool waitReply(const QString &name, std::size_t from, int timeoutMs = 30000);
    std::size_t warningMark() const;
    QStringList warningsSince(std::size_t mark) const;

    // ---- The server --------------------------------------------------------------------------------
    Peer &peer() { return *peer_; }
    // What the server generated, as its --dump wrote it ({manager, initial_agent: [...], ...}).
    const QJsonObject &sent() const { return sent_; }
    QJsonArray list(const char *kind) const { return sent_.value(kind).toArray(); }
    void command(const QJsonObject &c);
    // Arms the next `times` requests of this event to fail: "null", "notok" or "silent".
    void fail(const QString &name, const QString &mode = QStringLiteral("null"), int times = 1);
    // Pushes a notice {type, data, ...extra} under this event name to every client.
    void push(const QString &name, const QString &type, const QJsonValue &data, const QJsonObject &extra = {});
    std::size_t mark() { return peer_->mark(); }
    // The requests of this name the server received from `from` on, each {content, payload}.
    std::vector<QJsonObject> requests(const std::string &name, std::size_t from = 0);
    // Waits for the first such request from `from` on; an empty object when none came.
    QJsonObject waitRequest(const std::string &name, std::size_t from = 0, int timeoutMs = 30000);

    // ---- The store ---------------------------------------------------------------------------------
    obx::Store &store();
    QString tempPath() const { return dir_.path(); }

private:
    bool setError(const std::string &why);
    bool login();
    bool download();
    bool pointOf(QQuickItem *item, QPoint *point, const char *what);

    Options options_;
    std::string error_;
    QTemporaryDir dir_;
    QByteArray oldHome_;
    std::unique_ptr<Peer> peer_;
    QJsonObject sent_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    QQuickWindow *window_ = nullptr;
};

// A suite of tests sharing one session: it starts before the first test and goes after the last;
// each test fails on any QML warning it caused and ends back on the home screen.
class ScreenSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { startSession(ScreenSession::Options()); }
    static void TearDownTestSuite();
    static void startSession(const ScreenSession::Options &options);
    void SetUp() override;
    void TearDown() override;

    static ScreenSession *session;
    static std::string startError;
    std::size_t warningsFrom = 0;
};
