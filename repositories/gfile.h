#pragma once

#include "repositories/grepository.h"
#include "store/file.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QLoggingCategory>
#include <QString>
#include <QVector>

namespace UGENERAL {

// The diagnostics of the file repository (filters, imports), on Qt's debug output.
Q_DECLARE_LOGGING_CATEGORY(lcFiles)

// File repository: property listings with their child rows, their filtered lists and counts,
// the actions on them and the import from the server.
class GFile : public GRepository
{
public:
    using GRepository::GRepository;
    ~GFile() override;

    // Import (the batch is one write transaction; a failure stores none of it).
    void saveFiles(QJsonArray files, qlonglong date = -1);
    void saveColleagueFiles(QJsonArray files, int propertyType, QString userId);
    void unseen(QJsonArray files, qlonglong date);
    bool savefileMatchTag(QString fileId, QString requestId, int tag);

    // Actions.
    // Removes the file's child rows and, with withFile, the file; answers whether the file was
    // removed (with withFile false: whether any child row was).
    bool deleteFile(QString fileId, qlonglong date, bool withFile);
    // A draft has no server id: it goes by its local id, and only a draft row goes.
    bool deleteDraft(int id);
    // Stores the form as a draft in place of the draft `replacedId` (none when 0), in one write:
    // a failure keeps the old draft. Answers the new draft's local id.
    obx_id saveDraft(QJsonObject draft, int replacedId);
    void deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters);
    void deleteFileImage(QString fileId, QString path);
    bool pinFile(QString fileId, bool pinned, qlonglong date);
    bool archiveFile(QString fileId, int tradeType, qlonglong archiveDate, qlonglong date);
    bool moveFileToRecyclerbin(QString fileId, bool move, qlonglong date);
    bool adColleagueFile(QString fileId, bool colleague, qlonglong date);
    bool fileSeen(int code);
    bool fileUnSeen(int code);

    // Lists and look-ups.
    QJsonArray getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId);
    QJsonArray getColleagueFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId);
    // Every file of the map's filters (no keyword, newest registered first), each only as a
    // marker: {"id", "_id", "trade_ref", "map": {"lat", "lng"}}. Thousands at once stay cheap to
    // build and to hand to the screen.
    QJsonArray getMapFiles(int tradeType, int propertyType, QJsonArray filters, QString userId);
    QJsonArray getDraftFiles();
    QJsonArray getUnsyncedFiles(QString userId);
    QJsonArray getFilesByProperty(QString userId, int property, int page, QString agentId);
    // The local ids of the files getFilesByProperty pages through, in its order: page p holds
    // those from (p - 1) * 100 on. With them a reader of every page reads each file once.
    QVector<qint64> getFileIdsByProperty(QString userId, int property, QString agentId);
    // The full JSON of the files of these local ids with only the top-level keys in keys (see
    // GFileJson::fileToJson), in one read; ids no longer stored are left out.
    QJsonArray getFilesByIds(const QVector<qint64> &ids, const QSet<QString> &keys);
    QJsonObject getFile(QString serverId);
    QJsonObject getFileByCode(int code);
    QJsonObject getFileByLocalId(int id);
    int getFileLocalId(QString serverId);

    // Counts.
    int getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId);
    // The files the filters find, and the drafts that match them too, whoever's: a district or
    // hashtag still in use is kept, and no server check sees drafts, which live here only.
    int getFilesCountWithDrafts(int tradeType, int propertyType, QJsonArray filters);
    int getFilesCountByUser(QString userId, QString agentId);
    int getDueFilesCount(QString start, QString end);
    int getOfflineCount();
    int getOldFilesCount(qlonglong time);

    // The filter items, types, keyword and owner as conditions on builder (see GFileFilter).
    obx::QueryBuilder<File> &buildFilterQuery(obx::QueryBuilder<File> &builder, int tradeType, int propertyType,
                                              QJsonArray filters, QString keyword, QString userId);
    // True when the user of this JSON, or one of its agents, is logged in on this device.
    bool findLoggedInUser(QJsonObject user);

    // Removes the FileInfo, FileToggle, FileTenant and FileMeter rows of the file with this server
    // id, and its FileActivity rows when withActivities; answers how many rows went.
    static uint64_t removeChildRows(obx::Store &store, const std::string &fileId, bool withActivities);

private:
    QJsonArray toJsonList(obx::Query<File> &query, bool full, const QSet<QString> *keys = nullptr);
    obx::Query<File> byProperty(const QString &userId, int property, const QString &agentId);
    QJsonObject single(std::unique_ptr<File> file);
    // Finds the file by server id, changes it and writes it back, stamping date when above 0.
    template <class Change> bool updateFile(const QString &fileId, qlonglong date, Change change);
    bool setSeen(int code, bool seen);
    // A file without a server id shares no child rows by id; its own rows go by its relations.
    void removeUnnamedFile(const File &file);
    void stamp(qlonglong date);
};

} // namespace UGENERAL
