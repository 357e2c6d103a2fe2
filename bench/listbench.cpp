// The listing screens over 20,000 downloaded files, on screen: a board's list from its read to
// the first 50 rows laid out, the next page the same way, and a map search whose region holds
// about 5,000 files from the read to the markers painted.
//
//   listbench [--files N] [--rounds R]
//
// The program starts as a user starts it, against the fixture agency server on 127.0.0.1, with
// the first download of N files (default 20,000). Every figure printed is the median of R rounds,
// with the fastest and slowest round [min - max]. Each step is timed twice: to the moment the
// screen has the rows laid out (or the markers painted), and to the first frame the window
// renders after that moment, as formbench times its steps (run headless:
// QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software). A list's first read waits 350 ms after
// the page opens, on purpose; the open-to-rows time with that wait is printed beside it.

#include "repositories/gfile.h"
#include "store/gdatabase.h"
#include "tests/qml/screensession.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <QApplication>
#include <QElapsedTimer>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string spread(const std::vector<double> &v)
{
    if (v.empty())
        return "-";
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.1f ms [%.1f - %.1f]", median(v), *low, *high);
    return text;
}

QElapsedTimer benchClock;

// When a screen property last changed, on the clock above.
class Moment : public QObject
{
    Q_OBJECT

public:
    Moment(QObject *item, const char *property)
    {
        QQmlProperty(item, QString::fromLatin1(property)).connectNotifySignal(this, SLOT(mark()));
    }
    qint64 at = -1;

public Q_SLOTS:
    void mark() { at = benchClock.nsecsElapsed(); }
};

// Every frame the window has rendered, on the same clock.
class Frames
{
public:
    explicit Frames(QQuickWindow *window)
    {
        QObject::connect(window, &QQuickWindow::frameSwapped, window, [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            swaps_.push_back(benchClock.nsecsElapsed());
        }, Qt::DirectConnection);
    }
    // The first frame rendered after `at`, or -1.
    qint64 after(qint64 at)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (qint64 swap : swaps_)
            if (swap > at)
                return swap;
        return -1;
    }

private:
    std::mutex mutex_;
    std::vector<qint64> swaps_;
};

// Waits for the first frame after `at`; milliseconds from `at` to it.
double toFrame(ScreenSession &s, Frames &frames, QQuickWindow *window, qint64 at)
{
    window->requestUpdate();
    s.waitUntil([&] { return frames.after(at) >= 0; }, 5000);
    const qint64 frame = frames.after(at);
    return frame < 0 ? -1 : double(frame - at) / 1e6;
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

    benchClock.start();
    Frames frames(s.window());
    std::vector<double> first, next, opened, firstDrawn, nextDrawn;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        s.eval(QStringLiteral("Templates.initial('generals/StackContent.qml', {'contentType': 'fileList', 'options': "
                              "{'filterModel': Database.getTavorlin('', %1)}})")
                   .arg(board));
        QQuickItem *list = nullptr;
        std::unique_ptr<Moment> laidOut;
        s.waitUntil([&] {
            list = s.findTop(QStringLiteral("fileList"));
            if (list && !laidOut)
                laidOut = std::make_unique<Moment>(list, "lastPageMs");
            return list && list->property("count").toInt() >= 50 && list->property("lastPageMs").toDouble() > 0;
        }, 20000);
        if (!list || !laidOut || laidOut->at < 0)
            return 1;
        opened.push_back(t.elapsed());
        first.push_back(list->property("lastPageMs").toDouble());
        firstDrawn.push_back(first.back() + toFrame(s, frames, s.window(), laidOut->at));
        s.wait(200);
        list->setProperty("lastPageMs", 0);
        laidOut->at = -1;
        QQuickItem *view = list->findChild<QQuickItem *>(QStringLiteral("fileView"));
        QMetaObject::invokeMethod(view, "positionViewAtEnd");
        s.waitUntil([&] {
            return list->property("count").toInt() >= 100 && list->property("lastPageMs").toDouble() > 0;
        }, 20000);
        next.push_back(list->property("lastPageMs").toDouble());
        nextDrawn.push_back(next.back() + toFrame(s, frames, s.window(), laidOut->at));
        laidOut.reset();
        s.home();
        s.wait(300);
    }
    std::printf("board list of %d files (open to rows, with the 350 ms wait: %s)\n", most, spread(opened).c_str());
    std::printf("  first page: rows laid out %s, drawn frame %s\n", spread(first).c_str(), spread(firstDrawn).c_str());
    std::printf("  next page:  rows laid out %s, drawn frame %s\n", spread(next).c_str(), spread(nextDrawn).c_str());

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
    std::vector<double> map, mapDrawn, read;
    auto *mapView = qvariant_cast<QObject *>(s.eval("Stacks.last().mapView"));
    if (!mapView)
        return 1;
    Moment paint(mapView, "painted");
    for (int r = 0; r < rounds; ++r) {
        s.eval("Stacks.last().mapView.markers = []");
        s.wait(200);
        const int painted = s.eval("Stacks.last().mapView.painted").toInt();
        const qint64 asked = benchClock.nsecsElapsed();
        s.eval("Stacks.last().search(" + box + ")");
        s.waitUntil([&] {
            return s.eval("Stacks.last().markers.length").toInt() == held
                && s.eval("Stacks.last().mapView.painted").toInt() > painted;
        }, 20000);
        map.push_back(double(paint.at - asked) / 1e6);
        mapDrawn.push_back(map.back() + toFrame(s, frames, s.window(), paint.at));
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
    std::printf("map search of %d files: markers painted %s, drawn frame %s\n", held, spread(map).c_str(),
                spread(mapDrawn).c_str());
    std::printf("  of which the store read to the markers %s, the store alone %s; the same files as list rows %s\n",
                spread(read).c_str(), spread(store).c_str(), spread(full).c_str());
    std::printf("(medians of %d rounds)\n", rounds);
    s.stop();
    return 0;
}

#include "listbench.moc"
