#include "repositories/ghashtag.h"

#include "repositories/gdistrict.h"
#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "store/file.h"
#include "store/hashtag.h"

#include <algorithm>

namespace UGENERAL {

namespace {

QJsonObject noHashtag()
{
    return QJsonObject{{QStringLiteral("error"), QStringLiteral("no hashtags was found for that query!")}};
}

} // namespace

GHashtag::~GHashtag() = default;

bool GHashtag::saveHashtag(QJsonObject hashtag, bool)
{
    HashTag row;
    row.server_id = GJson::utf8(hashtag, QStringLiteral("_id"));
    row.title = GJson::utf8(hashtag, QStringLiteral("title"));
    row.user_id = GJson::utf8(hashtag, QStringLiteral("user_ref"));
    obx::Transaction tx = store.txWrite();
    row.id = GRows::localId<HashTag>(store, HashTag_::server_id, row.server_id);
    const obx_id id = obx::Box<HashTag>(store).put(row);
    tx.success();
    return id != 0;
}

void GHashtag::saveHashtags(QJsonArray hashtags, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &value : hashtags) {
        const QJsonObject item = value.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            saveHashtag(item, true);
    }
    GRows::stamp(snapshot(), date);
    tx.success();
}

bool GHashtag::remove(QString serverId, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    const uint64_t removed = GRows::removeByServerId<HashTag>(store, HashTag_::server_id, serverId.toStdString());
    GRows::stamp(snapshot(), date);
    tx.success();
    return removed > 0;
}

QJsonArray GHashtag::getHashTags()
{
    QJsonArray list;
    for (const auto &row : obx::Box<HashTag>(store).query(HashTag_::user_id.equals(user.server_id)).build().find())
        list.append(GDistrict::toJson(*row));
    return list;
}

QJsonObject GHashtag::getSingleHashTag(QString serverId, qint64 hashtagId)
{
    obx::Box<HashTag> hashtags(store);
    std::unique_ptr<HashTag> row;
    if (serverId.isEmpty())
        row = hashtagId > 0 ? hashtags.get(obx_id(hashtagId)) : nullptr;
    else
        row = hashtags.query(HashTag_::server_id.equals(serverId.toStdString())).build().findFirst();
    return row ? GDistrict::toJson(*row) : noHashtag();
}

QJsonArray GHashtag::getHashtagFileList(QString fileId)
{
    QJsonArray list;
    if (fileId.isEmpty())
        return list;
    std::unique_ptr<File> file = obx::Box<File>(store).query(File_::server_id.equals(fileId.toStdString())).build().findFirst();
    if (file)
        for (const std::string &id : file->hashtags)
            list.append(QJsonObject{{QStringLiteral("hashtag_id"), GJson::fromUtf8(id)}});
    return list;
}

bool GHashtag::saveFileHashTags(QJsonObject data, qlonglong date)
{
    const std::string fileId = GJson::utf8(data, QStringLiteral("file_id"));
    if (fileId.empty())
        return false;
    obx::Transaction tx = store.txWrite();
    obx::Box<File> files(store);
    std::unique_ptr<File> file = files.query(File_::server_id.equals(fileId)).build().findFirst();
    if (!file) {
        tx.success(); // nothing written; ending without success would fail an enclosing write
        return false;
    }
    std::vector<std::string> &tags = file->hashtags;
    for (const std::string &id : GJson::toStrings(data.value(QStringLiteral("success_remove")).toArray()))
        tags.erase(std::remove(tags.begin(), tags.end(), id), tags.end());
    // A replayed change must not list a tag twice.
    for (const std::string &id : GJson::toStrings(data.value(QStringLiteral("success_add")).toArray()))
        if (!id.empty() && std::find(tags.begin(), tags.end(), id) == tags.end())
            tags.push_back(id);
    files.put(*file);
    GRows::stamp(snapshot(), date);
    tx.success();
    return true;
}

} // namespace UGENERAL
