// The first full download of a large agency from the local fixture server
// (tests/peers/agencyserver.js): 20,000 files with their contacts, districts, hashtags, notes,
// activities, boards and shelves, run by the real Initialz, Sockets and Database singletons into
// a fresh store, timed from the first request to end(). Run by hand:
//   build-*/bench/syncbenchdownload [--files N] [--log FILE]
//
// Where the time goes is measured beside the run on the very texts it received:
//   decode  Base64 and gunzip of each reply, as the socket object does on its network thread;
//   JSON    parsing each reply in a script engine and handing its list over as a QJsonArray,
//           as the reply dispatch and the save slot's argument do;
//   store   each page's batch save into a second fresh store;
//   server  building each reply in the fixture server (JSON, gzip, Base64), from its own log;
//   the rest is the link and the hand-offs between threads.
// Without --log the program's debug output is dropped; with it, it is written to FILE, as the
// program writes it to wherever its error output goes.

#include "peer.h"
#include "testca.h"

#include "shell/registration.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/obx/obx.h"
#include "store/sharedstate.h"
#include "sync/gsocket.h"
#include "sync/replydecoder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

std::mutex repliesMutex;
std::vector<Reply> replies;

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
    // On the network thread, as each reply has been decoded.
    QObject::connect(sockets, &UGENERAL::GSocket::recieve, sockets, [](QString name, QString data) {
        std::lock_guard<std::mutex> lock(repliesMutex);
        replies.push_back({name.toStdString(), data});
    }, Qt::DirectConnection);
    QMetaObject::invokeMethod(root.get(), "connectTo", Q_ARG(QVariant, peer.port()));
    if (!waitFor([&] { return sockets->property("connected").toBool(); }, 20000)) {
        fprintf(stderr, "no connection\n");
        return 1;
    }
    QJsonObject account = manager;
    account["type"] = 100;
    QMetaObject::invokeMethod(root.get(), "login", Q_ARG(QVariant, account.toVariantMap()));

    QElapsedTimer wall;
    wall.start();
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
    {
        std::lock_guard<std::mutex> lock(repliesMutex);
        pages = replies;
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
    {
        QJSEngine js;
        QJSValue parse = js.evaluate("(function (t) { return JSON.parse(t) })");
        for (const Reply &r : pages) {
            QElapsedTimer t;
            t.start();
            QJSValue reply = parse.call({QJSValue(r.text)});
            const QJsonArray list = js.fromScriptValue<QJsonArray>(reply.property("content").property("list"));
            jsonMs += ms(t);
            (void)list;
        }
    }

    root.reset();
    UGENERAL::closeSharedStore();
    std::map<std::string, double> bySteps;
    const double storeMs = storeReplay(pages, manager, bySteps);
    const double restMs = totalMs - decodeMs - jsonMs - storeMs - serverMs;

    printf("first download of %d files, %d records, %d replies, %.1f MB of JSON, logging %s\n",
           files, sent.value("initial_property").toArray().size() + sent.value("initial_customer").toArray().size()
               + sent.value("initial_activity").toArray().size() + sent.value("initial_note").toArray().size()
               + sent.value("initial_district").toArray().size() + sent.value("initial_hashtag").toArray().size()
               + sent.value("initial_tavorlin").toArray().size() + sent.value("initial_shelf").toArray().size()
               + sent.value("initial_agent").toArray().size() + sent.value("initial_seen").toArray().size(),
           requests, double(bytes) / 1e6, logFile ? "to a file" : "dropped");
    printf("  first request to end()   %9.0f ms\n", totalMs);
    printf("  store (batch saves)      %9.0f ms\n", storeMs);
    for (const auto &step : bySteps)
        printf("    %-22s %9.0f ms\n", step.first.c_str(), step.second);
    printf("  JSON (parse, hand-over)  %9.0f ms\n", jsonMs);
    printf("  decode (Base64, gunzip)  %9.0f ms\n", decodeMs);
    printf("  server (build replies)   %9.0f ms\n", serverMs);
    printf("  link, threads, the rest  %9.0f ms\n", restMs);
    if (logFile)
        std::fclose(logFile);
    return 0;
}
