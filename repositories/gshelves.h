#pragma once

#include "repositories/grepository.h"
#include "store/shelves.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Shelf repository: shelves that hold and order boards.
class GShelves : public GRepository
{
public:
    using GRepository::GRepository;
    ~GShelves() override;

    QJsonObject get(QString serverId, int shelvesId);
    QJsonArray getList(QString agentId);
    QJsonArray getTavorlins(QString shelvesId, QString agentId);
    QJsonArray getAccessList(QString shelvesId, QString agentId);
    bool save(QJsonObject shelves, bool addTavorlins);
    void saveAll(QJsonArray shelvesList, qlonglong date = -1);
    bool remove(QString serverId);
    void changePositions(QJsonArray positions);
    void changeTavorlins(QString shelvesId, QList<QString> tavorlinsToAdd, QList<QString> tavorlinsToRemove, qlonglong date = -1);
    bool saveAgentAccess(QJsonObject data, qlonglong date = -1);
    bool saveAgentAccessList(QString shelvesId, QJsonArray access, qlonglong date = -1);

    static QJsonObject toJson(const Shelves &shelves);

private:
    void stamp(qlonglong date);
};

} // namespace UGENERAL
