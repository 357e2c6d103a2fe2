#include "repositories/gtavorlin.h"

namespace UGENERAL {

GTavorlin::~GTavorlin() = default;

bool GTavorlin::save(QJsonObject tavorlin)
{
    // Not built yet.
    return false;
}

void GTavorlin::saveAll(QJsonArray tavorlins, qlonglong date)
{
    // Not built yet.
}

bool GTavorlin::remove(QString serverId, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GTavorlin::edit(QString serverId, int color, QString name, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GTavorlin::saveOrder(int tavorlinId, QString orderField, QString orderType)
{
    // Not built yet.
    return false;
}

void GTavorlin::changePosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId)
{
    // Not built yet.
}

bool GTavorlin::saveAgentAccess(QJsonObject data, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GTavorlin::saveAgentAccessList(QString serverId, QJsonArray access, qlonglong date)
{
    // Not built yet.
    return false;
}

bool GTavorlin::saveDefaultId(int tavorlinId, QString serverId)
{
    // Not built yet.
    return false;
}

void GTavorlin::saveDefaults()
{
    // Not built yet.
}

QJsonObject GTavorlin::get(QString serverId, int tavorlinId)
{
    // Not built yet.
    return QJsonObject();
}

QJsonArray GTavorlin::getAll(QString shelvesId, int userId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GTavorlin::getExist()
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GTavorlin::getAccessList(QString serverId, QString agentId)
{
    // Not built yet.
    return QJsonArray();
}

QJsonArray GTavorlin::getCounts(QJsonArray tavorlins)
{
    // Not built yet.
    return QJsonArray();
}

} // namespace UGENERAL
