// The listing screens over 20,000 downloaded files, on screen: a board's list from its read to
// the first 50 rows laid out, the next page the same way, and a map search whose region holds
// about 5,000 files from the read to the markers painted.
//
//   listbench [--files N] [--rounds R]
//
// The program starts as a user starts it, against the fixture agency server on 127.0.0.1, with
// the first download of N files (default 20,000). Every figure printed is the median of R rounds.
// A list's first read waits 350 ms after the page opens, on purpose; the open-to-rows time with
// that wait is printed beside it.

#include "repositories/gfile.h"
#include "store/gdatabase.h"
#include "tests/qml/screensession.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <QApplication>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int files = 20000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--files"))
            files = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[++i]);
    }

    ScreenSession s;
    ScreenSession::Options options;
    options.serverArgs = {"--files", std::to_string(files), "--contacts", "2000", "--boards", "16", "--unseen", "0"};
    QElapsedTimer started;
    started.start();
    if (!s.start(options)) {
        std::fprintf(stderr, "start failed: %s\n", s.error().c_str());
        return 1;
    }
    std::printf("started with %d files in %.1f s\n", s.eval("Database.getFilesCount(-1, -1, [], false)").toInt(),
                started.elapsed() / 1000.0);

    // The board with the most files.
    int board = 1;
    int most = -1;
    for (int id = 1; id <= 16; ++id) {
        const QString b = QStringLiteral("Database.getTavorlin('', %1)").arg(id);
        if (s.eval(b + ".error !== undefined").toBool())
            break;
        const int n = s.eval("Database.getFilesCount(" + b + ".trade_type, " + b + ".property_type, " + b
                             + ".filter, false)")
                          .toInt();
        if (n > most) {
            most = n;
            board = id;
        }
    }

    std::vector<double> first, next, opened;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        s.eval(QStringLiteral("Templates.initial('generals/StackContent.qml', {'contentType': 'fileList', 'options': "
                              "{'filterModel': Database.getTavorlin('', %1)}})")
                   .arg(board));
        QQuickItem *list = nullptr;
        s.waitUntil([&] {
            list = s.findTop(QStringLiteral("fileList"));
            return list && list->property("count").toInt() >= 50 && list->property("lastPageMs").toDouble() > 0;
        }, 20000);
        if (!list)
            return 1;
        opened.push_back(t.elapsed());
        first.push_back(list->property("lastPageMs").toDouble());
        s.wait(200);
        list->setProperty("lastPageMs", 0);
        QQuickItem *view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
        QMetaObject::invokeMethod(view, "positionViewAtEnd");
        s.waitUntil([&] {
            return list->property("count").toInt() >= 100 && list->property("lastPageMs").toDouble() > 0;
        }, 20000);
        next.push_back(list->property("lastPageMs").toDouble());
        s.home();
        s.wait(300);
    }
    std::printf("board list of %d files: first page %.1f ms, next page %.1f ms (open to rows, with the 350 ms wait: "
                "%.1f ms)\n",
                most, median(first), median(next), median(opened));

    // A region that holds about 5,000 files: the fixture's files lie on one diagonal.
    s.eval("Settings.app_data.map_plugin = 'itemsoverlay'");
    s.eval("Templates.initial('files/map/UMap.qml')");
    s.until("Stacks.last().markers.length > 0", 20000);
    int k = 100;
    int held = 0;
    for (int step = 100; step >= 1; --step) {
        const QString box = QStringLiteral("{'south': 35.6, 'north': %1, 'west': 51.3, 'east': %2}")
                                .arg(35.6 + step / 1000.0 - 0.0005)
                                .arg(51.3 + step / 1000.0 - 0.0005);
        const int n = s.eval("Database.getFilesCount(-1, -1, Stacks.last().mapView ? " + QStringLiteral(
                                 "(function (b) { return [{'key': 'map.lat', 'value': {'value_1': String(b.south), "
                                 "'value_2': String(b.north)}}, {'key': 'map.lng', 'value': {'value_1': String(b.west), "
                                 "'value_2': String(b.east)}}, {'key': 'trade_ref', 'value': {'value_1': '1', "
                                 "'value_2': '4'}}] })(")
                             + box + ") : [], false)")
                          .toInt();
        if (n <= 5000) {
            k = step;
            held = n;
            break;
        }
    }
    const QString box = QStringLiteral("{'south': 35.6, 'north': %1, 'west': 51.3, 'east': %2}")
                            .arg(35.6 + k / 1000.0 - 0.0005)
                            .arg(51.3 + k / 1000.0 - 0.0005);
    std::vector<double> map, read;
    for (int r = 0; r < rounds; ++r) {
        s.eval("Stacks.last().mapView.markers = []");
        s.wait(200);
        const int painted = s.eval("Stacks.last().mapView.painted").toInt();
        QElapsedTimer t;
        t.start();
        s.eval("Stacks.last().search(" + box + ")");
        s.waitUntil([&] {
            return s.eval("Stacks.last().markers.length").toInt() == held
                && s.eval("Stacks.last().mapView.painted").toInt() > painted;
        }, 20000);
        map.push_back(t.elapsed());
        read.push_back(s.eval("Stacks.last().shownMs").toDouble());
    }
    // The store's own share: the same read on this thread, without the list's way to the screen.
    const QJsonArray items = QJsonDocument::fromJson(
        s.eval("JSON.stringify((function (b) { return [{'key': 'map.lat', 'value': {'value_1': String(b.south), "
               "'value_2': String(b.north)}}, {'key': 'map.lng', 'value': {'value_1': String(b.west), 'value_2': "
               "String(b.east)}}, {'key': 'trade_ref', 'value': {'value_1': '1', 'value_2': '4'}}] })(" + box + "))")
            .toString().toUtf8()).array();
    std::vector<double> store, full;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const QJsonArray found = UGENERAL::GDatabase::getFileDb().getMapFiles(-1, -1, items, "");
        store.push_back(t.elapsed());
        if (found.size() != held)
            std::fprintf(stderr, "store read %d files, not %d\n", int(found.size()), held);
        // The same files as full list rows, for comparison.
        t.restart();
        UGENERAL::GDatabase::getFileDb().getFiles(-1, -1, items, "", "", -1, "", "");
        full.push_back(t.elapsed());
    }
    std::printf("map search of %d files to the markers painted: %.1f ms (of which the store read to the markers: "
                "%.1f ms, the store alone: %.1f ms; the same files as list rows: %.1f ms)\n", held, median(map),
                median(read), median(store), median(full));
    std::printf("(medians of %d rounds)\n", rounds);
    s.stop();
    return 0;
}
