#include "repositories/gcontact.h"

#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "store/file.h"
#include "store/user.h"

#include <string>

namespace UGENERAL {

namespace {

QJsonObject contactError(const char *message)
{
    return QJsonObject{{QStringLiteral("error"), QString::fromLatin1(message)}};
}

} // namespace

GContact::~GContact() = default;

QJsonObject GContact::toJson(const Contact &contact)
{
    QJsonArray kinds;
    for (const std::string &kind : contact.type)
        kinds.append(GJson::integer(QJsonValue(GJson::fromUtf8(kind))));
    return QJsonObject{
        {QStringLiteral("id"), double(contact.id)},
        {QStringLiteral("_id"), GJson::fromUtf8(contact.server_id)},
        {QStringLiteral("user_id"), double(contact.user_id)},
        {QStringLiteral("name_family"), GJson::fromUtf8(contact.name_family)},
        {QStringLiteral("mobile_1"), GJson::fromUtf8(contact.mobile_1)},
        {QStringLiteral("mobile_2"), GJson::fromUtf8(contact.mobile_2)},
        {QStringLiteral("phone_1"), GJson::fromUtf8(contact.phone_1)},
        {QStringLiteral("phone_2"), GJson::fromUtf8(contact.phone_2)},
        {QStringLiteral("job"), GJson::fromUtf8(contact.job)},
        {QStringLiteral("address"), GJson::fromUtf8(contact.address)},
        {QStringLiteral("type"), kinds},
    };
}

bool GContact::saveContact(QJsonObject contact, bool checkUser, bool initial)
{
    Contact row;
    row.user_id = user.id;
    row.server_id = GJson::utf8(contact, QStringLiteral("_id"));
    row.name_family = GJson::utf8(contact, QStringLiteral("name_family"));
    row.address = GJson::utf8(contact, QStringLiteral("address"));
    row.job = GJson::utf8(contact, QStringLiteral("job"));
    row.mobile_1 = GJson::utf8(contact, QStringLiteral("mobile_1"));
    row.mobile_2 = GJson::utf8(contact, QStringLiteral("mobile_2"));
    row.phone_1 = GJson::utf8(contact, QStringLiteral("phone_1"));
    row.phone_2 = GJson::utf8(contact, QStringLiteral("phone_2"));
    for (const QJsonValue &kind : contact.value(QStringLiteral("type")).toArray())
        row.type.push_back(std::to_string(GJson::integer(kind)));

    obx::Transaction tx = store.txWrite();
    if (!initial)
        row.id = GRows::localId<Contact>(store, Contact_::server_id, row.server_id);
    const std::string userRef = GJson::utf8(contact, QStringLiteral("user_ref"));
    if (checkUser && !userRef.empty()) {
        const std::vector<obx_id> owners = obx::Box<User>(store).query(User_::server_id.equals(userRef)).build().findIds();
        if (!owners.empty())
            row.user_id = owners.front();
    }
    const obx_id id = obx::Box<Contact>(store).put(row);
    tx.success();
    return id != 0;
}

void GContact::saveContacts(QJsonArray contacts, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &value : contacts) {
        const QJsonObject item = value.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")));
        else
            saveContact(item, false, false);
    }
    GRows::stamp(snapshot(), date);
    tx.success();
}

bool GContact::remove(QString serverId)
{
    return GRows::removeByServerId<Contact>(store, Contact_::server_id, serverId.toStdString()) > 0;
}

QJsonObject GContact::getContact(QString serverId, QString mobile)
{
    if (serverId.isEmpty() && mobile.isEmpty())
        return contactError("you need to send server_id or mobile!");
    obx::QueryBuilder<Contact> qb = obx::Box<Contact>(store).query(Contact_::user_id.equals(int64_t(user.id)));
    if (!serverId.isEmpty())
        qb.with(Contact_::server_id.equals(serverId.toStdString()));
    // A mobile stored in Persian or Arabic-Indic digits is the same contact as one typed in ASCII.
    if (!mobile.isEmpty())
        qb.with(Contact_::mobile_1.equals(mobile.toStdString()).withDigitsFolded());
    std::unique_ptr<Contact> row = qb.build().findFirst();
    return row ? toJson(*row) : contactError("there is no contact with this attributes!");
}

obx_id GContact::ownerId(int userId) const
{
    return userId >= 1 ? obx_id(userId) : user.id;
}

QJsonArray GContact::list(int type, const QString &keyword, int userId)
{
    obx::QueryBuilder<Contact> qb = obx::Box<Contact>(store).query(Contact_::user_id.equals(int64_t(ownerId(userId))));
    // An element test, so kind 1 never matches a contact of kind 17.
    if (type > 0)
        qb.with(Contact_::type.contains(std::to_string(type)));
    if (!keyword.isEmpty()) {
        const std::string k = keyword.toStdString();
        qb.with((Contact_::name_family.contains(k) || Contact_::address.contains(k) || Contact_::mobile_1.contains(k)
                 || Contact_::mobile_2.contains(k))
                    .withDigitsFolded());
    }
    qb.order(Contact_::name_family);
    QJsonArray result;
    for (const auto &row : qb.build().find())
        result.append(toJson(*row));
    return result;
}

QJsonArray GContact::getContacts(int type, int, QString keyword, int userId)
{
    return list(type, keyword, userId);
}

QJsonArray GContact::getContactsByType(int type, int userId)
{
    return list(type, QString(), userId);
}

int GContact::getContactsCount(int userId)
{
    return int(obx::Box<Contact>(store).query(Contact_::user_id.equals(int64_t(ownerId(userId)))).build().count());
}

int GContact::getContactFileCount(QString serverId)
{
    return int(obx::Box<File>(store)
                   .query(File_::customer_id.equals(serverId.toStdString()) && File_::user_id.equals(user.server_id))
                   .build()
                   .count());
}

} // namespace UGENERAL
