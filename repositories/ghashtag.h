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

    // Replaces the row with the item's server id, whatever `edit` says (see GDistrict).
    bool saveHashtag(QJsonObject hashtag, bool edit);
    void saveHashtags(QJsonArray hashtags, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getHashTags();
    QJsonObject getSingleHashTag(QString serverId, qint64 hashtagId);
    QJsonArray getHashtagFileList(QString fileId);
    // False when the file is not stored; then nothing changes and nothing is stamped.
    bool saveFileHashTags(QJsonObject data, qlonglong date = -1);
};

} // namespace UGENERAL
