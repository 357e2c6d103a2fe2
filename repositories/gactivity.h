#pragma once

#include "repositories/grepository.h"
#include "store/fileactivity.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// File activity repository: the activity history of each listing.
class GActivity : public GRepository
{
public:
    using GRepository::GRepository;
    ~GActivity() override;

    // Replaces the row with the item's server id, whatever `edit` says (see GDistrict); stamps
    // only after the put succeeded, so a failed save is sent again by the next update.
    bool saveActivity(QJsonObject activity, bool edit, qlonglong date = -1);
    void saveActivities(QJsonArray activities, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getActivities(QString fileId);

    static QJsonObject toJson(const FileActivity &activity);
};

} // namespace UGENERAL
