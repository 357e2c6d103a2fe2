// The first full download of a large agency from the local fixture server
// (tests/peers/agencyserver.js): 20,000 files with their contacts, districts, hashtags, notes,
// activities, boards and shelves, run by the real Initialz, Sockets and Database singletons into
// a fresh store, timed from the first request to end(). Run by hand:
//   build-*/bench/syncbenchdownload [--files N] [--log FILE]
//
// The run itself is cut at two moments of each page: when its reply has been decoded and parsed
// on the network thread, and when its save has answered. "reply to saved" is the QML handler,
// the hand-off to the pool and the batch save; "saved to next reply" is the next request going
// out, the fixture server, the link, and the decoding and parsing of the reply. The fixture
// server's own time (building each reply: JSON, gzip, Base64, from its log) is part of the
// second and is shown apart, as is the run without it.
// Where the time goes is also measured beside the run on the very replies it received:
//   decode  Base64 and gunzip of each reply, as the socket object does on its network thread;
//   JSON    parsing each page into a QJsonArray, as the socket object does for the page replies;
//   store   each page's batch save into a second fresh store.
// Without --log the program's debug output is off (not formatted at all); with it, it is written
// to FILE, as the program writes it to wherever its error output goes.

#include "peer.h"
#include "testca.h"

#include "shell/registration.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "sync/gsocket.h"
#include "sync/replydecoder.h"
#include "sync/synclist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

const char kHarness[] = R"(
import QtQuick 2.15
import com 1.0
QtObject {
    property var sockets: Sockets
    property bool ended: false
    property bool failed: false
    function connectTo(port) { Sockets.ip = "127.0.0.1"; Sockets.port = port; Sockets.initial() }
    function login(account) {
        var id = Database.saveUser(account, true)
        Database.initial()
        Account.set(Database.currentUser())
        return id
    }
    property var database: Database
    function run() {
        Initialz.end.connect(function () { ended = true })
        Initialz.failed.connect(function () { failed = true })
        Initialz.start()
    }
}
)";

FILE *logFile = nullptr;

void benchHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (logFile) {
        const QByteArray line = message.toUtf8();
        fwrite(line.constData(), 1, size_t(line.size()), logFile);
        fputc('\n', logFile);
    } else if (type != QtDebugMsg && type != QtInfoMsg) {
        fprintf(stderr, "%s\n", qPrintable(message.left(300)));
    }
}

struct Reply
{
    std::string name;
    QString text;
};

// What arrived, as it arrived: texts of the plain replies, the parsed pages (turned back into
// text only after the run), and when each page was ready and when each save answered.
struct Arrival
{
    std::string name;
    QString text;
    QJsonObject reply;
    QVariant list;
    bool page = false;
    qint64 readyNs = 0;
};

std::mutex repliesMutex;
std::vector<Arrival> arrivals;
std::vector<qint64> savedNs;
QElapsedTimer runClock;

