#include "repositories/gactivity.h"

namespace UGENERAL {

GActivity::~GActivity() = default;

bool GActivity::saveActivity(QJsonObject activity, bool edit, qlonglong date)
{
    // Not built yet.
    return false;
}

void GActivity::saveActivities(QJsonArray activities, qlonglong date)
{
    // Not built yet.
}

bool GActivity::remove(QString serverId, qlonglong date)
{
    // Not built yet.
    return false;
}

QJsonArray GActivity::getActivities(QString fileId)
{
    // Not built yet.
    return QJsonArray();
}

} // namespace UGENERAL
