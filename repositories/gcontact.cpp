#include "repositories/gcontact.h"

namespace UGENERAL {

GContact::~GContact() = default;

bool GContact::saveContact(QJsonObject contact, bool checkUser, bool initial)
{
    // Not built yet.
    return false;
}

void GContact::saveContacts(QJsonArray contacts, qlonglong date)
{
    // Not built yet.
}

bool GContact::remove(QString serverId)
{
    // Not built yet.
    return false;
}

QJsonObject GContact::getContact(QString serverId, QString mobile)
{
    // Not built yet.
    return QJsonObject();
}

QJsonArray GContact::getContacts(int type, int page, QString keyword, int userId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GContact::getContactsByType(int type, int userId)
{
    // Not built yet.
    return QJsonArray();
}

int GContact::getContactsCount(int userId)
{
    // Not built yet.
    return 0;
}

int GContact::getContactFileCount(QString serverId)
{
    // Not built yet.
    return 0;
}

} // namespace UGENERAL
