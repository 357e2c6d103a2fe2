// The home and board screens over a full store: 20,000 files and the 160 boards on 6 shelves.
//
//   homebench [--files N] [--rounds R]      (headless: QT_QPA_PLATFORM=offscreen
//                                            QT_QUICK_BACKEND=software)
//
// Two figures, each the median of R rounds:
//   shelf   from opening the boards screen of a shelf of 40 boards to the counts on its tiles;
//   home    from a new QML engine (as the program starts after its splash) to the home frame
//           with the shelf grid filled, offline and without the opening door.
// Half of the boards carry a price filter, so the counts run the filter query.

#include "repositories/gtavorlin.h"
#include "shell/registration.h"
#include "bench/benchfiles.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/sharedstate.h"
#include "store/shelves.h"
#include "store/tavorlin.h"
#include "store/tavorlinfilter.h"
#include "store/tavorlinposition.h"

#include <QElapsedTimer>
#include <QQmlExpression>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

const char *const kOwner = "owner";

// Every board gets a server id; half get a price range; shelf 0 holds 40 boards, the other five
// share the remaining 120.
void placeBoards(obx::Store &store)
{
    obx::Transaction tx = store.txWrite();
    obx::Box<Tavorlin> boards(store);
    obx::Box<TavorlinFilter> filters(store);
    obx::Box<TavorlinPosition> positions(store);
    obx::Box<Shelves> shelves(store);
    std::vector<std::unique_ptr<Tavorlin>> all = boards.getAll();
    for (int s = 0; s < 6; ++s) {
        Shelves shelf;
        shelf.server_id = "s" + std::to_string(s);
        shelf.user_id = kOwner;
        shelf.name = "کمد " + std::to_string(s);
        shelf.color = s + 1;
        shelf.position = s;
        shelves.put(shelf);
    }
    for (size_t i = 0; i < all.size(); ++i) {
        Tavorlin &board = *all[i];
        board.server_id = "b" + std::to_string(i);
        boards.put(board);
        if (i % 2 == 0) {
            TavorlinFilter filter;
            filter.key = "price.price_2";
            filter.value_1 = "1000000000";
            filter.value_2 = "5000000000";
            filter.tavorlin_id = board.server_id;
            filters.put(filter);
        }
        const int shelf = i < 40 ? 0 : 1 + int((i - 40) % 5);
        TavorlinPosition position;
        position.position = i < 40 ? int32_t(i) : int32_t((i - 40) / 5);
        position.tavorlin_id = board.server_id;
        position.shelves_id = "s" + std::to_string(shelf);
        positions.put(position);
    }
    tx.success();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool waitFor(QObject *object, const char *expression, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QQmlExpression check(qmlContext(object), object, QString::fromLatin1(expression));
        if (check.evaluate().toBool())
            return true;
    }
    return false;
}

const char kHost[] = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import com 1.0
Window {
    width: 1280; height: 800; visible: true
    property var page: null
    function prepare() {
        Database.initial()
        Account.set(Database.currentUser())
        var data = JSON.parse(JSON.stringify(Settings.app_data))
        data.door_enabled = false
        data.app_version = 134
        Settings.app_data = data
    }
    function open(path, options) {
        var c = Qt.createComponent("qrc:/templates/" + path)
        if (c.status !== Component.Ready) { console.log(c.errorString()); return }
        page = c.createObject(contentItem, options)
        page.width = width; page.height = height
    }
    function close() { if (page) page.destroy(); page = null }
    function shelfCounted() { return page !== null && page.countsApplied > 0 }
    function homeShown() {
        var s = page && page.shelvesLoader ? page.shelvesLoader.item : null
        return s !== null && s.loaded && s.shelves.length === 6
    }
}
)";

struct Host
{
    std::unique_ptr<QQmlEngine> engine;
    QObject *window = nullptr;

