// The Excel export over a seeded store (run by bench/excelbench.sh, beside openpyxl).
//
//   excelbench seed DIR [--files N] [--contacts M]   makes the store in DIR (20,000 / 10,000)
//   excelbench files DIR OUT.xlsx                     one files export, timed
//   excelbench contacts DIR OUT.xlsx                  one contacts export, timed
//
// Each export prints one line: "<kind> <ms> <peak RSS kB before> <peak RSS kB after>", the
// time from the call to the saved workbook, and the process's peak resident size before and after.

#include "media/gexcel.h"
#include "repositories/gcontact.h"
#include "repositories/gfile.h"
#include "bench/benchfiles.h"
#include "store/district.h"
#include "store/gdatabase.h"
#include "store/sharedstate.h"
#include "store/user.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

const int kDistricts = 40;

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QJsonArray ints(std::initializer_list<int> values)
{
    QJsonArray array;
    for (int v : values)
        array.append(v);
    return array;
}

// A server file as the download sends it, of a property type the catalogue has.
QJsonObject serverFile(std::mt19937 &random, int i)
{
    const int trade = int(1 + random() % 16);
    return QJsonObject{
        {"_id", "f" + QString::number(i)},
        {"user_ref", "O"},
        {"trade_ref", trade},
        {"type", int(50 + random() % 18)},
        {"customer_ref", "c" + QString::number(random() % 10000)},
        {"info", QJsonObject{{"address", "خیابان " + QString::number(random() % 500)},
                             {"desc", "آپارتمان نوساز با نورگیر عالی"},
                             {"room", int(random() % 5)},
                             {"floor_one", int(random() % 12)},
                             {"floor_all", int(random() % 12)},
                             {"unit_all", int(random() % 40)},
                             {"sahm", double(random() % 1000) / 10.0},
                             {"build_year", int(1370 + random() % 33)}}},
        {"meter", QJsonObject{{"area", double(50 + random() % 300)}, {"home", 40.5 + double(random() % 200)}}},
        {"code", QJsonObject{{"auto", i + 1}, {"manual", "M" + QString::number(i)}}},
        {"dates", QJsonObject{{"register", 1.6e12 + double(random() % 100000000)}}},
        {"price", QJsonObject{{"price_1", double(random() % 5000) * 1e6}, {"price_2", double(random() % 9000) * 1e6}}},
        {"joints", ints({int(random() % 8), int(8 + random() % 8)})},
        {"parking", ints({1})},
        {"district", QJsonArray{"D" + QString::number(random() % kDistricts)}},
    };
}

QJsonObject contact(std::mt19937 &random, int i)
{
    static const int kinds[] = {1, 2, 5, 6, 17, 18};
    return QJsonObject{{"_id", "c" + QString::number(i)},
                       {"user_ref", "O"},
                       {"name_family", "مشتری شماره " + QString::number(i)},
                       {"mobile_1", "0912" + QString::number(1000000 + i)},
                       {"phone_1", "021" + QString::number(2000000 + i)},
                       {"job", "کارمند"},
                       {"address", "تهران، خیابان " + QString::number(random() % 500)},
                       {"type", ints({kinds[random() % 6]})}};
}

void openStore(const char *dir)
{
    UGENERAL::openSharedStore(dir);
    auto found = obx::Box<User>(*UGENERAL::sharedStore()).query(User_::server_id.equals("O")).build().findFirst();
    if (found)
        UGENERAL::setSharedUsers(std::make_unique<User>(*found), nullptr);
}

int seed(const char *dir, int files, int contacts)
{
    const User owner = openBenchStore(dir, "O");
    {
        UGENERAL::GDatabase db;
        if (!db.seedCatalogueFile(QString::fromLatin1(UGENERAL::GDatabase::kCatalogueResource))) {
            std::fprintf(stderr, "the catalogue could not be seeded\n");
            return 1;
        }
    }
    // The database object closed the store when it went.
    UGENERAL::openSharedStore(dir);
    UGENERAL::setSharedUsers(std::make_unique<User>(owner), nullptr);
    {
        obx::Transaction tx = UGENERAL::sharedStore()->txWrite();
        for (int i = 0; i < kDistricts; ++i) {
            District district;
            district.server_id = "D" + std::to_string(i);
            district.title = "منطقه " + std::to_string(i);
            district.user_id = "O";
            obx::Box<District>(*UGENERAL::sharedStore()).put(district);
        }
        tx.success();
    }
    std::mt19937 random(7);
    QJsonArray people;
    for (int i = 0; i < contacts; ++i)
        people.append(contact(random, i));
    UGENERAL::GContact(UGENERAL::sharedSnapshot()).saveContacts(people, -1);
    for (int start = 0; start < files; start += 5000) {
        QJsonArray batch;
        for (int i = start; i < std::min(files, start + 5000); ++i)
            batch.append(serverFile(random, i));
        UGENERAL::GFile(UGENERAL::sharedSnapshot()).saveFiles(batch, -1);
    }
    std::printf("seeded %d files, %d contacts\n", files, contacts);
    UGENERAL::closeSharedStore();
    return 0;
}

int exportOnce(const char *kind, const char *dir, const char *out)
{
    openStore(dir);
    const long before = peakRssKb();
    const int ownerId = int(UGENERAL::sharedSnapshot().user.id);
    double ms = 0;
    bool ok = false;
    {
        UGENERAL::GExcel excel;
        QObject::connect(&excel, &UGENERAL::GExcel::exportComplete, [&ok] { ok = true; });
        QElapsedTimer timer;
        timer.start();
        if (!std::strcmp(kind, "files"))
            excel.exportFilesToExcel(QStringLiteral("O"), QString(), QString::fromUtf8(out));
        else
            excel.exportContactsToExcel(ownerId, QString::fromUtf8(out));
        excel.waitForExport();
        ms = double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("%s %.1f %ld %ld\n", kind, ms, before, peakRssKb());
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Traces per page and per file would time the terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    if (argc >= 3 && !std::strcmp(argv[1], "seed")) {
        int files = 20000;
        int contacts = 10000;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (!std::strcmp(argv[i], "--files"))
                files = std::atoi(argv[i + 1]);
            else if (!std::strcmp(argv[i], "--contacts"))
                contacts = std::atoi(argv[i + 1]);
        }
        return seed(argv[2], files, contacts);
    }
    if (argc == 4 && (!std::strcmp(argv[1], "files") || !std::strcmp(argv[1], "contacts")))
        return exportOnce(argv[1], argv[2], argv[3]);
    if (argc == 3 && !std::strcmp(argv[1], "read")) {
        // Only the store's side of a files export: every page of every property type.
        openStore(argv[2]);
        UGENERAL::GDatabase db;
        QElapsedTimer timer;
        timer.start();
        int count = 0;
        for (const QJsonValue &p : db.getFieldByParent(QStringLiteral("property"), true))
            for (int page = 1;; ++page) {
                const QJsonArray files = db.getFilesByProperty(QStringLiteral("O"), p.toObject().value("key").toInt(), page);
                count += files.size();
                if (files.size() < 100)
                    break;
            }
        std::printf("read %d files %.1f ms\n", count, double(timer.nsecsElapsed()) / 1e6);
        return 0;
    }
    std::fprintf(stderr, "usage: excelbench seed DIR [--files N] [--contacts M] | files|contacts DIR OUT.xlsx\n");
    return 2;
}
