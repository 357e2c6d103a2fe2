#include "repositories/gform.h"

#include "repositories/gfile.h"
#include "repositories/gjson.h"
#include "repositories/guser.h"

#include <QDebug>

#include <string>
#include <unordered_set>

namespace UGENERAL {

namespace {

// Catalogue lists hold local ids as decimal text; a malformed entry raises std::invalid_argument
// or std::out_of_range, as the stored catalogue is never expected to hold one.
obx_id idOf(const std::string &entry)
{
    return obx_id(std::stoull(entry));
}

QJsonObject typeEntry(const ToggleField &toggle)
{
    return QJsonObject{{QStringLiteral("key"), toggle.key}, {QStringLiteral("title"), GJson::fromUtf8(toggle.title)}};
}

std::vector<std::unique_ptr<ToggleField>> togglesOfGroup(obx::Store &store, const std::string &group)
{
    return obx::Box<ToggleField>(store).query(ToggleField_::parent_key.equals(group)).build().find();
}

} // namespace

GForm::~GForm() = default;

// ---- JSON shapes ------------------------------------------------------------------------------

QJsonObject GForm::inputFieldToJson(const InputField &field)
{
    return QJsonObject{
        {QStringLiteral("id"), double(field.id)},
        {QStringLiteral("title"), GJson::fromUtf8(field.title)},
        {QStringLiteral("request_title"), GJson::fromUtf8(field.request_title)},
        {QStringLiteral("key"), GJson::fromUtf8(field.key)},
        {QStringLiteral("parent_key"), GJson::fromUtf8(field.parent_key)},
        {QStringLiteral("input_type"), field.input_type},
        {QStringLiteral("filter_type"), field.filter_type},
        {QStringLiteral("max_length"), field.max_length},
        {QStringLiteral("currency"), field.currency},
        {QStringLiteral("single_line"), field.single_line},
        {QStringLiteral("filter"), field.filter},
    };
}

QJsonObject GForm::toggleToJson(const ToggleField &toggle)
{
    return QJsonObject{
        {QStringLiteral("id"), double(toggle.id)},
        {QStringLiteral("title"), GJson::fromUtf8(toggle.title)},
        {QStringLiteral("request_title"), GJson::fromUtf8(toggle.request_title)},
        {QStringLiteral("key"), toggle.key},
        {QStringLiteral("parent_key"), GJson::fromUtf8(toggle.parent_key)},
    };
}

QJsonObject GForm::toggleWithAttachments(const ToggleField &toggle)
{
    std::set<obx_id> path;
    return toggleWithAttachments(toggle, path);
}

QJsonObject GForm::toggleWithAttachments(const ToggleField &toggle, std::set<obx_id> &path)
{
    obx::Transaction tx = store.txRead();
    obx::Box<InputField> inputs(store);
    obx::Box<ToggleField> toggles(store);
    QJsonObject json = toggleToJson(toggle);

    QJsonArray attachedInputs;
    for (const std::string &entry : toggle.attached_inputs)
        if (std::unique_ptr<InputField> field = inputs.get(idOf(entry)))
            attachedInputs.append(inputFieldToJson(*field));

    // The path guard keeps a toggle that (directly or not) attaches itself from recursing forever.
    path.insert(toggle.id);
    QJsonArray attachedToggles;
    for (const std::string &entry : toggle.attached_toggles) {
        const obx_id id = idOf(entry);
        if (path.count(id))
            continue;
        if (std::unique_ptr<ToggleField> child = toggles.get(id))
            attachedToggles.append(toggleWithAttachments(*child, path));
    }
    path.erase(toggle.id);

    if (!attachedInputs.isEmpty())
        json.insert(QStringLiteral("attachedInputs"), attachedInputs);
    if (!attachedToggles.isEmpty())
        json.insert(QStringLiteral("attachedToggles"), attachedToggles);
    json.insert(QStringLiteral("hasAttach"), !attachedInputs.isEmpty() || !attachedToggles.isEmpty());
    return json;
}

QJsonObject GForm::cardToJson(const Card &card, bool withStepper)
{
    obx::Box<InputField> inputs(store);
    obx::Box<ToggleField> toggles(store);
    QJsonObject json{
        {QStringLiteral("id"), double(card.id)},
        {QStringLiteral("title"), GJson::fromUtf8(card.title)},
        {QStringLiteral("trade_type"), card.trade_type},
        {QStringLiteral("property_type"), card.property_type},
        {QStringLiteral("single_select"), card.single_select},
    };
    QJsonArray inputList;
    for (const std::string &entry : card.inputs)
        if (std::unique_ptr<InputField> field = inputs.get(idOf(entry)))
            inputList.append(inputFieldToJson(*field));
    QJsonArray toggleList;
    for (const std::string &entry : card.toggles)
        if (std::unique_ptr<ToggleField> toggle = toggles.get(idOf(entry)))
            toggleList.append(toggleWithAttachments(*toggle));
    if (withStepper && card.stepper != 0)
        if (std::unique_ptr<InputField> stepper = inputs.get(card.stepper))
            json.insert(QStringLiteral("stepper"), inputFieldToJson(*stepper));
    json.insert(QStringLiteral("inputs"), inputList);
    json.insert(QStringLiteral("toggles"), toggleList);
    return json;
}

// ---- Cards ------------------------------------------------------------------------------------

QJsonArray GForm::getFormCards(int tradeType, int propertyType)
{
    obx::Transaction tx = store.txRead();
    obx::Box<Card> cards(store);
    QJsonArray list;
    for (const std::unique_ptr<Card> &card :
         cards.query(Card_::trade_type.equals(tradeType) && Card_::property_type.equals(propertyType)).build().find()) {
        const QJsonObject json = cardToJson(*card, true);
        // A card with nothing to show would be an empty frame in the form.
        if (!json.value(QStringLiteral("inputs")).toArray().isEmpty()
            || !json.value(QStringLiteral("toggles")).toArray().isEmpty() || json.contains(QStringLiteral("stepper")))
            list.append(json);
    }
    return list;
}

QJsonArray GForm::getInputCards(int propertyType)
{
    obx::Transaction tx = store.txRead();
    obx::Box<Card> cards(store);
    QJsonArray list;
    for (const std::unique_ptr<Card> &card :
         cards.query(Card_::title.equals(std::string()) && Card_::property_type.equals(propertyType)).build().find())
        list.append(cardToJson(*card, false));
    return list;
}

QJsonArray GForm::getSettingsCards()
{
    obx::Transaction tx = store.txRead();
    obx::Box<Card> cards(store);
    obx::Box<ToggleField> toggles(store);
    std::vector<std::string> titles;
    std::unordered_set<std::string> seenTitles;
    for (const std::unique_ptr<Card> &card :
         cards.query(Card_::title.notEquals(std::string()) && Card_::trade_type.greaterThan(0)).build().find())
        if (seenTitles.insert(card->title).second)
            titles.push_back(card->title);

    QJsonArray list;
    for (const std::string &title : titles) {
        // Every card of that title counts, whatever its trade type.
        std::set<obx_id> ids;
        for (const std::unique_ptr<Card> &card : cards.query(Card_::title.equals(title)).build().find())
            for (const std::string &entry : card->toggles)
                ids.insert(idOf(entry));
        QJsonArray toggleList;
        for (obx_id id : ids)
            if (std::unique_ptr<ToggleField> toggle = toggles.get(id))
                toggleList.append(toggleToJson(*toggle));
        list.append(QJsonObject{{QStringLiteral("title"), GJson::fromUtf8(title)},
                                {QStringLiteral("toggles"), toggleList}});
    }
    return list;
}

// ---- Single fields ----------------------------------------------------------------------------

QJsonObject GForm::getFieldByKeys(QString key, QString parentKey, bool isToggle)
{
    obx::Transaction tx = store.txRead();
    if (isToggle) {
        const int toggleKey = std::stoi(key.toStdString());
        std::unique_ptr<ToggleField> toggle =
            obx::Box<ToggleField>(store)
                .query(ToggleField_::parent_key.equals(parentKey.toStdString()) && ToggleField_::key.equals(toggleKey))
                .build()
                .findFirst();
        return toggle ? toggleWithAttachments(*toggle) : QJsonObject();
    }
    std::unique_ptr<InputField> field =
        obx::Box<InputField>(store)
            .query(InputField_::parent_key.equals(parentKey.toStdString()) && InputField_::key.equals(key.toStdString()))
            .build()
            .findFirst();
    return field ? inputFieldToJson(*field) : QJsonObject();
}

QJsonArray GForm::getFieldByParent(QString parent, bool isToggle)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    if (isToggle) {
        for (const std::unique_ptr<ToggleField> &toggle : togglesOfGroup(store, parent.toStdString()))
            list.append(toggleToJson(*toggle));
        return list;
    }
    for (const std::unique_ptr<InputField> &field :
         obx::Box<InputField>(store).query(InputField_::parent_key.equals(parent.toStdString())).build().find())
        list.append(inputFieldToJson(*field));
    return list;
}

