// The Excel export over a real store, each workbook read back with openpyxl.
#include "media/gexcel.h"
#include "repositories/gcontact.h"
#include "repositories/gfile.h"
#include "repositories/tempstore.h"
#include "shell/gdateconvertor.h"
#include "store/district.h"
#include "store/gdatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSet>
#include <QTemporaryDir>

#include <functional>
#include <utility>

#include <gtest/gtest.h>

using UGENERAL::GExcel;

namespace {

const qint64 kRegister = 1700000000000LL;

struct Sheet {
    QString name;
    QVector<QStringList> rows; // "" for an empty cell
    QStringList types;
};

// The workbook as openpyxl reads it.
QVector<Sheet> readBack(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_XLSX), path});
    EXPECT_TRUE(python.waitForFinished(30000));
    const QByteArray out = python.readAllStandardOutput();
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    QVector<Sheet> sheets;
    for (const QJsonValue &s : QJsonDocument::fromJson(out).object().value("sheets").toArray()) {
        Sheet sheet;
        sheet.name = s.toObject().value("name").toString();
        for (const QJsonValue &t : s.toObject().value("types").toArray())
            sheet.types << t.toString();
        for (const QJsonValue &r : s.toObject().value("rows").toArray()) {
            QStringList cells;
            for (const QJsonValue &c : r.toArray())
                cells << c.toString();
            while (!cells.isEmpty() && cells.last().isEmpty())
                cells.removeLast();
            sheet.rows << cells;
        }
        sheets << sheet;
    }
    return sheets;
}

QStringList names(const QVector<Sheet> &sheets)
{
    QStringList out;
    for (const Sheet &s : sheets)
        out << s.name;
    return out;
}

QStringList rowWithCode(const Sheet &sheet, const QString &code)
{
    for (const QStringList &row : sheet.rows)
        if (!row.isEmpty() && row.first() == code)
            return row;
    return {};
}

QJsonObject serverFile(const QString &id, int trade, int property, int code)
{
    return QJsonObject{{"_id", id},
                       {"user_ref", "O"},
                       {"trade_ref", trade},
                       {"type", property},
                       {"code", QJsonObject{{"auto", code}, {"manual", "M-" + QString::number(code)}}},
                       {"dates", QJsonObject{{"register", double(kRegister)}}}};
}

class ExcelExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("HOME", home.path().toUtf8());
        owner = store.addOwner("O");
        // A database object closes the shared store when it goes, so this one lives as long as the test.
        seeder = std::make_unique<UGENERAL::GDatabase>();
        ASSERT_TRUE(seeder->seedCatalogueFile(QStringLiteral(EXCEL_CATALOGUE)));
        {
            obx::Box<District> districts(store.store());
            const std::pair<const char *, const char *> rows[] = {{"D1", "منطقه یک"}, {"D2", "منطقه دو"}};
            for (const auto &d : rows) {
                District district;
                district.server_id = d.first;
                district.title = d.second;
                district.user_id = "O";
                districts.put(district);
            }
        }
        UGENERAL::GContact(UGENERAL::sharedSnapshot())
            .saveContacts(QJsonDocument::fromJson(R"([
                {"_id": "C1", "user_ref": "O", "name_family": "رضا مالک", "mobile_1": "09120000001", "job": "", "type": [1]},
                {"_id": "C2", "user_ref": "O", "name_family": "سارا", "mobile_1": "0935", "phone_1": "021", "mobile_2": "0912",
                 "phone_2": "026", "job": "معلم", "address": "تهران", "type": [6, 17]}
            ])").array(), -1);

        QJsonObject sale = serverFile("f1", 1, 50, 101);
        sale.insert("customer_ref", "C1");
        sale.insert("meter", QJsonObject{{"home", 85.5}});
        sale.insert("info", QJsonObject{{"floor_space", 1234567.5}, {"desc", "نورگیر"}});
        sale.insert("price", QJsonObject{{"price_2", 1500000000.0}});
        sale.insert("district", QJsonArray{"D1", "D2"});
        sale.insert("parking", QJsonArray{121});
        QJsonObject archived = serverFile("f9", 9, 50, 109);
        archived.insert("meter", QJsonObject{{"home", 120.0}});
        archived.insert("price", QJsonObject{{"price_2", 2000000.0}});
        QJsonObject rent = serverFile("f2", 2, 50, 102);
        rent.insert("meter", QJsonObject{{"area", 70.0}});
        rent.insert("price", QJsonObject{{"price_1", 300000000.0}});
        QJsonArray files{sale, archived, rent};
        for (int i = 0; i < 100; ++i)
            files.append(serverFile("v" + QString::number(i), 1, 51, 1000 + i));
        UGENERAL::GFile(UGENERAL::sharedSnapshot()).saveFiles(files, -1);
    }

    // Runs an export to its end; true when it reported completion.
    bool run(GExcel &excel, const std::function<void()> &start)
    {
        QSignalSpy done(&excel, &GExcel::exportComplete);
        start();
        excel.waitForExport();
        return done.count() == 1;
    }

    QTemporaryDir home;
    QTemporaryDir out;
    TempStore store;
    std::unique_ptr<UGENERAL::GDatabase> seeder;
    User owner;
};

