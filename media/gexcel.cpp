#include "media/gexcel.h"

#include "shell/gdateconvertor.h"
#include "store/gdatabase.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>
#include <QtConcurrent>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <thread>

namespace UGENERAL {

namespace {

const int kPage = 100;
// Files read by one pool task: the look-ups a read remembers (districts, titles, customers)
// serve more files, at the cost of more rows held at once.
const int kReadChunk = 250;
// The longest text a cell takes.
const int kMaxCellText = 32767;
const int kMaxSheetName = 31;

const char *const kContactSheets[][2] = {
    {"فروشندگان", "1"}, {"موجرین", "2"}, {"مستاجران", "6"}, {"خریداران", "5"}, {"نگهبانان", "17"}, {"متفرقه", "18"},
};
const char *const kContactColumns[][2] = {
    {"نام و نام خانوادگی", "name_family"}, {"تلفن همراه", "mobile_1"}, {"تلفن ثابت", "phone_1"},
    {"تلفن همراه 2", "mobile_2"},          {"تلفن ثابت 2", "phone_2"},   {"شغل", "job"},
    {"آدرس", "address"},
};

const QString kCodeTitle = QStringLiteral("کد فایل");
const QString kDateTitle = QStringLiteral("تاریخ");
const QString kTradeTitle = QStringLiteral("نوع معامله");
const QString kDistrictTitle = QStringLiteral("منطقه");
const QString kFeaturesTitle = QStringLiteral("ویژگی ها");
const QString kDescTitle = QStringLiteral("توضیحات");

// Fields that have no column of their own: the second phone numbers and the districts, which
// get one column of all the file's districts.
bool skipped(const QJsonObject &input)
{
    const QString key = input.value(QStringLiteral("key")).toString();
    return key == QLatin1String("mobile_2") || key == QLatin1String("phone_2") ||
           input.value(QStringLiteral("parent_key")).toString() == QLatin1String("district");
}

QString titleFor(const QJsonObject &field, int tradeType)
{
    return field.value(tradeType <= 4 ? QStringLiteral("title") : QStringLiteral("request_title")).toString();
}

// A number in plain decimal notation with every digit it holds (no exponent).
QString plain(double v)
{
    if (!std::isfinite(v))
        return QString();
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

// A value read as a number: JSON numbers, and texts that hold one.
double number(const QJsonValue &v, bool *ok)
{
    if (v.isDouble()) {
        *ok = true;
        return v.toDouble();
    }
    if (v.isString())
        return v.toString().trimmed().toDouble(ok);
    if (v.isBool()) {
        *ok = true;
        return v.toBool() ? 1 : 0;
    }
    *ok = false;
    return 0;
}

QString text(const QJsonValue &v)
{
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return plain(v.toDouble());
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return QString();
}

qint64 whole(double v)
{
    if (!std::isfinite(v))
        return 0;
    // Beyond the 64-bit range the value is clamped rather than undefined.
    if (v >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (v <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(v);
}

} // namespace

const QString GExcel::kSaveFailed =
    QStringLiteral("ذخیره فایل اکسل انجام نشد. پوشه مقصد در دسترس نیست یا فضای کافی ندارد.");

GExcel::GExcel(QObject *parent)
    : QObject(parent), database_(std::make_unique<GDatabase>())
{
}

GExcel::~GExcel()
{
    ++generation_;
    waitForExport();
}

// ---- Sheet names and paths ---------------------------------------------------------------------

QString GExcel::sheetName(const QString &title, const QStringList &taken)
{
    QString name;
    for (const QChar c : title) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            name += QLatin1Char('-');
        else if (c.category() == QChar::Other_Control)
            continue;
        else
            name += c;
    }
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Sheet");
    name = name.left(kMaxSheetName);
    auto used = [&taken](const QString &candidate) {
        for (const QString &t : taken)
            if (t.compare(candidate, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    // Sheet names are unique without regard to case; keep the title's start, number the rest.
    const QString base = name;
    for (int n = 2; used(name); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = base.left(kMaxSheetName - suffix.size()).trimmed() + suffix;
    }
    return name;
}

QString GExcel::defaultPath(const QString &prefix)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir dir(documents);
    if (!dir.exists(QStringLiteral("tavorlin")))
        dir.mkpath(QStringLiteral("tavorlin"));
    GDateConvertor dates;
    const QStringList jalali = dates.currentJalaliDate();
    const QTime now = QTime::currentTime();
    return documents + QStringLiteral("/tavorlin/") + prefix + jalali.value(0) + QLatin1Char('_') + jalali.value(1) +
           QLatin1Char('_') + jalali.value(2) + QLatin1Char('_') + QString::number(now.hour()) + QLatin1Char('_') +
           QString::number(now.minute()) + QStringLiteral(".xlsx");
}

// ---- The in-memory workbook --------------------------------------------------------------------

void GExcel::addSheet(QString title)
{
    QMutexLocker locker(&lock_);
    QStringList names;
    for (const Sheet &sheet : qAsConst(sheets_))
        names << sheet.name;
    sheets_.append(Sheet{title, sheetName(title, names), {}});
}

void GExcel::selectSheet(QString title)
{
    QMutexLocker locker(&lock_);
    // The last sheet of that title: an export adds and selects its sheet in one go.
    for (int i = sheets_.size() - 1; i >= 0; --i) {
        if (sheets_.at(i).title == title) {
            current_ = i;
            return;
        }
    }
}

QVector<QString> *GExcel::rowLocked(int row)
{
    if (current_ < 0 || current_ >= sheets_.size())
        return nullptr;
    QVector<QVector<QString>> &rows = sheets_[current_].rows;
    if (rows.size() < row)
        rows.resize(row);
    return &rows[row - 1];
}

void GExcel::writeToCell(int row, int column, QString value)
{
    if (row < 1 || column < 1 || row > 1048576 || column > 16384)
        return;
    QMutexLocker locker(&lock_);
    QVector<QString> *found = rowLocked(row);
    if (!found)
        return;
    QVector<QString> &cells = *found;
    if (cells.size() < column)
        cells.resize(column);
    cells[column - 1] = value.size() > kMaxCellText ? value.left(kMaxCellText) : value;
}

QStringList GExcel::sheetNames() const
{
    QMutexLocker locker(&lock_);
    QStringList names;
    for (const Sheet &sheet : sheets_)
        names << sheet.name;
    return names;
}

void GExcel::resetWorkbook()
{
    QMutexLocker locker(&lock_);
    sheets_.clear();
    current_ = -1;
    count_ = 0;
}

void GExcel::clear()
{
    resetWorkbook();
}

// A workbook written sheet by sheet: into a temporary file of our own beside the target, moved
// into place by close(). The library keeps only the row being written in memory and puts each
// sheet's rows into a scratch file at once, so that the sheets written while later ones are
// still being read leave only the packing for the end. Left unclosed, it removes its file.
class GExcel::Workbook
{
public:
    ~Workbook()
    {
        if (book_) {
            workbook_close(book_);
            QFile::remove(temporary_);
        }
    }

    // False, with a reason for the log, when the target cannot take a file.
    bool open(const QString &path, QString *reason)
    {
        const QFileInfo target(path);
        const QString folder = target.absolutePath();
        if (path.isEmpty() || !QFileInfo(folder).isDir()) {
            *reason = QStringLiteral("no folder ") + folder;
            return false;
        }
        if (target.isDir()) {
            *reason = path + QStringLiteral(" is a folder");
            return false;
        }
        // A name of our own in the target folder, so that the move into place is one rename.
        {
            QTemporaryFile probe(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
            probe.setAutoRemove(false);
            if (!probe.open()) {
                *reason = probe.errorString();
                return false;
            }
            temporary_ = probe.fileName();
        }
        temporaryName_ = QFile::encodeName(temporary_);
        scratch_ = QFile::encodeName(QDir::tempPath());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = scratch_.data();
        book_ = workbook_new_opt(temporaryName_.constData(), &options);
        if (!book_) {
            QFile::remove(temporary_);
            *reason = QStringLiteral("the workbook could not be made");
            return false;
        }
        return true;
    }

    // Writes non-empty cells of a sheet as text, the sheet's rows from index first on; a sheet may
    // come in several parts, in row order, one sheet after the other. After a failure the later
    // sheets are skipped.
    void add(const Sheet &sheet, int first = 0)
    {
        if (!book_ || failure_ != LXW_NO_ERROR)
            return;
        if (!worksheet_ || sheet.name != worksheetName_) {
            const QByteArray name = sheet.name.toUtf8();
            worksheet_ = workbook_add_worksheet(book_, name.constData());
            if (!worksheet_) {
                failure_ = LXW_ERROR_SHEETNAME_ALREADY_USED;
                return;
            }
            worksheetName_ = sheet.name;
        }
        QByteArray value;
        for (int r = 0; r < sheet.rows.size(); ++r) {
            const QVector<QString> &cells = sheet.rows.at(r);
            for (int c = 0; c < cells.size(); ++c) {
                if (cells.at(c).isEmpty())
                    continue;
                value = cells.at(c).toUtf8();
                const lxw_error e = worksheet_write_string(worksheet_, lxw_row_t(first + r), lxw_col_t(c),
                                                           value.constData(), nullptr);
                if (e != LXW_NO_ERROR) {
                    failure_ = e;
                    return;
                }
            }
        }
    }

    // Packs the workbook and moves it to path; false, with a reason, when it was not saved.
    bool close(const QString &path, QString *reason)
    {
        if (!book_)
            return false;
        // Closing writes the file; it also frees the workbook after a failure above.
        const lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        lxw_error failure = failure_ != LXW_NO_ERROR ? failure_ : closed;
        if (failure != LXW_NO_ERROR) {
            QFile::remove(temporary_);
            *reason = QString::fromUtf8(lxw_strerror(failure));
            return false;
        }
        QFile::setPermissions(temporary_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        if (std::rename(temporaryName_.constData(), QFile::encodeName(path).constData()) != 0) {
            *reason = QString::fromLocal8Bit(std::strerror(errno));
            QFile::remove(temporary_);
            return false;
        }
        return true;
    }

private:
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *worksheet_ = nullptr; // the sheet being written
    QString worksheetName_;
    lxw_error failure_ = LXW_NO_ERROR;
    QString temporary_;
    QByteArray temporaryName_;
    QByteArray scratch_;
};

bool GExcel::saveWorkbook(const QString &path, QString *reason)
{
    // The cells are copied out so that the library's slow part runs without the lock.
    QVector<Sheet> sheets;
    {
        QMutexLocker locker(&lock_);
        sheets = sheets_;
    }
    Workbook book;
    if (!book.open(path, reason))
        return false;
    for (const Sheet &sheet : qAsConst(sheets))
        book.add(sheet);
    return book.close(path, reason);
}

void GExcel::saveFile(QString path)
{
    QString reason;
    const bool saved = saveWorkbook(path, &reason);
    resetWorkbook();
    if (!saved) {
        qDebug() << "excel save failed:" << path << reason;
        Q_EMIT exportFailed(kSaveFailed);
    }
}

QString GExcel::getFilePath()
{
    QMutexLocker locker(&lock_);
    return filePath_;
}

void GExcel::setCanceled(bool c)
{
    canceled_ = c;
}

bool GExcel::stopped() const
{
    return canceled_.load() || generation_.load() != runGeneration_;
}

void GExcel::step()
{
    const int done = ++count_;
    if (!stopped())
        Q_EMIT progress(done, total_.load());
}

void GExcel::waitForExport()
{
    std::unique_lock<std::mutex> locker(waitMutex_);
    idle_.wait(locker, [this] { return running_ == 0; });
}

// ---- The two exports ---------------------------------------------------------------------------

void GExcel::exportFilesToExcel(QString userId, QString agentId, QString filePath)
{
    const int generation = ++generation_;
    {
        std::lock_guard<std::mutex> locker(waitMutex_);
        ++running_;
    }
    QtConcurrent::run([this, userId, agentId, filePath, generation] {
        runFiles(userId, agentId, filePath, generation);
        std::lock_guard<std::mutex> locker(waitMutex_);
        --running_;
        idle_.notify_all();
    });
}

void GExcel::exportContactsToExcel(int userId, QString filePath)
{
    const int generation = ++generation_;
    {
        std::lock_guard<std::mutex> locker(waitMutex_);
        ++running_;
    }
    QtConcurrent::run([this, userId, filePath, generation] {
        runContacts(userId, filePath, generation);
        std::lock_guard<std::mutex> locker(waitMutex_);
        --running_;
        idle_.notify_all();
    });
}

void GExcel::runFiles(QString userId, QString agentId, QString filePath, int generation)
{
    std::lock_guard<std::mutex> run(runMutex_);
    runGeneration_ = generation;
    if (stopped())
        return;
    try {
        // Every export starts from an empty workbook, whatever a cancelled one left.
        resetWorkbook();
        forms_.clear();
        {
            QMutexLocker locker(&daysLock_);
            days_.clear();
        }
        const QString path = takeTarget(filePath, QStringLiteral("files_"));
        // Each page of rows goes to the workbook file on a thread of its own as soon as it is
        // written, while the next ones are read. A target that cannot take the file fails at the
        // end, as a save does.
        Workbook book;
        QString reason;
        const bool opened = book.open(path, &reason);
        std::mutex queueMutex;
        std::condition_variable queued;
        struct Part {
            Sheet sheet;
            int first = 0; // the index of its first row in the sheet
        };
        std::deque<Part> queue;
        bool last = false;
        std::thread writer;
        if (opened) {
            writer = std::thread([&] {
                for (;;) {
                    std::unique_lock<std::mutex> locker(queueMutex);
                    queued.wait(locker, [&] { return last || !queue.empty(); });
                    if (queue.empty())
                        return;
                    const Part part = std::move(queue.front());
                    queue.pop_front();
                    locker.unlock();
                    book.add(part.sheet, part.first);
                }
            });
        }
        auto finish = qScopeGuard([&] {
            {
                std::lock_guard<std::mutex> locker(queueMutex);
                last = true;
            }
            queued.notify_all();
            if (writer.joinable())
                writer.join();
        });
        // Every sheet's plan is read at once, on the pool.
        QStringList titles;
        QVector<QFuture<SheetPlan>> plans;
        for (const QJsonValue &value : database_->getFieldByParent(QStringLiteral("property"), true)) {
            const QJsonObject property = value.toObject();
            titles << property.value(QStringLiteral("title")).toString();
            plans << planSheet(userId, agentId, property.value(QStringLiteral("key")).toInt());
        }
        // Counted while the plans are read.
        total_ = database_->getFilesCount(userId, agentId);
        qDebug() << "file count is " << total_.load();
        int sent = 0; // rows of the current sheet the writer has taken
        writeSheets(titles, plans, [&](bool sheetEnd) {
            if (!opened || stopped())
                return;
            // The writer takes the new rows over; the workbook keeps the sheet's name.
            Part part;
            {
                QMutexLocker locker(&lock_);
                if (current_ >= 0 && current_ < sheets_.size()) {
                    Sheet &sheet = sheets_[current_];
                    part.sheet.name = sheet.name;
                    part.first = sent;
                    part.sheet.rows.reserve(sheet.rows.size() - sent);
                    for (int r = sent; r < sheet.rows.size(); ++r)
                        part.sheet.rows << std::move(sheet.rows[r]);
                    sent = sheet.rows.size();
                    if (sheetEnd) {
                        sheet.rows.clear();
                        sent = 0;
                    }
                }
            }
            if (part.sheet.rows.isEmpty() && !sheetEnd)
                return;
            {
                std::lock_guard<std::mutex> locker(queueMutex);
                queue.push_back(std::move(part));
            }
            queued.notify_one();
        });
        forms_.clear();
        finish.dismiss();
        {
            std::lock_guard<std::mutex> locker(queueMutex);
            last = true;
        }
        queued.notify_all();
        if (writer.joinable())
            writer.join();
        if (stopped()) {
            resetWorkbook();
            return;
        }
        reportSave(opened && book.close(path, &reason), path, reason);
    } catch (const std::exception &e) {
        qDebug() << "files export failed:" << e.what();
        resetWorkbook();
        Q_EMIT exportFailed(kSaveFailed);
    }
}

// The export's file: the one asked for, or a new one in the documents folder; getFilePath tells it.
QString GExcel::takeTarget(const QString &filePath, const QString &prefix)
{
    const QString path = filePath.isEmpty() ? defaultPath(prefix) : filePath;
    QMutexLocker locker(&lock_);
    filePath_ = path;
    return path;
}

// Tells the screen how the save went; the workbook is emptied either way.
void GExcel::reportSave(bool saved, const QString &path, const QString &reason)
{
    resetWorkbook();
    if (saved) {
        Q_EMIT exportComplete(path);
    } else {
        qDebug() << "excel save failed:" << path << reason;
        Q_EMIT exportFailed(kSaveFailed);
    }
}

void GExcel::addFiles(QString userId, QString agentId, QString property, int key)
{
    writeSheets({property}, {planSheet(userId, agentId, key)}, {});
}

QFuture<GExcel::SheetPlan> GExcel::planSheet(const QString &userId, const QString &agentId, int key)
{
    GDatabase *db = database_.get();
    return QtConcurrent::run([db, userId, agentId, key] {
        SheetPlan plan;
        plan.key = key;
        plan.header = headerOf(db->getInputCards(key), &plan.columns);
        // Only the parts of a file the sheet reads are built: those the forms of the property
        // type name, and the columns of every row.
        plan.keys = {QStringLiteral("id"),       QStringLiteral("code"),         QStringLiteral("dates"),
                     QStringLiteral("trade_ref"), QStringLiteral("property_ref"), QStringLiteral("trade_name"),
                     QStringLiteral("district"),  QStringLiteral("info")};
        for (int trade = 1; trade <= 8; ++trade) {
            const Form form = formFrom(db->getFormCards(trade, key), trade);
            for (const QString &group : form.groups)
                plan.keys.insert(group);
            plan.forms.insert(trade, form);
        }
        // The files' ids in page order, read once; each page of them is then read by id rather
        // than by skipping the files of the pages before it.
        plan.ids = db->getFileIdsByProperty(userId, key, agentId);
        return plan;
    });
}

void GExcel::writeSheets(const QStringList &titles, QVector<QFuture<SheetPlan>> plans,
                         const std::function<void(bool sheetEnd)> &written)
{
    // Pages are read, and their rows made, on other pool threads while this one writes rows,
    // across the sheets' borders; they are taken in order.
    struct Page {
        QVector<QVector<QString>> rows; // empty for a file of a trade outside the plan's forms
        QHash<int, QJsonObject> others; // those files, by their place in rows
    };
    QList<QFuture<Page>> pages;
    auto settle = qScopeGuard([&] {
        for (QFuture<Page> &page : pages)
            page.waitForFinished();
        for (QFuture<SheetPlan> &plan : plans)
            plan.waitForFinished();
    });
    auto pageCount = [](const SheetPlan &plan) { return (plan.ids.size() + kReadChunk - 1) / kReadChunk; };
    int nextSheet = 0;
    int nextPage = 0;
    auto request = [&] {
        for (; nextSheet < plans.size(); ++nextSheet, nextPage = 0) {
            SheetPlan plan;
            try {
                plan = plans[nextSheet].result();
            } catch (const std::exception &) {
                continue; // its sheet meets the failure itself
            }
            if (nextPage >= pageCount(plan))
                continue;
            const QVector<qint64> page = plan.ids.mid(nextPage++ * kReadChunk, kReadChunk);
            GDatabase *db = database_.get();
            pages << QtConcurrent::run([this, db, page, plan] {
                // Only the cells go back: the files are also let go of here, not on the writing thread.
                Page result;
                const QJsonArray files = db->getFilesByIds(page, plan.keys);
                result.rows.resize(files.size());
                for (int i = 0; i < files.size(); ++i) {
                    const QJsonObject file = files.at(i).toObject();
                    const int trade = file.value(QStringLiteral("trade_ref")).toInt();
                    const auto form = plan.forms.constFind(trade > 8 ? trade - 8 : trade);
                    if (form != plan.forms.constEnd() && file.value(QStringLiteral("property_ref")).toInt() == plan.key)
                        result.rows[i] = fileCells(file, form.value(), plan.columns);
                    else
                        result.others.insert(i, file);
                }
                return result;
            });
            return;
        }
    };
    // All cores but two read: one writes the rows, one stays for the rest of the program.
    const int ahead = qBound(2, QThread::idealThreadCount() - 2, 8);
    for (int i = 0; i < ahead; ++i)
        request();

    for (int sheet = 0; sheet < plans.size(); ++sheet) {
        int pagesLeft = 0;
        const QString title = titles.value(sheet);
        addSheet(title);
        selectSheet(title);
        try {
            // A plan that failed leaves its sheet empty.
            const SheetPlan &plan = plans[sheet].result();
            writeRow(1, plan.header);
            pagesLeft = pageCount(plan);
            int row = 2;
            for (int page = 1; pagesLeft > 0; ++page) {
                qDebug() << "getting file for property " + title + " , page = " + QString::number(page);
                --pagesLeft;
                const Page files = pages.takeFirst().result();
                request();
                for (int i = 0; i < files.rows.size(); ++i) {
                    if (!files.others.contains(i)) {
                        writeRow(row, files.rows.at(i));
                    } else {
                        QJsonObject file = files.others.value(i);
                        // A trade outside the usual ones may have a form reading other parts: read it whole.
                        const int trade = file.value(QStringLiteral("trade_ref")).toInt();
                        for (const QString &group : formOf(trade > 8 ? trade - 8 : trade, plan.key).groups) {
                            if (!plan.keys.contains(group)) {
                                file = database_->getFileByLocalId(file.value(QStringLiteral("id")).toInt());
                                break;
                            }
                        }
                        addFile(file, row, plan.columns);
                    }
                    ++row;
                    step();
                    if (stopped())
                        return;
                }
                if (written)
                    written(false);
            }
        } catch (const std::exception &e) {
            qDebug() << "error happened , property : " << title << e.what();
            // The failed sheet's pages still to come are not written.
            for (; pagesLeft > 0 && !pages.isEmpty(); --pagesLeft) {
                pages.first().waitForFinished();
                pages.removeFirst();
                request();
            }
        }
        if (written)
            written(true);
        if (stopped())
            return;
    }
}

QHash<QString, int> GExcel::addFilesHeader(int propertyType)
{
    QHash<QString, int> columns;
    writeRow(1, headerOf(database_->getInputCards(propertyType), &columns));
    return columns;
}

QVector<QString> GExcel::headerOf(const QJsonArray &cards, QHash<QString, int> *columns)
{
    QVector<QString> header{kCodeTitle, kDateTitle, kTradeTitle};
    auto add = [&](const QString &title) {
        columns->insert(title, header.size() + 1);
        header << (title.isNull() ? QLatin1String("") : title);
    };
    int widest = 0;
    for (const QJsonValue &card : cards)
        widest = std::max(widest, int(card.toObject().value(QStringLiteral("inputs")).toArray().size()));
    // Position by position across the cards, so that the fields every form shares come first.
    for (int j = 0; j < widest; ++j) {
        for (const QJsonValue &value : cards) {
            const QJsonObject card = value.toObject();
            const QJsonArray inputs = card.value(QStringLiteral("inputs")).toArray();
            if (j >= inputs.size())
                continue;
            const QJsonObject input = inputs.at(j).toObject();
            if (skipped(input))
                continue;
            const QString title = titleFor(input, card.value(QStringLiteral("trade_type")).toInt() < 5 ? 1 : 5);
            if (!columns->contains(title))
                add(title);
        }
    }
    for (const QString &title : {kDistrictTitle, kFeaturesTitle, kDescTitle})
        add(title);
    return header;
}

QString GExcel::jalaliDate(qint64 msecs)
{
    const qint64 quarter = msecs >= 0 ? msecs / 900000 : (msecs - 899999) / 900000;
    {
        QMutexLocker locker(&daysLock_);
        auto found = days_.constFind(quarter);
        if (found != days_.constEnd())
            return found.value();
    }
    // Rows are made on several threads, and a converter serves one thread.
    const QString date = GDateConvertor().toJalaliString(msecs);
    QMutexLocker locker(&daysLock_);
    days_.insert(quarter, date);
    return date;
}

int GExcel::Form::groupOf(const QString &name)
{
    auto found = groupIndex.constFind(name);
    if (found != groupIndex.constEnd())
        return found.value();
    groups << name;
    groupIndex.insert(name, groups.size() - 1);
    return groups.size() - 1;
}

GExcel::Field GExcel::fieldOf(const QJsonObject &input)
{
    GExcel::Field field;
    field.key = input.value(QStringLiteral("key")).toString();
    field.currency = input.value(QStringLiteral("currency")).toBool();
    field.inputType = input.value(QStringLiteral("input_type")).toInt();
    return field;
}

const GExcel::Form &GExcel::formOf(int trade, int property)
{
    const qint64 key = (qint64(trade) << 32) | quint32(property);
    auto found = forms_.constFind(key);
    if (found != forms_.constEnd())
        return found.value();
    return forms_.insert(key, formFrom(database_->getFormCards(trade, property), trade)).value();
}

GExcel::Form GExcel::formFrom(const QJsonArray &cards, int trade)
{
    Form form;
    if (!cards.isEmpty()) {
        for (const QJsonValue &value : cards.at(0).toObject().value(QStringLiteral("inputs")).toArray()) {
            const QJsonObject input = value.toObject();
            if (skipped(input))
                continue;
            form.inputs.append({form.groupOf(input.value(QStringLiteral("parent_key")).toString()), fieldOf(input),
                                titleFor(input, trade)});
        }
    }
    // The first card is not read for toggles.
    for (int i = 1; i < cards.size(); ++i) {
        for (const QJsonValue &value : cards.at(i).toObject().value(QStringLiteral("toggles")).toArray()) {
            const QJsonObject toggle = value.toObject();
            form.toggles.append({form.groupOf(toggle.value(QStringLiteral("parent_key")).toString()),
                                 toggle.value(QStringLiteral("key")).toInt(), titleFor(toggle, trade)});
        }
    }
    return form;
}

namespace {

// The toggle keys a file's group text holds ("3,11," gives 3 and 11).
QVector<int> toggleKeys(const QJsonValue &text)
{
    QVector<int> keys;
    const QString value = text.toString();
    for (const QStringRef &piece : value.splitRef(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int key = piece.trimmed().toInt(&ok);
        if (ok)
            keys << key;
    }
    return keys;
}

} // namespace

void GExcel::addFile(QJsonObject file, int row, QHash<QString, int> indexes)
{
    const int trade = file.value(QStringLiteral("trade_ref")).toInt();
    const int property = file.value(QStringLiteral("property_ref")).toInt();
    // Archived trades share the form of their live trade.
    const Form &form = formOf(trade > 8 ? trade - 8 : trade, property);
    writeRow(row, fileCells(file, form, indexes));
}

QVector<QString> GExcel::fileCells(const QJsonObject &file, const Form &form, const QHash<QString, int> &indexes)
{
    QVector<QString> cells(indexes.size() + 3);
    auto put = [&cells](int column, const QString &value) {
        if (column > cells.size())
            cells.resize(column);
        // Written, though maybe empty: a null text is a cell the row leaves alone.
        cells[column - 1] = value.isNull() ? QLatin1String("") : value;
    };
    put(1, QString::number(file.value(QStringLiteral("code")).toObject().value(QStringLiteral("auto")).toInt()));
    const double registered = file.value(QStringLiteral("dates")).toObject().value(QStringLiteral("register")).toDouble();
    put(2, jalaliDate(whole(registered)));
    put(3, file.value(QStringLiteral("trade_name")).toString());

    // One pass over the file's keys finds every group the form reads.
    QVector<QJsonValue> groups(form.groups.size());
    for (auto it = file.constBegin(); it != file.constEnd(); ++it) {
        const auto g = form.groupIndex.constFind(it.key());
        if (g != form.groupIndex.constEnd())
            groups[g.value()] = it.value();
    }
    for (const Form::Input &input : form.inputs) {
        const auto column = indexes.constFind(input.title);
        if (column == indexes.constEnd())
            continue;
        const QString text = fieldText(groups.at(input.group), input.field);
        if (!text.isEmpty())
            put(column.value(), text);
    }

    // Each group's text is read once; the toggles keep their order in the form.
    QVector<QVector<int>> set(form.groups.size());
    for (int g = 0; g < form.groups.size(); ++g)
        if (groups.at(g).isString())
            set[g] = toggleKeys(groups.at(g));
    QString features;
    for (const Form::Toggle &toggle : form.toggles) {
        if (!set.at(toggle.group).contains(toggle.key))
            continue;
        if (!features.isEmpty())
            features += QStringLiteral(" , ");
        features += toggle.title;
    }
    const auto featureColumn = indexes.constFind(kFeaturesTitle);
    if (featureColumn != indexes.constEnd() && !features.isEmpty())
        put(featureColumn.value(), features);

    // The titles come with the district objects; "districts" holds only their ids.
    const auto districtColumn = indexes.constFind(kDistrictTitle);
    if (districtColumn != indexes.constEnd()) {
        QStringList titles;
        for (const QJsonValue &district : file.value(QStringLiteral("district")).toArray())
            titles << district.toObject().value(QStringLiteral("title")).toString();
        put(districtColumn.value(), titles.join(QLatin1Char(',')));
    }

    const auto descColumn = indexes.constFind(kDescTitle);
    if (descColumn != indexes.constEnd()) {
        static const Field desc{QStringLiteral("desc"), false, 1};
        put(descColumn.value(), fieldText(file.value(QStringLiteral("info")), desc));
    }
    return cells;
}

void GExcel::writeRow(int row, const QVector<QString> &cells)
{
    if (row < 1 || row > 1048576)
        return;
    QMutexLocker locker(&lock_);
    QVector<QString> *found = rowLocked(row);
    if (!found)
        return;
    QVector<QString> &target = *found;
    const bool fits = std::all_of(cells.begin(), cells.end(), [](const QString &c) { return c.size() <= kMaxCellText; });
    if (target.isEmpty() && fits) {
        target = cells; // a new row, the usual case: no copy
        return;
    }
    if (target.size() < cells.size())
        target.resize(cells.size());
    for (int c = 0; c < cells.size(); ++c)
        if (!cells.at(c).isNull())
            target[c] = cells.at(c).left(kMaxCellText);
}

QString GExcel::getAttrValue(QJsonObject file, QJsonObject field, bool isToggle)
{
    const QString group = field.value(QStringLiteral("parent_key")).toString();
    const auto found = file.constFind(group);
    if (found == file.constEnd())
        return QString();
    if (isToggle) {
        // The stored text lists keys each followed by ","; match whole keys, so 1 is not found in "11,".
        const QString keys = QLatin1Char(',') + found.value().toString();
        const QString key = QLatin1Char(',') + QString::number(field.value(QStringLiteral("key")).toInt()) + QLatin1Char(',');
        return keys.contains(key) ? QStringLiteral("true") : QString();
    }
    return fieldText(found.value(), fieldOf(field));
}

QString GExcel::fieldText(const QJsonValue &group, const Field &field)
{
    if (!group.isObject())
        return QString();
    const QJsonObject values = group.toObject();
    const auto at = values.constFind(field.key);
    if (at == values.constEnd())
        return QString();
    const QJsonValue v = at.value();
    bool ok = false;
    if (field.currency) {
        const double n = number(v, &ok);
        return ok ? currency(QString::number(whole(n))) : QString();
    }
    switch (field.inputType) {
    case 1:
        return text(v);
    case 2: {
        const double n = number(v, &ok);
        return ok ? QString::number(whole(n)) : QString();
    }
    case 3: {
        if (field.key.contains(QLatin1String("phone")) || field.key.contains(QLatin1String("mobile")))
            return text(v);
        const double n = number(v, &ok);
        return ok ? plain(n) : QString();
    }
    default:
        return QString();
    }
}

QString GExcel::currency(QString value)
{
    if (value.isEmpty())
        return value;
    // Groups of three from the right; a sign is not a digit of the first group.
    const bool negative = value.startsWith(QLatin1Char('-'));
    const QString digits = negative ? value.mid(1) : value;
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += digits.at(i);
    }
    return negative ? QLatin1Char('-') + grouped : grouped;
}

void GExcel::runContacts(int userId, QString filePath, int generation)
{
    std::lock_guard<std::mutex> run(runMutex_);
    runGeneration_ = generation;
    if (stopped())
        return;
    try {
        resetWorkbook();
        total_ = database_->getContactsCount(userId);
        qDebug() << "max = " << total_.load();
        const QString path = takeTarget(filePath, QStringLiteral("contacts_"));
        for (const auto &sheet : kContactSheets) {
            addContacts(QString::fromUtf8(sheet[0]), QString::fromLatin1(sheet[1]).toInt(), userId);
            if (stopped()) {
                resetWorkbook();
                return;
            }
        }
        QString reason;
        const bool saved = saveWorkbook(path, &reason);
        if (saved)
            Q_EMIT progress(total_.load(), total_.load());
        reportSave(saved, path, reason);
    } catch (const std::exception &e) {
        qDebug() << "contacts export failed:" << e.what();
        resetWorkbook();
        Q_EMIT exportFailed(kSaveFailed);
    }
}

void GExcel::addContacts(QString title, int type, int userId)
{
    addSheet(title);
    selectSheet(title);
    try {
        const QJsonArray contacts = database_->getContactsByType(userId, type);
        addContactHeader();
        for (int i = 0; i < contacts.size(); ++i) {
            addContact(contacts.at(i).toObject(), i + 2);
            step();
            if (stopped())
                return;
        }
    } catch (const std::exception &e) {
        qDebug() << "error happened , contact : " << e.what();
    }
}

void GExcel::addContactHeader()
{
    int column = 1;
    for (const auto &entry : kContactColumns)
        writeToCell(1, column++, QString::fromUtf8(entry[0]));
}

void GExcel::addContact(QJsonObject contact, int row)
{
    int column = 1;
    for (const auto &entry : kContactColumns) {
        const QJsonValue v = contact.value(QLatin1String(entry[1]));
        // Only texts are written; a missing or other value leaves the cell empty.
        if (v.isString() && !v.toString().isEmpty())
            writeToCell(row, column, v.toString());
        ++column;
    }
}

} // namespace UGENERAL