// ---- Trade and property types -----------------------------------------------------------------

QJsonArray GForm::getTradeTypes()
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    for (const std::unique_ptr<ToggleField> &toggle : togglesOfGroup(store, "trade"))
        list.append(typeEntry(*toggle));
    return list;
}

QJsonArray GForm::propertyEntries()
{
    QJsonArray list;
    for (const std::unique_ptr<ToggleField> &toggle : togglesOfGroup(store, "property"))
        list.append(typeEntry(*toggle));
    return list;
}

QJsonArray GForm::getPropertyTypes(int tradeType, QJsonObject filter)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    int countedTrade = tradeType;
    if (tradeType <= 0) {
        list = propertyEntries();
    } else {
        // Archived trade types 9 to 16 offer what their active counterparts offer.
        countedTrade = tradeType > 8 ? tradeType - 8 : tradeType;
        std::unique_ptr<Card> chooser =
            obx::Box<Card>(store)
                .query(Card_::trade_type.equals(countedTrade) && Card_::property_type.equals(countedTrade <= 4 ? -1 : -2))
                .build()
                .findFirst();
        obx::Box<ToggleField> toggles(store);
        if (chooser)
            for (const std::string &entry : chooser->toggles)
                if (std::unique_ptr<ToggleField> toggle = toggles.get(idOf(entry)))
                    list.append(typeEntry(*toggle));
    }
    if (!filter.contains(QStringLiteral("key")))
        return list;
    GFile files(snapshot());
    const QJsonArray filters{filter};
    for (int i = 0; i < list.size(); ++i) {
        QJsonObject entry = list.at(i).toObject();
        entry.insert(QStringLiteral("count"),
                     files.getFilesCount(countedTrade, entry.value(QStringLiteral("key")).toInt(), filters, false, QString()));
        list.replace(i, entry);
    }
    return list;
}

