#include "repositories/gdistrict.h"

#include "repositories/gjson.h"
#include "repositories/grows.h"

namespace UGENERAL {

namespace {

QJsonObject noDistrict()
{
    return QJsonObject{{QStringLiteral("error"), QStringLiteral("no district was found for that query!")}};
}

template <class T> QJsonObject titledJson(const T &row)
{
    return QJsonObject{
        {QStringLiteral("id"), double(row.id)},
        {QStringLiteral("_id"), GJson::fromUtf8(row.server_id)},
        {QStringLiteral("user_id"), GJson::fromUtf8(row.user_id)},
        {QStringLiteral("title"), GJson::fromUtf8(row.title)},
    };
}

} // namespace

GDistrict::~GDistrict() = default;

QJsonObject GDistrict::toJson(const District &district)
{
    return titledJson(district);
}

QJsonObject GDistrict::toJson(const HashTag &hashtag)
{
    return titledJson(hashtag);
}

bool GDistrict::saveDistrict(QJsonObject district, bool)
{
    District row;
    row.server_id = GJson::utf8(district, QStringLiteral("_id"));
    row.title = GJson::utf8(district, QStringLiteral("title"));
    row.user_id = GJson::utf8(district, QStringLiteral("user_ref"));
    obx::Transaction tx = store.txWrite();
    row.id = GRows::localId<District>(store, District_::server_id, row.server_id);
    const obx_id id = obx::Box<District>(store).put(row);
    tx.success();
    return id != 0;
}

void GDistrict::saveDistricts(QJsonArray districts, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &value : districts) {
        const QJsonObject item = value.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            saveDistrict(item, true);
    }
    GRows::stamp(snapshot(), date);
    tx.success();
}

bool GDistrict::remove(QString serverId, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    const uint64_t removed = GRows::removeByServerId<District>(store, District_::server_id, serverId.toStdString());
    GRows::stamp(snapshot(), date);
    tx.success();
    return removed > 0;
}

QJsonArray GDistrict::getDistricts()
{
    QJsonArray list;
    for (const auto &row : obx::Box<District>(store).query(District_::user_id.equals(user.server_id)).build().find())
        list.append(toJson(*row));
    return list;
}

QJsonObject GDistrict::getSingleDistrict(QString serverId, qint64 districtId)
{
    obx::Box<District> districts(store);
    std::unique_ptr<District> row;
    if (serverId.isEmpty())
        row = districtId > 0 ? districts.get(obx_id(districtId)) : nullptr;
    else
        row = districts.query(District_::server_id.equals(serverId.toStdString())).build().findFirst();
    return row ? toJson(*row) : noDistrict();
}

QJsonObject GDistrict::findDistrict(QString title)
{
    std::unique_ptr<District> row =
        obx::Box<District>(store)
            .query(District_::user_id.equals(user.server_id) && District_::title.equals(title.toStdString()))
            .build()
            .findFirst();
    return row ? toJson(*row) : noDistrict();
}

} // namespace UGENERAL
