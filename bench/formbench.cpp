// The listing form on screen over the shipped catalogue: from choosing the property type of a sale
// apartment to every card drawn, and from opening an existing file for edit to the form filled and
// drawn.
//
//   formbench [--rounds R]
//
// Each round ends at the first frame the window renders after the step; every figure printed is
// the median of R rounds (run by hand, headless: QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software).

#include "shell/registration.h"
#include "store/sharedstate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char *const kWindow = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import com 1.0
import com.forms 1.0

Window {
    id: window
    width: 1280
    height: 4000
    visible: true
    property var form: null
    property var editFile: null

    Component {
        id: formComponent
        FormView { width: window.width }
    }

    function prepare() {
        if (Database.getFormCards(-1, -1).length === 0)
            Database.initialDatabase()
        var file = {"_id": "bench-file", "user_ref": "", "trade_ref": 9, "type": 50,
            "info": {"address": "خیابان آزادی", "room": 3, "floor_one": 2, "floor_all": 5, "build_year": 1398},
            "meter": {"home": 120, "area": 150}, "price": {"price_1": 25000000, "price_2": 3000000000},
            "code": {"auto": 1, "manual": "K1"}, "joints": [250, 251, 252], "kitchen": [400],
            "wc": [450, 451], "heat_cool": [300, 301], "facilities": [550, 551], "condition": [700]}
        Database.saveFiles([file])
        editFile = Database.getFile("bench-file")
    }

    function clear() {
        if (form)
            form.destroy()
        form = null
    }

    function newSale() {
        clear()
        form = formComponent.createObject(window.contentItem, {"formType": 0})
        form.init()
        form.cardItems[0].choose(form.cardsShown[0].toggles[0], true, false)
    }

    function chooseApartment() {
        form.cardItems[1].choose({"key": 50, "parent_key": "property"}, true, false)
        return form.cardItems.length
    }

    function openForEdit() {
        clear()
        form = formComponent.createObject(window.contentItem, {"formType": 0, "editFile": editFile})
        form.init()
        return form.cardItems.length
    }
}
)";

// Runs step, then waits for the frame that shows it; the milliseconds of both.
double timedToFrame(QQuickWindow *window, const std::function<void()> &step)
{
    QEventLoop loop;
    bool swapped = false;
    QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
        swapped = true;
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    step();
    window->requestUpdate();
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!swapped)
        loop.exec();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    QObject::disconnect(window, &QQuickWindow::frameSwapped, &loop, nullptr);
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    int rounds = 15;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));

    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    UGENERAL::openSharedStore(dir.path().toStdString());
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    UGENERAL::registerQmlTypes(engine.offlineStoragePath());
    engine.loadData(kWindow);
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QMetaObject::invokeMethod(window, "prepare");
    settle(300);

    std::vector<double> choose, edit;
    int cards = 0, editCards = 0;
    for (int r = 0; r < rounds; ++r) {
        QMetaObject::invokeMethod(window, "newSale");
        settle(50);
        choose.push_back(timedToFrame(window, [&] {
            QVariant n;
            QMetaObject::invokeMethod(window, "chooseApartment", Q_RETURN_ARG(QVariant, n));
            cards = n.toInt();
        }));
        settle(50);
        edit.push_back(timedToFrame(window, [&] {
            QVariant n;
            QMetaObject::invokeMethod(window, "openForEdit", Q_RETURN_ARG(QVariant, n));
            editCards = n.toInt();
        }));
        settle(50);
    }
    std::printf("rounds: %d (median of each)\n", rounds);
    std::printf("choose the property type of a sale apartment to %d cards drawn: %.1f ms\n", cards, median(choose));
    std::printf("open an archived sale apartment for edit to %d cards filled and drawn: %.1f ms\n", editCards,
                median(edit));
    QMetaObject::invokeMethod(window, "clear");
    engine.clearComponentCache();
    return 0;
}