    bool make()
    {
        engine = std::make_unique<QQmlEngine>();
        engine->addImportPath(QStringLiteral("qrc:/"));
        UGENERAL::registerQmlTypes(engine->offlineStoragePath());
        QQmlComponent component(engine.get());
        component.setData(kHost, QUrl(QStringLiteral("qrc:/bench/host.qml")));
        window = component.create();
        if (!window) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            return false;
        }
        QMetaObject::invokeMethod(window, "prepare");
        return true;
    }
    void call(const char *method, const QVariant &a = {}, const QVariant &b = {})
    {
        if (a.isValid())
            QMetaObject::invokeMethod(window, method, Q_ARG(QVariant, a), Q_ARG(QVariant, b));
        else
            QMetaObject::invokeMethod(window, method);
    }
    void drop()
    {
        delete window;
        window = nullptr;
        engine.reset();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    int fileCount = 20000;
    int rounds = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--files"))
            fileCount = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    QTemporaryDir dir;
    UGENERAL::openSharedStore(dir.path().toStdString());
    User owner;
    owner.server_id = kOwner;
    owner.name_family = "مدیر";
    owner.city_id = "c1";
    owner.type = 100;
    owner.current = true;
    owner.logged_in = true;
    owner.sync_data = true;
    owner.id = obx::Box<User>(*UGENERAL::sharedStore()).put(owner);
    UGENERAL::setSharedUsers(std::make_unique<User>(owner), nullptr);
    {
        UGENERAL::GDatabase seeding;
        if (!seeding.initialDatabase()) {
            std::fprintf(stderr, "the catalogue could not be seeded\n");
            return 1;
        }
    }
    // The database object closes the store when it goes, as the program's does at exit.
    const auto reopen = [&] {
        if (!UGENERAL::sharedStore()) {
            UGENERAL::openSharedStore(dir.path().toStdString());
            UGENERAL::setSharedUsers(std::make_unique<User>(owner), nullptr);
        }
    };
    reopen();
    obx::Store &store = *UGENERAL::sharedStore();
    UGENERAL::GTavorlin(UGENERAL::sharedSnapshot()).saveDefaults();
    addBenchFiles(store, kOwner, fileCount);
    placeBoards(store);

    int status = 0;
    std::vector<double> shelfTimes, homeTimes;
    reopen();
    {
        Host host;
        if (!host.make())
            return 1;
        for (int r = 0; r < rounds + 1; ++r) {
            QElapsedTimer timer;
            timer.start();
            host.call("open", QStringLiteral("main/Tavorlins_List.qml"),
                      QVariantMap{{"shelf", QVariantMap{{"_id", "s0"}, {"name", "کمد 0"}}}});
            if (!waitFor(host.window, "shelfCounted()", 30000)) {
                std::fprintf(stderr, "the counts never came\n");
                status = 1;
                break;
            }
            if (r > 0) // the first round also compiles the screen
                shelfTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
            host.call("close");
            QCoreApplication::processEvents();
        }
        host.drop();
    }
    for (int r = 0; r < rounds && status == 0; ++r) {
        reopen();
        QElapsedTimer timer;
        timer.start();
        Host host;
        if (!host.make())
            return 1;
        host.call("open", QStringLiteral("main/Index.qml"), QVariantMap{});
        if (!waitFor(host.window, "homeShown()", 30000)) {
            std::fprintf(stderr, "the home never showed its shelves\n");
            status = 1;
            break;
        }
        homeTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        host.call("close");
        QCoreApplication::processEvents();
        host.drop();
    }
    if (status == 0) {
        std::printf("files %d, boards 160 on 6 shelves, rounds %d (median)\n", fileCount, rounds);
        std::printf("shelf of 40 boards to counts on the tiles  %8.2f ms\n", median(shelfTimes));
        std::printf("new engine to the home's shelf grid         %8.2f ms\n", median(homeTimes));
    }
    UGENERAL::closeSharedStore();
    return status;
}
