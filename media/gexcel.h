#pragma once

#include <QFuture>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace UGENERAL {

class GDatabase;
class GDateConvertor;

// Writes the user's property files, or the agency's contacts, into one .xlsx workbook on the
// global thread pool. Cells are gathered in a small in-memory workbook, which saveFile() hands to
// the library in one pass: into a temporary file beside the target, then moved into place. The
// files export hands each sheet over as soon as it is done, while the pool reads the next ones.
class GExcel : public QObject
{
    Q_OBJECT
public:
    explicit GExcel(QObject *parent = nullptr);
    ~GExcel() override;

    // The sheet name the workbook will carry for a wanted title: at most 31 characters, none of
    // []:*?/\, no quote at either end, never empty, and unlike every name in `taken`.
    static QString sheetName(const QString &title, const QStringList &taken);
    // "documents/tavorlin/<prefix>Y_M_D_h_m.xlsx" for now, making the folder when missing.
    static QString defaultPath(const QString &prefix);

    // The names of the sheets the workbook holds now, in order.
    QStringList sheetNames() const;
    // Waits until the export that runs (if any) has ended.
    void waitForExport();

Q_SIGNALS:
    void exportComplete(QString path);
    void progress(int progress, int max);
    void exportFailed(QString message);

public Q_SLOTS:
    void addSheet(QString title);
    void selectSheet(QString title);
    void writeToCell(int row, int column, QString value);
    void saveFile(QString path);
    void exportFilesToExcel(QString userId, QString agentId, QString filePath = QString());
    void exportContactsToExcel(int userId, QString filePath = QString());
    void clear();
    QString getFilePath();
    void setCanceled(bool c);

private Q_SLOTS:
    void addFiles(QString userId, QString agentId, QString property, int key);
    QHash<QString, int> addFilesHeader(int propertyType);
    void addFile(QJsonObject file, int row, QHash<QString, int> indexes);
    QString getAttrValue(QJsonObject file, QJsonObject field, bool isToggle);
    QString currency(QString value);
    void addContacts(QString title, int type, int userId);
    void addContactHeader();
    void addContact(QJsonObject contact, int row);

public:
    static const QString kSaveFailed;

private:
    class Workbook;
    struct Sheet {
        QString title; // as asked for; selectSheet finds it by this
        QString name;  // as the workbook carries it
        QVector<QVector<QString>> rows;
    };

    void runFiles(QString userId, QString agentId, QString filePath, int generation);
    void runContacts(int userId, QString filePath, int generation);
    // Ends the task that belongs to an older export, or that the screen cancelled.
    bool stopped() const;
    void step();
    // Writes the workbook to path; false with a reason for the log when it could not be saved.
    bool saveWorkbook(const QString &path, QString *reason);
    void resetWorkbook();
    // The 1-based row of the current sheet, the sheet grown to hold it; null without a current
    // sheet. The caller holds lock_.
    QVector<QString> *rowLocked(int row);
    QString takeTarget(const QString &filePath, const QString &prefix);
    void reportSave(bool saved, const QString &path, const QString &reason);
    // A form read once per export and laid out for the rows: the first card's inputs, and the
    // later cards' toggles in order, each with the index of its group.
    // How one input's value is written.
    struct Field {
        QString key;
        bool currency = false;
        int inputType = 0;
    };
    struct Form {
        // The groups (top-level file keys) the form reads, and where each is in `groups`.
        QVector<QString> groups;
        QHash<QString, int> groupIndex;
        struct Input {
            int group;
            Field field;
            QString title;
        };
        QVector<Input> inputs;
        struct Toggle {
            int group;
            int key;
            QString title;
        };
        QVector<Toggle> toggles;
        int groupOf(const QString &name);
    };
    static Field fieldOf(const QJsonObject &input);
    static Form formFrom(const QJsonArray &cards, int trade);
    // The header row of a files sheet from its input cards, and each title's column.
    static QVector<QString> headerOf(const QJsonArray &cards, QHash<QString, int> *columns);
    // What one files sheet needs before its rows, read on the pool: header, forms by trade,
    // the file parts they read and the files' ids in page order.
    struct SheetPlan {
        int key = 0;
        QVector<QString> header;
        QHash<QString, int> columns;
        QHash<int, Form> forms;
        QSet<QString> keys;
        QVector<qint64> ids;
    };
    QFuture<SheetPlan> planSheet(const QString &userId, const QString &agentId, int key);
    // Writes the files sheets in order, calling written after each page of rows (false) and at
    // the end of each sheet (true); stops when stopped().
    void writeSheets(const QStringList &titles, QVector<QFuture<SheetPlan>> plans,
                     const std::function<void(bool sheetEnd)> &written);
    // The value text of one input from its group's value.
    QString fieldText(const QJsonValue &group, const Field &field);
    const Form &formOf(int trade, int property);
    // The cells of a file's row from column 1 on, by its form; a null text is a cell not
    // written. Safe on any thread: it reads only the form, the columns and the date cache.
    QVector<QString> fileCells(const QJsonObject &file, const Form &form, const QHash<QString, int> &indexes);
    // Writes the cells of row (from column 1) that are not null into the current sheet at once.
    void writeRow(int row, const QVector<QString> &cells);

    std::unique_ptr<GDatabase> database_;
    std::unique_ptr<GDateConvertor> dates_;
    mutable QMutex lock_; // the GUI thread and the export task both reach the workbook
    QVector<Sheet> sheets_;
    int current_ = -1;
    QString filePath_;
    std::atomic<int> total_{0};
    std::atomic<int> count_{0};
    std::atomic<bool> canceled_{false};
    // Each export takes a new number; a task whose number is no longer the latest stops.
    std::atomic<int> generation_{0};
    int runGeneration_ = 0; // the running task's own number (task thread only)
    std::mutex runMutex_;   // one export task at a time
    std::mutex waitMutex_;
    std::condition_variable idle_;
    int running_ = 0; // tasks started and not yet ended, under waitMutex_
    // The forms read during one export, by trade and property type.
    QHash<qint64, Form> forms_;
    // Jalali dates by quarter hour of registration: every zone's day starts on a quarter hour.
    QHash<qint64, QString> days_;
    QMutex daysLock_;
    QString jalaliDate(qint64 msecs);
};

} // namespace UGENERAL