QString pageText(const Arrival &a)
{
    if (!a.page)
        return a.text;
    QJsonObject reply = a.reply;
    if (a.list.isValid()) {
        QJsonObject content = reply.value("content").toObject();
        content.insert("list", a.list.value<UGENERAL::SyncList>().items());
        reply.insert("content", content);
    }
    return QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QByteArray gzipBase64(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(int(zs.total_out));
    deflateEnd(&zs);
    return out.toBase64();
}

// An agent item of the first download as the user object the download saves.
QJsonObject agentUser(const QJsonObject &item, const QString &owner)
{
    QJsonObject user = item.value("agent_ref").toObject();
    user["user_ref"] = owner;
    for (const char *key : {"access", "type", "device", "date", "status"})
        if (item.contains(key))
            user[key] = item.value(key);
    return user;
}

// Each page's list saved by the synchronous form of the slot that the download calls; the time
// of each step goes into `bySteps`.
double storeReplay(const std::vector<Reply> &pages, const QJsonObject &manager, std::map<std::string, double> &bySteps)
{
    QTemporaryDir dir;
    UGENERAL::openSharedStore(dir.path().toStdString());
    UGENERAL::GDatabase db;
    QJsonObject account = manager;
    account["type"] = 100;
    db.saveUser(account, true);
    db.initial();
    const QString owner = manager.value("_id").toString();
    double total = 0;
    for (const Reply &page : pages) {
        QJsonArray list = QJsonDocument::fromJson(page.text.toUtf8()).object().value("content").toObject().value("list").toArray();
        if (page.name == "initial_agent_result") {
            QJsonArray users;
            for (const QJsonValue &item : list)
                users.append(agentUser(item.toObject(), owner));
            list = users;
        }
        QElapsedTimer t;
        t.start();
        const std::string &n = page.name;
        if (n == "initial_agent_result") db.saveUsers(list);
        else if (n == "initial_customer_result") db.saveContacts(list);
        else if (n == "initial_district_result") db.saveDistricts(list);
        else if (n == "initial_hashtag_result") db.saveHashtags(list);
        else if (n == "initial_note_result") db.saveNotes(list);
        else if (n == "initial_activity_result") db.saveActivities(list);
        else if (n == "initial_tavorlin_result") db.saveTavorlins(list);
        else if (n == "initial_shelf_result") db.saveShelves(list);
        else if (n == "initial_property_result") db.saveFiles(list);
        else if (n == "initial_seen_result") {
            bool done = false;
            QObject::connect(&db, &UGENERAL::GDatabase::unseenSaved, [&] { done = true; });
            db.unseen(list);
            waitFor([&] { return done; }, 60000);
        } else
            continue;
        total += ms(t);
        bySteps[n.substr(0, n.size() - std::strlen("_result"))] += ms(t);
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    int files = 20000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--files") && i + 1 < argc)
            files = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--log") && i + 1 < argc)
            logFile = std::fopen(argv[++i], "w");
    }
    qInstallMessageHandler(benchHandler);
    // Logging off: the debug lines are not even formatted, as with a program run whose logging
    // rules turn debug output off.
    if (!logFile)
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\nqml.debug=false\njs.debug=false"));

    const TestCa &ca = TestCa::get();
    if (!ca.ok) {
        fprintf(stderr, "no test certificates\n");
        return 1;
    }
    qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(ca.caFile));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir storeDir;
    UGENERAL::openSharedStore(storeDir.path().toStdString());

    const QString dumpPath = storeDir.path() + "/server.json";
    const std::string n = std::to_string(files);
    Peer::Options options;
    options.script = "agencyserver.js";
    options.extraArgs = {"--dump", dumpPath.toStdString(), "--files", n, "--contacts", n, "--activities", n,
                         "--districts", "300", "--hashtags", "200", "--notes", "2000", "--boards", "200",
                         "--shelves", "20", "--agents", "20", "--unseen", std::to_string(files / 20)};
    Peer peer(options);
    if (!peer.start()) {
        fprintf(stderr, "the fixture server did not start\n");
        return 1;
    }
    QFile dump(dumpPath);
    dump.open(QIODevice::ReadOnly);
    const QJsonObject sent = QJsonDocument::fromJson(dump.readAll()).object();
    const QJsonObject manager = sent.value("manager").toObject();

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    UGENERAL::registerQmlTypes(engine.offlineStoragePath());
    QQmlComponent component(&engine);
    component.setData(kHarness, QUrl(QStringLiteral("file:///syncbench.qml")));
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    auto *sockets = qobject_cast<UGENERAL::GSocket *>(root->property("sockets").value<QObject *>());
    if (!sockets) {
        fprintf(stderr, "no socket object\n");
        return 1;
    }
    // On the network thread, as each reply has been decoded (and a page parsed).
    QObject::connect(sockets, &UGENERAL::GSocket::recieve, sockets, [](QString name, QString data) {
        std::lock_guard<std::mutex> lock(repliesMutex);
        arrivals.push_back({name.toStdString(), data, {}, {}, false, runClock.nsecsElapsed()});
    }, Qt::DirectConnection);
    QObject::connect(sockets, &UGENERAL::GSocket::recievePage, sockets,
                     [](QString name, QJsonObject reply, QVariant list, int) {
                         std::lock_guard<std::mutex> lock(repliesMutex);
                         arrivals.push_back({name.toStdString(), {}, reply, list, true, runClock.nsecsElapsed()});
                     },
                     Qt::DirectConnection);
    // On the pool thread, as each save answers.
    auto *database = qobject_cast<UGENERAL::GDatabase *>(root->property("database").value<QObject *>());
    if (!database) {
        fprintf(stderr, "no database object\n");
        return 1;
    }
    for (auto saved : {&UGENERAL::GDatabase::usersSaved, &UGENERAL::GDatabase::contactsSaved,
                       &UGENERAL::GDatabase::districtsSaved, &UGENERAL::GDatabase::hashtagsSaved,
                       &UGENERAL::GDatabase::notesSaved, &UGENERAL::GDatabase::activitiesSaved,
                       &UGENERAL::GDatabase::tavorlinsSaved, &UGENERAL::GDatabase::shelvesSaved,
                       &UGENERAL::GDatabase::filesSaved, &UGENERAL::GDatabase::unseenSaved})
        QObject::connect(database, saved, database, [] {
            std::lock_guard<std::mutex> lock(repliesMutex);
            savedNs.push_back(runClock.nsecsElapsed());
        }, Qt::DirectConnection);
    QMetaObject::invokeMethod(root.get(), "connectTo", Q_ARG(QVariant, peer.port()));
    if (!waitFor([&] { return sockets->property("connected").toBool(); }, 20000)) {
        fprintf(stderr, "no connection\n");
        return 1;
    }
    QJsonObject account = manager;
    account["type"] = 100;
    QMetaObject::invokeMethod(root.get(), "login", Q_ARG(QVariant, account.toVariantMap()));

    {
        std::lock_guard<std::mutex> lock(repliesMutex);
        arrivals.clear();
    }
    QElapsedTimer wall;
    wall.start();
    runClock.start();
    QMetaObject::invokeMethod(root.get(), "run");
    const bool ended = waitFor([&] { return root->property("ended").toBool() || root->property("failed").toBool(); }, 600000);
    const double totalMs = ms(wall);
    if (!ended || root->property("failed").toBool()) {
        fprintf(stderr, "the download did not end\n");
        return 1;
    }

    // Checks that the run did the whole work before any figure is printed.
    obx::Store &store = *UGENERAL::sharedStore();
    const uint64_t stored = obx::Box<File>(store).count();
    if (stored != uint64_t(files)) {
        fprintf(stderr, "stored %llu files of %d\n", static_cast<unsigned long long>(stored), files);
        return 1;
    }

    double serverMs = 0;
    int requests = 0;
    for (const auto &line : peer.all("replied")) {
        serverMs += line->at("ms")->get_double();
        ++requests;
    }
    std::vector<Reply> pages;
    qint64 bytes = 0;
    // Page by page: the reply ready, then its save answered; the count reply opens the run.
    double replyToSavedMs = 0, savedToReplyMs = 0;
    {
        std::lock_guard<std::mutex> lock(repliesMutex);
        size_t s = 0;
        qint64 last = 0;
        for (const Arrival &a : arrivals) {
            savedToReplyMs += double(a.readyNs - last) / 1e6;
            last = a.readyNs;
            if (a.page && s < savedNs.size()) {
                replyToSavedMs += double(savedNs[s] - a.readyNs) / 1e6;
                last = savedNs[s++];
            }
        }
        for (const Arrival &a : arrivals)
            pages.push_back({a.name, pageText(a)});
    }
    for (const Reply &r : pages)
        bytes += r.text.toUtf8().size();

    double decodeMs = 0;
    for (const Reply &r : pages) {
        const std::string wire = gzipBase64(r.text.toUtf8()).toStdString();
        QString text;
        QElapsedTimer t;
        t.start();
        UGENERAL::decodeReply(wire, text);
        decodeMs += ms(t);
    }

    double jsonMs = 0;
    for (const Reply &r : pages) {
        const QByteArray utf8 = r.text.toUtf8();
        QElapsedTimer t;
        t.start();
        const QJsonArray list = QJsonDocument::fromJson(utf8).object().value("content").toObject().value("list").toArray();
        jsonMs += ms(t);
        (void)list;
    }

    root.reset();
    UGENERAL::closeSharedStore();
    std::map<std::string, double> bySteps;
    const double storeMs = storeReplay(pages, manager, bySteps);

    printf("first download of %d files, %d records, %d replies, %.1f MB of JSON, logging %s\n",
           files, sent.value("initial_property").toArray().size() + sent.value("initial_customer").toArray().size()
               + sent.value("initial_activity").toArray().size() + sent.value("initial_note").toArray().size()
               + sent.value("initial_district").toArray().size() + sent.value("initial_hashtag").toArray().size()
               + sent.value("initial_tavorlin").toArray().size() + sent.value("initial_shelf").toArray().size()
               + sent.value("initial_agent").toArray().size() + sent.value("initial_seen").toArray().size(),
           requests, double(bytes) / 1e6, logFile ? "on, to a file" : "off");
    printf("  first request to end()   %9.0f ms\n", totalMs);
    printf("    without the server     %9.0f ms\n", totalMs - serverMs);
    printf("  in the run:\n");
    printf("    reply to saved         %9.0f ms   (QML handler, hand-off, batch save)\n", replyToSavedMs);
    printf("    saved to next reply    %9.0f ms   (request, server, link, decode and parse)\n", savedToReplyMs);
    printf("      server (build replies)%8.0f ms\n", serverMs);
    printf("  beside the run:\n");
    printf("    store (batch saves)    %9.0f ms\n", storeMs);
    for (const auto &step : bySteps)
        printf("      %-22s %7.0f ms\n", step.first.c_str(), step.second);
    printf("    JSON (parse a page)    %9.0f ms\n", jsonMs);
    printf("    decode (Base64, gunzip)%9.0f ms\n", decodeMs);
    if (logFile)
        std::fclose(logFile);
    return 0;
}
