#pragma once

#include "repositories/grepository.h"
#include "store/district.h"
#include "store/hashtag.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// District repository: the account's districts and main streets.
class GDistrict : public GRepository
{
public:
    using GRepository::GRepository;
    ~GDistrict() override;

    // Replaces the row with the item's server id, whatever `edit` says: server ids are unique,
    // so a row whose owner changed, or a create that a push repeats, is still that row.
    bool saveDistrict(QJsonObject district, bool edit);
    void saveDistricts(QJsonArray districts, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getDistricts();
    QJsonObject getSingleDistrict(QString serverId, qint64 districtId);
    QJsonObject findDistrict(QString title);

    // The JSON of a district, and of a hashtag, which has the same shape.
    static QJsonObject toJson(const District &district);
    static QJsonObject toJson(const HashTag &hashtag);
};

} // namespace UGENERAL
