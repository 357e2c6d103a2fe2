#include "repositories/gshelves.h"

namespace UGENERAL {

GShelves::~GShelves() = default;

QJsonObject GShelves::get(QString serverId, int shelvesId)
{
    // Not built yet.
    return QJsonObject();
}

QJsonArray GShelves::getList(QString agentId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GShelves::getTavorlins(QString shelvesId, QString agentId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GShelves::getAccessList(QString shelvesId, QString agentId)
{
    // Not built yet.
    return QJsonArray();
}

bool GShelves::save(QJsonObject shelves, bool addTavorlins)
{
    // Not built yet.
    return false;
}

void GShelves::saveAll(QJsonArray shelvesList, qlonglong date)
{
    // Not built yet.
}

bool GShelves::remove(QString serverId)
{
    // Not built yet.
    return false;
}

void GShelves::changePositions(QJsonArray positions)
{
    // Not built yet.
}

void GShelves::changeTavorlins(QString shelvesId, QList<QString> tavorlinsToAdd, QList<QString> tavorlinsToRemove, qlonglong date)
{
    // Not built yet.
}

bool GShelves::saveAgentAccess(QJsonObject data, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GShelves::saveAgentAccessList(QString shelvesId, QJsonArray access, qlonglong date)
{
    // Not built yet.
    return false;
}

} // namespace UGENERAL
