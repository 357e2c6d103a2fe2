// Board reads over a store of listings: the counts of the 160 default boards (two counts each)
// and the JSON of the whole board list, as the home and board screens ask for them.
//
//   boardbench [--files N] [--rounds R]
//
// The catalogue is seeded from the shipped resource and the default boards are made from it,
// as on a first start. Every figure printed is the median of R rounds, with the fastest and the
// slowest round and the median processor time of the rounds.

#include "repositories/gtavorlin.h"
#include "bench/benchfiles.h"
#include "store/file.h"
#include "store/gdatabase.h"
#include "store/sharedstate.h"
#include "store/tavorlin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <time.h>
#include <vector>

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The median of the rounds' wall time, with the fastest and slowest round and the median of
// the processor time the rounds took (which a busy machine disturbs less).
struct Timing
{
    double median, low, high, cpu;
};

Timing timed(int rounds, const std::function<void()> &work)
{
    std::vector<double> times, cpu;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], times.front(), times.back(), cpu[cpu.size() / 2]};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int fileCount = 20000;
    int rounds = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--files"))
            fileCount = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    QTemporaryDir dir;
    const User owner = openBenchStore(dir.path().toStdString(), "owner");
    obx::Store &store = *UGENERAL::sharedStore();

    int status = 0;
    {
        UGENERAL::GDatabase database;
        if (!database.initialDatabase()) {
            std::fprintf(stderr, "the catalogue could not be seeded\n");
            return 1;
        }
        UGENERAL::GTavorlin(UGENERAL::sharedSnapshot()).saveDefaults();
        addBenchFiles(store, owner.server_id, fileCount);
        const size_t boardCount = obx::Box<Tavorlin>(store).count();

        QJsonArray list;
        const Timing listMs = timed(rounds, [&] { list = UGENERAL::GTavorlin(UGENERAL::sharedSnapshot()).getAll(QString(), -1); });
        QJsonArray counts;
        const Timing countMs = timed(rounds, [&] { counts = UGENERAL::GTavorlin(UGENERAL::sharedSnapshot()).getCounts(list); });
        long total = 0;
        for (const QJsonValue &item : counts)
            total += item.toObject().value(QStringLiteral("count")).toInt();

        std::printf("boards %zu, files %d, rounds %d: median [fastest - slowest], processor time median\n",
                    boardCount, fileCount, rounds);
        std::printf("board list JSON (getAll)      %8.2f ms [%.2f - %.2f]  cpu %.2f ms\n", listMs.median, listMs.low,
                    listMs.high, listMs.cpu);
        std::printf("board counts (getCounts, x2)  %8.2f ms [%.2f - %.2f]  cpu %.2f ms   (files counted %ld)\n",
                    countMs.median, countMs.low, countMs.high, countMs.cpu, total);
        if (list.size() != int(boardCount) || counts.size() != list.size())
            status = 1;
    }
    UGENERAL::closeSharedStore();
    return status;
}
