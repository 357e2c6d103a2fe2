#include "repositories/gdistrict.h"

namespace UGENERAL {

GDistrict::~GDistrict() = default;

bool GDistrict::saveDistrict(QJsonObject district, bool edit)
{
    // Not built yet.
    return false;
}

void GDistrict::saveDistricts(QJsonArray districts, qlonglong date)
{
    // Not built yet.
}

bool GDistrict::remove(QString serverId, qlonglong date)
{
    // Not built yet.
    return false;
}

QJsonArray GDistrict::getDistricts()
{
    // Not built yet.
    return QJsonArray();
}

QJsonObject GDistrict::getSingleDistrict(QString serverId, qint64 districtId)
{
    // Not built yet.
    return QJsonObject();
}

QJsonObject GDistrict::findDistrict(QString title)
{
    // Not built yet.
    return QJsonObject();
}

} // namespace UGENERAL
