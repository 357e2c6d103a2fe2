#include "repositories/gactivity.h"

#include "repositories/gjson.h"
#include "repositories/grows.h"

namespace UGENERAL {

GActivity::~GActivity() = default;

QJsonObject GActivity::toJson(const FileActivity &activity)
{
    return QJsonObject{
        {QStringLiteral("id"), double(activity.id)},
        {QStringLiteral("_id"), GJson::fromUtf8(activity.server_id)},
        {QStringLiteral("user_id"), GJson::fromUtf8(activity.user_id)},
        {QStringLiteral("file_id"), GJson::fromUtf8(activity.file_id)},
        {QStringLiteral("type"), activity.type},
        {QStringLiteral("message"), GJson::fromUtf8(activity.text)},
        {QStringLiteral("date"), double(activity.date)},
        {QStringLiteral("media_links"), GJson::toArray(activity.documents)},
    };
}

bool GActivity::saveActivity(QJsonObject activity, bool, qlonglong date)
{
    FileActivity row;
    row.server_id = GJson::utf8(activity, QStringLiteral("_id"));
    row.user_id = GJson::utf8(activity, QStringLiteral("user_ref"));
    row.text = GJson::utf8(activity, QStringLiteral("message"));
    row.type = GJson::int32(activity, QStringLiteral("type"));
    row.file_id = GJson::utf8(activity, QStringLiteral("file_ref"));
    row.date = GJson::uint64(activity, QStringLiteral("date"));
    row.documents = GJson::toStrings(activity.value(QStringLiteral("media_links")).toArray());
    obx::Transaction tx = store.txWrite();
    row.id = GRows::localId<FileActivity>(store, FileActivity_::server_id, row.server_id);
    const obx_id id = obx::Box<FileActivity>(store).put(row);
    GRows::stamp(snapshot(), date);
    tx.success();
    return id != 0;
}

void GActivity::saveActivities(QJsonArray activities, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &value : activities) {
        const QJsonObject item = value.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            saveActivity(item, true, -1);
    }
    GRows::stamp(snapshot(), date);
    tx.success();
}

bool GActivity::remove(QString serverId, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    const uint64_t removed =
        GRows::removeByServerId<FileActivity>(store, FileActivity_::server_id, serverId.toStdString());
    GRows::stamp(snapshot(), date);
    tx.success();
    return removed > 0;
}

QJsonArray GActivity::getActivities(QString fileId)
{
    QJsonArray list;
    for (const auto &row :
         obx::Box<FileActivity>(store).query(FileActivity_::file_id.equals(fileId.toStdString())).build().find())
        list.append(toJson(*row));
    return list;
}

} // namespace UGENERAL