TEST_F(ExcelExport, FilesWorkbookHoldsEveryPropertyTypeWithItsColumns)
{
    GExcel excel;
    QSignalSpy progress(&excel, &GExcel::progress);
    const QString path = out.filePath("files.xlsx");
    ASSERT_TRUE(run(excel, [&] { excel.exportFilesToExcel("O", "", path); }));
    const QVector<Sheet> sheets = readBack(path);
    ASSERT_EQ(names(sheets), (QStringList{"آپارتمان", "ویلا", "باغ-ویلا- شمال -ویژه- با نامی ب"}));
    for (const Sheet &s : sheets)
        EXPECT_EQ(s.types, QStringList{"s"}) << "every cell is text";

    // Position by position across the trades' cards; a title met again shares its column.
    const QStringList header{"کد فایل", "تاریخ", "نوع معامله", "شناسه فایل", "نام مالک", "متراژ بنا", "سقف مبلغ خرید",
                             "شماره همراه", "رهن", "زیربنا", "قیمت کل", "منطقه", "ویژگی ها", "توضیحات"};
    const Sheet &flats = sheets[0];
    ASSERT_EQ(flats.rows.size(), 4);
    EXPECT_EQ(flats.rows[0], header);
    const QString date = UGENERAL::GDateConvertor().toJalaliString(kRegister);
    EXPECT_EQ(rowWithCode(flats, "101"),
              (QStringList{"101", date, "فروش", "M-101", "رضا مالک", "85.5", "", "09120000001", "", "1234567.5",
                           "1,500,000,000", "منطقه یک,منطقه دو", "پارکینگ اختصاصی", "نورگیر"}));
    // The archived sale is written with the sale's form, under the same columns.
    EXPECT_EQ(rowWithCode(flats, "109"),
              (QStringList{"109", date, "بایگانی فروش", "M-109", "", "120", "", "", "", "0", "2,000,000"}));
    // The rent's area shares the sale's "متراژ بنا" column.
    EXPECT_EQ(rowWithCode(flats, "102"), (QStringList{"102", date, "اجاره", "M-102", "", "70", "", "", "300,000,000"}));

    // Exactly one page of 100: every file once, and the empty second page ends the sheet.
    const Sheet &villas = sheets[1];
    ASSERT_EQ(villas.rows.size(), 101);
    EXPECT_EQ(villas.rows[0], (QStringList{"کد فایل", "تاریخ", "نوع معامله", "شناسه فایل", "منطقه", "ویژگی ها", "توضیحات"}));
    QSet<QString> codes;
    for (int i = 1; i < villas.rows.size(); ++i)
        codes.insert(villas.rows[i].value(0));
    EXPECT_EQ(codes.size(), 100);
    // No files: the header only.
    EXPECT_EQ(sheets[2].rows.size(), 1);

    ASSERT_EQ(progress.count(), 103);
    EXPECT_EQ(progress.last(), (QList<QVariant>{103, 103}));
    EXPECT_EQ(excel.sheetNames(), QStringList()) << "the workbook starts empty again";
}

TEST_F(ExcelExport, ManyFilesKeepTheirOrderAcrossReadsAndSheets)
{
    // Enough villas for several reads in flight; one of a trade with no form of its own.
    QJsonArray more;
    for (int i = 0; i < 600; ++i)
        more.append(serverFile("w" + QString::number(i), 1 + i % 16, 51, 2000 + i));
    more.append(serverFile("odd", 0, 51, 3000));
    UGENERAL::GFile(UGENERAL::sharedSnapshot()).saveFiles(more, -1);

    GExcel excel;
    const QString path = out.filePath("many.xlsx");
    ASSERT_TRUE(run(excel, [&] { excel.exportFilesToExcel("O", "", path); }));
    const QVector<Sheet> sheets = readBack(path);
    ASSERT_EQ(sheets.size(), 3);
    EXPECT_EQ(sheets[0].rows.size(), 4) << "the sheet before is whole";
    const Sheet &villas = sheets[1];
    ASSERT_EQ(villas.rows.size(), 1 + 100 + 600 + 1);
    QStringList codes;
    for (int i = 1; i < villas.rows.size(); ++i)
        codes << villas.rows[i].value(0);
    QStringList expected;
    for (int i = 0; i < 100; ++i)
        expected << QString::number(1000 + i);
    for (int i = 0; i < 600; ++i)
        expected << QString::number(2000 + i);
    expected << "3000";
    EXPECT_EQ(codes, expected) << "store order, each file once";
    EXPECT_EQ(villas.rows[1 + 100 + 8].value(2), "بایگانی فروش");
    const QString date = UGENERAL::GDateConvertor().toJalaliString(kRegister);
    EXPECT_EQ(villas.rows.last(), (QStringList{"3000", date}));
    EXPECT_EQ(sheets[2].rows.size(), 1) << "the sheet after is whole";
}

