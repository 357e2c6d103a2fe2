#pragma once

#include "repositories/grepository.h"
#include "store/contact.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Contact repository: the account's customers, owners and tenants.
class GContact : public GRepository
{
public:
    using GRepository::GRepository;
    ~GContact() override;

    // initial skips the look-up by server id (the row is new); checkUser takes the owning user
    // from "user_ref" instead of the owner.
    bool saveContact(QJsonObject contact, bool checkUser, bool initial);
    void saveContacts(QJsonArray contacts, qlonglong date = -1);
    bool remove(QString serverId);
    QJsonObject getContact(QString serverId, QString mobile);
    // page is not applied: the phone book shows the whole list.
    QJsonArray getContacts(int type, int page, QString keyword, int userId);
    QJsonArray getContactsByType(int type, int userId);
    int getContactsCount(int userId);
    int getContactFileCount(QString serverId);

    static QJsonObject toJson(const Contact &contact);

private:
    obx_id ownerId(int userId) const;
    QJsonArray list(int type, const QString &keyword, int userId);
};

} // namespace UGENERAL
