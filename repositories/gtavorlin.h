#pragma once

#include "repositories/grepository.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Board repository: Tavorlin boards with their filters, order, positions and access.
class GTavorlin : public GRepository
{
public:
    using GRepository::GRepository;
    ~GTavorlin() override;

    bool save(QJsonObject tavorlin);
    void saveAll(QJsonArray tavorlins, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    bool edit(QString serverId, int color, QString name, qlonglong date = -1);
    bool saveOrder(int tavorlinId, QString orderField, QString orderType);
    void changePosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId);
    bool saveAgentAccess(QJsonObject data, qlonglong date = -1);
    bool saveAgentAccessList(QString serverId, QJsonArray access, qlonglong date = -1);
    bool saveDefaultId(int tavorlinId, QString serverId);
    void saveDefaults();
    QJsonObject get(QString serverId, int tavorlinId);
    QJsonArray getAll(QString shelvesId, int userId);
    QJsonArray getExist();
    QJsonArray getAccessList(QString serverId, QString agentId);
    QJsonArray getCounts(QJsonArray tavorlins);
};

} // namespace UGENERAL
