#include "repositories/ghashtag.h"

namespace UGENERAL {

GHashtag::~GHashtag() = default;

bool GHashtag::saveHashtag(QJsonObject hashtag, bool edit)
{
    // Not built yet.
    return false;
}

void GHashtag::saveHashtags(QJsonArray hashtags, qlonglong date)
{
    // Not built yet.
}

bool GHashtag::remove(QString serverId, qlonglong date)
{
    // Not built yet.
    return false;
}

QJsonArray GHashtag::getHashTags()
{
    // Not built yet.
    return QJsonArray();
}

QJsonObject GHashtag::getSingleHashTag(QString serverId, qint64 hashtagId)
{
    // Not built yet.
    return QJsonObject();
}

QJsonArray GHashtag::getHashtagFileList(QString fileId)
{
    // Not built yet.
    return QJsonArray();
}

bool GHashtag::saveFileHashTags(QJsonObject data, qlonglong date)
{
    // Not built yet.
    return false;
}

} // namespace UGENERAL
