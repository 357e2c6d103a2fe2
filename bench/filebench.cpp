// The file repository over a store of generated listings with their child rows: a batch import
// of server files, the first page of a filtered board list, and board counts.
//
//   filebench [--files N] [--batch B] [--rounds R]
//
// The store is filled with N files (default 20,000) through the import itself, so each has its
// info, toggle, tenant and meter rows, districts and match tags. Every figure printed is the
// median of R rounds, with the fastest and the slowest round. Each "new files" round imports
// files the store does not hold and is undone before the next; "re-import" imports stored files
// again, as the incremental update does.

#include "bench/benchfiles.h"
#include "repositories/gfile.h"
#include "store/district.h"
#include "store/fileactivity.h"
#include "store/sharedstate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

const int kTradeTypes = 16;
const int kPropertyTypes = 10; // 16 x 10 = the 160 boards
const int kFirstProperty = 50;
const int kDistricts = 40;

// The median of the rounds with the fastest and the slowest beside it, as text.
struct Timing
{
    double median = 0, low = 0, high = 0;
    std::string range() const
    {
        char text[64];
        std::snprintf(text, sizeof text, "[%.2f - %.2f]", low, high);
        return text;
    }
};

Timing medianMs(int rounds, const std::function<void()> &setUp, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        if (setUp)
            setUp();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

QJsonArray ints(std::initializer_list<int> values)
{
    QJsonArray array;
    for (int v : values)
        array.append(v);
    return array;
}

// A server file as the full download sends it.
QJsonObject serverFile(std::mt19937 &random, const QString &id)
{
    const int trade = int(1 + random() % kTradeTypes);
    QJsonObject file{
        {"_id", id},
        {"user_ref", "O"},
        {"trade_ref", trade},
        {"type", int(kFirstProperty + random() % kPropertyTypes)},
        {"seen", random() % 3 != 0},
        {"info", QJsonObject{{"address", "خیابان " + QString::number(random() % 500)},
                             {"desc", "توضیحات آپارتمان"},
                             {"room", int(random() % 5)},
                             {"floor_one", int(random() % 12)},
                             {"floor_space", 50.0 + double(random() % 2000) / 10.0},
                             {"build_year", int(1370 + random() % 33)}}},
        {"meter", QJsonObject{{"area", double(50 + random() % 300)}, {"home", double(40 + random() % 200)},
                              {"building", double(random() % 500)}}},
        {"code", QJsonObject{{"auto", int(random() % 100000)}, {"manual", "M"}}},
        {"dates", QJsonObject{{"register", 1.6e12 + double(random() % 100000000)}, {"create", 1.6e12}}},
        {"status", QJsonObject{{"delete", random() % 20 == 0}, {"pin", random() % 10 == 0}}},
        {"price", QJsonObject{{"price_1", double(random() % 5000) * 1e6}, {"price_2", double(random() % 9000) * 1e6},
                              {"loan", 0.0}}},
        {"map", QJsonObject{{"lat", 35.7}, {"lng", 51.4}}},
        {"tenant", QJsonObject{{"name", "مستاجر"}, {"phone", "0912"}}},
        {"joints", ints({int(random() % 8), int(8 + random() % 8)})},
        {"condition", ints({int(random() % 5)})},
        {"parking", ints({1})},
        {"district", QJsonArray{"D" + QString::number(random() % kDistricts), "D" + QString::number(random() % kDistricts)}},
        {"media_links", QJsonArray{"a.jpg", "b.jpg"}},
        {"tag_file", QJsonArray{QJsonObject{{"file_ref", "R" + QString::number(random() % 1000)}, {"status", 1}}}},
    };
    if (trade != 2 && trade != 6 && random() % 2)
        file.insert("agent_ref", "A" + QString::number(random() % 5));
    return file;
}

QJsonArray batch(std::mt19937 &random, const QString &prefix, int count)
{
    QJsonArray files;
    for (int i = 0; i < count; ++i)
        files.append(serverFile(random, prefix + QString::number(i)));
    return files;
}

QJsonObject filter(const char *key, const char *first, const char *second)
{
    return QJsonObject{{"key", key}, {"value", QJsonObject{{"value_1", first}, {"value_2", second}}}};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The per-file diagnostics would measure the terminal, not the store.
    QLoggingCategory::setFilterRules(QStringLiteral("tavorlin.files.debug=false\ndefault.debug=false"));
    int fileCount = 20000;
    int batchSize = 10000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--files"))
            fileCount = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--batch"))
            batchSize = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    QTemporaryDir dir;
    const User owner = openBenchStore(dir.path().toStdString(), "O");
    obx::Store &store = *UGENERAL::sharedStore();
    auto repo = [] { return UGENERAL::GFile(UGENERAL::sharedSnapshot()); };

    {
        obx::Transaction tx = store.txWrite();
        for (int i = 0; i < kDistricts; ++i) {
            District district;
            district.server_id = "D" + std::to_string(i);
            district.title = "منطقه " + std::to_string(i);
            district.user_id = "O";
            obx::Box<District>(store).put(district);
        }
        tx.success();
    }
    std::mt19937 random(42);
    const QJsonArray base = batch(random, "f", fileCount);
    repo().saveFiles(base, -1);
    {
        // A few activities per file, which the list JSON counts.
        obx::Transaction tx = store.txWrite();
        for (int i = 0; i < fileCount; i += 3) {
            FileActivity activity;
            activity.file_id = "f" + std::to_string(i);
            activity.user_id = "O";
            activity.server_id = "act" + std::to_string(i);
            obx::Box<FileActivity>(store).put(activity);
        }
        tx.success();
    }

    // Imports: each round first removes what the round before added, outside the timing, so
    // every round starts from the same store.
    QJsonArray fresh;
    auto undo = [&] {
        QJsonArray removals;
        for (const QJsonValue &file : fresh)
            removals.append(QJsonObject{{"_id", file.toObject().value("_id")}, {"die", true}});
        repo().saveFiles(removals, -1);
    };
    const Timing newMs = medianMs(
        rounds,
        [&] {
            undo();
            fresh = batch(random, "n", batchSize);
        },
        [&] { repo().saveFiles(fresh, 1700000000000LL); });
    undo();
    QJsonArray again;
    for (int i = 0; i < batchSize && i < base.size(); ++i)
        again.append(base.at(i));
    const Timing reimportMs = medianMs(rounds, {}, [&] { repo().saveFiles(again, 1700000000000LL); });
    const size_t stored = obx::Box<File>(store).count();

    const QJsonArray filters{filter("price.price_2", "1000000000", "6000000000"), filter("info.floor_one", "1", "8"),
                             filter("joints", "3", "")};
    QJsonArray page;
    const Timing listMs = medianMs(rounds, {}, [&] {
        page = repo().getFiles(1, -1, filters, "date", "desc", 1, QString(), QString());
    });
    int oneCount = 0;
    const Timing oneMs = medianMs(rounds, {}, [&] { oneCount = repo().getFilesCount(1, kFirstProperty, filters, false, QString()); });
    long allCounts = 0;
    const Timing allMs = medianMs(rounds, {}, [&] {
        allCounts = 0;
        for (int trade = 1; trade <= kTradeTypes; ++trade)
            for (int property = kFirstProperty; property < kFirstProperty + kPropertyTypes; ++property)
                allCounts += repo().getFilesCount(trade, property, filters, false, QString());
    });

    std::printf("store: %zu files (%d generated); batch %d; rounds %d: median [fastest - slowest]\n", stored, fileCount,
                batchSize, rounds);
    std::printf("import %d new files in one batch     %9.2f ms %s\n", batchSize, newMs.median, newMs.range().c_str());
    std::printf("re-import %d stored files            %9.2f ms %s\n", batchSize, reimportMs.median,
                reimportMs.range().c_str());
    std::printf("board list, 3 filters, page 1 by date %9.2f ms %s  (%d files on the page, trade 1)\n", listMs.median,
                listMs.range().c_str(), int(page.size()));
    std::printf("getFilesCount, one board              %9.2f ms %s  (%d files)\n", oneMs.median, oneMs.range().c_str(),
                oneCount);
    std::printf("getFilesCount, 160 boards             %9.2f ms %s  (%ld files)\n", allMs.median, allMs.range().c_str(),
                allCounts);
    UGENERAL::closeSharedStore();
    return page.isEmpty() ? 1 : 0;
}
