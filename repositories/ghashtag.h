#pragma once

#include "repositories/grepository.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Hashtag repository: the account's hashtags and the hashtags of a file.
class GHashtag : public GRepository
{
public:
    using GRepository::GRepository;
    ~GHashtag() override;

    bool saveHashtag(QJsonObject hashtag, bool edit);
    void saveHashtags(QJsonArray hashtags, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getHashTags();
    QJsonObject getSingleHashTag(QString serverId, qint64 hashtagId);
    QJsonArray getHashtagFileList(QString fileId);
    bool saveFileHashTags(QJsonObject data, qlonglong date = -1);
};

} // namespace UGENERAL
