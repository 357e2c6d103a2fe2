#pragma once

#include "repositories/grepository.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Form repository: the listing form served from the seeded catalogue.
class GForm : public GRepository
{
public:
    using GRepository::GRepository;
    ~GForm() override;

    QJsonArray getFormCards(int tradeType, int propertyType);
    QJsonArray getInputCards(int propertyType);
    QJsonArray getSettingsCards();
    QJsonObject getFieldByKeys(QString key, QString parentKey, bool isToggle);
    QJsonArray getFieldByParent(QString parent, bool isToggle);
    QJsonArray getTradeTypes();
    QJsonArray getPropertyTypes(int tradeType, QJsonObject filter);
    QJsonArray getPropertyTabLayout(int tradeType, QJsonArray filters);
    QJsonArray getReportCount(QJsonArray filter);
    QJsonArray getInvisibleToggles(QString userId);
    bool addInvisibleToggle(int toggleId, QString userId);
    void saveFormSettings(QJsonArray settings, QString userId, qlonglong date = -1);
};

} // namespace UGENERAL