QJsonArray GForm::getPropertyTabLayout(int tradeType, QJsonArray filters)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list = propertyEntries();
    if (filters.isEmpty())
        return list;
    GFile files(snapshot());
    for (int i = 0; i < list.size(); ++i) {
        QJsonObject entry = list.at(i).toObject();
        entry.insert(QStringLiteral("count"),
                     files.getFilesCount(tradeType, entry.value(QStringLiteral("key")).toInt(), filters, false, QString()));
        list.replace(i, entry);
    }
    return list;
}

QJsonArray GForm::getReportCount(QJsonArray filter)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list = propertyEntries();
    GFile files(snapshot());
    for (int i = 0; i < list.size(); ++i) {
        QJsonObject entry = list.at(i).toObject();
        entry.insert(QStringLiteral("count"),
                     files.getFilesCount(-1, entry.value(QStringLiteral("key")).toInt(), filter, false, QString()));
        list.replace(i, entry);
    }
    return list;
}

// ---- Hidden toggles of the form account ---------------------------------------------------------

QJsonArray GForm::getInvisibleToggles(QString)
{
    const User &account = viewer();
    QJsonArray list;
    if (account.id == 0)
        return list;
    if (agent.id == 0)
        qDebug() << "invisible toggles" << account.invisible_toggles.size();
    obx::Transaction tx = store.txRead();
    obx::Box<ToggleField> toggles(store);
    // The list holds toggle keys, not row ids.
    for (const std::string &entry : account.invisible_toggles)
        if (std::unique_ptr<ToggleField> toggle =
                toggles.query(ToggleField_::key.equals(std::stoi(entry))).build().findFirst())
            list.append(toggleToJson(*toggle));
    return list;
}

template <class Edit> bool GForm::editFormAccount(Edit &&edit)
{
    User &copy = agent.id != 0 ? agent : user;
    if (copy.id == 0)
        return false;
    obx::Transaction tx = store.txWrite();
    obx::Box<User> users(store);
    // The stored row, not the copy: the copy predates later writes (the update stamp among
    // them), and putting it back would undo them.
    std::unique_ptr<User> row = users.get(copy.id);
    if (!row) {
        tx.success(); // nothing written; ending it unsaved would abort a caller's transaction
        return false;
    }
    edit(*row);
    users.put(*row);
    copy.invisible_toggles = row->invisible_toggles;
    tx.success();
    return true;
}

bool GForm::addInvisibleToggle(int toggleId, QString)
{
    const std::string text = std::to_string(toggleId);
    return editFormAccount([&](User &row) {
        for (const std::string &entry : row.invisible_toggles)
            if (entry == text)
                return;
        row.invisible_toggles.push_back(text);
    });
}

void GForm::saveFormSettings(QJsonArray settings, QString, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    const bool saved = editFormAccount([&](User &row) {
        row.invisible_toggles.clear();
        std::unordered_set<qint64> seen;
        for (const QJsonValue &item : settings) {
            const qint64 key = GJson::integer(item.toObject(), QStringLiteral("key"));
            if (seen.insert(key).second)
                row.invisible_toggles.push_back(std::to_string(key));
        }
    });
    if (saved && date > 0)
        GUser(snapshot()).updateDate(date, -1);
    tx.success();
}

} // namespace UGENERAL
