#pragma once

#include "repositories/grepository.h"

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

    bool saveActivity(QJsonObject activity, bool edit, qlonglong date = -1);
    void saveActivities(QJsonArray activities, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getActivities(QString fileId);
};

} // namespace UGENERAL
