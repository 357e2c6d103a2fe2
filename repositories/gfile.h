#pragma once

#include "repositories/grepository.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// File repository: property listings with their child rows.
class GFile : public GRepository
{
public:
    using GRepository::GRepository;
    ~GFile() override;

    void saveFiles(QJsonArray files, qlonglong date = -1);
    void saveColleagueFiles(QJsonArray files, int propertyType, QString userId);
    bool deleteFile(QString fileId, qlonglong date, bool withFile);
    void deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters);
    void deleteFileImage(QString fileId, QString path);
    bool pinFile(QString fileId, bool pinned, qlonglong date);
    bool archiveFile(QString fileId, int tradeType, qlonglong archiveDate, qlonglong date);
    bool moveFileToRecyclerbin(QString fileId, bool move, qlonglong date);
    bool adColleagueFile(QString fileId, bool colleague, qlonglong date);
    bool fileSeen(int code);
    bool fileUnSeen(int code);
    void unseen(QJsonArray files, qlonglong date);
    bool savefileMatchTag(QString fileId, QString requestId, int tag);
    QJsonArray getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId);
    QJsonArray getColleagueFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId);
    QJsonArray getDraftFiles();
    QJsonArray getUnsyncedFiles(QString userId);
    QJsonArray getFilesByProperty(QString userId, int property, int page, QString agentId);
    QJsonObject getFile(QString serverId);
    QJsonObject getFileByCode(int code);
    QJsonObject getFileByLocalId(int id);
    int getFileLocalId(QString serverId);
    int getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId);
    int getFilesCountByUser(QString userId, QString agentId);
    int getDueFilesCount(QString start, QString end);
    int getOfflineCount();
    int getOldFilesCount(qlonglong time);
};

} // namespace UGENERAL