TEST_F(ExcelExport, ContactsWorkbookHasSixSheetsInOrder)
{
    GExcel excel;
    const QString path = out.filePath("contacts.xlsx");
    ASSERT_TRUE(run(excel, [&] { excel.exportContactsToExcel(int(owner.id), path); }));
    const QVector<Sheet> sheets = readBack(path);
    ASSERT_EQ(names(sheets), (QStringList{"فروشندگان", "موجرین", "مستاجران", "خریداران", "نگهبانان", "متفرقه"}));
    const QStringList header{"نام و نام خانوادگی", "تلفن همراه", "تلفن ثابت", "تلفن همراه 2", "تلفن ثابت 2", "شغل", "آدرس"};
    for (const Sheet &s : sheets)
        EXPECT_EQ(s.rows.value(0), header) << s.name.toStdString();
    EXPECT_EQ(sheets[0].rows.value(1), (QStringList{"رضا مالک", "09120000001"}));
    const QStringList full{"سارا", "0935", "021", "0912", "026", "معلم", "تهران"};
    EXPECT_EQ(sheets[2].rows.value(1), full);
    EXPECT_EQ(sheets[4].rows.value(1), full);
    EXPECT_EQ(sheets[1].rows.size(), 1);
    EXPECT_EQ(sheets[5].rows.size(), 1);
}

TEST_F(ExcelExport, CancelledExportWritesNothingAndLeavesNoSheetBehind)
{
    GExcel excel;
    const QString path = out.filePath("cancelled.xlsx");
    QSignalSpy done(&excel, &GExcel::exportComplete);
    QSignalSpy failed(&excel, &GExcel::exportFailed);
    // Cancelled from the first progress report, as the dialog's close does.
    QObject::connect(&excel, &GExcel::progress, &excel, [&] { excel.setCanceled(true); }, Qt::DirectConnection);
    excel.exportFilesToExcel("O", "", path);
    excel.waitForExport();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(done.count() + failed.count(), 0);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "no temporary file either";

    QObject::disconnect(&excel, &GExcel::progress, &excel, nullptr);
    excel.setCanceled(false);
    ASSERT_TRUE(run(excel, [&] { excel.exportContactsToExcel(int(owner.id), path); }));
    EXPECT_EQ(readBack(path).size(), 6) << "no stale files sheet";
}

TEST_F(ExcelExport, SaveThatCannotBeWrittenIsReportedAsFailure)
{
    GExcel excel;
    QSignalSpy failed(&excel, &GExcel::exportFailed);
    QSignalSpy done(&excel, &GExcel::exportComplete);
    excel.exportContactsToExcel(int(owner.id), out.filePath("missing/contacts.xlsx"));
    excel.waitForExport();
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().first().toString(), GExcel::kSaveFailed);

    // A path that is a folder: even root cannot replace a folder by a file.
    ASSERT_TRUE(QDir(out.path()).mkdir("taken.xlsx"));
    excel.exportFilesToExcel("O", "", out.filePath("taken.xlsx"));
    excel.waitForExport();
    EXPECT_EQ(failed.count(), 2);
    EXPECT_EQ(done.count(), 0);
    EXPECT_TRUE(QFileInfo(out.filePath("taken.xlsx")).isDir());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << "no temporary file is left";

    // The slot itself reports the same way.
    excel.saveFile(out.filePath("missing/direct.xlsx"));
    EXPECT_EQ(failed.count(), 3);
}

TEST_F(ExcelExport, EmptyPathLandsInTheDocumentsFolder)
{
    GExcel excel;
    QSignalSpy done(&excel, &GExcel::exportComplete);
    excel.exportContactsToExcel(int(owner.id), QString());
    excel.waitForExport();
    ASSERT_EQ(done.count(), 1);
    const QString path = done.first().first().toString();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/tavorlin/";
    EXPECT_TRUE(folder.startsWith(home.path()));
    EXPECT_TRUE(path.startsWith(folder + "contacts_")) << path.toStdString();
    EXPECT_TRUE(path.endsWith(".xlsx"));
    EXPECT_EQ(excel.getFilePath(), path);
    EXPECT_EQ(readBack(path).size(), 6);
}

TEST(ExcelSheetNames, MadeValidWithoutLosingTheTitle)
{
    EXPECT_EQ(GExcel::sheetName("آپارتمان", {}), "آپارتمان");
    EXPECT_EQ(GExcel::sheetName("a[b]c:d*e?f/g\\h", {}), "a-b-c-d-e-f-g-h");
    EXPECT_EQ(GExcel::sheetName(QString(40, 'x'), {}).size(), 31);
    EXPECT_EQ(GExcel::sheetName("'x'", {}), "x");
    EXPECT_EQ(GExcel::sheetName("", {}), "Sheet");
    EXPECT_EQ(GExcel::sheetName("Villa", {"villa"}), "Villa (2)");
    EXPECT_EQ(GExcel::sheetName(QString(31, 'y'), {QString(31, 'y')}), QString(27, 'y') + " (2)");
}

} // namespace
