#include "repositories/gfile.h"

namespace UGENERAL {

GFile::~GFile() = default;

void GFile::saveFiles(QJsonArray files, qlonglong date)
{
    // Not built yet.
}

void GFile::saveColleagueFiles(QJsonArray files, int propertyType, QString userId)
{
    // Not built yet.
}

bool GFile::deleteFile(QString fileId, qlonglong date, bool withFile)
{
    // Not built yet.
    return false;
}

void GFile::deleteFilesByFilter(int tradeType, int propertyType, QJsonArray filters)
{
    // Not built yet.
}

void GFile::deleteFileImage(QString fileId, QString path)
{
    // Not built yet.
}

bool GFile::pinFile(QString fileId, bool pinned, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GFile::archiveFile(QString fileId, int tradeType, qlonglong archiveDate, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GFile::moveFileToRecyclerbin(QString fileId, bool move, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GFile::adColleagueFile(QString fileId, bool colleague, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GFile::fileSeen(int code)
{
    // Not built yet.
    return false;
}

bool GFile::fileUnSeen(int code)
{
    // Not built yet.
    return false;
}

void GFile::unseen(QJsonArray files, qlonglong date)
{
    // Not built yet.
}

bool GFile::savefileMatchTag(QString fileId, QString requestId, int tag)
{
    // Not built yet.
    return false;
}

QJsonArray GFile::getFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GFile::getColleagueFiles(int tradeType, int propertyType, QJsonArray filters, QString orderBy, QString orderType, int page, QString keyword, QString userId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GFile::getDraftFiles()
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GFile::getUnsyncedFiles(QString userId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GFile::getFilesByProperty(QString userId, int property, int page, QString agentId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonObject GFile::getFile(QString serverId)
{
    // Not built yet.
    return QJsonObject();
}

QJsonObject GFile::getFileByCode(int code)
{
    // Not built yet.
    return QJsonObject();
}

QJsonObject GFile::getFileByLocalId(int id)
{
    // Not built yet.
    return QJsonObject();
}

int GFile::getFileLocalId(QString serverId)
{
    // Not built yet.
    return 0;
}

int GFile::getFilesCount(int tradeType, int propertyType, QJsonArray filters, bool seen, QString userId)
{
    // Not built yet.
    return 0;
}

int GFile::getFilesCountByUser(QString userId, QString agentId)
{
    // Not built yet.
    return 0;
}

int GFile::getDueFilesCount(QString start, QString end)
{
    // Not built yet.
    return 0;
}

int GFile::getOfflineCount()
{
    // Not built yet.
    return 0;
}

int GFile::getOldFilesCount(qlonglong time)
{
    // Not built yet.
    return 0;
}

} // namespace UGENERAL
