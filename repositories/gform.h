#pragma once

#include "repositories/grepository.h"
#include "store/card.h"
#include "store/inputfield.h"
#include "store/togglefield.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <set>

namespace UGENERAL {

// Form repository: the listing form served from the seeded catalogue, and the form account's
// hidden toggles. The form account is the agent when one is logged in, otherwise the owner.
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
    // The userId arguments select nothing: the form account is always the viewer.
    QJsonArray getInvisibleToggles(QString userId);
    // False when there is no form account row to write to.
    bool addInvisibleToggle(int toggleId, QString userId);
    void saveFormSettings(QJsonArray settings, QString userId, qlonglong date = -1);

    static QJsonObject inputFieldToJson(const InputField &field);
    static QJsonObject toggleToJson(const ToggleField &toggle);
    QJsonObject toggleWithAttachments(const ToggleField &toggle);

private:
    QJsonObject cardToJson(const Card &card, bool withStepper);
    QJsonObject toggleWithAttachments(const ToggleField &toggle, std::set<obx_id> &path);
    // Every "property" toggle as a type entry, in id order.
    QJsonArray propertyEntries();
    // The form account's stored row, changed by edit and put back; false when there is none.
    template <class Edit> bool editFormAccount(Edit &&edit);
};

} // namespace UGENERAL
