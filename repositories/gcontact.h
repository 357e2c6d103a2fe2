#pragma once

#include "repositories/grepository.h"

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

    bool saveContact(QJsonObject contact, bool checkUser, bool initial);
    void saveContacts(QJsonArray contacts, qlonglong date = -1);
    bool remove(QString serverId);
    QJsonObject getContact(QString serverId, QString mobile);
    QJsonArray getContacts(int type, int page, QString keyword, int userId);
    QJsonArray getContactsByType(int type, int userId);
    int getContactsCount(int userId);
    int getContactFileCount(QString serverId);
};

} // namespace UGENERAL
