#include "repositories/gform.h"

namespace UGENERAL {

GForm::~GForm() = default;

QJsonArray GForm::getFormCards(int tradeType, int propertyType)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getInputCards(int propertyType)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getSettingsCards()
{
    // Not built yet.
    return QJsonArray();
}

QJsonObject GForm::getFieldByKeys(QString key, QString parentKey, bool isToggle)
{
    // Not built yet.
    return QJsonObject();
}

QJsonArray GForm::getFieldByParent(QString parent, bool isToggle)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getTradeTypes()
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getPropertyTypes(int tradeType, QJsonObject filter)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getPropertyTabLayout(int tradeType, QJsonArray filters)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getReportCount(QJsonArray filter)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GForm::getInvisibleToggles(QString userId)
{
    // Not built yet.
    return QJsonArray();
}

bool GForm::addInvisibleToggle(int toggleId, QString userId)
{
    // Not built yet.
    return false;
}

void GForm::saveFormSettings(QJsonArray settings, QString userId, qlonglong date)
{
    // Not built yet.
}

} // namespace UGENERAL
