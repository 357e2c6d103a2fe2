#pragma once

#include "repositories/grepository.h"

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

    bool saveDistrict(QJsonObject district, bool edit);
    void saveDistricts(QJsonArray districts, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getDistricts();
    QJsonObject getSingleDistrict(QString serverId, qint64 districtId);
    QJsonObject findDistrict(QString title);
};

} // namespace UGENERAL
